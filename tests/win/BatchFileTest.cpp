#include "app/AxvekTarvoApp.h"
#include "program/AxvekTarvoProgram.h"
#include "app/JobFiles.h"
#include "app/core/HostScriptLines.h"
#include "core/Text.h"
#include "drawings/AxvekFilenm.h"
#include "framework/PathNames.h"
#include "framework/Resources.h"
#include "framework/TextStream.h"
#include "resources/ids.h"

#include <cstdlib>

#include "support/BatchRun.h"
#include "support/WinTest.h"

using namespace testenv;

namespace {

std::vector<std::string> LinesStartingWith(const std::vector<std::string>& lines,
                                           const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& line : lines)
        if (line.compare(0, prefix.size(), prefix) == 0) found.push_back(line);
    return found;
}

std::string Bytes(const std::wstring& text, UINT codePage) {
    return fw::TextStream::Encode(text, fw::TextLocale{codePage}, nullptr);
}
std::string Oem(const std::wstring& text) {
    return Bytes(text, GetOEMCP());
}

std::string ScriptBytes(const std::vector<std::wstring>& lines) {
    std::wstring all;
    for (const std::wstring& line : lines) all += line + L"\r\n";
    return Ansi(all);
}

void SetVariable(const std::wstring& name, const std::wstring& value) {
    _wputenv((name + L"=" + value).c_str());
}

std::wstring WithoutTrailingSeparator(std::wstring path) {
    if (!path.empty() && path.back() == L'\\') path.pop_back();
    return path;
}

class BatchFileTest : public WinTest {
  protected:
    void SetUp() override {
        WinTest::SetUp();
        HostInstall install;
        install.OrtxLocation = dir_ / L"Host";
        InstallHost(install);
        SetVariable(L"TEMP", WithoutTrailingSeparator(dir_.Path()));
        app_ = std::make_unique<CAxvekTarvoProgram>();
        UseJobFolder(dir_.Path());
        app_->Operation = 1;
        app_->Timeout = 30;
    }

    // The job's files in that folder, as a run names them.
    void UseJobFolder(const std::wstring& folder) {
        app_->CounterFile = folder + L"vek1.tmp";
        app_->DrawingScript = folder + L"vek3.scr";
        app_->HeadScript = folder + L"vek4.scr";
        mainTail_ = folder + L"vek5.scr";
        otherTail_ = folder + L"vek6.scr";
        batch_ = folder + L"vek7.bat";
        Logfile = folder + L"Mig.log";
    }

    std::vector<std::string> Scan(long long first = 0) {
        app_->WriteBatchFile(first, batch_, mainTail_, std::wstring(), true);
        return SplitCrLf(ReadBytes(batch_));
    }
    std::vector<std::string> Update(long long first = 0) {
        app_->WriteBatchFile(first, batch_, mainTail_, otherTail_, false);
        return SplitCrLf(ReadBytes(batch_));
    }
    void WriteMigrateList(const std::vector<std::wstring>& lines) {
        std::wstring all;
        for (const std::wstring& line : lines) all += line + L"\r\n";
        WriteBytes(GetMigrateListPath(), Ansi(all));
    }
    std::string N(const std::wstring& s) { return Narrow(s); }

    ScratchDir dir_;
    std::unique_ptr<CAxvekTarvoApp> app_;
    std::wstring mainTail_, otherTail_, batch_;
};

}  // namespace

TEST_F(BatchFileTest, ScanFromTheThirdOfFiveDrawings) {
    app_->Drawings = {L"C:\\w\\a.dwg", L"C:\\w\\b.dwg", L"C:\\w\\c.dwg", L"C:\\w\\d.dwg",
                      L"C:\\w\\e.dwg"};
    const std::vector<std::string> lines = Scan(2);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "@echo off");
    EXPECT_EQ(lines[1], "rem Scan the DWG's and write list of xrefs.");
    EXPECT_EQ(lines.size(), 2u + 3 * 11);
    const std::string counter = "\"" + N(app_->CounterFile) + "\"";
    EXPECT_EQ(LinesStartingWith(lines, "echo 3 > "),
              std::vector<std::string>{"echo 3 > " + counter});
    EXPECT_EQ(LinesStartingWith(lines, "echo 4 > ").size(), 1u);
    EXPECT_EQ(LinesStartingWith(lines, "echo 5 > ").size(), 1u);
    EXPECT_TRUE(LinesStartingWith(lines, "echo 1 > ").empty());
    EXPECT_EQ(
        LinesStartingWith(lines, "echo \"C:\\w\\"),
        (std::vector<std::string>{"echo \"C:\\w\\c.dwg\">> \"" + N(app_->DrawingScript) + "\"",
                                  "echo \"C:\\w\\d.dwg\">> \"" + N(app_->DrawingScript) + "\"",
                                  "echo \"C:\\w\\e.dwg\">> \"" + N(app_->DrawingScript) + "\""}));
    EXPECT_EQ(app_->QueuedCount, 5);
    EXPECT_EQ(app_->ProgressDlg.DrawingCount(), 5);
    EXPECT_EQ(app_->ProgressDlg.DrawingNames(), app_->Drawings);
    EXPECT_EQ(app_->ProgressDlg.Budgets(), std::vector<int>(5, 30 * 60));
    EXPECT_EQ(app_->ProgressDlg.CurrentDrawing(), 0);
}

TEST_F(BatchFileTest, ProgressLineByModeAndOperation) {
    app_->Drawings = {L"C:\\Work\\Part One.DWG"};
    const std::string log = " >> \"" + N(Logfile) + "\"";
    EXPECT_EQ(Scan()[5], "echo Scanning part one.dwg" + log);
    app_->Operation = 2;
    EXPECT_EQ(Scan()[5], "echo Analysing part one.dwg" + log);
    app_->Operation = 0;
    EXPECT_EQ(Scan()[5], "echo Analysing part one.dwg" + log);
    WriteMigrateList({L"C:\\Work\\Part One.DWG"});
    EXPECT_EQ(Update()[5], "echo Migrating part one.dwg" + log);
    EXPECT_EQ(Update()[1], "rem Save/update the DWG's.");
}

TEST_F(BatchFileTest, TheHostFolderKeepsItsSeparatorAndIsEnteredWithItsDrive) {
    app_->Drawings = {L"C:\\w\\a.dwg"};
    const std::vector<std::string> lines = Scan();
    EXPECT_EQ(app_->OrtxLocation, dir_ / L"Host\\");
    EXPECT_EQ(lines[11], "cd /d \"" + N(dir_ / L"Host\\") + "\"");
    EXPECT_EQ(lines[12], "start /wait ortx.exe /b \"" + N(app_->DrawingScript) +
                             "\" /p \"<<ORTXAPP>>\" /nologo");
    EXPECT_EQ(lines[6], "copy \"" + N(app_->HeadScript) + "\" \"" + N(app_->DrawingScript) + "\"");
    EXPECT_EQ(lines[9], "type \"" + N(mainTail_) + "\" >> \"" + N(app_->DrawingScript) + "\"");
}

TEST_F(BatchFileTest, SearchFoldersMissingFromPathGoFirst) {
    app_->Drawings = {L"C:\\w\\a.dwg"};
    app_->SearchFolders = {L"C:\\Tools\\"};
    SetVariable(L"PATH", L"C:\\Windows;C:\\Tools;D:\\Bin");
    EXPECT_EQ(Scan()[10], "PATH =c:\\windows;c:\\tools;d:\\bin");
    SetVariable(L"PATH", L"C:\\Windows;c:\\tools\\;D:\\Bin");
    EXPECT_EQ(Scan()[10], "PATH =c:\\windows;c:\\tools\\;d:\\bin");
    SetVariable(L"PATH", L"C:\\Windows");
    EXPECT_EQ(Scan()[10], "PATH =c:\\tools\\;c:\\windows");
    SetVariable(L"PATH", L"");
    ASSERT_EQ(_wgetenv(L"PATH"), nullptr);
    EXPECT_EQ(Scan()[10], "PATH =c:\\tools\\;");
}

TEST_F(BatchFileTest, UpdateFromMigrateTxtChoosesTheTailByCaseBlindSelection) {
    app_->Drawings = {L"C:\\Work\\Selected.dwg", L"C:\\Work\\Gone.dwg"};
    WriteMigrateList({L"c:\\work\\SELECTED.DWG", L"C:\\Xref\\Other.dwg", L"C:\\Xref\\Third.dwg"});
    const std::vector<std::string> lines = Update(1);
    const std::string script = " >> \"" + N(app_->DrawingScript) + "\"";
    EXPECT_EQ(LinesStartingWith(lines, "type "),
              (std::vector<std::string>{"type \"" + N(otherTail_) + "\"" + script,
                                        "type \"" + N(otherTail_) + "\"" + script}));
    EXPECT_EQ(LinesStartingWith(lines, "echo 2 > ").size(), 1u);
    EXPECT_EQ(LinesStartingWith(lines, "echo 3 > ").size(), 1u);
    EXPECT_EQ(app_->QueuedCount, 3);
    EXPECT_EQ(app_->MigrateList,
              (std::vector<std::wstring>{L"c:\\work\\SELECTED.DWG", L"C:\\Xref\\Other.dwg",
                                         L"C:\\Xref\\Third.dwg"}));
    EXPECT_EQ(app_->ProgressDlg.DrawingNames(), app_->MigrateList);

    const std::vector<std::string> all = Update(0);
    EXPECT_EQ(LinesStartingWith(all, "type ")[0], "type \"" + N(mainTail_) + "\"" + script);
    EXPECT_EQ(LinesStartingWith(all, "echo \"")[0],
              "echo \"c:\\work\\SELECTED.DWG\">> \"" + N(app_->DrawingScript) + "\"");
}

TEST_F(BatchFileTest, WithoutMigrateTxtNothingIsQueued) {
    app_->Drawings = {L"C:\\Work\\Selected.dwg"};
    app_->MigrateList = {L"stale"};
    const std::vector<std::string> lines = Update();
    EXPECT_EQ(lines.size(), 2u);
    EXPECT_EQ(app_->QueuedCount, 0);
    EXPECT_TRUE(app_->MigrateList.empty());
    EXPECT_EQ(app_->ProgressDlg.DrawingCount(), 0);
}

TEST_F(BatchFileTest, ABatchFileThatCannotBeCreatedStillCountsTheDrawings) {
    app_->Drawings = {L"C:\\w\\a.dwg", L"C:\\w\\b.dwg"};
    batch_ = dir_ / L"missing\\vek7.bat";
    Scan();
    EXPECT_FALSE(FileExists(batch_));
    EXPECT_EQ(app_->QueuedCount, 2);
    EXPECT_EQ(app_->ProgressDlg.DrawingCount(), 2);
}

TEST_F(BatchFileTest, ABatchFileIsRewrittenInFull) {
    WriteBytes(batch_, std::string(100000, 'x'));
    app_->Drawings = {L"C:\\w\\a.dwg"};
    EXPECT_EQ(Scan().size(), 13u);
}

// The tests below run the batch file with the system's own cmd.

class BatchRunTest : public BatchFileTest {
  protected:
    void SetUp() override {
        BatchFileTest::SetUp();
        start_ = dir_ / L"start\\";
        CreateDirectoryW(start_.c_str(), nullptr);
    }

    // Writes the scripts and the batch as a run does, runs it, and returns
    // the lines of the log.
    std::vector<std::string> RunScan() {
        app_->WriteHeadScript(app_->HeadScript);
        app_->WriteTailScript(mainTail_, true, false);
        app_->WriteBatchFile(0, batch_, mainTail_, std::wstring(), true);
        EXPECT_TRUE(RunBatchFile(batch_, start_));
        return SplitCrLf(ReadBytes(Logfile));
    }
    std::vector<std::wstring> HeadLines() {
        hostscript::HeadValues values{app_->MigrationFolder, AxvekFilenm(Logfile, true).FullPath,
                                      app_->LogFlags};
        std::vector<std::wstring> lines;
        hostscript::HeadScriptLines(values, lines);
        return lines;
    }

    // A command "d" where cmd looks for one: it leaves a mark when it runs.
    void PlantCommand(const std::wstring& folder) {
        WriteBytes(folder + L"d.cmd", "@echo ran>> \"" + N(dir_ / L"ran.txt") + "\"\r\n");
    }

    std::wstring start_;
};

TEST_F(BatchRunTest, EveryLineCarriesExactlyItsTextAndNothingElseRuns) {
    const std::wstring folder = dir_ / L"R&D 100% (x)^\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    app_->Drawings = {folder + L"R&D plan.dwg", folder + L"50%PATH%.dwg", folder + L"x|d .dwg",
                      folder + L"a^b<c>d.dwg"};
    app_->SearchFolders = {dir_ / L"R&D\\Support\\"};
    RecordingHost host(dir_ / L"Host");
    PlantCommand(start_);
    PlantCommand(host.Folder());

    const std::vector<std::string> log = RunScan();
    EXPECT_FALSE(FileExists(dir_ / L"ran.txt"));
    EXPECT_EQ(LinesStartingWith(log, "Scanning"),
              (std::vector<std::string>{"Scanning r&d plan.dwg ", "Scanning 50%path%.dwg ",
                                        "Scanning x|d .dwg ", "Scanning a^b<c>d.dwg "}));
    EXPECT_EQ(ReadBytes(app_->CounterFile), "4 \r\n");

    const std::vector<RecordingHost::Start> starts = host.Starts();
    ASSERT_EQ(starts.size(), 4u);
    const std::vector<std::wstring> tail = hostscript::ScanTailLines(1);
    for (size_t i = 0; i < starts.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(starts[i].ScriptBytes, ScriptBytes(hostscript::DrawingScriptLines(
                                             HeadLines(), app_->Drawings[i], tail)));
        EXPECT_EQ(starts[i].Arguments, (std::vector<std::wstring>{L"/b", app_->DrawingScript, L"/p",
                                                                  L"<<ORTXAPP>>", L"/nologo"}));
        EXPECT_TRUE(text::EqualsNoCase(starts[i].CurrentFolder, dir_ / L"Host"));
        EXPECT_TRUE(
            text::StartsWithNoCase(starts[i].Path, text::ToLower(dir_ / L"R&D\\Support\\;")))
            << N(starts[i].Path);
    }
}

TEST_F(BatchRunTest, AnUpdateRunGivesTheHostTheWholeScriptOfEachDrawing) {
    RecordingHost host(dir_ / L"Host");
    Logfile = L"C:\\Temp\\Mig.log";
    app_->LogFlags = 15;
    app_->UpdateFlags = 0;
    app_->SablonFlags = 0;
    app_->OrtxaFlags = 0;
    app_->OptionFlags = 4;
    app_->Drawings = {L"C:\\Work\\Part.dwg"};
    WriteMigrateList({L"C:\\Work\\Part.dwg", L"C:\\Work\\Ref.dwg"});
    app_->WriteHeadScript(app_->HeadScript);
    app_->WriteTailScript(mainTail_, false, true);
    app_->WriteTailScript(otherTail_, false, false);
    app_->WriteBatchFile(0, batch_, mainTail_, otherTail_, false);
    ASSERT_TRUE(RunBatchFile(batch_, start_));

    const std::vector<RecordingHost::Start> starts = host.Starts();
    ASSERT_EQ(starts.size(), 2u);
    const std::string head = "_EXPERT\r\n0\r\n_orx\r\n_load\r\n\"" + N(app_->MigrationFolder) +
                             "\\axmigr.orx\"\r\n_axvekloginfo\r\nc:/temp/mig.log\r\n15\r\n"
                             "(axresetdbmod T)\r\n_.OPEN\r\n";
    const std::string closing =
        "_axvekend\r\n_logfilemode\r\n0\r\n_orx\r\n_unload\r\naxmigr.orx\r\n"
        "(axresetdbmod T)\r\n_.QUIT\r\n";
    EXPECT_EQ(starts[0].ScriptBytes,
              head +
                  "\"C:\\Work\\Part.dwg\"\r\n_axvekmigr\r\n_.QSAVE\r\n_axvekmode\r\n0\r\n"
                  "_.QSAVE\r\n" +
                  closing);
    EXPECT_EQ(starts[1].ScriptBytes,
              head + "\"C:\\Work\\Ref.dwg\"\r\n_axvekmigr\r\n_.QSAVE\r\n" + closing);
    EXPECT_EQ(ReadBytes(app_->CounterFile), "2 \r\n");
}

TEST_F(BatchRunTest, AMigrateListLineWithQuotesCannotBreakOutOfItsQuotes) {
    RecordingHost host(dir_ / L"Host");
    PlantCommand(start_);
    PlantCommand(host.Folder());
    app_->Drawings = {L"C:\\w\\a.dwg"};
    WriteMigrateList({L"C:\\w\\a\" & d & \".dwg"});
    app_->WriteHeadScript(app_->HeadScript);
    app_->WriteTailScript(mainTail_, false, true);
    app_->WriteTailScript(otherTail_, false, false);
    app_->WriteBatchFile(0, batch_, mainTail_, otherTail_, false);
    ASSERT_TRUE(RunBatchFile(batch_, start_));
    EXPECT_FALSE(FileExists(dir_ / L"ran.txt"));
    EXPECT_EQ(LinesStartingWith(SplitCrLf(ReadBytes(Logfile)), "Migrating"),
              std::vector<std::string>{"Migrating a\" & d & \".dwg "});
    const std::vector<RecordingHost::Start> starts = host.Starts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_NE(starts[0].ScriptBytes.find("\r\n_.OPEN\r\n\"C:\\w\\a & d & .dwg\"\r\n_axvekmigr\r\n"),
              std::string::npos);
}

TEST_F(BatchRunTest, TheHostIsFoundOnAnotherDriveThanTheCurrentOne) {
    const DWORD drives = GetLogicalDrives();
    const wchar_t hostDrive = static_cast<wchar_t>(towupper(dir_.Path()[0]));
    std::wstring other;
    for (wchar_t d = L'Z'; d >= L'C' && other.empty(); --d) {
        const std::wstring root = std::wstring(1, d) + L":\\";
        if (d != hostDrive && (drives & (1u << (d - L'A'))) &&
            GetDriveTypeW(root.c_str()) == DRIVE_FIXED)
            other = root;
    }
    if (other.empty()) GTEST_SKIP() << "no second fixed drive";
    start_ = other;
    RecordingHost host(dir_ / L"Host");
    app_->Drawings = {L"C:\\w\\a.dwg"};
    RunScan();
    const std::vector<RecordingHost::Start> starts = host.Starts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_TRUE(text::EqualsNoCase(starts[0].CurrentFolder, dir_ / L"Host"));
}

TEST_F(BatchRunTest, NamesOutsideAsciiReachCmdAndTheFilesIntact) {
    // In the system code page, and in the western ones stored differently in
    // the console code page (437 or 850).
    const std::wstring letter = LocalLetter();
    const std::wstring folder = dir_ / (L"M" + letter + L"ller " + letter + L"nderung\\");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    UseJobFolder(folder);
    RecordingHost host(folder + L"Host " + letter + L"t" + letter);
    HostInstall install;
    install.OrtxLocation = folder + L"Host " + letter + L"t" + letter;
    InstallHost(install);
    app_->OrtxLocation = install.OrtxLocation;
    app_->Drawings = {folder + L"Stra" + letter + L"e.dwg"};

    const std::vector<std::string> lines = RunScan();
    EXPECT_EQ(ReadBytes(app_->CounterFile), "1 \r\n");
    EXPECT_EQ(LinesStartingWith(lines, "Scanning"),
              std::vector<std::string>{Ansi(L"Scanning stra" + text::ToLower(letter) + L"e.dwg ")});
    const std::vector<RecordingHost::Start> starts = host.Starts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].ScriptBytes,
              ScriptBytes(hostscript::DrawingScriptLines(HeadLines(), app_->Drawings[0],
                                                         hostscript::ScanTailLines(1))));
    EXPECT_EQ(starts[0].Arguments[1], app_->DrawingScript);

    // The names in the batch file are in the console code page, the texts in
    // the system code page.
    const std::vector<std::string> batch = SplitCrLf(ReadBytes(batch_));
    EXPECT_EQ(batch[3], "echo 1 > \"" + Oem(app_->CounterFile) + "\"");
    EXPECT_EQ(batch[8],
              "echo \"" + Ansi(app_->Drawings[0]) + "\">> \"" + Oem(app_->DrawingScript) + "\"");
}

TEST_F(BatchRunTest, NamesTheConsoleCodePageLacksReachCmdAsTheSameFilesAndFolders) {
    // Characters of code page 1252 that the console code pages (437, 850) lack.
    if (GetACP() == GetOEMCP())
        GTEST_SKIP()
            << "the console code page is the system's: no name is in one and not the other";
    const std::wstring folder =
        dir_ / L"O\u2019Neill \u201cPl\u00e4ne\u201d \u2013 Job \u2014 5 \u20ac\u2122\\";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    UseJobFolder(folder);  // counter file, scripts, batch file
    // Not there until the run writes it, like the log of every new job.
    Logfile = folder + L"Migration \u2013 \u201cLog\u201d\u2122.log";
    const std::wstring hostFolder = folder + L"Host \u2019R25\u2019";
    RecordingHost host(hostFolder);
    app_->OrtxLocation = hostFolder;
    const std::wstring support = folder + L"Support \u2014 \u20ac";
    const std::wstring tools = folder + L"Tools \u2122";
    // Folders that exist nowhere have no short form.
    const std::wstring gone = folder + L"Gone \u2013 folder";
    const std::wstring goneTools = folder + L"Gone \u2122 tools";
    CreateDirectoryW(support.c_str(), nullptr);
    CreateDirectoryW(tools.c_str(), nullptr);
    CreateDirectoryW((folder + L"Entw\u00fcrfe \u2014 2024").c_str(), nullptr);
    app_->SearchFolders = {support, gone};
    SetVariable(L"PATH", tools + L";" + goneTools + L";C:\\windows\\system32;C:\\windows");
    app_->Drawings = {folder + L"Teil \u2019A\u2019 \u2013 5\u20ac\u2122.dwg",
                      folder + L"Entw\u00fcrfe \u2014 2024\\Teil.dwg"};

    const std::vector<std::string> log = RunScan();
    EXPECT_EQ(ReadBytes(app_->CounterFile), "2 \r\n");
    EXPECT_EQ(
        LinesStartingWith(log, "Scanning"),
        (std::vector<std::string>{Ansi(L"Scanning teil \u2019a\u2019 \u2013 5\u20ac\u2122.dwg "),
                                  "Scanning teil.dwg "}));
    // The folders no form names are left out, and the log will say so.
    auto detail = [](const std::wstring& name) {
        return fw::FormatResString(IDS_LOG_NAME_FOR_CMD, {text::ToLower(name)});
    };
    EXPECT_EQ(app_->Notes.Held(),
              (std::vector<std::wstring>{detail(gone + L"\\"), detail(goneTools)}));

    const std::vector<RecordingHost::Start> starts = host.Starts();
    ASSERT_EQ(starts.size(), 2u);
    const std::vector<std::wstring> tail = hostscript::ScanTailLines(1);
    for (size_t i = 0; i < starts.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(starts[i].ScriptBytes, ScriptBytes(hostscript::DrawingScriptLines(
                                             HeadLines(), app_->Drawings[i], tail)));
        ASSERT_EQ(starts[i].Arguments.size(), 5u);
        EXPECT_TRUE(
            text::EqualsNoCase(fw::LongPathName(starts[i].Arguments[1]), app_->DrawingScript));
        EXPECT_TRUE(text::EqualsNoCase(fw::LongPathName(starts[i].CurrentFolder), hostFolder));
        // PATH names the support folder first and keeps the old entries, each
        // the same folder as before, and nothing that is not there.
        std::vector<std::wstring> path;
        for (const std::wstring& entry : text::SplitSemicolons(starts[i].Path))
            path.push_back(text::ToLower(fw::LongPathName(entry)));
        ASSERT_GE(path.size(), 2u);
        EXPECT_EQ(path[0], text::ToLower(support + L"\\"));
        EXPECT_EQ(path[1], text::ToLower(tools));
        EXPECT_EQ(starts[i].Path.find(L'?'), std::wstring::npos);
    }
}
