#include "app/AxvekTarvoApp.h"
#include "program/AxvekTarvoProgram.h"
#include "drawings/AxvekFilenm.h"
#include "host/HostKeys.h"

#include "support/WinTest.h"

using namespace testenv;

class SettingsTest : public WinTest {
  protected:
    void SetUp() override {
        WinTest::SetUp();
        InstallHost();
        settingsKey_ = ComputeEditionKeyPath() + L"\\Migration";
    }
    std::wstring settingsKey_;
};

TEST_F(SettingsTest, FirstStartCreatesAnEmptyKeyAndUsesTheDefaults) {
    ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, settingsKey_));
    CAxvekTarvoProgram app;
    app.LoadSettings();
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, settingsKey_));
    EXPECT_EQ(app.Operation, 1);
    EXPECT_EQ(app.UpdateFlags, 27u);
    EXPECT_EQ(app.OrtxaFlags, 8u);
    EXPECT_EQ(app.OptionFlags, 4u);
    EXPECT_EQ(app.Timeout, 120);
    EXPECT_EQ(app.SablonFlags, 0u);
    EXPECT_EQ(app.SymbolStd, 0);
    EXPECT_EQ(app.LogFlags, 15u);
    EXPECT_EQ(Logfile, L"OrtxAMigr.log");  // the current folder exists
    HKEY h = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, settingsKey_.c_str(), 0, KEY_READ, &h),
              ERROR_SUCCESS);
    DWORD values = 99;
    RegQueryInfoKeyW(h, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(h);
    EXPECT_EQ(values, 0u);
}

TEST_F(SettingsTest, StoredValuesAreUsedAndBadOnesFallBack) {
    SetDword(HKEY_CURRENT_USER, settingsKey_, L"Operation", 2);
    SetDword(HKEY_CURRENT_USER, settingsKey_, L"OrtxaFlags", 0x3FF);
    SetString(HKEY_CURRENT_USER, settingsKey_, L"Timeout", L"30");  // wrong type
    SetDword(HKEY_CURRENT_USER, settingsKey_, L"SymbolStd", 6);
    SetDword(HKEY_CURRENT_USER, settingsKey_, L"LogFlags", 3);
    CAxvekTarvoProgram app;
    app.LoadSettings();
    EXPECT_EQ(app.Operation, 2);
    EXPECT_EQ(app.OrtxaFlags, 0x3FFu);
    EXPECT_EQ(app.Timeout, 120);
    EXPECT_EQ(app.SymbolStd, 6);
    EXPECT_EQ(app.LogFlags, 3u);
}

TEST_F(SettingsTest, SymbolStandardOutsideOneToSixLoadsAsTheFirst) {
    SetDword(HKEY_CURRENT_USER, settingsKey_, L"SymbolStd", 7);
    CAxvekTarvoProgram app;
    app.LoadSettings();
    EXPECT_EQ(app.SymbolStd, 0);
}

TEST_F(SettingsTest, ALogInAFolderThatIsGoneMovesToTheTemporaryFolder) {
    ScratchDir dir;
    SetString(HKEY_CURRENT_USER, settingsKey_, L"Logfile", dir / L"deleted\\Run.log");
    CAxvekTarvoProgram app;
    app.LoadSettings();
    const std::wstring expected = AxvekFilenm(TempFolder() + L"OrtxAMigr.log").FullPath;
    EXPECT_EQ(Logfile, expected);
    app.SaveSettings();
    std::wstring saved;
    ASSERT_TRUE(GetString(HKEY_CURRENT_USER, settingsKey_, L"Logfile", saved));
    EXPECT_EQ(saved, expected);
}

TEST_F(SettingsTest, ALogInAnExistingFolderKeepsItsTextAsStored) {
    ScratchDir dir;
    const std::wstring stored = dir.Path() + L"Mixed Case.LOG";
    SetString(HKEY_CURRENT_USER, settingsKey_, L"Logfile", stored);
    CAxvekTarvoProgram app;
    app.LoadSettings();
    EXPECT_EQ(Logfile, stored);
}

TEST_F(SettingsTest, AnExpandStringLogPathIsNotExpanded) {
    SetString(HKEY_CURRENT_USER, settingsKey_, L"Logfile", L"%TEMP%\\x.log", REG_EXPAND_SZ);
    CAxvekTarvoProgram app;
    app.LoadSettings();
    // "%TEMP%" is taken as a folder name, which does not exist.
    EXPECT_EQ(Logfile, AxvekFilenm(TempFolder() + L"OrtxAMigr.log").FullPath);
}

TEST_F(SettingsTest, LoadNamesTheCounterFileFirstAndRecordsIt) {
    CAxvekTarvoProgram app;
    app.LoadSettings();
    EXPECT_EQ(app.CounterFile, AxvekFilenm(TempFolder() + L"vek1.tmp").FullPath);
    ASSERT_EQ(app.TempFiles.size(), 1u);
    EXPECT_EQ(app.TempFiles[0], app.CounterFile);
    EXPECT_FALSE(FileExists(app.CounterFile));
}

TEST_F(SettingsTest, SaveWritesEveryValueWithItsType) {
    CAxvekTarvoProgram app;
    app.LoadSettings();
    app.Operation = 1;
    app.UpdateFlags = 0;
    app.OptionFlags = 0;
    app.OrtxaFlags = 0x13;
    app.Timeout = 15;
    app.SablonFlags = 3;
    app.SymbolStd = 4;
    app.LogFlags = 7;
    Logfile = L"C:\\logs\\mig.log";
    app.SaveSettings();
    DWORD v = 0;
    ASSERT_TRUE(GetDword(HKEY_CURRENT_USER, settingsKey_, L"OrtxaFlags", v));
    EXPECT_EQ(v, 0x13u);
    ASSERT_TRUE(GetDword(HKEY_CURRENT_USER, settingsKey_, L"Timeout", v));
    EXPECT_EQ(v, 15u);
    ASSERT_TRUE(GetDword(HKEY_CURRENT_USER, settingsKey_, L"UpdateFlags", v));
    EXPECT_EQ(v, 0u);
    ASSERT_TRUE(GetDword(HKEY_CURRENT_USER, settingsKey_, L"SymbolStd", v));
    EXPECT_EQ(v, 4u);
    std::wstring text;
    ASSERT_TRUE(GetString(HKEY_CURRENT_USER, settingsKey_, L"Logfile", text));
    EXPECT_EQ(text, L"C:\\logs\\mig.log");

    CAxvekTarvoProgram again;
    again.LoadSettings();
    EXPECT_EQ(again.SablonFlags, 3u);
    EXPECT_EQ(again.LogFlags, 7u);
    EXPECT_EQ(again.Operation, 1);
}

TEST_F(SettingsTest, AppReadsTheHostFolderAndDerivesTheExtensionFolder) {
    CAxvekTarvoProgram app;
    EXPECT_EQ(app.OrtxLocation, L"C:\\Program Files\\Kelvane\\Orthex R25.1");
    EXPECT_EQ(app.MigrationFolder, L"C:\\Program Files\\Kelvane\\Orthex R25.1\\ortxa\\migration");
    EXPECT_EQ(MigrationProfileName(), L"<<ORTXAPP>>");
    EXPECT_TRUE(app.IsWinXpOrLater);
}

TEST(SettingsWithoutHost, AMissingHostFolderGivesABackslashBeforeTheExtensionFolder) {
    ClearHostRegistry();
    CAxvekTarvoProgram app;
    EXPECT_EQ(app.OrtxLocation, L"");
    EXPECT_EQ(app.MigrationFolder, L"\\ortxa\\migration");
}
