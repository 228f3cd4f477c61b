#include "drawings/core/DmlFormat.h"

#include <utility>

#include "core/Text.h"

namespace dml {

CodePage::CodePage(const IsLeadFn& isLead, DecodeFn decode) : decode_(std::move(decode)) {
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        lead_[byte] = isLead && isLead(byte);
        const char single = static_cast<char>(byte);
        wchar_t c = 0;
        if (decode_ && decode_(&single, 1, c)) {
            hasSingle_[byte] = true;
            single_[byte] = c;
        }
    }
}

bool CodePage::DecodePair(unsigned char lead, unsigned char trail, wchar_t& out) const {
    if (!decode_) return false;
    const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    return decode_(pair, 2, out);
}

bool IsMarkedLine(std::wstring_view line) {
    return line.substr(0, kMarkLength) == kMarked;
}

std::wstring EntryOfLine(std::wstring_view line) {
    if (line.size() <= kMarkLength) return std::wstring();
    return std::wstring(line.substr(kMarkLength));
}

bool ParseList(std::string_view bytes, const CodePage& codePage, std::wstring_view header,
               bool skipMarked, std::vector<std::wstring>& entries) {
    size_t pos = 0;
    auto nextByte = [&](unsigned char& b) {
        if (pos >= bytes.size()) return false;
        b = static_cast<unsigned char>(bytes[pos++]);
        return true;
    };
    auto nextChar = [&](wchar_t& c) { return ReadChar(codePage, nextByte, c); };
    auto nextLine = [&](std::wstring& line) { return ReadLine(nextChar, line); };
    return ReadList(nextLine, header, skipMarked, entries);
}

void AppendHeaderLine(std::wstring& out, std::wstring_view header) {
    out += header;
    out += kLineEnd;
}

void AppendListLine(std::wstring& out, std::wstring_view path, bool marked) {
    out += marked ? kMarked : kUnmarked;
    out += path;
    out += kLineEnd;
}

std::wstring ComposeList(std::wstring_view header, const std::vector<std::wstring>& paths,
                         const std::vector<uint8_t>* marks) {
    std::wstring out;
    AppendHeaderLine(out, header);
    for (size_t i = 0; i < paths.size(); ++i) AppendListLine(out, paths[i], MarkAt(marks, i));
    return out;
}

std::vector<uint8_t> MarksFor(const std::vector<std::wstring>& entries,
                              const std::vector<std::wstring>& done) {
    const text::NoCaseSet doneSet(done.begin(), done.end());
    std::vector<uint8_t> marks;
    marks.reserve(entries.size());
    for (const auto& entry : entries) marks.push_back(doneSet.count(entry) ? 1 : 0);
    return marks;
}

}  // namespace dml
