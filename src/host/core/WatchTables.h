// The two tables of host dialog titles the window watcher knows, and how a
// title is matched against one of their strings. No windows.h here.
#pragma once

#include <cstddef>
#include <string_view>

// Windows whose owning process is ended.
struct FatalRow {
    unsigned Id;        // string with the title
    bool Wildcard;      // "***" stands for anything
    bool LogsChildren;  // the window's texts go to the log first
};
constexpr size_t kFatalRowCount = 34;
extern const FatalRow kFatalRows[kFatalRowCount];

// Windows answered with one key.
struct KeyRow {
    unsigned Id;
    unsigned Key;  // virtual key posted (0 is posted as it is)
    bool Wildcard;
    bool AnswerKey;  // the key is the first character of the answer string
};
constexpr size_t kKeyRowCount = 9;
extern const KeyRow kKeyRows[kKeyRowCount];

// A string beginning with "?" stands for a window this release does not have.
bool IsPlaceholderTitle(std::wstring_view s);

// True when the title equals the string, ignoring case; for a wildcard string,
// when the title begins with the text before its first "***" and ends with
// the text after it (the two may overlap). A wildcard string without "***"
// after its first character matches nothing.
bool TitleMatches(std::wstring_view title, std::wstring_view pattern, bool wildcard);
