#include "framework/TextStream.h"

#include "support/WinTest.h"

using namespace testenv;
using fw::TextStream;

namespace {
const fw::TextLocale kWestern{1252};
const fw::TextLocale kJapanese{932};

// Every line until the first failing read, appended.
void AppendLines(const std::wstring& path, fw::TextLocale locale, size_t maxChars,
                 std::vector<std::wstring>& lines) {
    TextStream in(path, TextStream::Mode::Read, locale);
    std::wstring line;
    while (in.ReadLine(line, maxChars)) lines.push_back(line);
}
}  // namespace

TEST(TextStream, WritesTheCodePageWithCrLfLineEnds) {
    ScratchDir dir;
    const std::wstring path = dir / L"out.txt";
    {
        TextStream out(path, TextStream::Mode::Write, kWestern);
        ASSERT_TRUE(out.IsOpen());
        EXPECT_TRUE(out.WriteLine(L"M\u00fcller"));
        EXPECT_TRUE(out.Write(L"a\nb\n"));
    }
    EXPECT_EQ(ReadBytes(path), "M\xfcller\r\na\r\nb\r\n");
}

TEST(TextStream, AnUnrepresentableCharacterIsReplacedAndTheRestStillWritten) {
    ScratchDir dir;
    const std::wstring path = dir / L"out.txt";
    {
        TextStream out(path, TextStream::Mode::Write, kWestern);
        bool lossy = false;
        EXPECT_TRUE(out.WriteLine(L"\u010cert\u00e9\u017e", &lossy));  // Č has no 1252 byte
        EXPECT_TRUE(lossy);
        EXPECT_TRUE(out.WriteLine(L"next line", &lossy));
        EXPECT_FALSE(lossy);
    }
    // No best-fit look-alike ("C"): the default character, and nothing lost after it.
    EXPECT_EQ(ReadBytes(path), "?ert\xe9\x9e\r\nnext line\r\n");
    EXPECT_FALSE(TextStream::CanRepresent(L"\u010c", kWestern));
    EXPECT_TRUE(TextStream::CanRepresent(L"\u00e4\u20ac", kWestern));
}

TEST(TextStream, DoubleByteCodePagesRoundTrip) {
    ScratchDir dir;
    const std::wstring path = dir / L"sjis.txt";
    const std::wstring line = L"C:\\\u56f3\u9762\\\u90e8\u54c1.dwg";  // 図面\部品
    {
        TextStream out(path, TextStream::Mode::Write, kJapanese);
        out.WriteLine(line);
        out.WriteLine(L"\u30c6\u30b9\u30c8");
    }
    std::vector<std::wstring> lines;
    AppendLines(path, kJapanese, 1023, lines);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], line);
    EXPECT_EQ(lines[1], L"\u30c6\u30b9\u30c8");
}

TEST(TextStream, ReadsLinesLikeATextModeStream) {
    ScratchDir dir;
    const std::wstring path = dir / L"in.txt";
    WriteBytes(path, "one\r\ntwo\n\r\nmid\rcr\r\nlast");
    TextStream in(path, TextStream::Mode::Read, kWestern);
    std::wstring line;
    std::vector<std::wstring> got;
    while (in.ReadLine(line, 1023)) got.push_back(line);
    EXPECT_EQ(got, (std::vector<std::wstring>{L"one", L"two", L"", L"mid\rcr", L"last"}));
    EXPECT_FALSE(in.ReadLine(line, 1023));
}

TEST(TextStream, ALineLongerThanTheLimitEndsTheReading) {
    ScratchDir dir;
    const std::wstring path = dir / L"long.txt";
    WriteBytes(path, std::string(1023, 'a') + "\r\n" + std::string(1024, 'b') + "\r\nafter\r\n");
    std::vector<std::wstring> lines;
    AppendLines(path, kWestern, 1023, lines);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].size(), 1023u);

    WriteBytes(path, std::string(200000, 'x'));  // no line end at all
    lines.clear();
    AppendLines(path, kWestern, 1023, lines);
    EXPECT_TRUE(lines.empty());
}

TEST(TextStream, AppendGoesToTheEndAndSharesTheFileWithOtherWriters) {
    ScratchDir dir;
    const std::wstring path = dir / L"log.txt";
    TextStream first(path, TextStream::Mode::Append, kWestern);
    ASSERT_TRUE(first.IsOpen());
    first.WriteLine(L"program");
    {
        // Another writer (the batch file, the host) appends while ours is open.
        TextStream other(path, TextStream::Mode::Append, kWestern);
        ASSERT_TRUE(other.IsOpen());
        other.WriteLine(L"batch");
    }
    first.WriteLine(L"program again");
    first.Close();
    EXPECT_EQ(ReadBytes(path), "program\r\nbatch\r\nprogram again\r\n");
}

TEST(TextStream, MissingFilesAndFolders) {
    ScratchDir dir;
    TextStream in(dir / L"missing.txt", TextStream::Mode::Read, kWestern);
    EXPECT_FALSE(in.IsOpen());
    EXPECT_EQ(in.Cause(), FileCause::FileNotFound);
    std::wstring line;
    EXPECT_FALSE(in.ReadLine(line, 10));
    EXPECT_FALSE(in.WriteLine(L"x"));
    TextStream out(dir / L"no\\such\\folder.txt", TextStream::Mode::Write, kWestern);
    EXPECT_FALSE(out.IsOpen());
    EXPECT_EQ(out.Cause(), FileCause::BadPath);
    EXPECT_TRUE(out.Open(dir / L"new.txt", TextStream::Mode::Write, kWestern));
    EXPECT_EQ(out.Cause(), FileCause::None);
    std::vector<std::wstring> lines{L"kept"};
    AppendLines(dir / L"missing.txt", kWestern, 1023, lines);
    EXPECT_EQ(lines, std::vector<std::wstring>{L"kept"});
}
