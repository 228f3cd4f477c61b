// The short (8.3) and long forms of a path, and the temporary folder.
#pragma once

#include <string>

namespace fw {

// Empty when the path names nothing that exists or the system has no such form.
std::wstring ShortPathName(const std::wstring& path);
std::wstring LongPathName(const std::wstring& path);

// The user's temporary folder as the system reports it, with its trailing
// backslash; false when the query fails or the folder is longer than
// MAX_PATH characters.
bool TempFolder(std::wstring& folder);

}  // namespace fw
