#include "drawings/AxvekFilenm.h"

#include "support/WinTest.h"

using namespace testenv;

TEST(AxvekFilenm, SplitsAnAbsolutePathInLowerCase) {
    AxvekFilenm name(L"C:\\Work\\Part.DWG");
    EXPECT_EQ(name.GivenPath, L"c:\\work\\part.dwg");
    EXPECT_EQ(name.FullPath, L"c:\\work\\part.dwg");
    EXPECT_EQ(name.Drive, L"c:");
    EXPECT_EQ(name.Directory, L"\\work\\");
    EXPECT_EQ(name.BaseName, L"part");
    EXPECT_EQ(name.Extension, L"dwg");
}

TEST(AxvekFilenm, ResolvesARelativeNameAgainstTheCurrentFolder) {
    ScratchDir dir;
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(dir.Path().c_str()));
    AxvekFilenm name(L"Sub\\A.b.DWG");
    SetCurrentDirectoryW(previous);
    EXPECT_EQ(name.FullPath, AxvekFilenm(dir.Path()).FullPath + L"sub\\a.b.dwg");
    EXPECT_EQ(name.BaseName, L"a.b");
    EXPECT_EQ(name.Extension, L"dwg");
}

TEST(AxvekFilenm, UncPathsHaveNoDrive) {
    AxvekFilenm name(L"\\\\Server\\Share\\Dir\\X.dwg");
    EXPECT_EQ(name.Drive, L"");
    EXPECT_EQ(name.Directory, L"\\\\server\\share\\dir\\");
    EXPECT_EQ(name.FullPath, L"\\\\server\\share\\dir\\x.dwg");
}

TEST(AxvekFilenm, ForwardSlashesInTheFullPathAndWhenShortened) {
    AxvekFilenm name(L"C:\\Temp\\Logs\\Mig.log", true);
    EXPECT_EQ(name.FullPath, L"c:/temp/logs/mig.log");
    EXPECT_EQ(name.Directory, L"/temp/logs/");
    EXPECT_EQ(name.Shortened(14), L"c:/.../mig.log");
    EXPECT_EQ(name.Shortened(19), L"c:/temp/.../mig.log");
    AxvekFilenm input(L"c:/temp/x.dwg");  // forward slashes given, backslashes out
    EXPECT_EQ(input.FullPath, L"c:\\temp\\x.dwg");
}

TEST(AxvekFilenm, ShortenedAtAndBelowTheLength) {
    AxvekFilenm name(L"C:\\Projects\\Customer\\Part.dwg");
    EXPECT_EQ(name.Shortened(name.FullPath.size()), name.FullPath);
    EXPECT_EQ(name.Shortened(name.FullPath.size() - 1), L"c:\\projects\\...\\part.dwg");
    EXPECT_EQ(name.Shortened(3), L"c:\\...\\part.dwg");
}

TEST(AxvekFilenm, AnEmptyPathLeavesEverythingEmpty) {
    AxvekFilenm name(L"");
    EXPECT_EQ(name.FullPath, L"");
    EXPECT_EQ(name.Drive, L"");
    EXPECT_EQ(name.BaseName, L"");
}

TEST(AxvekFilenm, TemporaryNamesCountInHexAndWrapAfter0xFFFE) {
    const std::wstring temp = AxvekFilenm(TempFolder()).FullPath;
    DeleteFileW((temp + L"vek1.tmp").c_str());  // so that its absence says something
    AxvekFilenm name;
    name.MakeTempName(L"");
    EXPECT_EQ(name.FullPath, temp + L"vek1.tmp");
    EXPECT_FALSE(FileExists(name.FullPath));
    name.MakeTempName(L"DML");
    EXPECT_EQ(name.FullPath, temp + L"vek2.dml");
    for (int i = 3; i < 0xFFFF; ++i) name.MakeTempName(L"SCR");
    EXPECT_EQ(name.FullPath, temp + L"vekfffe.scr");
    name.MakeTempName(L"SCR");  // the 65,535th name
    EXPECT_EQ(name.FullPath, temp + L"vek0.scr");
    name.MakeTempName(L"BAT");
    EXPECT_EQ(name.FullPath, temp + L"vek1.bat");
}
