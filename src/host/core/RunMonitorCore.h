// The arithmetic and text rules of the run monitor, apart from its window:
// the counter file's number, the progress bar position, the time budgets and
// the host log's error markers. No windows.h here.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace runmon {

// Monitor modes: idle, scan then update, update only, scan only.
enum Mode { kIdle = 0, kScanThenUpdate = 1, kUpdate = 2, kScanOnly = 3 };

constexpr int kProgressStart = 0;
constexpr int kProgressMiddle = 30;
constexpr int kProgressEnd = 100;
// What the monitor reads of the counter file (the batch file writes "N \r\n").
constexpr size_t kCounterChars = 40;

// The drawing number at the start of the counter file's text: blanks, an
// optional sign and decimal digits; anything may follow. Nothing for a text
// without digits there or a number beyond int.
std::optional<int> ParseCounter(std::string_view text);

// The part of the bar a mode's phase fills: (start, middle) for the scan
// before an update, (middle, end) for the update, (start, end) otherwise.
struct ProgressSpan {
    int From;
    int To;
};
ProgressSpan SpanOfMode(int mode);
// from + (to - from) * n / (count + 1), truncated toward zero.
int ProgressPosition(ProgressSpan span, int n, int count);

// A drawing's budget in seconds for a timeout in minutes, kept within int.
int BudgetSeconds(int timeoutMinutes);

// The error markers to look for: placeholders (starting with "?") and empty
// strings are left out; the rest lower-cased for a search ignoring case.
std::vector<std::wstring> ActiveMarkers(const std::vector<std::wstring>& markers);

// The first line of the text (lines end at LF; a CR before it is not part of
// the line) that contains one of the markers ignoring case, as it stands in
// the text. markers must come from ActiveMarkers.
std::optional<std::wstring> FindMarkedLine(std::wstring_view text,
                                           const std::vector<std::wstring>& markers);

// The migration log's detail text for a marked host log line: two asterisks,
// a blank and the line in double quotes after a tab (the detail line's own
// tab makes two). Very long lines are cut to maxChars characters.
std::wstring MarkedLineDetail(std::wstring_view line, size_t maxChars = 2047);

}  // namespace runmon
