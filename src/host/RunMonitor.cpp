#include "host/RunMonitor.h"

#include <algorithm>
#include <climits>
#include <string_view>

#include "framework/Handle.h"
#include "framework/Resources.h"
#include "host/HostLog.h"
#include "host/HostWindow.h"
#include "host/Language.h"
#include "resources/ids.h"

namespace {

// Host logs are per drawing and short; one that grew beyond this is scanned
// over its last part, where new lines arrive.
constexpr LONGLONG kMaxHostLogScan = 64ll << 20;

// The counter file as the batch file last wrote it, and when it did
// (FILETIME). Opened shared, so that cmd's next "echo N >" never meets a file
// held by us.
bool ReadCounterText(const std::wstring& path, std::string& text, ULONGLONG& written) {
    if (path.empty()) return false;
    fw::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    char buffer[runmon::kCounterChars] = {};
    DWORD read = 0;
    if (!ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr)) return false;
    text.assign(buffer, read);
    FILETIME time{};
    written = GetFileTime(file.Get(), nullptr, nullptr, &time)
                  ? (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime
                  : 0;
    return true;
}

// How long ago, in milliseconds, a file time was (0 for one in the future).
ULONGLONG MillisecondsSince(ULONGLONG fileTime) {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const ULONGLONG current =
        (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return current > fileTime ? (current - fileTime) / 10000 : 0;
}

// What the host's log (named by "LOGFILENAME") gained since the last scan,
// from a line start on, and at most its last kMaxHostLogScan bytes. False
// when it cannot be opened or read.
bool ReadHostLog(const std::wstring& path, RunMonitor::HostLogScan& scan, std::string& bytes) {
    fw::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.Get(), &info)) return false;
    const LONGLONG size = static_cast<LONGLONG>((static_cast<ULONGLONG>(info.nFileSizeHigh) << 32) |
                                                info.nFileSizeLow);
    const ULONGLONG index =
        (static_cast<ULONGLONG>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    if (scan.Path != path || scan.FileIndex != index || size < scan.Scanned)
        scan = RunMonitor::HostLogScan{path, index, 0};

    LONGLONG start = scan.Scanned;
    const bool atLineStart = size - start <= kMaxHostLogScan;
    if (!atLineStart) start = size - kMaxHostLogScan;
    LARGE_INTEGER at{};
    at.QuadPart = start;
    if (!SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN)) return false;
    bytes.resize(static_cast<size_t>(size - start));
    size_t filled = 0;
    while (filled < bytes.size()) {
        DWORD read = 0;
        const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - filled, 1u << 20));
        if (!ReadFile(file.Get(), bytes.data() + filled, want, &read, nullptr)) return false;
        if (read == 0) break;  // shorter than it was a moment ago
        filled += read;
    }
    bytes.resize(filled);
    if (!atLineStart) {
        const size_t lineStart = bytes.find('\n');
        const size_t skip = lineStart == std::string::npos ? bytes.size() : lineStart + 1;
        bytes.erase(0, skip);
        start += static_cast<LONGLONG>(skip);
    }
    // A last line without its end may still grow: it is read again next time.
    const size_t lastEnd = bytes.rfind('\n');
    if (lastEnd != std::string::npos) scan.Scanned = start + static_cast<LONGLONG>(lastEnd) + 1;
    return true;
}

bool LastWriteTime(const std::wstring& path, ULONGLONG& time) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path.empty() || !GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return false;
    time = (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
    return true;
}

// When the counter file shows the next drawing, the host log named may be the
// previous drawing's, or already the new host's: the batch file writes the
// counter just before it starts the host, and the host names its log as it
// starts, often before the tick. A log written since the counter file belongs
// to the drawing in work and stays, so that its errors are still found.
void RemovePreviousHostLog(const std::wstring& hostLog, const std::wstring& counterFile) {
    ULONGLONG logTime = 0, counterTime = 0;
    if (!hostLog.empty() && LastWriteTime(hostLog, logTime) &&
        LastWriteTime(counterFile, counterTime) && logTime >= counterTime)
        return;
    DeleteHostLog();
}

std::vector<std::wstring> ErrorMarkers() {
    std::vector<std::wstring> markers;
    for (UINT id = IDS_HOST_LOG_MARKER_FIRST; id <= IDS_HOST_LOG_MARKER_LAST; ++id)
        markers.push_back(fw::LoadResString(id));
    return runmon::ActiveMarkers(markers);
}

}  // namespace

RunMonitor::RunMonitor(RunSide* side) : side_(side) {}

RunMonitor::~RunMonitor() = default;

void RunMonitor::SetDrawingList(const std::vector<std::wstring>& drawings, int timeoutMinutes) {
    drawingNames_ = drawings;
    budgets_.assign(drawings.size(), runmon::BudgetSeconds(timeoutMinutes));
    timeoutMinutes_ = timeoutMinutes;
    budgetMs_ = static_cast<long long>(runmon::BudgetSeconds(timeoutMinutes)) * 1000;
    spentMs_.assign(drawings.size(), 0);
    currentDrawing_ = 0;
    // The batch starts after this: whatever number it writes comes later.
    lastCounterRead_ = chargedUntil_ = Now();
}

void RunMonitor::SetRunMode(int mode) {
    if (!initialised_) {
        pendingMode_ = mode;
        return;
    }
    mode_ = mode;
    ShowMode(mode);
}

void RunMonitor::Initialise() {
    initialised_ = true;
    SetRunMode(pendingMode_);
    StartPhase();
}

void RunMonitor::StartPhase() {
    if (!side_) return;
    // The watcher's titles are loaded once, while the resource library is in force.
    if (!watcher_) watcher_ = std::make_unique<WindowWatcher>(side_->HostFolder(), *side_);
    const bool started = mode_ == runmon::kUpdate ? side_->StartUpdateRun() : side_->StartScanRun();
    if (started && DrawingCount() != 0 && Process()->IsSet()) {
        ShowCounts(DrawingCount(), 1);
        ShowDrawing(drawingNames_.front());
        EnterRunning();
        return;
    }
    ShowProgress(runmon::kProgressEnd);
    ShowCounts(0, 0);
    ShowScanEnded();
    ShowUpdateEnded();
    mode_ = runmon::kIdle;
    EnterIdle();
}

void RunMonitor::EnterRunning() {
    ShowRunning();
    StartTimers();
}

void RunMonitor::EnterIdle() {
    ShowIdle(mode_ != runmon::kIdle);
}

void RunMonitor::StartTimers() {
    StartTimer(kPollTimer, kPollInterval);
    StartTimer(kLogTimer, kLogInterval);
    pollTimer_ = logTimer_ = true;
    pollArmed_ = kPollInterval;
    pollDue_ = GetTickCount64() + kPollInterval;
}

void RunMonitor::StopTimers() {
    StopTimer(kPollTimer);
    StopTimer(kLogTimer);
    pollTimer_ = logTimer_ = false;
}

void RunMonitor::OnPollTick() {
    // A tick that was under way when its timer was stopped finds nothing to do.
    if (!pollTimer_ || !side_) return;
    BatchProcess& process = *Process();
    if (!process.IsSet()) return;

    DWORD code = 0;
    if (process.QueryExitCode(code) && code == STILL_ACTIVE) {
        // Back to the full interval after a log tick set it shorter.
        if (pollArmed_ != kPollInterval) {
            StartTimer(kPollTimer, kPollInterval);
            pollArmed_ = kPollInterval;
        }
        pollDue_ = GetTickCount64() + kPollInterval;
        UpdateProgress();
        HostLogName();
        if (ChargeCurrentDrawing()) TerminateHost(kTerminateTimeout, *side_, timeoutMinutes_);
        WatchWindows();
        return;
    }
    ProcessEnded();
}

void RunMonitor::ProcessEnded() {
    BatchProcess& process = *Process();
    StopTimers();
    process.Release();
    if (!counterFile_.empty()) DeleteFileW(counterFile_.c_str());
    // Every host of the batch has ended with it.
    side_->SweepHostLogs();
    // The batch went through to its last drawing, however fast the last ones were.
    const auto showLast = [this] {
        if (DrawingCount() == 0) return;
        ShowCurrentNumber(DrawingCount());
        ShowDrawing(drawingNames_.back());
    };
    switch (mode_) {
        case runmon::kScanThenUpdate:
            ShowScanEnded();
            ShowCounts(0, 0);
            ShowProgress(runmon::kProgressMiddle);
            SetRunMode(runmon::kUpdate);
            StartPhase();
            break;
        case runmon::kUpdate:
            ShowUpdateEnded();
            showLast();
            Finish();
            side_->CollectResults();
            break;
        default:
            ShowScanEnded();
            showLast();
            Finish();
            break;
    }
}

bool RunMonitor::ChargeCurrentDrawing() {
    if (currentDrawing_ < 1 || currentDrawing_ > DrawingCount()) return false;
    const size_t i = static_cast<size_t>(currentDrawing_ - 1);
    const ULONGLONG now = Now();
    if (now > chargedUntil_) spentMs_[i] += now - chargedUntil_;
    chargedUntil_ = now;
    const long long left = budgetMs_ - static_cast<long long>(spentMs_[i]);
    budgets_[i] = static_cast<int>(std::max<long long>(left / 1000, INT_MIN));
    return left <= 0;
}

std::wstring RunMonitor::HostLogName() {
    const std::wstring hostLog = CurrentHostLog();
    if (side_ && !hostLog.empty()) side_->NoteHostLog(hostLog);
    return hostLog;
}

void RunMonitor::UpdateProgress() {
    std::string text;
    ULONGLONG written = 0;
    if (!ReadCounterText(counterFile_, text, written)) return;
    const ULONGLONG now = Now();
    const ULONGLONG sinceLastRead = now > lastCounterRead_ ? now - lastCounterRead_ : 0;
    lastCounterRead_ = now;
    const std::optional<int> n = runmon::ParseCounter(text);
    if (!n || *n < 1 || *n > DrawingCount() || *n == currentDrawing_) return;
    ShowCurrentNumber(*n);
    ShowDrawing(drawingNames_[static_cast<size_t>(*n - 1)]);
    ShowProgress(runmon::ProgressPosition(runmon::SpanOfMode(mode_), *n, DrawingCount()));
    currentDrawing_ = *n;
    // The drawing is in work since the batch file wrote its number, which was
    // after the last read that did not show it.
    chargedUntil_ = now - std::min(written ? MillisecondsSince(written) : 0, sinceLastRead);
    hostLogScan_ = HostLogScan{};
    RemovePreviousHostLog(HostLogName(), counterFile_);
}

void RunMonitor::OnLogTick() {
    if (!logTimer_) return;
    StopTimer(kPollTimer);
    const std::wstring hostLog = HostLogName();
    std::string bytes;
    if (!hostLog.empty() && ReadHostLog(hostLog, hostLogScan_, bytes)) {
        const std::optional<std::wstring> line = runmon::FindMarkedLine(
            fw::TextStream::Decode(bytes, SystemLanguageLocale()), ErrorMarkers());
        if (line) {
            hostLogScan_ = HostLogScan{};
            side_->LogDetail(runmon::MarkedLineDetail(*line));
            TerminateHost(kTerminateHostLogError, *side_);
        }
    }
    // The poll timer goes on where it was due, so that a log tick never
    // pushes the polls (and with them the budgets) further apart.
    const ULONGLONG now = GetTickCount64();
    const UINT due = pollDue_ > now
                         ? static_cast<UINT>(std::min<ULONGLONG>(pollDue_ - now, kPollInterval))
                         : USER_TIMER_MINIMUM;
    StartTimer(kPollTimer, due);
    pollArmed_ = due;
    pollTimer_ = true;
}

void RunMonitor::OnStop() {
    if (!side_) return;
    StopTimers();
    UpdateProgress();
    if (!AskStop()) {
        StartTimers();
        return;
    }
    // The batch may have ended by itself while the question was open: then
    // the run is complete, not stopped.
    DWORD code = 0;
    if (!Process()->QueryExitCode(code) || code != STILL_ACTIVE) {
        ProcessEnded();
        return;
    }
    if (mode_ == runmon::kUpdate)
        side_->StopUpdateRun();
    else
        side_->StopScanRun();
    // The batch went on while the question was open; the drawing it was at
    // when it ended is the one a resume starts with.
    UpdateProgress();
    TerminateHost(kTerminateUser, *side_);
    side_->SweepHostLogs();
    EnterIdle();
}

void RunMonitor::OnSessionEnd() {
    if (!side_) return;
    StopTimers();
    DWORD code = 0;
    if (Process()->QueryExitCode(code) && code == STILL_ACTIVE) {
        if (mode_ == runmon::kUpdate)
            side_->StopUpdateRun();
        else
            side_->StopScanRun();
        TerminateHost(kTerminateUser, *side_);
    }
    side_->EndSession();
}

void RunMonitor::OnResume() {
    if (!side_ || mode_ == runmon::kIdle) return;
    if (FindHostWindow()) {
        WarnHostWindowOpen();
        return;
    }
    const long long first = currentDrawing_ > 0 ? currentDrawing_ - 1 : 0;
    if (mode_ == runmon::kUpdate)
        side_->ResumeUpdateRun(first);
    else
        side_->ResumeScanRun(first);
    if (Process()->IsSet()) EnterRunning();
}

void RunMonitor::Finish() {
    ShowStatus(fw::LoadResString(mode_ == runmon::kUpdate ? IDS_RUN_MIGRATED : IDS_RUN_DONE));
    mode_ = runmon::kIdle;
    EnterIdle();
    ShowProgress(runmon::kProgressEnd);
}

void RunMonitor::WatchWindows() {
    if (watcher_) watcher_->WatchTopLevelWindows();
}
