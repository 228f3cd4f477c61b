// Property sheets (the wizard) and their pages. Pages come from templates of
// the resource library and are created when first shown; their notifications
// become virtual methods with the documented results. The sheet runs modeless
// in a message loop of its own, so that pages and modeless windows see each
// message before it is dispatched (PreTranslateMessage).
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "framework/Dialog.h"

#ifndef ID_WIZFINISH
#define ID_WIZFINISH 12325  // DoModal's result when a wizard ended with Finish
#endif

namespace fw {

class CPropertySheet;

class CPropertyPage : public CDialog {
  public:
    // captionId 0: the template's own caption.
    explicit CPropertyPage(UINT templateId, UINT captionId = 0);

    // The sheet the page was added to (nullptr before AddPage).
    CPropertySheet* GetSheet() const { return sheet_; }

    // The sheet takes the dialog keys of its pages; a page can look at any
    // message passing through it first by overriding this.
    bool PreTranslateMessage(MSG* msg) override;

  protected:
    // PSN_SETACTIVE. Base: loads the controls again (UpdateData(false)) on
    // every activation but the first, whose OnInitDialog loaded them. TRUE
    // shows the page, FALSE refuses it.
    virtual BOOL OnSetActive();
    // PSN_KILLACTIVE (Back, Next, Finish). Base: UpdateData(true). TRUE lets
    // the page go, FALSE keeps it.
    virtual BOOL OnKillActive();
    // PSN_WIZNEXT and PSN_WIZBACK: 0 goes to the neighbouring page, -1 stays,
    // a page's template id jumps there. Base: 0.
    virtual LRESULT OnWizardNext();
    virtual LRESULT OnWizardBack();
    // PSN_WIZFINISH: TRUE lets the sheet end with ID_WIZFINISH. Base: TRUE.
    virtual BOOL OnWizardFinish();
    // PSN_QUERYCANCEL: TRUE lets the sheet be cancelled. Base: TRUE.
    virtual BOOL OnQueryCancel();
    // PSN_APPLY (OK of a sheet that is not a wizard): TRUE accepts. Base: TRUE.
    virtual BOOL OnApply();
    // PSN_RESET: the sheet was cancelled. Base: nothing.
    virtual void OnReset();

    // A page never ends itself: Enter and Escape belong to the sheet.
    void OnOK() override;
    void OnCancel() override;
    // Turns the PSN_ notifications into the methods above; a page that
    // overrides OnNotify passes what it does not take on to this one.
    bool OnNotify(NMHDR* header, LRESULT& result) override;

  private:
    friend class CPropertySheet;
    static INT_PTR CALLBACK PageProc(HWND window, UINT msg, WPARAM wp, LPARAM lp);

    UINT captionId_;
    CPropertySheet* sheet_ = nullptr;
    bool activatedBefore_ = false;
};

class CPropertySheet : public CWnd {
  public:
    explicit CPropertySheet(HWND parent = nullptr);
    ~CPropertySheet() override;

    // Pages in the order they are shown; the sheet does not own them.
    void AddPage(CPropertyPage* page);
    int GetPageCount() const { return static_cast<int>(pages_.size()); }
    CPropertyPage* GetPage(int index) const { return pages_.at(static_cast<size_t>(index)); }

    // PSH_ flags of the header (PSH_WIZARD, PSH_HASHELP, ...).
    void AddHeaderFlags(DWORD flags) { headerFlags_ |= flags; }
    DWORD HeaderFlags() const { return headerFlags_; }
    bool IsWizard() const { return (headerFlags_ & (PSH_WIZARD | PSH_WIZARD97)) != 0; }

    // Shows the sheet and runs it until it ends: ID_WIZFINISH (Finish), IDOK
    // (OK of a sheet that is no wizard), IDCANCEL (cancelled), the value given
    // to EndDialog, or -1 when it could not be created.
    INT_PTR DoModal();
    // Ends the sheet with the result once the current message is handled.
    void EndDialog(int result);

    // The sheet's title; before DoModal it becomes the header's caption.
    void SetTitle(const std::wstring& title, UINT style = 0);
    // PSWIZB_ flags for the wizard's buttons (posted, like the system macro).
    void SetWizardButtons(DWORD flags) const;
    // Presses a sheet button (PSBTN_NEXT, PSBTN_BACK, PSBTN_FINISH, ...).
    void PressButton(int button) const;
    bool SetActivePage(int index) const;
    int GetActiveIndex() const;
    CPropertyPage* GetActivePage() const;

    // The sheet's dialog keys (Tab, Enter, Escape, Alt+letter).
    bool PreTranslateMessage(MSG* msg) override;

  protected:
    // After the sheet's own initialisation, before the first page exists.
    virtual BOOL OnInitDialog();
    // The close box asks like Cancel does (WM_COMMAND IDCANCEL).
    bool WindowProc(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

  private:
    friend class CPropertyPage;
    static int CALLBACK SheetCallback(HWND window, UINT msg, LPARAM lp);
    void RunLoop();

    HWND parent_;
    std::vector<CPropertyPage*> pages_;
    DWORD headerFlags_ = 0;
    std::wstring title_;
    bool running_ = false;
    bool ended_ = false;
    int endResult_ = IDCANCEL;
    bool finished_ = false;  // a page accepted PSN_WIZFINISH
    bool applied_ = false;   // the pages accepted the OK button's PSN_APPLY
};

}  // namespace fw
