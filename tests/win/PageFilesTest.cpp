#include "wizard/PageFiles.h"

#include <shlobj.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/AxvekTarvoApp.h"
#include "program/AxvekTarvoProgram.h"
#include "framework/Resources.h"
#include "drawings/core/DrawingVersions.h"
#include "resources/ids.h"
#include "stand-ins/drawings/core/StandInDrawing.h"

#include "support/Drop.h"
#include "support/PageSheet.h"
#include "support/Pixels.h"
#include "support/WinTest.h"

using namespace testenv;

namespace {

using Row = std::vector<std::wstring>;  // the four column texts
using Rows = std::vector<Row>;

std::string Drawing(const std::string& version = "OX1032", uint8_t release = 3) {
    standin::DrawingSpec spec;
    spec.Version = version;
    spec.Release = release;
    const std::vector<uint8_t> bytes = standin::WriteDrawing(spec);
    return std::string(bytes.begin(), bytes.end());
}

std::wstring Lower(std::wstring s) {
    for (auto& c : s) c = towlower(c);
    return s;
}

std::wstring Res(UINT id) {
    return fw::LoadResString(id);
}

std::wstring Version(const char* magic, uint8_t release) {
    return Res(VersionTextId(VersionCode(magic), release));
}

class PageFilesTest : public WinTest {
  protected:
    // The Files page first, a page after it to see whether Next leaves.
    INT_PTR Run(std::vector<ScriptSheet::Step> steps) {
        CPageFiles files(nullptr, app_);
        fw::CPropertyPage after(IDD_PAGE_STANDARDS);
        ScriptSheet sheet({&files, &after});
        page_ = &files;
        const INT_PTR result = sheet.Run(std::move(steps));
        page_ = nullptr;
        return result;
    }
    // Runs the steps on the page, then ends the sheet.
    void OnPage(std::vector<ScriptSheet::Step> steps) {
        steps.push_back([](ScriptSheet& s) { s.EndDialog(IDOK); });
        Run(std::move(steps));
    }

    static HWND List(ScriptSheet& s) { return s.Control(IDC_FILES_LIST); }
    static Rows Shown(ScriptSheet& s) {
        Rows rows;
        const int count = ListView_GetItemCount(List(s));
        for (int i = 0; i < count; ++i) {
            Row row;
            for (int column = 0; column < 4; ++column) {
                wchar_t text[512] = {};
                ListView_GetItemText(List(s), i, column, text, 511);
                row.push_back(text);
            }
            rows.push_back(row);
        }
        return rows;
    }
    static std::vector<std::wstring> Names(ScriptSheet& s) {
        std::vector<std::wstring> names;
        for (const Row& row : Shown(s)) names.push_back(row[0]);
        return names;
    }
    // What the shell sends when files are dropped on the wizard.
    static void Drop(ScriptSheet& s, const std::vector<std::wstring>& paths) {
        SendMessageW(s.GetActivePage()->GetSafeHwnd(), WM_DROPFILES,
                     reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
    }
    static void SelectAll(ScriptSheet& s, const std::vector<int>& items) {
        ListView_SetItemState(List(s), -1, 0, LVIS_SELECTED);
        for (int i : items) ListView_SetItemState(List(s), i, LVIS_SELECTED, LVIS_SELECTED);
    }
    static void Key(ScriptSheet& s, WORD key) {
        NMLVKEYDOWN down{};
        down.hdr = {List(s), IDC_FILES_LIST, LVN_KEYDOWN};
        down.wVKey = key;
        SendMessageW(s.GetActivePage()->GetSafeHwnd(), WM_NOTIFY, IDC_FILES_LIST,
                     reinterpret_cast<LPARAM>(&down));
    }
    static void ClickColumn(ScriptSheet& s, int column) {
        NMLISTVIEW click{};
        click.hdr = {List(s), IDC_FILES_LIST, LVN_COLUMNCLICK};
        click.iItem = -1;
        click.iSubItem = column;
        SendMessageW(s.GetActivePage()->GetSafeHwnd(), WM_NOTIFY, IDC_FILES_LIST,
                     reinterpret_cast<LPARAM>(&click));
    }
    // The preview's client pixels that are not the face colour, as shown now.
    static int PreviewNotFace(ScriptSheet& s) {
        HWND preview = s.Control(IDC_FILES_PREVIEW);
        const Pixels shown = Capture(preview);
        RECT frame{}, client{};
        GetWindowRect(preview, &frame);
        GetClientRect(preview, &client);
        POINT origin{};
        ClientToScreen(preview, &origin);
        const uint32_t face = Rgb(GetSysColor(COLOR_BTNFACE));
        int count = 0;
        for (int y = 0; y < client.bottom; ++y)
            for (int x = 0; x < client.right; ++x)
                count += shown.At(origin.x - frame.left + x, origin.y - frame.top + y) != face;
        return count;
    }
    static bool Enabled(ScriptSheet& s, int id) { return IsWindowEnabled(s.Control(id)) != FALSE; }
    static bool NextEnabled(ScriptSheet& s) {
        return IsWindowEnabled(s.WizardButton(0x3024)) != FALSE;
    }

    CAxvekTarvoProgram app_;
    CPageFiles* page_ = nullptr;
};

}  // namespace

TEST_F(PageFilesTest, DrawingsAreListedOnceInLowerCaseByEveryRoute) {
    ScratchDir dir;
    CreateDirectoryW((dir / L"Sub").c_str(), nullptr);
    WriteBytes(dir / L"PART.DWG", Drawing("OX1015", 7));
    WriteBytes(dir / L"Sub\\Locked.dwg", Drawing());
    SetFileAttributesW((dir / L"Sub\\Locked.dwg").c_str(), FILE_ATTRIBUTE_READONLY);
    const std::wstring list = dir / L"list.dml";
    WriteBytes(list, ListFileBytes({{false, dir / L"part.dwg"},
                                    {false, dir / L"SUB\\LOCKED.DWG"},
                                    {false, dir / L"Gone.dwg"}}));
    const std::wstring folder = Lower(dir.Path());
    Rows rows;
    bool nextBefore = true, nextAfter = false;
    OnPage({
        [&](ScriptSheet& s) {
            nextBefore = NextEnabled(s);
            Drop(s, {dir / L"PART.DWG", dir / L"part.dwg"});
        },
        [&](ScriptSheet& s) {
            FileDialogAnswer answer(Res(IDS_FILES_ADD_TITLE), list);
            s.Click(IDC_FILES_ADD_LIST);
            EXPECT_TRUE(answer.Seen());
        },
        [&](ScriptSheet& s) {
            Drop(s, {dir / L"Sub"});  // the folder again
            nextAfter = NextEnabled(s);
            rows = Shown(s);
        },
    });
    SetFileAttributesW((dir / L"Sub\\Locked.dwg").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_FALSE(nextBefore);
    EXPECT_TRUE(nextAfter);
    const Rows expected{
        {L"part", folder, Version("OX1015", 7), L""},
        {L"locked", folder + L"sub\\", Version("OX1032", 3), Res(IDS_FILES_STATUS_READ_ONLY)},
        {L"gone", folder, Res(IDS_VERSION_OTHER), Res(IDS_FILES_STATUS_MISSING)},
    };
    EXPECT_EQ(rows, expected);
}

TEST_F(PageFilesTest, DroppedTreeTakesPlainDrawingsAndOtherFilesGiveOneMessage) {
    ScratchDir dir;
    const std::wstring top = dir / L"Project";
    for (const wchar_t* sub : {L"", L"\\a", L"\\a\\deep", L"\\Hidden", L"\\..dots"})
        CreateDirectoryW((top + sub).c_str(), nullptr);
    SetFileAttributesW((top + L"\\Hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    const struct {
        const wchar_t* name;
        DWORD attributes;
        bool taken;
    } files[] = {
        {L"\\top.dwg", 0, true},
        {L"\\a\\one.DWG", 0, true},
        {L"\\a\\deep\\two.dwg", FILE_ATTRIBUTE_READONLY, true},
        {L"\\a\\hidden.dwg", FILE_ATTRIBUTE_HIDDEN, false},
        {L"\\a\\system.dwg", FILE_ATTRIBUTE_SYSTEM, false},
        {L"\\a\\temporary.dwg", FILE_ATTRIBUTE_TEMPORARY, false},
        {L"\\a\\offline.dwg", FILE_ATTRIBUTE_OFFLINE, false},
        {L"\\Hidden\\inside.dwg", 0, true},
        {L"\\..dots\\skipped.dwg", 0, false},
        {L"\\a\\notes.txt", 0, false},
        {L"\\a\\old.dwg.bak", 0, false},
    };
    std::vector<std::wstring> expected{L"loose"};
    for (const auto& f : files) {
        const std::wstring path = top + f.name;
        WriteBytes(path, Drawing());
        if (f.attributes) SetFileAttributesW(path.c_str(), f.attributes);
        // A file system that does not keep an attribute (Wine keeps neither
        // temporary nor offline) shows a plain file, which is taken.
        const bool kept = (GetFileAttributesW(path.c_str()) & f.attributes) == f.attributes;
        if (f.taken || (!kept && f.attributes != 0 && f.attributes != FILE_ATTRIBUTE_READONLY)) {
            std::wstring name = Lower(f.name);
            name = name.substr(name.rfind(L'\\') + 1);
            expected.push_back(name.substr(0, name.find(L'.')));
        }
    }
    WriteBytes(dir / L"readme.txt", "x");
    WriteBytes(dir / L"other.doc", "x");
    WriteBytes(dir / L"loose.dwg", Drawing());
    std::vector<std::wstring> names;
    MessageBoxAnswer box(IDOK, 15000, 2);
    OnPage({
        [&](ScriptSheet& s) {
            Drop(s, {dir / L"readme.txt", top, dir / L"other.doc", dir / L"nowhere",
                     dir / L"loose.dwg"});
            names = Names(s);
        },
    });
    for (const auto& f : files) SetFileAttributesW((top + f.name).c_str(), FILE_ATTRIBUTE_NORMAL);
    // The order the file system returns is not fixed: compare as sets.
    std::sort(names.begin(), names.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
    // Hidden and system files at least are planted for real and left out.
    for (const wchar_t* planted : {L"hidden", L"system"})
        EXPECT_EQ(std::count(expected.begin(), expected.end(), planted), 0) << Narrow(planted);
    ASSERT_EQ(box.Texts().size(), 1u);
    EXPECT_EQ(box.Texts()[0],
              fw::FormatResString(IDS_FILES_DROP_OTHER, {Lower(dir / L"readme.txt")}));
}

TEST_F(PageFilesTest, OpeningListsSkipsMarkedLinesAndRefusesOtherFiles) {
    ScratchDir dir;
    WriteBytes(dir / L"a.dwg", Drawing());
    WriteBytes(dir / L"b.dwg", Drawing());
    const std::wstring start = dir / L"start.dml", partly = dir / L"partly.dml",
                       done = dir / L"done.dml", other = dir / L"other.dml";
    WriteBytes(start, ListFileBytes({{false, dir / L"a.dwg"}}));
    WriteBytes(partly, ListFileBytes({{true, dir / L"a.dwg"}, {false, dir / L"b.dwg"}}));
    WriteBytes(done, ListFileBytes({{true, dir / L"a.dwg"}, {true, dir / L"b.dwg"}}));
    WriteBytes(other, "not a drawing list\r\n[ ]c:\\x.dwg\r\n");
    const struct {
        std::wstring list;
        std::vector<std::wstring> names;
        std::wstring dmlFile;
        bool refused;
    } cases[] = {
        {partly, {L"b"}, partly, false},
        {done, {}, done, false},
        {other, {L"a"}, start, true},  // the list shown before stays
    };
    for (const auto& c : cases) {
        std::vector<std::wstring> names;
        std::unique_ptr<MessageBoxAnswer> refusal;
        bool modified = true;
        OnPage({
            [&](ScriptSheet& s) {
                FileDialogAnswer first(Res(IDS_FILES_OPEN_TITLE), start);
                s.Click(IDC_FILES_OPEN_LIST);
            },
            [&](ScriptSheet& s) {
                if (c.refused) refusal = std::make_unique<MessageBoxAnswer>(IDOK);
                FileDialogAnswer answer(Res(IDS_FILES_OPEN_TITLE), c.list);
                s.Click(IDC_FILES_OPEN_LIST);
                names = Names(s);
                modified = page_->Modified();
            },
        });
        EXPECT_EQ(names, c.names) << Narrow(c.list);
        EXPECT_EQ(Lower(app_.DmlFile), Lower(c.dmlFile)) << Narrow(c.list);
        EXPECT_FALSE(modified) << Narrow(c.list);
        if (refusal) {
            EXPECT_EQ(refusal->Text(), fw::FormatResString(IDS_FILES_OPEN_FAILED, {c.list}));
        }
    }
}

TEST_F(PageFilesTest, NewAndOpenedListsLeaveNoPreviewOfTheDrawingBefore) {
    ScratchDir dir;
    WriteBytes(dir / L"a.dwg", Drawing());
    WriteBytes(dir / L"b.dwg", Drawing());
    const std::wstring first = dir / L"first.dml", second = dir / L"second.dml";
    WriteBytes(first, ListFileBytes({{false, dir / L"a.dwg"}}));
    WriteBytes(second, ListFileBytes({{false, dir / L"b.dwg"}}));
    // Open List past its dialog: under Wine the closing dialog repaints what
    // it covered, which would hide an image left behind.
    const struct {
        const char* What;
        std::function<void(ScriptSheet&)> Act;
        std::vector<std::wstring> Names;
    } cases[] = {
        {"New List", [](ScriptSheet& s) { s.Click(IDC_FILES_NEW_LIST); }, {}},
        {"Open List", [&](ScriptSheet&) { page_->OpenListFile(second); }, {L"b"}},
    };
    for (const auto& c : cases) {
        int before = 0, after = -1;
        std::vector<std::wstring> names;
        OnPage({
            [&](ScriptSheet& s) {
                // Opened, so that the list has no changes to ask about.
                FileDialogAnswer answer(Res(IDS_FILES_OPEN_TITLE), first);
                s.Click(IDC_FILES_OPEN_LIST);
            },
            [&](ScriptSheet& s) {
                SelectAll(s, {0});
                before = PreviewNotFace(s);
                c.Act(s);
                after = PreviewNotFace(s);
                names = Names(s);
            },
        });
        EXPECT_GT(before, 100) << c.What;
        EXPECT_EQ(after, 0) << c.What;
        EXPECT_EQ(names, c.Names) << c.What;
    }
}

TEST_F(PageFilesTest, UnsavedListIsOfferedForSavingBeforeItGoes) {
    ScratchDir dir;
    WriteBytes(dir / L"a.dwg", Drawing());
    const std::wstring saved = dir / L"saved.dml";
    const struct {
        int answer;
        std::wstring saveAs;  // empty: the save dialog is cancelled
        size_t left;
        bool written;
    } cases[] = {
        {IDCANCEL, L"", 1, false},
        {IDNO, L"", 0, false},
        {IDYES, L"", 1, false},
        {IDYES, saved, 0, true},
    };
    for (const auto& c : cases) {
        DeleteFileW(saved.c_str());
        app_.DmlFile = L"c:\\before.dml";
        size_t left = 99;
        OnPage({
            [&](ScriptSheet& s) {
                Drop(s, {dir / L"a.dwg"});
                MessageBoxAnswer box(c.answer);
                std::unique_ptr<FileDialogAnswer> save;
                if (c.answer == IDYES)
                    save = std::make_unique<FileDialogAnswer>(Res(IDS_FILES_SAVE_TITLE), c.saveAs);
                s.Click(IDC_FILES_NEW_LIST);
                EXPECT_EQ(box.Text(), Res(IDS_FILES_SAVE_QUESTION));
                left = Names(s).size();
            },
        });
        const std::string what = std::to_string(c.answer) + Narrow(c.saveAs);
        EXPECT_EQ(left, c.left) << what;
        // Unsaved changes forget the list file whatever the answer.
        EXPECT_EQ(app_.DmlFile, L"") << what;
        EXPECT_EQ(FileExists(saved), c.written) << what;
        if (c.written) {
            EXPECT_EQ(ReadBytes(saved), ListFileBytes({{false, Lower(dir / L"a.dwg")}})) << what;
        }
    }
}

TEST_F(PageFilesTest, ColumnsSortUpThenDownAndStatusByTheWholeChain) {
    ScratchDir dir;
    CreateDirectoryW((dir / L"x").c_str(), nullptr);
    WriteBytes(dir / L"b.dwg", Drawing("OX1032", 3));
    WriteBytes(dir / L"C.dwg", Drawing("OX1015", 7));
    WriteBytes(dir / L"x\\a.dwg", Drawing("OX1032", 3));
    const std::wstring list = dir / L"l.dml";
    WriteBytes(list, ListFileBytes({{false, dir / L"x\\a.dwg"},
                                    {false, dir / L"b.dwg"},
                                    {false, dir / L"C.dwg"},
                                    {false, dir / L"missing.dwg"}}));
    std::vector<std::vector<std::wstring>> orders;
    // A second page, after the first has left column 0 sorted up.
    for (const std::vector<int>& clicks : {std::vector<int>{3, 3, 0, 0, 0}, std::vector<int>{0}})
        OnPage({
            [&](ScriptSheet& s) {
                FileDialogAnswer answer(Res(IDS_FILES_ADD_TITLE), list);
                s.Click(IDC_FILES_ADD_LIST);
                // Status first, while no version or status has been read yet.
                for (int column : clicks) {
                    ClickColumn(s, column);
                    orders.push_back(Names(s));
                }
            },
        });
    ASSERT_EQ(orders.size(), 6u);
    // Each column of a new page sorts up first, whatever pages sorted before.
    const std::vector<std::wstring> up{L"a", L"b", L"c", L"missing"};
    const std::vector<std::wstring> down{L"missing", L"c", L"b", L"a"};
    EXPECT_EQ(orders[2], up);
    EXPECT_EQ(orders[3], down);
    EXPECT_EQ(orders[4], up);
    EXPECT_EQ(orders[5], up);
    // Equal (empty) statuses by version ("...2" before "...17"), then folder.
    const std::vector<std::wstring> statusUp{L"c", L"b", L"a", L"missing"};
    const std::wstring v15 = Version("OX1015", 7), v32 = Version("OX1032", 3);
    std::vector<std::wstring> byStatus = statusUp;
    if (CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, v15.c_str(), -1, v32.c_str(), -1,
                        nullptr, nullptr, 0) == CSTR_GREATER_THAN)
        byStatus = {L"b", L"a", L"c", L"missing"};
    const std::vector<std::wstring> byStatusDown(byStatus.rbegin(), byStatus.rend());
    EXPECT_EQ(orders[0], byStatus);
    EXPECT_EQ(orders[1], byStatusDown);
}

TEST_F(PageFilesTest, RemovingAsksOnlyForSeveralDrawings) {
    ScratchDir dir;
    for (const wchar_t* name : {L"a.dwg", L"b.dwg", L"c.dwg", L"d.dwg"})
        WriteBytes(dir / name, Drawing());
    std::vector<std::wstring> afterOne, afterNo, afterYes;
    std::wstring question;
    bool removeEnabled = true;
    OnPage({
        [&](ScriptSheet& s) {
            Drop(s, {dir / L"a.dwg", dir / L"b.dwg", dir / L"c.dwg", dir / L"d.dwg"});
            removeEnabled = Enabled(s, IDC_FILES_REMOVE);
            SelectAll(s, {0});
            Key(s, VK_DELETE);  // one: no question
            afterOne = Names(s);
            SelectAll(s, {0, 2});
            {
                DialogCatcher no(Res(IDS_FILES_REMOVE_CAPTION), IDNO);
                s.Click(IDC_FILES_REMOVE);
                question = no.AllText();
            }
            afterNo = Names(s);
            DialogCatcher yes(Res(IDS_FILES_REMOVE_CAPTION), IDYES);
            s.Click(IDC_FILES_REMOVE);
            EXPECT_TRUE(yes.Seen());
            afterYes = Names(s);
        },
    });
    EXPECT_FALSE(removeEnabled);  // nothing selected yet
    EXPECT_EQ(afterOne, (std::vector<std::wstring>{L"b", L"c", L"d"}));
    EXPECT_NE(question.find(Res(IDS_FILES_REMOVE_QUESTION)), std::wstring::npos);
    EXPECT_EQ(afterNo, afterOne);
    EXPECT_EQ(afterYes, (std::vector<std::wstring>{L"c"}));
}

TEST_F(PageFilesTest, NextHandsOnUsableDrawingsOrRefusesWhenThereAreNone) {
    ScratchDir dir;
    WriteBytes(dir / L"good.dwg", Drawing());
    WriteBytes(dir / L"locked.dwg", Drawing());
    WriteBytes(dir / L"gone.dwg", Drawing());
    SetFileAttributesW((dir / L"locked.dwg").c_str(), FILE_ATTRIBUTE_READONLY);
    // Enough read-only drawings beside them that their folder is searched
    // once for all statuses, in capitals on disk.
    std::vector<std::wstring> crowd;
    for (int i = 0; i < 20; ++i) {
        crowd.push_back(dir / (L"CROWD-" + std::to_wstring(i) + L".DWG"));
        WriteBytes(crowd.back(), Drawing());
        SetFileAttributesW(crowd.back().c_str(), FILE_ATTRIBUTE_READONLY);
    }
    const struct {
        std::vector<std::wstring> dropped;
        bool crowded;
        int page;  // after Next
        std::vector<std::wstring> drawings;
    } cases[] = {
        {{L"locked.dwg", L"gone.dwg"}, false, 0, {}},
        {{L"locked.dwg", L"good.dwg", L"gone.dwg"}, false, 1, {Lower(dir / L"good.dwg")}},
        {{L"locked.dwg", L"gone.dwg"}, true, 0, {}},
        {{L"locked.dwg", L"good.dwg", L"gone.dwg"}, true, 1, {Lower(dir / L"good.dwg")}},
    };
    for (const auto& c : cases) {
        WriteBytes(dir / L"gone.dwg", Drawing());
        std::unique_ptr<MessageBoxAnswer> box;
        int page = -1;
        Run({
            [&](ScriptSheet& s) {
                std::vector<std::wstring> paths;
                for (const auto& name : c.dropped) paths.push_back(dir / name);
                if (c.crowded) paths.insert(paths.end(), crowd.begin(), crowd.end());
                Drop(s, paths);
                DeleteFileW((dir / L"gone.dwg").c_str());  // gone before Next
                // Refused: string 2317; else the unsaved list: No.
                box = std::make_unique<MessageBoxAnswer>(c.page == 0 ? IDOK : IDNO);
                s.PressButton(PSBTN_NEXT);
            },
            [&](ScriptSheet& s) {
                page = s.GetActiveIndex();
                s.EndDialog(IDOK);
            },
        });
        EXPECT_EQ(page, c.page);
        EXPECT_EQ(box->Text(), Res(c.page == 0 ? IDS_FILES_NONE_USABLE : IDS_FILES_SAVE_QUESTION));
        EXPECT_EQ(app_.Drawings, c.drawings);
    }
    SetFileAttributesW((dir / L"locked.dwg").c_str(), FILE_ATTRIBUTE_NORMAL);
    for (const std::wstring& path : crowd) SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// After a recovered run the page opens its list when first shown: the
// unmarked drawings, the ones left.
TEST_F(PageFilesTest, AListLeftByARecoveredRunIsOpenedWithTheDrawingsLeft) {
    ScratchDir dir;
    WriteBytes(dir / L"a.dwg", Drawing());
    WriteBytes(dir / L"b.dwg", Drawing());
    const std::wstring list = dir / L"left.dml";
    WriteBytes(list, ListFileBytes({{true, dir / L"a.dwg"}, {false, dir / L"b.dwg"}}));
    app_.ListToOpen = list;
    std::vector<std::wstring> names;
    OnPage({[&](ScriptSheet& s) { names = Names(s); }});
    EXPECT_EQ(names, std::vector<std::wstring>{L"b"});
    EXPECT_EQ(app_.DmlFile, list);
    EXPECT_TRUE(app_.ListToOpen.empty());
}
