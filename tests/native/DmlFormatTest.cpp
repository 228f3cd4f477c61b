#include "drawings/core/DmlFormat.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::wstring kHeader = L"[Drawing list]";

// Latin-1: every byte is its own character.
dml::CodePage Latin1() {
    return dml::CodePage(nullptr, [](const char* bytes, size_t count, wchar_t& out) {
        if (count != 1) return false;
        out = static_cast<unsigned char>(bytes[0]);
        return true;
    });
}

// A made-up double-byte code page: 0x81..0x9F lead, a pair gives
// U+4E00 + (lead - 0x81) * 256 + trail unless the trail byte is below 0x40;
// 0xFF alone has no character.
dml::CodePage DoubleByte() {
    return dml::CodePage([](unsigned char b) { return b >= 0x81 && b <= 0x9F; },
                         [](const char* bytes, size_t count, wchar_t& out) {
                             const auto first = static_cast<unsigned char>(bytes[0]);
                             if (count == 1) {
                                 if (first == 0xFF) return false;
                                 out = first;
                                 return true;
                             }
                             const auto trail = static_cast<unsigned char>(bytes[1]);
                             if (trail < 0x40) return false;
                             out = static_cast<wchar_t>(0x4E00 + (first - 0x81) * 256 + trail);
                             return true;
                         });
}

// Reads characters from bytes the way the file class does.
struct ByteReader {
    std::string bytes;
    const dml::CodePage& codePage;
    size_t pos = 0;

    bool NextChar(wchar_t& c) {
        return dml::ReadChar(
            codePage,
            [this](unsigned char& b) {
                if (pos >= bytes.size()) return false;
                b = static_cast<unsigned char>(bytes[pos++]);
                return true;
            },
            c);
    }
    std::vector<std::wstring> Lines() {
        std::vector<std::wstring> lines;
        std::wstring line;
        while (pos < bytes.size()) {
            dml::ReadLine([this](wchar_t& c) { return NextChar(c); }, line);
            lines.push_back(line);
        }
        return lines;
    }
};

std::vector<std::wstring> Parse(const std::string& bytes, bool skipMarked, bool* ok = nullptr) {
    std::vector<std::wstring> entries{L"left over"};
    const bool result = dml::ParseList(bytes, Latin1(), kHeader, skipMarked, entries);
    if (ok) *ok = result;
    return entries;
}

std::string Narrow(const std::wstring& s) {  // Latin-1 bytes of a composed list
    std::string out;
    for (wchar_t c : s) out += static_cast<char>(c);
    return out;
}

using Entries = std::vector<std::wstring>;

}  // namespace

TEST(DmlDecoding, SingleBytesAndPairsOfADoubleByteCodePage) {
    const dml::CodePage cp = DoubleByte();
    ByteReader reader{std::string("a\x81\x41"
                                  "b\x9F\xFE"),
                      cp};
    std::wstring chars;
    wchar_t c = 0;
    while (reader.NextChar(c)) chars += c;
    EXPECT_EQ(chars,
              std::wstring(L"a") + wchar_t(0x4E41) + L"b" + wchar_t(0x4E00 + 30 * 256 + 0xFE));
}

TEST(DmlDecoding, ALineEndAfterALeadByteIsTakenAsItsTrailByte) {
    // The pair lead + LF has no character: the line ends there, LF swallowed.
    const dml::CodePage cp = DoubleByte();
    ByteReader reader{std::string("ab\x81\ncd\n"), cp};
    EXPECT_EQ(reader.Lines(), (Entries{L"ab", L"cd"}));
}

TEST(DmlDecoding, ALeadByteAtTheEndAndAByteWithoutCharacterStopTheReading) {
    const dml::CodePage cp = DoubleByte();
    ByteReader atEnd{std::string("x\x81"), cp};
    wchar_t c = 0;
    EXPECT_TRUE(atEnd.NextChar(c));
    EXPECT_FALSE(atEnd.NextChar(c));

    ByteReader noChar{std::string("a\xFF"
                                  "b"),
                      cp};
    std::wstring line;
    EXPECT_TRUE(dml::ReadLine([&](wchar_t& ch) { return noChar.NextChar(ch); }, line));
    EXPECT_EQ(line, L"a");
    EXPECT_TRUE(dml::ReadLine([&](wchar_t& ch) { return noChar.NextChar(ch); }, line));
    EXPECT_EQ(line, L"b");
}

TEST(DmlDecoding, TheTableAgreesWithTheDecodeFunctionForEverySingleByte) {
    int calls = 0;
    dml::CodePage cp([](unsigned char b) { return b == 0x80; },
                     [&calls](const char* bytes, size_t count, wchar_t& out) {
                         ++calls;
                         out = static_cast<wchar_t>(0x100 + static_cast<unsigned char>(bytes[0]));
                         return static_cast<unsigned char>(bytes[0]) % 2 == 0;
                     });
    EXPECT_EQ(calls, 256);
    wchar_t c = 0;
    EXPECT_TRUE(cp.DecodeSingle(0x10, c));
    EXPECT_EQ(c, 0x110);
    EXPECT_FALSE(cp.DecodeSingle(0x11, c));
    EXPECT_TRUE(cp.IsLead(0x80));
    EXPECT_FALSE(cp.IsLead(0x81));
}

TEST(DmlLines, CrIsDroppedEverywhereAndLfOnlyLineEndsReadTheSame) {
    const dml::CodePage cp = Latin1();
    EXPECT_EQ((ByteReader{"a\rb\r\ncd\r\r\n", cp}.Lines()), (Entries{L"ab", L"cd"}));
    EXPECT_EQ((ByteReader{"ab\ncd\n", cp}.Lines()), (Entries{L"ab", L"cd"}));
    EXPECT_EQ((ByteReader{"ab\ncd", cp}.Lines()), (Entries{L"ab", L"cd"}));
}

TEST(DmlLines, AnEmptyLineAndTheEndBothGiveFalse) {
    const dml::CodePage cp = Latin1();
    ByteReader reader{"\r\nx", cp};
    auto next = [&](wchar_t& c) { return reader.NextChar(c); };
    std::wstring line = L"old";
    EXPECT_FALSE(dml::ReadLine(next, line));
    EXPECT_EQ(line, L"");
    EXPECT_TRUE(dml::ReadLine(next, line));
    EXPECT_FALSE(dml::ReadLine(next, line));
}

TEST(DmlLines, ReadUntilKeepsCrAndTheStopCharacter) {
    const dml::CodePage cp = Latin1();
    ByteReader reader{"c:\\a\r\nc:\\b", cp};
    auto next = [&](wchar_t& c) { return reader.NextChar(c); };
    std::wstring text;
    dml::ReadUntil(next, L'\n', text);
    EXPECT_EQ(text, L"c:\\a\r\n");
    dml::ReadUntil(next, L'\n', text);
    EXPECT_EQ(text, L"c:\\b");
    dml::ReadUntil(next, L'\n', text);
    EXPECT_EQ(text, L"");
}

TEST(DmlList, TheHeaderMustBeTheFirstLineExactly) {
    bool ok = true;
    EXPECT_TRUE(Parse("[Drawing list]\r\n[ ]c:\\a.dwg\r\n", false, &ok).size() == 1 && ok);
    EXPECT_TRUE(Parse("[drawing list]\r\n[ ]c:\\a.dwg\r\n", false, &ok).empty());
    EXPECT_FALSE(ok);
    EXPECT_TRUE(Parse("\r\n[Drawing list]\r\n[ ]c:\\a.dwg\r\n", false, &ok).empty());
    EXPECT_FALSE(ok);
    EXPECT_TRUE(Parse("", false, &ok).empty());
    EXPECT_FALSE(ok);
    EXPECT_TRUE(Parse("[Drawing list] \r\n", false, &ok).empty());
    EXPECT_FALSE(ok);
}

TEST(DmlList, AHeaderAloneIsAnEmptyList) {
    bool ok = false;
    EXPECT_TRUE(Parse("[Drawing list]\r\n", true, &ok).empty());
    EXPECT_TRUE(ok);
    EXPECT_TRUE(Parse("[Drawing list]", true, &ok).empty());
    EXPECT_TRUE(ok);
}

TEST(DmlList, ABlankLineEndsTheList) {
    EXPECT_EQ(Parse("[Drawing list]\r\n[ ]a\r\n\r\n[ ]b\r\n", false), (Entries{L"a"}));
    EXPECT_EQ(Parse("[Drawing list]\n[ ]a\n\r\n[ ]b\n", false), (Entries{L"a"}));
}

TEST(DmlList, OnlyLowerCaseXIsTheMark) {
    const std::string list = "[Drawing list]\r\n[x]a\r\n[X]b\r\n[ ]c\r\n(-)d\r\n";
    EXPECT_EQ(Parse(list, true), (Entries{L"b", L"c", L"d"}));
    EXPECT_EQ(Parse(list, false), (Entries{L"a", L"b", L"c", L"d"}));
}

TEST(DmlList, LinesOfThreeCharactersOrFewerGiveEmptyEntries) {
    const std::string list = "[Drawing list]\r\n[ ]\r\nab\r\n[x]\r\n[x\r\n";
    EXPECT_EQ(Parse(list, false), (Entries{L"", L"", L"", L""}));
    EXPECT_EQ(Parse(list, true), (Entries{L"", L"", L""}));
}

TEST(DmlList, PathsKeepTheirTextAndOrder) {
    const std::string list = "[Drawing list]\r\n[ ]C:\\Work\\B.dwg\r\n[ ] c:\\a b\\a.dwg \r\n";
    EXPECT_EQ(Parse(list, false), (Entries{L"C:\\Work\\B.dwg", L" c:\\a b\\a.dwg "}));
}

TEST(DmlCompose, HeaderThenOneMarkedOrUnmarkedLinePerPath) {
    const Entries paths{L"c:\\a.dwg", L"c:\\b.dwg", L"c:\\c.dwg"};
    EXPECT_EQ(dml::ComposeList(kHeader, paths, nullptr),
              L"[Drawing list]\r\n[ ]c:\\a.dwg\r\n[ ]c:\\b.dwg\r\n[ ]c:\\c.dwg\r\n");
    const std::vector<uint8_t> marks{0, 7};  // shorter than the paths
    EXPECT_EQ(dml::ComposeList(kHeader, paths, &marks),
              L"[Drawing list]\r\n[ ]c:\\a.dwg\r\n[x]c:\\b.dwg\r\n[ ]c:\\c.dwg\r\n");
    EXPECT_EQ(dml::ComposeList(kHeader, {}, nullptr), L"[Drawing list]\r\n");
}

TEST(DmlCompose, AComposedListReadsBackToItsPaths) {
    const Entries paths{L"c:\\a.dwg", L"", L"[x]c:\\odd.dwg", L"c:\\\xe9t\xe9.dwg"};
    const std::vector<uint8_t> marks{1, 0, 0, 1};
    const std::string bytes = Narrow(dml::ComposeList(kHeader, paths, &marks));
    EXPECT_EQ(Parse(bytes, false), paths);
    EXPECT_EQ(Parse(bytes, true), (Entries{L"", L"[x]c:\\odd.dwg"}));
}

TEST(DmlMarks, DoneMarksEntriesIgnoringCaseAndClearsEarlierMarks) {
    const Entries entries{L"c:\\a.dwg", L"c:\\b.dwg", L"c:\\\xe9.dwg", L"c:\\a.dwg"};
    EXPECT_EQ(dml::MarksFor(entries, {}), (std::vector<uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(dml::MarksFor(entries, {L"C:\\A.DWG", L"c:\\\xc9.DWG", L"c:\\missing.dwg"}),
              (std::vector<uint8_t>{1, 0, 1, 1}));
    EXPECT_TRUE(dml::MarksFor({}, {L"c:\\a.dwg"}).empty());
}
