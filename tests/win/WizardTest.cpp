#include "wizard/TarvoWizard.h"

#include <commctrl.h>
#include <shlobj.h>

#include <functional>
#include <iterator>
#include <memory>

#include "app/AxvekTarvoApp.h"
#include "program/AxvekTarvoProgram.h"
#include "drawings/AxvekFilenm.h"
#include "framework/Resources.h"
#include "resources/ids.h"

#include "stand-ins/drawings/core/StandInDrawing.h"
#include "support/Drop.h"
#include "support/WinTest.h"
#include "support/WizardDriver.h"

using namespace testenv;

namespace {

const int kBack = 0x3023, kNext = 0x3024, kFinish = 0x3025;  // the wizard's buttons
const int kFileNameEdit = 0x47c;                             // in the system's save dialog
const wchar_t kSafetyTitle[] = L"Safety Notice";             // template 2148, en-US

std::wstring Title() {
    return fw::LoadResString(IDS_CAPTION);
}

bool Shown(HWND window, int id) {
    HWND child = WizardDriver::Child(window, id);
    return child && IsWindowVisible(child);
}

// The pages between Begin and Finish, each known by a control of its own.
struct PageMark {
    int control;
    const char* name;
};
const PageMark kMiddlePages[] = {
    {IDC_OPT_TIMEOUT, "the Options page with Back and Next"},
    {IDC_STD_LIST, "the Standards page with Back and Next"},
    {IDC_SEARCH_TREE, "the Search page with Back and Next"},
};

// What the shell sends a window that files are dropped on.
void DropOn(HWND window, const std::vector<std::wstring>& paths) {
    SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
}

int ListedDrawings(HWND sheet) {
    HWND list = WizardDriver::Child(sheet, IDC_FILES_LIST);
    return list ? ListView_GetItemCount(list) : -1;
}

class WizardTest : public WinTest {
  protected:
    void SetUp() override {
        WinTest::SetUp();
        InstallHost();
        standin::DrawingSpec spec;
        spec.Version = "OX1024";
        const std::vector<uint8_t> bytes = standin::WriteDrawing(spec);
        WriteBytes(drawing_, std::string(bytes.begin(), bytes.end()));
        app_ = std::make_unique<CAxvekTarvoProgram>();
        savedLogfile_ = Logfile;
    }
    void TearDown() override {
        Logfile = savedLogfile_;
        app_.reset();
        WinTest::TearDown();
    }

    // Runs a wizard modally while the script, which starts on the Begin
    // page, acts on it from the driver's thread.
    INT_PTR Run(const std::function<void(WizardDriver&, HWND)>& script) {
        CTARVOWizard wizard(*app_);
        WizardDriver driver(
            [&](WizardDriver& d) {
                HWND sheet = d.Wait(Title(), kNext);
                script(d, sheet);
            },
            [&] { wizard.EndDialog(-2); });
        const INT_PTR result = wizard.DoModal();
        EXPECT_TRUE(driver.Finished());
        return result;
    }

    // To the Files page, where a user drops a drawing on the wizard.
    void ToFilesPage(WizardDriver& d, HWND sheet) const {
        WizardDriver::Press(sheet, PSBTN_NEXT);
        WizardDriver::Click(d.Wait(kSafetyTitle, IDOK), IDOK);
        d.WaitUntil([sheet] { return Shown(sheet, IDC_FILES_LIST); }, "the Files page");
        DropOn(sheet, {drawing_});
        d.WaitUntil([sheet] { return IsWindowEnabled(WizardDriver::Child(sheet, kNext)); },
                    "Next with a drawing listed");
    }
    // Then on to the Options page.
    void ToOptionsPage(WizardDriver& d, HWND sheet) const {
        ToFilesPage(d, sheet);
        WizardDriver::Press(sheet, PSBTN_NEXT);
        // The list was never saved: No goes on without a list file.
        WizardDriver::Click(d.Wait(Title(), IDNO), IDNO);
    }
    // Then through every page with Next.
    void ToFinishPage(WizardDriver& d, HWND sheet) const {
        ToOptionsPage(d, sheet);
        for (const PageMark& page : kMiddlePages) {
            d.WaitUntil([&] { return OnPageWithBackAndNext(sheet, page.control); }, page.name);
            WizardDriver::Press(sheet, PSBTN_NEXT);
        }
        // The page posts its buttons on activation: they follow a moment later.
        d.WaitUntil(
            [sheet] {
                return Shown(sheet, IDC_LOG_PATH) &&
                       IsWindowEnabled(WizardDriver::Child(sheet, kBack)) && Shown(sheet, kFinish);
            },
            "the Finish page with Back and Finish");
    }
    static bool OnPageWithBackAndNext(HWND sheet, int control) {
        return Shown(sheet, control) && IsWindowEnabled(WizardDriver::Child(sheet, kBack)) &&
               IsWindowEnabled(WizardDriver::Child(sheet, kNext)) && !Shown(sheet, kFinish);
    }
    static void Cancel(WizardDriver& d, HWND sheet) {
        WizardDriver::Click(sheet, IDCANCEL);
        WizardDriver::Click(d.Wait(Title(), IDYES), IDYES);
    }

    std::unique_ptr<CAxvekTarvoApp> app_;
    std::wstring savedLogfile_;
    ScratchDir dir_;
    std::wstring drawing_ = dir_ / L"Housing.dwg";
};

}  // namespace

TEST_F(WizardTest, SheetHasItsPagesTitleIconsAndNoHelpButton) {
    {
        CTARVOWizard wizard(*app_);
        const UINT order[] = {IDD_PAGE_BEGIN,     IDD_PAGE_FILES,  IDD_PAGE_OPTIONS,
                              IDD_PAGE_STANDARDS, IDD_PAGE_SEARCH, IDD_PAGE_FINISH};
        ASSERT_EQ(wizard.GetPageCount(), static_cast<int>(std::size(order)));
        for (int i = 0; i < wizard.GetPageCount(); ++i)
            EXPECT_EQ(wizard.GetPage(i)->TemplateId(), order[i]) << "page " << i;
        EXPECT_EQ(wizard.HeaderFlags() & 0x220u, 0x220u);
    }
    const INT_PTR result = Run([](WizardDriver& d, HWND sheet) {
        EXPECT_EQ(WizardDriver::Text(sheet), Title());
        const auto big = SendMessageW(sheet, WM_GETICON, ICON_BIG, 0);
        EXPECT_NE(big, 0);
        EXPECT_NE(SendMessageW(sheet, WM_GETICON, ICON_SMALL, 0), 0);
        EXPECT_EQ(SendMessageW(sheet, WM_QUERYDRAGICON, 0, 0), big);
        EXPECT_TRUE(GetWindowLongPtrW(sheet, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
        EXPECT_FALSE(Shown(sheet, IDHELP));
        // The Begin page: Next only (posted on activation, so it may follow a
        // moment later), and the warning icon.
        d.WaitUntil(
            [sheet] {
                return !IsWindowEnabled(WizardDriver::Child(sheet, kBack)) &&
                       IsWindowEnabled(WizardDriver::Child(sheet, kNext));
            },
            "Next only on the Begin page");
        EXPECT_FALSE(Shown(sheet, kFinish));
        EXPECT_NE(SendMessageW(WizardDriver::Child(sheet, IDC_BEGIN_ICON), STM_GETICON, 0, 0), 0);
        // Cancel asks; No keeps the wizard, Yes ends it.
        WizardDriver::Click(sheet, IDCANCEL);
        HWND box = d.Wait(Title(), IDNO);
        EXPECT_NE(WizardDriver::Text(box, 0xFFFF), L"");
        WizardDriver::Click(box, IDNO);
        d.WaitGone(box);
        EXPECT_TRUE(IsWindowVisible(sheet));
        Cancel(d, sheet);
    });
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(WizardTest, SafetyNoticeDisablesTheSheetAndDecliningItEndsTheWizard) {
    bool sheetEnabledDuringNotice = true;
    const INT_PTR result = Run([&](WizardDriver& d, HWND sheet) {
        WizardDriver::Press(sheet, PSBTN_NEXT);
        HWND safety = d.Wait(kSafetyTitle, IDCANCEL);
        sheetEnabledDuringNotice = IsWindowEnabled(sheet) != FALSE;
        WizardDriver::Click(safety, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_FALSE(sheetEnabledDuringNotice);
    EXPECT_FALSE(app_->SavedProfile.Saved);
}

TEST_F(WizardTest, FinishPageShowsThreeLogBitsAndClearsTheHiddenOne) {
    const std::wstring longLog =
        L"C:\\Users\\Someone\\Documents\\Migration Logs\\Spring 2025\\Run.log";
    const struct {
        DWORD flags;
        int toggle;  // a box the user clicks, or 0
        std::wstring log;
        DWORD saved;
    } cases[] = {
        {15, 0, longLog, 7},
        {15, IDC_LOG_WARNINGS, L"C:\\Logs\\Run.LOG", 5},
        {0xFFFFFFF2u, IDC_LOG_SKIPPED, longLog, 6},
    };
    for (const auto& c : cases) {
        app_->LogFlags = c.flags;
        Logfile = c.log;
        const INT_PTR result = Run([&](WizardDriver& d, HWND sheet) {
            ToFinishPage(d, sheet);
            EXPECT_FALSE(Shown(sheet, kNext));
            EXPECT_EQ(WizardDriver::Checked(sheet, IDC_LOG_STEPS), (c.flags & 1) ? 1 : 0);
            EXPECT_EQ(WizardDriver::Checked(sheet, IDC_LOG_WARNINGS), (c.flags & 2) ? 1 : 0);
            EXPECT_EQ(WizardDriver::Checked(sheet, IDC_LOG_SKIPPED), (c.flags & 4) ? 1 : 0);
            EXPECT_FALSE(Shown(sheet, IDC_LOG_DEBUG));
            EXPECT_EQ(WizardDriver::Checked(sheet, IDC_LOG_DEBUG), 0);
            EXPECT_EQ(WizardDriver::Text(sheet, IDC_LOG_PATH), AxvekFilenm(c.log).Shortened(40));
            if (c.toggle) {
                WizardDriver::Click(sheet, c.toggle);
                Sleep(200);
            }
            WizardDriver::Press(sheet, PSBTN_FINISH);
        });
        EXPECT_EQ(result, ID_WIZFINISH) << c.flags;
        EXPECT_EQ(app_->LogFlags, c.saved) << c.flags;
    }
    EXPECT_EQ(AxvekFilenm(L"C:\\Logs\\Run.LOG").Shortened(40), L"c:\\logs\\run.log");
    EXPECT_LE(AxvekFilenm(longLog).Shortened(40).size(), 40u);
}

TEST_F(WizardTest, LogFileDialogChangesTheLogOnlyWhenConfirmed) {
    ScratchDir dir;
    Logfile = dir / L"Before.log";
    const std::wstring chosen = dir / L"chosen.log";
    const std::wstring dialogTitle = fw::LoadResString(IDS_LOG_DIALOG_TITLE);
    std::wstring shownBefore, shownAfterCancel, offeredName, shownAfterOk;
    const INT_PTR result = Run([&](WizardDriver& d, HWND sheet) {
        ToFinishPage(d, sheet);
        shownBefore = WizardDriver::Text(sheet, IDC_LOG_PATH);

        WizardDriver::Click(sheet, IDC_LOG_CHOOSE);
        HWND dialog = d.Wait(dialogTitle, IDCANCEL);
        offeredName = WizardDriver::Text(dialog, kFileNameEdit);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        d.WaitGone(dialog);
        shownAfterCancel = WizardDriver::Text(sheet, IDC_LOG_PATH);
        EXPECT_EQ(Logfile, dir / L"Before.log");

        WizardDriver::Click(sheet, IDC_LOG_CHOOSE);
        dialog = d.Wait(dialogTitle, IDCANCEL);
        SendMessageW(WizardDriver::Child(dialog, kFileNameEdit), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(chosen.c_str()));
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        d.WaitGone(dialog);
        d.WaitUntil([&] { return WizardDriver::Text(sheet, IDC_LOG_PATH) != shownBefore; },
                    "the new log path shown");
        shownAfterOk = WizardDriver::Text(sheet, IDC_LOG_PATH);
        Cancel(d, sheet);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(app_->SavedProfile.Saved);  // the accepted notice saved the profile
    EXPECT_EQ(offeredName, L"before");      // the base name, lower case
    EXPECT_EQ(shownAfterCancel, shownBefore);
    EXPECT_EQ(AxvekFilenm(Logfile).FullPath, AxvekFilenm(chosen).FullPath);
    EXPECT_EQ(shownAfterOk, AxvekFilenm(chosen).Shortened(40));
}

TEST_F(WizardTest, EveryPageOnTheWayLeavesItsChoicesInTheApplication) {
    app_->Timeout = 120;
    app_->OrtxaFlags = 0x8;
    app_->UpdateFlags = 27;
    app_->OptionFlags = 4;
    app_->SymbolStd = 0;
    app_->SablonFlags = 0;
    bool standardsButtons = false;
    const INT_PTR result = Run([&](WizardDriver& d, HWND sheet) {
        ToOptionsPage(d, sheet);
        d.WaitUntil([&] { return OnPageWithBackAndNext(sheet, IDC_OPT_TIMEOUT); }, "Options");
        SetWindowTextW(WizardDriver::Child(sheet, IDC_OPT_TIMEOUT), L"45");
        WizardDriver::Click(sheet, IDC_OPT_PURGE);
        Sleep(200);
        WizardDriver::Press(sheet, PSBTN_NEXT);

        // The Standards page sets no buttons: Back and Next stay from Options.
        d.WaitUntil([&] { return Shown(sheet, IDC_STD_LIST); }, "Standards");
        Sleep(300);
        standardsButtons = OnPageWithBackAndNext(sheet, IDC_STD_LIST);
        HWND list = WizardDriver::Child(sheet, IDC_STD_LIST);
        const auto first =
            reinterpret_cast<HTREEITEM>(SendMessageW(list, TVM_GETNEXTITEM, TVGN_ROOT, 0));
        const auto second = reinterpret_cast<HTREEITEM>(
            SendMessageW(list, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(first)));
        SendMessageW(list, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(second));
        WizardDriver::Click(sheet, IDC_STD_SYMBOLS);
        Sleep(200);
        WizardDriver::Press(sheet, PSBTN_NEXT);

        d.WaitUntil([&] { return OnPageWithBackAndNext(sheet, IDC_SEARCH_TREE); }, "Search");
        WizardDriver::Press(sheet, PSBTN_NEXT);
        d.WaitUntil([&] { return Shown(sheet, IDC_LOG_PATH) && Shown(sheet, kFinish); }, "Finish");
        WizardDriver::Press(sheet, PSBTN_FINISH);
    });
    EXPECT_EQ(result, ID_WIZFINISH);
    EXPECT_TRUE(standardsButtons);
    EXPECT_EQ(app_->Timeout, 45);
    EXPECT_EQ(app_->OrtxaFlags, 0xAu);  // purge on, layers kept
    EXPECT_EQ(app_->UpdateFlags, 0u);
    EXPECT_EQ(app_->OptionFlags, 0u);
    EXPECT_EQ(app_->SymbolStd, 1);
    EXPECT_EQ(app_->SablonFlags, 0x2u);
    // The profile has no search path: the eight default folders, then the
    // dropped drawing's.
    ASSERT_EQ(app_->SearchFolders.size(), 9u);
    EXPECT_EQ(app_->SearchFolders[0], app_->OrtxLocation + L"\\desktop");
    const AxvekFilenm drawing(drawing_);
    EXPECT_EQ(app_->SearchFolders[8], drawing.Drive + drawing.Directory);
}

TEST_F(WizardTest, DropsReachTheFilesPageOnlyWhileItIsActive) {
    WriteBytes(dir_ / L"Other.dwg", ReadBytes(drawing_));
    int onFiles = -1, afterDropOnFinish = -1;
    const INT_PTR result = Run([&](WizardDriver& d, HWND sheet) {
        ToFinishPage(d, sheet);
        DropOn(sheet, {dir_ / L"Other.dwg"});
        for (auto page = std::rbegin(kMiddlePages); page != std::rend(kMiddlePages); ++page) {
            WizardDriver::Press(sheet, PSBTN_BACK);
            d.WaitUntil([&] { return Shown(sheet, page->control); }, page->name);
        }
        WizardDriver::Press(sheet, PSBTN_BACK);
        d.WaitUntil([sheet] { return Shown(sheet, IDC_FILES_LIST); }, "the Files page again");
        afterDropOnFinish = ListedDrawings(sheet);
        DropOn(sheet, {dir_ / L"Other.dwg"});
        onFiles = ListedDrawings(sheet);
        Cancel(d, sheet);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(afterDropOnFinish, 1);
    EXPECT_EQ(onFiles, 2);
    EXPECT_EQ(app_->Drawings, std::vector<std::wstring>{AxvekFilenm(drawing_).FullPath});
}
