#include "framework/DataExchange.h"

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Resources.h"
#include "resources/ids.h"

#include "support/WinTest.h"

using namespace testenv;

namespace {

enum { kTimeout = 3001, kSetup = 3002, kPurge = 3003, kUseSetup = 3004, kAfter = 3005 };

// A page-like dialog: a time-out in minutes with its range, a text, two
// check boxes on bits of one set of flags, and a text exchanged after the
// time-out (which a failing time-out must leave alone).
class OptionsDialog : public fw::CDialog {
  public:
    OptionsDialog() : CDialog(IDD_SAFETY_NOTICE) {}

    int timeout = 120;
    std::wstring setupDrawing = L"c:\\std\\a.dwt";
    DWORD flags = 0x40 | 0x2;
    std::wstring after = L"untouched";
    fw::CEdit timeoutEdit;

    HWND Add(const wchar_t* cls, DWORD style, int id, int y) {
        return CreateWindowW(cls, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 10, y, 120, 14,
                             GetSafeHwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             GetModuleHandleW(nullptr), nullptr);
    }

  protected:
    void DoDataExchange(fw::CDataExchange& dx) override {
        fw::DDX_Control(dx, kTimeout, timeoutEdit);
        if (!fw::DDX_Text(dx, kTimeout, timeout, 1, 1440)) return;
        fw::DDX_Text(dx, kSetup, setupDrawing);
        fw::DDX_CheckBit(dx, kUseSetup, flags, 0x1);
        fw::DDX_CheckBit(dx, kPurge, flags, 0x2);
        fw::DDX_Text(dx, kAfter, after);
    }
};

class DataExchangeTest : public WinTest {
  protected:
    void SetUp() override {
        WinTest::SetUp();
        ASSERT_TRUE(dialog_.Create());
        dialog_.Add(L"Edit", ES_AUTOHSCROLL, kTimeout, 10);
        dialog_.Add(L"Edit", ES_AUTOHSCROLL, kSetup, 30);
        dialog_.Add(L"Button", BS_AUTOCHECKBOX, kUseSetup, 50);
        dialog_.Add(L"Button", BS_AUTOCHECKBOX, kPurge, 70);
        dialog_.Add(L"Edit", ES_AUTOHSCROLL, kAfter, 90);
        ShowWindow(dialog_.GetSafeHwnd(), SW_SHOW);
    }
    std::wstring Text(int id) { return dialog_.GetDlgItemText(id); }
    void Type(int id, const wchar_t* text) { SetDlgItemTextW(dialog_.GetSafeHwnd(), id, text); }
    bool Checked(int id) { return IsDlgButtonChecked(dialog_.GetSafeHwnd(), id) == BST_CHECKED; }

    OptionsDialog dialog_;
};

}  // namespace

TEST_F(DataExchangeTest, MembersGoToTheControlsAndComeBackAsTheUserLeftThem) {
    ASSERT_TRUE(dialog_.UpdateData(false));
    EXPECT_EQ(Text(kTimeout), L"120");
    EXPECT_EQ(Text(kSetup), L"c:\\std\\a.dwt");
    EXPECT_FALSE(Checked(kUseSetup));
    EXPECT_TRUE(Checked(kPurge));
    EXPECT_EQ(dialog_.timeoutEdit.GetSafeHwnd(), dialog_.GetDlgItem(kTimeout));

    Type(kTimeout, L" 1440 ");
    Type(kSetup, L"d:\\other.dwt");
    SendMessageW(dialog_.GetDlgItem(kUseSetup), BM_CLICK, 0, 0);
    SendMessageW(dialog_.GetDlgItem(kPurge), BM_CLICK, 0, 0);
    Type(kAfter, L"typed");
    ASSERT_TRUE(dialog_.UpdateData(true));
    EXPECT_EQ(dialog_.timeout, 1440);
    EXPECT_EQ(dialog_.setupDrawing, L"d:\\other.dwt");
    EXPECT_EQ(dialog_.flags, 0x40u | 0x1u) << "bits without a box stay as they were";
    EXPECT_EQ(dialog_.after, L"typed");
}

TEST_F(DataExchangeTest, ValueOutsideTheRangeStopsAtTheEditWithTheRangeMessage) {
    const struct {
        const wchar_t* language;
        const wchar_t* typed;
        const wchar_t* message;
    } cases[] = {
        {L"en-US", L"1441", L"Enter a whole number from 1 to 1440."},
        {L"en-US", L"12 minutes", L"Enter a whole number from 1 to 1440."},
        {L"de-DE", L"99999999999", L"Geben Sie eine ganze Zahl von 1 bis 1440 ein."},
    };
    for (const auto& c : cases) {
        resources_.reset();
        resources_ = std::make_unique<ResourceLibraryScope>(
            LoadLibraryW(ResourceLibraryFile(c.language).c_str()));
        dialog_.timeout = 120;
        dialog_.after = L"untouched";
        Type(kTimeout, c.typed);
        Type(kAfter, L"typed");
        SetFocus(dialog_.GetDlgItem(kAfter));

        DialogCatcher box(fw::LoadResString(IDS_CAPTION));
        EXPECT_FALSE(dialog_.UpdateData(true)) << Narrow(c.typed);
        ASSERT_TRUE(box.Seen()) << Narrow(c.typed);
        EXPECT_NE(box.AllText().find(c.message), std::wstring::npos) << Narrow(box.AllText());
        EXPECT_EQ(dialog_.timeout, 120);
        EXPECT_EQ(dialog_.after, L"untouched") << "the exchange went on past the failing edit";
        EXPECT_EQ(GetFocus(), dialog_.GetDlgItem(kTimeout));
        DWORD start = 1, end = 0;
        SendMessageW(dialog_.GetDlgItem(kTimeout), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 0u);
        EXPECT_EQ(end, wcslen(c.typed));
    }
}
