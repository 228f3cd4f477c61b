#include "framework/FileDialog.h"

#include "core/Text.h"

#include "support/WindowActor.h"
#include "support/WinTest.h"

using namespace testenv;

namespace {
const int kFileNameEdit = 0x47c;  // the Explorer-style dialog's file name box
const int kFileTypes = 0x470;

std::wstring Text(HWND dialog, int id) {
    wchar_t text[512] = {};
    GetDlgItemTextW(dialog, id, text, 511);
    return text;
}
}  // namespace

class FileDialogTest : public WinTest {
  protected:
    void SetUp() override {
        WinTest::SetUp();
        wchar_t buffer[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, buffer);
        previous_ = buffer;
        SetCurrentDirectoryW(dir_.Path().c_str());
        WriteBytes(dir_ / L"a.dwg", "AC1015");
        WriteBytes(dir_ / L"b.dwg", "AC1015");
    }
    void TearDown() override {
        SetCurrentDirectoryW(previous_.c_str());
        WinTest::TearDown();
    }
    ScratchDir dir_;
    std::wstring previous_;
};

TEST_F(FileDialogTest, OpenReturnsEverySelectedFileWithItsFolder) {
    fw::CFileDialog dialog(true, L"dwg", L"", OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST,
                           L"Drawings (*.dwg)|*.dwg|All files (*.*)|*.*|", nullptr, 81920);
    dialog.SetTitle(L"Add drawings");
    std::wstring firstType;
    WindowActor user(L"Add drawings", [&](HWND d) {
        firstType = Text(d, kFileTypes);
        SetDlgItemTextW(d, kFileNameEdit, L"\"a.dwg\" \"b.dwg\"");
        PostMessageW(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    ASSERT_TRUE(user.Done());
    EXPECT_EQ(firstType, L"Drawings (*.dwg)");
    const std::vector<std::wstring> names = dialog.GetPathNames();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_TRUE(text::EqualsNoCase(names[0], dir_ / L"a.dwg")) << Narrow(names[0]);
    EXPECT_TRUE(text::EqualsNoCase(names[1], dir_ / L"b.dwg")) << Narrow(names[1]);
    EXPECT_EQ(dialog.GetPathName(), names[0]);
}

TEST_F(FileDialogTest, SaveOffersTheInitialNameAndAddsTheDefaultExtension) {
    fw::CFileDialog save(false, L"dml", L"list", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                         L"Drawing lists (*.dml)|*.dml|", nullptr);
    save.SetTitle(L"Save the list");
    std::wstring offered;
    WindowActor user(L"Save the list", [&](HWND d) {
        offered = Text(d, kFileNameEdit);
        PostMessageW(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
    });
    ASSERT_EQ(save.DoModal(), IDOK);
    ASSERT_TRUE(user.Done());
    EXPECT_EQ(offered, L"list");
    EXPECT_TRUE(text::EqualsNoCase(save.GetPathName(), dir_ / L"list.dml"))
        << Narrow(save.GetPathName());

    fw::CFileDialog cancelled(true, L"dml", L"list", 0, L"", nullptr);
    cancelled.SetTitle(L"Open a list");
    WindowActor gives_up(L"Open a list",
                         [](HWND d) { PostMessageW(GetDlgItem(d, IDCANCEL), BM_CLICK, 0, 0); });
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    EXPECT_TRUE(gives_up.Done());
    EXPECT_EQ(cancelled.GetPathName(), L"");
}
