#include "host/HostWindow.h"

#include "app/AxvekTarvoApp.h"
#include "program/AxvekTarvoProgram.h"
#include "framework/Resources.h"
#include "host/HostKeys.h"
#include "resources/ids.h"

#include "support/ProcessWindow.h"
#include "support/WinTest.h"

using namespace testenv;

class HostWindowTest : public WinTest {
  protected:
    void SetUp() override {
        WinTest::SetUp();
        InstallHost();
        app_ = std::make_unique<CAxvekTarvoProgram>();
        Logfile = dir_ / L"mig.log";
    }
    std::string Log() { return ReadBytes(Logfile); }

    ScratchDir dir_;
    std::unique_ptr<CAxvekTarvoApp> app_;
};

TEST_F(HostWindowTest, FindsTheHostByItsExactTitle) {
    const std::wstring title = fw::LoadResString(IDS_HOST_TITLE_1);
    ProcessWindow host(title);
    ASSERT_TRUE(host.Window());
    std::wstring found;
    EXPECT_EQ(FindHostWindow(found), host.Window());
    EXPECT_EQ(found, title);
}

TEST_F(HostWindowTest, FindsTheHostShowingADrawingIgnoringCase) {
    const std::wstring title =
        text::ToLower(fw::LoadResString(IDS_HOST_TITLE_8)) + L" - [part.dwg]";
    ProcessWindow host(title);
    std::wstring found;
    EXPECT_EQ(FindHostWindow(found), host.Window());
    EXPECT_EQ(found, title);
}

TEST_F(HostWindowTest, TitlesThatOnlyContainAHostTitleAreNotHosts) {
    const std::wstring host = fw::LoadResString(IDS_HOST_TITLE_1);
    ProcessWindow later(L"Viewer for " + host);
    ProcessWindow noBracket(host + L" - part.dwg");
    ProcessWindow glued(host + L"X");
    std::wstring found = L"untouched";
    EXPECT_EQ(FindHostWindow(found), nullptr);
    EXPECT_EQ(found, L"");
    EXPECT_FALSE(TerminateHost(kTerminateUser, *app_));
    EXPECT_FALSE(FileExists(Logfile));
    EXPECT_FALSE(later.WaitForExit(0));
}

TEST_F(HostWindowTest, ATimeoutLogsTheWindowsTextsAndTheBudget) {
    const std::wstring settings = SettingsKeyPath();
    const std::wstring hostLog = dir_ / L"host.log";
    WriteBytes(hostLog, "host\r\n");
    SetString(HKEY_CURRENT_USER, settings, L"LOGFILENAME", hostLog);

    ProcessWindow host(fw::LoadResString(IDS_HOST_TITLE_2) + L" - [slow.dwg]",
                       {L"Regenerating model", L"", L"42 %"});
    ASSERT_TRUE(TerminateHost(kTerminateTimeout, *app_, 7));
    EXPECT_TRUE(host.WaitForExit(10000));
    const std::string expected = "\t" + Narrow(fw::LoadResString(IDS_LOG_TIMEOUT)) +
                                 "\r\n\tRegenerating model\r\n\t42 %\r\n\t" +
                                 Narrow(fw::FormatResString(IDS_LOG_TIMEOUT_MINUTES, {7})) + "\r\n";
    EXPECT_EQ(Log(), expected);
    EXPECT_FALSE(FileExists(hostLog));
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, settings, L"LOGFILENAME"));
}

TEST_F(HostWindowTest, EachReasonHasItsLogLine) {
    {
        ProcessWindow dialog(L"Some dialog");
        ASSERT_TRUE(TerminateWindowProcess(dialog.Window(), L"Some dialog", kTerminateWatchedWindow,
                                           *app_));
        EXPECT_TRUE(dialog.WaitForExit(10000));
    }
    {
        ProcessWindow host(fw::LoadResString(IDS_HOST_TITLE_1));
        ASSERT_TRUE(TerminateHost(kTerminateUser, *app_));
    }
    {
        ProcessWindow host(fw::LoadResString(IDS_HOST_TITLE_1));
        ASSERT_TRUE(TerminateHost(kTerminateHostLogError, *app_));
    }
    EXPECT_EQ(Log(), "\t" + Narrow(fw::FormatResString(IDS_LOG_WATCHED_WINDOW, {L"Some dialog"})) +
                         "\r\n\t" + Narrow(fw::LoadResString(IDS_LOG_USER_STOP)) + "\r\n\t" +
                         Narrow(fw::LoadResString(IDS_LOG_HOST_ERROR)) + "\r\n");
}

TEST_F(HostWindowTest, AWindowWithoutAProcessToOpenLogsNothing) {
    EXPECT_FALSE(TerminateWindowProcess(nullptr, L"none", kTerminateUser, *app_));
    EXPECT_FALSE(FileExists(Logfile));
}
