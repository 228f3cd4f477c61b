// The memory block the shell hands a window that files are dropped on: a
// DROPFILES header followed by the wide names, each ended, then one more end.
// The receiver frees it (DragFinish). Header-only, for the benchmarks too.
#pragma once

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

inline HDROP MakeDrop(const std::vector<std::wstring>& paths) {
    std::wstring names;
    for (const auto& path : paths) names += path + L'\0';
    names += L'\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(drop + 1, names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}
