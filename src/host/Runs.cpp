// Starting, resuming and stopping the batch process of a run.
#include <cstdlib>

#include "app/AxvekTarvoApp.h"
#include "app/MigrationLog.h"
#include "framework/Resources.h"
#include "resources/ids.h"

namespace {

std::wstring CommandInterpreter() {
    for (const wchar_t* name : {L"COMSPEC", L"COMMAND"}) {
        const wchar_t* value = _wgetenv(name);
        if (value && *value) return value;
    }
    return L"cmd.exe";
}

// The end of both run starts: the log header, then the launch, unless the
// batch file queued no drawing.
bool LaunchQueued(CAxvekTarvoApp& app, const std::wstring& batch, UINT runLine,
                  UINT nothingQueued) {
    app.WriteLogHeader(runLine);
    if (app.QueuedCount <= 0) {
        fw::ShowMessage(fw::LoadResString(nothingQueued), MB_ICONWARNING);
        return false;
    }
    app.LaunchBatch(batch);
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
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &startup, &process)) {
        const DWORD error = GetLastError();
        if (error == 0 || error == ERROR_HANDLE_EOF || error == ERROR_BROKEN_PIPE) return;
        wchar_t system[257] = {};
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                       MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), system, 256, nullptr);
        fw::ShowMessage(fw::LoadResString(IDS_LAUNCH_FAILED) + L"\n" + system, MB_ICONERROR);
        return;
    }
    HostProcess.Adopt(process);
}

bool CAxvekTarvoApp::StartUpdateRun() {
    // A head script left by this program's scan run is used again.
    if (HeadScript.empty()) {
        HeadScript = NewTempFile(L"SCR");
        WriteHeadScript(HeadScript);
    }
    UpdateTailScript = NewTempFile(L"SCR");
    WriteTailScript(UpdateTailScript, false, true);
    XrefTailScript = NewTempFile(L"SCR");
    WriteTailScript(XrefTailScript, false, false);
    UpdateBatch = NewTempFile(L"BAT");
    WriteBatchFile(0, UpdateBatch, UpdateTailScript, XrefTailScript, false);
    return LaunchQueued(*this, UpdateBatch, IDS_LOG_UPDATE_RUN, IDS_NOTHING_TO_UPDATE);
}

bool CAxvekTarvoApp::StartScanRun() {
    DrawingScript = NewTempFile(L"SCR");
    HeadScript = NewTempFile(L"SCR");
    WriteHeadScript(HeadScript);
    ScanTailScript = NewTempFile(L"SCR");
    WriteTailScript(ScanTailScript, true, false);
    ScanBatch = NewTempFile(L"BAT");
    WriteBatchFile(0, ScanBatch, ScanTailScript, std::wstring(), true);
    return LaunchQueued(*this, ScanBatch, IDS_LOG_SCAN_RUN, IDS_NOTHING_TO_SCAN);
}

void CAxvekTarvoApp::ResumeUpdateRun(long long first) {
    AppendLogMessage(IDS_LOG_UPDATE_RESUMED);
    WriteBatchFile(first, UpdateBatch, UpdateTailScript, XrefTailScript, false);
    LaunchBatch(UpdateBatch);
}

void CAxvekTarvoApp::ResumeScanRun(long long first) {
    AppendLogMessage(IDS_LOG_SCAN_RESUMED);
    WriteBatchFile(first, ScanBatch, ScanTailScript, std::wstring(), true);
    LaunchBatch(ScanBatch);
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
