// Whole jobs after the wizard (RunJob): settings saved, job prepared, the run
// monitor modal over real batch files, Wine's cmd, the stand-in host and its
// extension, the window watcher and the host log scan. A driver thread
// beside the modal loop feeds the monitor's ticks faster than its timers
// would and presses OK when the run has ended.
#include <atomic>
#include <thread>

#include "app/AxvekTarvoApp.h"
#include "program/AxvekTarvoProgram.h"
#include "app/JobFiles.h"
#include "drawings/AxvekFilenm.h"
#include "framework/Resources.h"
#include "host/HostKeys.h"
#include "host/HostWindow.h"
#include "resources/ids.h"
#include "stand-ins/drawings/core/StandInDrawing.h"

#include "support/WinTest.h"

using namespace testenv;

namespace {

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

// The application with the log viewer counted instead of started.
class TestApp : public CAxvekTarvoProgram {
  public:
    void OpenLog() override { ++LogsOpened; }
    int LogsOpened = 0;
};

struct TitleSearch {
    std::wstring title;
    HWND found = nullptr;
    bool prefix = false;  // the title only begins with it
};

BOOL CALLBACK FindTitled(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<TitleSearch*>(lp);
    wchar_t title[512] = {};
    GetWindowTextW(w, title, 511);
    const std::wstring shown = title;
    const bool matches = s->prefix ? shown.rfind(s->title, 0) == 0 : shown == s->title;
    if (IsWindowVisible(w) && matches) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

std::wstring ItemText(HWND dialog, int id) {
    wchar_t text[512] = {};
    GetWindowTextW(GetDlgItem(dialog, id), text, 511);
    return text;
}

// Ticks the monitor every tickMs (a log tick every third time) until its run
// has ended, then closes it with closeWith. The monitor's clock moves on by a
// poll interval at each poll tick, as if the ticks came from its timers. A harmless host box that
// stays is closed the way a user would once it has outlived some ticks.
class MonitorDriver {
  public:
    MonitorDriver(TestApp& app, int closeWith, DWORD tickMs = 400)
        : app_(app),
          closeWith_(closeWith),
          tickMs_(tickMs),
          harmlessTitle_(fw::LoadResString(IDS_WATCH_MIGRATION_BOX)) {
        app.ProgressDlg.SetClock([this] { return clock_.load(); });
        thread_ = std::thread([this] { Drive(); });
    }
    ~MonitorDriver() { thread_.join(); }

    std::vector<std::wstring> Numbers;  // the drawing numbers shown, in order
    std::wstring ScanLabel;
    int HarmlessBoxTicks = 0;  // ticks a harmless box stayed open
    bool TimedOut = false;

  private:
    void Drive() {
        HWND dialog = nullptr;
        const ULONGLONG deadline = GetTickCount64() + 150000;
        while (!dialog && GetTickCount64() < deadline) {
            dialog = FindRunMonitor();
            if (!dialog) Sleep(50);
        }
        if (!dialog) return;
        ScanLabel = ItemText(dialog, IDC_PROGRESS_SCAN_LABEL);
        for (int tick = 0;; ++tick) {
            const std::wstring number = ItemText(dialog, IDC_PROGRESS_NUMBER);
            if (Numbers.empty() || Numbers.back() != number) Numbers.push_back(number);
            if (IsWindowEnabled(GetDlgItem(dialog, IDOK)) &&
                !IsWindowEnabled(GetDlgItem(dialog, IDC_PROGRESS_STOP))) {
                PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(closeWith_, BN_CLICKED), 0);
                return;
            }
            if (GetTickCount64() > deadline && !TimedOut) {
                TimedOut = true;  // end the run, so that the modal loop ends
                TerminateHost(kTerminateUser, app_);
                TerminateProcess(app_.HostProcess.Handle(), 1);
            }
            DWORD_PTR ignored = 0;
            clock_ += RunMonitor::kPollInterval;
            SendMessageTimeoutW(dialog, WM_TIMER, RunMonitor::kPollTimer, 0, SMTO_NORMAL, 60000,
                                &ignored);
            if (tick % 3 == 2)
                SendMessageTimeoutW(dialog, WM_TIMER, RunMonitor::kLogTimer, 0, SMTO_NORMAL, 60000,
                                    &ignored);
            TitleSearch box{harmlessTitle_};
            EnumWindows(FindTitled, reinterpret_cast<LPARAM>(&box));
            if (box.found && ++HarmlessBoxTicks == 4)
                PostMessageW(box.found, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            Sleep(tickMs_);
        }
    }

    TestApp& app_;
    int closeWith_;
    DWORD tickMs_;
    std::wstring harmlessTitle_;
    std::atomic<ULONGLONG> clock_{1000000};
    std::thread thread_;
};

}  // namespace

class MonitorRunTest : public WinTest {
  protected:
    void SetUp() override {
        WinTest::SetUp();
        HostInstall install;
        install.OrtxLocation = BinDir().substr(0, BinDir().size() - 1);  // bin/ is a host folder
        InstallHost(install);
        DeleteFileW(GetMigrateListPath().c_str());
        DeleteFileW(GetMigratedListPath().c_str());
        GetCurrentDirectoryW(MAX_PATH, previousFolder_);
        SetCurrentDirectoryW(dir_.Path().c_str());

        app_ = std::make_unique<TestApp>();
        app_->LoadSettings();
        app_->Operation = 1;
        app_->OrtxaFlags = 0;
        app_->Timeout = 2;  // 24 ticks of the driver
        Logfile = dir_ / L"Migration Log.log";
        app_->PrepareHostProfile(1);
    }
    void TearDown() override {
        TerminateHost(kTerminateUser, *app_);
        app_->HostProcess.Terminate();
        app_->ExitInstance();
        SetCurrentDirectoryW(previousFolder_);
        DeleteFileW(GetMigrateListPath().c_str());
        DeleteFileW(GetMigratedListPath().c_str());
        WinTest::TearDown();
    }

    std::wstring Drawing(const std::wstring& name, standin::Faults faults = {}) {
        const std::wstring path = AxvekFilenm(dir_ / name).FullPath;
        standin::DrawingSpec spec;
        spec.Fault = faults;
        const std::vector<uint8_t> bytes = standin::WriteDrawing(spec);
        WriteBytes(path, std::string(bytes.begin(), bytes.end()));
        return path;
    }
    std::string Version(const std::wstring& path) { return ReadBytes(path).substr(0, 6); }
    std::string Res(UINT id, std::initializer_list<text::FormatArg> args = {}) {
        return Ansi(fw::FormatResString(id, args));
    }

    ScratchDir dir_;
    wchar_t previousFolder_[MAX_PATH] = {};
    std::unique_ptr<TestApp> app_;
};

TEST_F(MonitorRunTest, AMigrationGoesOnPastEveryFaultAndMarksTheList) {
    standin::Faults fatal, harmless, question, logError, hung;
    fatal.DialogTitle = L"{res:2101}";
    harmless.DialogTitle = L"{res:2120}";
    harmless.DialogTexts = {L"{res:2141}"};
    question.DialogTitle = L"{res:2102}";
    question.DialogTexts = {L"{host:20010}"};
    const std::wstring errorLine =
        L"Converting the block table: " + fw::LoadResString(IDS_HOST_LOG_MARKER_FIRST) + L" 17";
    logError.LogError = errorLine;
    hung.Hang = true;
    const std::vector<std::wstring> drawings = {Drawing(L"plain.dwg"),
                                                Drawing(L"fatal.dwg", fatal),
                                                Drawing(L"harmless.dwg", harmless),
                                                Drawing(L"question.dwg", question),
                                                Drawing(L"log error.dwg", logError),
                                                Drawing(L"hung.dwg", hung)};
    const std::wstring list = dir_ / L"my list.dml";
    std::vector<std::pair<bool, std::wstring>> entries;
    for (const std::wstring& d : drawings) entries.push_back({false, d});
    WriteBytes(list, ListFileBytes(entries));
    app_->Drawings = drawings;
    app_->DmlFile = list;

    int logsOpened = 0;
    std::vector<std::wstring> numbers;
    int harmlessTicks = 0;
    {
        MonitorDriver driver(*app_, IDOK);
        app_->RunJob();
        logsOpened = app_->LogsOpened;
        numbers = driver.Numbers;
        harmlessTicks = driver.HarmlessBoxTicks;
        ASSERT_FALSE(driver.TimedOut);
    }
    EXPECT_EQ(logsOpened, 1);
    DWORD saved = 0;
    EXPECT_TRUE(GetDword(HKEY_CURRENT_USER, SettingsKeyPath(), L"Timeout", saved));
    EXPECT_EQ(saved, 2u);
    EXPECT_EQ(numbers.front(), L"1");
    EXPECT_EQ(numbers.back(), L"6");
    EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end())) << Narrow(numbers.back());
    EXPECT_GE(harmlessTicks, 4);  // the watcher left it alone
    EXPECT_FALSE(FileExists(app_->CounterFile));

    const std::vector<std::string> versions = {"OX1032", "OX1015", "OX1032",
                                               "OX1032", "OX1015", "OX1015"};
    for (size_t i = 0; i < drawings.size(); ++i)
        EXPECT_EQ(Version(drawings[i]), versions[i]) << Narrow(drawings[i]);
    for (size_t i = 0; i < drawings.size(); ++i) entries[i].first = versions[i] == "OX1032";
    EXPECT_EQ(ReadBytes(list), ListFileBytes(entries));

    const std::string log = ReadBytes(Logfile);
    EXPECT_TRUE(
        Contains(log, "\t" + Res(IDS_LOG_WATCHED_WINDOW, {fw::LoadResString(2101)}) + "\r\n"))
        << log;
    EXPECT_FALSE(Contains(log, Res(IDS_LOG_WATCHED_WINDOW, {fw::LoadResString(2120)}))) << log;
    EXPECT_FALSE(Contains(log, Res(IDS_LOG_WATCHED_WINDOW, {fw::LoadResString(2102)}))) << log;
    const size_t marked = log.find("\t\t** \"" + Ansi(errorLine) + "\"\r\n");
    ASSERT_NE(marked, std::string::npos) << log;
    EXPECT_EQ(log.find("\t" + Res(IDS_LOG_HOST_ERROR) + "\r\n", marked),
              marked + Ansi(errorLine).size() + 9);
    EXPECT_EQ(Count(log, "\t" + Res(IDS_LOG_TIMEOUT) + "\r\n"), 1u) << log;  // the hung one
    EXPECT_EQ(Count(log, "\t" + Res(IDS_LOG_TIMEOUT_MINUTES, {2}) + "\r\n"), 1u) << log;
    EXPECT_TRUE(Contains(log, Res(IDS_LOG_RESULT_TOTAL, {6}) + "\r\n")) << log;
    EXPECT_TRUE(Contains(log, Res(IDS_LOG_RESULT_MIGRATED, {3}) + "\r\n")) << log;
    EXPECT_TRUE(Contains(log, Res(IDS_LOG_RESULT_MISSING, {3}) + "\r\n")) << log;
}

TEST_F(MonitorRunTest, AnAnalysisChangesNothingAndClosingWithoutOkOpensNoLog) {
    app_->Operation = 2;
    const std::wstring drawing = Drawing(L"only.dwg");
    app_->Drawings = {drawing};
    std::wstring label;
    {
        MonitorDriver driver(*app_, IDCANCEL);
        app_->RunJob();
        label = driver.ScanLabel;
        ASSERT_FALSE(driver.TimedOut);
    }
    EXPECT_EQ(label, fw::LoadResString(IDS_ANALYSE_LABEL));
    EXPECT_EQ(app_->LogsOpened, 0);
    EXPECT_EQ(Version(drawing), "OX1015");
    const std::string log = ReadBytes(Logfile);
    EXPECT_TRUE(Contains(log, Res(IDS_LOG_ANALYZE_DRAWING, {L"only.dwg"}))) << log;
    EXPECT_FALSE(Contains(log, Res(IDS_LOG_RESULT_RUN))) << log;
}

TEST(OpenLogTest, TheEditorGetsALogPathWithBlanksAsOneName) {
    ScratchDir dir;
    Logfile = dir / L"Migration Log.log";
    WriteBytes(Logfile, "log\r\n");
    CAxvekTarvoProgram app;
    app.OpenLog();
    HWND editor = nullptr;
    for (int i = 0; i < 200 && !editor; ++i, Sleep(50)) {
        // The editor names itself in the system's language.
        TitleSearch s{L"Migration Log.log - ", nullptr, true};
        EnumWindows(FindTitled, reinterpret_cast<LPARAM>(&s));
        editor = s.found;
    }
    ASSERT_NE(editor, nullptr);
    DWORD pid = 0;
    GetWindowThreadProcessId(editor, &pid);
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    TerminateProcess(process, 0);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
}
