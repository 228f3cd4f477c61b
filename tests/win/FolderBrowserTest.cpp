#include "wizard/FolderBrowser.h"

#include <dlgs.h>
#include <shlobj.h>

#include "core/Text.h"
#include "framework/Resources.h"

#include "support/WindowActor.h"
#include "support/WinTest.h"

using namespace testenv;

namespace {

// A folder browser on a shell library that reports another version.
class VersionedBrowser : public CFolderBrowser {
  public:
    VersionedBrowser(DWORD major, DWORD minor) : major_(major), minor_(minor) {}

  protected:
    bool ShellVersion(DWORD& major, DWORD& minor) const override {
        major = major_;
        minor = minor_;
        return true;
    }

  private:
    DWORD major_, minor_;
};

std::wstring CurrentFolder() {
    wchar_t buffer[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, buffer);
    return buffer;
}

}  // namespace

class FolderBrowserTest : public WinTest {
  protected:
    void SetUp() override {
        WinTest::SetUp();
        previous_ = CurrentFolder();
    }
    void TearDown() override {
        SetCurrentDirectoryW(previous_.c_str());
        WinTest::TearDown();
    }
    std::wstring previous_;
    ScratchDir dir_;
};

TEST(FolderBrowserChoice, ShellBrowserOnlyFromVersionFourWithAMinorVersion) {
    const struct {
        DWORD major, minor;
        bool shell;
    } cases[] = {{6, 0, false}, {6, 1, true},   {4, 71, true}, {4, 0, false},
                 {5, 0, false}, {3, 51, false}, {0, 0, false}, {10, 1, true}};
    for (const auto& c : cases)
        EXPECT_EQ(UseShellFolderBrowser(c.major, c.minor), c.shell) << c.major << "." << c.minor;
}

TEST_F(FolderBrowserTest, WineTakesTheOldStyleDialogWhichReturnsTheFolderShown) {
    const std::wstring sub = dir_ / L"Sub Folder";
    CreateDirectoryW(sub.c_str(), nullptr);
    const struct {
        const wchar_t* language;
        std::wstring folder;
        std::wstring expected;
        int button;
    } cases[] = {
        {L"en-US", sub, sub, IDOK},
        {L"de-DE", L"C:\\", L"C:\\", IDOK},  // a drive's root keeps its separator
        {L"en-US", sub, L"", IDCANCEL},
    };
    for (const auto& c : cases) {
        resources_.reset();
        resources_ = std::make_unique<ResourceLibraryScope>(
            LoadLibraryW(ResourceLibraryFile(c.language).c_str()));
        SetCurrentDirectoryW(c.folder.c_str());
        std::wstring typed;
        bool fileControlsHidden = false, folderListFocused = false;
        WindowActor user(
            fw::LoadResString(0) + (c.language[0] == L'd' ? L"Ordner wählen" : L"Choose a Folder"),
            [&](HWND dialog) {
                wchar_t text[64] = {};
                GetDlgItemTextW(dialog, edt1, text, 63);
                typed = text;
                fileControlsHidden = true;
                for (int id : {stc2, stc3, edt1, lst1, cmb1, pshHelp})
                    fileControlsHidden &= !IsWindowVisible(GetDlgItem(dialog, id));
                folderListFocused = FocusOf(dialog) == GetDlgItem(dialog, lst2);
                PostMessageW(GetDlgItem(dialog, c.button), BM_CLICK, 0, 0);
            });
        CFolderBrowser browser;
        EXPECT_EQ(browser.DoModal(), c.button);
        ASSERT_TRUE(user.Done());
        EXPECT_EQ(typed, L"a");
        EXPECT_TRUE(fileControlsHidden);
        EXPECT_TRUE(folderListFocused);
        EXPECT_TRUE(text::EqualsNoCase(browser.GetPathName(), c.expected))
            << Narrow(browser.GetPathName());
        EXPECT_TRUE(text::EqualsNoCase(CurrentFolder(), c.folder)) << "OFN_NOCHANGEDIR";
    }
}

TEST_F(FolderBrowserTest, ShellBrowserReturnsTheFolderFullAndInLowerCase) {
    const std::wstring chosen = dir_ / L"Chosen Folder";
    CreateDirectoryW(chosen.c_str(), nullptr);
    for (const SIZE version : {SIZE{6, 1}, SIZE{4, 71}}) {
        WindowActor user(L"", [&](HWND dialog) {
            // The tree fills in after the window shows: select more than once.
            for (int i = 0; i < 3; ++i) {
                Sleep(200);
                SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE,
                             reinterpret_cast<LPARAM>(chosen.c_str()));
            }
            PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        });
        VersionedBrowser browser(version.cx, version.cy);
        EXPECT_EQ(browser.DoModal(), IDOK);
        ASSERT_TRUE(user.Done());
        EXPECT_EQ(browser.GetPathName(), text::ToLower(chosen)) << version.cx << "." << version.cy;
    }
}
