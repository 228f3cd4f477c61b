// The run monitor's two ticks, each against its interval (5 s and 7 s):
// a poll tick of a 20,000-drawing run with 200 more top-level windows of
// another process on the desktop (the window watcher looks at every one, and
// the counter file names a new drawing each time), and log ticks over a
// host log of 10 MB without an error marker: the first look at it (read
// from its start, every line scanned) and the usual tick, after the host
// appended a line.
//
//   scripts/wine-run.sh build/windows/bin/bench_monitor.exe
#include <windows.h>

#include <string>
#include <vector>

#include "app/MigrationLog.h"
#include "BenchWin.h"
#include "framework/RegKey.h"
#include "host/HostKeys.h"
#include "wizard/ProgressDlg.h"

namespace {

constexpr int kDrawings = 20000;
constexpr int kWindows = 200;
constexpr size_t kHostLogBytes = 10u << 20;

// The run side of a run that never ends by itself: its batch process is the
// process that holds the 200 windows.
class BenchRuns : public RunSide {
  public:
    bool StartScanRun() override { return Start(); }
    bool StartUpdateRun() override { return Start(); }
    void ResumeScanRun(long long) override {}
    void ResumeUpdateRun(long long) override {}
    void StopScanRun() override {}
    void StopUpdateRun() override {}
    void CollectResults() override {}
    BatchProcess& RunProcess() override { return Process; }
    std::wstring HostFolder() const override { return bench::ProgramFolder(); }
    void OpenLog() override {}
    void NoteHostLog(const std::wstring&) override {}
    void SweepHostLogs() override {}
    void EndSession() override {}
    void LogDetail(const std::wstring& text) override { AppendLogDetail(text); }

    CProgressDlg* Monitor = nullptr;
    std::vector<std::wstring> Drawings;
    PROCESS_INFORMATION Windows{};
    BatchProcess Process;

  private:
    bool Start() {
        Monitor->SetDrawingList(Drawings, 120);
        HANDLE copy = nullptr;
        DuplicateHandle(GetCurrentProcess(), Windows.hProcess, GetCurrentProcess(), &copy, 0, FALSE,
                        DUPLICATE_SAME_ACCESS);
        PROCESS_INFORMATION held{copy, nullptr, Windows.dwProcessId, 0};
        Process.Adopt(held);
        return true;
    }
};

// The other process: 200 visible top-level windows with titles of the kind a
// desktop shows, none of them a host dialog.
int ShowWindows() {
    for (int i = 0; i < kWindows; ++i) {
        const std::wstring title = L"Document " + std::to_wstring(i) + L" - Editor";
        CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", title.c_str(), WS_POPUP | WS_VISIBLE, i % 20,
                        i / 20, 40, 20, nullptr, nullptr, nullptr, nullptr);
    }
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}

int CountWindows() {
    int n = 0;
    EnumWindows([](HWND, LPARAM p) -> BOOL { return ++*reinterpret_cast<int*>(p), TRUE; },
                reinterpret_cast<LPARAM>(&n));
    return n;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && std::wstring(argv[1]) == L"--windows") return ShowWindows();
    const auto resources = bench::EnglishResources();
    const std::wstring folder = bench::ScratchFolder(L"monitor");

    BenchRuns runs;
    const int before = CountWindows();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring command = L"\"" + bench::ProgramFolder() + L"bench_monitor.exe\" --windows";
    bench::Check(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                nullptr, &startup, &runs.Windows),
                 "window process started");
    for (int i = 0; i < 200 && CountWindows() < before + kWindows; ++i) Sleep(50);
    bench::Check(CountWindows() >= before + kWindows, "200 windows on the desktop");
    std::printf("top-level windows on the desktop: %d\n", CountWindows());

    for (int i = 0; i < kDrawings; ++i)
        runs.Drawings.push_back(L"c:\\projects\\customer " + std::to_wstring(i % 37) +
                                L"\\assemblies\\part-" + std::to_wstring(100000 + i) + L".dwg");
    const std::wstring counter = folder + L"counter.tmp";
    const std::wstring hostLog = folder + L"ortx-1.log";
    const RegKey settings(SettingsKeyPath(), HKEY_CURRENT_USER);
    {
        CProgressDlg monitor;
        runs.Monitor = &monitor;
        monitor.SetRunSide(&runs);
        monitor.SetCounterFile(counter);
        monitor.SetRunMode(2);
        bench::Check(monitor.Create(), "run monitor created");
        const HWND window = monitor.GetSafeHwnd();

        int drawing = 1;
        auto nextDrawing = [&] {
            drawing = drawing % kDrawings + 1;
            const std::string text = std::to_string(drawing) + " \r\n";
            HANDLE file =
                CreateFileW(counter.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            DWORD written = 0;
            WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
            CloseHandle(file);
        };
        const bench::Result poll = bench::Run(
            "poll tick, 20,000 drawings, 200 windows", 20,
            [&] { SendMessageW(window, WM_TIMER, RunMonitor::kPollTimer, 0); }, nextDrawing);
        bench::Check(monitor.CurrentDrawing() == drawing, "the counter file was followed");
        std::printf("  %.3f %% of the 5 s interval\n", poll.Median() / 5000.0 * 100.0);

        {
            std::string line = "Command: _.OPEN \"c:\\projects\\customer 3\\assemblies\\part.dwg\"";
            line += " (OX1015, release 0), all well\r\n";
            std::string bytes;
            bytes.reserve(kHostLogBytes + line.size());
            while (bytes.size() < kHostLogBytes) bytes += line;
            HANDLE file =
                CreateFileW(hostLog.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            DWORD written = 0;
            WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
            CloseHandle(file);
            bench::Check(written == bytes.size(), "host log written");
        }
        // Two logs of the same bytes, named in turn: every tick meets a log new to it.
        const std::wstring otherLog = folder + L"ortx-2.log";
        bench::Check(CopyFileW(hostLog.c_str(), otherLog.c_str(), FALSE) != FALSE,
                     "second host log written");
        bool other = false;
        const bench::Result first = bench::Run(
            "log tick, first look at a host log of 10 MB", 10,
            [&] { SendMessageW(window, WM_TIMER, RunMonitor::kLogTimer, 0); },
            [&] { settings.WriteString(L"LOGFILENAME", (other = !other) ? otherLog : hostLog); });
        bench::Check(monitor.PollTimerRuns(), "the log tick started the poll timer again");
        std::printf("  %.3f %% of the 7 s interval\n", first.Median() / 7000.0 * 100.0);

        settings.WriteString(L"LOGFILENAME", hostLog);
        SendMessageW(window, WM_TIMER, RunMonitor::kLogTimer, 0);
        const bench::Result grown = bench::Run(
            "log tick, 10 MB host log grown by a line", 20,
            [&] { SendMessageW(window, WM_TIMER, RunMonitor::kLogTimer, 0); },
            [&] {
                HANDLE file = CreateFileW(hostLog.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                                          nullptr, OPEN_EXISTING, 0, nullptr);
                const char line[] = "Command: _.QSAVE\r\n";
                DWORD written = 0;
                WriteFile(file, line, sizeof line - 1, &written, nullptr);
                CloseHandle(file);
            });
        std::printf("  %.3f %% of the 7 s interval\n", grown.Median() / 7000.0 * 100.0);
        DestroyWindow(window);
    }

    settings.DeleteValue(L"LOGFILENAME");
    TerminateProcess(runs.Windows.hProcess, 0);
    WaitForSingleObject(runs.Windows.hProcess, 5000);
    CloseHandle(runs.Windows.hProcess);
    CloseHandle(runs.Windows.hThread);
    for (const std::wstring& name : {counter, hostLog, folder + L"ortx-2.log"})
        DeleteFileW(name.c_str());
    RemoveDirectoryW(folder.c_str());
    return 0;
}
