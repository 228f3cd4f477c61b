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
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE out = CreateFileW((dir_ / L"out.txt").c_str(), GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = out;
    PROCESS_INFORMATION pi{};
    const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &si, &pi);
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    if (!started) return;
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
    WaitForSingleObject(process_, 10000);  // it holds its output file
    CloseHandle(process_);
}

std::vector<std::string> ProcessWindow::Lines() const {
    std::vector<std::string> lines;
    const std::string bytes = ReadBytes(dir_ / L"out.txt");
    size_t start = 0;
    for (size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(bytes.substr(start, end - start));
    return lines;
}

std::vector<std::string> ProcessWindow::WaitForLines(size_t count, DWORD milliseconds) const {
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    std::vector<std::string> lines = Lines();
    while (lines.size() < count && GetTickCount64() < deadline) {
        Sleep(50);
        lines = Lines();
    }
    return lines;
}

bool ProcessWindow::WaitForExit(DWORD milliseconds) {
    return process_ && WaitForSingleObject(process_, milliseconds) == WAIT_OBJECT_0;
}

}  // namespace testenv
