#include "host/RunMonitor.h"

#include <algorithm>
#include <string_view>

#include "app/MigrationLog.h"
#include "app/RegKey.h"
#include "framework/Handle.h"
#include "framework/Resources.h"
#include "host/HostKeys.h"
#include "host/HostWindow.h"
#include "host/Language.h"
#include "resources/ids.h"

namespace {

// Host logs are per drawing and short; one that grew beyond this is scanned
// over its last part, where new lines arrive.
constexpr LONGLONG kMaxHostLogScan = 64ll << 20;

// The counter file as the batch file last wrote it. Opened shared, so that
// cmd's next "echo N >" never meets a file held by us.
bool ReadCounterText(const std::wstring& path, std::string& text) {
    if (path.empty()) return false;
    fw::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    char buffer[runmon::kCounterChars] = {};
    DWORD read = 0;
    if (!ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr)) return false;
    text.assign(buffer, read);
    return true;
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
    const ULONGLONG created = (static_cast<ULONGLONG>(info.ftCreationTime.dwHighDateTime) << 32) |
                              info.ftCreationTime.dwLowDateTime;
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
void RemovePreviousHostLog(const std::wstring& counterFile) {
    std::wstring hostLog;
    ULONGLONG logTime = 0, counterTime = 0;
    if (RegKey(SettingsKeyPath(), HKEY_CURRENT_USER).ReadString(L"LOGFILENAME", hostLog, 512) &&
        LastWriteTime(hostLog, logTime) && LastWriteTime(counterFile, counterTime) &&
        logTime >= counterTime)
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
    currentDrawing_ = 0;
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
    if (!watcher_) watcher_ = std::make_unique<WindowWatcher>(side_->HostFolder());
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
        UpdateProgress();
        if (currentDrawing_ >= 1 && currentDrawing_ <= DrawingCount() &&
            runmon::ChargeBudget(budgets_[static_cast<size_t>(currentDrawing_ - 1)]))
            TerminateHost(kTerminateTimeout);
        WatchWindows();
        return;
    }

    StopTimers();
    process.Release();
    if (!counterFile_.empty()) DeleteFileW(counterFile_.c_str());
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
            Finish();
            side_->CollectResults();
            break;
        default:
            ShowScanEnded();
            Finish();
            break;
    }
}

void RunMonitor::UpdateProgress() {
    std::string text;
    if (!ReadCounterText(counterFile_, text)) return;
    const std::optional<int> n = runmon::ParseCounter(text);
    if (!n || *n < 1 || *n > DrawingCount() || *n == currentDrawing_) return;
    ShowCurrentNumber(*n);
    ShowDrawing(drawingNames_[static_cast<size_t>(*n - 1)]);
    ShowProgress(runmon::ProgressPosition(runmon::SpanOfMode(mode_), *n, DrawingCount()));
    currentDrawing_ = *n;
    hostLogScan_ = HostLogScan{};
    RemovePreviousHostLog(counterFile_);
}

void RunMonitor::OnLogTick() {
    if (!logTimer_) return;
    StopTimer(kPollTimer);
    std::wstring hostLog;
    std::string bytes;
    if (RegKey(SettingsKeyPath(), HKEY_CURRENT_USER).ReadString(L"LOGFILENAME", hostLog, 512) &&
        !hostLog.empty() && ReadHostLog(hostLog, hostLogScan_, bytes)) {
        const std::optional<std::wstring> line = runmon::FindMarkedLine(
            fw::TextStream::Decode(bytes, SystemLanguageLocale()), ErrorMarkers());
        if (line) {
            hostLogScan_ = HostLogScan{};
            AppendLogDetail(runmon::MarkedLineDetail(*line));
            TerminateHost(kTerminateHostLogError);
        }
    }
    StartTimer(kPollTimer, kPollInterval);
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
    if (mode_ == runmon::kUpdate)
        side_->StopUpdateRun();
    else
        side_->StopScanRun();
    // The batch went on while the question was open; the drawing it was at
    // when it ended is the one a resume starts with.
    UpdateProgress();
    TerminateHost(kTerminateUser);
    EnterIdle();
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
