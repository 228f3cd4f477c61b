// Dialogs from templates of the resource library, modal or modeless. All of
// them (and the property pages) run on one dialog procedure, which finds the
// object, forwards to its virtual handlers, lets no exception escape and
// writes DWLP_MSGRESULT in one place.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Wnd.h"

namespace fw {

class CDataExchange;

class CDialog : public CWnd {
  public:
    // The template is looked up in the current resource handle when the
    // dialog is created, so it comes from the resource library in force then.
    explicit CDialog(UINT templateId, HWND parent = nullptr);
    explicit CDialog(std::wstring templateName, HWND parent = nullptr);
    // A modeless window still open is destroyed (its last messages reach only
    // the base handlers, since the derived object is gone by then).
    ~CDialog() override;

    // Runs the dialog modally. Returns the value given to EndDialog (IDOK,
    // IDCANCEL, ...), or -1 when the dialog could not be created.
    virtual INT_PTR DoModal();
    // Creates the dialog modeless (shown when its template says WS_VISIBLE).
    bool Create(HWND parent = nullptr);
    bool Create(UINT templateId, HWND parent = nullptr);

    // Ends a modal dialog with the result; a modeless one is only hidden.
    void EndDialog(int result);
    // Exchanges the members with the controls through DoDataExchange: true
    // loads controls into members (and validates), false the other way.
    // False when a validation failed; the failing control has the focus.
    bool UpdateData(bool saveAndValidate = true);

    bool IsModal() const { return modal_; }
    UINT TemplateId() const { return templateId_; }

    // A modeless dialog takes its dialog keys (Tab, Enter, Escape) here.
    bool PreTranslateMessage(MSG* msg) override;

  protected:
    virtual void DoDataExchange(CDataExchange& dx);
    // Base: loads the controls (UpdateData(false)); returns TRUE so that the
    // system gives the first control the focus.
    virtual BOOL OnInitDialog();
    // Base: UpdateData(true), and EndDialog(IDOK) when it succeeded.
    virtual void OnOK();
    // Base: EndDialog(IDCANCEL).
    virtual void OnCancel();
    // Base: IDOK and IDCANCEL go to OnOK and OnCancel.
    bool OnCommand(UINT id, UINT code, HWND control) override;

    // The one dialog procedure. WM_INITDIALOG brings the object as lParam.
    static INT_PTR CALLBACK DialogProc(HWND window, UINT msg, WPARAM wp, LPARAM lp);

    const wchar_t* TemplateResource() const;
    HWND parent_;

  private:
    UINT templateId_ = 0;
    std::wstring templateName_;
    bool modal_ = false;
};

}  // namespace fw
