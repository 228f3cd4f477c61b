// A run that outlives the program: the record that lets the next start finish
// it (results, marks, the host profile, the temporary files), the one
// instance per user, and the end of a Windows session during a run.
#include <windows.h>

#include <algorithm>

#include <shlobj.h>

#include "app/AxvekTarvoApp.h"
#include "app/JobFiles.h"
#include "app/MigrationLog.h"
#include "app/core/RunRecord.h"
#include "core/Text.h"
#include "framework/File.h"
#include "framework/Resources.h"
#include "host/HostWindow.h"
#include "resources/ids.h"

namespace {

using runrecord::Record;

// A record of a few thousand drawings is well under this; a larger file is
// not one of ours.
constexpr DWORD kMaxRecordBytes = 64u << 20;

// The saved profile's numbers, by the names the record gives them.
const struct {
    const wchar_t* key;
    DWORD SavedProfileValues::*value;
} kProfileNumbers[] = {
    {L"profile.NoStartUpDialog", &SavedProfileValues::NoStartUpDialog},
    {L"profile.FileDialog", &SavedProfileValues::FileDialog},
    {L"profile.CommandDialogs", &SavedProfileValues::CommandDialogs},
    {L"profile.ShowProxyDialog", &SavedProfileValues::ShowProxyDialog},
    {L"profile.SDIMode", &SavedProfileValues::SDIMode},
    {L"profile.ShowPlotSetup", &SavedProfileValues::ShowPlotSetup},
    {L"profile.LogFileOpen", &SavedProfileValues::LogFileOpen},
    {L"profile.AXXASSEMBLE_VERIFIED", &SavedProfileValues::AXXASSEMBLE_VERIFIED},
    {L"profile.RepeatCount", &SavedProfileValues::RepeatCount},
    {L"profile.ShowDialog", &SavedProfileValues::ShowDialog},
    {L"profile.XrefLazyLoadMode", &SavedProfileValues::XrefLazyLoadMode},
};
const struct {
    const wchar_t* key;
    std::wstring SavedProfileValues::*value;
} kProfileTexts[] = {
    {L"profile.ORTX", &SavedProfileValues::ORTX},
    {L"profile.EmergencyFont", &SavedProfileValues::EmergencyFont},
    {L"profile.LogFilePath", &SavedProfileValues::LogFilePath},
};
// The job's single paths, by the names the record gives them.
const struct {
    const wchar_t* key;
    std::wstring CAxvekTarvoApp::*value;
} kJobPaths[] = {
    {L"job.DmlFile", &CAxvekTarvoApp::DmlFile},
    {L"job.CounterFile", &CAxvekTarvoApp::CounterFile},
    {L"job.DrawingScript", &CAxvekTarvoApp::DrawingScript},
    {L"job.HeadScript", &CAxvekTarvoApp::HeadScript},
    {L"job.ScanBatch", &CAxvekTarvoApp::ScanBatch},
    {L"job.ScanTailScript", &CAxvekTarvoApp::ScanTailScript},
    {L"job.UpdateBatch", &CAxvekTarvoApp::UpdateBatch},
    {L"job.UpdateTailScript", &CAxvekTarvoApp::UpdateTailScript},
    {L"job.XrefTailScript", &CAxvekTarvoApp::XrefTailScript},
    {L"job.RunFile", &CAxvekTarvoApp::RunFile},
};

uint64_t FileTimeValue(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

uint64_t CreationTime(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    return GetProcessTimes(process, &created, &exited, &kernel, &user) ? FileTimeValue(created) : 0;
}

// The folder of the record: the user's own local application data, which no
// other user can write.
std::wstring RecordFolder() {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr,
                                SHGFP_TYPE_CURRENT, folder)))
        return std::wstring();
    std::wstring path = std::wstring(folder) + L"\\axTarvo";
    CreateDirectoryW(path.c_str(), nullptr);
    return path + L"\\";
}

bool ReadRecordText(const std::wstring& path, std::wstring& text) {
    fw::CFile file;
    if (!file.Open(path, fw::CFile::modeRead | fw::CFile::shareDenyWrite)) return false;
    std::string bytes;
    file.ReadUpTo(kMaxRecordBytes, bytes);
    // UTF-16LE after its byte order mark; a cut half character is dropped,
    // and the record then reads as cut short.
    size_t at = bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE' ? 2 : 0;
    text.clear();
    for (; at + 1 < bytes.size(); at += 2)
        text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[at]) |
                                     (static_cast<unsigned char>(bytes[at + 1]) << 8));
    return true;
}

// Written beside the record and put in its place in one step: a program that
// dies while writing leaves the last whole record.
bool WriteRecordText(const std::wstring& path, const std::wstring& text) {
    const std::wstring next = path + L".new";
    {
        fw::CFile file;
        if (!file.Open(next, fw::CFile::modeCreate | fw::CFile::modeWrite)) return false;
        std::string bytes("\xFF\xFE", 2);
        bytes.reserve(2 + text.size() * 2);
        for (wchar_t c : text) {
            bytes += static_cast<char>(c & 0xFF);
            bytes += static_cast<char>((c >> 8) & 0xFF);
        }
        if (!file.Write(bytes.data(), static_cast<DWORD>(bytes.size())) || !file.Flush()) {
            file.Close();
            DeleteFileW(next.c_str());
            return false;
        }
    }
    if (MoveFileExW(next.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(next.c_str());
    return false;
}

}  // namespace

std::wstring CAxvekTarvoApp::RunRecordPath() const {
    if (!RunRecordFile.empty()) return RunRecordFile;
    const std::wstring folder = RecordFolder();
    return folder.empty() ? std::wstring() : folder + L"run record.txt";
}

void CAxvekTarvoApp::WriteRunRecord() {
    const std::wstring path = RunRecordPath();
    if (path.empty()) return;
    Record r;
    r.Set(L"host", OrtxLocation);
    r.Set(L"log", Logfile);
    r.SetNumber(L"operation", static_cast<uint64_t>(Operation));
    r.SetNumber(L"timeout", static_cast<uint64_t>(Timeout));
    r.SetNumber(L"profile.saved", SavedProfile.Saved ? 1 : 0);
    for (const auto& n : kProfileNumbers) r.SetNumber(n.key, SavedProfile.*n.value);
    for (const auto& t : kProfileTexts) r.Set(t.key, SavedProfile.*t.value);
    for (const auto& j : kJobPaths) r.Set(j.key, this->*j.value);
    r.SetNumber(L"job.DmlIsTemporary", DmlIsTemporary ? 1 : 0);
    r.SetNumber(L"job.UpdateRunStarted", UpdateRunStarted);
    r.SetNumber(L"job.ResultsCollected", ResultsCollected ? 1 : 0);
    r.SetNumber(L"job.MigratedCount", static_cast<uint64_t>(std::max(0LL, MigratedCount)));
    if (HANDLE batch = HostProcess.Handle()) {
        r.SetNumber(L"batch.id", HostProcess.Id());
        r.SetNumber(L"batch.created", CreationTime(batch));
    }
    for (const std::wstring& d : Drawings) r.Add(L"drawing", d);
    for (const std::wstring& m : MigrateList) r.Add(L"migrate", m);
    for (const std::wstring& m : ProgressDlg.DrawingNames()) r.Add(L"monitored", m);
    for (const std::wstring& t : TempFiles) r.Add(L"temp", t);
    for (const std::wstring& h : HostLogs) r.Add(L"hostlog", h);
    if (WriteRecordText(path, r.Format())) RunRecordWritten = true;
}

void CAxvekTarvoApp::RemoveRunRecord() {
    const std::wstring path = RunRecordPath();
    if (!path.empty()) DeleteFileW(path.c_str());
}

bool CAxvekTarvoApp::ClaimSingleInstance() {
    // Per user: two runs would share the one host profile.
    wchar_t user[257] = {};
    DWORD size = 257;
    if (!GetUserNameW(user, &size)) user[0] = 0;
    const std::wstring name = L"Local\\axTarvo-" + std::wstring(user);
    InstanceMutex.Reset(CreateMutexW(nullptr, TRUE, name.c_str()));
    if (InstanceMutex && GetLastError() != ERROR_ALREADY_EXISTS) return true;
    InstanceMutex.Reset();
    IsSecondInstance = true;
    fw::ShowMessage(fw::LoadResString(IDS_ALREADY_RUNNING), MB_ICONERROR);
    return false;
}

void CAxvekTarvoApp::EndSession() {
    // The run has been stopped as Stop does; the next start collects what it did.
    PrepareHostProfile(kProfileRestore);
    KeepRunRecord = true;
    WriteRunRecord();
}

void CAxvekTarvoApp::RecoverInterruptedRun() {
    const std::wstring path = RunRecordPath();
    std::wstring text;
    if (path.empty() || !ReadRecordText(path, text)) return;
    Record r;
    const runrecord::Status status = Record::Parse(text, r);

    // This start's own job files stay apart from the old run's.
    const std::wstring ownCounter = CounterFile;
    std::vector<std::wstring> ownTemps;
    ownTemps.swap(TempFiles);
    const std::wstring ownLog = Logfile;
    const int ownOperation = Operation, ownTimeout = Timeout;

    std::wstring host, reason;
    r.Get(L"host", host);
    uint64_t number = 0;
    const bool profileWhole =
        r.Has(kProfileTexts[2].key) && r.GetNumber(L"profile.saved", number) && number == 1;
    // The batch writer ends the host folder with a separator; the record may
    // have been written before or after.
    std::wstring recordedHost = host, currentHost = OrtxLocation;
    text::AppendTrailingSeparator(recordedHost);
    text::AppendTrailingSeparator(currentHost);
    const bool ownHost = text::EqualsNoCase(recordedHost, currentHost);
    if (status != runrecord::Status::Ok)
        reason = fw::LoadResString(IDS_RECOVERY_TRUNCATED);
    else if (!ownHost)
        reason = fw::FormatResString(IDS_RECOVERY_OTHER_HOST, {host});

    // The profile first: whatever else fails, the user's host is as it was.
    if (ownHost && profileWhole) {
        SavedProfile = SavedProfileValues{};
        for (const auto& n : kProfileNumbers)
            if (r.GetNumber(n.key, number)) SavedProfile.*n.value = static_cast<DWORD>(number);
        for (const auto& t : kProfileTexts) r.Get(t.key, SavedProfile.*t.value);
        SavedProfile.Saved = true;
    }

    for (const auto& j : kJobPaths) r.Get(j.key, this->*j.value);
    r.Get(L"log", Logfile);
    if (r.GetNumber(L"operation", number)) Operation = static_cast<int>(number);
    if (r.GetNumber(L"timeout", number)) Timeout = static_cast<int>(number);
    DmlIsTemporary = r.GetNumber(L"job.DmlIsTemporary", number) && number == 1;
    UpdateRunStarted = r.GetNumber(L"job.UpdateRunStarted", number) ? number : 0;
    ResultsCollected = r.GetNumber(L"job.ResultsCollected", number) && number == 1;
    // What the old run counted, for a message after results it collected itself.
    MigratedCount = r.GetNumber(L"job.MigratedCount", number) ? static_cast<long long>(number) : 0;
    Drawings = r.List(L"drawing");
    MigrateList = r.List(L"migrate");
    TempFiles = r.List(L"temp");
    for (const std::wstring& h : r.List(L"hostlog")) NoteHostLog(h);
    if (reason.empty() && !DmlFile.empty() && !DmlIsTemporary &&
        GetFileAttributesW(DmlFile.c_str()) == INVALID_FILE_ATTRIBUTES)
        reason = fw::FormatResString(IDS_RECOVERY_LIST_GONE, {DmlFile});

    // The old batch, if it still runs: the same id and the same start.
    fw::UniqueHandle batch;
    uint64_t id = 0, created = 0;
    if (reason.empty() && r.GetNumber(L"batch.id", id) && r.GetNumber(L"batch.created", created)) {
        batch.Reset(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE,
                                static_cast<DWORD>(id)));
        DWORD code = 0;
        if (batch && (CreationTime(batch.Get()) != created ||
                      !GetExitCodeProcess(batch.Get(), &code) || code != STILL_ACTIVE))
            batch.Reset();
    }

    bool collect = reason.empty() && Operation == 1 && !ResultsCollected;
    if (collect) AppendLogMessage(IDS_LOG_RUN_INTERRUPTED);
    if (batch) {
        const int answer = fw::ShowMessage(fw::LoadResString(IDS_RECOVERY_RUNNING),
                                           MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1);
        PROCESS_INFORMATION held{batch.Detach(), nullptr, static_cast<DWORD>(id), 0};
        if (answer == IDYES) {
            // The usual monitor, over the batch that runs: its starts adopt it.
            RecoveredBatch = held;
            ProgressDlg.SetDrawingList(r.List(L"monitored"), Timeout);
            ProgressDlg.SetCounterFile(CounterFile);
            ProgressDlg.SetRunMode(Operation == 1 ? runmon::kUpdate : runmon::kScanOnly);
            if (ProgressDlg.RunModal() == IDOK) OpenLog();
            if (RecoveredBatch.hProcess) CloseHandle(RecoveredBatch.hProcess);
            RecoveredBatch = PROCESS_INFORMATION{};
            // The monitor's end collected them, unless it was stopped and closed.
            collect = Operation == 1 && !ResultsCollected;
        } else {
            HostProcess.Adopt(held);
            Operation == 1 ? StopUpdateRun() : StopScanRun();
            TerminateHost(kTerminateUser, *this);
        }
    }
    if (collect) CollectResults();
    const long long selected = static_cast<long long>(Drawings.size());

    // The old run's clean end, as its ExitInstance would have made it.
    if (ownHost) {
        // A call of no mode counts as the earlier call a restore waits for.
        if (SavedProfile.Saved) PrepareHostProfile(0);
        PrepareHostProfile(kProfileRestore);
    }
    DeleteRunFiles();
    if (reason.empty()) {
        DeleteFileW(GetMigrateListPath().c_str());
        DeleteFileW(GetMigratedListPath().c_str());
    }
    DeleteFileW(CounterFile.c_str());
    RemoveRunRecord();

    if (!reason.empty())
        fw::ShowMessage(fw::FormatResString(IDS_RECOVERY_BAD, {reason}), MB_ICONWARNING);
    else if (Operation == 1)
        fw::ShowMessage(fw::FormatResString(IDS_RECOVERY_DONE,
                                            {MigratedCount, selected, selected - MigratedCount}),
                        MB_ICONINFORMATION);
    else
        fw::ShowMessage(fw::LoadResString(IDS_RECOVERY_ANALYSIS), MB_ICONINFORMATION);

    // This start goes on with a job of its own; the wizard opens the user's
    // list, whose unmarked drawings are the ones left.
    const std::wstring list = reason.empty() && !DmlIsTemporary ? DmlFile : std::wstring();
    for (const auto& j : kJobPaths) (this->*j.value).clear();
    ListToOpen = list;
    CounterFile = ownCounter;
    TempFiles.swap(ownTemps);
    Logfile = ownLog;
    Drawings.clear();
    MigrateList.clear();
    HostLogs.clear();
    DmlIsTemporary = false;
    UpdateRunStarted = 0;
    ResultsCollected = false;
    MigratedCount = 0;
    SavedProfile = SavedProfileValues{};
    Operation = ownOperation;
    Timeout = ownTimeout;
}

bool CAxvekTarvoApp::AdoptRecoveredBatch() {
    if (!RecoveredBatch.hProcess) return false;
    HostProcess.Adopt(RecoveredBatch);
    RecoveredBatch = PROCESS_INFORMATION{};
    return true;
}
