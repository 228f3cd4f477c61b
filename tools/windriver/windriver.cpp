// windriver: drives real windows of another process for end-to-end tests.
//
//   windriver <step> [args] <step> [args] ...
//
// Steps run in order; the first failing one ends the run with exit code 2
// (3 for a usage error) and a line on stderr. Output is UTF-8 on stdout.
//
//   start <command line>         start a process (its exit code is kept)
//   run <command line>           start a process and wait until it ends (at
//                                most a minute); fails unless it exits with 0.
//                                The process of start stays the current one
//   cwd <folder>                 current folder for the next start
//   wait <title> <seconds>       wait for a visible top-level window with that
//                                exact title; it becomes the current window
//   wait-prefix <text> <seconds> the same, for a title that begins with text
//   wait-class <class> <seconds> the same, by window class, of the started process
//   wait-with <title> <label | #id> <seconds>
//                                the same, for a window with that title that
//                                shows a child with that label or id (a page
//                                of a wizard: the page on show)
//   count <title>                print "count: <n>", the visible top-level
//                                windows with that title (of the started
//                                process, when there is one)
//   hwnd                         print "hwnd: <handle>" of the current window
//   rect                         print "rect: <x> <y> <width> <height>" of it
//   texts                        print "title: ..." and "child <id> <class>: <text>"
//   click <label | #id>          press a button of the current window
//   type <#id> <text>            set the text of a child (an edit)
//   edit-label <#id> <text>      type text into the label edit of a child
//                                tree view (waits for it) and press Enter
//   key <label | #id> <vk>       post a key press (down and up) to a child
//   state <label | #id>          print "state <label | #id>: checked=<0|1|2>
//                                enabled=<0|1> visible=<0|1>" of a child
//   wait-number <#id> <n> <seconds>
//                                wait until a child of the current window
//                                shows a number of at least n (a counter)
//   close                        send WM_CLOSE to the current window
//   gone <seconds>               wait until the current window is gone
//   none <title> <seconds>       fail if a window with that title shows up
//   exit <seconds>               wait for the started process, print "exit: <code>"
//   kill                         terminate the started process
//   sleep <milliseconds>
//   await <event> <pid>          wait until the named event is set or process
//                                pid ends (at most ten minutes): a stand-in
//                                child that cannot outlive its test
//   window <title> [child...]    show a top-level window with that title and a
//                                static child per further argument, until it
//                                is closed (must be the last step); prints
//                                "key down|char|up <code> <data in hex>" for
//                                each key message it is sent
//   idle                         keep a hidden window until killed, so that
//                                Wine's desktop process stays (must be last)
//   desktop                      create and destroy a window, so that Wine's
//                                desktop process is running from here on
#include <windows.h>

#include <commctrl.h>
#include <fcntl.h>
#include <io.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

HANDLE g_process = nullptr;
DWORD g_processId = 0;
HWND g_window = nullptr;
std::wstring g_cwd;

void Out(const std::wstring& line) {
    std::wstring withEnd = line + L"\n";
    int n = WideCharToMultiByte(CP_UTF8, 0, withEnd.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, withEnd.c_str(), -1, bytes.data(), n, nullptr, nullptr);
    fwrite(bytes.data(), 1, bytes.size() - 1, stdout);
    fflush(stdout);
}

[[noreturn]] void Fail(const std::wstring& why, int code = 2) {
    std::wstring line = L"windriver: " + why + L"\n";
    int n = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, bytes.data(), n, nullptr, nullptr);
    fwrite(bytes.data(), 1, bytes.size() - 1, stderr);
    fflush(stderr);
    // Leave nothing running behind a failed test.
    if (g_process) TerminateProcess(g_process, 1);
    ExitProcess(static_cast<UINT>(code));
}

std::wstring WindowText(HWND w) {
    // WM_GETTEXT works across processes for every control class.
    LRESULT n = SendMessageW(w, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    LRESULT got = SendMessageW(w, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(got));
    return text;
}

std::wstring ClassOf(HWND w) {
    wchar_t name[256] = {};
    GetClassNameW(w, name, 255);
    return name;
}

std::wstring StripAmpersands(const std::wstring& s) {
    std::wstring out;
    for (wchar_t c : s)
        if (c != L'&') out += c;
    return out;
}

struct Search {
    enum Kind { Title, Prefix, Class } kind;
    std::wstring what;
    std::wstring child;  // a child the window must have, as for Child()
    HWND found = nullptr;
};

HWND FindChildOf(HWND window, const std::wstring& spec, bool shownOnly = false);

BOOL CALLBACK FindTop(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    if (!IsWindowVisible(w)) return TRUE;
    bool match = false;
    if (s->kind == Search::Class) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        match = ClassOf(w) == s->what && (g_processId == 0 || pid == g_processId);
    } else {
        const std::wstring title = WindowText(w);
        match = s->kind == Search::Title ? title == s->what : title.rfind(s->what, 0) == 0;
    }
    if (match && !s->child.empty()) match = FindChildOf(w, s->child, true) != nullptr;
    if (match) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

HWND WaitFor(Search::Kind kind, const std::wstring& what, double seconds,
             const std::wstring& child = std::wstring()) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    do {
        Search s{kind, what, child};
        EnumWindows(FindTop, reinterpret_cast<LPARAM>(&s));
        if (s.found) return s.found;
        Sleep(100);
    } while (GetTickCount64() < deadline);
    return nullptr;
}

BOOL CALLBACK PrintChild(HWND w, LPARAM) {
    Out(L"child " + std::to_wstring(GetDlgCtrlID(w)) + L" " + ClassOf(w) + L": " + WindowText(w));
    return TRUE;
}

struct ChildSearch {
    std::wstring label;
    int id = -1;
    HWND shown = nullptr, onShownPage = nullptr, any = nullptr;
};

// Pages of a wizard met before stay as hidden children of the sheet, and
// pages share ids: the control on show wins, then a hidden one of the page
// on show, then any.
BOOL CALLBACK FindChild(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<ChildSearch*>(lp);
    if ((s->id >= 0 && GetDlgCtrlID(w) == s->id) ||
        (s->id < 0 && StripAmpersands(WindowText(w)) == StripAmpersands(s->label))) {
        if (!s->any) s->any = w;
        if (!s->onShownPage && IsWindowVisible(GetParent(w))) s->onShownPage = w;
        if (IsWindowVisible(w)) {
            s->shown = w;
            return FALSE;
        }
    }
    return TRUE;
}

HWND FindChildOf(HWND window, const std::wstring& spec, bool shownOnly) {
    ChildSearch s;
    if (!spec.empty() && spec[0] == L'#')
        s.id = static_cast<int>(wcstol(spec.c_str() + 1, nullptr, 0));
    else
        s.label = spec;
    EnumChildWindows(window, FindChild, reinterpret_cast<LPARAM>(&s));
    if (shownOnly) return s.shown;
    return s.shown ? s.shown : s.onShownPage ? s.onShownPage : s.any;
}

HWND Child(const std::wstring& spec) {
    if (!g_window) Fail(L"no current window");
    HWND found = FindChildOf(g_window, spec);
    if (!found) Fail(L"no child " + spec);
    return found;
}

struct Count {
    std::wstring title;
    int n = 0;
};

BOOL CALLBACK CountTop(HWND w, LPARAM lp) {
    auto* c = reinterpret_cast<Count*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (IsWindowVisible(w) && (g_processId == 0 || pid == g_processId) && WindowText(w) == c->title)
        ++c->n;
    return TRUE;
}

std::wstring Hex(ULONG_PTR value) {
    wchar_t text[32] = {};
    swprintf(text, 32, L"0x%llx", static_cast<unsigned long long>(value));
    return text;
}

// The arguments of one step, in the order of the command line.
using Args = std::vector<std::wstring>;

// What the run does after a step: the window and idle steps keep the process
// until they end it.
enum class Then { Next, End };

HWND CurrentWindow() {
    if (!g_window) Fail(L"no current window");
    return g_window;
}

double Seconds(const std::wstring& text) {
    return _wtof(text.c_str());
}

void PostKeyPress(HWND target, UINT vk) {
    const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    PostMessageW(target, WM_KEYDOWN, vk, 1 | (scan << 16));
    PostMessageW(target, WM_KEYUP, vk, 1 | (scan << 16) | 0xC0000000u);
}

Then Start(const Args& args) {
    std::wstring command = args[0];
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        g_cwd.empty() ? nullptr : g_cwd.c_str(), &si, &pi))
        Fail(L"cannot start " + command + L" (error " + std::to_wstring(GetLastError()) + L")");
    CloseHandle(pi.hThread);
    g_process = pi.hProcess;
    g_processId = pi.dwProcessId;
    return Then::Next;
}

Then Run(const Args& args) {
    std::wstring command = args[0];
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &si, &pi))
        Fail(L"cannot run " + command + L" (error " + std::to_wstring(GetLastError()) + L")");
    CloseHandle(pi.hThread);
    const bool ended = WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0;
    DWORD code = 1;
    if (ended) GetExitCodeProcess(pi.hProcess, &code);
    if (!ended) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    if (code != 0) Fail(L"failed: " + command + L" (exit code " + std::to_wstring(code) + L")");
    return Then::Next;
}

Then Cwd(const Args& args) {
    g_cwd = args[0];
    return Then::Next;
}

Then WaitWindow(Search::Kind kind, const Args& args) {
    g_window = WaitFor(kind, args[0], Seconds(args[1]));
    if (!g_window) Fail(L"no window " + args[0]);
    Out(L"window: " + WindowText(g_window));
    return Then::Next;
}

Then Wait(const Args& args) {
    return WaitWindow(Search::Title, args);
}

Then WaitPrefix(const Args& args) {
    return WaitWindow(Search::Prefix, args);
}

Then WaitClass(const Args& args) {
    return WaitWindow(Search::Class, args);
}

Then WaitWith(const Args& args) {
    const std::wstring& what = args[0];
    const std::wstring& child = args[1];
    g_window = WaitFor(Search::Title, what, Seconds(args[2]), child);
    if (!g_window) Fail(L"no window " + what + L" with " + child);
    Out(L"window: " + WindowText(g_window));
    return Then::Next;
}

Then CountWindows(const Args& args) {
    Count c{args[0]};
    EnumWindows(CountTop, reinterpret_cast<LPARAM>(&c));
    Out(L"count: " + std::to_wstring(c.n));
    return Then::Next;
}

Then PrintHwnd(const Args&) {
    Out(L"hwnd: " + Hex(reinterpret_cast<ULONG_PTR>(CurrentWindow())));
    return Then::Next;
}

Then PrintRect(const Args&) {
    RECT r{};
    GetWindowRect(CurrentWindow(), &r);
    Out(L"rect: " + std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " +
        std::to_wstring(r.right - r.left) + L" " + std::to_wstring(r.bottom - r.top));
    return Then::Next;
}

Then PrintTexts(const Args&) {
    const HWND window = CurrentWindow();
    Out(L"title: " + WindowText(window));
    EnumChildWindows(window, PrintChild, 0);
    return Then::Next;
}

Then Click(const Args& args) {
    PostMessageW(Child(args[0]), BM_CLICK, 0, 0);
    return Then::Next;
}

Then Type(const Args& args) {
    HWND edit = Child(args[0]);
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[1].c_str()));
    return Then::Next;
}

Then EditLabel(const Args& args) {
    HWND tree = Child(args[0]);
    HWND edit = nullptr;
    for (int tries = 0; tries < 50 && !edit; ++tries) {
        edit = reinterpret_cast<HWND>(SendMessageW(tree, TVM_GETEDITCONTROL, 0, 0));
        if (!edit) Sleep(100);
    }
    if (!edit) Fail(L"no label edit");
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[1].c_str()));
    PostKeyPress(edit, VK_RETURN);
    return Then::Next;
}

Then Key(const Args& args) {
    HWND target = Child(args[0]);
    PostKeyPress(target, static_cast<UINT>(wcstoul(args[1].c_str(), nullptr, 0)));
    return Then::Next;
}

Then PrintState(const Args& args) {
    const std::wstring& spec = args[0];
    HWND control = Child(spec);
    Out(L"state " + spec + L": checked=" +
        std::to_wstring(SendMessageW(control, BM_GETCHECK, 0, 0)) + L" enabled=" +
        std::to_wstring(IsWindowEnabled(control) ? 1 : 0) + L" visible=" +
        std::to_wstring(IsWindowVisible(control) ? 1 : 0));
    return Then::Next;
}

Then WaitNumber(const Args& args) {
    HWND control = Child(args[0]);
    const long least = wcstol(args[1].c_str(), nullptr, 10);
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(Seconds(args[2]) * 1000);
    for (;;) {
        if (!IsWindow(control)) Fail(L"the window has gone");
        const std::wstring shown = WindowText(control);
        if (!shown.empty() && wcstol(shown.c_str(), nullptr, 10) >= least) {
            Out(L"number: " + shown);
            return Then::Next;
        }
        if (GetTickCount64() > deadline) Fail(L"the number stayed at " + shown);
        Sleep(100);
    }
}

Then Close(const Args&) {
    PostMessageW(CurrentWindow(), WM_CLOSE, 0, 0);
    return Then::Next;
}

Then Gone(const Args& args) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(Seconds(args[0]) * 1000);
    while (g_window && IsWindow(g_window) && IsWindowVisible(g_window)) {
        if (GetTickCount64() > deadline) Fail(L"window still open");
        Sleep(100);
    }
    return Then::Next;
}

Then None(const Args& args) {
    if (WaitFor(Search::Title, args[0], Seconds(args[1]))) Fail(L"unexpected window " + args[0]);
    return Then::Next;
}

Then Exit(const Args& args) {
    const double seconds = Seconds(args[0]);
    if (!g_process) Fail(L"no process started");
    if (WaitForSingleObject(g_process, static_cast<DWORD>(seconds * 1000)) != WAIT_OBJECT_0)
        Fail(L"process still running");
    DWORD code = 0;
    GetExitCodeProcess(g_process, &code);
    Out(L"exit: " + std::to_wstring(static_cast<int>(code)));
    return Then::Next;
}

Then Kill(const Args&) {
    if (g_process) TerminateProcess(g_process, 1);
    return Then::Next;
}

Then SleepFor(const Args& args) {
    Sleep(static_cast<DWORD>(_wtoi(args[0].c_str())));
    return Then::Next;
}

Then Await(const Args& args) {
    const std::wstring& event = args[0];
    const DWORD parent = static_cast<DWORD>(_wtoi(args[1].c_str()));
    HANDLE handles[2] = {CreateEventW(nullptr, TRUE, FALSE, event.c_str()),
                         OpenProcess(SYNCHRONIZE, FALSE, parent)};
    if (!handles[0] || !handles[1]) Fail(L"cannot await " + event);
    WaitForMultipleObjects(2, handles, FALSE, 600000);
    return Then::Next;
}

// args: the title, then the text of each static child.
Then ShowWindowUntilClosed(const Args& args) {
    const std::wstring& title = args[0];
    const int children = static_cast<int>(args.size() - 1);
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"WindriverWindow";
    RegisterClassW(&wc);
    // Shown only once its children exist, so that whoever finds it sees them.
    HWND w = CreateWindowExW(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 100, 100, 400,
                             100 + 30 * children, nullptr, nullptr, wc.hInstance, nullptr);
    if (!w) Fail(L"cannot create a window (error " + std::to_wstring(GetLastError()) + L")");
    for (size_t i = 1, y = 10; i < args.size(); ++i, y += 30)
        CreateWindowExW(0, L"STATIC", args[i].c_str(), WS_CHILD | WS_VISIBLE, 10,
                        static_cast<int>(y), 360, 24, w, nullptr, nullptr, nullptr);
    ShowWindow(w, SW_SHOW);
    MSG msg;
    while (IsWindow(w) && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_CLOSE || (msg.hwnd == w && msg.message == WM_SYSCOMMAND)) break;
        if (msg.message == WM_KEYDOWN || msg.message == WM_CHAR || msg.message == WM_KEYUP) {
            // Reported as sent, not translated into further characters.
            wchar_t data[16] = {};
            swprintf(data, 16, L"%lx", static_cast<unsigned long>(msg.lParam));
            const wchar_t* kind = msg.message == WM_KEYDOWN ? L"down"
                                  : msg.message == WM_CHAR  ? L"char"
                                                            : L"up";
            Out(std::wstring(L"key ") + kind + L" " + std::to_wstring(msg.wParam) + L" " + data);
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return Then::End;
}

Then Idle(const Args&) {
    HWND w = CreateWindowExW(0, L"STATIC", L"windriver idle", 0, 0, 0, 1, 1, nullptr, nullptr,
                             nullptr, nullptr);
    if (!w) Fail(L"cannot create a window");
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return Then::End;
}

Then Desktop(const Args&) {
    HWND w = CreateWindowExW(0, L"STATIC", L"windriver", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                             nullptr);
    if (!w) Fail(L"cannot create a window");
    DestroyWindow(w);
    return Then::Next;
}

struct Step {
    const wchar_t* Name;
    // The names of its arguments, as a usage error names the first one missing.
    std::vector<const wchar_t*> Params;
    // Takes every argument left after its own (must be the last step).
    bool TakesTheRest;
    Then (*Perform)(const Args& args);
};

const Step kSteps[] = {
    {L"start", {L"command line"}, false, Start},
    {L"run", {L"command line"}, false, Run},
    {L"cwd", {L"folder"}, false, Cwd},
    {L"wait", {L"title", L"seconds"}, false, Wait},
    {L"wait-prefix", {L"title", L"seconds"}, false, WaitPrefix},
    {L"wait-class", {L"title", L"seconds"}, false, WaitClass},
    {L"wait-with", {L"title", L"child", L"seconds"}, false, WaitWith},
    {L"count", {L"title"}, false, CountWindows},
    {L"hwnd", {}, false, PrintHwnd},
    {L"rect", {}, false, PrintRect},
    {L"texts", {}, false, PrintTexts},
    {L"click", {L"button"}, false, Click},
    {L"type", {L"control", L"text"}, false, Type},
    {L"edit-label", {L"tree", L"text"}, false, EditLabel},
    {L"key", {L"control", L"key"}, false, Key},
    {L"state", {L"control"}, false, PrintState},
    {L"wait-number", {L"control", L"number", L"seconds"}, false, WaitNumber},
    {L"close", {}, false, Close},
    {L"gone", {L"seconds"}, false, Gone},
    {L"none", {L"title", L"seconds"}, false, None},
    {L"exit", {L"seconds"}, false, Exit},
    {L"kill", {}, false, Kill},
    {L"sleep", {L"milliseconds"}, false, SleepFor},
    {L"await", {L"event", L"pid"}, false, Await},
    {L"window", {L"title"}, true, ShowWindowUntilClosed},
    {L"idle", {}, false, Idle},
    {L"desktop", {}, false, Desktop},
};

const Step* FindStep(const std::wstring& name) {
    for (const Step& step : kSteps)
        if (name == step.Name) return &step;
    return nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    const Args all(argv + 1, argv + argc);
    size_t i = 0;
    while (i < all.size()) {
        const std::wstring& name = all[i++];
        const Step* step = FindStep(name);
        if (!step) Fail(L"unknown step " + name, 3);
        const size_t left = all.size() - i;
        if (left < step->Params.size()) Fail(std::wstring(L"missing ") + step->Params[left], 3);
        const size_t taken = step->TakesTheRest ? left : step->Params.size();
        const Args args(all.begin() + static_cast<std::ptrdiff_t>(i),
                        all.begin() + static_cast<std::ptrdiff_t>(i + taken));
        i += taken;
        if (step->Perform(args) == Then::End) return 0;
    }
    return 0;
}
