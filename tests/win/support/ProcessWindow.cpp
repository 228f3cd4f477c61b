#include "support/ProcessWindow.h"

#include "support/WinTest.h"

namespace testenv {

namespace {
struct Find {
    DWORD pid;
    std::wstring title;
    HWND found = nullptr;
};
BOOL CALLBACK FindWindowOf(HWND w, LPARAM lp) {
    auto* f = reinterpret_cast<Find*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    wchar_t title[512] = {};
    GetWindowTextW(w, title, 511);
    if (pid == f->pid && IsWindowVisible(w) && f->title == title) {
        f->found = w;
        return FALSE;
    }
    return TRUE;
}
std::wstring Quote(const std::wstring& s) {
    return L"\"" + s + L"\"";
}
}  // namespace

ProcessWindow::ProcessWindow(const std::wstring& title, const std::vector<std::wstring>& children) {
    std::wstring command = Quote(BinDir() + L"windriver.exe") + L" window " + Quote(title);
    for (const auto& c : children) command += L" " + Quote(c);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return;
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    processId_ = pi.dwProcessId;
    for (int i = 0; i < 200 && !window_; ++i) {
        Find f{processId_, title};
        EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&f));
        window_ = f.found;
        if (!window_) Sleep(50);
    }
}

ProcessWindow::~ProcessWindow() {
    if (!process_) return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) TerminateProcess(process_, 1);
    CloseHandle(process_);
}

bool ProcessWindow::WaitForExit(DWORD milliseconds) {
    return process_ && WaitForSingleObject(process_, milliseconds) == WAIT_OBJECT_0;
}

}  // namespace testenv
