#include "app/AxvekTarvoApp.h"

#include <process.h>

#include "app/MigrationLog.h"
#include "app/RegKey.h"
#include "drawings/AxvekFilenm.h"
#include "framework/OsVersion.h"
#include "framework/PropertySheet.h"
#include "host/HostKeys.h"
#include "host/Language.h"
#include "core/Text.h"
#include "wizard/TarvoWizard.h"

namespace {
constexpr wchar_t kDefaultLogfile[] = L"OrtxAMigr.log";
}

std::wstring Logfile = kDefaultLogfile;

void ResetLogfile() {
    Logfile = kDefaultLogfile;
}

CAxvekTarvoApp::CAxvekTarvoApp() {
    RegKey product(ProductKeyPath(), HKEY_LOCAL_MACHINE);
    product.ReadString(L"OrtxLocation", OrtxLocation, 1024);
    MigrationFolder = OrtxLocation;
    text::AppendTrailingSeparator(MigrationFolder);
    MigrationFolder += L"ortxa\\migration";
    UseMigrationProfile();
    IsWinXpOrLater = fw::IsWindowsXpOrLater();
    ProgressDlg.SetRunSide(this);
}

BOOL CAxvekTarvoApp::InitInstance() {
    SetRuntimeLocale();
    ResourceLibraryScope resources;
    if (!ClaimSingleInstance()) return FALSE;
    LoadSettings();
    RecoverInterruptedRun();
    if (RunWizard() == ID_WIZFINISH) RunJob();
    return FALSE;
}

INT_PTR CAxvekTarvoApp::RunWizard() {
    // The wizard lives only as long as it runs: its help window must not stay
    // open over the run that follows.
    CTARVOWizard wizard;
    return wizard.DoModal();
}

void CAxvekTarvoApp::RunJob() {
    SaveSettings();
    PrepareJob();
    ProgressDlg.SetCounterFile(CounterFile);
    ProgressDlg.SetRunMode(Operation == 1 ? runmon::kUpdate : runmon::kScanOnly);
    if (ProgressDlg.DoModal() == IDOK) OpenLog();
}

void CAxvekTarvoApp::OpenLog() {
    // The runtime joins the arguments with blanks as they are: a log path
    // with blanks must come quoted to reach the editor as one name.
    const std::wstring argument = L"\"" + Logfile + L"\"";
    const intptr_t process =
        _wspawnlp(_P_NOWAIT, L"notepad.exe", L"notepad.exe", argument.c_str(), nullptr);
    if (process != -1) CloseHandle(reinterpret_cast<HANDLE>(process));
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
