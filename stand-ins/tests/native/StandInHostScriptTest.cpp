#include "stand-ins/host/core/HostScript.h"

#include <gtest/gtest.h>

#include "stand-ins/core/StandInText.h"
#include "stand-ins/host/core/HostProfile.h"

using namespace standin;

TEST(StandInHostCommandLine, TheWizardsStartLine) {
    const HostArgs a = ParseHostCommandLine(
        L"ortx.exe /b \"C:\\Users\\Zoë\\AppData\\Local\\Temp\\vek3.scr\" /p \"<<ORTXAPP>>\" "
        L"/nologo");
    EXPECT_TRUE(a.HasScript);
    EXPECT_EQ(a.Script, L"C:\\Users\\Zoë\\AppData\\Local\\Temp\\vek3.scr");
    EXPECT_TRUE(a.HasProfile);
    EXPECT_EQ(a.Profile, L"<<ORTXAPP>>");
    EXPECT_TRUE(a.NoLogo);
    EXPECT_TRUE(a.Ignored.empty());
}

TEST(StandInHostCommandLine, QuotedPathsKeepBlanksAndSpecialCharacters) {
    const HostArgs a = ParseHostCommandLine(
        L"\"C:\\Program Files\\Orthex R25.1\\ortx.exe\"  /B  \"C:\\a b\\50% & ^x \u0416\\\"  -P p "
        L"-NOLOGO extra");
    EXPECT_EQ(a.Script, L"C:\\a b\\50% & ^x \u0416\\");  // a trailing backslash escapes nothing
    EXPECT_EQ(a.Profile, L"p");
    EXPECT_TRUE(a.NoLogo);
    EXPECT_EQ(a.Ignored, std::vector<std::wstring>{L"extra"});
}

TEST(StandInHostCommandLine, MissingValuesAndBareProgram) {
    HostArgs a = ParseHostCommandLine(L"ortx.exe /b");
    EXPECT_FALSE(a.HasScript);
    EXPECT_EQ(a.Ignored, std::vector<std::wstring>{L"/b"});
    a = ParseHostCommandLine(L"\"ortx.exe\"");
    EXPECT_FALSE(a.HasScript || a.HasProfile || a.NoLogo);
    EXPECT_EQ(SplitCommandLine(L"  \"\"  x\"y z\"w "), (std::vector<std::wstring>{L"", L"xy zw"}));
}

TEST(StandInHostScriptLines, CommandNamesAndTails) {
    EXPECT_EQ(CommandName(L"_.OPEN"), L"OPEN");
    EXPECT_EQ(CommandName(L"  ._qsave \r"), L"QSAVE");
    EXPECT_EQ(CommandName(L"_-purge _B * _N"), L"-PURGE");
    EXPECT_EQ(CommandTail(L"_-purge _B * _N "), L"_B * _N");
    EXPECT_EQ(CommandName(L"_axvekmigr"), L"AXVEKMIGR");
    EXPECT_TRUE(IsExpression(L" (axresetdbmod T)"));
    EXPECT_FALSE(IsExpression(L"_axvekend"));
    EXPECT_EQ(Unquote(L" \"C:\\a b.dwg\" "), L"C:\\a b.dwg");
    EXPECT_EQ(Unquote(L"C:\\a.dwg"), L"C:\\a.dwg");
}

TEST(StandInHostScriptLines, PurgeTails) {
    for (const wchar_t* tail : {L"_B * _N", L"_la * _n", L"SH * N", L"_LT  *  _N"})
        EXPECT_TRUE(IsPurgeTail(tail)) << tail;
    for (const wchar_t* tail : {L"_X * _N", L"_B * _Y", L"_B _N", L"_B * _N x", L"", L"_B a* _N"})
        EXPECT_FALSE(IsPurgeTail(tail)) << tail;
}

// The closing "(axresetdbmod T)" passes once after each unload, and only then.
TEST(StandInHostScriptLines, ContractFaultsOfATranscript) {
    const std::wstring closing = L"Unknown command \"(axresetdbmod T)\".";
    EXPECT_EQ(
        ContractFaults({L"Loaded \"x\\axmigr.orx\".", L"Opened \"Unknown command.dwg\".",
                        L"axmigr: Bad argument \"3\" of _axvekmode: not 0, 1 or 2",
                        L"Bad argument \"7\" of _EXPERT: not a level.", closing,
                        L"Unloaded \"axmigr.orx\".", closing, closing,
                        L"Profile dialog \"Startup\": NoStartUpDialog is 0.",
                        L"Unloaded \"axmigr.orx\".", L"Loaded \"axmigr.orx\".", closing,
                        L"other: Unknown command \"x\"."}),
        (std::vector<std::wstring>{L"axmigr: Bad argument \"3\" of _axvekmode: not 0, 1 or 2",
                                   L"Bad argument \"7\" of _EXPERT: not a level.", closing, closing,
                                   L"Profile dialog \"Startup\": NoStartUpDialog is 0.", closing}));
}

TEST(StandInHostProfile, MissingValuesCountAsTheHostsDefaults) {
    const auto rule = [](const wchar_t* name) {
        for (const ProfileRule& r : ProfileRules())
            if (std::wstring(r.Name) == name) return r;
        ADD_FAILURE() << "no rule";
        return ProfileRules().front();
    };
    const auto yes = [](const std::wstring&) { return true; };
    const auto no = [](const std::wstring&) { return false; };
    EXPECT_FALSE(InMigrationState(rule(L"FileDialog"), {}, yes));  // 1 when missing
    EXPECT_TRUE(InMigrationState(rule(L"CommandDialogs"), {}, yes));
    EXPECT_TRUE(InMigrationState(rule(L"FileDialog"), {0u, std::nullopt}, yes));
    EXPECT_FALSE(InMigrationState(rule(L"EmergencyFont"), {std::nullopt, L""}, yes));
    EXPECT_TRUE(InMigrationState(rule(L"EmergencyFont"), {std::nullopt, L"simplex.shx"}, no));
    EXPECT_TRUE(InMigrationState(rule(L"LogFilePath"), {std::nullopt, L"C:\\t\\"}, yes));
    EXPECT_FALSE(InMigrationState(rule(L"LogFilePath"), {std::nullopt, L"C:\\t\\"}, no));
    EXPECT_EQ(DescribeValue(rule(L"SDIMode"), {}), L"SDIMode is missing (0)");
}

TEST(StandInHostScriptLines, TextReferences) {
    unsigned id = 0;
    EXPECT_EQ(ParseTextReference(L"{res:2102}", id), TextSource::Wizard);
    EXPECT_EQ(id, 2102u);
    EXPECT_EQ(ParseTextReference(L"{host:20010}", id), TextSource::Host);
    EXPECT_EQ(id, 20010u);
    for (const wchar_t* literal :
         {L"plain", L"{res:}", L"{res:12a}", L"{res:99999999}", L"{res:5", L" {res:5}"})
        EXPECT_EQ(ParseTextReference(literal, id), TextSource::Literal) << literal;
}

TEST(StandInHostScriptLines, ReferencesAndListMerging) {
    EXPECT_EQ(ResolveReference(L"C:\\d\\a.dwg", L"sub\\b.dwg"), L"C:\\d\\sub\\b.dwg");
    EXPECT_EQ(ResolveReference(L"C:\\d\\a.dwg", L"E:\\x.dwg"), L"E:\\x.dwg");
    EXPECT_EQ(ResolveReference(L"C:\\d\\a.dwg", L"\\\\srv\\s\\x.dwg"), L"\\\\srv\\s\\x.dwg");
    EXPECT_EQ(NewListEntries({L"C:\\D\\A.DWG"},
                             {L"c:\\d\\a.dwg", L"c:\\d\\b.dwg", L"C:\\D\\B.dwg", L"c:\\d\\ä.dwg"}),
              (std::vector<std::wstring>{L"c:\\d\\b.dwg", L"c:\\d\\ä.dwg"}));
}

TEST(StandInText, Utf8BothWays) {
    const std::wstring s = L"a\u00e4\u0416\u20ac";
    EXPECT_EQ(ToUtf8(s), "a\xc3\xa4\xd0\x96\xe2\x82\xac");
    EXPECT_EQ(FromUtf8(ToUtf8(s)), s);
    EXPECT_EQ(FromUtf8("\xf0\x9f\x98\x80"), FromUtf8(ToUtf8(FromUtf8("\xf0\x9f\x98\x80"))));
    EXPECT_EQ(FromUtf8("x\xff"
                       "y"),
              L"x\uFFFDy");
    EXPECT_EQ(FromUtf8("\xe2\x82"), L"\uFFFD");  // cut short
    EXPECT_EQ(FromUtf8("\xc0\xaf"), L"\uFFFD");  // overlong
    EXPECT_EQ(SplitLines("a\r\nb\n\nc"), (std::vector<std::string>{"a", "b", "", "c"}));
    EXPECT_EQ(SplitLines("a\r\n"), std::vector<std::string>{"a"});
    EXPECT_TRUE(SplitLines("").empty());
}
