#include "host/HostWindow.h"

#include <vector>

#include "core/Text.h"
#include "framework/Handle.h"
#include "framework/Resources.h"
#include "framework/Wnd.h"
#include "host/HostLog.h"
#include "resources/ids.h"

namespace {

// The title of the last window the host search looked at.
std::wstring g_searchTitle;

constexpr UINT kHostTitles[] = {IDS_HOST_TITLE_1, IDS_HOST_TITLE_2, IDS_HOST_TITLE_3,
                                IDS_HOST_TITLE_4, IDS_HOST_TITLE_5, IDS_HOST_TITLE_6,
                                IDS_HOST_TITLE_7, IDS_HOST_TITLE_8};

struct HostSearch {
    std::vector<std::wstring> titles;
    HWND found = nullptr;
};

bool IsHostTitle(const std::wstring& title, const std::vector<std::wstring>& hostTitles) {
    for (const std::wstring& host : hostTitles) {
        if (host.empty()) continue;
        if (text::EqualsNoCase(title, host) || text::StartsWithNoCase(title, host + L" - ["))
            return true;
    }
    return false;
}

BOOL CALLBACK ExamineWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<HostSearch*>(param);
    g_searchTitle = fw::WindowText(window);
    if (g_searchTitle.empty()) return TRUE;
    if (IsHostTitle(g_searchTitle, search->titles)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectChildText(HWND child, LPARAM param) {
    // WM_GETTEXT reaches controls of other processes; give up on a hung one.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(child, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 1000, &length))
        return TRUE;
    if (length == 0 || length > 65536) return TRUE;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(child, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, 1000, &copied))
        return TRUE;
    text.resize(copied < text.size() ? static_cast<size_t>(copied) : text.size() - 1);
    if (!text.empty()) reinterpret_cast<std::vector<std::wstring>*>(param)->push_back(text);
    return TRUE;
}

}  // namespace

HWND FindHostWindow(std::wstring& title) {
    HostSearch search;
    for (UINT id : kHostTitles) search.titles.push_back(fw::LoadResString(id));
    g_searchTitle.clear();
    EnumWindows(ExamineWindow, reinterpret_cast<LPARAM>(&search));
    title = search.found ? g_searchTitle : std::wstring();
    return search.found;
}

HWND FindHostWindow() {
    std::wstring title;
    return FindHostWindow(title);
}

std::vector<std::wstring> ChildWindowTexts(HWND window) {
    std::vector<std::wstring> texts;
    EnumChildWindows(window, CollectChildText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

bool TerminateWindowProcess(HWND window, const std::wstring& title, int reason, LogSink& log,
                            int timeoutMinutes) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    fw::UniqueHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, processId));
    if (!process) return false;

    switch (reason) {
        case kTerminateTimeout: {
            log.LogDetail(fw::LoadResString(IDS_LOG_TIMEOUT));
            for (const std::wstring& t : ChildWindowTexts(window)) log.LogDetail(t);
            log.LogDetail(fw::FormatResString(IDS_LOG_TIMEOUT_MINUTES, {timeoutMinutes}));
            break;
        }
        case kTerminateWatchedWindow:
            log.LogDetail(fw::FormatResString(IDS_LOG_WATCHED_WINDOW, {title}));
            break;
        case kTerminateUser:
            log.LogDetail(fw::LoadResString(IDS_LOG_USER_STOP));
            break;
        case kTerminateHostLogError:
            log.LogDetail(fw::LoadResString(IDS_LOG_HOST_ERROR));
            break;
    }
    const bool terminated = TerminateProcess(process.Get(), 0) != FALSE;
    DeleteHostLog();
    return terminated;
}

bool TerminateHost(int reason, LogSink& log, int timeoutMinutes) {
    std::wstring title;
    HWND window = FindHostWindow(title);
    return window ? TerminateWindowProcess(window, title, reason, log, timeoutMinutes) : false;
}
