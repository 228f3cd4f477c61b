#include "app/core/BatchLines.h"

#include <gtest/gtest.h>

using namespace batchfile;

namespace {

std::vector<std::wstring> Joined(const std::vector<Line>& lines) {
    std::vector<std::wstring> out;
    for (const Line& line : lines) out.push_back(line.Joined());
    return out;
}

// The pieces of a line of the given kind, in order.
std::vector<std::wstring> PiecesOf(const Line& line, Piece::Kind kind) {
    std::vector<std::wstring> out;
    for (const Piece& piece : line.pieces)
        if (piece.kind == kind) out.push_back(piece.text);
    return out;
}

JobNames Names() {
    JobNames n;
    n.CounterFile = L"C:\\Temp\\vek1.tmp";
    n.Logfile = L"C:\\Logs\\Mig.log";
    n.HeadScript = L"C:\\Temp\\vek4.scr";
    n.DrawingScript = L"C:\\Temp\\vek3.scr";
    n.HostFolder = L"D:\\Program Files\\Orthex\\";
    n.Profile = L"<<ORTXAPP>>";
    return n;
}

}  // namespace

TEST(CmdEscaping, QuotedValuesDoublePercentAndLoseQuotesAndControls) {
    EXPECT_EQ(EscapeQuoted(L"C:\\R&D\\50% a^b|c<d>.dwg"), L"C:\\R&D\\50%% a^b|c<d>.dwg");
    EXPECT_EQ(EscapeQuoted(L"a\"&calc\"b"), L"a&calcb");
    EXPECT_EQ(EscapeQuoted(L"a\r\nb\tc\x1a"), L"abc");
    EXPECT_EQ(EscapeQuoted(L"%PATH%"), L"%%PATH%%");
    EXPECT_EQ(EscapeQuoted(L"M\u00fcller \u65e5\u672c"), L"M\u00fcller \u65e5\u672c");
}

TEST(CmdEscaping, BareValuesEscapeEveryOperator) {
    EXPECT_EQ(EscapeBare(L"r&d plan.dwg"), L"r^&d plan.dwg");
    EXPECT_EQ(EscapeBare(L"a|b<c>d^e\"f"), L"a^|b^<c^>d^^e^\"f");
    EXPECT_EQ(EscapeBare(L"50%.dwg"), L"50%%.dwg");
    EXPECT_EQ(EscapeBare(L"(x) = y, z; !"), L"(x) = y, z; !");
    EXPECT_EQ(EscapeBare(L"a\nb\r"), L"ab");
}

TEST(BatchHeader, TwoLinesByMode) {
    EXPECT_EQ(
        Joined(HeaderLines(true)),
        (std::vector<std::wstring>{L"@echo off", L"rem Scan the DWG's and write list of xrefs."}));
    EXPECT_EQ(Joined(HeaderLines(false)),
              (std::vector<std::wstring>{L"@echo off", L"rem Save/update the DWG's."}));
}

TEST(PathLineTest, AFolderAlreadyInPathIsNotAddedAgain) {
    EXPECT_EQ(PathLine(L"C:\\Windows;C:\\Tools;D:\\x", {L"C:\\Tools\\"}).Joined(),
              L"PATH =c:\\windows;c:\\tools;d:\\x");
    EXPECT_EQ(PathLine(L"C:\\Windows;C:\\TOOLS\\;D:\\x", {L"C:\\Tools\\"}).Joined(),
              L"PATH =c:\\windows;c:\\tools\\;d:\\x");
    EXPECT_EQ(PathLine(L"C:\\Windows;D:\\x", {L"C:\\Tools\\"}).Joined(),
              L"PATH =c:\\tools\\;c:\\windows;d:\\x");
}

TEST(PathLineTest, MissingFoldersGoFirstInListOrder) {
    EXPECT_EQ(PathLine(L"C:\\Windows;", {L"C:\\B", L"C:\\Windows", L"C:\\A\\"}).Joined(),
              L"PATH =c:\\b\\;c:\\a\\;c:\\windows;");
    // Only one trailing separator is dropped before the search.
    EXPECT_EQ(PathLine(L"c:\\t\\;", {L"C:\\T\\\\"}).Joined(), L"PATH =c:\\t\\;");
    EXPECT_EQ(PathLine(L"c:\\x;", {L"C:\\T\\\\"}).Joined(), L"PATH =c:\\t\\\\;c:\\x;");
}

TEST(PathLineTest, PathUnsetGivesOnlyTheAddedFolders) {
    EXPECT_EQ(PathLine(L"", {L"C:\\Tools\\", L"C:\\Lib"}).Joined(),
              L"PATH =c:\\tools\\;c:\\lib\\;");
    EXPECT_EQ(PathLine(L"", {}).Joined(), L"PATH =");
}

TEST(PathLineTest, FoldersAndPathAreEscapedAndNamed) {
    const Line line = PathLine(L"C:\\Apps (x86)\\50%;C:\\Win", {L"C:\\R&D\\Support"});
    EXPECT_EQ(line.Joined(), L"PATH =c:\\r^&d\\support\\;c:\\apps (x86)\\50%%;c:\\win");
    EXPECT_EQ(PiecesOf(line, Piece::Kind::Name),
              std::vector<std::wstring>{L"c:\\r^&d\\support\\;c:\\apps (x86)\\50%%;c:\\win"});
}

TEST(PathLineTest, EntriesJoinedGiveTheLine) {
    const std::vector<std::wstring> entries = PathEntries(L"C:\\Win;;D:\\x;", {L"C:\\T\\"});
    EXPECT_EQ(entries, (std::vector<std::wstring>{L"c:\\t\\", L"c:\\win", L"", L"d:\\x", L""}));
    EXPECT_EQ(PathLine(entries).Joined(), L"PATH =c:\\t\\;c:\\win;;d:\\x;");
    // An entry left out leaves no trace.
    EXPECT_EQ(PathLine({L"c:\\win", L"d:\\x"}).Joined(), L"PATH =c:\\win;d:\\x");
}

TEST(DrawingBlock, WithoutCounterFileOrLogTheirLinesAreLeftOut) {
    JobNames n = Names();
    n.CounterFile.clear();
    n.Logfile.clear();
    const std::vector<Line> b =
        DrawingBlocks(n, PathLine(L"", {})).Block(1, L"Scanning a.dwg", L"C:\\a.dwg", L"t.scr");
    ASSERT_EQ(b.size(), 8u);
    EXPECT_EQ(b[0].Joined(), L"");
    EXPECT_EQ(b[1].Joined(), L"copy \"C:\\Temp\\vek4.scr\" \"C:\\Temp\\vek3.scr\"");
    n = Names();
    n.Logfile.clear();
    EXPECT_EQ(DrawingBlocks(n, PathLine(L"", {})).Block(1, L"m", L"a", L"t")[1].Joined(),
              L"echo 1 > \"C:\\Temp\\vek1.tmp\"");
}

TEST(DrawingBlock, ElevenLinesInOrder) {
    DrawingBlocks blocks(Names(), PathLine(L"C:\\Windows", {}));
    EXPECT_EQ(
        Joined(blocks.Block(3, L"Scanning part.dwg", L"C:\\Work\\Part.dwg", L"C:\\Temp\\vek5.scr")),
        (std::vector<std::wstring>{
            L"",
            L"echo 3 > \"C:\\Temp\\vek1.tmp\"",
            L"echo. >> \"C:\\Logs\\Mig.log\"",
            L"echo Scanning part.dwg >> \"C:\\Logs\\Mig.log\"",
            L"copy \"C:\\Temp\\vek4.scr\" \"C:\\Temp\\vek3.scr\"",
            L"echo _.OPEN>> \"C:\\Temp\\vek3.scr\"",
            L"echo \"C:\\Work\\Part.dwg\">> \"C:\\Temp\\vek3.scr\"",
            L"type \"C:\\Temp\\vek5.scr\" >> \"C:\\Temp\\vek3.scr\"",
            L"PATH =c:\\windows",
            L"cd /d \"D:\\Program Files\\Orthex\\\"",
            L"start /wait ortx.exe /b \"C:\\Temp\\vek3.scr\" /p \"<<ORTXAPP>>\" /nologo",
        }));
}

TEST(DrawingBlock, NamesAndTextArePiecesOfTheirOwn) {
    DrawingBlocks blocks(Names(), PathLine(L"", {}));
    const std::vector<Line> b = blocks.Block(
        1, L"Scanning m\u00fcller.dwg", L"C:\\M\u00fcller\\M\u00fcller.dwg", L"C:\\Temp\\t.scr");
    // What echo copies into the log and the script is text ...
    EXPECT_EQ(PiecesOf(b[3], Piece::Kind::Text),
              (std::vector<std::wstring>{L"echo Scanning m\u00fcller.dwg >> \"", L"\""}));
    EXPECT_EQ(
        PiecesOf(b[6], Piece::Kind::Text),
        (std::vector<std::wstring>{L"echo \"C:\\M\u00fcller\\M\u00fcller.dwg\">> \"", L"\""}));
    // ... the files cmd opens and the host's arguments are names.
    EXPECT_EQ(PiecesOf(b[1], Piece::Kind::Name), std::vector<std::wstring>{L"C:\\Temp\\vek1.tmp"});
    EXPECT_EQ(PiecesOf(b[3], Piece::Kind::Name), std::vector<std::wstring>{L"C:\\Logs\\Mig.log"});
    EXPECT_EQ(PiecesOf(b[7], Piece::Kind::Name),
              (std::vector<std::wstring>{L"C:\\Temp\\t.scr", L"C:\\Temp\\vek3.scr"}));
    EXPECT_EQ(PiecesOf(b[10], Piece::Kind::Name),
              (std::vector<std::wstring>{L"C:\\Temp\\vek3.scr", L"<<ORTXAPP>>"}));
    for (const Line& line : b)
        for (const Piece& piece : line.pieces) EXPECT_FALSE(piece.text.empty());
}

TEST(DrawingBlock, NamesOfDrawingsAndFoldersCannotRunCommands) {
    JobNames n = Names();
    n.Logfile = L"C:\\50%\\R&D.log";
    n.HostFolder = L"C:\\R&D\\%Host%\\";
    DrawingBlocks blocks(n, PathLine(L"", {}));
    const std::vector<Line> b =
        blocks.Block(12, L"Scanning r&d plan|x^y>z<50%.dwg", L"C:\\R&D\\50%\\a\"b.dwg", L"t.scr");
    EXPECT_EQ(b[2].Joined(), L"echo. >> \"C:\\50%%\\R&D.log\"");
    EXPECT_EQ(b[3].Joined(),
              L"echo Scanning r^&d plan^|x^^y^>z^<50%%.dwg >> \"C:\\50%%\\R&D.log\"");
    EXPECT_EQ(b[6].Joined(), L"echo \"C:\\R&D\\50%%\\ab.dwg\">> \"C:\\Temp\\vek3.scr\"");
    EXPECT_EQ(b[9].Joined(), L"cd /d \"C:\\R&D\\%%Host%%\\\"");
}

TEST(DrawingBlock, ARunFileKeepsTheExitCodeAndTheHostLogAfterTheHost) {
    JobNames n = Names();
    n.RunFile = L"C:\\50%\\vek7.tmp";
    n.RegTool = L"C:\\windows\\system32\\reg.exe";
    n.SettingsKey = L"Software\\Orthex\\R&D";
    const std::vector<Line> b =
        DrawingBlocks(n, PathLine(L"", {})).Block(12, L"m", L"C:\\a.dwg", L"t.scr");
    ASSERT_EQ(b.size(), 13u);
    EXPECT_EQ(b[11].Joined(), L"echo 12 %ERRORLEVEL% >> \"C:\\50%%\\vek7.tmp\"");
    EXPECT_EQ(b[12].Joined(),
              L"\"C:\\windows\\system32\\reg.exe\" query \"HKCU\\Software\\Orthex\\R&D\" /v "
              L"LOGFILENAME >> \"C:\\50%%\\vek7.tmp\" 2>nul");
    EXPECT_EQ(PiecesOf(b[12], Piece::Kind::Name),
              (std::vector<std::wstring>{n.RegTool, n.SettingsKey, L"C:\\50%%\\vek7.tmp"}));

    // Without the tool only the exit code is kept.
    n.RegTool.clear();
    EXPECT_EQ(DrawingBlocks(n, PathLine(L"", {})).Block(1, L"m", L"a", L"t").size(), 12u);
}
