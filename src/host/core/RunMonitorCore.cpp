#include "host/core/RunMonitorCore.h"

#include <algorithm>
#include <climits>
#include <functional>

#include "core/Text.h"

namespace runmon {

std::optional<int> ParseCounter(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const size_t digits = i;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) return std::nullopt;
    }
    if (i == digits) return std::nullopt;
    if (negative) value = -value;
    if (value > INT_MAX || value < INT_MIN) return std::nullopt;
    return static_cast<int>(value);
}

ProgressSpan SpanOfMode(int mode) {
    if (mode == kScanThenUpdate) return {kProgressStart, kProgressMiddle};
    if (mode == kScanOnly) return {kProgressStart, kProgressEnd};
    return {kProgressMiddle, kProgressEnd};
}

int ProgressPosition(ProgressSpan span, int n, int count) {
    const double position =
        span.From + double(span.To - span.From) * double(n) / (double(count) + 1.0);
    return static_cast<int>(position);
}

int BudgetSeconds(int timeoutMinutes) {
    if (timeoutMinutes > INT_MAX / 60) return INT_MAX;
    if (timeoutMinutes < INT_MIN / 60) return INT_MIN;
    return timeoutMinutes * 60;
}

std::vector<std::wstring> ActiveMarkers(const std::vector<std::wstring>& markers) {
    std::vector<std::wstring> active;
    for (const std::wstring& marker : markers)
        if (!marker.empty() && marker[0] != L'?') active.push_back(text::ToLower(marker));
    return active;
}

std::optional<std::wstring> FindMarkedLine(std::wstring_view text,
                                           const std::vector<std::wstring>& markers) {
    if (markers.empty()) return std::nullopt;
    // One pass of case folding over the whole text, then each marker searched
    // once: the earliest hit lies in the first marked line, since no marker
    // holds a line end.
    const std::wstring folded = text::ToLower(text);
    size_t first = std::wstring::npos;
    for (const std::wstring& marker : markers) {
        if (marker.find(L'\n') != std::wstring::npos) continue;
        const size_t limit = first == std::wstring::npos ? folded.size() : first + marker.size();
        const auto end =
            folded.begin() + static_cast<std::ptrdiff_t>(std::min(limit, folded.size()));
        const auto hit = std::search(
            folded.begin(), end, std::boyer_moore_horspool_searcher(marker.begin(), marker.end()));
        if (hit != end) first = std::min(first, static_cast<size_t>(hit - folded.begin()));
    }
    if (first == std::wstring::npos) return std::nullopt;
    const size_t begin = first == 0 ? 0 : text.rfind(L'\n', first - 1) + 1;  // npos + 1 == 0
    size_t end = text.find(L'\n', first);
    if (end == std::wstring_view::npos) end = text.size();
    if (end > begin && text[end - 1] == L'\r') --end;
    return std::wstring(text.substr(begin, end - begin));
}

std::wstring MarkedLineDetail(std::wstring_view line, size_t maxChars) {
    return L"\t** \"" + std::wstring(line.substr(0, maxChars)) + L"\"";
}

}  // namespace runmon
