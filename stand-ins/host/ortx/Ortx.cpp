// ortx.exe, the stand-in for the host program: it runs a command script in a
// real top-level window, opens and saves stand-in drawings, loads runtime
// extensions through OrxApi.h, writes its own log (named in the registry value
// "LOGFILENAME") and misbehaves when a drawing asks it to.
//
//   ortx.exe /b "script" /p "profile" /nologo
//
// It reads the profile at start as a real host does, and shows the dialogs
// that the profile's values call for (HostProfile.h). With ORTX_TRANSCRIPT
// naming a folder it also keeps everything it logs, whatever the log mode, in
// ortx-<pid>.log there, for tests to check afterwards.
//
// The script runs one line per posted message, so the window stays responsive
// throughout; a delay, a dialog or a hang only holds the script back.
#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/Text.h"
#include "stand-ins/core/StandInText.h"
#include "stand-ins/drawings/core/StandInDrawing.h"
#include "stand-ins/host/OrxApi.h"
#include "stand-ins/host/core/HostProfile.h"
#include "stand-ins/host/core/HostScript.h"
#include "stand-ins/host/win/HostFiles.h"

namespace standin {
namespace {

constexpr UINT kStepMessage = WM_APP + 1;
constexpr UINT_PTR kDelayTimer = 1;
constexpr UINT kHostTitleId = 2094;
constexpr int kStatusId = 100;
constexpr int kHistoryId = 101;
constexpr WORD kFirstButtonId = 200;  // the fault dialog's buttons beside OK
constexpr const wchar_t kReleaseKey[] = L"SOFTWARE\\Kelvane\\Orthex\\R25.1";
constexpr const wchar_t kEditionKeyPrefix[] =
    L"Software\\Kelvane\\Kelvane Mechanical\\Desktop\\17\\ORTXA-";
constexpr const wchar_t kDefaultProfile[] = L"<<ORTXA>>";
constexpr const wchar_t kFallbackTitle[] = L"Kelvane Mechanical";
constexpr const wchar_t kWindowClass[] = L"OrtxStandInHost";
constexpr size_t kMaxScriptSize = 16u << 20;
constexpr DWORD kCrashCode = 0xC0000005;  // what an access violation leaves behind

std::wstring Quoted(const std::wstring& s) {
    return L"\"" + s + L"\"";
}

// A dialog template in memory: title, one static per text, an OK button and
// the further buttons, each with its first character as mnemonic, so that a
// posted character presses it as a user's key would.
std::vector<WORD> BuildDialogTemplate(const std::wstring& title,
                                      const std::vector<std::wstring>& texts,
                                      const std::vector<std::wstring>& buttons) {
    std::vector<WORD> t;
    auto dword = [&t](DWORD v) {
        t.push_back(LOWORD(v));
        t.push_back(HIWORD(v));
    };
    auto text = [&t](const std::wstring& s) {
        t.insert(t.end(), s.begin(), s.end());
        t.push_back(0);
    };
    auto align = [&t] {
        if (t.size() % 2) t.push_back(0);
    };
    const short buttonStep = 56;
    const short width =
        static_cast<short>(std::max<size_t>(240, 16 + buttonStep * (buttons.size() + 1)));
    const short lineHeight = 24;
    const short height = static_cast<short>(8 + lineHeight * texts.size() + 26);
    dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER);
    dword(0);
    t.push_back(static_cast<WORD>(texts.size() + 1 + buttons.size()));
    t.push_back(0), t.push_back(0), t.push_back(width), t.push_back(static_cast<WORD>(height));
    t.push_back(0);  // no menu
    t.push_back(0);  // the dialog class
    text(title);
    t.push_back(8);
    text(L"MS Shell Dlg");
    auto item = [&](DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom,
                    const std::wstring& caption) {
        align();
        dword(style | WS_CHILD | WS_VISIBLE);
        dword(0);
        t.push_back(static_cast<WORD>(x)), t.push_back(static_cast<WORD>(y));
        t.push_back(static_cast<WORD>(cx)), t.push_back(static_cast<WORD>(cy));
        t.push_back(id);
        t.push_back(0xFFFF), t.push_back(atom);
        text(caption);
        t.push_back(0);  // no creation data
    };
    for (size_t i = 0; i < texts.size(); ++i)
        item(SS_LEFT, 8, static_cast<short>(8 + lineHeight * i), width - 16, lineHeight - 4,
             static_cast<WORD>(1000 + i), 0x0082, texts[i]);
    short x = static_cast<short>((width - buttonStep * (buttons.size() + 1) + 6) / 2);
    item(BS_DEFPUSHBUTTON | WS_TABSTOP, x, static_cast<short>(height - 22), 50, 14, IDOK, 0x0080,
         L"OK");
    for (size_t i = 0; i < buttons.size(); ++i) {
        x = static_cast<short>(x + buttonStep);
        const std::wstring& b = buttons[i];
        item(BS_PUSHBUTTON | WS_TABSTOP, x, static_cast<short>(height - 22), 50, 14,
             static_cast<WORD>(kFirstButtonId + i), 0x0080,
             b.find(L'&') == std::wstring::npos ? L"&" + b : b);
    }
    return t;
}

class Host {
  public:
    int Run(HINSTANCE instance);

  private:
    struct Drawing {
        std::wstring Path;  // as "_.OPEN" gave it
        std::vector<uint8_t> Bytes;
        DrawingInfo Info;
        std::string SaveVersion;
        bool Struck = false;  // its faults have struck already
    };
    struct Extension {
        std::wstring Path;
        ModuleHandle Module;
        OrxCommandProc Command = nullptr;
    };
    enum class FaultStep { Delay, Dialog, LogError, Crash, Hang, Done };

    static LRESULT CALLBACK WindowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    static INT_PTR CALLBACK FaultDialogProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnMessage(HWND w, UINT msg, WPARAM wp, LPARAM lp);

    void StartLog();
    void ReadProfile();
    bool ShowProfileDialogs(ProfileMoment moment);
    static INT_PTR CALLBACK ProfileDialogProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    void LoadResources();
    bool CreateMainWindow(HINSTANCE instance);
    void ReadScript();

    void ScheduleStep();
    void Step();
    void Execute(const std::wstring& line);
    std::wstring TakeArgument(bool* present = nullptr);

    void BadArgument(const std::wstring& argument, const wchar_t* command, const wchar_t* why);
    void Expert();
    void Orx();
    void LoadExtension(const std::wstring& path);
    void UnloadExtension(const std::wstring& name);
    void OpenCommand();
    void Open(const std::wstring& path);
    void Save();
    void Quit();
    bool OfferToExtensions(const std::wstring& line);

    void StrikeThen(FaultStage stage, std::function<void()> then);
    void Advance();
    void Hang(const wchar_t* why);
    void ShowFaultDialog();
    void CloseFaultDialog(int id);

    void Log(const std::wstring& line, bool force = false);
    void AddHistory(const std::wstring& line);
    void SetStatus(const std::wstring& text);
    void UpdateTitle();
    std::wstring ResolveText(const std::wstring& text);
    std::wstring LoadText(HMODULE module, unsigned id);

    static const wchar_t* CallNextLine(void* context);
    static const wchar_t* CallDrawingPath(void* context);
    static const unsigned char* CallDrawingBytes(void* context, size_t* size);
    static int CallSetDrawingVersion(void* context, const char* magic);
    static void CallLog(void* context, const wchar_t* line);

    HINSTANCE instance_ = nullptr;
    HWND main_ = nullptr;
    HWND status_ = nullptr;
    HWND history_ = nullptr;
    HWND faultDialog_ = nullptr;
    std::vector<std::wstring> faultButtons_;
    std::vector<std::wstring> early_;  // lines logged before the window was there
    std::wstring exeFolder_;
    HostArgs args_;
    std::wstring productKey_;  // HKLM and HKCU: the release key and "CurVer"
    std::wstring editionKey_;  // HKCU: the edition's desktop key
    std::wstring logPath_;
    std::wstring transcriptPath_;        // empty: no transcript
    std::wstring timesPath_;             // beside it: each line with the host's own clock
    std::vector<ProfileValue> profile_;  // one per rule of ProfileRules()
    std::wstring profileName_;
    bool started_ = false;
    bool logging_ = true;
    std::wstring titleBase_ = kFallbackTitle;
    ModuleHandle wizardResources_;
    ModuleHandle hostResources_;

    std::vector<std::wstring> lines_;
    size_t next_ = 0;
    bool waiting_ = false;
    bool quitting_ = false;
    bool endLogged_ = false;
    std::wstring argument_;

    std::optional<Drawing> drawing_;
    std::vector<Extension> extensions_;

    FaultStep faultStep_ = FaultStep::Done;
    FaultStage faultStage_ = FaultStage::Open;
    std::function<void()> pending_;
};

int Host::Run(HINSTANCE instance) {
    instance_ = instance;
    exeFolder_ = ModuleFolder(nullptr);
    args_ = ParseHostCommandLine(GetCommandLineW());
    StartLog();
    LoadResources();
    ReadProfile();
    if (!CreateMainWindow(instance)) return 1;
    if (args_.HasScript) ReadScript();
    ScheduleStep();

    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (faultDialog_ && IsDialogMessageW(faultDialog_, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

void Host::StartLog() {
    // The keys as the host itself names them: the installation's texts as they
    // stand, no numbers parsed, so a wizard that reads them otherwise misses them.
    std::wstring curVer, productId, localeId;
    ReadRegString(HKEY_CURRENT_USER, kReleaseKey, L"CurVer", curVer);
    productKey_ = std::wstring(kReleaseKey) + L"\\" + curVer;
    ReadRegString(HKEY_LOCAL_MACHINE, productKey_, L"ProductId", productId);
    ReadRegString(HKEY_LOCAL_MACHINE, productKey_, L"LocaleId", localeId);
    editionKey_ = kEditionKeyPrefix + productId + L":" + localeId;
    const std::wstring settingsKey = editionKey_ + L"\\Migration";

    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    logPath_ = std::wstring(temp) + L"ortx-" + std::to_wstring(GetCurrentProcessId()) + L".log";
    // A stale file of an earlier process with the same id starts afresh.
    FileHandle(CreateFileW(logPath_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    WriteRegString(HKEY_CURRENT_USER, settingsKey, L"LOGFILENAME", logPath_);
    if (const wchar_t* folder = _wgetenv(L"ORTX_TRANSCRIPT"); folder && *folder) {
        transcriptPath_ =
            std::wstring(folder) + L"\\ortx-" + std::to_wstring(GetCurrentProcessId()) + L".log";
        FileHandle(CreateFileW(transcriptPath_.c_str(), GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
        // The same lines, each after the time it was logged (milliseconds
        // since 1970, UTC), for whoever times the run against the hosts.
        // Named by the start as well: Wine gives ids of ended processes again.
        timesPath_ = transcriptPath_.substr(0, transcriptPath_.size() - 4) + L"-" +
                     std::to_wstring(GetTickCount64()) + L".times";
        FileHandle(CreateFileW(timesPath_.c_str(), GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    }

    Log(L"Orthex stand-in host, process " + std::to_wstring(GetCurrentProcessId()));
    Log(L"Command line: " + std::wstring(GetCommandLineW()));
    Log(L"Profile: " + (args_.HasProfile ? args_.Profile : std::wstring(L"(none)")));
    for (const std::wstring& t : args_.Ignored) Log(L"Ignored command-line argument " + Quoted(t));
}

void Host::ReadProfile() {
    profileName_ = args_.HasProfile ? args_.Profile : kDefaultProfile;
    const std::wstring profileKey = productKey_ + L"\\Profiles\\" + profileName_;
    auto keyOf = [&](ProfileKey key) -> std::wstring {
        switch (key) {
            case ProfileKey::General:
                return profileKey + L"\\General";
            case ProfileKey::DrawingWindow:
                return profileKey + L"\\Drawing Window";
            case ProfileKey::EditorConfiguration:
                return profileKey + L"\\Editor Configuration";
            case ProfileKey::FixedGeneral:
                return productKey_ + L"\\FixedProfile\\General Configuration";
            case ProfileKey::Assembly:
                return editionKey_ + L"\\Assembly";
            case ProfileKey::BomMigration:
                return editionKey_ + L"\\BOM Migration";
        }
        return std::wstring();
    };
    profile_.clear();
    for (const ProfileRule& rule : ProfileRules()) {
        ProfileValue value;
        const std::wstring key = keyOf(rule.Key);
        if (rule.Check == ProfileCheck::Equals) {
            DWORD number = 0;
            if (ReadRegDword(HKEY_CURRENT_USER, key, rule.Name, number)) value.Number = number;
        } else {
            std::wstring text;
            if (ReadRegString(HKEY_CURRENT_USER, key, rule.Name, text)) value.Text = text;
        }
        profile_.push_back(std::move(value));
    }
}

// Shows, one after the other, the dialogs that the profile calls for at this
// moment; each holds the script until it is answered. True when one was shown.
bool Host::ShowProfileDialogs(ProfileMoment moment) {
    const std::vector<ProfileRule>& rules = ProfileRules();
    bool shown = false;
    for (size_t i = 0; i < rules.size() && i < profile_.size(); ++i) {
        const ProfileRule& rule = rules[i];
        if (rule.Moment != moment || InMigrationState(rule, profile_[i], FolderExists)) continue;
        std::wstring title = LoadText(hostResources_.Get(), rule.TitleId);
        if (title.empty()) title = L"Orthex dialog " + std::to_wstring(rule.TitleId);
        const std::wstring why =
            DescribeValue(rule, profile_[i]) + L" in profile " + Quoted(profileName_);
        Log(kProfileDialog + Quoted(title) + L": " + why + L".");
        const std::vector<WORD> tmpl = BuildDialogTemplate(
            title, {LoadText(hostResources_.Get(), rule.TextId), why + L"."}, {});
        waiting_ = true;
        const INT_PTR answer =
            DialogBoxIndirectParamW(instance_, reinterpret_cast<const DLGTEMPLATE*>(tmpl.data()),
                                    main_, ProfileDialogProc, 0);
        waiting_ = false;
        if (answer == -1)
            Log(L"[stand-in] the dialog could not be shown: " + ErrorText(GetLastError()));
        else
            Log(std::wstring(L"[stand-in] dialog closed with ") +
                (answer == IDOK ? L"OK" : L"Cancel"));
        shown = true;
    }
    return shown;
}

INT_PTR CALLBACK Host::ProfileDialogProc(HWND w, UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_INITDIALOG) {
        SetForegroundWindow(w);
        return TRUE;
    }
    if (msg == WM_COMMAND && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
        EndDialog(w, LOWORD(wp));
        return TRUE;
    }
    return FALSE;
}

void Host::LoadResources() {
    std::wstring language;
    if (!ReadRegString(HKEY_CURRENT_USER, kReleaseKey, L"Language", language) || language.empty())
        language = L"en-US";
    const std::wstring wizardLibrary = exeFolder_ + L"ortxa\\" + language + L"\\axTarvoRes.dll";
    const DWORD asData = LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE;
    wizardResources_ = ModuleHandle(LoadLibraryExW(wizardLibrary.c_str(), nullptr, asData));
    if (!wizardResources_)
        Log(L"Cannot load " + Quoted(wizardLibrary) + L": " + ErrorText(GetLastError()) + L".");
    const std::wstring hostLibrary = exeFolder_ + L"ortxa\\ortxares.dll";
    hostResources_ = ModuleHandle(LoadLibraryExW(hostLibrary.c_str(), nullptr, asData));
    const std::wstring title = LoadText(wizardResources_.Get(), kHostTitleId);
    if (!title.empty()) titleBase_ = title;
}

bool Host::CreateMainWindow(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    RegisterClassExW(&wc);
    main_ = CreateWindowExW(0, kWindowClass, titleBase_.c_str(), WS_OVERLAPPEDWINDOW, 40, 40, 720,
                            420, nullptr, nullptr, instance, this);
    if (!main_) return false;
    const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    status_ =
        CreateWindowExW(0, L"STATIC", L"Ready", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP, 8, 8,
                        690, 18, main_, reinterpret_cast<HMENU>(kStatusId), instance, nullptr);
    history_ = CreateWindowExW(
        WS_EX_CLIENTEDGE, L"EDIT", L"",
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 8, 32,
        690, 340, main_, reinterpret_cast<HMENU>(kHistoryId), instance, nullptr);
    SendMessageW(status_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(history_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    for (const std::wstring& line : early_) AddHistory(line);
    early_.clear();
    ShowWindow(main_, SW_SHOWNORMAL);
    UpdateWindow(main_);
    return true;
}

void Host::ReadScript() {
    Log(L"Script: " + args_.Script);
    std::vector<uint8_t> bytes;
    DWORD error = 0;
    if (!ReadWholeFile(args_.Script, bytes, error, kMaxScriptSize)) {
        Log(L"Cannot read the script " + Quoted(args_.Script) + L": " + ErrorText(error) + L".");
        return;
    }
    for (const std::string& line :
         SplitLines(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())))
        lines_.push_back(FromAnsi(line));
}

// ---- the script ---------------------------------------------------------------

void Host::ScheduleStep() {
    PostMessageW(main_, kStepMessage, 0, 0);
}

void Host::Step() {
    if (waiting_ || quitting_) return;
    if (!started_) {
        started_ = true;
        ShowProfileDialogs(ProfileMoment::Start);
    }
    if (next_ >= lines_.size()) {
        if (!endLogged_) {
            endLogged_ = true;
            if (args_.HasScript) Log(L"End of script.");
            SetStatus(L"Command:");
        }
        return;
    }
    const std::wstring line = lines_[next_++];
    SetStatus(L"Line " + std::to_wstring(next_) + L" of " + std::to_wstring(lines_.size()) + L": " +
              Trim(line));
    Execute(line);
    if (!waiting_ && !quitting_) ScheduleStep();
}

std::wstring Host::TakeArgument(bool* present) {
    if (next_ >= lines_.size()) {
        if (present) *present = false;
        return std::wstring();
    }
    if (present) *present = true;
    std::wstring arg = Trim(lines_[next_++]);
    Log(L"Argument: " + arg);
    return arg;
}

void Host::Execute(const std::wstring& raw) {
    const std::wstring line = Trim(raw);
    if (line.empty()) return;
    Log(L"Command: " + line);
    const std::wstring name = CommandName(line);
    if (!IsExpression(line)) {
        if (name == L"EXPERT") return Expert();
        if (name == L"ORX") return Orx();
        if (name == L"OPEN") return OpenCommand();
        if (name == L"QSAVE") return StrikeThen(FaultStage::Save, [this] { Save(); });
        if (name == L"-PURGE") {
            const std::wstring tail = CommandTail(line);
            if (!IsPurgeTail(tail))
                return BadArgument(tail, L"_-purge", L"not a kind, \"*\" and \"_N\"");
            return Log(L"Purged " + tail + L".");
        }
        if (name == L"LOGFILEMODE") {
            const std::wstring mode = TakeArgument();
            if (mode != L"0" && mode != L"1")
                return BadArgument(mode, L"_logfilemode", L"not 0 or 1");
            logging_ = mode == L"1";
            Log(logging_ ? L"Logging on." : L"Logging off.", true);
            return;
        }
        if (name == L"QUIT") return StrikeThen(FaultStage::Quit, [this] { Quit(); });
    }
    std::optional<FaultStage> stage;
    if (name == L"AXVEKSCAN" || name == L"AXVEKANALYZE") stage = FaultStage::Scan;
    if (name == L"AXVEKMIGR") stage = FaultStage::Migrate;
    auto offer = [this, line] {
        if (!OfferToExtensions(line)) Log(kUnknownCommand + Quoted(line) + L".");
    };
    if (stage == FaultStage::Migrate) ShowProfileDialogs(ProfileMoment::Migrate);
    if (stage)
        StrikeThen(*stage, offer);
    else
        offer();
}

void Host::BadArgument(const std::wstring& argument, const wchar_t* command, const wchar_t* why) {
    Log(kBadArgument + Quoted(argument) + L" of " + command + L": " + why + L".");
}

void Host::Expert() {
    const std::wstring level = TakeArgument();
    if (level.size() == 1 && level[0] >= L'0' && level[0] <= L'5')
        Log(L"Expert level " + level + L".");
    else
        BadArgument(level, L"_EXPERT", L"not a level from 0 to 5");
}

void Host::Orx() {
    const std::wstring raw = TakeArgument();
    const std::wstring option = CommandName(raw);
    if (option != L"LOAD" && option != L"UNLOAD")
        return BadArgument(raw, L"_orx", L"neither _load nor _unload");
    const std::wstring file = TakeArgument();
    const std::wstring path = Unquote(file);
    if (path.empty()) return BadArgument(file, L"_orx", L"no file name");
    if (option == L"LOAD") return LoadExtension(path);
    UnloadExtension(path);
}

// "_.OPEN" asks for the file in the file dialog when the profile wants one;
// the script's file name is then left to be read as the next command.
void Host::OpenCommand() {
    if (ShowProfileDialogs(ProfileMoment::OpenAsk)) {
        drawing_.reset();
        UpdateTitle();
        return Log(L"Cannot open a drawing: the file dialog was closed without a file.");
    }
    const std::wstring argument = TakeArgument();
    const bool quoted = !argument.empty() && argument[0] == L'"';
    if (argument.empty()) return BadArgument(argument, L"_.OPEN", L"no file name");
    if (quoted && (argument.size() < 2 || argument.back() != L'"' ||
                   argument.find(L'"', 1) != argument.size() - 1))
        return BadArgument(argument, L"_.OPEN", L"its quotes do not enclose one file name");
    // In a script a blank is an Enter: unquoted, the name would end there.
    if (!quoted && argument.find_first_of(L" \t") != std::wstring::npos)
        return BadArgument(argument, L"_.OPEN", L"a file name with blanks needs quotes");
    Open(Unquote(argument));
}

void Host::LoadExtension(const std::wstring& path) {
    for (const Extension& e : extensions_)
        if (text::EqualsNoCase(e.Path, path)) return Log(Quoted(path) + L" is loaded already.");
    Extension e;
    e.Path = path;
    e.Module = ModuleHandle(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!e.Module)
        return Log(L"Cannot load " + Quoted(path) + L": " + ErrorText(GetLastError()) + L".");
    e.Command = reinterpret_cast<OrxCommandProc>(
        reinterpret_cast<void*>(GetProcAddress(e.Module.Get(), ORX_COMMAND_EXPORT)));
    if (!e.Command) return Log(L"Cannot load " + Quoted(path) + L": not a runtime extension.");
    extensions_.push_back(std::move(e));
    Log(L"Loaded " + Quoted(path) + L".");
}

void Host::UnloadExtension(const std::wstring& name) {
    for (auto it = extensions_.begin(); it != extensions_.end(); ++it) {
        if (text::EqualsNoCase(FileNameOf(it->Path), name) || text::EqualsNoCase(it->Path, name)) {
            extensions_.erase(it);
            return Log(L"Unloaded " + Quoted(name) + L".");
        }
    }
    Log(L"Cannot unload " + Quoted(name) + L": not loaded.");
}

void Host::Open(const std::wstring& path) {
    drawing_.reset();
    UpdateTitle();
    Drawing d;
    d.Path = path;
    DWORD error = 0;
    if (!ReadWholeFile(path, d.Bytes, error, kMaxDrawingSize))
        return Log(L"Cannot open " + Quoted(path) + L": " + ErrorText(error) + L".");
    const ReadStatus status = ReadDrawing(d.Bytes.data(), d.Bytes.size(), d.Info);
    if (status != ReadStatus::Ok)
        return Log(L"Cannot open " + Quoted(path) + L": " + ReadStatusText(status) + L".");
    d.SaveVersion = d.Info.Version;
    Log(L"Opened " + Quoted(path) + L" (" + FromUtf8(d.Info.Version) + L", release " +
        std::to_wstring(d.Info.Release) + L").");
    drawing_ = std::move(d);
    UpdateTitle();
    ShowProfileDialogs(ProfileMoment::Opened);
    StrikeThen(FaultStage::Open, nullptr);
}

void Host::Save() {
    if (!drawing_) return Log(L"Cannot save: no drawing is open.");
    Drawing& d = *drawing_;
    if (d.Info.Fault.SaveFails)
        return Log(L"Cannot save " + Quoted(d.Path) + L": the drawing could not be written.");
    std::vector<uint8_t> bytes = d.Bytes;
    SetVersion(bytes, d.SaveVersion);
    // Write beside the drawing and swap, so that a failed save leaves it whole.
    const std::wstring temp = d.Path + L".ortx-save";
    DWORD error = ERROR_SUCCESS;
    {
        FileHandle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!file)
            error = GetLastError();
        else if (!WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                            nullptr) ||
                 written != bytes.size())
            error = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
    }
    if (error == ERROR_SUCCESS && !MoveFileExW(temp.c_str(), d.Path.c_str(),
                                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    if (error != ERROR_SUCCESS) {
        DeleteFileW(temp.c_str());
        return Log(L"Cannot save " + Quoted(d.Path) + L": " + ErrorText(error) + L".");
    }
    d.Bytes = std::move(bytes);
    d.Info.Version = d.SaveVersion;
    Log(L"Saved " + Quoted(d.Path) + L" (" + FromUtf8(d.SaveVersion) + L").");
}

void Host::Quit() {
    quitting_ = true;
    Log(L"Quit.");
    extensions_.clear();
    DestroyWindow(main_);
}

bool Host::OfferToExtensions(const std::wstring& line) {
    const OrxHost host{
        ORX_API_VERSION,       this,   CallNextLine, CallDrawingPath, CallDrawingBytes,
        CallSetDrawingVersion, CallLog};
    for (const Extension& e : extensions_)
        if (e.Command(&host, line.c_str())) return true;
    return false;
}

// ---- faults -------------------------------------------------------------------

void Host::StrikeThen(FaultStage stage, std::function<void()> then) {
    if (!drawing_ || drawing_->Struck || drawing_->Info.Fault.At != stage ||
        !drawing_->Info.Fault.AnyAtStage()) {
        if (then) then();
        return;
    }
    drawing_->Struck = true;
    faultStage_ = stage;
    pending_ = std::move(then);
    waiting_ = true;
    faultStep_ = FaultStep::Delay;
    Advance();
}

void Host::Advance() {
    const Faults& f = drawing_->Info.Fault;
    const std::wstring at = FaultStageName(faultStage_);
    for (;;) {
        switch (faultStep_) {
            case FaultStep::Delay:
                faultStep_ = FaultStep::Dialog;
                if (f.DelaySeconds) {
                    Log(L"[stand-in] busy for " + std::to_wstring(f.DelaySeconds) + L" s at " + at);
                    SetStatus(L"Busy...");
                    SetTimer(main_, kDelayTimer, f.DelaySeconds * 1000, nullptr);
                    return;
                }
                break;
            case FaultStep::Dialog:
                faultStep_ = FaultStep::LogError;
                if (!f.DialogTitle.empty()) {
                    ShowFaultDialog();
                    return;
                }
                break;
            case FaultStep::LogError:
                faultStep_ = FaultStep::Crash;
                if (!f.LogError.empty()) {
                    Log(ResolveText(f.LogError), true);
                    return Hang(L"after the log line");
                }
                break;
            case FaultStep::Crash:
                faultStep_ = FaultStep::Hang;
                if (f.Crash) {
                    Log(L"[stand-in] crashing at " + at);
                    TerminateProcess(GetCurrentProcess(), kCrashCode);
                }
                break;
            case FaultStep::Hang:
                faultStep_ = FaultStep::Done;
                if (f.Hang) return Hang(L"as the drawing asks");
                break;
            case FaultStep::Done: {
                waiting_ = false;
                std::function<void()> then = std::move(pending_);
                pending_ = nullptr;
                if (then) then();
                if (!waiting_ && !quitting_) ScheduleStep();
                return;
            }
        }
    }
}

void Host::Hang(const wchar_t* why) {
    Log(L"[stand-in] hanging at " + std::wstring(FaultStageName(faultStage_)) + L" " + why);
    SetStatus(L"Busy...");
    // waiting_ stays set: the script never goes on, the window still answers.
}

void Host::ShowFaultDialog() {
    const Faults& f = drawing_->Info.Fault;
    const std::wstring title = ResolveText(f.DialogTitle);
    std::vector<std::wstring> texts;
    for (const std::wstring& t : f.DialogTexts) texts.push_back(ResolveText(t));
    faultButtons_.clear();
    for (const std::wstring& b : f.DialogButtons) faultButtons_.push_back(ResolveText(b));
    const std::vector<WORD> tmpl = BuildDialogTemplate(title, texts, faultButtons_);
    Log(L"[stand-in] dialog " + Quoted(title) + L" at " + FaultStageName(faultStage_));
    faultDialog_ =
        CreateDialogIndirectParamW(instance_, reinterpret_cast<const DLGTEMPLATE*>(tmpl.data()),
                                   main_, FaultDialogProc, reinterpret_cast<LPARAM>(this));
    if (!faultDialog_) {
        Log(L"[stand-in] the dialog could not be shown: " + ErrorText(GetLastError()));
        return Advance();
    }
    EnableWindow(main_, FALSE);
    ShowWindow(faultDialog_, SW_SHOW);
    SetForegroundWindow(faultDialog_);
}

void Host::CloseFaultDialog(int id) {
    if (!faultDialog_) return;
    EnableWindow(main_, TRUE);
    DestroyWindow(faultDialog_);
    faultDialog_ = nullptr;
    std::wstring answer = id == IDOK ? L"OK" : L"Cancel";
    if (id >= kFirstButtonId && static_cast<size_t>(id - kFirstButtonId) < faultButtons_.size())
        answer = faultButtons_[static_cast<size_t>(id - kFirstButtonId)];
    Log(L"[stand-in] dialog closed with " + answer);
    Advance();
}

INT_PTR CALLBACK Host::FaultDialogProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrW(w, DWLP_USER, lp);
        return TRUE;
    }
    auto* host = reinterpret_cast<Host*>(GetWindowLongPtrW(w, DWLP_USER));
    if (host && msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED &&
        (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL || LOWORD(wp) >= kFirstButtonId)) {
        try {
            host->CloseFaultDialog(LOWORD(wp));
        } catch (...) {
        }
        return TRUE;
    }
    return FALSE;
}

// ---- log, window, texts --------------------------------------------------------

void Host::Log(const std::wstring& line, bool force) {
    AddHistory(line);
    if ((logging_ || force) && !logPath_.empty()) AppendAnsiLine(logPath_, line, false);
    if (!transcriptPath_.empty()) AppendAnsiLine(transcriptPath_, line, false);
    if (!timesPath_.empty()) {
        FILETIME now{};
        GetSystemTimePreciseAsFileTime(&now);
        const unsigned long long ticks =
            (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
        const unsigned long long unixMs = (ticks - 116444736000000000ull) / 10000;
        AppendAnsiLine(timesPath_, std::to_wstring(unixMs) + L"\t" + line, false);
    }
}

void Host::AddHistory(const std::wstring& line) {
    if (!history_) {
        early_.push_back(line);
        return;
    }
    const LRESULT length = SendMessageW(history_, WM_GETTEXTLENGTH, 0, 0);
    if (length > 60000) {
        SendMessageW(history_, EM_SETSEL, 0, 20000);
        SendMessageW(history_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
    }
    const std::wstring text = line + L"\r\n";
    SendMessageW(history_, EM_SETSEL, static_cast<WPARAM>(-1), -1);
    SendMessageW(history_, EM_SETSEL, 0x7FFFFFFF, 0x7FFFFFFF);
    SendMessageW(history_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void Host::SetStatus(const std::wstring& text) {
    if (status_) SetWindowTextW(status_, text.c_str());
}

void Host::UpdateTitle() {
    if (!main_) return;
    std::wstring title = titleBase_;
    if (drawing_) title += L" - [" + FileNameOf(drawing_->Path) + L"]";
    SetWindowTextW(main_, title.c_str());
}

std::wstring Host::LoadText(HMODULE module, unsigned id) {
    if (!module) return std::wstring();
    wchar_t buffer[4096] = {};
    const int n = LoadStringW(module, id, buffer, 4095);
    return n > 0 ? std::wstring(buffer, static_cast<size_t>(n)) : std::wstring();
}

std::wstring Host::ResolveText(const std::wstring& text) {
    unsigned id = 0;
    switch (ParseTextReference(text, id)) {
        case TextSource::Wizard:
            return LoadText(wizardResources_.Get(), id);
        case TextSource::Host:
            return LoadText(hostResources_.Get(), id);
        case TextSource::Literal:
            break;
    }
    return text;
}

LRESULT CALLBACK Host::WindowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* host = reinterpret_cast<Host*>(GetWindowLongPtrW(w, GWLP_USERDATA));
    if (!host) return DefWindowProcW(w, msg, wp, lp);
    try {
        return host->OnMessage(w, msg, wp, lp);
    } catch (...) {
        return 0;
    }
}

LRESULT Host::OnMessage(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case kStepMessage:
            Step();
            return 0;
        case WM_TIMER:
            if (wp == kDelayTimer) {
                KillTimer(w, kDelayTimer);
                SetStatus(L"Working...");
                Advance();
            }
            return 0;
        case WM_SIZE: {
            const int cx = LOWORD(lp), cy = HIWORD(lp);
            if (status_) MoveWindow(status_, 8, 8, cx > 16 ? cx - 16 : 0, 18, TRUE);
            if (history_)
                MoveWindow(history_, 8, 32, cx > 16 ? cx - 16 : 0, cy > 40 ? cy - 40 : 0, TRUE);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(w, msg, wp, lp);
}

// ---- the extension's view of the host ------------------------------------------

const wchar_t* Host::CallNextLine(void* context) {
    auto* host = static_cast<Host*>(context);
    bool present = false;
    host->argument_ = host->TakeArgument(&present);
    return present ? host->argument_.c_str() : nullptr;
}

const wchar_t* Host::CallDrawingPath(void* context) {
    auto* host = static_cast<Host*>(context);
    return host->drawing_ ? host->drawing_->Path.c_str() : nullptr;
}

const unsigned char* Host::CallDrawingBytes(void* context, size_t* size) {
    auto* host = static_cast<Host*>(context);
    if (size) *size = host->drawing_ ? host->drawing_->Bytes.size() : 0;
    return host->drawing_ ? host->drawing_->Bytes.data() : nullptr;
}

int Host::CallSetDrawingVersion(void* context, const char* magic) {
    auto* host = static_cast<Host*>(context);
    if (!host->drawing_ || !magic || !IsKnownVersion(magic)) return 0;
    host->drawing_->SaveVersion = magic;
    return 1;
}

void Host::CallLog(void* context, const wchar_t* line) {
    if (line) static_cast<Host*>(context)->Log(line);
}

}  // namespace
}  // namespace standin

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    try {
        auto host = std::make_unique<standin::Host>();
        return host->Run(instance);
    } catch (...) {
        return 1;
    }
}
