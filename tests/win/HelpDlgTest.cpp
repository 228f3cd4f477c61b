#include "wizard/HelpDlg.h"

#include <memory>

#include "app/AxvekTarvoApp.h"
#include "program/AxvekTarvoProgram.h"
#include "framework/Gdi.h"
#include "framework/Resources.h"
#include "resources/ids.h"

#include "support/WinTest.h"

using namespace testenv;

namespace {

class HelpDlgTest : public WinTest {
  protected:
    void SetUp() override {
        WinTest::SetUp();
        InstallHost();
        app_ = std::make_unique<CAxvekTarvoProgram>();
        // The host folder without its trailing backslash, as the registry holds it.
        host_ = dir_.Path().substr(0, dir_.Path().size() - 1);
        app_->OrtxLocation = host_;
        CreateDirectoryW((dir_ / L"migration").c_str(), nullptr);
    }
    void WriteHelp(const std::string& bytes) {
        WriteBytes(dir_ / L"migration\\dwgmigr.txt", bytes);
    }
    std::wstring HelpFile() const { return CHelpDlg::HelpFilePath(host_); }

    ScratchDir dir_;
    std::wstring host_;
    std::unique_ptr<CAxvekTarvoApp> app_;
};

RECT WithBorders(HWND dialog, int width, int height) {
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
    return r;
}

}  // namespace

TEST_F(HelpDlgTest, HelpFileIsDecodedThroughTheSystemCodePageWithCrLfLines) {
    if (SystemLanguageLocale().CodePage != 1252) GTEST_SKIP() << "needs a 1252 system";
    const struct {
        std::string file;
        std::wstring shown;
    } cases[] = {
        {"Help\nline two\n", L"Help\r\nline two\r\n"},
        {"Help\r\nline two\r\n", L"Help\r\nline two\r\n"},
        {"\xD8 12 \xB1 0,1 \x96 45\xB0 \x80", L"\u00D8 12 \u00B1 0,1 \u2013 45\u00B0 \u20AC"},
        {"", L""},
    };
    for (const auto& c : cases) {
        WriteHelp(c.file);
        EXPECT_EQ(CHelpDlg::ReadHelpText(HelpFile()), c.shown) << c.file;
    }
    DeleteFileW(HelpFile().c_str());
    EXPECT_EQ(CHelpDlg::ReadHelpText(HelpFile()), L"");
    EXPECT_EQ(CHelpDlg::HelpFilePath(L"C:\\Host\\"), L"C:\\Host\\\\migration\\dwgmigr.txt");
}

TEST_F(HelpDlgTest, PictureThatSizesTheWindowFollowsTheColourDepth) {
    const struct {
        int planes, bits;
        UINT picture;
    } cases[] = {
        {1, 1, IDB_HELP_PICTURE_16}, {1, 4, IDB_HELP_PICTURE_16}, {4, 1, IDB_HELP_PICTURE_16},
        {1, 8, IDB_HELP_PICTURE},    {1, 24, IDB_HELP_PICTURE},   {1, 32, IDB_HELP_PICTURE},
        {2, 32, IDB_HELP_PICTURE},   {0, 0, IDB_HELP_PICTURE_16},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CHelpDlg::PictureForDepth(c.planes, c.bits), c.picture) << c.planes << c.bits;
}

TEST_F(HelpDlgTest, WindowShowsTheTextSizedByItsPictureInTheFontOfString2049) {
    WriteHelp("First line\nSecond line\n");
    CHelpDlg help(host_);
    ASSERT_TRUE(help.Create(IDD_HELP, nullptr));
    const HWND window = help.GetSafeHwnd();
    const HWND text = GetDlgItem(window, IDC_HELP_TEXT);
    const HWND close = GetDlgItem(window, IDCANCEL);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(help.GetDlgItemText(IDC_HELP_TEXT), L"First line\r\nSecond line\r\n");
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_EQ(GetFocus(), close);

    // Widths from the picture: the window its bordered width plus 2, the
    // text view that width minus 8.
    fw::CBitmap picture;
    ASSERT_TRUE(picture.LoadBitmap(IDB_HELP_PICTURE));
    SIZE size{};
    ASSERT_TRUE(picture.GetSize(size));
    const RECT bordered = WithBorders(window, size.cx + 2, 100);
    RECT w{}, t{}, c{}, client{};
    GetWindowRect(window, &w);
    GetWindowRect(text, &t);
    GetWindowRect(close, &c);
    GetClientRect(window, &client);
    MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&c), 2);
    EXPECT_EQ(w.right - w.left, bordered.right - bordered.left + 2);
    EXPECT_EQ(t.right - t.left, bordered.right - bordered.left - 8);
    // Close stays inside the grown window, below the grown text view.
    MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&t), 2);
    EXPECT_GE(c.top, t.bottom);
    EXPECT_LE(c.bottom, client.bottom);
    EXPECT_LE(c.right, client.right);

    LOGFONTW font{};
    ASSERT_TRUE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(text, WM_GETFONT, 0, 0)),
                           sizeof font, &font));
    EXPECT_EQ(std::wstring(font.lfFaceName), fw::LoadResString(IDS_HELP_FONT));

    // A click's focus change gives the text view no caret.
    SetFocus(text);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetGUIThreadInfo(GetCurrentThreadId(), &info));
    EXPECT_NE(info.hwndCaret, text);

    // Close only hides the window.
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(HelpDlgTest, WindowOpensEmptyWithoutAHelpFile) {
    CHelpDlg help(host_);
    ASSERT_TRUE(help.Create(IDD_HELP, nullptr));
    EXPECT_TRUE(IsWindowVisible(help.GetSafeHwnd()));
    EXPECT_EQ(help.GetDlgItemText(IDC_HELP_TEXT), L"");
}
