// The program's main window: the property sheet in wizard mode that walks the
// user from the Begin page to the Finish page. The pages read and write the
// settings in the application object given to the sheet; the sheet passes
// back only its end code.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "framework/Gdi.h"
#include "framework/PropertySheet.h"
#include "wizard/HelpDlg.h"
#include "wizard/WizardPage.h"

class CAxvekTarvoApp;

class CTARVOWizard : public fw::CPropertySheet {
  public:
    // The application object outlives the sheet; the sheet and its pages
    // read and write its settings.
    explicit CTARVOWizard(CAxvekTarvoApp& app);
    ~CTARVOWizard() override;

    // DoModal (inherited) returns ID_WIZFINISH (12325) when the Finish page
    // accepted, or IDCANCEL (2).

    // The help window of the last Help command; nullptr before the first.
    CHelpDlg* HelpDialog() const { return help_.get(); }

    // Shows a notice of a page modally, without owner window. The sheet is
    // disabled meanwhile, so that its buttons cannot start a second notice.
    INT_PTR RunNotice(fw::CDialog& notice);

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnDropFiles(HDROP drop) override;
    bool OnPaint() override;
    HICON OnQueryDragIcon() override;
    // F1 anywhere in the sheet is the Help command.
    bool PreTranslateMessage(MSG* msg) override;

  private:
    void ShowHelp();
    void CenterOnScreen() const;

    CAxvekTarvoApp& app_;
    fw::UniqueIcon icon_;       // 2128: large icon, drag icon, minimised picture
    fw::UniqueIcon smallIcon_;  // 2128 in the small icon size, for the caption
    std::vector<std::unique_ptr<fw::CPropertyPage>> pages_;
    std::unique_ptr<CHelpDlg> help_;
};
