// Starting and stopping a run's batch process, with Wine's real cmd.
#include "app/AxvekTarvoApp.h"
#include "program/AxvekTarvoProgram.h"
#include "app/JobFiles.h"
#include "core/Text.h"
#include "framework/Resources.h"
#include "resources/ids.h"

#include "support/WinTest.h"

using namespace testenv;

class LaunchTest : public WinTest {
  protected:
    void SetUp() override {
        WinTest::SetUp();
        InstallHost();
        app_ = std::make_unique<CAxvekTarvoProgram>();
        Logfile = dir_ / L"mig.log";
    }
    void TearDown() override {
        app_->HostProcess.Terminate();
        app_->ExitInstance();  // removes the job files the runs wrote
        WinTest::TearDown();
    }
    // Waits for the batch process as the run monitor will.
    bool WaitForRun(DWORD ms = 30000) {
        return app_->HostProcess.IsSet() &&
               WaitForSingleObject(app_->HostProcess.Handle(), ms) == WAIT_OBJECT_0;
    }

    ScratchDir dir_;
    std::unique_ptr<CAxvekTarvoApp> app_;
};

TEST_F(LaunchTest, ABatchInAFolderWithSpacesRunsHidden) {
    CreateDirectoryW((dir_ / L"Documents and Settings").c_str(), nullptr);
    const std::wstring batch = dir_ / L"Documents and Settings\\run me.bat";
    const std::wstring marker = dir_ / L"ran.txt";
    WriteBytes(batch, "@echo off\r\necho ran> \"" + Narrow(marker) + "\"\r\n");
    app_->LaunchBatch(batch);
    ASSERT_TRUE(app_->HostProcess.IsSet());
    EXPECT_NE(app_->HostProcess.Id(), 0u);
    ASSERT_TRUE(WaitForRun());
    EXPECT_EQ(ReadBytes(marker), "ran\r\n");
}

TEST_F(LaunchTest, BeforeWindowsXpTheCommandInterpreterRunsTheBatch) {
    app_->IsWinXpOrLater = false;
    const std::wstring batch = dir_ / L"old.bat";
    const std::wstring marker = dir_ / L"old.txt";
    WriteBytes(batch, "@echo off\r\necho old> \"" + Narrow(marker) + "\"\r\n");
    app_->LaunchBatch(batch);
    ASSERT_TRUE(WaitForRun());
    EXPECT_EQ(ReadBytes(marker), "old\r\n");
}

TEST_F(LaunchTest, AFailedStartIsShownWithTheSystemsReason) {
    app_->IsWinXpOrLater = false;
    // Through the runtime, whose copy of the environment the program reads:
    // once made, that copy no longer follows SetEnvironmentVariable.
    const wchar_t* before = _wgetenv(L"COMSPEC");
    const std::wstring previous = before ? before : L"";
    _wputenv((L"COMSPEC=" + (dir_ / L"no-such-interpreter.exe")).c_str());
    DialogCatcher box(fw::LoadResString(IDS_CAPTION));
    app_->LaunchBatch(dir_ / L"x.bat");
    ASSERT_TRUE(box.Seen());
    EXPECT_FALSE(app_->HostProcess.IsSet());
    const std::wstring text = box.AllText();
    EXPECT_NE(text.find(fw::LoadResString(IDS_LAUNCH_FAILED) + L"\n"), std::wstring::npos)
        << Narrow(text);
    EXPECT_GT(text.size(), fw::LoadResString(IDS_LAUNCH_FAILED).size() + 3);  // the system's words
    _wputenv((L"COMSPEC=" + previous).c_str());
}

TEST_F(LaunchTest, StoppingEndsTheBatchProcessAndLogsIt) {
    const std::wstring batch = dir_ / L"long.bat";
    WriteBytes(batch, "@echo off\r\n\"" + Narrow(BinDir()) + "windriver.exe\" sleep 60000\r\n");
    app_->LaunchBatch(batch);
    const HANDLE process = app_->HostProcess.Handle();
    ASSERT_NE(process, nullptr);
    HANDLE watch = nullptr;
    DuplicateHandle(GetCurrentProcess(), process, GetCurrentProcess(), &watch, SYNCHRONIZE, FALSE,
                    0);
    app_->StopUpdateRun();
    EXPECT_EQ(WaitForSingleObject(watch, 10000), WAIT_OBJECT_0);
    CloseHandle(watch);
    EXPECT_FALSE(app_->HostProcess.IsSet());
    EXPECT_EQ(app_->HostProcess.Id(), 0u);
    EXPECT_EQ(ReadBytes(Logfile), Narrow(fw::LoadResString(IDS_LOG_UPDATE_STOPPED)) + "\r\n");

    app_->StopScanRun();  // nothing runs any more: no line
    EXPECT_EQ(ReadBytes(Logfile), Narrow(fw::LoadResString(IDS_LOG_UPDATE_STOPPED)) + "\r\n");
}

TEST_F(LaunchTest, ARunWithoutDrawingsIsRefusedWithAWarning) {
    app_->LoadSettings();
    DeleteFileW(GetMigrateListPath().c_str());
    {
        DialogCatcher box(fw::LoadResString(IDS_CAPTION));
        EXPECT_FALSE(app_->StartUpdateRun());
        ASSERT_TRUE(box.Seen());
        EXPECT_NE(box.AllText().find(fw::LoadResString(IDS_NOTHING_TO_UPDATE)), std::wstring::npos);
    }
    EXPECT_FALSE(app_->HostProcess.IsSet());
    {
        DialogCatcher box(fw::LoadResString(IDS_CAPTION));
        EXPECT_FALSE(app_->StartScanRun());
        ASSERT_TRUE(box.Seen());
        EXPECT_NE(box.AllText().find(fw::LoadResString(IDS_NOTHING_TO_SCAN)), std::wstring::npos);
    }
    EXPECT_FALSE(app_->HostProcess.IsSet());
    // Both runs still wrote their headers.
    const std::string log = ReadBytes(Logfile);
    EXPECT_NE(log.find(Narrow(fw::LoadResString(IDS_LOG_UPDATE_RUN))), std::string::npos);
    EXPECT_NE(log.find(Narrow(fw::LoadResString(IDS_LOG_SCAN_RUN))), std::string::npos);
}

TEST_F(LaunchTest, AfterTheMonitorLetGoOfAnEndedRunAStopTouchesNoOtherProcess) {
    const std::wstring batch = dir_ / L"short.bat";
    WriteBytes(batch, "@echo off\r\n");
    app_->LaunchBatch(batch);
    ASSERT_TRUE(WaitForRun());
    app_->HostProcess.Release();  // what the run monitor does when it sees the end

    // The system is free to give the closed handle's value to the next
    // handle opened (Wine does): a stale copy would then name this process.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION other{};
    std::wstring command = L"\"" + BinDir() + L"windriver.exe\" sleep 60000";
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &other));
    CloseHandle(other.hThread);

    app_->StopUpdateRun();
    app_->StopScanRun();
    EXPECT_EQ(WaitForSingleObject(other.hProcess, 500), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_FALSE(FileExists(Logfile));  // no stop line: nothing ran

    // A resumed run is held afresh, and a stop ends it.
    WriteBytes(batch, "@echo off\r\n\"" + Narrow(BinDir()) + "windriver.exe\" sleep 60000\r\n");
    app_->LaunchBatch(batch);
    ASSERT_TRUE(app_->HostProcess.IsSet());
    HANDLE watch = nullptr;
    DuplicateHandle(GetCurrentProcess(), app_->HostProcess.Handle(), GetCurrentProcess(), &watch,
                    SYNCHRONIZE, FALSE, 0);
    app_->StopUpdateRun();
    EXPECT_EQ(WaitForSingleObject(watch, 10000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(other.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(ReadBytes(Logfile), Narrow(fw::LoadResString(IDS_LOG_UPDATE_STOPPED)) + "\r\n");
    CloseHandle(watch);
    TerminateProcess(other.hProcess, 0);
    CloseHandle(other.hProcess);
}

TEST_F(LaunchTest, WhatARunCannotPassOnIsLoggedUnderItsHeaderOnceARun) {
    app_->LoadSettings();
    Logfile = dir_ / L"mig.log";
    // No such drawing or folder, so no short form can stand in for them.
    const std::wstring drawing = dir_ / L"\u010cisto.dwg";
    const std::wstring folder = dir_ / L"Gone \u2013 folder";
    app_->Drawings = {dir_ / L"a.dwg", drawing};
    app_->SearchFolders = {folder};
    app_->PrepareJob();
    const std::string drawingLine =
        Ansi(L"\t" + fw::FormatResString(IDS_LOG_UNREPRESENTABLE_PATH, {drawing}) + L"\r\n");
    const std::string folderLine =
        Ansi(L"\t" + fw::FormatResString(IDS_LOG_NAME_FOR_CMD, {text::ToLower(folder) + L"\\"}) +
             L"\r\n");
    auto count = [](const std::string& log, const std::string& line) {
        size_t n = 0;
        for (size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1)) ++n;
        return n;
    };

    ASSERT_TRUE(app_->StartUpdateRun());
    ASSERT_TRUE(WaitForRun());
    app_->ResumeUpdateRun(0);
    ASSERT_TRUE(WaitForRun());
    std::string log = ReadBytes(Logfile);
    const size_t header = log.find(Ansi(fw::LoadResString(IDS_LOG_UPDATE_RUN)));
    ASSERT_NE(header, std::string::npos) << log;
    EXPECT_GT(log.find(drawingLine), header) << log;
    EXPECT_GT(log.find(folderLine), header) << log;
    EXPECT_EQ(count(log, drawingLine), 1u) << log;
    EXPECT_EQ(count(log, folderLine), 1u) << log;

    // A new run says it again.
    ASSERT_TRUE(app_->StartUpdateRun());
    ASSERT_TRUE(WaitForRun());
    log = ReadBytes(Logfile);
    EXPECT_EQ(count(log, folderLine), 2u) << log;
    EXPECT_GT(log.rfind(folderLine), log.rfind(Ansi(fw::LoadResString(IDS_LOG_UPDATE_RUN))));
}

// Run under a file-size limit only (AXTEST_FILE_LIMIT), in its own test entry.
TEST_F(LaunchTest, DISABLED_ABatchFileCutShortByAFullDiskIsAFailedStart) {
    if (GetEnvironmentVariableW(L"AXTEST_FILE_LIMIT", nullptr, 0) == 0)
        GTEST_SKIP() << "needs a file-size limit (AXTEST_FILE_LIMIT)";
    app_->LoadSettings();
    Logfile = dir_ / L"mig.log";
    // Far more blocks than the limit holds.
    for (int i = 0; i < 2000; ++i)
        app_->Drawings.push_back(dir_ / (L"drawing " + std::to_wstring(i) + L".dwg"));
    const std::wstring expected =
        fw::LoadResString(IDS_LAUNCH_FAILED) + L"\n" + fw::FileErrorReason(FileCause::DiskFull);
    {
        DialogCatcher box(fw::LoadResString(IDS_CAPTION));
        EXPECT_TRUE(app_->StartScanRun());
        ASSERT_TRUE(box.Seen());
        EXPECT_NE(box.AllText().find(expected), std::wstring::npos) << Narrow(box.AllText());
    }
    EXPECT_FALSE(app_->HostProcess.IsSet());
    EXPECT_FALSE(FileExists(app_->ScanBatch));  // nothing half-written is left to run
    EXPECT_NE(ReadBytes(Logfile).find(Narrow(fw::LoadResString(IDS_LOG_SCAN_RUN))),
              std::string::npos);
    {
        DialogCatcher box(fw::LoadResString(IDS_CAPTION));
        app_->ResumeScanRun(3);
        ASSERT_TRUE(box.Seen());
        EXPECT_NE(box.AllText().find(expected), std::wstring::npos) << Narrow(box.AllText());
    }
    EXPECT_FALSE(app_->HostProcess.IsSet());
}
