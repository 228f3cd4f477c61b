// Drawing list reading against its own writer. Whatever the bytes: reading
// stays in bounds, a rejected list has no entries, entries hold no CR or LF,
// and a list composed from the entries reads back to exactly them (only the
// unmarked ones when marked lines are skipped).
//
// Input: one control byte (bit 0 skip marked lines, bit 1 put a header line
// in front, bit 2 the double-byte code page), then the file's bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "drawings/core/DmlFormat.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

const std::wstring kHeader = L"[list]";

const dml::CodePage& Latin1() {
    static const dml::CodePage codePage(nullptr, [](const char* bytes, size_t count, wchar_t& out) {
        if (count != 1) return false;
        out = static_cast<unsigned char>(bytes[0]);
        return true;
    });
    return codePage;
}

// Shaped like Shift-JIS: 0x81..0x9F and 0xE0..0xFC lead; a pair with a trail
// byte below 0x40 or 0x7F has no character, nor has 0xA0 alone.
const dml::CodePage& DoubleByte() {
    static const dml::CodePage codePage(
        [](unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); },
        [](const char* bytes, size_t count, wchar_t& out) {
            const auto lead = static_cast<unsigned char>(bytes[0]);
            if (count == 1) {
                if (lead == 0xA0) return false;
                out = lead < 0x80 ? lead : static_cast<wchar_t>(0xFF00 + lead - 0x80);
                return true;
            }
            const auto trail = static_cast<unsigned char>(bytes[1]);
            if (trail < 0x40 || trail == 0x7F) return false;
            out = static_cast<wchar_t>(0x4E00 + lead * 256 + trail);
            return true;
        });
    return codePage;
}

std::string EncodeLatin1(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        Check(c <= 0xFF);
        out += static_cast<char>(c);
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t control = data[0];
    const bool skipMarked = control & 1;
    const bool latin1 = !(control & 4);
    std::string input = (control & 2) ? "[list]\r\n" : "";
    input.append(reinterpret_cast<const char*>(data + 1), size - 1);
    const dml::CodePage& codePage = latin1 ? Latin1() : DoubleByte();

    std::vector<std::wstring> entries{L"stale"};
    if (!dml::ParseList(input, codePage, kHeader, skipMarked, entries)) {
        Check(entries.empty());
        return 0;
    }
    Check(entries.size() <= input.size());
    for (const auto& entry : entries) {
        Check(entry.find(L'\r') == std::wstring::npos && entry.find(L'\n') == std::wstring::npos);
    }
    if (!latin1) return 0;

    // Compose the whole list again with marks of our own choosing.
    std::vector<std::wstring> all;
    Check(dml::ParseList(input, codePage, kHeader, false, all));
    std::vector<uint8_t> marks;
    std::vector<std::wstring> marked, unmarked;
    for (size_t i = 0; i < all.size(); ++i) {
        const bool mark = (all[i].size() + i) % 3 == 0;
        marks.push_back(mark ? 1 : 0);
        (mark ? marked : unmarked).push_back(all[i]);
    }
    const std::string composed = EncodeLatin1(dml::ComposeList(kHeader, all, &marks));
    std::vector<std::wstring> back;
    Check(dml::ParseList(composed, codePage, kHeader, false, back) && back == all);
    Check(dml::ParseList(composed, codePage, kHeader, true, back) && back == unmarked);

    // What a run reports done is marked again, and only what equals it.
    const std::vector<uint8_t> again = dml::MarksFor(all, marked);
    for (size_t i = 0; i < all.size(); ++i) {
        if (marks[i]) Check(again[i] == 1);
    }
    return 0;
}
