#include "framework/PropertySheet.h"

#include <functional>
#include <string>
#include <vector>

#include "framework/Resources.h"
#include "resources/ids.h"

#include "support/WinTest.h"

using namespace testenv;

namespace {

const int kBack = 0x3023, kNext = 0x3024, kFinish = 0x3025;  // the wizard's buttons

using Log = std::vector<std::string>;

// A page that logs what the sheet asks of it and answers as told.
class LoggingPage : public fw::CPropertyPage {
  public:
    LoggingPage(int number, UINT templateId, Log& log, DWORD buttons)
        : CPropertyPage(templateId), number_(number), log_(log), buttons_(buttons) {}

    LRESULT nextResult = 0;
    BOOL killResult = TRUE, finishResult = TRUE, cancelResult = TRUE;
    int endOnNext = 0;                     // EndDialog code given from OnWizardNext
    std::vector<UINT> seenBeforeDispatch;  // messages of its children, in PreTranslateMessage

    bool PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_LBUTTONDOWN && GetParent(msg->hwnd) == GetSafeHwnd())
            seenBeforeDispatch.push_back(msg->message);
        return false;
    }

  protected:
    BOOL OnInitDialog() override {
        Add("init");
        return CPropertyPage::OnInitDialog();
    }
    BOOL OnSetActive() override {
        Add("active");
        GetSheet()->SetWizardButtons(buttons_);
        return CPropertyPage::OnSetActive();
    }
    BOOL OnKillActive() override {
        Add("kill");
        return killResult && CPropertyPage::OnKillActive();
    }
    LRESULT OnWizardNext() override {
        Add("next");
        if (endOnNext) GetSheet()->EndDialog(endOnNext);
        return nextResult;
    }
    LRESULT OnWizardBack() override {
        Add("back");
        return 0;
    }
    BOOL OnWizardFinish() override {
        Add("finish");
        return finishResult;
    }
    BOOL OnQueryCancel() override {
        Add("query-cancel");
        return cancelResult;
    }
    void OnReset() override { Add("reset"); }

  private:
    void Add(const char* what) {
        log_.push_back(std::string(what) + " " + std::to_string(number_));
    }
    int number_;
    Log& log_;
    DWORD buttons_;
};

// A sheet that runs one step of a script at every tick of its timer, inside
// its own loop, the way a user acts on it.
class ScriptedSheet : public fw::CPropertySheet {
  public:
    std::vector<std::function<void(ScriptedSheet&)>> steps;
    int cancelCommands = 0;
    bool askOnCancel = false;  // take IDCANCEL like the program's wizard does

    HWND Hwnd() const { return GetSafeHwnd(); }
    HWND Button(int id) const { return GetDlgItem(id); }

  protected:
    BOOL OnInitDialog() override {
        SetTimer(7, 40);
        return TRUE;
    }
    bool OnTimer(UINT_PTR id) override {
        if (id != 7) return false;
        if (next_ < steps.size()) {
            steps[next_++](*this);
        } else {
            KillTimer(7);
            EndDialog(-2);  // the script ran out without ending the sheet
        }
        return true;
    }
    bool OnCommand(UINT id, UINT code, HWND control) override {
        if (id != IDCANCEL || !askOnCancel) return false;
        ++cancelCommands;
        EndDialog(IDCANCEL);
        return true;
    }

  private:
    size_t next_ = 0;
};

auto Press(int button) {
    return [button](ScriptedSheet& s) { s.PressButton(button); };
}

class PropertySheetTest : public WinTest {
  protected:
    void SetUp() override {
        WinTest::SetUp();
        for (int i = 0; i < 3; ++i) {
            const DWORD buttons = i == 0   ? PSWIZB_NEXT
                                  : i == 1 ? PSWIZB_BACK | PSWIZB_NEXT
                                           : PSWIZB_BACK | PSWIZB_FINISH;
            pages_.push_back(std::make_unique<LoggingPage>(
                i + 1, i == 2 ? IDD_RUN_VEK : IDD_SAFETY_NOTICE, log_, buttons));
            sheet_.AddPage(pages_.back().get());
        }
        sheet_.AddHeaderFlags(PSH_WIZARD);
    }
    LoggingPage& Page(int n) { return *pages_[static_cast<size_t>(n - 1)]; }

    Log log_;
    std::vector<std::unique_ptr<LoggingPage>> pages_;
    ScriptedSheet sheet_;
};

}  // namespace

TEST_F(PropertySheetTest, WizardWalksThePagesCreatingEachOnFirstActivation) {
    std::vector<int> active;
    bool thirdExistedEarly = true, nextEnabledOnFirst = false, backEnabledOnFirst = true;
    sheet_.steps = {
        [&](ScriptedSheet& s) {
            active.push_back(s.GetActiveIndex());
            nextEnabledOnFirst = IsWindowEnabled(s.Button(kNext));
            backEnabledOnFirst = IsWindowEnabled(s.Button(kBack));
            thirdExistedEarly = Page(3).GetSafeHwnd() != nullptr;
            s.PressButton(PSBTN_NEXT);
        },
        Press(PSBTN_BACK),
        Press(PSBTN_NEXT),
        Press(PSBTN_NEXT),
        [&](ScriptedSheet& s) {
            active.push_back(s.GetActiveIndex());
            EXPECT_EQ(s.GetActivePage(), &Page(3));
            EXPECT_TRUE(IsWindowVisible(s.Button(kFinish)) && IsWindowEnabled(s.Button(kFinish)));
            s.PressButton(PSBTN_FINISH);
        },
    };
    EXPECT_EQ(sheet_.DoModal(), ID_WIZFINISH);
    EXPECT_EQ(active, (std::vector<int>{0, 2}));
    EXPECT_FALSE(thirdExistedEarly);
    EXPECT_TRUE(nextEnabledOnFirst);
    EXPECT_FALSE(backEnabledOnFirst);
    EXPECT_EQ(log_, (Log{"init 1", "active 1", "next 1", "kill 1", "init 2", "active 2", "back 2",
                         "kill 2", "active 1", "next 1", "kill 1", "active 2", "next 2", "kill 2",
                         "init 3", "active 3", "finish 3"}));
    EXPECT_EQ(sheet_.GetSafeHwnd(), nullptr);
    for (auto& page : pages_) EXPECT_EQ(page->GetSafeHwnd(), nullptr);
}

TEST_F(PropertySheetTest, PagesKeepTheWizardWhereItIsOrSendItElsewhere) {
    Page(1).nextResult = -1;
    sheet_.steps = {
        Press(PSBTN_NEXT),  // refused by OnWizardNext
        [&](ScriptedSheet& s) {
            EXPECT_EQ(s.GetActiveIndex(), 0);
            Page(1).nextResult = 0;
            Page(1).killResult = FALSE;  // refused by OnKillActive
            s.PressButton(PSBTN_NEXT);
        },
        [&](ScriptedSheet& s) {
            EXPECT_EQ(s.GetActiveIndex(), 0);
            Page(1).killResult = TRUE;
            Page(1).nextResult = IDD_RUN_VEK;  // straight to the page of that template
            s.PressButton(PSBTN_NEXT);
        },
        [&](ScriptedSheet& s) {
            EXPECT_EQ(s.GetActiveIndex(), 2);
            s.PressButton(PSBTN_BACK);
        },
        [&](ScriptedSheet& s) {
            // Ending the wizard from a page, as the Begin page does.
            Page(2).nextResult = -1;
            Page(2).endOnNext = 4711;
            s.PressButton(PSBTN_NEXT);
        },
    };
    EXPECT_EQ(sheet_.DoModal(), 4711);
    EXPECT_EQ(log_,
              (Log{"init 1", "active 1", "next 1", "next 1", "kill 1", "next 1", "kill 1", "init 3",
                   "active 3", "back 3", "kill 3", "init 2", "active 2", "next 2"}));
}

TEST_F(PropertySheetTest, FinishAndCancelAskTheActivePage) {
    Page(1).finishResult = FALSE;
    Page(1).cancelResult = FALSE;
    sheet_.steps = {
        Press(PSBTN_FINISH),  // refused
        Press(PSBTN_CANCEL),  // refused
        [&](ScriptedSheet& s) {
            EXPECT_EQ(s.GetActiveIndex(), 0);
            Page(1).cancelResult = TRUE;
            PostMessageW(s.Hwnd(), WM_CLOSE, 0, 0);  // the close box cancels the same way
        },
    };
    EXPECT_EQ(sheet_.DoModal(), IDCANCEL);
    EXPECT_EQ(log_, (Log{"init 1", "active 1", "finish 1", "query-cancel 1", "query-cancel 1",
                         "reset 1"}));
}

TEST_F(PropertySheetTest, SheetCanTakeCancelFromButtonEscapeAndCloseBoxItself) {
    sheet_.askOnCancel = true;
    int round = 0;
    const std::function<void(ScriptedSheet&)> ways[] = {
        [](ScriptedSheet& s) { PostMessageW(s.Button(IDCANCEL), BM_CLICK, 0, 0); },
        [](ScriptedSheet& s) { PostMessageW(s.Button(kNext), WM_KEYDOWN, VK_ESCAPE, 0); },
        [](ScriptedSheet& s) { PostMessageW(s.Hwnd(), WM_CLOSE, 0, 0); },
    };
    for (const auto& way : ways) {
        ScriptedSheet sheet;
        sheet.askOnCancel = true;
        sheet.AddPage(&Page(1));
        sheet.AddHeaderFlags(PSH_WIZARD);
        sheet.steps = {way};
        EXPECT_EQ(sheet.DoModal(), IDCANCEL) << round;
        EXPECT_EQ(sheet.cancelCommands, 1) << round++;
    }
    EXPECT_EQ(std::count(log_.begin(), log_.end(), "query-cancel 1"), 0);
}

TEST_F(PropertySheetTest, OwnLoopShowsMessagesToPagesAndModelessDialogsFirst) {
    fw::CDialog help(IDD_SAFETY_NOTICE);  // a modeless window beside the sheet
    bool tabMovedFocus = false;
    sheet_.steps = {
        [&](ScriptedSheet& s) {
            // A click on a page's control passes the page before the control.
            HWND control = GetWindow(Page(1).GetSafeHwnd(), GW_CHILD);
            PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
            PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
            ASSERT_TRUE(help.Create());
            ShowWindow(help.GetSafeHwnd(), SW_SHOW);
            SetFocus(GetDlgItem(help.GetSafeHwnd(), IDOK));
        },
        [&](ScriptedSheet& s) { PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0); },
        [&](ScriptedSheet& s) {
            // IsDialogMessage of the help window moved the focus from OK on.
            tabMovedFocus = GetFocus() != GetDlgItem(help.GetSafeHwnd(), IDOK) &&
                            GetParent(GetFocus()) == help.GetSafeHwnd();
            s.EndDialog(IDCANCEL);
        },
    };
    EXPECT_EQ(sheet_.DoModal(), IDCANCEL);
    EXPECT_EQ(Page(1).seenBeforeDispatch, std::vector<UINT>{WM_LBUTTONDOWN});
    EXPECT_TRUE(tabMovedFocus);
}
