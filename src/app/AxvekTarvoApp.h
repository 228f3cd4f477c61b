// The application object: owns the settings, the selected drawings, the job
// files and the record of the running batch process, and drives the run
// monitor it is given. The program's own object derives from it and runs
// the program as a sequence of modal steps (program/AxvekTarvoProgram.h).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/MigrationLog.h"
#include "app/core/RunOutcome.h"
#include "core/FileCause.h"
#include "core/Text.h"
#include "framework/WinApp.h"
#include "host/BatchProcess.h"
#include "host/HostProfile.h"
#include "host/RunMonitor.h"

// Path of the migration log; settings load replaces the bare default name.
extern std::wstring Logfile;
// Logfile back to the bare default name it has at the start.
void ResetLogfile();

class CAxvekTarvoApp : public fw::CWinApp, public RunSide {
  public:
    // The monitor is not owned: it is made before this object, outlives it,
    // and has this object as its run side.
    explicit CAxvekTarvoApp(RunMonitor& monitor);

    int ExitInstance() override;

    // The steps after a finished wizard: save the settings, prepare the job,
    // watch its runs in the run monitor, and open the log when the monitor
    // ends with OK.
    void RunJob();

    // Settings (registry key EditionKeyPath() + "\Migration").
    void LoadSettings();
    void SaveSettings();

    // Host profile (app/ProfilePreparation.cpp); any other mode only opens the keys.
    enum ProfileMode : int {
        kProfileSave = 1,     // keep the values a run changes (first call only)
        kProfileApply = 2,    // put the profile into its migration state
        kProfileRestore = 3,  // put the kept values back
    };
    void PrepareHostProfile(int mode);
    // Forgets this process's calls of PrepareHostProfile, as at its start.
    static void ResetProfilePreparations();
    void BuildSearchFolders();

    // Migration log header (app/MigrationLog.cpp), with the run line's string id.
    void WriteLogHeader(UINT runLineId);

    // Job preparation (app/JobPreparation.cpp).
    void PrepareJob();

    // Host scripts (app/HostScripts.cpp) and batch files (app/BatchFile.cpp).
    void WriteHeadScript(const std::wstring& path);
    void WriteTailScript(const std::wstring& path, bool scanForm, bool selectedDrawings);
    // False, with *cause saying why, when the batch file could not be
    // written whole; the drawings are counted all the same.
    bool WriteBatchFile(long long first, const std::wstring& batchPath,
                        const std::wstring& mainTail, const std::wstring& otherTail, bool scanMode,
                        FileCause* cause = nullptr);

    // Runs (app/Runs.cpp).
    void LaunchBatch(const std::wstring& batchPath);
    bool StartScanRun() override;
    bool StartUpdateRun() override;
    void ResumeScanRun(long long first) override;
    void ResumeUpdateRun(long long first) override;
    void StopScanRun() override;
    void StopUpdateRun() override;
    BatchProcess& RunProcess() override { return HostProcess; }
    std::wstring HostFolder() const override { return OrtxLocation; }
    // Starts "notepad.exe" on Logfile without waiting for it.
    void OpenLog() override;
    void NoteHostLog(const std::wstring& path) override;
    // Deletes every host log the run named (those seen by the monitor and
    // those the run file lists), except the one a host still running writes.
    void SweepHostLogs() override;
    // A detail line of the migration log.
    void LogDetail(const std::wstring& text) override;
    // What the run file of the current run says (empty when there is none).
    runoutcome::RunFile ReadRunFile() const;

    // The record of a run under way (app/RunRecovery.cpp): written before the
    // host profile changes and at each launch, removed by a clean exit. A
    // start that finds one finishes that run first: its results, marks,
    // profile and files, watching its batch when it still runs.
    std::wstring RunRecordPath() const;
    void WriteRunRecord();
    void RemoveRunRecord();
    void RecoverInterruptedRun();
    // False, with the message shown, when the program already runs for this user.
    bool ClaimSingleInstance();
    // Windows ends the session during a run, which has been stopped: the
    // profile goes back, the record stays for the next start.
    void EndSession() override;

    // Result collection (app/Results.cpp).
    void CollectResults() override;
    // Marks the drawings saved (each as the extension named it) in DmlFile.
    void MarkMigrated(const std::vector<std::wstring>& saved);
    bool IsSelectedDrawing(const std::wstring& path) const;

    // The host's log, every host log of the run and every temporary file.
    void DeleteRunFiles();
    // Appends a name to TempFiles, so that exit removes the file.
    void AddTempFile(const std::wstring& path);
    // A new temporary name with the extension, recorded in TempFiles.
    std::wstring NewTempFile(const std::wstring& extension);

    std::vector<std::wstring> Drawings;
    std::wstring DmlFile;
    int Operation = 0;
    DWORD UpdateFlags = 0;
    DWORD OptionFlags = 0;
    DWORD OrtxaFlags = 8;
    std::wstring SetupDrawing;
    int Timeout = 120;
    DWORD SablonFlags = 0;
    int SymbolStd = 0;
    std::vector<std::wstring> SearchFolders;
    DWORD LogFlags = 0;
    SavedProfileValues SavedProfile;
    bool IsWinXpOrLater = false;
    BatchProcess HostProcess;  // the one owner of the batch process handle
    std::wstring OrtxLocation;
    std::wstring MigrationFolder;
    std::wstring DrawingScript;
    std::wstring HeadScript;
    std::wstring ScanBatch;
    std::wstring ScanTailScript;
    std::wstring UpdateBatch;
    std::wstring UpdateTailScript;
    std::wstring XrefTailScript;
    RunMonitor& ProgressDlg;  // the run monitor's window, the program's
    long long QueuedCount = 0;
    std::wstring CounterFile;
    std::vector<std::wstring> MigrateList;
    std::vector<std::wstring> TempFiles;
    bool DmlIsTemporary = false;
    // The current run's file of host exit codes and host log names, written
    // by its batch file.
    std::wstring RunFile;
    // When the update run launched its first batch (FILETIME): a drawing
    // written before is not one it saved.
    uint64_t UpdateRunStarted = 0;
    // Host logs named during the run, deleted once their hosts have ended.
    text::NoCaseSet HostLogs;
    // Detail lines for the log that wait for the run's header.
    RunNotes Notes;
    // A list file the Files page opens when it is first shown (after a
    // recovered run: its unmarked drawings are the ones left).
    std::wstring ListToOpen;
    // Drawings the last result collection counted as migrated.
    long long MigratedCount = 0;
    bool ResultsCollected = false;
    // Where the run record is kept (empty: the user's local application data).
    std::wstring RunRecordFile;
    bool RunRecordWritten = false;
    bool KeepRunRecord = false;
    // The batch of an interrupted run, still running, that the next start of
    // the run monitor takes over instead of launching one.
    PROCESS_INFORMATION RecoveredBatch{};
    bool AdoptRecoveredBatch();
    fw::UniqueHandle InstanceMutex;
    bool IsSecondInstance = false;
};

// The program's application object.
CAxvekTarvoApp& AxvekApp();
