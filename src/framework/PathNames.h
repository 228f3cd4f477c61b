// The short (8.3) and long forms of a path, through the file system.
#pragma once

#include <string>

namespace fw {

// Empty when the path names nothing that exists or the system has no such form.
std::wstring ShortPathName(const std::wstring& path);
std::wstring LongPathName(const std::wstring& path);

}  // namespace fw
