#include "app/AxvekTarvoApp.h"

#include <process.h>

#include "app/MigrationLog.h"
#include "core/Text.h"
#include "drawings/AxvekFilenm.h"
#include "framework/OsVersion.h"
#include "framework/RegKey.h"
#include "host/HostKeys.h"
#include "host/HostLog.h"

namespace {
constexpr wchar_t kDefaultLogfile[] = L"OrtxAMigr.log";
}

std::wstring Logfile = kDefaultLogfile;

void ResetLogfile() {
    Logfile = kDefaultLogfile;
}

CAxvekTarvoApp::CAxvekTarvoApp(RunMonitor& monitor) : ProgressDlg(monitor) {
    RegKey product(ProductKeyPath(), HKEY_LOCAL_MACHINE);
    product.ReadString(L"OrtxLocation", OrtxLocation, 1024);
    MigrationFolder = OrtxLocation;
    text::AppendTrailingSeparator(MigrationFolder);
    MigrationFolder += L"ortxa\\migration";
    UseMigrationProfile();
    IsWinXpOrLater = fw::IsWindowsXpOrLater();
    ProgressDlg.SetRunSide(this);
}

void CAxvekTarvoApp::RunJob() {
    SaveSettings();
    PrepareJob();
    ProgressDlg.SetCounterFile(CounterFile);
    ProgressDlg.SetRunMode(Operation == 1 ? runmon::kUpdate : runmon::kScanOnly);
    if (ProgressDlg.RunModal() == IDOK) OpenLog();
}

void CAxvekTarvoApp::OpenLog() {
    // The runtime joins the arguments with blanks as they are: a log path
    // with blanks must come quoted to reach the editor as one name.
    const std::wstring argument = L"\"" + Logfile + L"\"";
    const intptr_t process =
        _wspawnlp(_P_NOWAIT, L"notepad.exe", L"notepad.exe", argument.c_str(), nullptr);
    if (process != -1) CloseHandle(reinterpret_cast<HANDLE>(process));
}

void CAxvekTarvoApp::LogDetail(const std::wstring& text) {
    AppendLogDetail(text);
}

int CAxvekTarvoApp::ExitInstance() {
    // The running instance's host, log and record are not this one's.
    if (IsSecondInstance) return CWinApp::ExitInstance();
    PrepareHostProfile(kProfileRestore);
    DeleteRunFiles();
    if (RunRecordWritten && !KeepRunRecord) RemoveRunRecord();
    return CWinApp::ExitInstance();
}

void CAxvekTarvoApp::DeleteRunFiles() {
    DeleteHostLog();
    SweepHostLogs();
    for (const std::wstring& path : TempFiles) DeleteFileW(path.c_str());
}

void CAxvekTarvoApp::AddTempFile(const std::wstring& path) {
    TempFiles.push_back(path);
}

std::wstring CAxvekTarvoApp::NewTempFile(const std::wstring& extension) {
    AxvekFilenm name;
    name.MakeTempName(extension);
    AddTempFile(name.FullPath);
    return name.FullPath;
}

CAxvekTarvoApp& AxvekApp() {
    return *static_cast<CAxvekTarvoApp*>(fw::AfxGetApp());
}
