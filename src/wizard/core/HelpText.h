// The help file's text as the help window shows it.
#pragma once

#include <string>
#include <string_view>

// Every line end of the decoded file (a line feed, or a CR LF pair) becomes
// CR LF, the line end a multi-line edit shows as a new line. NUL characters
// are left out: the window text would end at the first one.
std::wstring HelpTextForDisplay(std::wstring_view decoded);
