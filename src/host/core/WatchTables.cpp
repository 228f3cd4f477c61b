#include "host/core/WatchTables.h"

#include "core/Text.h"

namespace {
constexpr FatalRow Row(unsigned id) {
    return {id, id >= 2115 && id <= 2117, id >= 2118 && id <= 2123};
}
}  // namespace

const FatalRow kFatalRows[kFatalRowCount] = {
    Row(2191), Row(2192), Row(2193), Row(2194), Row(2195), Row(2101), Row(2102),
    Row(2103), Row(2104), Row(2105), Row(2106), Row(2107), Row(2108), Row(2109),
    Row(2110), Row(2111), Row(2112), Row(2113), Row(2114), Row(2115), Row(2116),
    Row(2117), Row(2118), Row(2119), Row(2120), Row(2121), Row(2122), Row(2123),
    Row(2124), Row(2125), Row(2126), Row(2127), Row(2128), Row(2129),
};

const KeyRow kKeyRows[kKeyRowCount] = {
    {2130, 27, false, false}, {2131, 27, true, false},  {2132, 0, false, true},
    {2133, 27, false, false}, {2134, 13, false, false}, {2137, 13, false, false},
    {2138, 13, false, false}, {2139, 0, false, false},  {2140, 0, false, false},
};

bool IsPlaceholderTitle(std::wstring_view s) {
    return !s.empty() && s[0] == L'?';
}

bool TitleMatches(std::wstring_view title, std::wstring_view pattern, bool wildcard) {
    if (!wildcard) return text::EqualsNoCase(title, pattern);
    const size_t star = pattern.find(L"***");
    if (star == std::wstring_view::npos || star == 0) return false;
    const std::wstring_view prefix = pattern.substr(0, star);
    const std::wstring_view suffix = pattern.substr(star + 3);
    return title.size() >= prefix.size() && title.size() >= suffix.size() &&
           text::StartsWithNoCase(title, prefix) &&
           text::EqualsNoCase(title.substr(title.size() - suffix.size()), suffix);
}
