// The Files page's work on the file system, which needs no window: finding
// the drawings under a folder, the attributes of a folder's files from one
// search, reading a drawing list, and the system's collation of the list's
// texts.
#pragma once

#include <windows.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "core/Text.h"

namespace drawingscan {

// A drawing about to be listed; a scan knows its attributes already.
struct Candidate {
    std::wstring Path;
    bool HasAttributes = false;
    DWORD Attributes = 0;
};

// Adds the drawings under the folder to candidates, depth first: files named
// *.dwg that are not hidden, system, temporary or offline, in every
// subfolder but those whose name starts with "..". Nothing for a folder that
// cannot be searched.
void ScanFolder(const std::wstring& folder, std::vector<Candidate>& candidates);

// The attributes of the entries of a folder (given with its trailing
// separator) by name, letter case ignored, from one search of the folder;
// empty when it cannot be searched.
using FolderEntries = std::unordered_map<std::wstring, DWORD, text::NoCaseHash, text::NoCaseEqual>;
FolderEntries ReadFolderEntries(const std::wstring& folder);

// Reads a drawing list skipping the lines marked "[x]"; false when it
// cannot be read (a file that cannot be opened has been reported).
bool ReadDrawingList(const std::wstring& path, std::vector<std::wstring>& entries);

// Case-insensitive, locale-aware comparison: <0, 0, >0.
int CollateNoCase(const std::wstring& a, const std::wstring& b);
// The key of the same collation: two texts compare as their keys do, byte by
// byte. Appended with its final zero, so that keys of a chain can follow
// one another. False when the system gives none.
bool AppendCollationKey(const std::wstring& text, std::string& key);

}  // namespace drawingscan
