// The window watcher against real windows of other processes: windriver's
// windows, which report the key messages they are sent. A fatal answer ends the window's process,
// so the watcher is never pointed at a window of the test process except to see it left alone.
#include "host/WindowWatcher.h"

#include "app/AxvekTarvoApp.h"
#include "program/AxvekTarvoProgram.h"
#include "framework/Resources.h"
#include "resources/ids.h"

#include "support/ProcessWindow.h"
#include "support/WinTest.h"

using namespace testenv;

namespace {

std::wstring S(UINT id) {
    return fw::LoadResString(id);
}

// A wildcard title with "***" filled in.
std::wstring Fill(UINT id, const std::wstring& middle) {
    std::wstring t = S(id);
    return t.replace(t.find(L"***"), 3, middle);
}

std::string Detail(const std::wstring& text) {
    return "\t" + Ansi(text) + "\r\n";
}

std::string Ended(const std::wstring& title) {
    return Detail(fw::FormatResString(IDS_LOG_WATCHED_WINDOW, {title}));
}

std::string Answered(const std::wstring& title) {
    return Detail(fw::FormatResString(IDS_LOG_ANSWERED_WINDOW, {title}));
}

std::vector<std::string> KeyLines(unsigned key) {
    const std::string k = std::to_string(key);
    return {"key down " + k + " 1", "key char " + k + " 1", "key up " + k + " c0000001"};
}

class WindowWatcherTest : public WinTest {
  protected:
    void SetUp() override {
        WinTest::SetUp();
        InstallHost();
        app_ = std::make_unique<CAxvekTarvoProgram>();
        Logfile = dir_ / L"mig.log";
        watcher_ = std::make_unique<WindowWatcher>(BinDir(), *app_);
    }
    std::string Log() { return ReadBytes(Logfile); }
    void ClearLog() { DeleteFileW(Logfile.c_str()); }

    ScratchDir dir_;
    std::unique_ptr<CAxvekTarvoApp> app_;
    std::unique_ptr<WindowWatcher> watcher_;
};

}  // namespace

TEST_F(WindowWatcherTest, FatalWindowsEndTheirProcessAndStopTheEnumeration) {
    const std::string logged = Detail(S(IDS_LOG_WINDOW_TEXTS));
    struct Case {
        std::wstring Title;
        std::vector<std::wstring> Children;
        std::string LogBefore;  // what precedes the termination line
    } cases[] = {
        {S(2191), {}, ""},
        {text::ToLower(S(2101)), {L"The drawing cannot be read."}, ""},
        {S(2128), {}, ""},
        {Fill(2115, L"Bracket Plate"), {}, ""},
        {Fill(2117, L""), {}, ""},
        // Prefix "Drawing Recovery" and suffix "Recovery Manager" overlap.
        {L"Drawing Recovery Manager", {}, ""},
        {S(2118),
         {L"3 errors found", L"", L"Layer 0 repaired"},
         logged + Detail(L"3 errors found") + Detail(L"Layer 0 repaired")},
        // The migration box without its progress text, the open question
        // without the host's own text: fatal.
        {S(IDS_WATCH_MIGRATION_BOX), {L"Converting parts"}, logged + Detail(L"Converting parts")},
        {S(IDS_WATCH_OPEN_QUESTION), {L"Go on loading?"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.Title));
        ClearLog();
        ProcessWindow window(c.Title, c.Children);
        ASSERT_TRUE(window.Window());
        EXPECT_FALSE(watcher_->WatchWindow(window.Window()));
        EXPECT_TRUE(window.WaitForExit(10000));
        EXPECT_EQ(Log(), c.LogBefore + Ended(c.Title));
    }
}

TEST_F(WindowWatcherTest, OtherWindowsAreLeftAloneExceptForTheOpenQuestionsEnter) {
    HMODULE host = LoadLibraryExW((BinDir() + L"ortxa\\ortxares.dll").c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(host, nullptr);
    wchar_t earlierRelease[512] = {};
    ASSERT_GT(LoadStringW(host, HOST_IDS_EARLIER_RELEASE, earlierRelease, 511), 0);
    FreeLibrary(host);

    struct Case {
        std::wstring Title;
        std::vector<std::wstring> Children;
        std::vector<std::string> Keys;
    } cases[] = {
        {S(2194), {}, {}},  // a placeholder's own text
        {Fill(2115, L"part") + L"x", {}, {}},
        {L"Re: " + S(2191), {}, {}},
        {S(2191) + L"s", {}, {}},
        {S(IDS_WATCH_MIGRATION_BOX), {L"Part 3 of 7", S(IDS_WATCH_HARMLESS_TEXT)}, {}},
        {S(IDS_WATCH_OPEN_QUESTION), {earlierRelease}, KeyLines(VK_RETURN)},
    };
    ASSERT_EQ(S(2194)[0], L'?');
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.Title));
        ProcessWindow window(c.Title, c.Children);
        ASSERT_TRUE(window.Window());
        EXPECT_TRUE(watcher_->WatchWindow(window.Window()));
        EXPECT_FALSE(window.WaitForExit(300));
        EXPECT_EQ(window.WaitForLines(c.Keys.size(), 3000), c.Keys);
    }
    // Without the host's resource library the open question is fatal.
    WindowWatcher elsewhere(dir_.Path(), *app_);
    ProcessWindow question(S(IDS_WATCH_OPEN_QUESTION), {earlierRelease});
    EXPECT_FALSE(elsewhere.WatchWindow(question.Window()));
    EXPECT_TRUE(question.WaitForExit(10000));
    EXPECT_EQ(Log(), Ended(S(IDS_WATCH_OPEN_QUESTION)));

    // The program's own windows are never taken for the host's.
    ClearLog();
    HWND own = CreateWindowExW(0, L"STATIC", S(2191).c_str(), WS_POPUP, 0, 0, 10, 10, nullptr,
                               nullptr, nullptr, nullptr);
    EXPECT_TRUE(watcher_->WatchWindow(own));
    DestroyWindow(own);
    EXPECT_FALSE(FileExists(Logfile));
}

TEST_F(WindowWatcherTest, KeyWindowsGetTheirKeyAsThreeMessages) {
    struct Case {
        std::wstring Title;
        unsigned Key;
        bool Note;
    } cases[] = {
        {S(2130), VK_ESCAPE, false},
        {Fill(2131, L"Bracket.dwg"), VK_ESCAPE, false},
        {S(IDS_WATCH_ANSWER_QUESTION), S(IDS_WATCH_ANSWER)[0], false},
        {S(2133), VK_ESCAPE, false},
        {text::ToLower(S(IDS_WATCH_NOTED_WINDOW)), VK_RETURN, true},
        {S(2137), VK_RETURN, false},
        {S(2138), VK_RETURN, false},
        {S(2139), 0, false},
        {S(2140), 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.Title));
        ClearLog();
        ProcessWindow window(c.Title);
        ASSERT_TRUE(window.Window());
        EXPECT_FALSE(watcher_->WatchWindow(window.Window()));
        EXPECT_EQ(window.WaitForLines(3), KeyLines(c.Key));
        EXPECT_EQ(Log(), Answered(c.Title) + (c.Note ? Detail(S(IDS_LOG_ANSWER_NOTE)) : ""));
        EXPECT_FALSE(window.WaitForExit(0));
    }
}

TEST_F(WindowWatcherTest, OnePassEndsOneFatalWindow) {
    ProcessWindow a(S(2107)), b(S(2108));
    ASSERT_TRUE(a.Window() && b.Window());
    watcher_->WatchTopLevelWindows();
    for (int i = 0; i < 200 && !a.WaitForExit(0) && !b.WaitForExit(0); ++i) Sleep(50);
    Sleep(500);
    EXPECT_NE(a.WaitForExit(0), b.WaitForExit(0));
    watcher_->WatchTopLevelWindows();
    EXPECT_TRUE(a.WaitForExit(5000) && b.WaitForExit(5000));
}

TEST_F(WindowWatcherTest, KeySequencePlaysTabTabDownEnterThenTheHookRemovesItself) {
    const std::wstring title = S(IDS_WATCH_SEQUENCE_WINDOW);
    ProcessWindow window(title);
    ASSERT_TRUE(window.Window());
    EXPECT_FALSE(watcher_->WatchWindow(window.Window()));
    ASSERT_TRUE(watcher_->PlaybackInstalled());

    // The system asks for an event (possibly more than once) and then skips
    // past it; a skip before the first event plays nothing.
    EXPECT_EQ(WindowWatcher::PlaybackProc(HC_SKIP, 0, 0), 0);
    std::vector<std::pair<UINT, UINT>> events;
    for (int i = 0; i < 20 && watcher_->PlaybackInstalled(); ++i) {
        EVENTMSG event{}, again{};
        EXPECT_EQ(WindowWatcher::PlaybackProc(HC_GETNEXT, 0, reinterpret_cast<LPARAM>(&event)), 0);
        WindowWatcher::PlaybackProc(HC_GETNEXT, 0, reinterpret_cast<LPARAM>(&again));
        EXPECT_EQ(again.message, event.message);
        EXPECT_EQ(again.paramL, event.paramL);
        EXPECT_EQ(event.paramH, MapVirtualKeyW(event.paramL, MAPVK_VK_TO_VSC));
        events.emplace_back(event.message, event.paramL);
        WindowWatcher::PlaybackProc(HC_SKIP, 0, 0);
    }
    const std::vector<std::pair<UINT, UINT>> expected = {
        {WM_KEYDOWN, VK_TAB},  {WM_KEYUP, VK_TAB},  {WM_KEYDOWN, VK_TAB},    {WM_KEYUP, VK_TAB},
        {WM_KEYDOWN, VK_DOWN}, {WM_KEYUP, VK_DOWN}, {WM_KEYDOWN, VK_RETURN}, {WM_KEYUP, VK_RETURN}};
    EXPECT_EQ(events, expected);
    EXPECT_FALSE(watcher_->PlaybackInstalled());
    EXPECT_FALSE(window.WaitForExit(0));
}

TEST_F(WindowWatcherTest, AHookThatNeverPlayedEndsTheWindowAtTheNextAnswer) {
    // Wine installs journal hooks but never calls them: the window is still
    // there at the next tick.
    const std::wstring title = S(IDS_WATCH_SEQUENCE_WINDOW);
    ProcessWindow window(title);
    ASSERT_TRUE(window.Window());
    EXPECT_FALSE(watcher_->WatchWindow(window.Window()));
    ASSERT_TRUE(watcher_->PlaybackInstalled());
    EXPECT_FALSE(watcher_->WatchWindow(window.Window()));
    EXPECT_FALSE(watcher_->PlaybackInstalled());
    EXPECT_TRUE(window.WaitForExit(10000));
    EXPECT_EQ(Log(), Ended(title));

    // A watcher that goes away takes its hook with it; the next one starts afresh.
    ProcessWindow next(title);
    {
        WindowWatcher run(BinDir(), *app_);
        EXPECT_FALSE(run.WatchWindow(next.Window()));
        EXPECT_TRUE(run.PlaybackInstalled());
    }
    EXPECT_FALSE(watcher_->WatchWindow(next.Window()));
    EXPECT_TRUE(watcher_->PlaybackInstalled());
    EXPECT_FALSE(next.WaitForExit(0));
}

TEST_F(WindowWatcherTest, AWindowComingToTheFrontGetsNoKeysAndTheDialogIsEndedNext) {
    const std::wstring title = S(IDS_WATCH_SEQUENCE_WINDOW);
    ProcessWindow window(title);
    ASSERT_TRUE(window.Window());
    EXPECT_FALSE(watcher_->WatchWindow(window.Window()));
    ASSERT_TRUE(watcher_->PlaybackInstalled());

    // The user clicks into another program before the first key plays.
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                 nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(other);
    SetForegroundWindow(other);
    ASSERT_EQ(GetForegroundWindow(), other);
    EVENTMSG event{};
    event.message = WM_KEYDOWN;
    EXPECT_EQ(WindowWatcher::PlaybackProc(HC_GETNEXT, 0, reinterpret_cast<LPARAM>(&event)), 0);
    EXPECT_EQ(event.message, 0u);
    EXPECT_EQ(event.paramL, 0u);
    EXPECT_FALSE(watcher_->PlaybackInstalled());

    EXPECT_FALSE(watcher_->WatchWindow(window.Window()));
    EXPECT_TRUE(window.WaitForExit(10000));
    EXPECT_EQ(Log(), Ended(title));
    DestroyWindow(other);
}

TEST(WatcherStrings, BothLanguagesTitleEveryRow) {
    for (const wchar_t* language : {L"en-US", L"de-DE"}) {
        SCOPED_TRACE(Narrow(language));
        ResourceLibraryScope scope(LoadLibraryW(ResourceLibraryFile(language).c_str()));
        ASSERT_NE(scope.Library(), nullptr);
        text::NoCaseSet titles;
        size_t count = 0;
        for (UINT id = 2101; id <= 2141; ++id) {
            if (id == IDS_WATCH_ANSWER || id == IDS_WATCH_HARMLESS_TEXT) continue;
            const std::wstring t = S(id);
            EXPECT_FALSE(t.empty()) << id;
            if (t[0] == L'?') continue;
            titles.insert(t);
            ++count;
            const bool wildcard = (id >= 2115 && id <= 2117) || id == 2131;
            EXPECT_EQ(t.find(L"***") != std::wstring::npos && t.find(L"***") > 0, wildcard) << id;
        }
        for (UINT id : {2191u, 2192u, 2193u, 2194u, 2195u, 2136u, 2141u, 2016u, 2076u, 2276u})
            EXPECT_FALSE(S(id).empty()) << id;
        EXPECT_EQ(titles.size(), count);  // no title answers for another
        EXPECT_NE(S(IDS_LOG_ANSWERED_WINDOW).find(L"%s"), std::wstring::npos);
    }
}
