#include "framework/PathNames.h"

#include <windows.h>

namespace fw {

namespace {

template <typename Query>
std::wstring PathForm(const std::wstring& path, Query query) {
    const DWORD needed = query(path.c_str(), nullptr, 0);
    if (needed == 0) return std::wstring();
    std::wstring form(needed, L'\0');
    const DWORD length = query(path.c_str(), form.data(), needed);
    if (length == 0 || length >= needed) return std::wstring();
    form.resize(length);
    return form;
}

}  // namespace

std::wstring ShortPathName(const std::wstring& path) {
    return PathForm(path, GetShortPathNameW);
}

std::wstring LongPathName(const std::wstring& path) {
    return PathForm(path, GetLongPathNameW);
}

bool TempFolder(std::wstring& folder) {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH) return false;
    folder.assign(buffer, length);
    return true;
}

}  // namespace fw
