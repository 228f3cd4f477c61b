#include "wizard/WizardPage.h"

#include <functional>
#include <memory>
#include <string>

#include "app/AxvekTarvoApp.h"
#include "program/AxvekTarvoProgram.h"
#include "resources/ids.h"
#include "wizard/PageBegin.h"
#include "wizard/PageFiles.h"
#include "wizard/PageFinish.h"
#include "wizard/PageOptions.h"
#include "wizard/PageSearch.h"
#include "wizard/PageStds.h"

#include "support/PageSheet.h"
#include "support/Pixels.h"
#include "support/WinTest.h"

using namespace testenv;

namespace {

// The heading's text as the template's font draws it, in a bitmap of the
// heading's size: the ink of the plain weight.
int PlainInk(HWND heading) {
    RECT r{};
    GetClientRect(heading, &r);
    wchar_t text[128] = {};
    GetWindowTextW(heading, text, 127);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right, r.bottom);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    FillRect(memory, &r, face);
    HGDIOBJ oldFont =
        SelectObject(memory, reinterpret_cast<HGDIOBJ>(SendMessageW(heading, WM_GETFONT, 0, 0)));
    SetBkMode(memory, TRANSPARENT);
    SetTextColor(memory, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(memory, text, -1, &r, DT_SINGLELINE);
    SelectObject(memory, oldFont);
    SelectObject(memory, oldBitmap);
    const int ink = OffFacePixels(BitmapPixels(bitmap));
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ink;
}

class WizardPageTest : public WinTest {
  protected:
    void SetUp() override {
        WinTest::SetUp();
        InstallHost();
    }
    CAxvekTarvoProgram app_;
};

}  // namespace

TEST_F(WizardPageTest, EveryPageShowsItsPictureEmblemAndBoldHeading) {
    using Make = std::function<std::unique_ptr<CWizardPage>(CAxvekTarvoApp&)>;
    const struct {
        const char* name;
        Make make;
        int picture, emblem, heading;  // 0: the page has none
    } pages[] = {
        {"Begin", [](CAxvekTarvoApp& a) { return std::make_unique<CPageBegin>(nullptr, a); },
         IDC_BEGIN_PICTURE, IDC_BEGIN_EMBLEM, IDC_BEGIN_HEADING},
        {"Files", [](CAxvekTarvoApp& a) { return std::make_unique<CPageFiles>(nullptr, a); }, 0,
         IDC_FILES_EMBLEM, IDC_FILES_HEADING},
        {"Options", [](CAxvekTarvoApp& a) { return std::make_unique<CPageOptions>(nullptr, a); },
         IDC_OPT_PICTURE, IDC_OPT_EMBLEM, IDC_OPT_HEADING},
        {"Standards", [](CAxvekTarvoApp& a) { return std::make_unique<CPageStds>(nullptr, a); },
         IDC_STD_PICTURE, IDC_STD_EMBLEM, IDC_STD_HEADING},
        {"Search", [](CAxvekTarvoApp& a) { return std::make_unique<CPageSearch>(nullptr, a); }, 0,
         IDC_SEARCH_EMBLEM, IDC_SEARCH_HEADING},
        {"Finish", [](CAxvekTarvoApp& a) { return std::make_unique<CPageFinish>(nullptr, a); },
         IDC_FINISH_PICTURE, IDC_FINISH_EMBLEM, IDC_FINISH_HEADING},
    };
    for (const auto& p : pages) {
        SCOPED_TRACE(p.name);
        const std::unique_ptr<CWizardPage> page = p.make(app_);
        ScriptSheet sheet({page.get()});
        sheet.Run({[&](ScriptSheet& s) {
            // The picture and the emblem are empty statics in the template:
            // whatever they show beside the face colour is painted.
            for (int id : {p.picture, p.emblem}) {
                if (!id) continue;
                const HWND control = s.Control(id);
                ASSERT_TRUE(control) << id;
                const Pixels shown = Capture(control);
                EXPECT_GT(OffFacePixels(shown), shown.Width * shown.Height / 20) << id;
            }
            const HWND heading = s.Control(p.heading);
            ASSERT_TRUE(heading);
            const int bold = OffFacePixels(Capture(heading));
            const int plain = PlainInk(heading);
            ASSERT_GT(plain, 50);
            EXPECT_GT(bold, plain * 11 / 10);
        }});
    }
}
