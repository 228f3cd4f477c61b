#include "drawings/core/PathParts.h"

#include <gtest/gtest.h>

TEST(SplitFullPath, DrivePathNameAndExtension) {
    PathParts p = SplitFullPath(L"c:\\work\\part.dwg", 8);
    EXPECT_EQ(p.Drive, L"c:");
    EXPECT_EQ(p.Directory, L"\\work\\");
    EXPECT_EQ(p.BaseName, L"part");
    EXPECT_EQ(p.Extension, L"dwg");
    EXPECT_EQ(p.Drive + p.Directory + p.BaseName + L"." + p.Extension, p.FullPath);
}

TEST(SplitFullPath, DotsUncAndFolders) {
    PathParts twoDots = SplitFullPath(L"c:\\a.b.dwg", 3);
    EXPECT_EQ(twoDots.BaseName, L"a.b");
    EXPECT_EQ(twoDots.Extension, L"dwg");

    PathParts noDot = SplitFullPath(L"c:\\readme", 3);
    EXPECT_EQ(noDot.BaseName, L"readme");
    EXPECT_EQ(noDot.Extension, L"");

    PathParts endsWithDot = SplitFullPath(L"c:\\name.", 3);
    EXPECT_EQ(endsWithDot.BaseName, L"name");
    EXPECT_EQ(endsWithDot.Extension, L"");

    PathParts unc = SplitFullPath(L"\\\\server\\share\\x.dwg", 15);
    EXPECT_EQ(unc.Drive, L"");
    EXPECT_EQ(unc.Directory, L"\\\\server\\share\\");

    PathParts folder = SplitFullPath(L"c:\\work\\", std::wstring::npos);
    EXPECT_EQ(folder.Directory, L"\\work\\");
    EXPECT_EQ(folder.BaseName, L"");

    PathParts root = SplitFullPath(L"c:\\x.dwg", 3);
    EXPECT_EQ(root.Directory, L"\\");
}

TEST(ShortenPath, KeepsLeadingFoldersThatFit) {
    PathParts p = SplitFullPath(L"c:\\projects\\customer\\2024\\part.dwg", 26);
    EXPECT_EQ(ShortenPath(p, 100, false), p.FullPath);
    EXPECT_EQ(ShortenPath(p, p.FullPath.size(), false), p.FullPath);
    EXPECT_EQ(ShortenPath(p, p.FullPath.size() - 1, false),
              L"c:\\projects\\customer\\...\\part.dwg");
    EXPECT_EQ(ShortenPath(p, 25, false), L"c:\\projects\\...\\part.dwg");
    // Below the shortest form the result is that form, longer than asked.
    EXPECT_EQ(ShortenPath(p, 5, false), L"c:\\...\\part.dwg");
}

TEST(ShortenPath, ForwardSlashesAndNameWithoutExtension) {
    PathParts p = SplitFullPath(L"c:/temp/logs/run/mig", 17);
    EXPECT_EQ(ShortenPath(p, 10, true), L"c:/.../mig.");
    EXPECT_EQ(ShortenPath(p, 17, true), L"c:/temp/.../mig.");
}

TEST(TempNames, CounterWrapsPast0xFFFE) {
    EXPECT_EQ(NextTempCounter(0), 1);
    EXPECT_EQ(NextTempCounter(0xFFFD), 0xFFFE);
    EXPECT_EQ(NextTempCounter(0xFFFE), 0);
    EXPECT_EQ(NextTempCounter(0xFFFF), 0);
    EXPECT_EQ(TempFileName(L"C:\\Temp\\", 1, L""), L"C:\\Temp\\vek1.TMP");
    EXPECT_EQ(TempFileName(L"C:\\Temp\\", 0xFFFE, L"SCR"), L"C:\\Temp\\vekfffe.SCR");
}
