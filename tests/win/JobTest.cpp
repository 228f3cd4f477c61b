// Job preparation and result collection: the files a job starts from and
// what it leaves for the user.
#include "app/AxvekTarvoApp.h"
#include "program/AxvekTarvoProgram.h"
#include "app/core/RunOutcome.h"
#include "app/JobFiles.h"
#include "drawings/AxvekFile.h"
#include "drawings/AxvekFilenm.h"
#include "framework/Resources.h"
#include "host/HostKeys.h"
#include "resources/ids.h"

#include "support/WinTest.h"

using namespace testenv;

class JobTest : public WinTest {
  protected:
    void SetUp() override {
        WinTest::SetUp();
        InstallHost();
        DeleteFileW(GetMigrateListPath().c_str());
        DeleteFileW(GetMigratedListPath().c_str());
        app_ = std::make_unique<CAxvekTarvoProgram>();
        app_->LoadSettings();
        Logfile = dir_ / L"mig.log";
        a_ = dir_ / L"a.dwg";
        b_ = dir_ / L"b.dwg";
        c_ = dir_ / L"c.dwg";
        app_->Drawings = {a_, b_, c_};
        // As the host saves them.
        for (const std::wstring& d : app_->Drawings) WriteBytes(d, "OX1032");
    }
    void TearDown() override {
        DeleteFileW(GetMigrateListPath().c_str());
        DeleteFileW(GetMigratedListPath().c_str());
        WinTest::TearDown();
    }
    void WriteMigrated(const std::vector<std::wstring>& lines) {
        std::string bytes;
        for (const auto& l : lines) bytes += Ansi(l) + "\r\n";
        WriteBytes(GetMigratedListPath(), bytes);
    }

    ScratchDir dir_;
    std::unique_ptr<CAxvekTarvoApp> app_;
    std::wstring a_, b_, c_;
};

TEST_F(JobTest, TheExchangeListsLiveInTheTempVariablesFolder) {
    const wchar_t* temp = _wgetenv(L"TEMP");
    ASSERT_NE(temp, nullptr);
    EXPECT_EQ(GetMigrateListPath(), std::wstring(temp) + L"\\MIGRATE.TXT");
    EXPECT_EQ(GetMigratedListPath(), std::wstring(temp) + L"\\MIGRATED.TXT");
}

TEST_F(JobTest, WithoutAUserListATemporaryOneHoldsTheSelection) {
    WriteBytes(Logfile, "old job\r\n");
    WriteMigrated({L"stale"});
    const std::wstring temp = AxvekFilenm(TempFolder()).FullPath;
    DeleteFileW((temp + L"vek3.scr").c_str());  // left by another program, perhaps
    app_->PrepareJob();
    EXPECT_EQ(app_->CounterFile, temp + L"vek1.tmp");
    EXPECT_EQ(app_->DmlFile, temp + L"vek2.dml");
    EXPECT_EQ(app_->DrawingScript, temp + L"vek3.scr");
    EXPECT_EQ(app_->TempFiles, (std::vector<std::wstring>{temp + L"vek1.tmp", temp + L"vek2.dml",
                                                          temp + L"vek3.scr"}));
    EXPECT_TRUE(app_->DmlIsTemporary);
    EXPECT_EQ(ReadBytes(app_->DmlFile), ListFileBytes({{false, a_}, {false, b_}, {false, c_}}));
    EXPECT_EQ(ReadBytes(GetMigrateListPath()), Ansi(a_ + L"\r\n" + b_ + L"\r\n" + c_ + L"\r\n"));
    EXPECT_FALSE(FileExists(Logfile));
    EXPECT_FALSE(FileExists(GetMigratedListPath()));
    EXPECT_FALSE(FileExists(app_->DrawingScript));

    app_->ExitInstance();
    EXPECT_FALSE(FileExists(temp + L"vek2.dml"));
}

TEST_F(JobTest, AUserListIsLeftAlone) {
    const std::wstring list = dir_ / L"mine.dml";
    WriteBytes(list, ListFileBytes({{true, a_}}));
    app_->DmlFile = list;
    app_->PrepareJob();
    EXPECT_EQ(app_->DmlFile, list);
    EXPECT_FALSE(app_->DmlIsTemporary);
    EXPECT_EQ(ReadBytes(list), ListFileBytes({{true, a_}}));
    EXPECT_EQ(app_->TempFiles.size(), 2u);  // counter file and drawing script
}

TEST_F(JobTest, PreparationPutsTheSavedProfileIntoItsMigrationState) {
    const std::wstring general = ProfileKeyPath() + L"\\General";
    SetDword(HKEY_CURRENT_USER, general, L"NoStartUpDialog", 0);
    app_->PrepareHostProfile(CAxvekTarvoApp::kProfileSave);
    app_->PrepareJob();
    DWORD value = 99;
    ASSERT_TRUE(GetDword(HKEY_CURRENT_USER, general, L"NoStartUpDialog", value));
    EXPECT_EQ(value, 1u);
}

TEST_F(JobTest, ADrawingTheCodePageCannotHoldIsWrittenByItsShortNameAndNothingIsLost) {
    const std::wstring foreign = dir_ / L"\u010certe\u017e.dwg";
    WriteBytes(foreign, "OX1015");
    app_->Drawings = {a_, foreign, c_};
    app_->PrepareJob();
    std::vector<std::wstring> lines;
    ReadTextLines(GetMigrateListPath(), lines);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], a_);
    EXPECT_NE(lines[1], foreign);
    EXPECT_EQ(ReadBytes(lines[1]), "OX1015");
    EXPECT_EQ(lines[2], c_);
    // The extension reports the short form; it still counts as the selected drawing.
    EXPECT_TRUE(app_->IsSelectedDrawing(lines[1]));
}

TEST_F(JobTest, ResultsCountSelectedDrawingsIgnoringCaseEachOnce) {
    app_->PrepareJob();
    ASSERT_NE(text::ToLower(a_), a_);
    // A drawing migrated again after a stop and resume is listed twice.
    WriteMigrated({text::ToLower(a_), c_, dir_ / L"other.dwg", a_});
    app_->CollectResults();
    const std::string log = ReadBytes(Logfile);
    const std::string summary = "\r\n" + Narrow(fw::LoadResString(IDS_LOG_RESULT_TITLE)) + "\r\n" +
                                Narrow(fw::FormatResString(IDS_LOG_RESULT_TOTAL, {3})) + "\r\n" +
                                Narrow(fw::FormatResString(IDS_LOG_RESULT_MIGRATED, {2})) +
                                "\r\n\r\n" +
                                Narrow(fw::FormatResString(IDS_LOG_RESULT_MISSING, {1})) + "\r\n";
    ASSERT_GE(log.size(), summary.size());
    EXPECT_EQ(log.substr(log.size() - summary.size()), summary);
    EXPECT_NE(log.find(Narrow(fw::LoadResString(IDS_LOG_RESULT_RUN))), std::string::npos);
}

TEST_F(JobTest, AllMigratedWritesNoMissingLine) {
    WriteMigrated({a_, b_, c_});
    app_->CollectResults();
    const std::string log = ReadBytes(Logfile);
    const std::string tail = Narrow(fw::FormatResString(IDS_LOG_RESULT_MIGRATED, {3})) + "\r\n";
    EXPECT_EQ(log.substr(log.size() - tail.size()), tail);
}

TEST_F(JobTest, TheUsersListIsMarkedWithThisJobsResults) {
    const std::wstring list = dir_ / L"mine.dml";
    // b was migrated by an earlier job, but not by this one.
    WriteBytes(list, ListFileBytes({{false, a_}, {true, b_}, {false, c_}}));
    app_->DmlFile = list;
    WriteMigrated({c_, a_});
    app_->CollectResults();
    EXPECT_EQ(ReadBytes(list), ListFileBytes({{true, a_}, {false, b_}, {true, c_}}));
}

TEST_F(JobTest, NoMarksWithoutResultsOrWithoutAUserList) {
    const std::wstring list = dir_ / L"mine.dml";
    const std::string before = ListFileBytes({{true, a_}, {false, b_}});
    WriteBytes(list, before);
    app_->DmlFile = list;
    WriteMigrated({});
    app_->CollectResults();
    EXPECT_EQ(ReadBytes(list), before);
    EXPECT_NE(ReadBytes(Logfile).find(Narrow(fw::FormatResString(IDS_LOG_RESULT_MIGRATED, {0}))),
              std::string::npos);

    app_->DmlIsTemporary = true;
    WriteMigrated({a_, b_});
    app_->CollectResults();
    EXPECT_EQ(ReadBytes(list), before);
}

// The extension reports a drawing before the host saves it: only a file that
// this run wrote in the current format is migrated. Any other is told why in
// the log, is not counted and is not marked; so is a host that crashed.
TEST_F(JobTest, OnlyDrawingsTheRunSavedCountAndEveryOtherHasItsReason) {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const uint64_t started =
        ((static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime) - 600000000ull;
    const std::wstring d = dir_ / L"d.dwg", e = dir_ / L"e.dwg";
    const struct {
        std::wstring drawing;
        const char* bytes;  // nullptr: no such file
        int minutesBefore;  // last written this long before the run started
        UINT reason;        // 0: migrated
    } cases[] = {{a_, "OX1032", -1, 0},
                 {b_, "OX1015", -1, IDS_LOG_NOT_SAVED_FORMAT},
                 {c_, "OX1032", 60, IDS_LOG_NOT_SAVED_UNCHANGED},
                 {d, nullptr, 0, IDS_LOG_NOT_SAVED_UNREADABLE},
                 {e, "OX1032", -1, 0}};
    std::vector<std::pair<bool, std::wstring>> before, after;
    std::vector<std::wstring> drawings;
    for (const auto& c : cases) {
        drawings.push_back(c.drawing);
        before.push_back({false, c.drawing});
        after.push_back({c.reason == 0, c.drawing});
        DeleteFileW(c.drawing.c_str());
        if (!c.bytes) continue;
        WriteBytes(c.drawing, c.bytes);
        const uint64_t t = started - static_cast<int64_t>(c.minutesBefore) * 600000000ll;
        const FILETIME written{static_cast<DWORD>(t), static_cast<DWORD>(t >> 32)};
        HANDLE file = CreateFileW(c.drawing.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        SetFileTime(file, nullptr, nullptr, &written);
        CloseHandle(file);
    }
    const std::wstring list = dir_ / L"mine.dml";
    WriteBytes(list, ListFileBytes(before));
    app_->Drawings = drawings;
    app_->DmlFile = list;
    app_->MigrateList = drawings;
    app_->UpdateRunStarted = started;
    // The run file: e's host crashed after its save, the others ended well.
    app_->RunFile = dir_ / L"run.txt";
    WriteBytes(app_->RunFile, "1 0 \r\n2 0 \r\n5 -1073741819 \r\n3 0 \r\n");
    WriteMigrated(drawings);
    app_->CollectResults();

    EXPECT_EQ(ReadBytes(list), ListFileBytes(after));
    const std::string log = ReadBytes(Logfile);
    std::string reasons;
    for (const auto& c : cases)
        if (c.reason) reasons += "\t" + Ansi(fw::FormatResString(c.reason, {c.drawing})) + "\r\n";
    reasons +=
        "\t" + Ansi(fw::FormatResString(IDS_LOG_HOST_EXIT_CODE, {e, L"0xC0000005"})) + "\r\n";
    // In the order of the run, above the summary.
    EXPECT_EQ(log.find(reasons), 0u) << log;
    EXPECT_NE(log.find(Ansi(fw::FormatResString(IDS_LOG_RESULT_MIGRATED, {2})) + "\r\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find(Ansi(fw::FormatResString(IDS_LOG_RESULT_MISSING, {3})) + "\r\n"),
              std::string::npos);
}
