#include "app/SelectedDrawings.h"

#include <windows.h>

#include "app/AxvekTarvoApp.h"

SelectedDrawings::SelectedDrawings(const std::vector<std::wstring>& drawings)
    : drawings_(drawings.begin(), drawings.end()) {}

bool SelectedDrawings::Contains(const std::wstring& path) const {
    if (drawings_.count(path)) return true;
    if (path.find(L'~') == std::wstring::npos) return false;
    const DWORD needed = GetLongPathNameW(path.c_str(), nullptr, 0);
    if (needed == 0) return false;
    std::wstring longPath(needed, L'\0');
    const DWORD length = GetLongPathNameW(path.c_str(), longPath.data(), needed);
    if (length == 0 || length >= needed) return false;
    longPath.resize(length);
    return drawings_.count(longPath) != 0;
}

bool CAxvekTarvoApp::IsSelectedDrawing(const std::wstring& path) const {
    return SelectedDrawings(Drawings).Contains(path);
}
