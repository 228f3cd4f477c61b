#include "host/WindowWatcher.h"

#include "core/Text.h"
#include "framework/Handle.h"
#include "framework/Resources.h"
#include "framework/Wnd.h"
#include "host/HostWindow.h"
#include "host/core/WatchTables.h"
#include "resources/ids.h"

namespace {

// The watcher whose journal-playback hook is installed. The hook procedure
// has no context of its own, and the system allows one playback at a time.
WindowWatcher* g_playing = nullptr;

bool IsOwnWindow(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId == GetCurrentProcessId();
}

BOOL CALLBACK WatchOne(HWND window, LPARAM param) {
    return reinterpret_cast<WindowWatcher*>(param)->WatchWindow(window) ? TRUE : FALSE;
}

}  // namespace

void PostKeyToWindow(HWND window, UINT key) {
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_CHAR, key, 1);
    PostMessageW(window, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
}

WindowWatcher::WindowWatcher(std::wstring hostFolder, LogSink& log)
    : hostFolder_(std::move(hostFolder)), log_(log) {
    for (const FatalRow& row : kFatalRows)
        fatal_.push_back({row.Id, fw::LoadResString(row.Id), row.Wildcard, row.LogsChildren, 0});
    const std::wstring answer = fw::LoadResString(IDS_WATCH_ANSWER);
    const UINT answerKey = answer.empty() ? 0 : static_cast<UINT>(answer[0]);
    for (const KeyRow& row : kKeyRows)
        keys_.push_back({row.Id, fw::LoadResString(row.Id), row.Wildcard, false,
                         row.AnswerKey ? answerKey : row.Key});
    sequenceTitle_ = fw::LoadResString(IDS_WATCH_SEQUENCE_WINDOW);
    harmlessText_ = fw::LoadResString(IDS_WATCH_HARMLESS_TEXT);
    answeredFormat_ = fw::LoadResString(IDS_LOG_ANSWERED_WINDOW);
    answerNote_ = fw::LoadResString(IDS_LOG_ANSWER_NOTE);
    windowTexts_ = fw::LoadResString(IDS_LOG_WINDOW_TEXTS);
}

WindowWatcher::~WindowWatcher() {
    RemovePlayback();
}

void WindowWatcher::WatchTopLevelWindows() {
    EnumWindows(WatchOne, reinterpret_cast<LPARAM>(this));
}

bool WindowWatcher::WatchWindow(HWND window) {
    const std::wstring title = fw::WindowText(window);
    if (title.empty()) return true;
    // A dialog still being made has its title but not yet its children, so
    // its harmless texts would be missed; it is looked at once it shows.
    if (!IsWindowVisible(window)) return true;
    // Ending the program's own process would leave the host profile in its
    // migration state; nothing of ours is a host dialog.
    if (IsOwnWindow(window)) return true;

    for (const Title& row : fatal_) {
        if (IsPlaceholderTitle(row.Text) || !TitleMatches(title, row.Text, row.Wildcard)) continue;
        if (row.Id == IDS_WATCH_MIGRATION_BOX && HasChildText(window, harmlessText_)) continue;
        if (row.Id == IDS_WATCH_OPEN_QUESTION) {
            const std::wstring question = HostEarlierReleaseText();
            if (!question.empty() && HasChildText(window, question)) {
                PostKeyToWindow(window, VK_RETURN);
                continue;
            }
        }
        return EndWindow(window, title, row.LogsChildren);
    }

    const bool hasSequence = !sequenceTitle_.empty() && !IsPlaceholderTitle(sequenceTitle_);
    for (const Title& row : keys_) {
        if (IsPlaceholderTitle(row.Text)) continue;
        if (TitleMatches(title, row.Text, row.Wildcard)) {
            log_.LogDetail(text::Format(answeredFormat_, {title}));
            if (row.Id == IDS_WATCH_NOTED_WINDOW) log_.LogDetail(answerNote_);
            PostKeyToWindow(window, row.Key);
            return false;
        }
        if (hasSequence && text::EqualsNoCase(title, sequenceTitle_)) {
            AnswerWithSequence(window, title);
            return false;
        }
    }
    return true;
}

bool WindowWatcher::EndWindow(HWND window, const std::wstring& title, bool logChildren) {
    if (logChildren) {
        log_.LogDetail(windowTexts_);
        for (const std::wstring& t : ChildWindowTexts(window)) log_.LogDetail(t);
    }
    if (!TerminateWindowProcess(window, title, kTerminateWatchedWindow, log_))
        PostKeyToWindow(window, VK_ESCAPE);
    return false;
}

void WindowWatcher::AnswerWithSequence(HWND window, const std::wstring& title) {
    // A hook still installed from the last answer never played its keys
    // (some systems install journal hooks but never call them), and a
    // sequence given up for want of the foreground left the window waiting
    // too: end it rather than wait for the time budget.
    const bool stalled = g_playing != nullptr || refused_;
    if (g_playing) g_playing->RemovePlayback();
    refused_ = false;

    if (!stalled) {
        BringWindowToTop(window);
        // The keys go to whatever has the focus: only to this dialog.
        if (SetForegroundWindow(window) && GetForegroundWindow() == window) {
            const UINT keys[] = {VK_TAB, VK_TAB, VK_DOWN, VK_RETURN};
            for (size_t i = 0; i < kSequenceLength; ++i)
                sequence_[i] = i < sizeof keys / sizeof keys[0] ? keys[i] : 0;
            index_ = -1;
            keyDown_ = false;
            key_ = 0;
            target_ = window;
            g_playing = this;
            hook_.Reset(
                SetWindowsHookExW(WH_JOURNALPLAYBACK, PlaybackProc, GetModuleHandleW(nullptr), 0));
            if (hook_) return;
            g_playing = nullptr;
        }
    }
    if (!TerminateWindowProcess(window, title, kTerminateWatchedWindow, log_))
        PostKeyToWindow(window, VK_RETURN);
}

void WindowWatcher::RemovePlayback() {
    hook_.Reset();
    if (g_playing == this) g_playing = nullptr;
}

bool WindowWatcher::PlaybackInstalled() const {
    return hook_.Valid();
}

LRESULT CALLBACK WindowWatcher::PlaybackProc(int code, WPARAM wParam, LPARAM lParam) {
    WindowWatcher* w = g_playing;
    if (code < 0 || !w) return CallNextHookEx(nullptr, code, wParam, lParam);
    if (w->index_ < 0) {
        w->index_ = 0;
        w->key_ = w->sequence_[0];
        w->keyDown_ = true;
        if (code == HC_SKIP) return 0;
    }
    if (code == HC_GETNEXT) {
        auto* event = reinterpret_cast<EVENTMSG*>(lParam);
        if (!event) return 0;
        // Another window came to the front meanwhile: its user would get the
        // keys. None is played; the next answer ends the dialog instead.
        if (GetForegroundWindow() != w->target_) {
            w->RemovePlayback();
            w->refused_ = true;
            *event = EVENTMSG{};
            return 0;
        }
        event->message = w->keyDown_ ? WM_KEYDOWN : WM_KEYUP;
        event->paramL = w->key_;
        event->paramH = MapVirtualKeyW(w->key_, MAPVK_VK_TO_VSC);
        event->time = GetTickCount();
        event->hwnd = nullptr;
        return 0;  // play it now
    }
    if (code == HC_SKIP) {
        if (w->keyDown_) {
            w->keyDown_ = false;
        } else {
            ++w->index_;
            w->keyDown_ = true;
            w->key_ =
                static_cast<size_t>(w->index_) < kSequenceLength ? w->sequence_[w->index_] : 0;
            if (w->key_ == 0) w->RemovePlayback();
        }
    }
    return 0;
}

bool WindowWatcher::HasChildText(HWND window, const std::wstring& text) const {
    for (const std::wstring& t : ChildWindowTexts(window))
        if (text::EqualsNoCase(t, text)) return true;
    return false;
}

std::wstring WindowWatcher::HostEarlierReleaseText() const {
    // Loaded as data: only its strings are wanted, none of its code.
    if (hostFolder_.empty()) return std::wstring();
    std::wstring path = hostFolder_;
    text::AppendTrailingSeparator(path);
    path += L"ortxa\\ortxares.dll";
    fw::UniqueModule library(LoadLibraryExW(
        path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!library) return std::wstring();
    const wchar_t* text = nullptr;
    const int length =
        LoadStringW(library.Get(), HOST_IDS_EARLIER_RELEASE, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}
