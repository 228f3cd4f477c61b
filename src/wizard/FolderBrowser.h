// The folder picker of the Search page: the shell's folder browser where the
// shell library's version allows it, else the old-style file dialog on the
// resource library's "DIRSELECT" template, reduced to its folder list.
#pragma once

#include <windows.h>

#include "framework/FileDialog.h"

// Whether a shell library of that version gets the shell folder browser.
// Version 6.0 (and every x.0) gets the old-style dialog.
inline bool UseShellFolderBrowser(DWORD major, DWORD minor) {
    return major >= 4 && minor != 0;
}

class CFolderBrowser : public fw::CFileDialog {
  public:
    explicit CFolderBrowser(HWND parent = nullptr);

    // IDOK or IDCANCEL; after IDOK GetPathName is the chosen folder (full
    // path, no file part). After IDCANCEL nothing changed.
    INT_PTR DoModal() override;

  protected:
    // "DllGetVersion" of shell32.dll; false (and 0.0) when it cannot be asked.
    virtual bool ShellVersion(DWORD& major, DWORD& minor) const;
    // Old-style dialog: only the folder list, drives and buttons stay.
    BOOL OnInitDialog() override;

  private:
    INT_PTR BrowseWithShell();
    HWND parent_;
};
