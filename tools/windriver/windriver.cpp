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

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    std::vector<std::wstring> args(argv + 1, argv + argc);
    size_t i = 0;
    auto next = [&](const wchar_t* what) -> std::wstring {
        if (i >= args.size()) Fail(std::wstring(L"missing ") + what, 3);
        return args[i++];
    };
    while (i < args.size()) {
        const std::wstring step = args[i++];
        if (step == L"start") {
            std::wstring command = next(L"command line");
            STARTUPINFOW si{};
            si.cb = sizeof si;
            PROCESS_INFORMATION pi{};
            if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                g_cwd.empty() ? nullptr : g_cwd.c_str(), &si, &pi))
                Fail(L"cannot start " + command + L" (error " + std::to_wstring(GetLastError()) +
                     L")");
            CloseHandle(pi.hThread);
            g_process = pi.hProcess;
            g_processId = pi.dwProcessId;
        } else if (step == L"run") {
            std::wstring command = next(L"command line");
            STARTUPINFOW si{};
            si.cb = sizeof si;
            PROCESS_INFORMATION pi{};
            if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                                nullptr, nullptr, &si, &pi))
                Fail(L"cannot run " + command + L" (error " + std::to_wstring(GetLastError()) +
                     L")");
            CloseHandle(pi.hThread);
            const bool ended = WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0;
            DWORD code = 1;
            if (ended) GetExitCodeProcess(pi.hProcess, &code);
            if (!ended) TerminateProcess(pi.hProcess, 1);
            CloseHandle(pi.hProcess);
            if (code != 0)
                Fail(L"failed: " + command + L" (exit code " + std::to_wstring(code) + L")");
        } else if (step == L"cwd") {
            g_cwd = next(L"folder");
        } else if (step == L"wait" || step == L"wait-prefix" || step == L"wait-class") {
            const std::wstring what = next(L"title");
            const double seconds = _wtof(next(L"seconds").c_str());
            const Search::Kind kind = step == L"wait"          ? Search::Title
                                      : step == L"wait-prefix" ? Search::Prefix
                                                               : Search::Class;
            g_window = WaitFor(kind, what, seconds);
            if (!g_window) Fail(L"no window " + what);
            Out(L"window: " + WindowText(g_window));
        } else if (step == L"wait-with") {
            const std::wstring what = next(L"title");
            const std::wstring child = next(L"child");
            const double seconds = _wtof(next(L"seconds").c_str());
            g_window = WaitFor(Search::Title, what, seconds, child);
            if (!g_window) Fail(L"no window " + what + L" with " + child);
            Out(L"window: " + WindowText(g_window));
        } else if (step == L"count") {
            Count c{next(L"title")};
            EnumWindows(CountTop, reinterpret_cast<LPARAM>(&c));
            Out(L"count: " + std::to_wstring(c.n));
        } else if (step == L"hwnd") {
            if (!g_window) Fail(L"no current window");
            Out(L"hwnd: " + Hex(reinterpret_cast<ULONG_PTR>(g_window)));
        } else if (step == L"rect") {
            if (!g_window) Fail(L"no current window");
            RECT r{};
            GetWindowRect(g_window, &r);
            Out(L"rect: " + std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " +
                std::to_wstring(r.right - r.left) + L" " + std::to_wstring(r.bottom - r.top));
        } else if (step == L"key") {
            HWND target = Child(next(L"control"));
            const UINT vk = static_cast<UINT>(wcstoul(next(L"key").c_str(), nullptr, 0));
            const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
            PostMessageW(target, WM_KEYDOWN, vk, 1 | (scan << 16));
            PostMessageW(target, WM_KEYUP, vk, 1 | (scan << 16) | 0xC0000000u);
        } else if (step == L"state") {
            const std::wstring spec = next(L"control");
            HWND control = Child(spec);
            Out(L"state " + spec + L": checked=" +
                std::to_wstring(SendMessageW(control, BM_GETCHECK, 0, 0)) + L" enabled=" +
                std::to_wstring(IsWindowEnabled(control) ? 1 : 0) + L" visible=" +
                std::to_wstring(IsWindowVisible(control) ? 1 : 0));
        } else if (step == L"wait-number") {
            HWND control = Child(next(L"control"));
            const long least = wcstol(next(L"number").c_str(), nullptr, 10);
            const double seconds = _wtof(next(L"seconds").c_str());
            const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
            for (;;) {
                if (!IsWindow(control)) Fail(L"the window has gone");
                const std::wstring shown = WindowText(control);
                if (!shown.empty() && wcstol(shown.c_str(), nullptr, 10) >= least) {
                    Out(L"number: " + shown);
                    break;
                }
                if (GetTickCount64() > deadline) Fail(L"the number stayed at " + shown);
                Sleep(100);
            }
        } else if (step == L"none") {
            const std::wstring what = next(L"title");
            const double seconds = _wtof(next(L"seconds").c_str());
            if (WaitFor(Search::Title, what, seconds)) Fail(L"unexpected window " + what);
        } else if (step == L"texts") {
            if (!g_window) Fail(L"no current window");
            Out(L"title: " + WindowText(g_window));
            EnumChildWindows(g_window, PrintChild, 0);
        } else if (step == L"click") {
            HWND button = Child(next(L"button"));
            PostMessageW(button, BM_CLICK, 0, 0);
        } else if (step == L"type") {
            HWND edit = Child(next(L"control"));
            std::wstring value = next(L"text");
            SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
        } else if (step == L"edit-label") {
            HWND tree = Child(next(L"tree"));
            const std::wstring text = next(L"text");
            HWND edit = nullptr;
            for (int tries = 0; tries < 50 && !edit; ++tries) {
                edit = reinterpret_cast<HWND>(SendMessageW(tree, TVM_GETEDITCONTROL, 0, 0));
                if (!edit) Sleep(100);
            }
            if (!edit) Fail(L"no label edit");
            SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
            const UINT scan = MapVirtualKeyW(VK_RETURN, MAPVK_VK_TO_VSC);
            PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1 | (scan << 16));
            PostMessageW(edit, WM_KEYUP, VK_RETURN, 1 | (scan << 16) | 0xC0000000u);
        } else if (step == L"close") {
            if (!g_window) Fail(L"no current window");
            PostMessageW(g_window, WM_CLOSE, 0, 0);
        } else if (step == L"gone") {
            const double seconds = _wtof(next(L"seconds").c_str());
            const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
            while (g_window && IsWindow(g_window) && IsWindowVisible(g_window)) {
                if (GetTickCount64() > deadline) Fail(L"window still open");
                Sleep(100);
            }
        } else if (step == L"exit") {
            const double seconds = _wtof(next(L"seconds").c_str());
            if (!g_process) Fail(L"no process started");
            if (WaitForSingleObject(g_process, static_cast<DWORD>(seconds * 1000)) != WAIT_OBJECT_0)
                Fail(L"process still running");
            DWORD code = 0;
            GetExitCodeProcess(g_process, &code);
            Out(L"exit: " + std::to_wstring(static_cast<int>(code)));
        } else if (step == L"kill") {
            if (g_process) TerminateProcess(g_process, 1);
        } else if (step == L"window") {
            const std::wstring title = next(L"title");
            WNDCLASSW wc{};
            wc.lpfnWndProc = DefWindowProcW;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
            wc.lpszClassName = L"WindriverWindow";
            RegisterClassW(&wc);
            // Shown only once its children exist, so that whoever finds it sees them.
            HWND w = CreateWindowExW(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 100,
                                     100, 400, 100 + 30 * static_cast<int>(args.size() - i),
                                     nullptr, nullptr, wc.hInstance, nullptr);
            if (!w)
                Fail(L"cannot create a window (error " + std::to_wstring(GetLastError()) + L")");
            for (int y = 10; i < args.size(); y += 30)
                CreateWindowExW(0, L"STATIC", args[i++].c_str(), WS_CHILD | WS_VISIBLE, 10, y, 360,
                                24, w, nullptr, nullptr, nullptr);
            ShowWindow(w, SW_SHOW);
            MSG msg;
            while (IsWindow(w) && GetMessageW(&msg, nullptr, 0, 0) > 0) {
                if (msg.message == WM_CLOSE || (msg.hwnd == w && msg.message == WM_SYSCOMMAND))
                    break;
                if (msg.message == WM_KEYDOWN || msg.message == WM_CHAR ||
                    msg.message == WM_KEYUP) {
                    // Reported as sent, not translated into further characters.
                    wchar_t data[16] = {};
                    swprintf(data, 16, L"%lx", static_cast<unsigned long>(msg.lParam));
                    const wchar_t* kind = msg.message == WM_KEYDOWN ? L"down"
                                          : msg.message == WM_CHAR  ? L"char"
                                                                    : L"up";
                    Out(std::wstring(L"key ") + kind + L" " + std::to_wstring(msg.wParam) + L" " +
                        data);
                    continue;
                }
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            return 0;
        } else if (step == L"idle") {
            HWND w = CreateWindowExW(0, L"STATIC", L"windriver idle", 0, 0, 0, 1, 1, nullptr,
                                     nullptr, nullptr, nullptr);
            if (!w) Fail(L"cannot create a window");
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
            return 0;
        } else if (step == L"desktop") {
            HWND w = CreateWindowExW(0, L"STATIC", L"windriver", 0, 0, 0, 1, 1, nullptr, nullptr,
                                     nullptr, nullptr);
            if (!w) Fail(L"cannot create a window");
            DestroyWindow(w);
        } else if (step == L"await") {
            const std::wstring event = next(L"event");
            const DWORD parent = static_cast<DWORD>(_wtoi(next(L"pid").c_str()));
            HANDLE handles[2] = {CreateEventW(nullptr, TRUE, FALSE, event.c_str()),
                                 OpenProcess(SYNCHRONIZE, FALSE, parent)};
            if (!handles[0] || !handles[1]) Fail(L"cannot await " + event);
            WaitForMultipleObjects(2, handles, FALSE, 600000);
        } else if (step == L"sleep") {
            Sleep(static_cast<DWORD>(_wtoi(next(L"milliseconds").c_str())));
        } else {
            Fail(L"unknown step " + step, 3);
        }
    }
    return 0;
}
