#include "wizard/PageStds.h"

#include <string>

#include "app/AxvekTarvoApp.h"
#include "program/AxvekTarvoProgram.h"
#include "framework/Resources.h"
#include "host/HostKeys.h"
#include "resources/ids.h"

#include "support/PageSheet.h"
#include "support/WinTest.h"

using namespace testenv;

namespace {

class PageStdsTest : public WinTest {
  protected:
    void SetUp() override {
        WinTest::SetUp();
        InstallHost();
        bom_ = EditionKeyPath() + L"\\BOM Migration";
    }
    // A page before the Standards page and one after it.
    INT_PTR Run(std::vector<ScriptSheet::Step> steps) {
        fw::CPropertyPage before(IDD_PAGE_SEARCH), after(IDD_PAGE_SEARCH);
        CPageStds standards(nullptr, app_);
        ScriptSheet sheet({&before, &standards, &after});
        std::vector<ScriptSheet::Step> all{
            [](ScriptSheet& s) { s.SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT); },
            [](ScriptSheet& s) { s.PressButton(PSBTN_NEXT); },
        };
        all.insert(all.end(), steps.begin(), steps.end());
        return sheet.Run(std::move(all));
    }
    static HWND List(ScriptSheet& s) { return s.Control(IDC_STD_LIST); }
    static std::wstring SelectedText(ScriptSheet& s) {
        wchar_t text[64] = {};
        TVITEMW item{};
        item.mask = TVIF_TEXT;
        item.hItem = TreeView_GetSelection(List(s));
        item.pszText = text;
        item.cchTextMax = 63;
        return TreeView_GetItem(List(s), &item) ? text : L"(none)";
    }
    static HTREEITEM Item(ScriptSheet& s, int index) {
        HTREEITEM item = TreeView_GetRoot(List(s));
        while (item && index-- > 0) item = TreeView_GetNextSibling(List(s), item);
        return item;
    }

    CAxvekTarvoProgram app_;
    std::wstring bom_;
};

}  // namespace

TEST_F(PageStdsTest, ListsTheSevenStandardsWithTheStoredOneSelected) {
    for (int stored : {0, 6}) {
        app_.SymbolStd = stored;
        std::vector<std::wstring> names;
        std::wstring selected;
        Run({[&](ScriptSheet& s) {
            for (HTREEITEM i = TreeView_GetRoot(List(s)); i;
                 i = TreeView_GetNextSibling(List(s), i)) {
                wchar_t text[64] = {};
                TVITEMW item{};
                item.mask = TVIF_TEXT | TVIF_PARAM;
                item.hItem = i;
                item.pszText = text;
                item.cchTextMax = 63;
                TreeView_GetItem(List(s), &item);
                EXPECT_EQ(item.lParam, static_cast<LPARAM>(names.size()));
                names.push_back(text);
            }
            selected = SelectedText(s);
            s.EndDialog(IDOK);
        }});
        ASSERT_EQ(names.size(), 7u);
        const UINT ids[] = {2053, 2054, 2055, 2056, 2057, 2081, 2058};
        for (size_t i = 0; i < 7; ++i) EXPECT_EQ(names[i], fw::LoadResString(ids[i])) << i;
        EXPECT_EQ(selected, names[static_cast<size_t>(stored)]) << stored;
    }
}

TEST_F(PageStdsTest, BackWritesTheStandardAtOnceAndCancelKeepsIt) {
    app_.SymbolStd = 0;
    app_.SablonFlags = 0x1 | 0x8;  // 0x8 has no box and goes
    std::wstring afterBack;
    const INT_PTR result = Run({
        [&](ScriptSheet& s) {
            TreeView_SelectItem(List(s), Item(s, 4));
            s.Click(IDC_STD_SYMBOLS);
            s.PressButton(PSBTN_BACK);
        },
        [&](ScriptSheet& s) {
            EXPECT_EQ(s.GetActiveIndex(), 0);
            GetString(HKEY_CURRENT_USER, bom_, L"Last Recently Used Standard", afterBack);
            s.PressButton(PSBTN_CANCEL);
        },
    });
    EXPECT_EQ(result, IDCANCEL);
    const std::wstring name = fw::LoadResString(2057);
    EXPECT_EQ(afterBack, name);
    std::wstring last, original;
    EXPECT_TRUE(GetString(HKEY_CURRENT_USER, bom_, L"Last Recently Used Standard", last));
    EXPECT_TRUE(GetString(HKEY_CURRENT_USER, bom_, L"Original name", original));
    EXPECT_EQ(last, name);
    EXPECT_EQ(original, name);
    EXPECT_EQ(app_.SymbolStd, 4);
    EXPECT_EQ(app_.SablonFlags, 0x3u);
}

TEST_F(PageStdsTest, FirstStandardStoresZero) {
    app_.SymbolStd = 3;
    Run({
        [&](ScriptSheet& s) {
            TreeView_SelectItem(List(s), Item(s, 0));
            s.PressButton(PSBTN_NEXT);
        },
        [&](ScriptSheet& s) { s.EndDialog(IDOK); },
    });
    EXPECT_EQ(app_.SymbolStd, 0);
    std::wstring last;
    GetString(HKEY_CURRENT_USER, bom_, L"Last Recently Used Standard", last);
    EXPECT_EQ(last, fw::LoadResString(2053));
}

TEST_F(PageStdsTest, AnalyseOperationLocksTheTwoChoices) {
    app_.Operation = 2;
    app_.SablonFlags = 0x2;
    bool anyEnabled = true;
    int titleBlocks = -1, symbols = -1;
    Run({
        [&](ScriptSheet& s) {
            anyEnabled = IsWindowEnabled(s.Control(IDC_STD_TITLE_BLOCKS)) ||
                         IsWindowEnabled(s.Control(IDC_STD_SYMBOLS)) ||
                         IsWindowEnabled(s.Control(IDC_STD_CHOICES));
            titleBlocks =
                static_cast<int>(SendMessageW(s.Control(IDC_STD_TITLE_BLOCKS), BM_GETCHECK, 0, 0));
            symbols = static_cast<int>(SendMessageW(s.Control(IDC_STD_SYMBOLS), BM_GETCHECK, 0, 0));
            s.PressButton(PSBTN_NEXT);
        },
        [&](ScriptSheet& s) { s.EndDialog(IDOK); },
    });
    EXPECT_FALSE(anyEnabled);
    EXPECT_EQ(titleBlocks, BST_UNCHECKED);
    EXPECT_EQ(symbols, BST_CHECKED);
    EXPECT_EQ(app_.SablonFlags, 0x2u);
}
