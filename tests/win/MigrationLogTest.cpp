#include "app/MigrationLog.h"
#include "host/HostLog.h"

#include "app/AxvekTarvoApp.h"
#include "program/AxvekTarvoProgram.h"
#include "framework/RegKey.h"
#include "framework/Resources.h"
#include "host/HostKeys.h"
#include "host/Language.h"
#include "resources/ids.h"

#include "support/WinTest.h"

using namespace testenv;

namespace {

std::string Res(UINT id) {
    return fw::TextStream::Encode(fw::LoadResString(id), SystemLanguageLocale(), nullptr);
}

}  // namespace

class MigrationLogTest : public WinTest {
  protected:
    void SetUp() override {
        WinTest::SetUp();
        InstallHost();
        Logfile = dir_ / L"mig.log";
    }
    ScratchDir dir_;
};

TEST_F(MigrationLogTest, HeaderOfAMigratingJobHasSevenLinesAfterTheEmptyOne) {
    CAxvekTarvoProgram app;
    app.Operation = 1;
    app.WriteLogHeader(IDS_LOG_UPDATE_RUN);
    const auto lines = SplitCrLf(ReadBytes(Logfile));
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], Res(IDS_LOG_RULE));
    EXPECT_EQ(lines[2], Res(IDS_LOG_TITLE));
    EXPECT_EQ(lines[3], Res(IDS_LOG_MARGIN));
    EXPECT_EQ(lines[4], Res(IDS_LOG_UPDATE_RUN));
    EXPECT_EQ(lines[5], Res(IDS_LOG_MARGIN));
    EXPECT_EQ(lines[6].substr(0, lines[5].size()), Res(IDS_LOG_MARGIN));
    EXPECT_GT(lines[6].size(), lines[5].size() + 10);  // the time stamp
    EXPECT_EQ(lines[7], Res(IDS_LOG_RULE));
}

TEST_F(MigrationLogTest, HeaderOfAnAnalysingJobHasNoRunLine) {
    CAxvekTarvoProgram app;
    app.Operation = 2;
    app.WriteLogHeader(IDS_LOG_SCAN_RUN);
    const auto lines = SplitCrLf(ReadBytes(Logfile));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[3], Res(IDS_LOG_MARGIN));
    EXPECT_NE(ReadBytes(Logfile).find(Res(IDS_LOG_MARGIN) + "2"), std::string::npos);
}

TEST_F(MigrationLogTest, LinesAndDetailLinesAreAppended) {
    AppendLogLine(L"plain");
    AppendLogDetail(L"detail");
    AppendLogMessage(IDS_LOG_UPDATE_RESUMED);
    EXPECT_EQ(ReadBytes(Logfile), "plain\r\n\tdetail\r\n" + Res(IDS_LOG_UPDATE_RESUMED) + "\r\n");
}

TEST_F(MigrationLogTest, AnUnwritableLogLosesLinesSilently) {
    Logfile = dir_ / L"gone\\mig.log";
    AppendLogLine(L"lost");
    CAxvekTarvoProgram app;
    app.WriteLogHeader(IDS_LOG_UPDATE_RUN);
    EXPECT_FALSE(FileExists(Logfile));
}

TEST_F(MigrationLogTest, TimeStampsFallBackOnAMissingOrUnsafeFormat) {
    const std::wstring stamp = LogTimeStamp(L"%Y");
    ASSERT_EQ(stamp.size(), 4u);
    EXPECT_EQ(LogTimeStamp(L"").size(), 19u);       // 2026-12-08 07:41:00
    EXPECT_EQ(LogTimeStamp(L"%Q %Y").size(), 19u);  // unknown conversion
    EXPECT_EQ(LogTimeStamp(L"%").size(), 19u);
    EXPECT_EQ(LogTimeStamp(L"%%"), L"%");
    EXPECT_EQ(LogTimeStamp(std::wstring(200, L'x')), L"");  // does not fit
}

TEST_F(MigrationLogTest, DeleteHostLogRemovesTheFileAndTheValue) {
    const std::wstring settings = ComputeEditionKeyPath() + L"\\Migration";
    const std::wstring hostLog = dir_ / L"host.log";
    WriteBytes(hostLog, "host line\r\n");
    SetString(HKEY_CURRENT_USER, settings, L"LOGFILENAME", hostLog);
    DeleteHostLog();
    EXPECT_FALSE(FileExists(hostLog));
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, settings, L"LOGFILENAME"));
}

TEST_F(MigrationLogTest, DeleteHostLogRemovesAValueNamingAMissingFile) {
    const std::wstring settings = ComputeEditionKeyPath() + L"\\Migration";
    SetString(HKEY_CURRENT_USER, settings, L"LOGFILENAME", dir_ / L"never-written.log");
    DeleteHostLog();
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, settings, L"LOGFILENAME"));
    DeleteHostLog();  // nothing there any more: still fine
}

TEST_F(MigrationLogTest, PathsTheCodePageCannotHoldUseTheirShortNameOrAreLeftOut) {
    RunNotes notes;
    const std::wstring plain = dir_ / (L"m" + LocalLetter() + L"ller.dwg");
    EXPECT_EQ(PathForTextFile(plain, notes), plain);

    const std::wstring foreign = dir_ / L"\u010certe\u017e.dwg";
    WriteBytes(foreign, "OX1015");
    const std::wstring shortForm = PathForTextFile(foreign, notes);
    EXPECT_NE(shortForm, foreign);
    EXPECT_TRUE(fw::TextStream::CanRepresent(shortForm, SystemLanguageLocale()));
    EXPECT_EQ(ReadBytes(shortForm), "OX1015");  // names the same file
    EXPECT_TRUE(notes.Held().empty());

    const std::wstring missing = dir_ / L"\u010cisto.dwg";  // no file, no short name
    EXPECT_EQ(PathForTextFile(missing, notes), L"");
    EXPECT_EQ(notes.Held(), std::vector<std::wstring>{
                                fw::FormatResString(IDS_LOG_UNREPRESENTABLE_PATH, {missing})});
    EXPECT_FALSE(FileExists(Logfile));
}
