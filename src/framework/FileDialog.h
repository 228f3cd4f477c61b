// The system's Open and Save dialogs. The Explorer-style dialog (the default)
// runs as the system makes it; an old-style one (OFN_EXPLORER removed, e.g.
// with a template of the resource library) is hooked, so that a derived class
// gets its messages through the framework's handlers.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <string>
#include <vector>

#include "framework/Wnd.h"

namespace fw {

class CFileDialog : public CWnd {
  public:
    // filter: pairs of display text and pattern separated by "|", as resource
    // strings hold them ("Drawings (*.dwg)|*.dwg|"); empty for none.
    // fileName: the name offered at first. bufferSize: characters for the
    // returned names (multi-selection needs many).
    CFileDialog(bool open, const std::wstring& defaultExtension, const std::wstring& fileName,
                DWORD flags, const std::wstring& filter, HWND parent = nullptr,
                size_t bufferSize = MAX_PATH);

    void SetTitle(const std::wstring& title) { title_ = title; }
    // The structure handed to the system (flags, template, ...), for changes
    // before DoModal.
    OPENFILENAMEW& Ofn() { return ofn_; }

    // IDOK or IDCANCEL (also when the dialog could not be shown).
    virtual INT_PTR DoModal();

    // The chosen file's full path (with multi-selection: the first one).
    std::wstring GetPathName() const;
    // Every chosen file's full path, in the order the dialog returns them.
    std::vector<std::wstring> GetPathNames() const;
    std::wstring GetFileTitle() const { return fileTitle_.c_str(); }

    // "|"-separated filter text made into the system's form.
    static std::wstring FilterFromText(const std::wstring& text);

  protected:
    // Old-style dialogs only, after the system's own initialisation. FALSE
    // when the focus was set here. Base: TRUE.
    virtual BOOL OnInitDialog();
    void CenterWindow() const;

    OPENFILENAMEW ofn_{};
    std::wstring file_;       // the name buffer, bufferSize characters
    std::wstring fileTitle_;  // the title buffer
    bool open_;

  private:
    static UINT_PTR CALLBACK HookProc(HWND window, UINT msg, WPARAM wp, LPARAM lp);
    std::wstring defaultExtension_;
    std::wstring filter_;
    std::wstring title_;
};

}  // namespace fw
