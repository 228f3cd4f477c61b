#include "app/SelectedDrawings.h"

#include <windows.h>

#include "app/AxvekTarvoApp.h"

SelectedDrawings::SelectedDrawings(const std::vector<std::wstring>& drawings)
    : drawings_(drawings.begin(), drawings.end()) {}

bool SelectedDrawings::Contains(const std::wstring& path) const {
    if (drawings_.count(path)) return true;
    const std::wstring longPath = LongForm(path);
    return !longPath.empty() && drawings_.count(longPath) != 0;
}

std::wstring SelectedDrawings::LongForm(const std::wstring& path) {
    if (path.find(L'~') == std::wstring::npos) return std::wstring();
    const DWORD needed = GetLongPathNameW(path.c_str(), nullptr, 0);
    if (needed == 0) return std::wstring();
    std::wstring longPath(needed, L'\0');
    const DWORD length = GetLongPathNameW(path.c_str(), longPath.data(), needed);
    if (length == 0 || length >= needed) return std::wstring();
    longPath.resize(length);
    return longPath;
}

bool CAxvekTarvoApp::IsSelectedDrawing(const std::wstring& path) const {
    return SelectedDrawings(Drawings).Contains(path);
}
