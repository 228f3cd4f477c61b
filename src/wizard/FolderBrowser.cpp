#include "wizard/FolderBrowser.h"

#include <dlgs.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <string>

#include "drawings/AxvekFilenm.h"
#include "framework/Handle.h"
#include "framework/Resources.h"
#include "resources/ids.h"

namespace {
const DWORD kFolderBrowserFlags =
    OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_SHOWHELP | OFN_ENABLETEMPLATE;
}

CFolderBrowser::CFolderBrowser(HWND parent)
    : CFileDialog(true, L"", L"", kFolderBrowserFlags, L"", parent), parent_(parent) {
    ofn_.hInstance = fw::ResourceHandle();
    ofn_.lpTemplateName = L"DIRSELECT";
    ofn_.Flags &= ~OFN_EXPLORER;
    // Without a title of its own the old-style dialog would be called "Open".
    SetTitle(fw::LoadResString(IDS_FOLDER_BROWSER_TITLE));
}

bool CFolderBrowser::ShellVersion(DWORD& major, DWORD& minor) const {
    major = minor = 0;
    fw::UniqueModule shell(LoadLibraryW(L"shell32.dll"));
    if (!shell) return false;
    // Through void*: FARPROC and the real signature differ.
    const auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void*>(GetProcAddress(shell.Get(), "DllGetVersion")));
    if (!getVersion) return false;
    DLLVERSIONINFO info{};
    info.cbSize = sizeof info;  // the 20-byte record
    if (FAILED(getVersion(&info))) return false;
    major = info.dwMajorVersion;
    minor = info.dwMinorVersion;
    return true;
}

INT_PTR CFolderBrowser::DoModal() {
    DWORD major = 0, minor = 0;
    ShellVersion(major, minor);
    if (UseShellFolderBrowser(major, minor)) return BrowseWithShell();

    const INT_PTR result = CFileDialog::DoModal();
    if (result != IDOK) return result;
    // The dialog returns "<folder>\a": end the name at the separator before
    // the file part. A drive's root keeps its separator, since "c:" alone
    // would name the drive's current folder instead.
    const size_t separator = ofn_.nFileOffset ? ofn_.nFileOffset - 1u : 0u;
    if (separator < file_.size() && separator > 0) {
        const bool root = separator == 2 && file_[1] == L':';
        file_[root ? separator + 1 : separator] = L'\0';
    }
    fileTitle_[0] = L'\0';
    return result;
}

INT_PTR CFolderBrowser::BrowseWithShell() {
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || !allocator) return IDCANCEL;
    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW info{};
    // Without a parent the owner is the browser's own window, which is not
    // shown at this point: none.
    info.hwndOwner = parent_ ? parent_ : GetSafeHwnd();
    info.pszDisplayName = displayName;
    info.lpszTitle = L"";
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS;
    INT_PTR result = IDCANCEL;
    if (LPITEMIDLIST chosen = SHBrowseForFolderW(&info)) {
        wchar_t path[MAX_PATH] = {};
        if (SHGetPathFromIDListW(chosen, path)) {
            const std::wstring full = AxvekFilenm(path).FullPath;
            if (!full.empty()) {
                const size_t n = std::min<size_t>(full.size(), MAX_PATH - 1);
                std::fill(file_.begin(), file_.end(), L'\0');
                full.copy(file_.data(), std::min(n, file_.size() - 1));
                fileTitle_[0] = L'\0';
                result = IDOK;
            }
        }
        allocator->Free(chosen);
    }
    allocator->Release();
    return result;
}

BOOL CFolderBrowser::OnInitDialog() {
    CenterWindow();
    for (int id : {stc2, stc3, edt1, lst1, cmb1, pshHelp})
        ::ShowWindow(::GetDlgItem(hwnd_, id), SW_HIDE);
    CFileDialog::OnInitDialog();
    // OK then returns a name in the folder shown, whose folder part is the answer.
    SetDlgItemText(edt1, L"a");
    ::SetFocus(GetDlgItem(lst2));
    return FALSE;
}
