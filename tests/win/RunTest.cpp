// Whole runs from job preparation to the marked user list: the real batch
// files run by Wine's cmd, the stand-in host and its extension. The tests
// wait on the batch process themselves, as the run monitor does.
#include "app/AxvekTarvoApp.h"
#include "program/AxvekTarvoProgram.h"
#include "app/JobFiles.h"
#include "drawings/AxvekFilenm.h"
#include "framework/Resources.h"
#include "framework/TextStream.h"
#include "host/HostKeys.h"
#include "host/HostWindow.h"
#include "resources/ids.h"
#include "stand-ins/drawings/core/StandInDrawing.h"

#include "support/StandInHost.h"
#include "support/WinTest.h"

using namespace testenv;

namespace {

// How the stand-in extension names a drawing in its log lines.
std::string Quoted(const std::wstring& path) {
    return "\"" + Ansi(path) + "\"";
}

bool Contains(const std::string& haystack, const std::string& needle) {
    return haystack.find(needle) != std::string::npos;
}

size_t Count(const std::string& haystack, const std::string& needle) {
    size_t n = 0;
    for (size_t at = haystack.find(needle); at != std::string::npos;
         at = haystack.find(needle, at + 1))
        ++n;
    return n;
}

}  // namespace

class RunTest : public WinTest {
  protected:
    void SetUp() override {
        WinTest::SetUp();
        HostInstall install;
        install.OrtxLocation = BinDir().substr(0, BinDir().size() - 1);  // bin/ is a host folder
        InstallHost(install);
        DeleteFileW(GetMigrateListPath().c_str());
        DeleteFileW(GetMigratedListPath().c_str());
        // The run starts on drive C: while the host lives on Z:.
        GetCurrentDirectoryW(MAX_PATH, previousFolder_);
        SetCurrentDirectoryW(dir_.Path().c_str());

        app_ = std::make_unique<CAxvekTarvoProgram>();
        app_->LoadSettings();
        app_->Operation = 1;
        app_->OptionFlags = 0;
        app_->UpdateFlags = 0;
        app_->SablonFlags = 1;  // selected drawings get "_axmigratebb", which the extension logs
        app_->OrtxaFlags = 0;
        Logfile = dir_ / L"Migration Log.log";
        app_->PrepareHostProfile(CAxvekTarvoApp::kProfileSave);
    }
    void TearDown() override {
        // The batch first, then its host: the other way round the batch would
        // start the next host, left behind blocking in a dialog.
        if (HANDLE batch = app_->HostProcess.Handle()) {
            TerminateProcess(batch, 0);
            WaitForSingleObject(batch, 10000);
        }
        app_->HostProcess.Release();
        TerminateHost(kTerminateUser, *app_);
        app_->ExitInstance();
        // Every host of the run met only what the contract allows.
        ExpectCleanHostRuns(transcripts_.Folder());
        SetCurrentDirectoryW(previousFolder_);
        DeleteFileW(GetMigrateListPath().c_str());
        DeleteFileW(GetMigratedListPath().c_str());
        WinTest::TearDown();
    }

    std::wstring Drawing(const std::wstring& name, standin::DrawingSpec spec = {}) {
        const std::wstring path = AxvekFilenm(dir_ / name).FullPath;
        const std::vector<uint8_t> bytes = standin::WriteDrawing(spec);
        WriteBytes(path, std::string(bytes.begin(), bytes.end()));
        // Made a while before the run, as a user's drawings are.
        FILETIME now{};
        GetSystemTimeAsFileTime(&now);
        ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
        t.QuadPart -= 3600ull * 10000000;
        const FILETIME earlier{t.LowPart, t.HighPart};
        HANDLE file =
            CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        SetFileTime(file, nullptr, nullptr, &earlier);
        CloseHandle(file);
        return path;
    }
    std::string Version(const std::wstring& path) { return ReadBytes(path).substr(0, 6); }

    // Waits for the batch process and lets go of it, as the run monitor does.
    bool WaitForRun(DWORD ms = 90000) {
        if (!app_->HostProcess.IsSet()) return false;
        const bool ended = WaitForSingleObject(app_->HostProcess.Handle(), ms) == WAIT_OBJECT_0;
        app_->HostProcess.Release();
        return ended;
    }
    // The drawing number the batch file last wrote into the counter file.
    int Counter() { return atoi(ReadBytes(app_->CounterFile).c_str()); }
    bool WaitForCounter(int n, DWORD ms = 60000) {
        for (DWORD waited = 0; waited < ms; waited += 100) {
            if (Counter() == n) return true;
            Sleep(100);
        }
        return false;
    }
    bool WaitForHostWindow(DWORD ms = 30000) {
        for (DWORD waited = 0; waited < ms; waited += 100) {
            if (FindHostWindow()) return true;
            Sleep(100);
        }
        return false;
    }
    std::string Log() { return ReadBytes(Logfile); }
    std::string Res(UINT id, std::initializer_list<text::FormatArg> args = {}) {
        return Ansi(fw::FormatResString(id, args));
    }

    HostTranscripts transcripts_;
    ScratchDir dir_;
    wchar_t previousFolder_[MAX_PATH] = {};
    std::unique_ptr<CAxvekTarvoApp> app_;
};

TEST_F(RunTest, AnUpdateJobMigratesEveryDrawingAndMarksTheUsersList) {
    const std::wstring a = Drawing(L"a.dwg"), b = Drawing(L"b.dwg"), c = Drawing(L"c.dwg");
    const std::wstring list = dir_ / L"my list.dml";
    WriteBytes(list, ListFileBytes({{false, a}, {false, b}, {false, c}}));
    app_->Drawings = {a, b, c};
    app_->DmlFile = list;
    app_->PrepareJob();

    ASSERT_TRUE(app_->StartUpdateRun());
    EXPECT_EQ(app_->QueuedCount, 3);
    EXPECT_EQ(app_->ProgressDlg.DrawingCount(), 3);
    ASSERT_TRUE(WaitForRun());
    EXPECT_EQ(ReadBytes(app_->CounterFile), "3 \r\n");
    app_->CollectResults();

    for (const std::wstring& drawing : {a, b, c}) EXPECT_EQ(Version(drawing), "OX1032");
    std::vector<std::wstring> migrated;
    ReadTextLines(GetMigratedListPath(), migrated);
    EXPECT_EQ(migrated, (std::vector<std::wstring>{a, b, c}));
    EXPECT_EQ(ReadBytes(list), ListFileBytes({{true, a}, {true, b}, {true, c}}));

    const std::string log = Log();
    EXPECT_EQ(Count(log, Res(IDS_LOG_UPDATE_RUN) + "\r\n"), 1u);
    for (const std::wstring& drawing : {a, b, c}) {
        const AxvekFilenm name(drawing);
        EXPECT_TRUE(Contains(log, Res(IDS_LOG_UPDATE_DRAWING, {name.BaseName + L".dwg"}))) << log;
        EXPECT_TRUE(Contains(log, "axmigr: migrated " + Quoted(drawing))) << log;
        EXPECT_TRUE(Contains(log, "axmigr: blocks of " + Quoted(drawing))) << log;
    }
    // The batch file's progress lines come before the summary's header.
    EXPECT_LT(log.find(Res(IDS_LOG_UPDATE_DRAWING, {L"c.dwg"})), log.find(Res(IDS_LOG_RESULT_RUN)));
    EXPECT_TRUE(Contains(log, Res(IDS_LOG_RESULT_MIGRATED, {3}) + "\r\n"));
    EXPECT_FALSE(Contains(log, Res(IDS_LOG_RESULT_MISSING, {0})));

    // Everything with a temporary name goes at exit.
    // Counter file, drawing script, head script, two tails, run file, batch file.
    const std::vector<std::wstring> temps = app_->TempFiles;
    EXPECT_EQ(temps.size(), 7u);
    // The host's log as the host named it, under the key it names itself.
    const std::wstring settings =
        L"Software\\Kelvane\\Kelvane Mechanical\\Desktop\\17\\ORTXA-7001:409\\Migration";
    std::wstring hostLog;
    ASSERT_TRUE(GetString(HKEY_CURRENT_USER, settings, L"LOGFILENAME", hostLog));
    EXPECT_TRUE(FileExists(hostLog));
    app_->ExitInstance();
    for (const std::wstring& t : temps) EXPECT_FALSE(FileExists(t)) << Narrow(t);
    EXPECT_FALSE(FileExists(hostLog));
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, settings, L"LOGFILENAME"));
}

// What the extension reports is checked against the drawings' files and the
// hosts' exit codes; after the run no host log of it is left.
TEST_F(RunTest, AFailedSaveAndACrashAreToldAndNotCountedAndNoHostLogStays) {
    standin::DrawingSpec failsToSave, crashesAtSave;
    failsToSave.Fault.SaveFails = true;
    crashesAtSave.Fault.Crash = true;
    crashesAtSave.Fault.At = standin::FaultStage::Save;
    const std::wstring a = Drawing(L"a.dwg"), b = Drawing(L"b.dwg", failsToSave),
                       c = Drawing(L"c.dwg", crashesAtSave), d = Drawing(L"d.dwg");
    const std::wstring list = dir_ / L"my list.dml";
    WriteBytes(list, ListFileBytes({{false, a}, {false, b}, {false, c}, {false, d}}));
    app_->Drawings = {a, b, c, d};
    app_->DmlFile = list;
    app_->PrepareJob();
    ASSERT_TRUE(app_->StartUpdateRun());
    ASSERT_TRUE(WaitForRun());
    // As the monitor does when the batch has ended.
    app_->SweepHostLogs();
    app_->CollectResults();

    std::vector<std::wstring> migrated;
    ReadTextLines(GetMigratedListPath(), migrated);
    EXPECT_EQ(migrated, (std::vector<std::wstring>{a, b, c, d}));  // as the extension saw it
    EXPECT_EQ(ReadBytes(list), ListFileBytes({{true, a}, {false, b}, {false, c}, {true, d}}));
    const std::string log = Log();
    EXPECT_TRUE(Contains(log, "\t" + Res(IDS_LOG_NOT_SAVED_UNCHANGED, {b}) + "\r\n")) << log;
    EXPECT_TRUE(Contains(log, "\t" + Res(IDS_LOG_NOT_SAVED_UNCHANGED, {c}) + "\r\n")) << log;
    EXPECT_TRUE(Contains(log, "\t" + Res(IDS_LOG_HOST_EXIT_CODE, {c, L"0xC0000005"}) + "\r\n"))
        << log;
    EXPECT_TRUE(Contains(log, Res(IDS_LOG_RESULT_MIGRATED, {2}) + "\r\n")) << log;

    // Each host named its log; none of them is left.
    const runoutcome::RunFile run = app_->ReadRunFile();
    EXPECT_EQ(run.ExitCodes.size(), 4u);
    EXPECT_FALSE(run.HostLogs.empty());
    for (const std::string& hostLog : run.HostLogs)
        EXPECT_FALSE(FileExists(fw::TextStream::Decode(hostLog, fw::TextLocale{GetOEMCP()})))
            << hostLog;
    EXPECT_TRUE(app_->HostLogs.empty());
}

TEST_F(RunTest, AScanAddsAReferencedDrawingThatTheUpdateMigratesWithTheOtherTail) {
    const std::wstring part = Drawing(L"part.dwg");
    standin::DrawingSpec withRef;
    withRef.References = {L"part.dwg"};
    const std::wstring assembly = Drawing(L"assembly.dwg", withRef);
    app_->Drawings = {assembly};
    app_->PrepareJob();

    ASSERT_TRUE(app_->StartScanRun());
    ASSERT_TRUE(WaitForRun());
    std::vector<std::wstring> toMigrate;
    ReadTextLines(GetMigrateListPath(), toMigrate);
    ASSERT_EQ(toMigrate.size(), 2u);
    EXPECT_TRUE(text::EqualsNoCase(toMigrate[1], part)) << Narrow(toMigrate[1]);

    ASSERT_TRUE(app_->StartUpdateRun());
    EXPECT_EQ(app_->QueuedCount, 2);
    EXPECT_EQ(app_->MigrateList, toMigrate);
    ASSERT_TRUE(WaitForRun());
    app_->CollectResults();

    EXPECT_EQ(Version(assembly), "OX1032");
    EXPECT_EQ(Version(part), "OX1032");
    const std::string log = Log();
    EXPECT_TRUE(Contains(log, Res(IDS_LOG_SCAN_RUN))) << log;
    EXPECT_TRUE(Contains(log, Res(IDS_LOG_SCAN_DRAWING, {L"assembly.dwg"}))) << log;
    EXPECT_TRUE(Contains(log, "axmigr: blocks of " + Quoted(assembly))) << log;
    // Not selected: the other tail, without the options block.
    EXPECT_FALSE(Contains(log, "axmigr: blocks of " + Quoted(toMigrate[1]))) << log;
    EXPECT_TRUE(Contains(log, "axmigr: migrated " + Quoted(toMigrate[1]))) << log;
    // Only the selected drawing counts in the summary.
    EXPECT_TRUE(Contains(log, Res(IDS_LOG_RESULT_TOTAL, {1}) + "\r\n"));
    EXPECT_TRUE(Contains(log, Res(IDS_LOG_RESULT_MIGRATED, {1}) + "\r\n"));
}

TEST_F(RunTest, AStoppedRunResumesFromTheDrawingInWork) {
    standin::DrawingSpec slow;
    slow.Fault.DelaySeconds = 6;
    const std::wstring a = Drawing(L"a.dwg"), b = Drawing(L"b.dwg", slow), c = Drawing(L"c.dwg");
    app_->Drawings = {a, b, c};
    app_->PrepareJob();
    ASSERT_TRUE(app_->StartUpdateRun());
    ASSERT_TRUE(WaitForCounter(2));
    ASSERT_TRUE(WaitForHostWindow());

    // What the stop button does: end the batch, then the host.
    app_->StopUpdateRun();
    EXPECT_TRUE(TerminateHost(kTerminateUser, *app_));
    EXPECT_FALSE(app_->HostProcess.IsSet());
    EXPECT_EQ(Version(a), "OX1032");
    EXPECT_EQ(Version(c), "OX1015");

    app_->ResumeUpdateRun(Counter() - 1);
    EXPECT_EQ(app_->QueuedCount, 3);
    ASSERT_TRUE(WaitForRun());
    app_->CollectResults();

    for (const std::wstring& drawing : {a, b, c}) EXPECT_EQ(Version(drawing), "OX1032");
    const std::string log = Log();
    const size_t stopped = log.find(Res(IDS_LOG_UPDATE_STOPPED));
    const size_t resumed = log.find(Res(IDS_LOG_UPDATE_RESUMED));
    ASSERT_NE(stopped, std::string::npos) << log;
    ASSERT_NE(resumed, std::string::npos) << log;
    EXPECT_LT(stopped, resumed);
    EXPECT_TRUE(Contains(log, "\t" + Res(IDS_LOG_USER_STOP) + "\r\n")) << log;
    EXPECT_EQ(Count(log, "axmigr: migrated " + Quoted(a)), 1u);   // resumed at b, not at a
    EXPECT_EQ(Count(log, Res(IDS_LOG_UPDATE_RUN) + "\r\n"), 1u);  // no second header
    EXPECT_TRUE(Contains(log, Res(IDS_LOG_RESULT_MIGRATED, {3}) + "\r\n"));
}

TEST_F(RunTest, AHungHostIsEndedForItsTimeAndTheBatchGoesOn) {
    standin::DrawingSpec hangs;
    hangs.Fault.Hang = true;
    const std::wstring a = Drawing(L"a.dwg"), b = Drawing(L"b.dwg", hangs), c = Drawing(L"c.dwg");
    app_->Drawings = {a, b, c};
    app_->Timeout = 1;
    app_->PrepareJob();
    ASSERT_TRUE(app_->StartUpdateRun());
    ASSERT_TRUE(WaitForCounter(2));
    ASSERT_TRUE(WaitForHostWindow());
    Sleep(500);
    // What the run monitor does when drawing 2 has used up its budget.
    ASSERT_TRUE(TerminateHost(kTerminateTimeout, *app_, app_->Timeout));
    ASSERT_TRUE(WaitForRun());
    app_->CollectResults();

    EXPECT_EQ(Version(a), "OX1032");
    EXPECT_EQ(Version(b), "OX1015");
    EXPECT_EQ(Version(c), "OX1032");
    const std::string log = Log();
    EXPECT_TRUE(Contains(log, "\t" + Res(IDS_LOG_TIMEOUT) + "\r\n")) << log;
    EXPECT_TRUE(Contains(log, "\t" + Res(IDS_LOG_TIMEOUT_MINUTES, {1}) + "\r\n")) << log;
    EXPECT_TRUE(Contains(log, Res(IDS_LOG_RESULT_MIGRATED, {2}) + "\r\n"));
    EXPECT_TRUE(Contains(log, Res(IDS_LOG_RESULT_MISSING, {1}) + "\r\n"));
}

TEST_F(RunTest, HostileDrawingNamesReachTheHostExactlyAndRunNothing) {
    const std::vector<std::wstring> names = {L"R&D plan.dwg",
                                             L"50%.dwg",
                                             L"%PATH%.dwg",
                                             L"a^b (1).dwg",
                                             L"x & mkdir pwned & y.dwg",
                                             L"M\u00fcller.dwg",
                                             L"\u010certe\u017e.dwg"};
    std::vector<std::wstring> drawings;
    for (const std::wstring& name : names) drawings.push_back(Drawing(name));
    const std::wstring list = dir_ / L"list.dml";
    std::vector<std::pair<bool, std::wstring>> unmarked;
    for (const auto& d : drawings) unmarked.push_back({false, d});
    WriteBytes(list, ListFileBytes(unmarked));
    app_->Drawings = drawings;
    app_->DmlFile = list;
    app_->PrepareJob();
    ASSERT_TRUE(app_->StartUpdateRun());
    ASSERT_TRUE(WaitForRun());
    app_->CollectResults();

    // cmd ran nothing of the names, wherever it stood.
    EXPECT_FALSE(FileExists(dir_ / L"pwned"));
    EXPECT_FALSE(FileExists(BinDir() + L"pwned"));
    for (const std::wstring& drawing : drawings)
        EXPECT_EQ(Version(drawing), "OX1032") << Narrow(drawing);
    const std::string log = Log();
    for (const std::wstring& name : names) {
        if (!fw::TextStream::CanRepresent(name, fw::TextLocale{CP_ACP})) continue;
        EXPECT_TRUE(Contains(log, Res(IDS_LOG_UPDATE_DRAWING, {text::ToLower(name)})))
            << Narrow(name);
    }
    EXPECT_TRUE(
        Contains(log, Res(IDS_LOG_RESULT_MIGRATED, {static_cast<int>(names.size())}) + "\r\n"))
        << log;
    // A list file holds the system code page only: the one name outside it was
    // stored with "?" and no longer names the drawing, so it stays unmarked.
    std::vector<std::pair<bool, std::wstring>> marked;
    for (const auto& d : drawings)
        marked.push_back({fw::TextStream::CanRepresent(d, fw::TextLocale{CP_ACP}), d});
    EXPECT_EQ(ReadBytes(list), ListFileBytes(marked));
}
