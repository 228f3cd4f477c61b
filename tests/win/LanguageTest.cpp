#include "host/Language.h"

#include <locale.h>

#include "framework/Resources.h"
#include "host/core/LanguageTable.h"
#include "resources/ids.h"

#include "support/WinTest.h"

using namespace testenv;

TEST(Language, TheSystemLanguageGivesTheTableName) {
    EXPECT_EQ(LocaleNameForSystemLanguage(), LocaleNameForLanguage(GetSystemDefaultLangID()));
    if (GetSystemDefaultLangID() == 0x0409) {
        EXPECT_EQ(LocaleNameForSystemLanguage(), L"english-us");
        EXPECT_EQ(SystemLanguageLocale().CodePage, 1252u);
    }
}

TEST(Language, ResourceLibraryScopeSwitchesTheResourceHandleAndBack) {
    const HINSTANCE before = fw::ResourceHandle();
    EXPECT_EQ(fw::LoadResString(IDS_CAPTION), L"");  // the test program has no strings
    {
        ResourceLibraryScope scope(LoadLibraryW(ResourceLibraryFile(L"de-DE").c_str()));
        EXPECT_EQ(fw::LoadResString(IDS_CAPTION), L"Zeichnungsmigrations-Assistent");
        EXPECT_EQ(fw::LoadResString(IDS_DEFAULT_LOG_NAME), L"OrtxAMigr.log");
    }
    EXPECT_EQ(fw::ResourceHandle(), before);
    ResourceLibraryScope english(LoadLibraryW(ResourceLibraryFile(L"en-US").c_str()));
    EXPECT_EQ(fw::LoadResString(IDS_CAPTION), L"Drawing Migration Wizard");
    EXPECT_EQ(fw::FormatResString(IDS_LOG_UPDATE_DRAWING, {L"a.dwg"}), L"Migrating a.dwg");
}

TEST(Language, TheUserDataLibraryNamesTheLibraryOfTheHostLanguage) {
    ClearHostRegistry();
    EXPECT_EQ(ResourceLibraryPath(), ResourceLibraryFile(L"en-US"));
    SetString(HKEY_CURRENT_USER, L"Software\\Kelvane\\Orthex\\R25.1", L"Language", L"de-DE");
    EXPECT_EQ(ResourceLibraryPath(), ResourceLibraryFile(L"de-DE"));
    ClearHostRegistry();
}

TEST(Language, TheRuntimeLocaleFollowsTheSystemLanguageWithCNumbers) {
    SetRuntimeLocale();
    const std::wstring all = _wsetlocale(LC_ALL, nullptr);
    const std::wstring numeric = _wsetlocale(LC_NUMERIC, nullptr);
    EXPECT_EQ(numeric, L"C");
    if (GetSystemDefaultLangID() == 0x0409) {
        EXPECT_NE(all.find(L"LC_CTYPE=English_United States.1252"), std::wstring::npos)
            << Narrow(all);
        EXPECT_EQ(std::wstring(_wsetlocale(LC_COLLATE, nullptr)), L"English_United States.1252");
    }
    // Numbers keep their "." whatever the language.
    wchar_t buffer[32] = {};
    swprintf(buffer, 32, L"%.1f", 2.5);
    EXPECT_EQ(std::wstring(buffer), L"2.5");
}
