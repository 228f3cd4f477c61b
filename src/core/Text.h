// Small text helpers shared by every layer: case folding for path comparisons
// and a printf-like formatter for resource texts. No windows.h here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace text {

// Lower case of one character: ASCII, Latin-1, Latin Extended-A, Greek,
// Cyrillic and the full-width Latin letters. Other characters are returned as
// they are. Paths are lower-cased and compared with this one mapping
// everywhere, so the program agrees with itself on every machine.
wchar_t ToLowerChar(wchar_t c);
std::wstring ToLower(std::wstring_view s);

bool EqualsNoCase(std::wstring_view a, std::wstring_view b);
bool StartsWithNoCase(std::wstring_view s, std::wstring_view prefix);

struct NoCaseHash {
    size_t operator()(std::wstring_view s) const;
};
struct NoCaseEqual {
    bool operator()(std::wstring_view a, std::wstring_view b) const { return EqualsNoCase(a, b); }
};
// A set of strings that compares them ignoring letter case.
using NoCaseSet = std::unordered_set<std::wstring, NoCaseHash, NoCaseEqual>;

// One argument of Format: a number or a text.
class FormatArg {
  public:
    FormatArg(int v) : isText_(false), number_(v) {}
    FormatArg(long v) : isText_(false), number_(v) {}
    FormatArg(long long v) : isText_(false), number_(v) {}
    FormatArg(unsigned v) : isText_(false), number_(v) {}
    FormatArg(unsigned long v) : isText_(false), number_(static_cast<long long>(v)) {}
    FormatArg(unsigned long long v) : isText_(false), number_(static_cast<long long>(v)) {}
    FormatArg(const wchar_t* s) : isText_(true), text_(s ? s : L"") {}
    FormatArg(const std::wstring& s) : isText_(true), text_(s) {}
    FormatArg(std::wstring_view s) : isText_(true), text_(s) {}

    bool IsText() const { return isText_; }
    long long Number() const { return number_; }
    std::wstring_view Text() const { return text_; }

  private:
    bool isText_;
    long long number_ = 0;
    std::wstring_view text_;
};

// Formats like the C runtime's wide printf for the conversions resource texts
// use: %s (also %ls, %S), %d, %i, %u, %x, %X, %c with the flags "-0",
// a width and the length modifiers l, ll, h and I64; %% is a percent sign.
// Unlike printf it cannot be made to read past its arguments: a conversion
// without an argument formats nothing, a number given for %s is written in
// decimal, and a text given for %d is written as it is. Unknown conversions
// are copied unchanged.
std::wstring Format(std::wstring_view format, std::initializer_list<FormatArg> args);
std::wstring Format(std::wstring_view format, const std::vector<FormatArg>& args);

// Decimal text of a number.
std::wstring Decimal(long long v);

// Reads a whole decimal int: blanks and tabs around it, an optional sign,
// at least one digit, nothing else, no overflow. False leaves value unchanged.
bool ParseInt(std::wstring_view s, int& value);

// Appends "\" unless the last "\" or "/" of the path is its last character.
// An empty path becomes "\".
void AppendTrailingSeparator(std::wstring& path);

// Splits at every ';': "a;;b;" gives a, "", b and ";a" gives "", a. Entries are
// not trimmed.
std::vector<std::wstring> SplitSemicolons(std::wstring_view s);
std::wstring JoinSemicolons(const std::vector<std::wstring>& parts);

}  // namespace text
