// Every text of every window, in both languages, fits its control: measured
// in the font the control draws with, at the screen's pixels per inch. The
// test command runs this again with Wine set to 144 and 192 pixels per inch
// (AXTEST_DPI names the size the run must see).
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/AxvekTarvoApp.h"
#include "program/AxvekTarvoProgram.h"
#include "framework/Gdi.h"
#include "framework/Resources.h"
#include "resources/ids.h"
#include "framework/Controls.h"
#include "wizard/HelpDlg.h"
#include "wizard/Notices.h"
#include "wizard/PaintedControls.h"
#include "wizard/TarvoWizard.h"

#include "support/Pixels.h"
#include "support/WinTest.h"
#include "support/WindowControls.h"
#include "support/WizardDriver.h"

using namespace testenv;

namespace {

// Painted in bold on their windows.
const int kBold[] = {IDC_BEGIN_HEADING,       IDC_FILES_HEADING,        IDC_OPT_HEADING,
                     IDC_STD_HEADING,         IDC_SEARCH_HEADING,       IDC_FINISH_HEADING,
                     IDC_PROGRESS_SCAN_LABEL, IDC_PROGRESS_UPDATE_LABEL};

bool Bold(int id) {
    for (int bold : kBold)
        if (bold == id) return true;
    return false;
}

int Scaled(int pixels) {
    return MulDiv(pixels, fw::ScreenDpi(), 96);
}

std::string Describe(const Control& c) {
    return "\"" + Narrow(c.ShownText()) + "\" (#" + std::to_string(c.Id) + ")";
}

// What does not fit on the window: texts wider or taller than their
// controls, and texts whose controls overlap.
std::vector<std::string> Misfits(HWND window) {
    std::vector<std::string> misfits;
    std::vector<Control> shown;
    for (const Control& c : ControlsOf(window)) {
        if (!(c.Style & WS_VISIBLE) || c.Text.empty() || c.IsInput()) continue;
        const DWORD type = c.Style & SS_TYPEMASK;
        if (c.IsStatic() && (c.Style & SS_ELLIPSISMASK)) continue;  // shortened on purpose
        if (c.IsStatic() && type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT &&
            type != SS_LEFTNOWORDWRAP && type != SS_SIMPLE)
            continue;  // a picture
        RECT client{};
        GetClientRect(c.Hwnd, &client);
        const bool wraps = c.IsStatic() && type != SS_LEFTNOWORDWRAP && type != SS_SIMPLE &&
                           !(c.Style & SS_CENTERIMAGE);
        const SIZE need = TextExtent(c.Hwnd, c.ShownText(), wraps ? client.right : 0, Bold(c.Id));
        int room = client.right;
        if (c.IsPushButton()) room -= Scaled(6);
        if (c.IsCheckOrRadio()) room -= Scaled(17);  // the box and the gap after it
        if (c.IsGroupBox()) room -= Scaled(16);
        if (need.cx > room)
            misfits.push_back(Describe(c) + " needs " + std::to_string(need.cx) + " pixels, has " +
                              std::to_string(room));
        if (need.cy > client.bottom && !c.IsGroupBox())
            misfits.push_back(Describe(c) + " needs " + std::to_string(need.cy) +
                              " pixels of height, has " + std::to_string(client.bottom));
        if (!c.IsGroupBox()) shown.push_back(c);
    }
    for (size_t i = 0; i < shown.size(); ++i)
        for (size_t j = i + 1; j < shown.size(); ++j) {
            RECT common{};
            if (IntersectRect(&common, &shown[i].Rect, &shown[j].Rect))
                misfits.push_back(Describe(shown[i]) + " overlaps " + Describe(shown[j]));
        }
    return misfits;
}

void ExpectFits(HWND window, const std::string& where) {
    for (const std::string& misfit : Misfits(window)) ADD_FAILURE() << where << ": " << misfit;
}

const wchar_t* const kLanguages[] = {L"en-US", L"de-DE"};

class TextFit : public WinTest {
  protected:
    void SetUp() override {
        WinTest::SetUp();
        // As the program's manifest declares.
        SetProcessDPIAware();
        InstallHost();
        app_ = std::make_unique<CAxvekTarvoProgram>();
    }
    void TearDown() override {
        app_.reset();
        WinTest::TearDown();
    }
    void UseLanguage(const wchar_t* language) {
        resources_.reset();
        resources_ = std::make_unique<ResourceLibraryScope>(
            LoadLibraryW(ResourceLibraryFile(language).c_str()));
    }

    std::unique_ptr<CAxvekTarvoApp> app_;
};

}  // namespace

TEST_F(TextFit, TheScreenHasThePixelsPerInchTheRunAsksFor) {
    const char* dpi = std::getenv("AXTEST_DPI");
    if (!dpi) GTEST_SKIP() << "a run at the screen's own size";
    EXPECT_EQ(fw::ScreenDpi(), std::atoi(dpi));
}

TEST_F(TextFit, EveryPageAndTheSheetsButtonsInBothLanguages) {
    for (const wchar_t* language : kLanguages) {
        UseLanguage(language);
        const std::string lang = Narrow(language) + " at " + std::to_string(fw::ScreenDpi());
        CTARVOWizard wizard(*app_);
        WizardDriver driver(
            [&](WizardDriver& d) {
                const HWND sheet = d.Wait(fw::LoadResString(IDS_CAPTION), 0x3024);
                for (int page = 0; page < 6; ++page) {
                    SendMessageW(sheet, PSM_SETCURSEL, page, 0);
                    HWND shown = nullptr;
                    d.WaitUntil(
                        [&] {
                            shown = reinterpret_cast<HWND>(
                                SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
                            return shown && IsWindowVisible(shown);
                        },
                        "the page");
                    ExpectFits(shown, lang + " page " + std::to_string(page + 1));
                    ExpectFits(sheet, lang + " sheet on page " + std::to_string(page + 1));
                }
            },
            [&] { wizard.EndDialog(-2); });
        // The script ends the wizard when it is done: no page is left to show.
        std::thread ender([&] {
            driver.Finished();
            wizard.EndDialog(IDCANCEL);
        });
        wizard.DoModal();
        ender.join();
    }
}

TEST_F(TextFit, TheHelpWindowTheNoticesAndTheMonitorInBothLanguages) {
    // The monitor's texts that come while it runs, each in its control.
    const struct {
        int control;
        UINT text;
    } runTexts[] = {
        {IDC_PROGRESS_STATUS, IDS_RUN_MIGRATED},
        {IDC_PROGRESS_STATUS, IDS_RUN_DONE},
        {IDC_PROGRESS_STATUS, IDS_ANALYSE_STATUS},
        {IDC_PROGRESS_SCAN_LABEL, IDS_ANALYSE_LABEL},
    };
    for (const wchar_t* language : kLanguages) {
        UseLanguage(language);
        const std::string lang = Narrow(language) + " at " + std::to_string(fw::ScreenDpi());
        {
            CHelpDlg help(app_->OrtxLocation);
            ASSERT_TRUE(help.Create(IDD_HELP, nullptr));
            ExpectFits(help.GetSafeHwnd(), lang + " help window");
        }
        {
            CSafetyDlg safety;
            ASSERT_TRUE(safety.Create(IDD_SAFETY_NOTICE, nullptr));
            ExpectFits(safety.GetSafeHwnd(), lang + " safety notice");
        }
        {
            CRunVekDlg missing;
            ASSERT_TRUE(missing.Create(IDD_RUN_VEK, nullptr));
            ExpectFits(missing.GetSafeHwnd(), lang + " missing-profile notice");
        }
        fw::CDialog monitor(IDD_PROGRESS);
        ASSERT_TRUE(monitor.Create(IDD_PROGRESS, nullptr));
        ExpectFits(monitor.GetSafeHwnd(), lang + " monitor");
        for (const auto& t : runTexts) {
            SetDlgItemTextW(monitor.GetSafeHwnd(), t.control, fw::LoadResString(t.text).c_str());
            ExpectFits(monitor.GetSafeHwnd(),
                       lang + " monitor showing string " + std::to_string(t.text));
        }
    }
}

TEST_F(TextFit, PicturesGrowWithTheScreenAndAreNotCut) {
    auto About = [](long shown, long expected) {
        return shown >= expected - 2 && shown <= expected + 2;
    };

    // The help window's picture, and the window as wide as it.
    fw::CBitmap helpPicture;
    ASSERT_TRUE(helpPicture.LoadBitmap(IDB_HELP_PICTURE));
    SIZE help{};
    ASSERT_TRUE(helpPicture.GetSize(help));
    {
        CHelpDlg window(app_->OrtxLocation);
        ASSERT_TRUE(window.Create(IDD_HELP, nullptr));
        RECT picture{}, client{};
        GetWindowRect(GetDlgItem(window.GetSafeHwnd(), IDC_HELP_PICTURE), &picture);
        GetClientRect(window.GetSafeHwnd(), &client);
        const SIZE expected = fw::ScaledForScreen(help);
        EXPECT_TRUE(About(picture.right - picture.left, expected.cx))
            << picture.right - picture.left;
        EXPECT_TRUE(About(picture.bottom - picture.top, expected.cy))
            << picture.bottom - picture.top;
        EXPECT_GE(client.right, picture.right - picture.left);
    }

    // The emblem: what it shows spans the picture's drawing, grown.
    fw::CBitmap emblem;
    ASSERT_TRUE(emblem.LoadBitmap(IDB_EMBLEM));
    const Pixels source = BitmapPixels(emblem.Get());
    ASSERT_GT(source.Width, 0);
    int sourceRight = 0, sourceBottom = 0;
    for (int y = 0; y < source.Height; ++y)
        for (int x = 0; x < source.Width; ++x)
            if (source.At(x, y) != 0xFFFFFF) {
                sourceRight = std::max(sourceRight, x + 1);
                sourceBottom = std::max(sourceBottom, y + 1);
            }
    const SIZE grown = fw::ScaledForScreen(SIZE{source.Width, source.Height});
    const HWND frame = ShowTestFrame(grown.cx + 60, grown.cy + 60);
    ASSERT_TRUE(frame);
    {
        CTranspBmp control;
        ASSERT_TRUE(control.SubclassWindow(
            CreateWindowW(L"Static", L"", WS_CHILD | WS_VISIBLE, 10, 10, grown.cx + 40,
                          grown.cy + 40, frame, nullptr, GetModuleHandleW(nullptr), nullptr)));
        const Pixels shown = Capture(control.GetSafeHwnd());
        const uint32_t face = Rgb(GetSysColor(COLOR_BTNFACE));
        int right = 0, bottom = 0;
        for (int y = 0; y < shown.Height; ++y)
            for (int x = 0; x < shown.Width; ++x)
                if (ChannelDistance(shown.At(x, y), face) > 24) {
                    right = std::max(right, x + 1);
                    bottom = std::max(bottom, y + 1);
                }
        EXPECT_TRUE(About(right, MulDiv(sourceRight, fw::ScreenDpi(), 96))) << right;
        EXPECT_TRUE(About(bottom, MulDiv(sourceBottom, fw::ScreenDpi(), 96))) << bottom;
    }
    DestroyWindow(frame);

    // The standards' images in the tree's rows.
    fw::CImageList images;
    ASSERT_TRUE(images.LoadBitmap(IDB_STANDARDS, 24, 1, RGB(255, 255, 255)));
    int width = 0, height = 0;
    ImageList_GetIconSize(images.Get(), &width, &height);
    EXPECT_EQ(width, MulDiv(24, fw::ScreenDpi(), 96));
    EXPECT_EQ(height, MulDiv(16, fw::ScreenDpi(), 96));
    EXPECT_EQ(images.GetImageCount(), 2);
}
