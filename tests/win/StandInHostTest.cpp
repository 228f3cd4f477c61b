// The stand-in host ortx.exe and its extension axmigr.orx, run as real
// processes on scripts like the ones the wizard assembles, against drawings
// written by mkdwg.exe.
#include <windows.h>

#include <string>
#include <vector>

#include "core/Text.h"
#include "framework/Resources.h"
#include "support/StandInHost.h"
#include "support/WinTest.h"

using namespace testenv;

namespace {

constexpr DWORD kCrashCode = 0xC0000005;
const std::wstring kSettingsKey =
    L"Software\\Kelvane\\Kelvane Mechanical\\Desktop\\17\\ORTXA-7001:409\\Migration";

bool Contains(const std::string& haystack, const std::string& needle) {
    return haystack.find(needle) != std::string::npos;
}

std::wstring Quoted(const std::wstring& s) {
    return L"\"" + s + L"\"";
}

// The log path as the head script hands it on: lower case, "/" separators.
std::wstring ForwardSlashes(std::wstring path) {
    for (auto& c : path) {
        if (c == L'\\') c = L'/';
        c = static_cast<wchar_t>(towlower(c));
    }
    return path;
}

struct WindowSearch {
    DWORD Pid;
    std::wstring Title;
    std::wstring Class;  // empty: any
    HWND Found = nullptr;
};

BOOL CALLBACK FindProcessWindow(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<WindowSearch*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != s->Pid || !IsWindowVisible(w)) return TRUE;
    wchar_t title[512] = {}, cls[64] = {};
    GetWindowTextW(w, title, 511);
    GetClassNameW(w, cls, 63);
    if (title == s->Title && (s->Class.empty() || s->Class == cls)) {
        s->Found = w;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectChildTexts(HWND w, LPARAM lp) {
    wchar_t text[1024] = {};
    GetWindowTextW(w, text, 1023);
    reinterpret_cast<std::vector<std::wstring>*>(lp)->push_back(text);
    return TRUE;
}

// What the window watcher sends to answer a dialog with one key.
void PostKey(HWND w, WPARAM key) {
    PostMessageW(w, WM_KEYDOWN, key, 1);
    PostMessageW(w, WM_CHAR, key, 1);
    PostMessageW(w, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
}

class StandInHostTest : public WinTest {
  protected:
    void SetUp() override {
        WinTest::SetUp();
        InstallHost();
        SetMigrationProfileState();
        // The exchange lists and the host's log go to the scratch folder.
        temp_ = dir_.Path().substr(0, dir_.Path().size() - 1);
        previousTemp_ = TempFolder();
        previousTemp_.pop_back();  // without its trailing backslash
        SetEnvironmentVariableW(L"TEMP", temp_.c_str());
        SetEnvironmentVariableW(L"TMP", temp_.c_str());
        title_ = fw::LoadResString(2094);
        ASSERT_FALSE(title_.empty());
    }

    void TearDown() override {
        if (process_) {
            TerminateProcess(process_, 1);
            WaitForSingleObject(process_, 10000);
            CloseHandle(process_);
        }
        if (hostStarted_ && !faultsPlanted_) ExpectCleanHostRuns(transcripts_.Folder());
        // Each test's folder under the same temporary folder, not inside the last one.
        SetEnvironmentVariableW(L"TEMP", previousTemp_.c_str());
        SetEnvironmentVariableW(L"TMP", previousTemp_.c_str());
        WinTest::TearDown();
    }

    // The contract breaches of this test's hosts, without the transcript names.
    std::vector<std::string> Faults() {
        faultsPlanted_ = true;
        std::vector<std::string> faults = CheckTranscripts(transcripts_.Folder()).Faults;
        for (std::string& f : faults) f = f.substr(f.find(": ") + 2);
        return faults;
    }

    // Starts a process with its standard handles on NUL, away from the test
    // runner's pipes.
    static bool StartQuiet(std::wstring commandLine, const std::wstring& folder,
                           PROCESS_INFORMATION& pi) {
        SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
        HANDLE nul =
            CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        &sa, OPEN_EXISTING, 0, nullptr);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = si.hStdOutput = si.hStdError = nul;
        pi = PROCESS_INFORMATION{};
        const bool ok = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                       nullptr, folder.c_str(), &si, &pi) != FALSE;
        if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
        if (ok) CloseHandle(pi.hThread);
        return ok;
    }

    static DWORD RunAndWait(const std::wstring& commandLine, const std::wstring& folder) {
        PROCESS_INFORMATION pi{};
        if (!StartQuiet(commandLine, folder, pi)) return static_cast<DWORD>(-1);
        WaitForSingleObject(pi.hProcess, 60000);
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hProcess);
        return code;
    }

    DWORD Mkdwg(const std::wstring& args) {
        return RunAndWait(Quoted(BinDir() + L"tools\\mkdwg.exe") + L" " + args, dir_.Path());
    }

    // A stand-in drawing in the scratch folder; options as mkdwg takes them.
    std::wstring MakeDrawing(const std::wstring& name, const std::wstring& options = L"") {
        const std::wstring path = dir_ / name;
        EXPECT_EQ(Mkdwg(Quoted(path) + L" " + options), 0u) << Narrow(name);
        return path;
    }

    std::wstring WriteScript(const std::vector<std::wstring>& lines,
                             const std::wstring& name = L"drawing.scr") {
        std::string bytes;
        for (const auto& line : lines) bytes += Ansi(line) + "\r\n";
        const std::wstring path = dir_ / name;
        WriteBytes(path, bytes);
        return path;
    }

    std::wstring MigrationLog() const { return dir_ / L"Mig.log"; }

    // The script the wizard's batch file assembles for one drawing.
    std::vector<std::wstring> DrawingScript(const std::wstring& drawing,
                                            const std::vector<std::wstring>& tail) {
        std::vector<std::wstring> s = {L"_EXPERT",
                                       L"0",
                                       L"_orx",
                                       L"_load",
                                       Quoted(BinDir() + L"ortxa\\migration\\axmigr.orx"),
                                       L"_axvekloginfo",
                                       ForwardSlashes(MigrationLog()),
                                       L"15",
                                       L"(axresetdbmod T)",
                                       L"_.OPEN",
                                       Quoted(drawing)};
        s.insert(s.end(), tail.begin(), tail.end());
        for (const wchar_t* line : {L"_axvekend", L"_logfilemode", L"0", L"_orx", L"_unload",
                                    L"axmigr.orx", L"(axresetdbmod T)", L"_.QUIT"})
            s.push_back(line);
        return s;
    }
    std::vector<std::wstring> UpdateScript(const std::wstring& drawing) {
        return DrawingScript(drawing, {L"_axvekmigr", L"_.QSAVE", L"_axvekmode", L"0", L"_.QSAVE"});
    }

    void StartHost(const std::wstring& script) {
        PROCESS_INFORMATION pi{};
        ASSERT_TRUE(StartQuiet(Quoted(BinDir() + L"ortx.exe") + L" /b " + Quoted(script) +
                                   L" /p \"<<ORTXAPP>>\" /nologo",
                               BinDir(), pi));
        process_ = pi.hProcess;
        pid_ = pi.dwProcessId;
        hostStarted_ = true;
    }

    // The exit code, or STILL_ACTIVE when the host is still running after ms.
    DWORD WaitForExit(DWORD ms) {
        if (WaitForSingleObject(process_, ms) != WAIT_OBJECT_0) return STILL_ACTIVE;
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process_, &code);
        return code;
    }

    HWND WaitForWindow(const std::wstring& title, const std::wstring& cls = L"", DWORD ms = 30000) {
        const ULONGLONG deadline = GetTickCount64() + ms;
        do {
            WindowSearch s{pid_, title, cls};
            EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&s));
            if (s.Found) return s.Found;
            Sleep(100);
        } while (GetTickCount64() < deadline);
        return nullptr;
    }

    std::wstring HostLogPath() {
        std::wstring path;
        GetString(HKEY_CURRENT_USER, kSettingsKey, L"LOGFILENAME", path);
        return path;
    }

    // Waits until the host's log holds the text; returns the log.
    std::string WaitForHostLog(const std::string& text, DWORD ms = 30000) {
        const ULONGLONG deadline = GetTickCount64() + ms;
        std::string log;
        do {
            log = ReadBytes(HostLogPath());
            if (Contains(log, text)) break;
            Sleep(100);
        } while (GetTickCount64() < deadline);
        return log;
    }

    std::wstring List(const wchar_t* name) const { return temp_ + L"\\" + name; }

    HostTranscripts transcripts_;
    bool hostStarted_ = false;
    bool faultsPlanted_ = false;
    ScratchDir dir_;
    std::wstring temp_;
    std::wstring previousTemp_;
    std::wstring title_;
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

}  // namespace

// ---- the contract in a normal run ---------------------------------------------

TEST_F(StandInHostTest, UpdateScriptMigratesSavesAndQuits) {
    const std::wstring drawing = MakeDrawing(L"Bracket plate.dwg", L"--version OX1015 --release 9");
    const std::string before = ReadBytes(drawing);
    StartHost(WriteScript(UpdateScript(drawing)));
    ASSERT_EQ(WaitForExit(60000), 0u);

    EXPECT_EQ(ReadBytes(List(L"MIGRATED.TXT")), Ansi(drawing) + "\r\n");
    const std::string after = ReadBytes(drawing);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after.substr(0, 11), std::string("OX1032\0\0\0\0\0", 11));
    EXPECT_EQ(after.substr(11), before.substr(11));  // release byte, sections and block kept

    const std::string migrationLog = ReadBytes(MigrationLog());
    EXPECT_TRUE(Contains(migrationLog, "axmigr: migrated \"" + Ansi(drawing) +
                                           "\" from OX1015 to OX1032 (mode 1)\r\n"))
        << migrationLog;
    EXPECT_TRUE(Contains(migrationLog, "axmigr: done with \"" + Ansi(drawing) + "\"\r\n"));
}

TEST_F(StandInHostTest, HostLogIsNamedInTheRegistryAndStopsAtLogFileModeZero) {
    const std::wstring drawing = MakeDrawing(L"a.dwg");
    StartHost(WriteScript(UpdateScript(drawing)));
    ASSERT_EQ(WaitForExit(60000), 0u);
    const std::wstring path = HostLogPath();
    ASSERT_EQ(path.rfind(dir_.Path(), 0), 0u) << Narrow(path);  // in TEMP
    const std::vector<std::string> log = SplitCrLf(ReadBytes(path));
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[0].rfind("Orthex stand-in host, process ", 0), 0u);
    EXPECT_EQ(log[2], "Profile: <<ORTXAPP>>");
    const std::string all = ReadBytes(path);
    for (const std::string& line : std::vector<std::string>{
             "Command: _.OPEN", "Argument: \"" + Ansi(drawing) + "\"",
             "Opened \"" + Ansi(drawing) + "\" (OX1015, release 0).",
             "Saved \"" + Ansi(drawing) + "\" (OX1032).", std::string("Logging off.")})
        EXPECT_TRUE(Contains(all, line + "\r\n")) << line;
    EXPECT_EQ(log.back(), "Logging off.");  // nothing after it: no unload, no quit

    // Every host process names a log of its own.
    StartHost(WriteScript({L"_.QUIT"}, L"quit.scr"));
    ASSERT_EQ(WaitForExit(60000), 0u);
    EXPECT_NE(HostLogPath(), path);
    EXPECT_TRUE(FileExists(path));
}

TEST_F(StandInHostTest, ScanAppendsOnlyReferencesNotYetListed) {
    CreateDirectoryW((dir_ / L"sub").c_str(), nullptr);
    const std::wstring b = MakeDrawing(L"b.dwg"), c = MakeDrawing(L"sub\\c.dwg"),
                       d = MakeDrawing(L"d.dwg");
    const std::wstring a = MakeDrawing(L"a.dwg", L"--ref b.dwg --ref sub\\c.dwg --ref " +
                                                     Quoted(d) + L" --ref missing.dwg --ref D.DWG");
    // Listed already, in other letter case; the last line lacks its line end.
    WriteBytes(List(L"MIGRATE.TXT"), Ansi(a) + "\r\n" + Ansi(text::ToLower(b)));

    StartHost(WriteScript(DrawingScript(a, {L"_axvekanalyze"})));
    ASSERT_EQ(WaitForExit(60000), 0u);
    EXPECT_EQ(ReadBytes(List(L"MIGRATE.TXT")), Ansi(a) + "\r\n" + Ansi(text::ToLower(b)));
    EXPECT_TRUE(
        Contains(ReadBytes(MigrationLog()),
                 "axmigr: analysed \"" + Ansi(a) + "\": version OX1015, 5 referenced drawing(s)"));

    StartHost(WriteScript(DrawingScript(a, {L"_axvekscan"})));
    ASSERT_EQ(WaitForExit(60000), 0u);
    EXPECT_EQ(SplitCrLf(ReadBytes(List(L"MIGRATE.TXT"))),
              (std::vector<std::string>{Ansi(a), Ansi(text::ToLower(b)), Ansi(c), Ansi(d)}));
    const std::string log = ReadBytes(MigrationLog());
    EXPECT_TRUE(Contains(log, "axmigr: the drawing \"missing.dwg\" that \"" + Ansi(a) +
                                  "\" references was not found\r\n"))
        << log;
    EXPECT_TRUE(Contains(log, "axmigr: scanned \"" + Ansi(a) +
                                  "\": 5 referenced drawing(s), 2 added to the list\r\n"))
        << log;
}

TEST_F(StandInHostTest, WindowTitleNamesTheOpenDrawingAndTheHostWaitsAtTheEndOfItsScript) {
    StartHost(WriteScript({}, L"empty.scr"));
    HWND w = WaitForWindow(title_);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(WaitForExit(1000), static_cast<DWORD>(STILL_ACTIVE));
    TerminateProcess(process_, 1);
    CloseHandle(process_);
    process_ = nullptr;

    const std::wstring drawing = MakeDrawing(L"My Part.dwg");
    StartHost(WriteScript({L"_.OPEN", Quoted(drawing)}));
    w = WaitForWindow(title_ + L" - [My Part.dwg]");
    ASSERT_NE(w, nullptr);
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result), 0);
    EXPECT_EQ(WaitForExit(1000), static_cast<DWORD>(STILL_ACTIVE));
}

TEST_F(StandInHostTest, OpenFailuresLeaveNoDrawingOpen) {
    const std::wstring lower = MakeDrawing(L"lower.dwg", L"--version ox1015");
    WriteBytes(dir_ / L"junk.dwg", "this is no drawing at all");
    StartHost(
        WriteScript({L"_orx", L"_load", Quoted(BinDir() + L"ortxa\\migration\\axmigr.orx"),
                     L"_.OPEN", Quoted(dir_ / L"none.dwg"), L"_.OPEN", Quoted(dir_ / L"junk.dwg"),
                     L"_.OPEN", Quoted(lower), L"_axvekmigr", L"_.QSAVE", L"_.QUIT"}));
    ASSERT_EQ(WaitForExit(60000), 0u);
    const std::string log = ReadBytes(HostLogPath());
    EXPECT_TRUE(Contains(log, "Cannot open \"" + Ansi(dir_ / L"none.dwg") + "\": ")) << log;
    EXPECT_TRUE(Contains(log, "Cannot open \"" + Ansi(dir_ / L"junk.dwg") +
                                  "\": not a drawing file of a known version.\r\n"));
    EXPECT_TRUE(Contains(
        log, "Cannot open \"" + Ansi(lower) + "\": not a drawing file of a known version.\r\n"));
    EXPECT_TRUE(Contains(log, "axmigr: no drawing is open\r\n"));
    EXPECT_TRUE(Contains(log, "Cannot save: no drawing is open.\r\n"));
    EXPECT_FALSE(FileExists(List(L"MIGRATED.TXT")));
}

TEST_F(StandInHostTest, ExtensionLoadFailuresAndUnknownLines) {
    StartHost(WriteScript({L"_orx", L"_load", Quoted(dir_ / L"nothere.orx"), L"_axvekmigr",
                           L"(somefunction 1)", L"_orx", L"_unload", L"nothere.orx", L"_.QUIT"}));
    ASSERT_EQ(WaitForExit(60000), 0u);
    const std::string log = ReadBytes(HostLogPath());
    EXPECT_TRUE(Contains(log, "Cannot load \"" + Ansi(dir_ / L"nothere.orx") + "\": ")) << log;
    EXPECT_TRUE(Contains(log, "Cannot unload \"nothere.orx\": not loaded.\r\n"));
    EXPECT_TRUE(Contains(log, "Quit.\r\n"));
    EXPECT_EQ(Faults(), (std::vector<std::string>{"Unknown command \"_axvekmigr\".",
                                                  "Unknown command \"(somefunction 1)\"."}));
}

// Each line refused, and only the closing "(axresetdbmod T)" right after the
// unload let pass: the check every run test makes of its hosts.
TEST_F(StandInHostTest, RefusedArgumentsAndUnknownLinesAreContractFaults) {
    const std::wstring extension = Quoted(BinDir() + L"ortxa\\migration\\axmigr.orx");
    struct Row {
        std::vector<std::wstring> Lines;
        const char* Fault;  // how the breach is logged; nullptr: none
    };
    const std::vector<Row> rows = {
        {{L"_EXPERT", L"7"}, "Bad argument \"7\" of _EXPERT"},
        {{L"_orx", L"_reload"}, "Bad argument \"_reload\" of _orx"},
        {{L"_.OPEN", L"C:\\a b.dwg"}, "Bad argument \"C:\\a b.dwg\" of _.OPEN"},
        {{L"_.OPEN", L"\"C:\\a.dwg"}, "Bad argument \"\"C:\\a.dwg\" of _.OPEN"},
        {{L"_-purge _X * _N"}, "Bad argument \"_X * _N\" of _-purge"},
        {{L"_-purge _B * _Y"}, "Bad argument \"_B * _Y\" of _-purge"},
        {{L"_logfilemode", L"2"}, "Bad argument \"2\" of _logfilemode"},
        {{L"_orx", L"_load", extension, L"(axresetdbmod T)"}, nullptr},
        {{L"_axvekloginfo", L"c:\\temp\\mig.log", L"15"},
         "axmigr: Bad argument \"c:\\temp\\mig.log\" of _axvekloginfo"},
        {{L"_axvekloginfo", L"c:/temp/mig.log", L"x1"},
         "axmigr: Bad argument \"x1\" of _axvekloginfo"},
        {{L"_axvekmode", L"3"}, "axmigr: Bad argument \"3\" of _axvekmode"},
        {{L"_axsetupdwg", L"_X", L"a.dwg"}, "axmigr: Bad argument \"_X\" of _axsetupdwg"},
        {{L"_axsetupdwg", L"_T", L"c:\\nowhere\\?ert.dwt"},
         "axmigr: Bad argument \"c:\\nowhere\\?ert.dwt\" of _axsetupdwg"},
        {{L"(somefunction 1)"}, "Unknown command \"(somefunction 1)\"."},
        {{L"_orx", L"_unload", L"axmigr.orx", L"(axresetdbmod T)"}, nullptr},
        {{L"(axresetdbmod T)"}, "Unknown command \"(axresetdbmod T)\"."},
        {{L"_.QUIT"}, nullptr},
    };
    std::vector<std::wstring> script;
    std::vector<std::string> expected;
    for (const Row& row : rows) {
        script.insert(script.end(), row.Lines.begin(), row.Lines.end());
        if (row.Fault) expected.push_back(row.Fault);
    }
    StartHost(WriteScript(script));
    ASSERT_EQ(WaitForExit(60000), 0u);
    const std::vector<std::string> faults = Faults();
    ASSERT_EQ(faults.size(), expected.size()) << ::testing::PrintToString(faults);
    for (size_t i = 0; i < faults.size(); ++i)
        EXPECT_EQ(faults[i].rfind(expected[i], 0), 0u) << faults[i];
}

// ---- the migration profile ------------------------------------------------------

// Every value not in its migration state shows its own dialog, owned by the
// host's window, and holds the script until it is answered.
TEST_F(StandInHostTest, ProfileValuesOutsideTheMigrationStateShowTheirDialogs) {
    SetMigrationProfileState(false);
    SetDword(HKEY_CURRENT_USER,
             L"Software\\Kelvane\\Orthex\\R25.1\\ORTXA-7001:409\\FixedProfile\\General "
             L"Configuration",
             L"FileDialog", 0);  // the file dialog has a test of its own
    const std::wstring drawing = MakeDrawing(L"asked.dwg");
    StartHost(WriteScript(UpdateScript(drawing)));
    struct Expected {
        const wchar_t* Title;
        const char* Value;
    };
    const std::vector<Expected> dialogs = {
        {L"Startup", "NoStartUpDialog is 0"},
        {L"Command Line Input", "CommandDialogs is 0"},
        {L"Text Window Log", "LogFileOpen is 1"},
        {L"Log File Location", "LogFilePath is \"C:\\no such folder\\\""},
        {L"Open Drawings", "SDIMode is 0"},
        {L"Proxy Information", "ShowProxyDialog is 1"},
        {L"Alternate Font", "EmergencyFont is \"\""},
        {L"External Reference Loading", "XrefLazyLoadMode is 2"},
        {L"Verify Assembly Structure", "AXXASSEMBLE_VERIFIED is 0"},
        {L"Page Setup", "ShowPlotSetup is 1"},
        {L"BOM Migration", "Show Dialog is 1"},
    };
    for (size_t i = 0; i < dialogs.size(); ++i) {
        HWND dialog = WaitForWindow(dialogs[i].Title, L"#32770");
        ASSERT_NE(dialog, nullptr) << Narrow(dialogs[i].Title);
        EXPECT_EQ(GetWindow(dialog, GW_OWNER),
                  WaitForWindow(title_ + (i < 4 ? L"" : L" - [asked.dwg]")));
        std::vector<std::wstring> texts;
        EnumChildWindows(dialog, CollectChildTexts, reinterpret_cast<LPARAM>(&texts));
        ASSERT_EQ(texts.size(), 3u);
        EXPECT_EQ(Narrow(texts[1]), dialogs[i].Value + std::string(" in profile \"<<ORTXAPP>>\"."));
        if (i == 0) {  // the script waits
            Sleep(1000);
            EXPECT_FALSE(Contains(
                ReadBytes(transcripts_.Folder() + L"ortx-" + std::to_wstring(pid_) + L".log"),
                "Command:"));
        }
        PostKey(dialog, i % 2 ? VK_ESCAPE : VK_RETURN);
    }
    EXPECT_EQ(WaitForExit(60000), 0u);
    EXPECT_EQ(ReadBytes(List(L"MIGRATED.TXT")), Ansi(drawing) + "\r\n");
    EXPECT_EQ(Faults().size(), dialogs.size());
}

// With the file dialog on, "_.OPEN" asks for the file; the script's file
// name is then read as a command of its own and nothing is migrated.
TEST_F(StandInHostTest, TheFileDialogLeavesTheScriptsFileNameAsAnUnknownCommand) {
    SetDword(HKEY_CURRENT_USER,
             L"Software\\Kelvane\\Orthex\\R25.1\\ORTXA-7001:409\\FixedProfile\\General "
             L"Configuration",
             L"FileDialog", 1);
    const std::wstring drawing = MakeDrawing(L"chosen.dwg");
    StartHost(WriteScript(UpdateScript(drawing)));
    HWND dialog = WaitForWindow(L"Select File", L"#32770");
    ASSERT_NE(dialog, nullptr);
    PostKey(dialog, VK_ESCAPE);
    EXPECT_EQ(WaitForExit(60000), 0u);
    EXPECT_FALSE(FileExists(List(L"MIGRATED.TXT")));
    EXPECT_EQ(Faults(), (std::vector<std::string>{
                            "Profile dialog \"Select File\": FileDialog is 1 in profile "
                            "\"<<ORTXAPP>>\".",
                            "Unknown command \"" + Ansi(Quoted(drawing)) + "\"."}));
}

// The check of the end-to-end tests: the transcripts in the folder that
// ORTX_TRANSCRIPT names (run by tests/e2e, not by ctest's listing).
TEST(HostTranscripts, DISABLED_InTheEnvironmentsFolderAreClean) {
    wchar_t folder[MAX_PATH * 4] = {};
    ASSERT_GT(GetEnvironmentVariableW(L"ORTX_TRANSCRIPT", folder, MAX_PATH * 4), 0u);
    ExpectCleanHostRuns(folder);
}

TEST_F(StandInHostTest, ScriptPathsWithBlanksAndSpecialCharacters) {
    const std::wstring folder = dir_ / L"a b & 50% ^c \u0416";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring script = folder + L"\\run me.scr";
    WriteBytes(script, "_EXPERT\r\n0\r\n_.QUIT\r\n");
    StartHost(script);
    ASSERT_EQ(WaitForExit(60000), 0u);
    const std::string log = ReadBytes(HostLogPath());
    EXPECT_TRUE(Contains(log, "Expert level 0.\r\n")) << log;
    EXPECT_TRUE(Contains(log, "Quit.\r\n"));
}

// ---- faults the drawings carry --------------------------------------------------

TEST_F(StandInHostTest, HangKeepsTheWindowAnsweringAndTheHostRunning) {
    const std::wstring drawing = MakeDrawing(L"hang.dwg", L"--hang");
    StartHost(WriteScript(UpdateScript(drawing)));
    HWND w = WaitForWindow(title_ + L" - [hang.dwg]");
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(
        Contains(WaitForHostLog("[stand-in] hanging at open"), "[stand-in] hanging at open"));
    EXPECT_EQ(WaitForExit(2000), static_cast<DWORD>(STILL_ACTIVE));
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result), 0);
    EXPECT_FALSE(FileExists(List(L"MIGRATED.TXT")));
}

TEST_F(StandInHostTest, CrashEndsTheProcessAbnormally) {
    const std::wstring drawing = MakeDrawing(L"crash.dwg", L"--crash");
    const std::string before = ReadBytes(drawing);
    StartHost(WriteScript(UpdateScript(drawing)));
    EXPECT_EQ(WaitForExit(60000), kCrashCode);
    EXPECT_FALSE(FileExists(List(L"MIGRATED.TXT")));
    EXPECT_EQ(ReadBytes(drawing), before);
}

TEST_F(StandInHostTest, CrashAtSaveComesAfterTheMigration) {
    const std::wstring drawing = MakeDrawing(L"late.dwg", L"--crash --at save");
    const std::string before = ReadBytes(drawing);
    StartHost(WriteScript(UpdateScript(drawing)));
    EXPECT_EQ(WaitForExit(60000), kCrashCode);
    EXPECT_EQ(ReadBytes(List(L"MIGRATED.TXT")), Ansi(drawing) + "\r\n");
    EXPECT_EQ(ReadBytes(drawing), before);
}

TEST_F(StandInHostTest, DialogHoldsTheScriptUntilEnterAnswersIt) {
    const std::wstring drawing = MakeDrawing(
        L"ask.dwg",
        L"--dialog \"Drawing Question\" --dialog-text {host:20010} --dialog-text \"Keep it?\"");
    StartHost(WriteScript(UpdateScript(drawing)));
    HWND dialog = WaitForWindow(L"Drawing Question", L"#32770");
    ASSERT_NE(dialog, nullptr);
    EXPECT_NE(GetWindow(dialog, GW_OWNER), nullptr);  // owned by the host's main window

    wchar_t hostText[1024] = {};
    HMODULE hostResources = LoadLibraryExW((BinDir() + L"ortxa\\ortxares.dll").c_str(), nullptr,
                                           LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(hostResources, nullptr);
    ASSERT_GT(LoadStringW(hostResources, 20010, hostText, 1023), 0);
    FreeLibrary(hostResources);
    std::vector<std::wstring> texts;
    EnumChildWindows(dialog, CollectChildTexts, reinterpret_cast<LPARAM>(&texts));
    EXPECT_EQ(texts, (std::vector<std::wstring>{hostText, L"Keep it?", L"OK"}));

    EXPECT_EQ(WaitForExit(1500), static_cast<DWORD>(STILL_ACTIVE));
    PostKey(dialog, 0);  // a key that answers nothing
    EXPECT_EQ(WaitForExit(1500), static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_TRUE(IsWindow(dialog));
    PostKey(dialog, VK_RETURN);
    EXPECT_EQ(WaitForExit(60000), 0u);
    EXPECT_EQ(ReadBytes(List(L"MIGRATED.TXT")), Ansi(drawing) + "\r\n");
}

TEST_F(StandInHostTest, DialogBeforeTheMigrationClosesWithEscape) {
    const std::wstring drawing = MakeDrawing(L"later.dwg", L"--dialog Careful --at migr");
    StartHost(WriteScript(UpdateScript(drawing)));
    HWND dialog = WaitForWindow(L"Careful", L"#32770");
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(FileExists(List(L"MIGRATED.TXT")));
    PostKey(dialog, VK_ESCAPE);
    EXPECT_EQ(WaitForExit(60000), 0u);
    EXPECT_EQ(ReadBytes(List(L"MIGRATED.TXT")), Ansi(drawing) + "\r\n");
    EXPECT_TRUE(Contains(ReadBytes(HostLogPath()), "[stand-in] dialog closed with Cancel\r\n"));
}

TEST_F(StandInHostTest, DialogButtonAnswersItsFirstCharacter) {
    // The question the window watcher answers with the first character of 2136.
    const std::wstring drawing = MakeDrawing(L"modified.dwg",
                                             L"--dialog {res:2132} --dialog-button {res:2136} "
                                             L"--dialog-button Never");
    StartHost(WriteScript(UpdateScript(drawing)));
    const std::wstring answer = fw::LoadResString(2136);
    HWND dialog = WaitForWindow(fw::LoadResString(2132), L"#32770");
    ASSERT_NE(dialog, nullptr);
    std::vector<std::wstring> texts;
    EnumChildWindows(dialog, CollectChildTexts, reinterpret_cast<LPARAM>(&texts));
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"OK", L"&" + answer, L"&Never"}));
    PostKey(dialog, answer[0]);
    EXPECT_EQ(WaitForExit(60000), 0u);
    EXPECT_TRUE(Contains(ReadBytes(HostLogPath()),
                         "[stand-in] dialog closed with " + Ansi(answer) + "\r\n"));
}

TEST_F(StandInHostTest, LogErrorLineIsWrittenAndTheHostHangs) {
    const std::wstring drawing =
        MakeDrawing(L"bad.dwg", L"--log-error \"FATAL ERROR: out of nodes\"");
    StartHost(WriteScript(UpdateScript(drawing)));
    const std::string log = WaitForHostLog("FATAL ERROR: out of nodes\r\n");
    EXPECT_TRUE(Contains(log, "\r\nFATAL ERROR: out of nodes\r\n")) << log;
    EXPECT_EQ(WaitForExit(1500), static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_NE(WaitForWindow(title_ + L" - [bad.dwg]"), nullptr);
}

TEST_F(StandInHostTest, FailingSaveLeavesTheDrawingAsItWas) {
    const std::wstring drawing = MakeDrawing(L"locked.dwg", L"--save-fails --version OX1.40");
    const std::string before = ReadBytes(drawing);
    StartHost(WriteScript(UpdateScript(drawing)));
    ASSERT_EQ(WaitForExit(60000), 0u);
    EXPECT_EQ(ReadBytes(drawing), before);
    EXPECT_TRUE(
        Contains(ReadBytes(HostLogPath()),
                 "Cannot save \"" + Ansi(drawing) + "\": the drawing could not be written.\r\n"));
    EXPECT_EQ(ReadBytes(List(L"MIGRATED.TXT")), Ansi(drawing) + "\r\n");
}

TEST_F(StandInHostTest, DelayHoldsTheScriptForAWhile) {
    const std::wstring drawing = MakeDrawing(L"slow.dwg", L"--delay 3");
    StartHost(WriteScript(UpdateScript(drawing)));
    HWND w = WaitForWindow(title_ + L" - [slow.dwg]");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(WaitForExit(1000), static_cast<DWORD>(STILL_ACTIVE));
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result), 0);
    EXPECT_EQ(WaitForExit(60000), 0u);
    EXPECT_TRUE(Contains(ReadBytes(HostLogPath()), "[stand-in] busy for 3 s at open\r\n"));
    EXPECT_EQ(ReadBytes(List(L"MIGRATED.TXT")), Ansi(drawing) + "\r\n");
}

// ---- mkdwg ------------------------------------------------------------------------

TEST_F(StandInHostTest, MkdwgWritesTheHeaderAndRefusesBadOptions) {
    const std::wstring drawing =
        MakeDrawing(L"m.dwg", L"--version OX1024 --release 46 --preview bmp24");
    const std::string b = ReadBytes(drawing);
    ASSERT_GT(b.size(), 17u);
    EXPECT_EQ(b.substr(0, 7), std::string("OX1024\0", 7));
    EXPECT_EQ(static_cast<unsigned char>(b[11]), 46);
    EXPECT_EQ(b.substr(13, 4), std::string("\x20\0\0\0", 4));
    EXPECT_EQ(b.substr(b.size() - 8), "OXSTAND1");
    EXPECT_EQ(Mkdwg(Quoted(dir_ / L"x.dwg") + L" --release 300"), 2u);
    EXPECT_FALSE(FileExists(dir_ / L"x.dwg"));
}
