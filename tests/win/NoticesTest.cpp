#include "wizard/Notices.h"

#include "framework/Resources.h"
#include "resources/ids.h"

#include "support/WindowActor.h"
#include "support/WinTest.h"

using namespace testenv;

class NoticesTest : public WinTest {};

TEST_F(NoticesTest, EachNoticeShowsItsWordingAndSystemIconAndEndsByItsButtons) {
    const struct {
        const wchar_t* language;
        bool safety;
        const wchar_t* title;
        const wchar_t* words;
        int button;
    } cases[] = {
        {L"en-US", true, L"Safety Notice", L"Back up the drawings", IDOK},
        {L"en-US", true, L"Safety Notice", L"Close Kelvane Mechanical", IDCANCEL},
        {L"en-US", false, L"Migration Not Possible", L"migration profile", IDOK},
        {L"de-DE", true, L"Sicherheitshinweis", L"Sichern Sie die Zeichnungen", IDCANCEL},
        {L"de-DE", false, L"Migration nicht möglich", L"Migrationsprofil", IDOK},
    };
    for (const auto& c : cases) {
        resources_.reset();
        resources_ = std::make_unique<ResourceLibraryScope>(
            LoadLibraryW(ResourceLibraryFile(c.language).c_str()));
        std::wstring texts;
        LRESULT icon = 0;
        WindowActor user(c.title, [&](HWND dialog) {
            for (HWND child = GetWindow(dialog, GW_CHILD); child;
                 child = GetWindow(child, GW_HWNDNEXT)) {
                wchar_t text[1024] = {};
                GetWindowTextW(child, text, 1023);
                texts += text;
                texts += L"\n";
            }
            icon = SendMessageW(GetDlgItem(dialog, c.safety ? IDC_SAFETY_ICON : IDC_RUN_VEK_ICON),
                                STM_GETICON, 0, 0);
            PostMessageW(GetDlgItem(dialog, c.button), BM_CLICK, 0, 0);
        });
        INT_PTR result = c.safety ? CSafetyDlg().DoModal() : CRunVekDlg().DoModal();
        ASSERT_TRUE(user.Done()) << Narrow(c.title);
        EXPECT_EQ(result, c.button) << Narrow(c.title);
        EXPECT_NE(texts.find(c.words), std::wstring::npos) << Narrow(texts);
        EXPECT_EQ(icon, reinterpret_cast<LRESULT>(
                            LoadIconW(nullptr, c.safety ? IDI_EXCLAMATION : IDI_HAND)));
    }
}
