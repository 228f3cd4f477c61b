// What the run monitor costs a run: the update batch file of 50 stand-in
// drawings run alone (waited on, nothing else) and then run under the
// monitor with its real timers (the counter, the host log, the window
// watcher), timed by the batch process's own creation and exit times. The
// ratio is the monitor's cost; it should stay within 1.03.
//
//   scripts/wine-run.sh build/windows/bin/bench_monitor_run.exe
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "app/AxvekTarvoApp.h"
#include "program/AxvekTarvoProgram.h"
#include "app/JobFiles.h"
#include "drawings/AxvekFilenm.h"
#include "host/HostWindow.h"
#include "resources/ids.h"
#include "stand-ins/drawings/core/StandInDrawing.h"

#include "support/WinTest.h"

using namespace testenv;

namespace {

constexpr int kDrawings = 50;

class BenchApp : public CAxvekTarvoProgram {
  public:
    void OpenLog() override {}
};

double Seconds(const FILETIME& from, const FILETIME& to) {
    const ULARGE_INTEGER a{{from.dwLowDateTime, from.dwHighDateTime}};
    const ULARGE_INTEGER b{{to.dwLowDateTime, to.dwHighDateTime}};
    return static_cast<double>(b.QuadPart - a.QuadPart) / 1e7;
}

// How long a batch process ran, from its own times.
double Lifetime(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return -1;
    return Seconds(created, exited);
}

class MonitorCost : public WinTest {
  protected:
    void SetUp() override {
        WinTest::SetUp();
        HostInstall install;
        install.OrtxLocation = BinDir().substr(0, BinDir().size() - 1);
        InstallHost(install);
        GetCurrentDirectoryW(MAX_PATH, previousFolder_);
        SetCurrentDirectoryW(dir_.Path().c_str());
        for (int i = 0; i < kDrawings; ++i)
            drawings_.push_back(
                AxvekFilenm(dir_ / (L"Part " + std::to_wstring(100 + i) + L".dwg")).FullPath);
    }
    void TearDown() override {
        SetCurrentDirectoryW(previousFolder_);
        WinTest::TearDown();
    }

    // A fresh job over the old drawings, as the wizard's Finish leaves it.
    std::unique_ptr<BenchApp> NewJob() {
        DeleteFileW(GetMigrateListPath().c_str());
        DeleteFileW(GetMigratedListPath().c_str());
        const std::vector<uint8_t> bytes = standin::WriteDrawing({});
        for (const std::wstring& path : drawings_)
            WriteBytes(path, std::string(bytes.begin(), bytes.end()));
        auto app = std::make_unique<BenchApp>();
        app->LoadSettings();
        app->Operation = 1;
        app->OrtxaFlags = 0;
        app->Drawings = drawings_;
        Logfile = dir_ / L"Migration Log.log";
        app->PrepareHostProfile(CAxvekTarvoApp::kProfileSave);
        return app;
    }

    double RunAlone() {
        auto app = NewJob();
        app->PrepareJob();
        EXPECT_TRUE(app->StartUpdateRun());
        WaitForSingleObject(app->HostProcess.Handle(), INFINITE);
        const double seconds = Lifetime(app->HostProcess.Handle());
        app->HostProcess.Release();
        app->ExitInstance();
        return seconds;
    }

    double RunMonitored() {
        auto app = NewJob();
        HANDLE batch = nullptr;
        std::thread driver([&] {
            HWND dialog = nullptr;
            while (!dialog) {
                dialog = FindRunMonitor();
                Sleep(20);
            }
            DuplicateHandle(GetCurrentProcess(), app->HostProcess.Handle(), GetCurrentProcess(),
                            &batch, 0, FALSE, DUPLICATE_SAME_ACCESS);
            while (!IsWindowEnabled(GetDlgItem(dialog, IDOK)) ||
                   IsWindowEnabled(GetDlgItem(dialog, IDC_PROGRESS_STOP)))
                Sleep(100);
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        });
        app->RunJob();
        driver.join();
        const double seconds = batch ? Lifetime(batch) : -1;
        if (batch) CloseHandle(batch);
        app->ExitInstance();
        return seconds;
    }

    ScratchDir dir_;
    wchar_t previousFolder_[MAX_PATH] = {};
    std::vector<std::wstring> drawings_;
};

}  // namespace

TEST_F(MonitorCost, TheSameBatchAloneAndUnderTheMonitor) {
    // Both orders, so that a cache warmed by the first run favours neither.
    const double alone1 = RunAlone(), monitored1 = RunMonitored();
    const double monitored2 = RunMonitored(), alone2 = RunAlone();
    const double alone = alone1 + alone2, monitored = monitored1 + monitored2;
    std::printf("%d drawings: alone %.2f s and %.2f s, under the monitor %.2f s and %.2f s\n",
                kDrawings, alone1, alone2, monitored1, monitored2);
    std::printf("per drawing: alone %.3f s, under the monitor %.3f s; ratio %.3f (target 1.03)\n",
                alone / (2 * kDrawings), monitored / (2 * kDrawings), monitored / alone);
    EXPECT_GT(alone1, 0);
    EXPECT_GT(monitored1, 0);
}
