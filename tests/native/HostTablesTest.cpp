#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/FileCause.h"
#include "host/core/HostKeyText.h"
#include "host/core/LanguageTable.h"
#include "host/core/WatchTables.h"

TEST(LanguageTable, HoldsAll143RowsInOrderWith34Names) {
    ASSERT_EQ(kLanguageRowCount, 143u);
    EXPECT_STREQ(kLanguageTable[0].Key, L"0x0000");
    EXPECT_STREQ(kLanguageTable[41].Key, L"0x0409");
    EXPECT_STREQ(kLanguageTable[142].Key, L"0x042a");
    size_t named = 0;
    std::set<std::wstring> keys;
    for (const LanguageRow& row : kLanguageTable) {
        named += row.Name[0] != 0;
        keys.insert(row.Key);
        EXPECT_EQ(std::wstring(row.Key).size(), 6u) << row.Key;
    }
    EXPECT_EQ(named, 34u);
    EXPECT_EQ(keys.size(), 143u);
}

TEST(LanguageTable, LooksUpTheSystemLanguage) {
    EXPECT_EQ(LocaleNameForLanguage(0x0409), L"english-us");
    EXPECT_EQ(LocaleNameForLanguage(0x0804), L"chs");
    EXPECT_EQ(LocaleNameForLanguage(0x0c0a), L"");  // a row without a name
    EXPECT_EQ(LocaleNameForLanguage(0x0407), L"german");
    EXPECT_EQ(LocaleNameForLanguage(0x041f), L"turkish");
    EXPECT_EQ(LocaleNameForLanguage(0x1234), L"");  // no row
}

TEST(HostKeyText, EditionKeyFromProductAndLocale) {
    EXPECT_EQ(EditionKeyPathFor(ParseProductNumber(L"12"), ParseLocaleNumber(L"409")),
              L"Software\\Kelvane\\Kelvane Mechanical\\Desktop\\17\\ORTXA-12:409");
    EXPECT_EQ(ParseLocaleNumber(L"0409"), 0x409u);
    EXPECT_EQ(ParseLocaleNumber(L"40C"), 0x40cu);
    EXPECT_EQ(ParseLocaleNumber(L"0x40c"), 0x40cu);
    EXPECT_EQ(ParseLocaleNumber(L""), 0u);
    EXPECT_EQ(ParseLocaleNumber(L"zz"), 0u);
    EXPECT_EQ(EditionKeyPathFor(12, 0x40c).substr(47), L"ORTXA-12:40c");
    EXPECT_EQ(ParseProductNumber(L"  -7x"), -7);
    EXPECT_EQ(ParseProductNumber(L"abc"), 0);
    EXPECT_EQ(ParseProductNumber(L"99999999999999"), 0x7FFFFFFF);
}

TEST(HostKeyText, ProductKeyEndsInCurVer) {
    EXPECT_EQ(ProductKeyPathFor(L"ORTXA-7001:409"),
              L"SOFTWARE\\Kelvane\\Orthex\\R25.1\\ORTXA-7001:409");
    EXPECT_EQ(ProductKeyPathFor(L""), L"SOFTWARE\\Kelvane\\Orthex\\R25.1\\");
}

TEST(FileCause, WindowsErrorsMapToFrameworkCauses) {
    EXPECT_EQ(CauseFromOsError(0), FileCause::None);
    EXPECT_EQ(CauseFromOsError(2), FileCause::FileNotFound);
    EXPECT_EQ(CauseFromOsError(3), FileCause::BadPath);
    EXPECT_EQ(CauseFromOsError(5), FileCause::AccessDenied);
    EXPECT_EQ(CauseFromOsError(32), FileCause::SharingViolation);
    EXPECT_EQ(CauseFromOsError(33), FileCause::LockViolation);
    EXPECT_EQ(CauseFromOsError(112), FileCause::DiskFull);
    EXPECT_EQ(CauseFromOsError(38), FileCause::EndOfFile);
    EXPECT_EQ(CauseFromOsError(123456), FileCause::Generic);
}

TEST(WatchTables, TitleMatching) {
    struct Case {
        const wchar_t* Title;
        const wchar_t* Pattern;
        bool Wildcard;
        bool Matches;
    } cases[] = {
        {L"Audit Errors", L"audit errors", false, true},
        {L"Error in ***.dwg", L"Error in ***.dwg", false, true},  // literal row
        {L"ERROR IN Part 7.DWG", L"Error in ***.dwg", true, true},
        {L"Error in .dwg", L"Error in ***.dwg", true, true},
        {L"Error in x.dwgs", L"Error in ***.dwg", true, false},
        {L"An Error in x.dwg", L"Error in ***.dwg", true, false},
        {L"Drawing Recovery Manager", L"Drawing Recovery***Recovery Manager", true, true},
        {L"Drawing Recovery", L"Drawing Recovery***Recovery Manager", true, false},
        {L"aba", L"ab***ba", true, true},  // overlap by one
        {L"abb", L"ab***ba", true, false},
        {L"anything", L"***anything", true, false},  // "***" at the start
        {L"anything", L"anything", true, false},     // no "***"
        {L"x", L"", false, false},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
        EXPECT_EQ(TitleMatches(cases[i].Title, cases[i].Pattern, cases[i].Wildcard),
                  cases[i].Matches)
            << "case " << i;
    EXPECT_TRUE(IsPlaceholderTitle(L"?not used"));
    EXPECT_FALSE(IsPlaceholderTitle(L"Why?"));
    EXPECT_FALSE(IsPlaceholderTitle(L""));
}
