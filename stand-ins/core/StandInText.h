// Text helpers of the stand-ins: UTF-8 for the texts a stand-in drawing carries,
// and the little path and line handling the host and its extension need.
// No windows.h here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace standin {

// UTF-8 of a wide string (UTF-16 on Windows, UTF-32 elsewhere); a lone
// surrogate becomes U+FFFD.
std::string ToUtf8(std::wstring_view s);
// Wide string of UTF-8 bytes; every malformed sequence becomes U+FFFD.
std::wstring FromUtf8(std::string_view s);

// Without leading and trailing blanks, tabs and line ends.
std::wstring Trim(std::wstring_view s);
// Trimmed, and without one pair of enclosing double quotes.
std::wstring Unquote(std::wstring_view s);

// The file name after the last "\" or "/", and the folder up to and including it.
std::wstring FileNameOf(std::wstring_view path);
std::wstring FolderOf(std::wstring_view path);
// "C:\...", "C:/...", "\\server\..." or "\..." (rooted on the current drive).
bool IsRootedPath(std::wstring_view path);

// Splits bytes into lines at LF, dropping one CR before it; a last line without
// a line end counts, an empty last line after the final line end does not.
std::vector<std::string> SplitLines(std::string_view bytes);

}  // namespace standin
