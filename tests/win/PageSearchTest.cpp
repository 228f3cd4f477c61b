#include "wizard/PageSearch.h"

#include <memory>
#include <string>
#include <vector>

#include "app/AxvekTarvoApp.h"
#include "program/AxvekTarvoProgram.h"
#include "framework/Handle.h"
#include "framework/Resources.h"
#include "resources/ids.h"

#include "support/PageSheet.h"
#include "support/WinTest.h"

using namespace testenv;

namespace {

using Labels = std::vector<std::wstring>;

class PageSearchTest : public WinTest {
  protected:
    // The Search page first, a page after it to see whether Next leaves.
    INT_PTR Run(std::vector<ScriptSheet::Step> steps) {
        CPageSearch search(nullptr, app_);
        fw::CPropertyPage after(IDD_PAGE_STANDARDS);
        ScriptSheet sheet({&search, &after});
        return sheet.Run(std::move(steps));
    }
    static HWND Tree(ScriptSheet& s) { return s.Control(IDC_SEARCH_TREE); }
    static std::wstring Text(ScriptSheet& s, HTREEITEM item) {
        wchar_t text[300] = {};
        TVITEMW tv{};
        tv.mask = TVIF_TEXT;
        tv.hItem = item;
        tv.pszText = text;
        tv.cchTextMax = 299;
        return TreeView_GetItem(Tree(s), &tv) ? text : L"(no item)";
    }
    static HTREEITEM Folder(ScriptSheet& s, int index) {
        HTREEITEM item = TreeView_GetChild(Tree(s), TreeView_GetRoot(Tree(s)));
        while (item && index-- > 0) item = TreeView_GetNextSibling(Tree(s), item);
        return item;
    }
    static Labels Folders(ScriptSheet& s) {
        Labels labels;
        for (HTREEITEM i = Folder(s, 0); i; i = TreeView_GetNextSibling(Tree(s), i))
            labels.push_back(Text(s, i));
        return labels;
    }
    static std::wstring Selected(ScriptSheet& s) { return Text(s, TreeView_GetSelection(Tree(s))); }
    // Starts editing the item's label and types the text into the edit.
    static HWND Type(ScriptSheet& s, HTREEITEM item, const std::wstring& text) {
        SetFocus(Tree(s));
        HWND edit = TreeView_EditLabel(Tree(s), item);
        SetWindowTextW(edit, text.c_str());
        return edit;
    }
    static void Enter(HWND edit) { SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0); }

    CAxvekTarvoProgram app_;
};

}  // namespace

TEST_F(PageSearchTest, LeavingDuringAnEditCommitsItFirstAndStays) {
    ScratchDir dir;
    CreateDirectoryW((dir / L"more").c_str(), nullptr);
    app_.SavedProfile.ORTX = dir.Path() + L"one";
    int pageAfterFirstNext = -1;
    Labels shownAfterFirstNext;
    Run({
        [&](ScriptSheet& s) {
            s.Click(IDC_SEARCH_NEW);
            SetWindowTextW(TreeView_GetEditControl(Tree(s)), (dir / L"more").c_str());
            s.PressButton(PSBTN_NEXT);
        },
        [&](ScriptSheet& s) {
            pageAfterFirstNext = s.GetActiveIndex();
            shownAfterFirstNext = Folders(s);
            s.PressButton(PSBTN_NEXT);
        },
        [&](ScriptSheet& s) {
            EXPECT_EQ(s.GetActiveIndex(), 1);
            s.EndDialog(IDOK);
        },
    });
    EXPECT_EQ(pageAfterFirstNext, 0);
    const Labels expected{dir.Path() + L"one", dir / L"more"};
    EXPECT_EQ(shownAfterFirstNext, expected);
    EXPECT_EQ(app_.SearchFolders, expected);
}

TEST_F(PageSearchTest, DrawingFoldersAreAddedOnceWhateverTheirCase) {
    app_.SavedProfile.ORTX = L"c:\\dwg;C:\\Other\\";
    app_.Drawings = {L"C:\\Dwg\\A.dwg", L"c:\\dwg\\b.dwg", L"c:\\other\\c.dwg"};
    Run({
        [&](ScriptSheet& s) { s.PressButton(PSBTN_NEXT); },
        [&](ScriptSheet& s) { s.PressButton(PSBTN_BACK); },  // entered again
        [&](ScriptSheet& s) { s.PressButton(PSBTN_NEXT); },
        [&](ScriptSheet& s) { s.EndDialog(IDOK); },
    });
    // c:\dwg without its final backslash is another folder than c:\dwg\.
    EXPECT_EQ(app_.SearchFolders, (Labels{L"c:\\dwg", L"C:\\Other\\", L"c:\\dwg\\"}));
}

TEST_F(PageSearchTest, EmptiedLabelDeletesTheFolderButNeverTheRoot) {
    app_.SavedProfile.ORTX = L"c:\\a;c:\\b;c:\\c";
    const std::wstring root = fw::LoadResString(IDS_SEARCH_ROOT);
    struct Case {
        int folder;  // -1: the root
        Labels left;
        std::wstring selected;
    } cases[] = {
        {1, {L"c:\\a", L"c:\\c"}, L"c:\\a"},
        {0, {L"c:\\b", L"c:\\c"}, root},
        {-1, {L"c:\\a", L"c:\\b", L"c:\\c"}, root},
    };
    for (const Case& c : cases) {
        Labels left;
        std::wstring selected, rootText;
        Run({
            [&](ScriptSheet& s) {
                HTREEITEM item = c.folder < 0 ? TreeView_GetRoot(Tree(s)) : Folder(s, c.folder);
                Enter(Type(s, item, L""));
            },
            [&](ScriptSheet& s) {
                left = Folders(s);
                selected = Selected(s);
                rootText = Text(s, TreeView_GetRoot(Tree(s)));
                s.EndDialog(IDOK);
            },
        });
        EXPECT_EQ(left, c.left) << c.folder;
        EXPECT_EQ(selected, c.selected) << c.folder;
        EXPECT_EQ(rootText, root) << c.folder;
    }
}

TEST_F(PageSearchTest, TypedFolderIsAskedAboutUnlessItIsANewExistingFolder) {
    ScratchDir dir;
    CreateDirectoryW((dir / L"new").c_str(), nullptr);
    WriteBytes(dir / L"file.txt", "x");
    app_.SavedProfile.ORTX = dir.Path() + L"listed;c:\\b";
    CreateDirectoryW((dir / L"listed").c_str(), nullptr);
    struct Case {
        std::wstring typed;
        UINT question;  // 0: none
        int answer;
        std::wstring label;  // of the second folder afterwards
    } cases[] = {
        {dir / L"new", 0, 0, dir / L"new"},
        {dir / L"Missing", IDS_SEARCH_MISSING, IDYES, dir / L"Missing"},
        {dir / L"Missing", IDS_SEARCH_MISSING, IDNO, L"c:\\b"},
        {dir / L"file.txt", IDS_SEARCH_NOT_FOLDER, IDNO, L"c:\\b"},
        {dir / L"LISTED", IDS_SEARCH_DUPLICATE, IDYES, dir / L"LISTED"},
    };
    for (const Case& c : cases) {
        std::wstring message, label, editText = L"(no edit)";
        std::unique_ptr<MessageBoxAnswer> box;
        Run({
            [&](ScriptSheet& s) {
                HWND edit = Type(s, Folder(s, 1), c.typed);
                // The question comes once the tree has ended the edit.
                if (c.question) box = std::make_unique<MessageBoxAnswer>(c.answer);
                Enter(edit);
            },
            [&](ScriptSheet& s) {
                if (box) message = box->Text();
                label = Text(s, Folder(s, 1));
                if (HWND edit = TreeView_GetEditControl(Tree(s))) {
                    wchar_t text[300] = {};
                    GetWindowTextW(edit, text, 299);
                    editText = text;
                    SendMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
                }
                s.EndDialog(IDOK);
            },
        });
        const std::string what = Narrow(c.typed) + " " + std::to_string(c.answer);
        if (c.question) {
            std::wstring full = c.typed;
            for (auto& ch : full) ch = towlower(ch);
            EXPECT_EQ(message, fw::FormatResString(c.question, {full})) << what;
        }
        EXPECT_EQ(label, c.label) << what;
        // No: the edit starts again with what was typed.
        EXPECT_EQ(editText, c.answer == IDNO ? c.typed : L"(no edit)") << what;
    }
}

TEST_F(PageSearchTest, UpAndDownKeepTheFolderSelectedAndStopAtTheEnds) {
    app_.SavedProfile.ORTX = L"a;b;c";
    auto enabled = [](ScriptSheet& s, int id) { return IsWindowEnabled(s.Control(id)) != FALSE; };
    Run({
        [&](ScriptSheet& s) {
            EXPECT_FALSE(enabled(s, IDC_SEARCH_DELETE) || enabled(s, IDC_SEARCH_UP) ||
                         enabled(s, IDC_SEARCH_DOWN));  // the root
            TreeView_SelectItem(Tree(s), Folder(s, 0));
            EXPECT_FALSE(enabled(s, IDC_SEARCH_UP));
            EXPECT_TRUE(enabled(s, IDC_SEARCH_DOWN) && enabled(s, IDC_SEARCH_DELETE));
            s.Click(IDC_SEARCH_DOWN);
            EXPECT_EQ(Folders(s), (Labels{L"b", L"a", L"c"}));
            EXPECT_EQ(Selected(s), L"a");
            s.Click(IDC_SEARCH_DOWN);
            EXPECT_EQ(Folders(s), (Labels{L"b", L"c", L"a"}));
            EXPECT_EQ(Selected(s), L"a");
            EXPECT_FALSE(enabled(s, IDC_SEARCH_DOWN));
            EXPECT_TRUE(enabled(s, IDC_SEARCH_UP));
            s.Click(IDC_SEARCH_UP);
            s.Click(IDC_SEARCH_UP);
            EXPECT_EQ(Folders(s), (Labels{L"a", L"b", L"c"}));
            EXPECT_EQ(Selected(s), L"a");
            EXPECT_FALSE(enabled(s, IDC_SEARCH_UP));
            s.Click(IDC_SEARCH_DELETE);
            EXPECT_EQ(Folders(s), (Labels{L"b", L"c"}));
            s.EndDialog(IDOK);
        },
    });
}

TEST_F(PageSearchTest, NewDoesNothingWhileTheCurrentFolderHasNoName) {
    app_.SavedProfile.ORTX = L"a";
    size_t afterTwoNews = 0;
    Run({
        [&](ScriptSheet& s) {
            s.Click(IDC_SEARCH_NEW);
            s.Click(IDC_SEARCH_NEW);  // ends the first edit: the empty folder goes
        },
        [&](ScriptSheet& s) {
            afterTwoNews = Folders(s).size();
            s.EndDialog(IDOK);
        },
    });
    EXPECT_LE(afterTwoNews, 2u);
}

TEST_F(PageSearchTest, ListFilesLoadToTheFirstEmptyLineAndSaveWhatIsShown) {
    ScratchDir dir;
    WriteBytes(dir / L"three.pth", "c:\\one\r\nc:\\two\r\n\r\nc:\\three\r\n");
    WriteBytes(dir / L"open.pth", "c:\\x\nc:\\y");  // LF only, last line without one
    WriteBytes(dir / L"empty.pth", "");
    const std::wstring loadTitle = fw::LoadResString(IDS_SEARCH_LOAD_TITLE);
    const std::wstring saveTitle = fw::LoadResString(IDS_SEARCH_SAVE_TITLE);
    Labels three, open, empty;
    Run({
        [&](ScriptSheet& s) {
            FileDialogAnswer load(loadTitle, dir / L"three.pth");
            s.Click(IDC_SEARCH_LOAD);
            EXPECT_TRUE(load.Seen());
            three = Folders(s);
            FileDialogAnswer save(saveTitle, dir / L"saved.pth");
            s.Click(IDC_SEARCH_SAVE);
            EXPECT_TRUE(save.Seen());
        },
        [&](ScriptSheet& s) {
            FileDialogAnswer load(loadTitle, dir / L"open.pth");
            s.Click(IDC_SEARCH_LOAD);
            EXPECT_TRUE(load.Seen());
            open = Folders(s);
            FileDialogAnswer again(loadTitle, dir / L"empty.pth");
            s.Click(IDC_SEARCH_LOAD);
            EXPECT_TRUE(again.Seen());
            empty = Folders(s);
            FileDialogAnswer save(saveTitle, dir / L"none.pth");
            s.Click(IDC_SEARCH_SAVE);
            EXPECT_TRUE(save.Seen());
            s.EndDialog(IDOK);
        },
    });
    EXPECT_EQ(three, (Labels{L"c:\\one", L"c:\\two"}));
    EXPECT_EQ(ReadBytes(dir / L"saved.pth"), "c:\\one\r\nc:\\two\r\n");
    EXPECT_EQ(open, (Labels{L"c:\\x", L"c:\\y"}));
    EXPECT_TRUE(empty.empty());
    EXPECT_TRUE(FileExists(dir / L"none.pth"));
    EXPECT_EQ(ReadBytes(dir / L"none.pth"), "");
}

TEST_F(PageSearchTest, UnopenableListFilesAreReportedTwiceAndChangeNothing) {
    ScratchDir dir;
    WriteBytes(dir / L"held.pth", "c:\\elsewhere\r\n");
    // Held open by another: the exclusive open is refused for real.
    fw::UniqueHandle held(CreateFileW((dir / L"held.pth").c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.Valid());
    app_.SavedProfile.ORTX = L"c:\\a";
    struct Case {
        int button;
        UINT title, failure;
    } cases[] = {{IDC_SEARCH_LOAD, IDS_SEARCH_LOAD_TITLE, IDS_SEARCH_LOAD_FAILED},
                 {IDC_SEARCH_SAVE, IDS_SEARCH_SAVE_TITLE, IDS_SEARCH_SAVE_FAILED}};
    for (const Case& c : cases) {
        std::vector<std::wstring> messages;
        Labels left;
        Run({
            [&](ScriptSheet& s) {
                FileDialogAnswer dialog(fw::LoadResString(c.title), dir / L"held.pth");
                MessageBoxAnswer boxes(IDOK, 15000, 2);
                s.Click(c.button);
                messages = boxes.Texts();
                left = Folders(s);
                s.EndDialog(IDOK);
            },
        });
        ASSERT_EQ(messages.size(), 2u) << c.button;
        EXPECT_NE(messages[0].find(fw::LoadResString(2311)), std::wstring::npos) << c.button;
        EXPECT_EQ(messages[1], fw::FormatResString(c.failure, {dir / L"held.pth"})) << c.button;
        EXPECT_EQ(left, Labels{L"c:\\a"}) << c.button;
    }
    held.Reset();
    EXPECT_EQ(ReadBytes(dir / L"held.pth"), "c:\\elsewhere\r\n");
}

TEST_F(PageSearchTest, BrowseWithNoFolderListedStoresNothing) {
    ScratchDir dir;
    WriteBytes(dir / L"empty.pth", "");
    Labels left{L"(not run)"};
    Run({
        [&](ScriptSheet& s) {
            FileDialogAnswer load(fw::LoadResString(IDS_SEARCH_LOAD_TITLE), dir / L"empty.pth");
            s.Click(IDC_SEARCH_LOAD);
            EXPECT_TRUE(load.Seen());
            FileDialogAnswer folder(L"Choose a Folder", L"a");
            s.Click(IDC_SEARCH_BROWSE);
            EXPECT_TRUE(folder.Seen());
            left = Folders(s);
            s.EndDialog(IDOK);
        },
    });
    EXPECT_TRUE(left.empty());
}
