#include "wizard/PageOptions.h"

#include <memory>
#include <string>

#include "app/AxvekTarvoApp.h"
#include "program/AxvekTarvoProgram.h"
#include "framework/Resources.h"
#include "resources/ids.h"

#include "support/PageSheet.h"
#include "support/WinTest.h"

using namespace testenv;

namespace {

const int kPurgeControls[] = {IDC_OPT_PURGE_BLOCKS,  IDC_OPT_PURGE_LAYERS, IDC_OPT_PURGE_DIMSTY,
                              IDC_OPT_PURGE_PLOTSTY, IDC_OPT_PURGE_GROUP,  IDC_OPT_PURGE_LTYPES,
                              IDC_OPT_PURGE_TEXTSTY, IDC_OPT_PURGE_MLSTY,  IDC_OPT_PURGE_SHAPES};

class PageOptionsTest : public WinTest {
  protected:
    // The Options page and a page after it, to see whether Next leaves.
    INT_PTR Run(std::vector<ScriptSheet::Step> steps) {
        CPageOptions options(nullptr, app_);
        fw::CPropertyPage after(IDD_PAGE_STANDARDS);
        ScriptSheet sheet({&options, &after});
        return sheet.Run(std::move(steps));
    }
    static int Enabled(ScriptSheet& s, int id) { return IsWindowEnabled(s.Control(id)) ? 1 : 0; }
    static int Checked(ScriptSheet& s, int id) {
        return static_cast<int>(SendMessageW(s.Control(id), BM_GETCHECK, 0, 0));
    }

    CAxvekTarvoProgram app_;
};

}  // namespace

TEST_F(PageOptionsTest, PurgeBoxDrivesTheCategoriesAndKeepsTheirBits) {
    // Purge with blocks and text styles, plus bits without a box.
    app_.OrtxaFlags = 0x2 | 0x4 | 0x100 | 0x40 | 0x1000;
    app_.UpdateFlags = 27;
    app_.OptionFlags = 4;
    int enabledBefore = 0, enabledCleared = 0, enabledAgain = 0;
    DWORD flagsCleared = 0;
    bool setupEnabled = true;
    const INT_PTR result = Run({
        [&](ScriptSheet& s) {
            for (int id : kPurgeControls) enabledBefore += Enabled(s, id);
            setupEnabled = Enabled(s, IDC_OPT_SETUP_DRAWING) || Enabled(s, IDC_OPT_SETUP_BROWSE);
            s.Click(IDC_OPT_PURGE);
        },
        [&](ScriptSheet& s) {
            for (int id : kPurgeControls) enabledCleared += Enabled(s, id);
            flagsCleared = app_.OrtxaFlags;
            s.Click(IDC_OPT_PURGE);
        },
        [&](ScriptSheet& s) {
            for (int id : kPurgeControls) enabledAgain += Enabled(s, id);
            EXPECT_EQ(Checked(s, IDC_OPT_PURGE_BLOCKS), BST_CHECKED);
            EXPECT_EQ(Checked(s, IDC_OPT_PURGE_TEXTSTY), BST_CHECKED);
            EXPECT_EQ(Checked(s, IDC_OPT_PURGE_LAYERS), BST_UNCHECKED);
            s.Click(IDC_OPT_PURGE_LAYERS);
            s.Click(IDC_OPT_SETUP);  // ticked: the set-up drawing's controls open
            EXPECT_TRUE(Enabled(s, IDC_OPT_SETUP_DRAWING) && Enabled(s, IDC_OPT_SETUP_BROWSE));
            s.Click(IDC_OPT_SETUP);
            s.PressButton(PSBTN_NEXT);
        },
        [&](ScriptSheet& s) {
            EXPECT_EQ(s.GetActiveIndex(), 1);
            s.EndDialog(IDOK);
        },
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(enabledBefore, 9);
    EXPECT_FALSE(setupEnabled);
    EXPECT_EQ(enabledCleared, 0);
    EXPECT_EQ(flagsCleared, 0x4u | 0x100 | 0x40 | 0x1000);
    EXPECT_EQ(enabledAgain, 9);
    EXPECT_EQ(app_.OrtxaFlags, 0x2u | 0x4 | 0x8 | 0x100 | 0x40 | 0x1000);
    EXPECT_EQ(app_.UpdateFlags, 0u);
    EXPECT_EQ(app_.OptionFlags, 0u);
}

TEST_F(PageOptionsTest, OutOfRangeTimeoutKeepsThePageAndStopsTheExchange) {
    app_.Timeout = 120;
    for (const wchar_t* entered : {L"0", L"1441", L"12x"}) {
        std::wstring message;
        bool second = true;
        int page = -1;
        std::unique_ptr<MessageBoxAnswer> boxes;
        Run({
            [&](ScriptSheet& s) {
                app_.UpdateFlags = 27;  // what the exchange would clear
                s.SetText(IDC_OPT_TIMEOUT, entered);
                boxes = std::make_unique<MessageBoxAnswer>(IDOK, 15000, 2);  // once, not twice
                s.PressButton(PSBTN_NEXT);
            },
            [&](ScriptSheet& s) {
                message = boxes->Text();
                second = boxes->Texts().size() > 1;
                page = s.GetActiveIndex();
                s.SetText(IDC_OPT_TIMEOUT, L"1440");
                s.PressButton(PSBTN_NEXT);
            },
            [&](ScriptSheet& s) { s.EndDialog(IDOK); },
        });
        const std::string what = Narrow(entered);
        EXPECT_EQ(message, fw::FormatResString(IDS_DDX_INT_RANGE, {1, 1440})) << what;
        EXPECT_FALSE(second) << what;
        EXPECT_EQ(page, 0) << what;
        EXPECT_EQ(app_.Timeout, 1440) << what;  // taken once it was in range
        EXPECT_EQ(app_.UpdateFlags, 0u) << what;
        app_.Timeout = 120;
    }
}

TEST_F(PageOptionsTest, NextNeedsAnExistingSetupDrawingOnlyWhenOneIsApplied) {
    ScratchDir dir;
    WriteBytes(dir / L"setup.dwt", "x");
    struct Case {
        DWORD flags;
        std::wstring drawing;
        bool leaves;
    } cases[] = {
        {0x1, L"", false},
        {0x1, dir / L"missing.dwt", false},
        {0x1, dir / L"setup.dwt", true},
        {0x1, dir.Path(), true},  // an existing folder passes as well
        {0x0, L"", true},
        {0x0, dir / L"missing.dwt", true},
    };
    for (const Case& c : cases) {
        app_.OrtxaFlags = c.flags;
        app_.SetupDrawing = c.drawing;
        std::wstring message = L"none";
        int page = -1;
        std::unique_ptr<MessageBoxAnswer> box;
        Run({
            [&](ScriptSheet& s) {
                if (!c.leaves) box = std::make_unique<MessageBoxAnswer>();
                s.PressButton(PSBTN_NEXT);
            },
            [&](ScriptSheet& s) {
                if (box) message = box->Text();
                page = s.GetActiveIndex();
                s.EndDialog(IDOK);
            },
        });
        const std::string what = Narrow(c.drawing) + " " + std::to_string(c.flags);
        EXPECT_EQ(page, c.leaves ? 1 : 0) << what;
        if (!c.leaves) {
            EXPECT_EQ(message, fw::LoadResString(IDS_SETUP_DRAWING_MISSING)) << what;
        }
        EXPECT_EQ(app_.SetupDrawing, c.drawing) << what;
    }
}

TEST_F(PageOptionsTest, CancelledTemplateDialogKeepsTheSetupDrawing) {
    ScratchDir dir;
    WriteBytes(dir / L"chosen.dwt", "x");
    app_.OrtxaFlags = 0x1;
    app_.SetupDrawing = L"c:\\earlier.dwt";
    std::wstring afterCancel, afterChoice;
    Run({
        [&](ScriptSheet& s) {
            FileDialogAnswer cancel(L"", L"");  // the system's own title
            s.Click(IDC_OPT_SETUP_BROWSE);
            EXPECT_TRUE(cancel.Seen());
            afterCancel = app_.SetupDrawing;
            FileDialogAnswer choose(L"", dir / L"chosen.dwt");
            s.Click(IDC_OPT_SETUP_BROWSE);
            EXPECT_TRUE(choose.Seen());
            afterChoice = app_.SetupDrawing;
            EXPECT_EQ(GetWindowTextLengthW(s.Control(IDC_OPT_SETUP_DRAWING)),
                      static_cast<int>(afterChoice.size()));
        },
        [&](ScriptSheet& s) { s.EndDialog(IDOK); },
    });
    EXPECT_EQ(afterCancel, L"c:\\earlier.dwt");
    EXPECT_EQ(afterChoice, dir / L"chosen.dwt");
}

TEST_F(PageOptionsTest, PurgeBoxIsWidenedByItsText) {
    // The template's box is narrower than its text: the page makes room.
    RECT frame{};
    int templateWidth = 0;
    Run({
        [&](ScriptSheet& s) {
            GetWindowRect(s.Control(IDC_OPT_PURGE), &frame);
            RECT units{0, 0, 30, 10};
            MapDialogRect(s.GetActivePage()->GetSafeHwnd(), &units);
            templateWidth = units.right;
            s.EndDialog(IDOK);
        },
    });
    EXPECT_GT(frame.right - frame.left, templateWidth + 50);
}
