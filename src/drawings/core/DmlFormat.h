// The drawing list file format and the reading rules of the text-file class,
// free of windows.h: characters from the bytes of a one- or two-byte code page,
// lines from characters, list entries from lines, and list lines from paths.
//
// A list is the header line, then one line per drawing: "[x]" or "[ ]" and at
// once the path. Every line ends in CR LF; the first empty line ends the list.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace dml {

constexpr std::wstring_view kMarked = L"[x]";
constexpr std::wstring_view kUnmarked = L"[ ]";
constexpr std::wstring_view kLineEnd = L"\r\n";
constexpr size_t kMarkLength = 3;

// A code page as the reader sees it: which bytes lead a two-byte character,
// and the character of one or two bytes. The character of each single byte is
// asked for once and kept in a table; pairs are decoded as they come.
class CodePage {
  public:
    using IsLeadFn = std::function<bool(unsigned char byte)>;
    // The character of bytes[0 .. count), count 1 or 2; false when the code
    // page gives none.
    using DecodeFn = std::function<bool(const char* bytes, size_t count, wchar_t& out)>;

    CodePage(const IsLeadFn& isLead, DecodeFn decode);

    bool IsLead(unsigned char byte) const { return lead_[byte]; }
    bool DecodeSingle(unsigned char byte, wchar_t& out) const {
        out = single_[byte];
        return hasSingle_[byte];
    }
    bool DecodePair(unsigned char lead, unsigned char trail, wchar_t& out) const;

  private:
    std::array<bool, 256> lead_{};
    std::array<bool, 256> hasSingle_{};
    std::array<wchar_t, 256> single_{};
    DecodeFn decode_;
};

// One character from the bytes that nextByte (bool(unsigned char&), false at
// the end) hands out: a lead byte takes the byte after it along. False at the
// end, for a lead byte that is the last byte, and when the code page gives no
// character.
template <typename NextByte>
bool ReadChar(const CodePage& codePage, NextByte&& nextByte, wchar_t& out) {
    unsigned char first = 0;
    if (!nextByte(first)) return false;
    if (!codePage.IsLead(first)) return codePage.DecodeSingle(first, out);
    unsigned char second = 0;
    if (!nextByte(second)) return false;
    return codePage.DecodePair(first, second, out);
}

// A line from the characters that nextChar (bool(wchar_t&)) hands out, up to
// LF or the first failed character. Every CR is dropped wherever it stands;
// the LF is not kept. True when the line is not empty, so an empty line and
// the end of the text both give false.
template <typename NextChar>
bool ReadLine(NextChar&& nextChar, std::wstring& line) {
    line.clear();
    wchar_t c = 0;
    while (nextChar(c) && c != L'\n') {
        if (c != L'\r') line += c;
    }
    return !line.empty();
}

// Every character up to and including the stop character (CR kept), or up to
// the first failed character.
template <typename NextChar>
void ReadUntil(NextChar&& nextChar, wchar_t stop, std::wstring& text) {
    text.clear();
    wchar_t c = 0;
    while (nextChar(c)) {
        text += c;
        if (c == stop) break;
    }
}

// Whether a list line carries the mark: its first three characters are
// exactly "[x]" ("[X]" is not the mark).
bool IsMarkedLine(std::wstring_view line);
// The path of a list line: everything after its three mark characters; empty
// for a line of three characters or fewer.
std::wstring EntryOfLine(std::wstring_view line);

// A whole list from the lines that nextLine (as ReadLine: false for an empty
// line and at the end) hands out. False, with no entries, when the first line
// is empty or is not exactly the header. Marked lines are left out when
// skipMarked is set; any other mark counts as unmarked.
template <typename NextLine>
bool ReadList(NextLine&& nextLine, std::wstring_view header, bool skipMarked,
              std::vector<std::wstring>& entries) {
    entries.clear();
    std::wstring line;
    if (!nextLine(line) || line != header) return false;
    while (nextLine(line)) {
        if (skipMarked && IsMarkedLine(line)) continue;
        entries.push_back(EntryOfLine(line));
    }
    return true;
}

// A list in memory, read with exactly the rules above.
bool ParseList(std::string_view bytes, const CodePage& codePage, std::wstring_view header,
               bool skipMarked, std::vector<std::wstring>& entries);

// Appends the header line, or one drawing's line, each with its CR LF.
void AppendHeaderLine(std::wstring& out, std::wstring_view header);
void AppendListLine(std::wstring& out, std::wstring_view path, bool marked);

// Whether the path at index i is to be written marked: marks may be absent or
// shorter than the paths; what it does not cover is unmarked.
inline bool MarkAt(const std::vector<uint8_t>* marks, size_t i) {
    return marks && i < marks->size() && (*marks)[i] != 0;
}

// The whole text of a list (header line, then a line per path).
std::wstring ComposeList(std::wstring_view header, const std::vector<std::wstring>& paths,
                         const std::vector<uint8_t>* marks);

// The marks a finished run leaves: entry i is marked exactly when done holds
// it, ignoring letter case. The marks the entries had before play no part.
std::vector<uint8_t> MarksFor(const std::vector<std::wstring>& entries,
                              const std::vector<std::wstring>& done);

}  // namespace dml
