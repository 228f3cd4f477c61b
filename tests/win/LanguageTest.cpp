#include "host/Language.h"

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
