#include "core/Text.h"

#include <gtest/gtest.h>

using text::Format;

TEST(Format, ResourceStylePlaceholders) {
    EXPECT_EQ(Format(L"Migrating %s", {L"part.dwg"}), L"Migrating part.dwg");
    EXPECT_EQ(Format(L"%d of %d", {3, 12}), L"3 of 12");
    EXPECT_EQ(Format(L"%svek%x.%s", {L"c:\\t\\", 0xabcu, L"TMP"}), L"c:\\t\\vekabc.TMP");
    EXPECT_EQ(Format(L"%ls|%5d|%-4d|%03d|%X", {L"w", 42, 7, 5, 255}), L"w|   42|7   |005|FF");
    EXPECT_EQ(Format(L"100%% done", {}), L"100% done");
    EXPECT_EQ(Format(L"%I64d %lld %ld", {1LL << 40, -2LL, 3L}), L"1099511627776 -2 3");
}

TEST(Format, NeverReadsPastItsArguments) {
    // A translated text with more placeholders than arguments formats nothing
    // for the extra ones instead of reading the stack.
    EXPECT_EQ(Format(L"%s and %s and %d", {L"one"}), L"one and  and ");
    EXPECT_EQ(Format(L"%d", {L"text for a number"}), L"text for a number");
    EXPECT_EQ(Format(L"%s", {17}), L"17");
    EXPECT_EQ(Format(L"%q %", {1}), L"%q %");
    EXPECT_EQ(Format(L"%d", {-2147483647 - 1}), L"-2147483648");
}

TEST(Case, LowerAndCompareAcrossScripts) {
    EXPECT_EQ(text::ToLower(L"C:\\WORK\\Part.DWG"), L"c:\\work\\part.dwg");
    EXPECT_EQ(text::ToLower(L"\u00C4\u00D6\u00DC\u00D7\u0152\u0178\u0410\u0401\u0391"),
              L"\u00E4\u00F6\u00FC\u00D7\u0153\u00FF\u0430\u0451\u03B1");
    EXPECT_EQ(text::ToLower(L"\u0139\u013A\u017D"), L"\u013A\u013A\u017E");
    EXPECT_TRUE(text::EqualsNoCase(L"C:\\R&D\\Plan.dwg", L"c:\\r&d\\PLAN.DWG"));
    EXPECT_FALSE(text::EqualsNoCase(L"a.dwg", L"a.dw"));
    EXPECT_TRUE(text::StartsWithNoCase(L"Orthex - [a.dwg]", L"ORTHEX"));

    text::NoCaseSet set{L"C:\\Work\\A.dwg"};
    EXPECT_EQ(set.count(L"c:\\work\\a.DWG"), 1u);
    EXPECT_EQ(set.count(L"c:\\work\\b.dwg"), 0u);
}

TEST(TrailingSeparator, AppendsUnlessLastCharacterIsASeparator) {
    auto rule = [](std::wstring s) {
        text::AppendTrailingSeparator(s);
        return s;
    };
    EXPECT_EQ(rule(L""), L"\\");
    EXPECT_EQ(rule(L"C:\\Host"), L"C:\\Host\\");
    EXPECT_EQ(rule(L"C:\\Host\\"), L"C:\\Host\\");
    EXPECT_EQ(rule(L"C:/Host/"), L"C:/Host/");
    EXPECT_EQ(rule(L"C:/Host\\x"), L"C:/Host\\x\\");
}

TEST(Semicolons, SplitKeepsEmptyEntriesAndJoinHasNoTrailingSeparator) {
    using V = std::vector<std::wstring>;
    EXPECT_EQ(text::SplitSemicolons(L"a;;b;"), (V{L"a", L"", L"b"}));
    EXPECT_EQ(text::SplitSemicolons(L";a"), (V{L"", L"a"}));
    EXPECT_EQ(text::SplitSemicolons(L""), V{});
    EXPECT_EQ(text::SplitSemicolons(L" x ; y"), (V{L" x ", L" y"}));
    EXPECT_EQ(text::JoinSemicolons(V{L"a", L"", L"b"}), L"a;;b");
    EXPECT_EQ(text::JoinSemicolons(V{}), L"");
}

TEST(ParseInt, WholeNumbersOnlyAndTheFullIntRange) {
    const struct {
        const wchar_t* text;
        bool ok;
        int value;
    } cases[] = {
        {L"120", true, 120},
        {L"  -7\t", true, -7},
        {L"+1440", true, 1440},
        {L"2147483647", true, 2147483647},
        {L"-2147483648", true, -2147483647 - 1},
        {L"2147483648", false, 0},
        {L"-2147483649", false, 0},
        {L"99999999999999999999", false, 0},
        {L"", false, 0},
        {L"  ", false, 0},
        {L"-", false, 0},
        {L"12a", false, 0},
        {L"1 2", false, 0},
        {L"0x10", false, 0},
        {L"1.5", false, 0},
        {L"\u0661", false, 0},  // Arabic-Indic digit one
    };
    for (const auto& c : cases) {
        int value = 12345;
        EXPECT_EQ(text::ParseInt(c.text, value), c.ok) << c.text;
        EXPECT_EQ(value, c.ok ? c.value : 12345) << c.text;
    }
}
