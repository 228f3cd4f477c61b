// The pages used without a mouse: keys posted to the window in focus, so
// that they pass the sheet's own loop and its dialog-key handling as the
// keyboard's do.
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/AxvekTarvoApp.h"
#include "program/AxvekTarvoProgram.h"
#include "framework/Resources.h"
#include "resources/ids.h"
#include "stand-ins/drawings/core/StandInDrawing.h"
#include "wizard/PageFiles.h"
#include "wizard/PageOptions.h"
#include "wizard/PageSearch.h"

#include "support/Drop.h"
#include "support/PageSheet.h"
#include "support/WinTest.h"

using namespace testenv;

namespace {

using Step = ScriptSheet::Step;

void PostKey(WORD key) {
    const HWND focus = GetFocus();
    PostMessageW(focus, WM_KEYDOWN, key, 1);
    PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
}

// Alt and a letter: the character message the keyboard's translation makes.
Step Alt(wchar_t letter) {
    return [letter](ScriptSheet&) {
        PostMessageW(GetFocus(), WM_SYSCHAR, towlower(letter), 1 | (1 << 29));
    };
}

Step Key(WORD key) {
    return [key](ScriptSheet&) { PostKey(key); };
}

int FocusId(ScriptSheet& s) {
    const HWND focus = GetFocus();
    return focus && GetParent(focus) == s.GetActivePage()->GetSafeHwnd() ? GetDlgCtrlID(focus) : 0;
}

std::wstring Cell(ScriptSheet& s, int row, int column) {
    wchar_t text[512] = {};
    ListView_GetItemText(s.Control(IDC_FILES_LIST), row, column, text, 511);
    return text;
}

std::wstring FolderLabel(ScriptSheet& s, int index) {
    const HWND tree = s.Control(IDC_SEARCH_TREE);
    HTREEITEM item = TreeView_GetChild(tree, TreeView_GetRoot(tree));
    while (item && index-- > 0) item = TreeView_GetNextSibling(tree, item);
    wchar_t text[300] = {};
    TVITEMW tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = 299;
    return item && TreeView_GetItem(tree, &tv) ? text : L"(no folder)";
}

class KeyboardTest : public WinTest {
  protected:
    void SetUp() override {
        WinTest::SetUp();
        standin::DrawingSpec spec;
        spec.Version = "OX1024";
        const std::vector<uint8_t> bytes = standin::WriteDrawing(spec);
        WriteBytes(dir_ / L"part.dwg", std::string(bytes.begin(), bytes.end()));
        CreateDirectoryW((dir_ / L"fonts").c_str(), nullptr);
        CreateDirectoryW((dir_ / L"shapes").c_str(), nullptr);
        app_.SavedProfile.ORTX = dir_ / L"fonts";
    }

    // The page, a page after it to see whether Enter went on, and the steps
    // with the focus on the page's first control.
    INT_PTR Run(fw::CPropertyPage& page, std::vector<Step> steps) {
        fw::CPropertyPage after(IDD_PAGE_STANDARDS);
        ScriptSheet sheet({&page, &after});
        steps.insert(steps.begin(), [](ScriptSheet& s) {
            SendMessageW(s.GetActivePage()->GetSafeHwnd(), WM_NEXTDLGCTL, 0, FALSE);
        });
        steps.push_back([](ScriptSheet& s) { s.EndDialog(IDOK); });
        return sheet.Run(std::move(steps));
    }

    ScratchDir dir_;
    CAxvekTarvoProgram app_;
};

}  // namespace

TEST_F(KeyboardTest, TheFilesListIsReachedByItsLetterAndTakesDeleteAndF5) {
    CPageFiles files(nullptr, app_);
    int focusAfterLetter = 0;
    std::wstring statusAfterF5;
    int rowsAfterDelete = -1, page = -1;
    Run(files, {
                   [&](ScriptSheet& s) {
                       SendMessageW(s.GetActivePage()->GetSafeHwnd(), WM_DROPFILES,
                                    reinterpret_cast<WPARAM>(MakeDrop({dir_ / L"part.dwg"})), 0);
                   },
                   Alt(L'D'),
                   [&](ScriptSheet& s) {
                       focusAfterLetter = FocusId(s);
                       SetFileAttributesW((dir_ / L"part.dwg").c_str(), FILE_ATTRIBUTE_READONLY);
                       PostKey(VK_HOME);
                   },
                   Key(VK_F5),
                   [&](ScriptSheet& s) {
                       statusAfterF5 = Cell(s, 0, 3);
                       SetFileAttributesW((dir_ / L"part.dwg").c_str(), FILE_ATTRIBUTE_NORMAL);
                       PostKey(VK_DELETE);
                   },
                   [&](ScriptSheet& s) {
                       rowsAfterDelete = ListView_GetItemCount(s.Control(IDC_FILES_LIST));
                       page = s.GetActiveIndex();
                   },
               });
    EXPECT_EQ(focusAfterLetter, IDC_FILES_LIST);
    EXPECT_EQ(statusAfterF5, fw::LoadResString(IDS_FILES_STATUS_READ_ONLY));
    EXPECT_EQ(rowsAfterDelete, 0);
    EXPECT_EQ(page, 0);
}

TEST_F(KeyboardTest, TheSearchTreeRenamesWithF2EnterKeepsAndEscapeDropsTheName) {
    const struct {
        WORD end;
        std::wstring label;  // of the folder afterwards
    } cases[] = {
        {VK_RETURN, dir_ / L"shapes"},
        {VK_ESCAPE, dir_ / L"fonts"},
    };
    for (const auto& c : cases) {
        CPageSearch search(nullptr, app_);
        int focusAfterLetter = 0, page = -1;
        bool editing = false;
        std::wstring label;
        Run(search, {
                        Alt(L'F'),
                        [&](ScriptSheet& s) {
                            focusAfterLetter = FocusId(s);
                            PostKey(VK_DOWN);  // from the root to its first folder
                        },
                        Key(VK_F2),
                        [&](ScriptSheet& s) {
                            const HWND edit = TreeView_GetEditControl(s.Control(IDC_SEARCH_TREE));
                            editing = edit && GetFocus() == edit;
                            if (edit) SetWindowTextW(edit, (dir_ / L"shapes").c_str());
                            PostKey(c.end);
                        },
                        [&](ScriptSheet& s) {
                            label = FolderLabel(s, 0);
                            page = s.GetActiveIndex();
                        },
                    });
        EXPECT_EQ(focusAfterLetter, IDC_SEARCH_TREE);
        EXPECT_TRUE(editing) << c.end;
        EXPECT_EQ(label, c.label) << c.end;
        EXPECT_EQ(page, 0) << "the key ended the edit only: " << c.end;
    }
}

TEST_F(KeyboardTest, LettersReachTheirControlsAndEnterGoesToTheNextPage) {
    CPageOptions options(nullptr, app_);
    int timeoutFocus = 0, purgeFocus = 0, page = -1;
    bool purged = false;
    Run(options, {
                     Alt(L'T'),
                     [&](ScriptSheet& s) {
                         timeoutFocus = FocusId(s);
                         PostMessageW(GetFocus(), WM_SYSCHAR, L'p', 1 | (1 << 29));
                     },
                     [&](ScriptSheet& s) {
                         purgeFocus = FocusId(s);
                         purged = IsDlgButtonChecked(s.GetActivePage()->GetSafeHwnd(),
                                                     IDC_OPT_PURGE) == BST_CHECKED;
                         PostKey(VK_RETURN);
                     },
                     [&](ScriptSheet& s) { page = s.GetActiveIndex(); },
                 });
    EXPECT_EQ(timeoutFocus, IDC_OPT_TIMEOUT);
    EXPECT_EQ(purgeFocus, IDC_OPT_PURGE);
    EXPECT_TRUE(purged);
    EXPECT_EQ(page, 1);
}
