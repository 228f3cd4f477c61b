#include "app/SelectedDrawings.h"

#include "app/AxvekTarvoApp.h"
#include "framework/PathNames.h"

SelectedDrawings::SelectedDrawings(const std::vector<std::wstring>& drawings)
    : drawings_(drawings.begin(), drawings.end()) {}

bool SelectedDrawings::Contains(const std::wstring& path) const {
    if (drawings_.count(path)) return true;
    const std::wstring longPath = LongForm(path);
    return !longPath.empty() && drawings_.count(longPath) != 0;
}

const std::wstring* SelectedDrawings::Find(const std::wstring& path) const {
    const auto it = drawings_.find(path);
    return it == drawings_.end() ? nullptr : &*it;
}

std::wstring SelectedDrawings::LongForm(const std::wstring& path) {
    if (path.find(L'~') == std::wstring::npos) return std::wstring();
    return fw::LongPathName(path);
}

bool CAxvekTarvoApp::IsSelectedDrawing(const std::wstring& path) const {
    return SelectedDrawings(Drawings).Contains(path);
}
