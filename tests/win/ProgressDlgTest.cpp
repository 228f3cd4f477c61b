// The run monitor's window, really created, with the run side played by the
// test: its starts launch a process that runs until the test ends it, and
// ticks come as the WM_TIMER messages the timers send.
#include "app/MigrationLog.h"
#include "wizard/ProgressDlg.h"

#include <functional>
#include <commctrl.h>

#include <cstring>

#include "app/AxvekTarvoApp.h"
#include "program/AxvekTarvoProgram.h"
#include "framework/RegKey.h"
#include "drawings/AxvekFilenm.h"
#include "framework/Handle.h"
#include "framework/Resources.h"
#include "host/HostKeys.h"
#include "resources/ids.h"

#include "support/ProcessWindow.h"
#include "support/WinTest.h"

using namespace testenv;

namespace {

// The run operations as the monitor sees them, recorded. Every start and
// resume hands the monitor its drawings and launches a process that waits.
class TestRuns : public RunSide {
  public:
    bool StartScanRun() override { return Start("scan"); }
    bool StartUpdateRun() override { return Start("update"); }
    void ResumeScanRun(long long first) override { Resume("resume scan ", first); }
    void ResumeUpdateRun(long long first) override { Resume("resume update ", first); }
    void StopScanRun() override { Stop("stop scan"); }
    void StopUpdateRun() override { Stop("stop update"); }
    void CollectResults() override { Calls.push_back("collect"); }
    BatchProcess& RunProcess() override { return Process; }
    std::wstring HostFolder() const override { return BinDir(); }
    void OpenLog() override { Calls.push_back("log"); }
    void NoteHostLog(const std::wstring& path) override { HostLogs.push_back(path); }
    void SweepHostLogs() override { ++Sweeps; }
    void EndSession() override { ++SessionEnds; }
    void LogDetail(const std::wstring& text) override { AppendLogDetail(text); }

    // The batch process ends by itself.
    void EndRun() {
        HANDLE process = Process.Handle();
        SetEvent(end_.Get());
        WaitForSingleObject(process, 10000);
    }
    // Ends whatever runs. A process killed as it starts may live on under
    // Wine, holding ctest's output, so it is also told to end.
    void EndAll() {
        SetEvent(end_.Get());
        Process.Terminate();
    }

    CProgressDlg* Monitor = nullptr;
    std::vector<std::wstring> Drawings;
    int Timeout = 120;
    bool Starts = true;                // false: the start refuses (nothing queued)
    bool Launches = true;              // false: the launch fails
    std::function<void()> BeforeStop;  // what the batch did until it was ended
    std::vector<std::string> Calls;
    std::vector<std::wstring> HostLogs;  // as noted
    int Sweeps = 0;
    int SessionEnds = 0;
    BatchProcess Process;

  private:
    bool Start(const char* call) {
        Calls.push_back(call);
        if (!Starts) return false;
        Launch();
        return true;
    }
    void Resume(const char* call, long long first) {
        Calls.push_back(call + std::to_string(first));
        Launch();
    }
    void Stop(const char* call) {
        Calls.push_back(call);
        if (BeforeStop) BeforeStop();
        EndAll();
    }
    void Launch() {
        Monitor->SetDrawingList(Drawings, Timeout);
        if (!Launches) return;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION created{};
        const std::wstring event = L"axtest-run-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                   std::to_wstring(++launches_);
        end_.Reset(CreateEventW(nullptr, TRUE, FALSE, event.c_str()));
        std::wstring command = L"\"" + BinDir() + L"windriver.exe\" await " + event + L" " +
                               std::to_wstring(GetCurrentProcessId());
        if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                           nullptr, nullptr, &startup, &created))
            Process.Adopt(created);
    }

    fw::UniqueHandle end_;  // the launched process's signal to end
    int launches_ = 0;
};

std::vector<std::wstring> NineDrawings() {
    std::vector<std::wstring> drawings;
    for (int i = 1; i <= 9; ++i)
        drawings.push_back(L"C:\\Projects\\Gearbox housing\\Assembly\\part " + std::to_wstring(i) +
                           L".dwg");
    return drawings;
}

}  // namespace

class ProgressDlgTest : public WinTest {
  protected:
    void SetUp() override {
        WinTest::SetUp();
        InstallHost();
        app_ = std::make_unique<CAxvekTarvoProgram>();  // the run side's own settings
        Logfile = dir_ / L"mig.log";
        runs_.Drawings = NineDrawings();
        NewMonitor();
    }
    void TearDown() override {
        dlg_.reset();
        runs_.EndAll();
        RegKey(SettingsKeyPath(), HKEY_CURRENT_USER).DeleteValue(L"LOGFILENAME");
        WinTest::TearDown();
    }

    // A monitor as the application makes it: once per program run.
    void NewMonitor() {
        dlg_.reset();
        runs_.EndAll();
        dlg_ = std::make_unique<CProgressDlg>();
        runs_.Monitor = dlg_.get();
        dlg_->SetRunSide(&runs_);
        dlg_->SetCounterFile(Counter());
        dlg_->SetClock([this] { return clock_; });
    }
    // Creates the window as DoModal would, in the given mode.
    void Open(int mode) {
        dlg_->SetRunMode(mode);
        ASSERT_TRUE(dlg_->Create());
        // Not activated: Wine waits for a window manager when an active window goes.
        ShowWindow(Window(), SW_SHOWNOACTIVATE);
    }
    HWND Window() const { return dlg_->GetSafeHwnd(); }
    HWND Item(int id) const { return GetDlgItem(Window(), id); }
    std::wstring Text(int id) const {
        wchar_t text[512] = {};
        GetWindowTextW(Item(id), text, 511);
        return text;
    }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    bool Shown(int id) const { return IsWindowVisible(Item(id)) != FALSE; }
    bool Default(int id) const {
        return (GetWindowLongW(Item(id), GWL_STYLE) & 0xF) == BS_DEFPUSHBUTTON;
    }
    int Position() const {
        return static_cast<int>(SendMessageW(Item(IDC_PROGRESS_BAR), PBM_GETPOS, 0, 0));
    }
    bool Bold(int id) const {
        return static_cast<CBoldTxt*>(fw::CWnd::FromHandle(Item(id)))->IsBold();
    }

    // A poll tick that many milliseconds after the last one, by the monitor's clock.
    void PollTick(ULONGLONG after = RunMonitor::kPollInterval) {
        clock_ += after;
        SendMessageW(Window(), WM_TIMER, RunMonitor::kPollTimer, 0);
    }
    void LogTick() { SendMessageW(Window(), WM_TIMER, RunMonitor::kLogTimer, 0); }
    void Click(int id) {
        ASSERT_TRUE(Enabled(id)) << id;
        SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Item(id)));
    }
    // What Escape and the close box send.
    void Escape() { SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }
    // Whether the timers are set: KillTimer says so (and they are gone afterwards).
    bool TimerSet(UINT_PTR id) { return KillTimer(Window(), id) != FALSE; }

    std::wstring Counter() const { return dir_ / L"counter.tmp"; }
    void WriteCounter(const std::string& text) { WriteBytes(Counter(), text); }
    void SetHostLog(const std::wstring& path) {
        RegKey(SettingsKeyPath(), HKEY_CURRENT_USER).WriteString(L"LOGFILENAME", path);
    }
    // Sets a file's last write time to a fixed moment plus some minutes.
    static void SetWriteTime(const std::wstring& path, int minutes) {
        SYSTEMTIME base{2024, 5, 0, 14, 10, 0, 0, 0};
        FILETIME time{};
        SystemTimeToFileTime(&base, &time);
        ULARGE_INTEGER t{{time.dwLowDateTime, time.dwHighDateTime}};
        t.QuadPart += static_cast<ULONGLONG>(minutes) * 60 * 10000000;
        time = {t.LowPart, t.HighPart};
        HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        SetFileTime(file, nullptr, nullptr, &time);
        CloseHandle(file);
    }
    // Sets a file's last write time to that many milliseconds ago.
    static void SetWriteTimeAgo(const std::wstring& path, ULONGLONG ms) {
        FILETIME now{};
        GetSystemTimeAsFileTime(&now);
        ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
        t.QuadPart -= ms * 10000;
        const FILETIME time{t.LowPart, t.HighPart};
        HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        SetFileTime(file, nullptr, nullptr, &time);
        CloseHandle(file);
    }
    bool HostLogNamed() {
        return ValueExists(HKEY_CURRENT_USER, SettingsKeyPath(), L"LOGFILENAME");
    }
    std::string Log() { return ReadBytes(Logfile); }

    ScratchDir dir_;
    ULONGLONG clock_ = 1000000;
    std::unique_ptr<CAxvekTarvoApp> app_;
    TestRuns runs_;
    std::unique_ptr<CProgressDlg> dlg_;
};

TEST_F(ProgressDlgTest, ProgressFollowsTheCounterFileAndNothingElse) {
    const struct {
        int mode;
        int position;  // drawing 3 of 9
    } modes[] = {{runmon::kScanOnly, 30}, {runmon::kUpdate, 51}};
    for (const auto& m : modes) {
        SCOPED_TRACE(m.mode);
        Open(m.mode);
        EXPECT_EQ(Text(IDC_PROGRESS_COUNT), L"9");
        EXPECT_EQ(Text(IDC_PROGRESS_NUMBER), L"1");
        EXPECT_EQ(Text(IDC_PROGRESS_DRAWING), AxvekFilenm(runs_.Drawings[0]).Shortened(30));
        EXPECT_EQ(Position(), 1);

        WriteCounter("3 \r\n");
        SetHostLog(dir_ / L"host.log");  // the previous drawing's, removed now
        PollTick();
        EXPECT_EQ(Text(IDC_PROGRESS_NUMBER), L"3");
        EXPECT_EQ(Text(IDC_PROGRESS_DRAWING), AxvekFilenm(runs_.Drawings[2]).Shortened(30));
        EXPECT_LE(Text(IDC_PROGRESS_DRAWING).size(), 30u);
        EXPECT_EQ(Position(), m.position);
        EXPECT_EQ(dlg_->CurrentDrawing(), 3);
        EXPECT_FALSE(HostLogNamed());

        // The same number again, none, 0, above the count, or no file: no change.
        for (const char* counter : std::initializer_list<const char*>{
                 "3 \r\n", "", "0 \r\n", "10 \r\n", "x\r\n", nullptr}) {
            if (counter)
                WriteCounter(counter);
            else
                DeleteFileW(Counter().c_str());
            SetHostLog(dir_ / L"host.log");
            PollTick();
            EXPECT_EQ(dlg_->CurrentDrawing(), 3) << (counter ? counter : "no file");
            EXPECT_EQ(Text(IDC_PROGRESS_NUMBER), L"3");
            EXPECT_EQ(Position(), m.position);
            EXPECT_TRUE(HostLogNamed());
        }
        // A log the new drawing's host wrote since the counter file stays.
        const std::wstring hostLog = dir_ / L"host.log";
        WriteCounter("4 \r\n");
        WriteBytes(hostLog, "started\r\n");
        SetHostLog(hostLog);
        SetWriteTime(Counter(), 0);
        SetWriteTime(hostLog, 1);
        PollTick();
        EXPECT_EQ(dlg_->CurrentDrawing(), 4);
        EXPECT_TRUE(HostLogNamed());
        EXPECT_TRUE(FileExists(hostLog));
        // An older one is the previous drawing's.
        WriteCounter("3 \r\n");
        SetWriteTime(Counter(), 2);
        SetWriteTime(hostLog, 1);
        PollTick();
        EXPECT_EQ(dlg_->CurrentDrawing(), 3);
        EXPECT_FALSE(HostLogNamed());
        EXPECT_FALSE(FileExists(hostLog));

        // A drawing is charged for the time it is current, from when its
        // number was written, but never from before the last read that did
        // not show it yet: drawing 3 for six ticks and then one, drawing 4
        // for the two ticks since the last counter file was read.
        EXPECT_NEAR(dlg_->Budgets()[2], 120 * 60 - 7 * 5, 1);
        EXPECT_EQ(dlg_->Budgets()[3], 120 * 60 - 2 * 5);
        EXPECT_EQ(dlg_->Budgets()[1], 120 * 60);
        NewMonitor();
    }
}

// The budget is charged by the clock, whatever the ticks do: a minute ends
// the host at the twelfth tick 5 s apart for a drawing that began an interval
// before the first tick saw it, and at the tenth tick 7 s apart for one that
// began just before it.
TEST_F(ProgressDlgTest, ATimeoutOfOneMinuteEndsTheHostOnceAMinuteHasPassed) {
    const struct {
        ULONGLONG interval;
        ULONGLONG begunBefore;  // how long before the first tick
        int endingTick;
        int budgetBefore;  // seconds left at the tick before
    } cases[] = {{5000, 5000, 12, 5},
                 {5000, 4500, 13, 0},  // 59.5 s at the 12th tick: not yet a minute
                 {7000, 0, 10, 60 - 8 * 7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.interval);
        app_->Timeout = runs_.Timeout = 1;
        ProcessWindow host(fw::LoadResString(IDS_HOST_TITLE_1) + L" - [part 2.dwg]");
        ASSERT_TRUE(host.Window());
        Open(runmon::kUpdate);
        WriteCounter("2 \r\n");
        SetWriteTimeAgo(Counter(), c.begunBefore);
        for (int tick = 1; tick < c.endingTick; ++tick) {
            PollTick(c.interval);
            if (tick % 2) LogTick();  // log ticks charge nothing and delay nothing
            ASSERT_FALSE(host.WaitForExit(0)) << "tick " << tick;
        }
        EXPECT_NEAR(dlg_->Budgets()[1], c.budgetBefore, 1);
        PollTick(c.interval);
        EXPECT_TRUE(host.WaitForExit(10000));
        EXPECT_LE(dlg_->Budgets()[1], 0);
        const std::string log = Log();
        EXPECT_NE(log.find("\t" + Ansi(fw::LoadResString(IDS_LOG_TIMEOUT)) + "\r\n"),
                  std::string::npos)
            << log;
        EXPECT_NE(log.find("\t" + Ansi(fw::FormatResString(IDS_LOG_TIMEOUT_MINUTES, {1})) + "\r\n"),
                  std::string::npos)
            << log;
        EXPECT_EQ(dlg_->Budgets()[0], 60);  // only the drawing in work pays
        DeleteFileW(Logfile.c_str());
        NewMonitor();
    }
}

TEST_F(ProgressDlgTest, ScanThenUpdateHandsOverAndFinishesWithTheResults) {
    Open(runmon::kScanThenUpdate);
    EXPECT_EQ(runs_.Calls, (std::vector<std::string>{"scan"}));
    EXPECT_TRUE(Bold(IDC_PROGRESS_SCAN_LABEL));
    EXPECT_FALSE(Bold(IDC_PROGRESS_UPDATE_LABEL));
    EXPECT_FALSE(Shown(IDC_PROGRESS_SCAN_MARK));
    EXPECT_FALSE(Shown(IDC_PROGRESS_UPDATE_MARK));
    WriteCounter("9 \r\n");
    PollTick();
    EXPECT_EQ(Position(), 27);  // 30 * 9 / 10

    // The scan's process ends: the counter file goes, the update run follows.
    runs_.Drawings.resize(4);
    runs_.EndRun();
    PollTick();
    EXPECT_EQ(runs_.Calls, (std::vector<std::string>{"scan", "update"}));
    EXPECT_FALSE(FileExists(Counter()));
    EXPECT_EQ(dlg_->Mode(), runmon::kUpdate);
    EXPECT_TRUE(Shown(IDC_PROGRESS_SCAN_MARK));
    EXPECT_FALSE(Bold(IDC_PROGRESS_SCAN_LABEL));
    EXPECT_TRUE(Bold(IDC_PROGRESS_UPDATE_LABEL));
    EXPECT_EQ(Position(), runmon::kProgressMiddle);
    EXPECT_EQ(Text(IDC_PROGRESS_COUNT), L"4");
    EXPECT_EQ(Text(IDC_PROGRESS_NUMBER), L"1");
    EXPECT_TRUE(Enabled(IDC_PROGRESS_STOP));
    EXPECT_FALSE(Enabled(IDOK));

    // The batch went through its last drawings between two ticks: the end
    // shows the last one all the same.
    WriteCounter("2 \r\n");
    PollTick();
    runs_.EndRun();
    PollTick();
    EXPECT_EQ(runs_.Calls, (std::vector<std::string>{"scan", "update", "collect"}));
    EXPECT_EQ(runs_.Sweeps, 2);  // the hosts' logs of each phase
    EXPECT_EQ(Text(IDC_PROGRESS_COUNT), L"4");
    EXPECT_EQ(Text(IDC_PROGRESS_NUMBER), L"4");
    EXPECT_EQ(Text(IDC_PROGRESS_DRAWING), AxvekFilenm(runs_.Drawings[3]).Shortened(30));
    EXPECT_EQ(dlg_->Mode(), runmon::kIdle);
    EXPECT_FALSE(runs_.Process.IsSet());
    EXPECT_TRUE(Shown(IDC_PROGRESS_UPDATE_MARK));
    EXPECT_EQ(Text(IDC_PROGRESS_STATUS), fw::LoadResString(IDS_RUN_MIGRATED));
    EXPECT_EQ(Position(), runmon::kProgressEnd);
    EXPECT_TRUE(Enabled(IDOK));
    EXPECT_TRUE(Default(IDOK));
    EXPECT_FALSE(Enabled(IDC_PROGRESS_STOP));
    EXPECT_FALSE(Default(IDC_PROGRESS_STOP));
    EXPECT_FALSE(Enabled(IDC_PROGRESS_RESUME));
    EXPECT_FALSE(TimerSet(RunMonitor::kPollTimer));
    EXPECT_FALSE(TimerSet(RunMonitor::kLogTimer));

    PollTick();  // a late tick finds nothing to watch
    EXPECT_EQ(runs_.Calls.size(), 3u);
    Click(IDOK);
    EXPECT_FALSE(IsWindowVisible(Window()));
    DWORD x = 0, y = 0;
    EXPECT_TRUE(GetDword(HKEY_CURRENT_USER, SettingsKeyPath(), L"X", x));
    EXPECT_TRUE(GetDword(HKEY_CURRENT_USER, SettingsKeyPath(), L"Y", y));
    EXPECT_EQ(runs_.Calls.size(), 3u);  // no log from OK in the idle mode
}

TEST_F(ProgressDlgTest, AnalysingOnlyShowsItsOwnPhaseAndCollectsNothing) {
    Open(runmon::kScanOnly);
    EXPECT_EQ(Text(IDC_PROGRESS_SCAN_LABEL), fw::LoadResString(IDS_ANALYSE_LABEL));
    EXPECT_TRUE(Bold(IDC_PROGRESS_SCAN_LABEL));
    EXPECT_FALSE(Shown(IDC_PROGRESS_UPDATE_LABEL));
    EXPECT_EQ(Text(IDC_PROGRESS_STATUS), fw::LoadResString(IDS_ANALYSE_STATUS));
    runs_.EndRun();
    PollTick();
    EXPECT_EQ(runs_.Calls, (std::vector<std::string>{"scan"}));
    EXPECT_TRUE(Shown(IDC_PROGRESS_SCAN_MARK));
    EXPECT_FALSE(Shown(IDC_PROGRESS_UPDATE_MARK));
    EXPECT_EQ(Text(IDC_PROGRESS_STATUS), fw::LoadResString(IDS_RUN_DONE));
    EXPECT_EQ(Position(), runmon::kProgressEnd);
}

TEST_F(ProgressDlgTest, ARunThatDoesNotStartLeavesTheMonitorIdleWithBothMarks) {
    const struct {
        bool starts, launches;
        size_t drawings;
    } cases[] = {{false, false, 9}, {true, false, 9}, {true, false, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.starts << c.launches << c.drawings);
        runs_.Starts = c.starts;
        runs_.Launches = c.launches;
        runs_.Drawings.resize(c.drawings);
        Open(runmon::kUpdate);
        EXPECT_EQ(dlg_->Mode(), runmon::kIdle);
        EXPECT_EQ(Text(IDC_PROGRESS_COUNT), L"0");
        EXPECT_EQ(Text(IDC_PROGRESS_NUMBER), L"0");
        EXPECT_TRUE(Shown(IDC_PROGRESS_SCAN_MARK));
        EXPECT_TRUE(Shown(IDC_PROGRESS_UPDATE_MARK));
        EXPECT_EQ(Position(), runmon::kProgressEnd);
        EXPECT_TRUE(Enabled(IDOK));
        EXPECT_FALSE(Enabled(IDC_PROGRESS_RESUME));
        EXPECT_FALSE(TimerSet(RunMonitor::kPollTimer));
        Escape();  // nothing is watched: the close box closes
        EXPECT_FALSE(IsWindowVisible(Window()));
        NewMonitor();
    }
}

TEST_F(ProgressDlgTest, EscapeAndTheCloseBoxAreIgnoredWhileTheRunIsWatched) {
    Open(runmon::kUpdate);
    EXPECT_FALSE(Enabled(IDOK));
    EXPECT_TRUE(Default(IDC_PROGRESS_STOP));
    Escape();
    SendMessageW(Window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindowVisible(Window()));
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, SettingsKeyPath(), L"X"));
    EXPECT_TRUE(TimerSet(RunMonitor::kPollTimer));
    EXPECT_TRUE(TimerSet(RunMonitor::kLogTimer));
}

TEST_F(ProgressDlgTest, StopAnsweredNoWatchesOnWithFreshTimers) {
    Open(runmon::kUpdate);
    {
        DialogCatcher box(fw::LoadResString(IDS_CAPTION), IDNO, 15000, Window());
        Click(IDC_PROGRESS_STOP);
        ASSERT_TRUE(box.Seen());
        EXPECT_NE(box.AllText().find(fw::LoadResString(IDS_STOP_QUESTION)), std::wstring::npos);
    }
    EXPECT_EQ(runs_.Calls, (std::vector<std::string>{"update"}));
    EXPECT_TRUE(runs_.Process.IsSet());
    EXPECT_TRUE(Enabled(IDC_PROGRESS_STOP));
    EXPECT_TRUE(TimerSet(RunMonitor::kPollTimer));
    EXPECT_TRUE(TimerSet(RunMonitor::kLogTimer));
}

TEST_F(ProgressDlgTest, StopAnsweredYesEndsTheRunThenResumeStartsAtTheDrawingInWork) {
    Open(runmon::kUpdate);
    WriteCounter("4 \r\n");
    PollTick();
    WriteCounter("5 \r\n");  // the stop itself still reads the counter file
    // ... and again once the batch has ended: it went on while the question
    // was open.
    runs_.BeforeStop = [this] { WriteCounter("6 \r\n"); };
    auto host = std::make_unique<ProcessWindow>(fw::LoadResString(IDS_HOST_TITLE_1));
    {
        DialogCatcher box(fw::LoadResString(IDS_CAPTION), IDYES, 15000, Window());
        Click(IDC_PROGRESS_STOP);
        ASSERT_TRUE(box.Seen());
    }
    EXPECT_EQ(runs_.Calls, (std::vector<std::string>{"update", "stop update"}));
    EXPECT_TRUE(host->WaitForExit(10000));  // the host goes with the batch
    EXPECT_NE(Log().find("\t" + Ansi(fw::LoadResString(IDS_LOG_USER_STOP)) + "\r\n"),
              std::string::npos);
    EXPECT_EQ(dlg_->Mode(), runmon::kUpdate);
    EXPECT_EQ(dlg_->CurrentDrawing(), 6);
    EXPECT_TRUE(Enabled(IDOK));
    EXPECT_TRUE(Enabled(IDC_PROGRESS_RESUME));
    EXPECT_FALSE(Enabled(IDC_PROGRESS_STOP));
    EXPECT_FALSE(TimerSet(RunMonitor::kPollTimer));
    EXPECT_FALSE(TimerSet(RunMonitor::kLogTimer));

    // OK opens the log while a run can still be resumed.
    Click(IDOK);
    EXPECT_TRUE(IsWindowVisible(Window()));
    EXPECT_EQ(runs_.Calls.back(), "log");

    // Not while a host window is open.
    host = std::make_unique<ProcessWindow>(fw::LoadResString(IDS_HOST_TITLE_1));
    {
        DialogCatcher box(fw::LoadResString(IDS_CAPTION), IDOK, 15000, Window());
        Click(IDC_PROGRESS_RESUME);
        ASSERT_TRUE(box.Seen());
        EXPECT_NE(box.AllText().find(fw::LoadResString(IDS_RESUME_HOST_OPEN)), std::wstring::npos);
    }
    EXPECT_EQ(runs_.Calls.back(), "log");
    host.reset();

    Click(IDC_PROGRESS_RESUME);
    EXPECT_EQ(runs_.Calls.back(), "resume update 5");
    EXPECT_TRUE(runs_.Process.IsSet());
    EXPECT_EQ(dlg_->CurrentDrawing(), 0);
    EXPECT_TRUE(Enabled(IDC_PROGRESS_STOP));
    EXPECT_FALSE(Enabled(IDOK));
    EXPECT_FALSE(Enabled(IDC_PROGRESS_RESUME));
    WriteCounter("5 \r\n");
    PollTick();
    EXPECT_EQ(dlg_->CurrentDrawing(), 5);
    EXPECT_TRUE(TimerSet(RunMonitor::kPollTimer));
}

// Yes to the stop question after the batch had ended by itself: the run is
// complete, so it ends as one, with its results and nothing to resume.
TEST_F(ProgressDlgTest, StopAnsweredYesAfterTheBatchEndedFinishesTheRun) {
    Open(runmon::kUpdate);
    WriteCounter("8 \r\n");
    PollTick();
    runs_.EndRun();
    {
        DialogCatcher box(fw::LoadResString(IDS_CAPTION), IDYES, 15000, Window());
        Click(IDC_PROGRESS_STOP);
        ASSERT_TRUE(box.Seen());
    }
    EXPECT_EQ(runs_.Calls, (std::vector<std::string>{"update", "collect"}));
    EXPECT_EQ(dlg_->Mode(), runmon::kIdle);
    EXPECT_EQ(Text(IDC_PROGRESS_STATUS), fw::LoadResString(IDS_RUN_MIGRATED));
    EXPECT_EQ(Text(IDC_PROGRESS_NUMBER), L"9");
    EXPECT_TRUE(Shown(IDC_PROGRESS_UPDATE_MARK));
    EXPECT_FALSE(Enabled(IDC_PROGRESS_RESUME));
    EXPECT_EQ(Log().find(Ansi(fw::LoadResString(IDS_LOG_USER_STOP))), std::string::npos);
    EXPECT_FALSE(FileExists(Counter()));
}

// Windows ends the session: a running batch stops as Stop stops it, without a
// question; one that has ended is left as it is. Either way the run side hears.
TEST_F(ProgressDlgTest, TheSessionEndingStopsTheRunWithoutAsking) {
    for (const bool running : {true, false}) {
        NewMonitor();
        runs_.Calls.clear();
        runs_.SessionEnds = 0;
        Open(runmon::kUpdate);
        if (!running) runs_.EndRun();
        EXPECT_EQ(SendMessageW(Window(), WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP), TRUE);
        SendMessageW(Window(), WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP);
        EXPECT_EQ(runs_.Calls, running ? (std::vector<std::string>{"update", "stop update"})
                                       : (std::vector<std::string>{"update"}));
        EXPECT_EQ(runs_.SessionEnds, 1);
        EXPECT_FALSE(TimerSet(RunMonitor::kPollTimer));
        EXPECT_FALSE(TimerSet(RunMonitor::kLogTimer));
    }
}

// Every host log the ticks see is noted for the clean-up at the end of the run.
TEST_F(ProgressDlgTest, EveryHostLogNamedIsNotedAndSweptAtTheEnd) {
    Open(runmon::kUpdate);
    SetHostLog(dir_ / L"ortx-1.log");
    PollTick();
    SetHostLog(dir_ / L"ortx-2.log");
    LogTick();
    EXPECT_EQ(runs_.HostLogs,
              (std::vector<std::wstring>{dir_ / L"ortx-1.log", dir_ / L"ortx-2.log"}));
    EXPECT_EQ(runs_.Sweeps, 0);
    {
        DialogCatcher box(fw::LoadResString(IDS_CAPTION), IDYES, 15000, Window());
        Click(IDC_PROGRESS_STOP);
        ASSERT_TRUE(box.Seen());
    }
    EXPECT_EQ(runs_.Sweeps, 1);
}

TEST_F(ProgressDlgTest, AnErrorMarkerInTheHostLogEndsTheHostWithTheLineLogged) {
    const std::wstring hostLog = dir_ / L"ortx-1.log";
    WriteBytes(hostLog,
               "Command: _.OPEN\r\n?not used in this release\r\n"
               "Loading part 1: fatal error in block table\r\nOut of memory\r\n");
    SetHostLog(hostLog);
    ProcessWindow host(fw::LoadResString(IDS_HOST_TITLE_1));
    Open(runmon::kUpdate);
    LogTick();
    EXPECT_TRUE(host.WaitForExit(10000));
    const std::string log = Log();
    const size_t line = log.find("\t\t** \"Loading part 1: fatal error in block table\"\r\n");
    const size_t reason = log.find("\t" + Ansi(fw::LoadResString(IDS_LOG_HOST_ERROR)) + "\r\n");
    EXPECT_NE(line, std::string::npos) << log;
    EXPECT_LT(line, reason) << log;
    EXPECT_EQ(log.find("Out of memory"), std::string::npos);  // the first marked line only
    EXPECT_TRUE(TimerSet(RunMonitor::kPollTimer));            // started again

    // A clean log, a placeholder marker, or a log that is gone: nothing happens.
    ProcessWindow other(fw::LoadResString(IDS_HOST_TITLE_1));
    WriteBytes(hostLog, "all is well\r\n?not used in this release\r\n");
    SetHostLog(hostLog);
    LogTick();
    EXPECT_TRUE(FileExists(hostLog));
    DeleteFileW(hostLog.c_str());
    LogTick();
    EXPECT_FALSE(other.WaitForExit(500));
    EXPECT_EQ(Log(), log);
}

// Each tick reads only what the log gained, so a marker line still being
// written is found once it is complete, and another log is read from its start.
TEST_F(ProgressDlgTest, EachLogTickReadsOnFromTheLastCompleteLine) {
    const std::wstring hostLog = dir_ / L"ortx-1.log";
    const std::string clean = "Command: _.OPEN\r\n" + std::string(4000, 'x') + "\r\n";
    const struct {
        const char* first;   // what the first tick finds
        const char* second;  // what the second tick finds after it
        bool replace;        // the second is another file of that name
    } cases[] = {
        {"Loading part 2: fat", "Loading part 2: fatal error in block table\r\n", false},
        {"", "fatal error in block table\r\n", false},
        {"", "fatal error in block table\r\n", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.second);
        DeleteFileW(hostLog.c_str());
        WriteBytes(hostLog, clean + c.first);
        SetHostLog(hostLog);
        ProcessWindow host(fw::LoadResString(IDS_HOST_TITLE_1));
        Open(runmon::kUpdate);
        LogTick();
        EXPECT_FALSE(host.WaitForExit(300));
        if (c.replace) {
            DeleteFileW(hostLog.c_str());
            WriteBytes(hostLog, c.second);
        } else {
            WriteBytes(hostLog, clean + c.second);
        }
        LogTick();
        EXPECT_TRUE(host.WaitForExit(10000));
        EXPECT_NE(
            Log().find("\t\t** \"" + std::string(c.second, std::strlen(c.second) - 2) + "\"\r\n"),
            std::string::npos)
            << Log();
        NewMonitor();
    }
}

TEST_F(ProgressDlgTest, TheSavedPositionIsUsedAndKeptOnTheScreen) {
    const struct {
        DWORD x, y;
        bool exact;
    } cases[] = {{40, 50, true}, {60000, 70000, false}, {static_cast<DWORD>(-5000), 20, false}};
    for (const auto& c : cases) {
        SetDword(HKEY_CURRENT_USER, SettingsKeyPath(), L"X", c.x);
        SetDword(HKEY_CURRENT_USER, SettingsKeyPath(), L"Y", c.y);
        Open(runmon::kUpdate);
        RECT r{};
        GetWindowRect(Window(), &r);
        if (c.exact) {
            EXPECT_EQ(r.left, 40);
            EXPECT_EQ(r.top, 50);
        }
        EXPECT_GE(r.left, 0);
        EXPECT_GE(r.top, 0);
        EXPECT_LE(r.right, GetSystemMetrics(SM_CXSCREEN));
        EXPECT_LE(r.bottom, GetSystemMetrics(SM_CYSCREEN));
        EXPECT_TRUE(GetWindowLongW(Window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
        NewMonitor();
    }
}

namespace {

// The monitor with the times its real timers' ticks arrived.
class TimedMonitor : public CProgressDlg {
  public:
    std::vector<std::pair<UINT_PTR, ULONGLONG>> Ticks;

  protected:
    bool OnTimer(UINT_PTR id) override {
        Ticks.emplace_back(id, GetTickCount64());
        return CProgressDlg::OnTimer(id);
    }
};

}  // namespace

// The real timers: a log tick stops the poll timer while it reads the host
// log, and the poll timer then goes on where it was due, so polls (and with
// them the budgets and the watcher) stay 5 s apart.
TEST_F(ProgressDlgTest, ALogTickKeepsThePollsFiveSecondsApart) {
    auto monitor = std::make_unique<TimedMonitor>();
    TimedMonitor* timed = monitor.get();
    dlg_ = std::move(monitor);
    runs_.Monitor = dlg_.get();
    dlg_->SetRunSide(&runs_);
    dlg_->SetCounterFile(Counter());
    Open(runmon::kUpdate);
    const ULONGLONG end = GetTickCount64() + 10800;
    while (GetTickCount64() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    std::vector<ULONGLONG> polls;
    bool logBetween = false;
    for (const auto& [id, at] : timed->Ticks) {
        if (id == RunMonitor::kPollTimer) polls.push_back(at);
        if (id == RunMonitor::kLogTimer && polls.size() == 1) logBetween = true;
    }
    ASSERT_EQ(polls.size(), 2u);
    EXPECT_TRUE(logBetween);
    EXPECT_LE(polls[1] - polls[0], 5600u);
    EXPECT_GE(polls[1] - polls[0], 4400u);
}
