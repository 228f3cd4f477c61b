#include "framework/FileDialog.h"

#include <algorithm>

#include "framework/DialogRouting.h"

namespace fw {

CFileDialog::CFileDialog(bool open, const std::wstring& defaultExtension,
                         const std::wstring& fileName, DWORD flags, const std::wstring& filter,
                         HWND parent, size_t bufferSize)
    : open_(open), defaultExtension_(defaultExtension), filter_(FilterFromText(filter)) {
    bufferSize = std::max<size_t>(bufferSize, 2);
    file_.assign(bufferSize, L'\0');
    fileName.copy(file_.data(), std::min(fileName.size(), bufferSize - 1));
    fileTitle_.assign(MAX_PATH, L'\0');
    ofn_.lStructSize = sizeof ofn_;
    ofn_.hwndOwner = parent;
    ofn_.Flags = flags | OFN_EXPLORER;
}

std::wstring CFileDialog::FilterFromText(const std::wstring& text) {
    if (text.empty()) return std::wstring();
    std::wstring filter = text;
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    filter.append(2, L'\0');  // the list ends with an empty entry
    return filter;
}

INT_PTR CFileDialog::DoModal() {
    ofn_.lpstrFile = file_.data();
    ofn_.nMaxFile = static_cast<DWORD>(file_.size());
    ofn_.lpstrFileTitle = fileTitle_.data();
    ofn_.nMaxFileTitle = static_cast<DWORD>(fileTitle_.size());
    ofn_.lpstrFilter = filter_.empty() ? nullptr : filter_.c_str();
    ofn_.lpstrDefExt = defaultExtension_.empty() ? nullptr : defaultExtension_.c_str();
    ofn_.lpstrTitle = title_.empty() ? nullptr : title_.c_str();
    if (!(ofn_.Flags & OFN_EXPLORER)) {
        ofn_.Flags |= OFN_ENABLEHOOK;
        ofn_.lpfnHook = &CFileDialog::HookProc;
        ofn_.lCustData = reinterpret_cast<LPARAM>(this);
    }
    const BOOL ok = open_ ? GetOpenFileNameW(&ofn_) : GetSaveFileNameW(&ofn_);
    if (hwnd_) Detach();
    // A name longer than the buffer is no name: the system left only its size.
    if (!ok) file_[0] = L'\0';
    return ok ? IDOK : IDCANCEL;
}

std::wstring CFileDialog::GetPathName() const {
    const std::vector<std::wstring> names = GetPathNames();
    return names.empty() ? std::wstring() : names.front();
}

std::vector<std::wstring> CFileDialog::GetPathNames() const {
    std::vector<std::wstring> names;
    const wchar_t* p = file_.c_str();
    const wchar_t* end = p + file_.size();
    std::wstring first(p);
    if (first.empty()) return names;
    p += first.size() + 1;
    // Several files: the folder, then each name, each ended by a zero.
    const bool several = (ofn_.Flags & OFN_ALLOWMULTISELECT) && p < end && *p;
    if (!several) {
        names.push_back(first);
        return names;
    }
    std::wstring folder = first;
    if (folder.back() != L'\\') folder += L'\\';
    while (p < end && *p) {
        std::wstring name(p);
        names.push_back(folder + name);
        p += name.size() + 1;
    }
    return names;
}

BOOL CFileDialog::OnInitDialog() {
    return TRUE;
}

void CFileDialog::CenterWindow() const {
    RECT area{};
    HWND owner = GetWindow(hwnd_, GW_OWNER);
    if (owner && ::IsWindowVisible(owner) && !IsIconic(owner))
        ::GetWindowRect(owner, &area);
    else
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const RECT own = GetWindowRect();
    const int width = own.right - own.left, height = own.bottom - own.top;
    const int x = area.left + (area.right - area.left - width) / 2;
    const int y = area.top + (area.bottom - area.top - height) / 2;
    SetWindowPos(hwnd_, nullptr, std::max(0, x), std::max(0, y), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

UINT_PTR CALLBACK CFileDialog::HookProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    // WM_INITDIALOG brings the OPENFILENAMEW, whose lCustData is the object.
    const auto* ofn = msg == WM_INITDIALOG ? reinterpret_cast<const OPENFILENAMEW*>(lp) : nullptr;
    auto* brought = ofn ? reinterpret_cast<CFileDialog*>(ofn->lCustData) : nullptr;
    // A hook's TRUE keeps the system's own handling away; no result to write.
    return static_cast<UINT_PTR>(DialogRouting::Route(
        window, msg, wp, lp, brought, [](CFileDialog& self) { return self.OnInitDialog(); },
        [](UINT, LRESULT) -> INT_PTR { return TRUE; }));
}

}  // namespace fw
