// The run monitor's logic, apart from its window (wizard/ProgressDlg): the
// drawings of the current batch file and their time budgets, the counter
// file, the mode and its phases, the poll and log ticks, stop, resume and
// finishing. The window derives from it and shows what it is told; the run
// operations come in through RunSide, so that this layer never reaches up
// into the application object.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/BatchProcess.h"
#include "host/LogSink.h"
#include "host/WindowWatcher.h"
#include "host/core/RunMonitorCore.h"

// The run operations of the application: starts, resumes and stops of both
// kinds of run, result collection, the one owner of the batch process, the
// host folder, the log viewer and the migration log's detail lines.
class RunSide : public LogSink {
  public:
    virtual ~RunSide() = default;
    virtual bool StartScanRun() = 0;
    virtual bool StartUpdateRun() = 0;
    virtual void ResumeScanRun(long long first) = 0;
    virtual void ResumeUpdateRun(long long first) = 0;
    virtual void StopScanRun() = 0;
    virtual void StopUpdateRun() = 0;
    virtual void CollectResults() = 0;
    virtual BatchProcess& RunProcess() = 0;
    // The host's installation folder, where the window watcher finds the
    // host's own resource library.
    virtual std::wstring HostFolder() const = 0;
    // Opens the migration log in the text editor without waiting for it.
    virtual void OpenLog() = 0;
    // A host log that "LOGFILENAME" named; it goes once its host has ended.
    virtual void NoteHostLog(const std::wstring& path) = 0;
    // Deletes the host logs of the run whose hosts have ended.
    virtual void SweepHostLogs() = 0;
    // Windows ends the session; the run has been stopped.
    virtual void EndSession() = 0;
};

class RunMonitor {
  public:
    static constexpr UINT_PTR kPollTimer = 25;
    static constexpr UINT kPollInterval = 5000;
    static constexpr UINT_PTR kLogTimer = 35;
    static constexpr UINT kLogInterval = 7000;

    explicit RunMonitor(RunSide* side = nullptr);
    virtual ~RunMonitor();
    RunMonitor(const RunMonitor&) = delete;
    RunMonitor& operator=(const RunMonitor&) = delete;

    void SetRunSide(RunSide* side) { side_ = side; }
    // Shows the monitor's window, which runs the phases of the mode set, until
    // the user closes it: IDOK when the run ended and OK closed it.
    virtual INT_PTR RunModal() = 0;
    // The clock the budgets are charged by, in milliseconds; a monotonic one
    // (GetTickCount64) unless a test gives another.
    void SetClock(std::function<ULONGLONG()> clock) { clock_ = std::move(clock); }

    // Called by the batch writer for every batch file it writes: a copy of the
    // drawings, each with a budget of timeoutMinutes * 60 seconds, and no
    // drawing in work yet. A budget is charged by the clock for the time its
    // drawing is in work, counted from when the batch file wrote its number.
    void SetDrawingList(const std::vector<std::wstring>& drawings, int timeoutMinutes);
    // Before the window is initialised only remembered; afterwards the mode
    // is taken and shown.
    void SetRunMode(int mode);
    void SetCounterFile(const std::wstring& path) { counterFile_ = path; }

    int DrawingCount() const { return static_cast<int>(drawingNames_.size()); }
    const std::vector<std::wstring>& DrawingNames() const { return drawingNames_; }
    // Whole seconds left of each drawing's budget.
    const std::vector<int>& Budgets() const { return budgets_; }
    int CurrentDrawing() const { return currentDrawing_; }
    const std::wstring& CounterFile() const { return counterFile_; }
    int Mode() const { return mode_; }
    bool PollTimerRuns() const { return pollTimer_; }

  protected:
    // The end of the window's initialisation: the pending mode is taken and
    // its phase started.
    void Initialise();
    // The window's events.
    void OnPollTick();
    void OnLogTick();
    void OnStop();
    void OnResume();
    // Windows ends the session: the run stops as Stop does, without asking.
    void OnSessionEnd();
    // The window is gone: the next one starts afresh with the mode set then.
    void OnWindowClosed() { initialised_ = false; }

    // What the window shows. Counts go to the number fields as "%d".
    virtual void ShowCounts(int count, int current) = 0;
    virtual void ShowCurrentNumber(int current) = 0;
    virtual void ShowDrawing(const std::wstring& path) = 0;
    virtual void ShowProgress(int position) = 0;
    virtual void ShowScanEnded() = 0;
    virtual void ShowUpdateEnded() = 0;
    virtual void ShowMode(int mode) = 0;
    virtual void ShowStatus(const std::wstring& text) = 0;
    // Button states of the running and idle states.
    virtual void ShowRunning() = 0;
    virtual void ShowIdle(bool canResume) = 0;
    virtual void StartTimer(UINT_PTR id, UINT milliseconds) = 0;
    virtual void StopTimer(UINT_PTR id) = 0;
    // The stop question; true for Yes.
    virtual bool AskStop() = 0;
    // The resume refusal while a host window is open.
    virtual void WarnHostWindowOpen() = 0;

    RunSide* side_;

  private:
    void StartPhase();
    // The batch process has ended (found by a tick or by a stop whose
    // question it outlasted): the next phase, or the end of the run.
    void ProcessEnded();
    // Charges the drawing in work for the time since it was last charged;
    // true when its budget is then used up.
    bool ChargeCurrentDrawing();
    // The host log "LOGFILENAME" names now, noted for the run's clean-up.
    std::wstring HostLogName();
    ULONGLONG Now() const { return clock_ ? clock_() : GetTickCount64(); }
    void EnterRunning();
    void EnterIdle();
    void StartTimers();
    void StopTimers();
    void UpdateProgress();
    void Finish();
    void WatchWindows();
    BatchProcess* Process() const { return side_ ? &side_->RunProcess() : nullptr; }

    std::vector<std::wstring> drawingNames_;
    std::vector<int> budgets_;
    std::vector<ULONGLONG> spentMs_;
    long long budgetMs_ = 0;
    int timeoutMinutes_ = 0;
    int currentDrawing_ = 0;
    ULONGLONG chargedUntil_ = 0;     // the drawing in work is charged up to here
    ULONGLONG lastCounterRead_ = 0;  // a number read later was written since
    ULONGLONG pollDue_ = 0;          // when the poll timer's next tick is due
    UINT pollArmed_ = 0;             // the interval the poll timer was set to
    std::function<ULONGLONG()> clock_;
    std::wstring counterFile_;
    int mode_ = runmon::kIdle;
    int pendingMode_ = runmon::kScanThenUpdate;
    bool initialised_ = false;
    bool pollTimer_ = false;
    bool logTimer_ = false;
    std::unique_ptr<WindowWatcher> watcher_;  // made at the first phase start

  public:
    // How far the host log has been scanned without a marker: a tick reads
    // only what was appended since, from the last complete line on. Another
    // file (name, file index), a shorter one or a new drawing starts over.
    // (Creation times are no identity: Wine reports the last change.)
    struct HostLogScan {
        std::wstring Path;
        ULONGLONG FileIndex = 0;
        LONGLONG Scanned = 0;
    };

  private:
    HostLogScan hostLogScan_;
};
