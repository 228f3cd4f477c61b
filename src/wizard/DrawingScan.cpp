#include "wizard/DrawingScan.h"

#include <cwchar>

#include "drawings/AxvekFile.h"
#include "framework/Handle.h"

namespace drawingscan {

namespace {

constexpr DWORD kSkippedFiles = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE;

// The extension of a file name found by a scan (after its last dot).
std::wstring ExtensionOf(const wchar_t* name) {
    const wchar_t* dot = wcsrchr(name, L'.');
    return dot ? std::wstring(dot + 1) : std::wstring();
}

}  // namespace

void ScanFolder(const std::wstring& top, std::vector<Candidate>& candidates) {
    // Depth first with the open searches on a stack of our own: however deep
    // the tree, the walk never runs out of stack.
    struct Level {
        fw::UniqueFind Find;
        std::wstring Folder;
    };
    std::vector<Level> levels;
    WIN32_FIND_DATAW found{};
    const auto open = [&](const std::wstring& folder) {
        fw::UniqueFind find(FindFirstFileW((folder + L"\\*.*").c_str(), &found));
        if (!find) return false;
        levels.push_back({std::move(find), folder});
        return true;
    };
    if (!open(top)) return;
    bool fresh = true;  // found holds the first entry of the top level
    while (!levels.empty()) {
        if (!fresh && !FindNextFileW(levels.back().Find.Get(), &found)) {
            levels.pop_back();
            continue;
        }
        fresh = false;
        const wchar_t* entry = found.cFileName;
        if (wcscmp(entry, L".") == 0 || wcscmp(entry, L"..") == 0) continue;
        const std::wstring path = levels.back().Folder + L"\\" + entry;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (wcsncmp(entry, L"..", 2) != 0 && open(path)) fresh = true;
            continue;
        }
        if (found.dwFileAttributes & kSkippedFiles) continue;
        if (!text::EqualsNoCase(ExtensionOf(entry), L"dwg")) continue;
        candidates.push_back({path, true, found.dwFileAttributes});
    }
}

FolderEntries ReadFolderEntries(const std::wstring& folder) {
    FolderEntries entries;
    WIN32_FIND_DATAW entry{};
    const fw::UniqueFind find(FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &entry,
                                               FindExSearchNameMatch, nullptr,
                                               FIND_FIRST_EX_LARGE_FETCH));
    if (!find) return entries;
    do entries.emplace(entry.cFileName, entry.dwFileAttributes);
    while (FindNextFileW(find.Get(), &entry));
    return entries;
}

bool ReadDrawingList(const std::wstring& path, std::vector<std::wstring>& entries) {
    AxvekDmlFile file(path);
    if (!file.Open(false)) return false;
    return file.ReadList(entries, true);
}

int CollateNoCase(const std::wstring& a, const std::wstring& b) {
    const int result = CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, a.c_str(),
                                       static_cast<int>(a.size()), b.c_str(),
                                       static_cast<int>(b.size()), nullptr, nullptr, 0);
    return result ? result - CSTR_EQUAL : 0;
}

bool AppendCollationKey(const std::wstring& text, std::string& key) {
    // The system keys no empty text; it comes before any other.
    if (text.empty()) {
        key.push_back('\0');
        return true;
    }
    const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    const int length = static_cast<int>(text.size());
    const int size = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, text.c_str(), length, nullptr,
                                   0, nullptr, nullptr, 0);
    if (size <= 0) return false;
    const size_t at = key.size();
    key.resize(at + static_cast<size_t>(size));
    const int written =
        LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, text.c_str(), length,
                      reinterpret_cast<LPWSTR>(&key[at]), size, nullptr, nullptr, 0);
    if (written <= 0) return false;
    key.resize(at + static_cast<size_t>(written));
    if (key.back() != '\0') key.push_back('\0');
    return true;
}

}  // namespace drawingscan
