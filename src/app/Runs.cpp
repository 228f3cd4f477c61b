// Starting, resuming and stopping the batch process of a run.
#include <cstdlib>

#include "app/AxvekTarvoApp.h"
#include "app/MigrationLog.h"
#include "framework/File.h"
#include "framework/Resources.h"
#include "framework/TextStream.h"
#include "host/HostLog.h"
#include "host/HostWindow.h"
#include "resources/ids.h"

namespace {

std::wstring CommandInterpreter() {
    for (const wchar_t* name : {L"COMSPEC", L"COMMAND"}) {
        const wchar_t* value = _wgetenv(name);
        if (value && *value) return value;
    }
    return L"cmd.exe";
}

uint64_t Now() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

// A run file is a few lines per drawing; one far larger is not ours.
constexpr DWORD kMaxRunFile = 64u << 20;

// A start that failed, with the reason under the message.
void ShowLaunchFailure(const std::wstring& reason) {
    fw::ShowMessage(fw::LoadResString(IDS_LAUNCH_FAILED) + L"\n" + reason, MB_ICONERROR);
}

// Launches the batch file only when it was written whole: a cut one could
// run half a line. One that was not is a failed start, and goes.
void LaunchWritten(CAxvekTarvoApp& app, const std::wstring& batch, bool written, FileCause cause) {
    if (written) {
        app.LaunchBatch(batch);
        return;
    }
    app.HostProcess.Release();
    DeleteFileW(batch.c_str());
    ShowLaunchFailure(fw::FileErrorReason(cause));
}

// The end of both run starts: the log header and under it what the run's
// files could not hold, then the launch, unless the batch file queued no
// drawing.
bool LaunchQueued(CAxvekTarvoApp& app, const std::wstring& batch, bool written, FileCause cause,
                  UINT runLine, UINT nothingQueued) {
    app.WriteLogHeader(runLine);
    app.Notes.WriteHeld();
    if (app.QueuedCount <= 0) {
        fw::ShowMessage(fw::LoadResString(nothingQueued), MB_ICONWARNING);
        return false;
    }
    LaunchWritten(app, batch, written, cause);
    return true;
}

}  // namespace

void CAxvekTarvoApp::LaunchBatch(const std::wstring& batchPath) {
    HostProcess.Release();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;

    // Quoted: a temporary folder with spaces would otherwise make the system
    // look for a program named after its first word.
    const std::wstring quoted = L"\"" + batchPath + L"\"";
    std::wstring commandLine = IsWinXpOrLater ? quoted : CommandInterpreter() + L" /C " + quoted;

    // A console of its own without a window: cmd reads the batch and echo
    // writes the job's files in that console's code page, whoever starts it,
    // and no console window is ever made only to be hidden.
    // Held until the run record names it: a program that dies at any moment
    // leaves a record of every batch that ran.
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                        CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr, nullptr, &startup,
                        &process)) {
        const DWORD error = GetLastError();
        if (error == 0 || error == ERROR_HANDLE_EOF || error == ERROR_BROKEN_PIPE) return;
        wchar_t system[257] = {};
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                       MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), system, 256, nullptr);
        ShowLaunchFailure(system);
        return;
    }
    const HANDLE thread = process.hThread;
    process.hThread = nullptr;
    HostProcess.Adopt(process);
    WriteRunRecord();
    ResumeThread(thread);
    CloseHandle(thread);
}

bool CAxvekTarvoApp::StartUpdateRun() {
    if (AdoptRecoveredBatch()) return true;
    Notes.NewRun();
    // A head script left by this program's scan run is used again.
    if (HeadScript.empty()) {
        HeadScript = NewTempFile(L"SCR");
        WriteHeadScript(HeadScript);
    }
    UpdateTailScript = NewTempFile(L"SCR");
    WriteTailScript(UpdateTailScript, false, true);
    RunFile = NewTempFile(L"RUN");
    XrefTailScript = NewTempFile(L"SCR");
    WriteTailScript(XrefTailScript, false, false);
    UpdateBatch = NewTempFile(L"BAT");
    FileCause cause = FileCause::None;
    const bool written =
        WriteBatchFile(0, UpdateBatch, UpdateTailScript, XrefTailScript, false, &cause);
    UpdateRunStarted = Now();
    return LaunchQueued(*this, UpdateBatch, written, cause, IDS_LOG_UPDATE_RUN,
                        IDS_NOTHING_TO_UPDATE);
}

bool CAxvekTarvoApp::StartScanRun() {
    if (AdoptRecoveredBatch()) return true;
    Notes.NewRun();
    DrawingScript = NewTempFile(L"SCR");
    HeadScript = NewTempFile(L"SCR");
    WriteHeadScript(HeadScript);
    ScanTailScript = NewTempFile(L"SCR");
    WriteTailScript(ScanTailScript, true, false);
    ScanBatch = NewTempFile(L"BAT");
    RunFile = NewTempFile(L"RUN");
    FileCause cause = FileCause::None;
    const bool written = WriteBatchFile(0, ScanBatch, ScanTailScript, std::wstring(), true, &cause);
    return LaunchQueued(*this, ScanBatch, written, cause, IDS_LOG_SCAN_RUN, IDS_NOTHING_TO_SCAN);
}

void CAxvekTarvoApp::ResumeUpdateRun(long long first) {
    AppendLogMessage(IDS_LOG_UPDATE_RESUMED);
    FileCause cause = FileCause::None;
    const bool written =
        WriteBatchFile(first, UpdateBatch, UpdateTailScript, XrefTailScript, false, &cause);
    Notes.WriteHeld();
    LaunchWritten(*this, UpdateBatch, written, cause);
}

void CAxvekTarvoApp::ResumeScanRun(long long first) {
    AppendLogMessage(IDS_LOG_SCAN_RESUMED);
    FileCause cause = FileCause::None;
    const bool written =
        WriteBatchFile(first, ScanBatch, ScanTailScript, std::wstring(), true, &cause);
    Notes.WriteHeld();
    LaunchWritten(*this, ScanBatch, written, cause);
}

namespace {

void StopRun(BatchProcess& process, UINT logLine) {
    if (!process.Terminate()) return;
    DeleteHostLog();
    AppendLogMessage(logLine);
}

}  // namespace

void CAxvekTarvoApp::StopUpdateRun() {
    StopRun(HostProcess, IDS_LOG_UPDATE_STOPPED);
}

void CAxvekTarvoApp::StopScanRun() {
    StopRun(HostProcess, IDS_LOG_SCAN_STOPPED);
}

void CAxvekTarvoApp::NoteHostLog(const std::wstring& path) {
    if (!path.empty()) HostLogs.insert(path);
}

runoutcome::RunFile CAxvekTarvoApp::ReadRunFile() const {
    fw::CFile file;
    if (RunFile.empty() || !file.Open(RunFile, fw::CFile::modeRead | fw::CFile::shareDenyNone))
        return {};
    std::string bytes;
    file.ReadUpTo(kMaxRunFile, bytes);
    return runoutcome::ParseRunFile(bytes);
}

void CAxvekTarvoApp::SweepHostLogs() {
    // reg.exe wrote the names in the console's code page.
    for (const std::string& log : ReadRunFile().HostLogs)
        NoteHostLog(fw::TextStream::Decode(log, fw::TextLocale{GetOEMCP()}));
    const std::wstring current = CurrentHostLog();
    const bool hostOpen = FindHostWindow() != nullptr;
    for (auto it = HostLogs.begin(); it != HostLogs.end();) {
        if (hostOpen && text::EqualsNoCase(*it, current)) {
            ++it;  // a host that outlived its batch still writes it
            continue;
        }
        DeleteFileW(it->c_str());
        it = HostLogs.erase(it);
    }
}
