// What every page of the wizard shares: the back pointer to its sheet (for
// the buttons and for ending the wizard), the application object whose
// settings it shows, the page's look (side picture, emblem, bold heading) and
// the answer to whether files dropped on the sheet are for it.
#pragma once

#include <windows.h>

#include "framework/PropertySheet.h"
#include "wizard/PaintedControls.h"

class CAxvekTarvoApp;
class CTARVOWizard;

// The template controls of a page's look; 0 for one the page does not have.
struct PageLook {
    int Picture = 0;
    int Emblem = 0;
    int Heading = 0;
};

class CWizardPage : public fw::CPropertyPage {
  public:
    // The template's own caption; neither the sheet nor the application
    // object is owned. A page on its own (the tests') has no sheet.
    CWizardPage(UINT templateId, CTARVOWizard* sheet, CAxvekTarvoApp& app, PageLook look)
        : CPropertyPage(templateId), sheet_(sheet), app_(app), look_(look) {}

    // True for the page that takes the drawings dropped on the sheet while it
    // is active.
    virtual bool TakesDroppedFiles() const { return false; }

  protected:
    // Attach the look's controls; a page's own exchange comes after these.
    void DoDataExchange(fw::CDataExchange& dx) override;
    // Loads the controls and makes the heading bold.
    BOOL OnInitDialog() override;

    CTARVOWizard* Sheet() const { return sheet_; }
    CAxvekTarvoApp& App() const { return app_; }
    // Posts the PSWIZB_ flags to the sheet, then activates as the base does.
    BOOL SetActiveWithButtons(DWORD buttons);

  private:
    CTARVOWizard* sheet_;
    CAxvekTarvoApp& app_;
    PageLook look_;
    CWizardBmp picture_;
    CTranspBmp emblem_;
    CBoldTxt heading_;
};
