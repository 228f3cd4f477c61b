// Writes that the operating system refuses part-way. These run only in their
// own test entries, under a file-size limit (AXTEST_FILE_LIMIT bytes, set by
// the test entry together with the limit itself), so discovery skips them.
#include "drawings/AxvekFile.h"

#include <iostream>
#include <string>
#include <vector>

#include "framework/Resources.h"
#include "resources/ids.h"
#include "support/WinTest.h"

using namespace testenv;

namespace {

class AxvekFileWriteFails : public WinTest {
  protected:
    void SetUp() override {
        WinTest::SetUp();
        wchar_t value[32] = {};
        if (GetEnvironmentVariableW(L"AXTEST_FILE_LIMIT", value, 32) == 0) {
            GTEST_SKIP() << "needs a file-size limit (AXTEST_FILE_LIMIT)";
        }
        limit_ = wcstoul(value, nullptr, 10);
        ASSERT_GT(limit_, 4096u);
        header_ = Narrow(fw::LoadResString(IDS_LIST_HEADER));
        list_ = dir_ / L"list.dml";
    }

    // A drawing path of exactly `length` characters, numbered.
    static std::wstring DrawingPath(size_t i, size_t length) {
        std::wstring number = std::to_wstring(i);
        number.insert(0, 6 - number.size(), L'0');
        const std::wstring tail = L"\\" + number + L".dwg";
        return L"c:\\" + std::wstring(length - 3 - tail.size(), L'd') + tail;
    }

    // The message names the user's list and says why; the reason the system
    // gives for a file grown past its limit is "disk full".
    void ExpectDiskFullMessage(DialogCatcher& catcher) {
        ASSERT_TRUE(catcher.Seen());
        std::cout << "message: " << Narrow(catcher.AllText()) << std::endl;
        const std::wstring expected =
            fw::FormatResString(IDS_FILE_ERROR, {list_, fw::LoadResString(2313)});
        EXPECT_NE(catcher.AllText().find(expected), std::wstring::npos);
    }

    ScratchDir dir_;
    std::wstring list_;
    std::string header_;
    unsigned long limit_ = 0;
};

}  // namespace

TEST_F(AxvekFileWriteFails, DISABLED_MarkListKeepsTheListWhenTheRewriteIsRefused) {
    // An LF-only list just under the limit: rewritten with CR LF it grows
    // past it, so the rewrite fails part-way.
    constexpr size_t kLineBytes = 40;  // "[ ]", path, LF
    const size_t headerBytes = header_.size() + 2;
    const size_t count = (limit_ - headerBytes) / kLineBytes;
    std::string original = header_ + "\r\n";
    std::vector<std::wstring> done;
    for (size_t i = 0; i < count; ++i) {
        const std::wstring path = DrawingPath(i, kLineBytes - 4);
        original += (i % 3 ? "[ ]" : "[x]") + Narrow(path) + "\n";
        if (i % 2) done.push_back(path);
    }
    ASSERT_LE(original.size(), limit_);
    ASSERT_GT(original.size() + count, limit_);
    WriteBytes(list_, original);
    ASSERT_EQ(ReadBytes(list_).size(), original.size());

    DialogCatcher catcher(fw::LoadResString(IDS_CAPTION));
    AxvekDmlFile file(list_);
    EXPECT_FALSE(file.MarkList(done));
    ExpectDiskFullMessage(catcher);
    EXPECT_TRUE(ReadBytes(list_) == original);
    EXPECT_EQ(dir_.Names(), (std::vector<std::wstring>{L"list.dml"}));
}

TEST_F(AxvekFileWriteFails, DISABLED_SavingOverAListKeepsItWhenTheWriteIsRefused) {
    const std::string original = header_ + "\r\n[ ]c:\\work\\a.dwg\r\n";
    WriteBytes(list_, original);
    std::vector<std::wstring> paths;
    for (size_t i = 0; i < limit_ / 30; ++i) paths.push_back(DrawingPath(i, 40));

    DialogCatcher catcher(fw::LoadResString(IDS_CAPTION));
    AxvekDmlFile file(list_);
    ASSERT_TRUE(file.OpenReplacing());
    EXPECT_FALSE(file.WriteList(paths));
    ExpectDiskFullMessage(catcher);
    // Reported once: the commit refuses without a second message.
    DialogCatcher second(fw::LoadResString(IDS_CAPTION), IDOK, 1500);
    EXPECT_FALSE(file.WriteText(L"more"));
    EXPECT_FALSE(file.CommitReplace());
    EXPECT_FALSE(second.Seen());
    EXPECT_TRUE(ReadBytes(list_) == original);
    EXPECT_EQ(dir_.Names(), (std::vector<std::wstring>{L"list.dml"}));
}

namespace {

// A folder that takes no new file while the list in it can be written: the
// test entry makes it (AXTEST_LOCKED_FOLDER, a Unix path with an empty
// list.dml in it) and runs the tests without the right to override file
// permissions, so discovery skips them.
class AxvekFileLockedFolder : public WinTest {
  protected:
    void SetUp() override {
        WinTest::SetUp();
        wchar_t unixPath[MAX_PATH] = {};
        if (GetEnvironmentVariableW(L"AXTEST_LOCKED_FOLDER", unixPath, MAX_PATH) == 0)
            GTEST_SKIP() << "needs a folder that refuses new files (AXTEST_LOCKED_FOLDER)";
        folder_ = L"Z:" + std::wstring(unixPath) + L"\\";
        for (wchar_t& c : folder_)
            if (c == L'/') c = L'\\';
        list_ = folder_ + L"list.dml";
        ASSERT_TRUE(FileExists(list_));
        const HANDLE probe = CreateFileW((folder_ + L"probe").c_str(), GENERIC_WRITE, 0, nullptr,
                                         CREATE_NEW, 0, nullptr);
        ASSERT_EQ(probe, INVALID_HANDLE_VALUE) << "the folder takes new files";
        header_ = Narrow(fw::LoadResString(IDS_LIST_HEADER));
    }

    std::vector<std::wstring> Names() {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW data;
        const HANDLE find = FindFirstFileW((folder_ + L"*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return names;
        do {
            if (data.cFileName[0] != L'.') names.push_back(data.cFileName);
        } while (FindNextFileW(find, &data));
        FindClose(find);
        return names;
    }

    std::wstring folder_, list_;
    std::string header_;
};

}  // namespace

TEST_F(AxvekFileLockedFolder, DISABLED_MarkListRewritesTheListInPlaceKeepingItsAttributes) {
    // A blank line ends the list: what follows it is not written back.
    WriteBytes(list_, header_ + "\r\n[x]c:\\w\\a.dwg\n[ ]c:\\w\\b.dwg\r\n[ ]c:\\w\\c.dwg\r\n\r\n" +
                          "[ ]c:\\w\\after a blank line.dwg\r\n");
    ASSERT_TRUE(SetFileAttributesW(list_.c_str(), FILE_ATTRIBUTE_HIDDEN));
    DialogCatcher none(fw::LoadResString(IDS_CAPTION), IDOK, 1500);
    AxvekDmlFile file(list_);
    EXPECT_TRUE(file.MarkList({L"C:\\W\\B.DWG", L"c:\\w\\c.dwg"}));
    EXPECT_FALSE(none.Seen());
    EXPECT_EQ(ReadBytes(list_),
              ListFileBytes(
                  {{false, L"c:\\w\\a.dwg"}, {true, L"c:\\w\\b.dwg"}, {true, L"c:\\w\\c.dwg"}}));
    EXPECT_EQ(GetFileAttributesW(list_.c_str()) & FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(Names(), std::vector<std::wstring>{L"list.dml"});
}

TEST_F(AxvekFileLockedFolder, DISABLED_AnInPlaceRewriteThatFailsPutsTheOldListBack) {
    wchar_t value[32] = {};
    if (GetEnvironmentVariableW(L"AXTEST_FILE_LIMIT", value, 32) == 0)
        GTEST_SKIP() << "needs a file-size limit (AXTEST_FILE_LIMIT)";
    const size_t limit = wcstoul(value, nullptr, 10);
    // LF-only lines just under the limit: rewritten with CR LF they pass it.
    std::string original = header_ + "\r\n";
    while (original.size() + 40 < limit) original += "[ ]c:\\drawings\\part-of-the-assembly.dwg\n";
    WriteBytes(list_, original);
    ASSERT_EQ(ReadBytes(list_).size(), original.size());

    DialogCatcher catcher(fw::LoadResString(IDS_CAPTION));
    AxvekDmlFile file(list_);
    EXPECT_FALSE(file.MarkList({L"c:\\drawings\\part-of-the-assembly.dwg"}));
    ASSERT_TRUE(catcher.Seen());
    EXPECT_NE(catcher.AllText().find(
                  fw::FormatResString(IDS_FILE_ERROR, {list_, fw::LoadResString(2313)})),
              std::wstring::npos)
        << Narrow(catcher.AllText());
    EXPECT_TRUE(ReadBytes(list_) == original);
    EXPECT_EQ(Names(), std::vector<std::wstring>{L"list.dml"});
}
