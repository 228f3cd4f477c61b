#include "support/WizardDriver.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <prsht.h>

#include <vector>

#include "support/WinTest.h"

namespace testenv {

namespace {

struct Search {
    std::wstring title;
    int childId;
    HWND found = nullptr;
};

BOOL CALLBACK FindWindowOfProcess(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != GetCurrentProcessId() || !IsWindowVisible(w)) return TRUE;
    if (WizardDriver::Text(w) != s->title) return TRUE;
    if (s->childId && !WizardDriver::Child(w, s->childId)) return TRUE;
    s->found = w;
    return FALSE;
}

BOOL CALLBACK CollectVisible(HWND w, LPARAM lp) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == GetCurrentProcessId() && IsWindowVisible(w))
        reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
    return TRUE;
}

}  // namespace

WizardDriver::WizardDriver(std::function<void(WizardDriver&)> script, std::function<void()> end)
    : end_(std::move(end)) {
    thread_ = std::thread([this, script = std::move(script)] {
        try {
            script(*this);
            finished_ = true;
        } catch (const Stopped& stopped) {
            ADD_FAILURE() << "the script stopped: " << stopped.what();
            EndEverything();
        }
    });
}

WizardDriver::~WizardDriver() {
    if (thread_.joinable()) thread_.join();
}

bool WizardDriver::Finished() {
    if (thread_.joinable()) thread_.join();
    return finished_;
}

HWND WizardDriver::Wait(const std::wstring& title, int childId, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    do {
        Search s{title, childId};
        EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&s));
        if (s.found) {
            Sleep(100);  // let it finish its initialisation and painting
            return s.found;
        }
        Sleep(50);
    } while (GetTickCount64() < deadline);
    throw Stopped("no window \"" + Narrow(title) + "\" with child " + std::to_string(childId));
}

void WizardDriver::WaitGone(HWND window, DWORD timeoutMs) {
    WaitUntil([window] { return !IsWindow(window) || !IsWindowVisible(window); }, "window gone",
              timeoutMs);
}

void WizardDriver::WaitUntil(const std::function<bool()>& condition, const char* what,
                             DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (GetTickCount64() > deadline) throw Stopped(what);
        Sleep(50);
    }
}

HWND WizardDriver::Child(HWND window, int id) {
    // Pages met before stay as hidden children of the sheet, and pages share
    // ids: the control of the page on show wins, then a hidden control of it.
    struct Find {
        int id;
        HWND shown = nullptr, onShownPage = nullptr, any = nullptr;
    } f{id};
    EnumChildWindows(
        window,
        [](HWND w, LPARAM lp) -> BOOL {
            auto* f = reinterpret_cast<Find*>(lp);
            if (GetDlgCtrlID(w) != f->id) return TRUE;
            if (!f->any) f->any = w;
            if (!f->onShownPage && IsWindowVisible(GetParent(w))) f->onShownPage = w;
            if (IsWindowVisible(w)) {
                f->shown = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&f));
    return f.shown ? f.shown : f.onShownPage ? f.onShownPage : f.any;
}

void WizardDriver::Click(HWND window, int id) {
    PostMessageW(Child(window, id), BM_CLICK, 0, 0);
}

int WizardDriver::Checked(HWND window, int id) {
    return static_cast<int>(SendMessageW(Child(window, id), BM_GETCHECK, 0, 0));
}

std::wstring WizardDriver::Text(HWND window, int id) {
    HWND w = id ? Child(window, id) : window;
    if (!w) return std::wstring();
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(w)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(w, text.data(), static_cast<int>(text.size()))));
    return text;
}

void WizardDriver::Press(HWND sheet, int button) {
    PostMessageW(sheet, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0);
}

void WizardDriver::EndEverything() {
    if (end_) end_();
    for (int round = 0; round < 20; ++round) {
        std::vector<HWND> open;
        EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&open));
        if (open.empty()) return;
        for (HWND w : open) {
            // Message boxes and notices: whichever of their buttons ends them.
            PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
            PostMessageW(w, WM_COMMAND, IDNO, 0);
            PostMessageW(w, WM_COMMAND, IDOK, 0);
        }
        Sleep(200);
    }
}

}  // namespace testenv
