#include "support/WindowActor.h"

namespace testenv {

namespace {
struct Search {
    const std::wstring* title;
    HWND found = nullptr;
};

BOOL CALLBACK FindWindowOfThisProcess(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != GetCurrentProcessId() || !IsWindowVisible(w)) return TRUE;
    wchar_t text[512] = {};
    if (s->title->empty())
        GetClassNameW(w, text, 511);
    else
        GetWindowTextW(w, text, 511);
    if (s->title->empty() ? std::wstring(text) == L"#32770" : *s->title == text) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

WindowActor::WindowActor(std::wstring title, std::function<void(HWND)> action, DWORD timeoutMs)
    : title_(std::move(title)), action_(std::move(action)), timeoutMs_(timeoutMs) {
    thread_ = std::thread([this] {
        const ULONGLONG deadline = GetTickCount64() + timeoutMs_;
        while (GetTickCount64() < deadline) {
            Search s{&title_};
            EnumWindows(FindWindowOfThisProcess, reinterpret_cast<LPARAM>(&s));
            if (s.found) {
                Sleep(150);  // let the window finish its initialisation
                seen_ = true;
                action_(s.found);
                return;
            }
            Sleep(50);
        }
    });
}

WindowActor::~WindowActor() {
    if (thread_.joinable()) thread_.join();
}

bool WindowActor::Done() {
    if (thread_.joinable()) thread_.join();
    return seen_;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus
                                                                              : nullptr;
}

}  // namespace testenv
