#include "drawings/AxvekFile.h"

#include <string>
#include <vector>

#include "framework/Resources.h"
#include "resources/ids.h"
#include "support/WinTest.h"

using namespace testenv;

namespace {

using Entries = std::vector<std::wstring>;

class AxvekFileTest : public WinTest {
  protected:
    void SetUp() override {
        WinTest::SetUp();
        header_ = Narrow(fw::LoadResString(IDS_LIST_HEADER));
        ASSERT_FALSE(header_.empty());
        list_ = dir_ / L"list.dml";
    }

    // The bytes of a list file: the header line, then the given lines.
    std::string ListBytes(const std::string& lines) const { return header_ + "\r\n" + lines; }

    Entries Read(bool skipMarked, bool* ok = nullptr) {
        AxvekDmlFile file(list_);
        Entries entries{L"left over"};
        const bool opened = file.Open(false);
        const bool read = opened && file.ReadList(entries, skipMarked);
        if (ok) *ok = read;
        return entries;
    }

    static std::wstring FileError(const std::wstring& path, UINT reason) {
        return fw::FormatResString(IDS_FILE_ERROR, {path, fw::LoadResString(reason)});
    }
    static std::wstring Caption() { return fw::LoadResString(IDS_CAPTION); }

    ScratchDir dir_;
    std::wstring list_;
    std::string header_;
};

// Holds a file open the way another program would, sharing nothing.
struct OtherOpen {
    explicit OtherOpen(const std::wstring& path)
        : handle(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~OtherOpen() {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
    HANDLE handle;
};

}  // namespace

// --- Reading lists -------------------------------------------------------

TEST_F(AxvekFileTest, ReadsTheEntriesOfAListAfterItsHeader) {
    WriteBytes(list_,
               ListBytes("[ ]c:\\work\\a.dwg\r\n[x]c:\\work\\b.dwg\r\n[ ]c:\\work\\c.dwg\r\n"));
    bool ok = false;
    EXPECT_EQ(Read(false, &ok),
              (Entries{L"c:\\work\\a.dwg", L"c:\\work\\b.dwg", L"c:\\work\\c.dwg"}));
    EXPECT_TRUE(ok);
    EXPECT_EQ(Read(true, &ok), (Entries{L"c:\\work\\a.dwg", L"c:\\work\\c.dwg"}));
    EXPECT_TRUE(ok);
}

TEST_F(AxvekFileTest, AFileWithoutTheHeaderIsNoList) {
    bool ok = true;
    WriteBytes(list_, "[Liste von Zeichnungen]\r\n[ ]c:\\a.dwg\r\n");
    EXPECT_TRUE(Read(false, &ok).empty());
    EXPECT_FALSE(ok);
    WriteBytes(list_, ListBytes(""));
    EXPECT_TRUE(Read(false, &ok).empty());
    EXPECT_TRUE(ok);
}

TEST_F(AxvekFileTest, LineRulesOfTheListFormat) {
    // CR in mid-line, an LF-only line end, "[X]", a three-character line, and
    // a blank line that ends the list.
    WriteBytes(list_,
               header_ + "\n[ ]c:\\a\r.dwg\r\n[X]c:\\b.dwg\n[x]\r\n[ ]\r\n\r\n[ ]c:\\late.dwg\r\n");
    EXPECT_EQ(Read(false), (Entries{L"c:\\a.dwg", L"c:\\b.dwg", L"", L""}));
    EXPECT_EQ(Read(true), (Entries{L"c:\\a.dwg", L"c:\\b.dwg", L""}));
}

TEST_F(AxvekFileTest, AnsiBytesDecodeToUtf16) {
    const struct {
        UINT codePage;
        const char* bytes;
        const wchar_t* text;
    } pages[] = {
        {1252, "[ ]c:\\\xe9t\xe9\x80.dwg\r\n", L"c:\\\u00e9t\u00e9\u20ac.dwg"},
        {932, "[ ]c:\\\x90\x7d\x96\xca\x81\x5c.dwg\r\n", L"c:\\\u56f3\u9762\u2015.dwg"},
    };
    for (const auto& page : pages) {
        if (page.codePage != GetACP()) continue;
        WriteBytes(list_, ListBytes(page.bytes));
        EXPECT_EQ(Read(false), (Entries{page.text}));
        return;
    }
    GTEST_SKIP() << "no bytes for the system code page " << GetACP();
}

TEST_F(AxvekFileTest, CharactersLinesAndStopCharacters) {
    WriteBytes(list_, "ab\r\ncd\r\nlast");
    AxvekFile file(list_);
    ASSERT_TRUE(file.Open(false));
    wchar_t buffer[8] = {};
    EXPECT_EQ(file.ReadChars(buffer, 3), 3u);
    EXPECT_EQ(std::wstring(buffer), L"ab\r");
    std::wstring text;
    file.ReadUntil(L'\n', text);
    EXPECT_EQ(text, L"\n");
    file.ReadUntil(L'\n', text);
    EXPECT_EQ(text, L"cd\r\n");
    wchar_t rest[8] = {};
    EXPECT_EQ(file.ReadChars(rest, 8), 4u);
    EXPECT_EQ(std::wstring(rest), L"last");
    wchar_t c = 0;
    EXPECT_FALSE(file.ReadChar(c));
    EXPECT_FALSE(file.ReadLine(text));
    EXPECT_EQ(text, L"");
}

TEST_F(AxvekFileTest, AClosedFileNeitherReadsNorWrites) {
    WriteBytes(list_, "abc\r\n");
    AxvekFile file(list_);
    wchar_t c = 0;
    std::wstring line;
    EXPECT_FALSE(file.ReadChar(c));
    EXPECT_FALSE(file.ReadLine(line));
    EXPECT_FALSE(file.WriteText(L"x"));
    ASSERT_TRUE(file.Open(false));
    file.Close();
    EXPECT_FALSE(file.ReadChar(c));
    EXPECT_FALSE(file.WriteList({L"c:\\a.dwg"}));
    EXPECT_EQ(ReadBytes(list_), "abc\r\n");
}

TEST_F(AxvekFileTest, AFailedReadIsReportedOnceAndRejectsTheList) {
    // A file opened for writing cannot be read: the read fails for real.
    AxvekDmlFile file(list_);
    ASSERT_TRUE(file.Open(true));
    ASSERT_TRUE(file.WriteList({L"c:\\a.dwg"}));
    Entries entries{L"left over"};
    {
        DialogCatcher catcher(Caption());
        EXPECT_FALSE(file.ReadList(entries, false));
        ASSERT_TRUE(catcher.Seen());
        EXPECT_NE(catcher.AllText().find(FileError(list_, 2305)), std::wstring::npos)
            << Narrow(catcher.AllText());
    }
    EXPECT_TRUE(entries.empty());
    DialogCatcher again(Caption(), IDOK, 1500);
    std::wstring line;
    EXPECT_FALSE(file.ReadLine(line));
    EXPECT_FALSE(again.Seen());
}

TEST_F(AxvekFileTest, DoubleByteCodePagesKeepTheirPairsTogether) {
    // Shift-JIS: the trail byte of U+8868 is 0x5C, the backslash.
    const dml::CodePage sjis = WindowsCodePage(932);
    const std::string bytes =
        header_ + "\r\n[ ]c:\\\x95\x5c\\\x93\xfa\x96\x7b.dwg\r\n[x]c:\\\xb1.dwg\r\n";
    Entries entries;
    ASSERT_TRUE(dml::ParseList(bytes, sjis, fw::LoadResString(IDS_LIST_HEADER), false, entries));
    EXPECT_EQ(entries, (Entries{L"c:\\\u8868\\\u65e5\u672c.dwg", L"c:\\\uff71.dwg"}));
}

// --- Writing lists -------------------------------------------------------

TEST_F(AxvekFileTest, WriteListWithoutMarksReadsBack) {
    const Entries paths{L"c:\\work\\a.dwg", L"c:\\work\\b.dwg"};
    {
        AxvekDmlFile file(list_);
        ASSERT_TRUE(file.Open(true));
        EXPECT_TRUE(file.WriteList(paths));
    }
    EXPECT_EQ(ReadBytes(list_), ListBytes("[ ]c:\\work\\a.dwg\r\n[ ]c:\\work\\b.dwg\r\n"));
    EXPECT_EQ(Read(false), paths);
}

TEST_F(AxvekFileTest, WriteListWithMarksAndAnEmptyList) {
    const std::vector<uint8_t> marks{1};  // covers the first path only
    {
        AxvekDmlFile file(list_);
        ASSERT_TRUE(file.Open(true));
        EXPECT_TRUE(file.WriteList({L"c:\\a.dwg", L"c:\\b.dwg"}, &marks));
    }
    EXPECT_EQ(ReadBytes(list_), ListBytes("[x]c:\\a.dwg\r\n[ ]c:\\b.dwg\r\n"));
    {
        AxvekDmlFile file(list_);
        ASSERT_TRUE(file.Open(true));  // empties the file
        EXPECT_TRUE(file.WriteList({}));
    }
    EXPECT_EQ(ReadBytes(list_), ListBytes(""));
}

TEST_F(AxvekFileTest, ACharacterOutsideTheCodePageIsWrittenAsTheDefaultCharacter) {
    // Not as a look-alike ("l", "z"): that could name another drawing.
    const std::wstring path = L"c:\\\u0142\u00f3d\u017a.dwg";
    {
        AxvekDmlFile file(list_);
        ASSERT_TRUE(file.Open(true));
        EXPECT_TRUE(file.WriteList({path}));
    }
    EXPECT_EQ(ReadBytes(list_), ListBytes("[ ]c:\\?" + Ansi(L"\u00f3") + "d?.dwg\r\n"));
    const Entries back = Read(false);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_NE(back[0], path);
}

TEST_F(AxvekFileTest, WriteTextConvertsLongTextAsOneWhole) {
    // Long text goes out in pieces; none may split a surrogate pair.
    std::wstring text;
    for (int i = 0; i < 5000; ++i) text += L"c:\\\u00e9\U0001F600\\line\r\n";
    {
        AxvekFile file(list_);
        ASSERT_TRUE(file.Open(true));
        EXPECT_TRUE(file.WriteText(text.c_str(), text.size()));
        EXPECT_TRUE(file.WriteText(L"", 0));
    }
    const int size =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(),
                            static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string expected(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), static_cast<int>(text.size()),
                        expected.data(), size, nullptr, nullptr);
    const std::string written = ReadBytes(list_);
    EXPECT_EQ(written.size(), expected.size());
    EXPECT_TRUE(written == expected);
    EXPECT_EQ(written.rfind("c:\\" + Ansi(L"\u00e9"), 0), 0u);
}

// --- Marking lists -------------------------------------------------------

TEST_F(AxvekFileTest, MarkListMarksExactlyTheDoneEntries) {
    WriteBytes(list_, ListBytes("[x]c:\\old.dwg\r\n[ ]c:\\a.dwg\r\n[X]c:\\b.dwg\r\n[ ]c:\\c.dwg\r\n"
                                "\r\n[ ]c:\\after-blank.dwg\r\n"));
    AxvekDmlFile file(list_);
    EXPECT_TRUE(file.MarkList({L"C:\\A.DWG", L"c:\\c.dwg", L"c:\\not-in-list.dwg"}));
    EXPECT_EQ(ReadBytes(list_),
              ListBytes("[ ]c:\\old.dwg\r\n[x]c:\\a.dwg\r\n[ ]c:\\b.dwg\r\n[x]c:\\c.dwg\r\n"));
    EXPECT_EQ(dir_.Names(), (std::vector<std::wstring>{L"list.dml"}));
}

TEST_F(AxvekFileTest, MarkListWithNothingDoneClearsEveryMark) {
    WriteBytes(list_, ListBytes("[x]c:\\a.dwg\n[x]c:\\b.dwg\n"));
    AxvekDmlFile file(list_);
    EXPECT_TRUE(file.MarkList({}));
    EXPECT_EQ(ReadBytes(list_), ListBytes("[ ]c:\\a.dwg\r\n[ ]c:\\b.dwg\r\n"));
}

TEST_F(AxvekFileTest, AHiddenListStaysHiddenWhenRewritten) {
    WriteBytes(list_, ListBytes("[ ]c:\\a.dwg\r\n"));
    SetFileAttributesW(list_.c_str(), FILE_ATTRIBUTE_HIDDEN);
    if (!(GetFileAttributesW(list_.c_str()) & FILE_ATTRIBUTE_HIDDEN)) {
        GTEST_SKIP() << "this file system keeps no hidden attribute";
    }
    AxvekDmlFile file(list_);
    EXPECT_TRUE(file.MarkList({L"c:\\a.dwg"}));
    EXPECT_EQ(ReadBytes(list_), ListBytes("[x]c:\\a.dwg\r\n"));
    EXPECT_TRUE(GetFileAttributesW(list_.c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

TEST_F(AxvekFileTest, MarkListLeavesAFileWithAnotherHeaderAlone) {
    const std::string other = "c:\\a.dwg\r\nc:\\b.dwg\r\n";
    WriteBytes(list_, other);
    DialogCatcher catcher(Caption(), IDOK, 1500);
    AxvekDmlFile file(list_);
    EXPECT_FALSE(file.MarkList({L"c:\\a.dwg"}));
    EXPECT_FALSE(catcher.Seen());
    EXPECT_EQ(ReadBytes(list_), other);
    EXPECT_EQ(dir_.Names(), (std::vector<std::wstring>{L"list.dml"}));
}

TEST_F(AxvekFileTest, MarkListOfAMissingFileCreatesNothing) {
    AxvekDmlFile file(list_);
    file.ReportErrors = false;
    EXPECT_FALSE(file.MarkList({L"c:\\a.dwg"}));
    EXPECT_TRUE(dir_.Names().empty());
}

// --- Exclusive opens and error messages ----------------------------------

TEST_F(AxvekFileTest, AFileInUseCannotBeOpenedAndTheMessageSaysSo) {
    WriteBytes(list_, ListBytes("[ ]c:\\a.dwg\r\n"));
    OtherOpen other(list_);
    ASSERT_NE(other.handle, INVALID_HANDLE_VALUE);
    DialogCatcher catcher(Caption());
    AxvekDmlFile file(list_);
    EXPECT_FALSE(file.Open(false));
    ASSERT_TRUE(catcher.Seen());
    EXPECT_NE(catcher.AllText().find(FileError(list_, 2311)), std::wstring::npos)
        << Narrow(catcher.AllText());
}

TEST_F(AxvekFileTest, AnOpenFileIsOpenToNoOneElse) {
    WriteBytes(list_, ListBytes(""));
    AxvekDmlFile first(list_);
    ASSERT_TRUE(first.Open(false));
    HANDLE h = CreateFileW(list_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);

    DialogCatcher catcher(Caption());
    AxvekDmlFile second(list_);
    EXPECT_FALSE(second.Open(true));
    ASSERT_TRUE(catcher.Seen());
    EXPECT_NE(catcher.AllText().find(fw::LoadResString(2311)), std::wstring::npos);
    first.Close();
    EXPECT_EQ(ReadBytes(list_), ListBytes(""));  // not emptied
}

TEST_F(AxvekFileTest, DestructionClosesTheFile) {
    WriteBytes(list_, ListBytes(""));
    {
        AxvekDmlFile file(list_);
        ASSERT_TRUE(file.Open(false));
    }
    AxvekDmlFile again(list_);
    EXPECT_TRUE(again.Open(true));
}

TEST_F(AxvekFileTest, MarkListOfAListInUseReportsItAndLeavesIt) {
    const std::string bytes = ListBytes("[ ]c:\\a.dwg\r\n");
    WriteBytes(list_, bytes);
    OtherOpen other(list_);
    DialogCatcher catcher(Caption());
    AxvekDmlFile file(list_);
    EXPECT_FALSE(file.MarkList({L"c:\\a.dwg"}));
    ASSERT_TRUE(catcher.Seen());
    EXPECT_NE(catcher.AllText().find(FileError(list_, 2311)), std::wstring::npos);
    CloseHandle(other.handle);
    other.handle = INVALID_HANDLE_VALUE;
    EXPECT_EQ(ReadBytes(list_), bytes);
}

TEST_F(AxvekFileTest, AMissingFileIsReportedUnlessReportsAreOff) {
    const std::wstring missing = dir_ / L"missing.dml";
    {
        DialogCatcher catcher(Caption());
        AxvekDmlFile file(missing);
        EXPECT_FALSE(file.Open(false));
        ASSERT_TRUE(catcher.Seen());
        EXPECT_NE(catcher.AllText().find(FileError(missing, 2302)), std::wstring::npos)
            << Narrow(catcher.AllText());
    }
    {
        DialogCatcher catcher(Caption(), IDOK, 1500);
        AxvekDmlFile file(missing);
        file.ReportErrors = false;
        EXPECT_FALSE(file.Open(false));
        EXPECT_FALSE(catcher.Seen());
    }
}

TEST_F(AxvekFileTest, AnEmptyPathOpensNothingAndSaysNothing) {
    DialogCatcher catcher(Caption(), IDOK, 1500);
    AxvekFile file(L"");
    EXPECT_FALSE(file.Open(false));
    EXPECT_FALSE(file.Open(true));
    EXPECT_FALSE(file.OpenReplacing());
    EXPECT_FALSE(catcher.Seen());
}

TEST_F(AxvekFileTest, EachCauseHasItsReason) {
    const struct {
        int cause;
        UINT reason;
    } cases[] = {{0, 2301}, {5, 2305}, {14, 2314}, {15, 2301}};
    for (const auto& c : cases) {
        DialogCatcher catcher(Caption());
        AxvekFile file(list_);
        file.ReportError(static_cast<FileCause>(c.cause));
        ASSERT_TRUE(catcher.Seen()) << c.cause;
        EXPECT_NE(catcher.AllText().find(FileError(list_, c.reason)), std::wstring::npos)
            << c.cause << ": " << Narrow(catcher.AllText());
    }
}

// --- Writing beside, then replacing ---------------------------------------

TEST_F(AxvekFileTest, AReplacementTakesThePlaceOfTheOldFileOnlyOnCommit) {
    const std::string old = ListBytes("[ ]c:\\old.dwg\r\n");
    WriteBytes(list_, old);
    AxvekDmlFile file(list_);
    ASSERT_TRUE(file.OpenReplacing());
    EXPECT_TRUE(file.WriteList({L"c:\\new.dwg"}));
    EXPECT_EQ(ReadBytes(list_), old);
    EXPECT_EQ(dir_.Names().size(), 2u);
    EXPECT_TRUE(file.CommitReplace());
    EXPECT_EQ(ReadBytes(list_), ListBytes("[ ]c:\\new.dwg\r\n"));
    EXPECT_EQ(dir_.Names(), (std::vector<std::wstring>{L"list.dml"}));
    EXPECT_FALSE(file.CommitReplace());  // nothing left to commit
}

TEST_F(AxvekFileTest, AReplacementNotCommittedIsDropped) {
    const std::string old = ListBytes("[ ]c:\\old.dwg\r\n");
    WriteBytes(list_, old);
    {
        AxvekDmlFile file(list_);
        ASSERT_TRUE(file.OpenReplacing());
        EXPECT_TRUE(file.WriteList({L"c:\\new.dwg"}));
        file.Close();
        EXPECT_FALSE(file.CommitReplace());
    }
    {
        AxvekDmlFile file(list_);
        ASSERT_TRUE(file.OpenReplacing());
        EXPECT_TRUE(file.WriteList({L"c:\\new.dwg"}));
    }
    EXPECT_EQ(ReadBytes(list_), old);
    EXPECT_EQ(dir_.Names(), (std::vector<std::wstring>{L"list.dml"}));
}

TEST_F(AxvekFileTest, AReplacementCreatesAFileThatDidNotExist) {
    AxvekDmlFile file(list_);
    ASSERT_TRUE(file.OpenReplacing());
    EXPECT_TRUE(file.WriteList({L"c:\\a.dwg"}));
    EXPECT_TRUE(file.CommitReplace());
    EXPECT_EQ(ReadBytes(list_), ListBytes("[ ]c:\\a.dwg\r\n"));
}

TEST_F(AxvekFileTest, AReplacementFailsWhereAnOpenForWritingWould) {
    const std::string old = ListBytes("[ ]c:\\old.dwg\r\n");
    WriteBytes(list_, old);
    {
        const std::wstring folder = dir_ / L"folder.dml";
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        DialogCatcher catcher(Caption());
        AxvekDmlFile file(folder);
        EXPECT_FALSE(file.OpenReplacing());
        ASSERT_TRUE(catcher.Seen());
        EXPECT_NE(catcher.AllText().find(FileError(folder, 2305)), std::wstring::npos)
            << Narrow(catcher.AllText());
        RemoveDirectoryW(folder.c_str());
    }
    {
        OtherOpen other(list_);
        DialogCatcher catcher(Caption());
        AxvekDmlFile file(list_);
        EXPECT_FALSE(file.OpenReplacing());
        ASSERT_TRUE(catcher.Seen());
        EXPECT_NE(catcher.AllText().find(FileError(list_, 2311)), std::wstring::npos);
    }
    {
        const std::wstring nowhere = dir_ / L"no such folder\\list.dml";
        DialogCatcher catcher(Caption());
        AxvekDmlFile file(nowhere);
        EXPECT_FALSE(file.OpenReplacing());
        ASSERT_TRUE(catcher.Seen());
        EXPECT_NE(catcher.AllText().find(FileError(nowhere, 2303)), std::wstring::npos)
            << Narrow(catcher.AllText());
    }
    EXPECT_EQ(ReadBytes(list_), old);
    EXPECT_EQ(dir_.Names(), (std::vector<std::wstring>{L"list.dml"}));
}

TEST_F(AxvekFileTest, ACommitOverAFileOpenedMeanwhileKeepsTheOldFile) {
    const std::string old = ListBytes("[ ]c:\\old.dwg\r\n");
    WriteBytes(list_, old);
    AxvekDmlFile file(list_);
    ASSERT_TRUE(file.OpenReplacing());
    EXPECT_TRUE(file.WriteList({L"c:\\new.dwg"}));
    OtherOpen other(list_);
    DialogCatcher catcher(Caption());
    EXPECT_FALSE(file.CommitReplace());
    ASSERT_TRUE(catcher.Seen());
    EXPECT_NE(catcher.AllText().find(FileError(list_, 2311)), std::wstring::npos)
        << Narrow(catcher.AllText());
    CloseHandle(other.handle);
    other.handle = INVALID_HANDLE_VALUE;
    EXPECT_EQ(ReadBytes(list_), old);
    EXPECT_EQ(dir_.Names(), (std::vector<std::wstring>{L"list.dml"}));
}
