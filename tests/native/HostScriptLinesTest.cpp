#include "app/core/HostScriptLines.h"

#include <gtest/gtest.h>

using namespace hostscript;
using Lines = std::vector<std::wstring>;

namespace {

const Lines kClosing = {L"_axvekend",  L"_logfilemode",     L"0",     L"_orx", L"_unload",
                        L"axmigr.orx", L"(axresetdbmod T)", L"_.QUIT"};

Lines Then(Lines first, const Lines& more) {
    first.insert(first.end(), more.begin(), more.end());
    return first;
}

TailSettings Flags(uint32_t update, uint32_t option, uint32_t sablon, uint32_t ortxa) {
    TailSettings s;
    s.UpdateFlags = update;
    s.OptionFlags = option;
    s.SablonFlags = sablon;
    s.OrtxaFlags = ortxa;
    return s;
}

// The options block of a selected-drawings tail, without the two lines before
// it and the closing block after it.
Lines OptionsOf(const TailSettings& s) {
    Lines all = UpdateTailLines(s, true);
    if (all.size() < 2 + kClosing.size()) return {};
    return Lines(all.begin() + 2, all.end() - static_cast<long>(kClosing.size()));
}

HeadValues Head(std::wstring folder, std::wstring log, uint32_t flags) {
    HeadValues v;
    v.MigrationFolder = std::move(folder);
    v.LogPath = std::move(log);
    v.LogFlags = flags;
    return v;
}

}  // namespace

TEST(HeadScript, NineLinesThatLoadTheExtensionAndPassTheLog) {
    Lines lines;
    ASSERT_TRUE(HeadScriptLines(
        Head(L"C:\\Program Files\\Kelvane\\Orthex R25.1\\ortxa\\migration", L"c:/temp/mig.log", 15),
        lines));
    EXPECT_EQ(lines, (Lines{L"_EXPERT", L"0", L"_orx", L"_load",
                            L"\"C:\\Program Files\\Kelvane\\Orthex R25.1\\ortxa\\migration"
                            L"\\axmigr.orx\"",
                            L"_axvekloginfo", L"c:/temp/mig.log", L"15", L"(axresetdbmod T)"}));
}

TEST(HeadScript, ValuesUpToTheirBuffersAreWrittenLongerOnesRefused) {
    Lines lines;
    // The extension line is the folder plus 13 characters: quotes, "\", name.
    const std::wstring folder1010(1010, L'f');
    ASSERT_TRUE(HeadScriptLines(Head(folder1010, L"c:/l.log", 1), lines));
    EXPECT_EQ(lines[4].size(), 1023u);
    EXPECT_FALSE(HeadScriptLines(Head(folder1010 + L"f", L"c:/l.log", 1), lines));
    EXPECT_TRUE(lines.empty());

    const std::wstring log1023 = L"c:/" + std::wstring(1020, L'l');
    ASSERT_TRUE(HeadScriptLines(Head(L"c:\\m", log1023, 1), lines));
    EXPECT_EQ(lines[6], log1023);
    EXPECT_FALSE(HeadScriptLines(Head(L"c:\\m", log1023 + L"l", 1), lines));

    ASSERT_TRUE(HeadScriptLines(Head(L"c:\\m", L"c:/l.log", 999999999u), lines));
    EXPECT_EQ(lines[7], L"999999999");
    EXPECT_FALSE(HeadScriptLines(Head(L"c:\\m", L"c:/l.log", 1000000000u), lines));
    // "%d" of a value with the top bit set is negative; the sign takes a place.
    ASSERT_TRUE(HeadScriptLines(Head(L"c:\\m", L"c:/l.log", 0xFFFFFFFFu), lines));
    EXPECT_EQ(lines[7], L"-1");
    ASSERT_TRUE(
        HeadScriptLines(Head(L"c:\\m", L"c:/l.log", static_cast<uint32_t>(-99999999)), lines));
    EXPECT_EQ(lines[7], L"-99999999");
    EXPECT_FALSE(
        HeadScriptLines(Head(L"c:\\m", L"c:/l.log", static_cast<uint32_t>(-100000000)), lines));
}

TEST(HeadScript, ARefusedHeadEndsTheHostAtOnce) {
    EXPECT_EQ(RefusedHeadScriptLines(), Lines{L"_.QUIT"});
}

TEST(HeadScript, ControlCharactersCannotAddLines) {
    Lines lines;
    ASSERT_TRUE(HeadScriptLines(Head(L"c:\\m\r\n_.QSAVE", L"c:/l.log\n_.QUIT", 1), lines));
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[4], L"\"c:\\m_.QSAVE\\axmigr.orx\"");
    EXPECT_EQ(lines[6], L"c:/l.log_.QUIT");
}

TEST(TailScript, ScanFormByOperation) {
    EXPECT_EQ(ScanTailLines(1), Then({L"_axvekscan"}, kClosing));
    EXPECT_EQ(ScanTailLines(2), Then({L"_axvekanalyze"}, kClosing));
    EXPECT_EQ(ScanTailLines(0), Then({L"_axvekanalyze"}, kClosing));
}

TEST(TailScript, AllFlagsZeroAndOtherDrawingsHaveNoOptions) {
    const Lines bare = Then({L"_axvekmigr", L"_.QSAVE"}, kClosing);
    EXPECT_EQ(UpdateTailLines(Flags(0, 0, 0, 0), true), bare);
    EXPECT_EQ(UpdateTailLines(Flags(0x1B, 0xF, 3, 0x7FF), false), bare);
    EXPECT_EQ(UpdateTailLines(Flags(0, 4, 0, 0), false), bare);
}

TEST(TailScript, AnyNonZeroSettingBringsTheModeLines) {
    const Lines modeOnly = {L"_axvekmode", L"1", L"_.QSAVE"};
    // The Options page clears UpdateFlags and OptionFlags; OrtxaFlags keeps
    // its default 8, which without the purge bit purges nothing.
    EXPECT_EQ(OptionsOf(Flags(0, 0, 0, 8)), modeOnly);
    // No bit of UpdateFlags selects anything; only that it is non-zero counts.
    EXPECT_EQ(OptionsOf(Flags(27, 0, 0, 0)), modeOnly);
}

TEST(TailScript, ModeFromOptionFlags) {
    EXPECT_EQ(OptionsOf(Flags(0, 0x4, 0, 0)), (Lines{L"_axvekmode", L"0", L"_.QSAVE"}));
    EXPECT_EQ(OptionsOf(Flags(0, 0x8, 0, 0)), (Lines{L"_axvekmode", L"2", L"_.QSAVE"}));
    EXPECT_EQ(OptionsOf(Flags(0, 0x4 | 0x8, 0, 0)), (Lines{L"_axvekmode", L"0", L"_.QSAVE"}));
    EXPECT_EQ(OptionsOf(Flags(0, 0x3, 0, 0)), (Lines{L"_axvekmode", L"1", L"_.QSAVE"}));
}

TEST(TailScript, PurgeLinesNeedThePurgeBit) {
    const Lines modeOnly = {L"_axvekmode", L"1", L"_.QSAVE"};
    EXPECT_EQ(OptionsOf(Flags(0, 0, 0, 0x4)), modeOnly);
    EXPECT_EQ(OptionsOf(Flags(0, 0, 0, 0x2)), modeOnly);
    EXPECT_EQ(OptionsOf(Flags(0, 0, 0, 0x2 | 0x40)), modeOnly);
    EXPECT_EQ(OptionsOf(Flags(0, 0, 0, 0x2 | 0x4)),
              (Lines{L"_-purge _B * _N", L"_axvekmode", L"1", L"_.QSAVE"}));
}

TEST(TailScript, EveryOptionInItsOrder) {
    TailSettings s = Flags(0, 0x8, 0x3, 0x7FF);
    s.SetupDrawing = L"C:\\Standards\\Setup Part.dwg";
    EXPECT_EQ(OptionsOf(s), (Lines{L"_axmigratebb",
                                   L"_axmigratesym",
                                   L"_EXPERT",
                                   L"5",
                                   L"_axsetupdwg",
                                   L"_T",
                                   L"C:\\Standards\\Setup Part.dwg",
                                   L"_EXPERT",
                                   L"0",
                                   L"_-purge _B * _N",
                                   L"_-purge _LA * _N",
                                   L"_-purge _D * _N",
                                   L"_-purge _P * _N",
                                   L"_-purge _LT * _N",
                                   L"_-purge _ST * _N",
                                   L"_-purge _M * _N",
                                   L"_-purge _SH * _N",
                                   L"_axvekmode",
                                   L"2",
                                   L"_.QSAVE"}));
    s.SetupDrawing = L"c:\\a.dwg\n_.QUIT";
    const Lines withLineEnd = OptionsOf(s);
    EXPECT_EQ(withLineEnd.size(), 20u);
    EXPECT_EQ(withLineEnd[6], L"c:\\a.dwg_.QUIT");
}

TEST(DrawingScript, AssembledForASelectedDrawing) {
    Lines head;
    ASSERT_TRUE(HeadScriptLines(Head(L"c:\\host\\ortxa\\migration", L"c:/temp/mig.log", 15), head));
    const Lines tail = UpdateTailLines(Flags(0, 4, 0, 0), true);
    EXPECT_EQ(DrawingScriptLines(head, L"C:\\Work\\Part.dwg", tail),
              (Lines{L"_EXPERT",
                     L"0",
                     L"_orx",
                     L"_load",
                     L"\"c:\\host\\ortxa\\migration\\axmigr.orx\"",
                     L"_axvekloginfo",
                     L"c:/temp/mig.log",
                     L"15",
                     L"(axresetdbmod T)",
                     L"_.OPEN",
                     L"\"C:\\Work\\Part.dwg\"",
                     L"_axvekmigr",
                     L"_.QSAVE",
                     L"_axvekmode",
                     L"0",
                     L"_.QSAVE",
                     L"_axvekend",
                     L"_logfilemode",
                     L"0",
                     L"_orx",
                     L"_unload",
                     L"axmigr.orx",
                     L"(axresetdbmod T)",
                     L"_.QUIT"}));
    EXPECT_EQ(DrawingScriptLines({}, L"c:\\a\"b\r.dwg", {})[1], L"\"c:\\ab.dwg\"");
}
