#include "app/AxvekTarvoApp.h"
#include "program/AxvekTarvoProgram.h"
#include "app/JobFiles.h"
#include "host/HostKeys.h"

#include "support/WinTest.h"

using namespace testenv;

namespace {

// Every key and value below a key, as text, to see that nothing changed.
std::wstring Snapshot(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return L"-";
    std::wstring out = L"[" + path + L"]\n";
    wchar_t name[256];
    BYTE data[8192];
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = 256, type = 0, size = sizeof data;
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        out += std::wstring(name) + L"=" + std::to_wstring(type) + L":" +
               std::wstring(reinterpret_cast<wchar_t*>(data), size / sizeof(wchar_t)) + L"\n";
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = 256;
        if (RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        out += Snapshot(root, path + L"\\" + name);
    }
    RegCloseKey(key);
    return out;
}

std::wstring HostTree() {
    return Snapshot(HKEY_CURRENT_USER, L"Software\\Kelvane");
}

DWORD ValueType(const std::wstring& key, const wchar_t* name) {
    DWORD type = 0;
    RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr,
                 nullptr);
    return type;
}

}  // namespace

class HostProfileTest : public WinTest {
  protected:
    void SetUp() override {
        WinTest::SetUp();
        InstallHost();
        app_ = std::make_unique<CAxvekTarvoProgram>();
        general_ = ProfileKeyPath() + L"\\General";
        window_ = ProfileKeyPath() + L"\\Drawing Window";
        editor_ = ProfileKeyPath() + L"\\Editor Configuration";
        fixed_ = ProductKeyPath() + L"\\FixedProfile\\General Configuration";
        appload_ = ProfileKeyPath() + L"\\Dialogs\\Appload\\Startup";
        assembly_ = EditionKeyPath() + L"\\Assembly";
        bom_ = EditionKeyPath() + L"\\BOM Migration";
    }

    // A profile in which every handled value is set, none to its migration value.
    void FillProfile() {
        SetString(HKEY_CURRENT_USER, general_, L"ORTX", L"c:\\one;c:\\two");
        SetDword(HKEY_CURRENT_USER, general_, L"NoStartUpDialog", 0);
        SetDword(HKEY_CURRENT_USER, fixed_, L"FileDialog", 1);
        SetDword(HKEY_CURRENT_USER, fixed_, L"CommandDialogs", 0);
        SetDword(HKEY_CURRENT_USER, general_, L"ShowProxyDialog", 1);
        SetDword(HKEY_CURRENT_USER, window_, L"SDIMode", 0);
        SetString(HKEY_CURRENT_USER, editor_, L"EmergencyFont", L"txt.shx");
        SetDword(HKEY_CURRENT_USER, window_, L"ShowPlotSetup", 1);
        SetDword(HKEY_CURRENT_USER, general_, L"LogFileOpen", 1);
        SetString(HKEY_CURRENT_USER, editor_, L"LogFilePath", L"d:\\logs\\", REG_EXPAND_SZ);
        SetDword(HKEY_CURRENT_USER, assembly_, L"AXXASSEMBLE_VERIFIED", 0);
        SetDword(HKEY_CURRENT_USER, bom_, L"Repeat Count", 4);
        SetDword(HKEY_CURRENT_USER, bom_, L"Show Dialog", 1);
        SetDword(HKEY_CURRENT_USER, editor_, L"XrefLazyLoadMode", 2);
    }

    DWORD Dword(const std::wstring& key, const wchar_t* name) {
        DWORD value = 0xDEAD;
        EXPECT_TRUE(GetDword(HKEY_CURRENT_USER, key, name, value)) << Narrow(name);
        return value;
    }
    std::wstring Text(const std::wstring& key, const wchar_t* name) {
        std::wstring value = L"<missing>";
        GetString(HKEY_CURRENT_USER, key, name, value);
        return value;
    }

    std::unique_ptr<CAxvekTarvoApp> app_;
    std::wstring general_, window_, editor_, fixed_, appload_, assembly_, bom_;
};

TEST_F(HostProfileTest, ApplyAndRestoreBeforeAnyOtherCallChangeNothing) {
    SetDword(HKEY_CURRENT_USER, bom_, L"Repeat Count", 4);
    const std::wstring before = HostTree();
    app_->PrepareHostProfile(CAxvekTarvoApp::kProfileApply);
    app_->PrepareHostProfile(CAxvekTarvoApp::kProfileRestore);
    EXPECT_EQ(HostTree(), before);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, general_));
}

TEST_F(HostProfileTest, SaveCreatesTheKeysAndKeepsDefaultsForMissingValues) {
    SetString(HKEY_CURRENT_USER, window_, L"SDIMode", L"1");  // wrong type counts as missing
    SetDword(HKEY_CURRENT_USER, general_, L"ORTX", 7);
    app_->PrepareHostProfile(CAxvekTarvoApp::kProfileSave);
    for (const auto& key : {general_, window_, editor_, fixed_, appload_, assembly_, bom_})
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, key)) << Narrow(key);
    EXPECT_EQ(Snapshot(HKEY_CURRENT_USER, appload_), L"[" + appload_ + L"]\n");
    const SavedProfileValues& saved = app_->SavedProfile;
    EXPECT_TRUE(saved.Saved);
    EXPECT_EQ(saved.ORTX, L"");
    EXPECT_EQ(saved.EmergencyFont, L"");
    EXPECT_EQ(saved.LogFilePath, L"");
    EXPECT_EQ(saved.SDIMode, 0u);
    EXPECT_EQ(saved.FileDialog, 1u);
    EXPECT_EQ(saved.ShowDialog, 1u);
    EXPECT_EQ(saved.XrefLazyLoadMode, 2u);
    EXPECT_EQ(saved.RepeatCount, 0u);
}

TEST_F(HostProfileTest, SaveReadsEveryValueOnceInAProcess) {
    FillProfile();
    app_->PrepareHostProfile(CAxvekTarvoApp::kProfileSave);
    SetDword(HKEY_CURRENT_USER, bom_, L"Repeat Count", 9);
    SetString(HKEY_CURRENT_USER, general_, L"ORTX", L"changed");
    app_->PrepareHostProfile(CAxvekTarvoApp::kProfileSave);
    const SavedProfileValues& s = app_->SavedProfile;
    EXPECT_EQ(s.ORTX, L"c:\\one;c:\\two");
    EXPECT_EQ(s.EmergencyFont, L"txt.shx");
    EXPECT_EQ(s.LogFilePath, L"d:\\logs\\");
    EXPECT_EQ(s.CommandDialogs, 0u);
    EXPECT_EQ(s.ShowPlotSetup, 1u);
    EXPECT_EQ(s.LogFileOpen, 1u);
    EXPECT_EQ(s.RepeatCount, 4u);
}

TEST_F(HostProfileTest, LongTextsAreSavedWholeAndPutBack) {
    const std::wstring ortx(6000, L'o'), font(150, L'f'), logPath(700, L'l');
    SetString(HKEY_CURRENT_USER, general_, L"ORTX", ortx);
    SetString(HKEY_CURRENT_USER, editor_, L"EmergencyFont", font);
    SetString(HKEY_CURRENT_USER, editor_, L"LogFilePath", logPath);
    app_->PrepareHostProfile(CAxvekTarvoApp::kProfileSave);
    EXPECT_EQ(app_->SavedProfile.ORTX, ortx);
    EXPECT_EQ(app_->SavedProfile.EmergencyFont, font);
    EXPECT_EQ(app_->SavedProfile.LogFilePath, logPath);
    app_->SearchFolders = {L"c:\run"};
    app_->PrepareHostProfile(CAxvekTarvoApp::kProfileApply);
    app_->PrepareHostProfile(CAxvekTarvoApp::kProfileRestore);
    EXPECT_EQ(Text(general_, L"ORTX"), ortx);
    EXPECT_EQ(Text(editor_, L"EmergencyFont"), font);
    EXPECT_EQ(Text(editor_, L"LogFilePath"), logPath);
}

TEST_F(HostProfileTest, ApplyWritesTheMigrationValues) {
    app_->PrepareHostProfile(CAxvekTarvoApp::kProfileSave);
    app_->SearchFolders = {L"a", L"", L"b"};
    app_->PrepareHostProfile(CAxvekTarvoApp::kProfileApply);
    EXPECT_EQ(Text(general_, L"ORTX"), L"a;;b");
    EXPECT_EQ(Dword(general_, L"NoStartUpDialog"), 1u);
    EXPECT_EQ(Dword(fixed_, L"FileDialog"), 0u);
    EXPECT_EQ(Dword(fixed_, L"CommandDialogs"), 1u);
    EXPECT_EQ(Dword(general_, L"ShowProxyDialog"), 0u);
    EXPECT_EQ(Dword(window_, L"SDIMode"), 1u);
    EXPECT_EQ(Text(editor_, L"EmergencyFont"), L"simplex.shx");
    EXPECT_EQ(Dword(window_, L"ShowPlotSetup"), 0u);
    EXPECT_EQ(Dword(general_, L"LogFileOpen"), 0u);
    EXPECT_EQ(Text(editor_, L"LogFilePath"), TempFolder());
    EXPECT_EQ(Dword(assembly_, L"AXXASSEMBLE_VERIFIED"), 1u);
    EXPECT_EQ(Dword(bom_, L"Repeat Count"), 1u);
    EXPECT_EQ(Dword(bom_, L"Show Dialog"), 0u);
    EXPECT_EQ(Dword(editor_, L"XrefLazyLoadMode"), 1u);
    EXPECT_EQ(ValueType(general_, L"ORTX"), static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(ValueType(editor_, L"LogFilePath"), static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(Snapshot(HKEY_CURRENT_USER, appload_), L"[" + appload_ + L"]\n");
}

TEST_F(HostProfileTest, RestorePutsTheSavedValuesBackButNotTheRepeatCount) {
    FillProfile();
    app_->PrepareHostProfile(CAxvekTarvoApp::kProfileSave);
    const std::wstring original = HostTree();
    app_->BuildSearchFolders();
    app_->SearchFolders.push_back(L"c:\\three");
    app_->PrepareHostProfile(CAxvekTarvoApp::kProfileApply);
    EXPECT_EQ(Text(general_, L"ORTX"), L"c:\\one;c:\\two;c:\\three");
    EXPECT_EQ(Text(editor_, L"EmergencyFont"), L"txt.shx");
    EXPECT_EQ(Dword(bom_, L"Repeat Count"), 5u);
    SetString(HKEY_CURRENT_USER, editor_, L"EmergencyFont", L"other.shx");
    app_->PrepareHostProfile(CAxvekTarvoApp::kProfileRestore);
    EXPECT_EQ(Dword(bom_, L"Repeat Count"), 5u);
    EXPECT_EQ(Text(editor_, L"EmergencyFont"), L"other.shx");  // not ours to put back
    // Everything else is as it was, with the string types of a write.
    SetDword(HKEY_CURRENT_USER, bom_, L"Repeat Count", 4);
    SetString(HKEY_CURRENT_USER, editor_, L"EmergencyFont", L"txt.shx");
    SetString(HKEY_CURRENT_USER, editor_, L"LogFilePath", L"d:\\logs\\", REG_EXPAND_SZ);
    EXPECT_EQ(HostTree(), original);
}

TEST_F(HostProfileTest, ExitPutsBackWhatTheJobChanged) {
    FillProfile();
    auto profile = [&] {
        std::wstring all;
        for (const auto& key : {general_, window_, editor_, fixed_, appload_, assembly_, bom_})
            all += Snapshot(HKEY_CURRENT_USER, key);
        return all;
    };
    app_->PrepareHostProfile(CAxvekTarvoApp::kProfileSave);  // leaving the Begin page
    const std::wstring saved = profile();
    ScratchDir dir;
    Logfile = dir / L"mig.log";
    app_->PrepareJob();
    EXPECT_EQ(Dword(general_, L"NoStartUpDialog"), 1u);
    EXPECT_EQ(Dword(fixed_, L"FileDialog"), 0u);
    DeleteFileW(GetMigrateListPath().c_str());

    app_->ExitInstance();
    EXPECT_EQ(Dword(bom_, L"Repeat Count"), 5u);  // counts the runs, is not put back
    SetDword(HKEY_CURRENT_USER, bom_, L"Repeat Count", 4);
    SetString(HKEY_CURRENT_USER, editor_, L"LogFilePath", L"d:\\logs\\", REG_EXPAND_SZ);
    EXPECT_EQ(profile(), saved);
}

TEST_F(HostProfileTest, AFallbackFontIsAddedForTheRunAndRemovedAfterIt) {
    app_->PrepareHostProfile(CAxvekTarvoApp::kProfileSave);
    app_->PrepareHostProfile(CAxvekTarvoApp::kProfileApply);
    EXPECT_EQ(Text(editor_, L"EmergencyFont"), L"simplex.shx");
    app_->PrepareHostProfile(CAxvekTarvoApp::kProfileRestore);
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, editor_, L"EmergencyFont"));
    // Texts the profile lacked keep what apply wrote; numbers get the defaults.
    EXPECT_EQ(Text(editor_, L"LogFilePath"), TempFolder());
    EXPECT_EQ(Text(general_, L"ORTX"), L"");
    EXPECT_EQ(Dword(fixed_, L"FileDialog"), 1u);
    EXPECT_EQ(Dword(editor_, L"XrefLazyLoadMode"), 2u);
}

TEST_F(HostProfileTest, TheLogFolderIsTheTemporaryFolderAsReportedOrNothing) {
    SetEnvironmentVariableW(L"TMP", L"C:\\nowhere");
    app_->PrepareHostProfile(CAxvekTarvoApp::kProfileSave);
    app_->PrepareHostProfile(CAxvekTarvoApp::kProfileApply);
    EXPECT_EQ(Text(editor_, L"LogFilePath"), L"C:\\nowhere\\");
    RegDeleteKeyValueW(HKEY_CURRENT_USER, editor_.c_str(), L"LogFilePath");
    SetEnvironmentVariableW(L"TMP", (L"C:\\" + std::wstring(300, L't')).c_str());
    app_->PrepareHostProfile(CAxvekTarvoApp::kProfileApply);
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, editor_, L"LogFilePath"));
    EXPECT_EQ(Dword(bom_, L"Repeat Count"), 1u);  // the rest is still written
}

TEST_F(HostProfileTest, OtherModesOnlyOpenTheKeys) {
    const std::wstring before = HostTree();
    app_->PrepareHostProfile(0);
    EXPECT_NE(HostTree(), before);
    for (const auto& key : {general_, window_, editor_, fixed_, appload_, assembly_, bom_})
        EXPECT_EQ(Snapshot(HKEY_CURRENT_USER, key).find(L'='), std::wstring::npos) << Narrow(key);
    EXPECT_FALSE(app_->SavedProfile.Saved);
    app_->PrepareHostProfile(CAxvekTarvoApp::kProfileSave);
    const std::wstring saved = HostTree();
    app_->PrepareHostProfile(4);
    app_->PrepareHostProfile(-1);
    EXPECT_EQ(HostTree(), saved);
}

TEST_F(HostProfileTest, SearchFoldersSplitAtEverySemicolonKeepingEmptyEntries) {
    SetString(HKEY_CURRENT_USER, general_, L"ORTX", L"a;;b;");
    app_->PrepareHostProfile(CAxvekTarvoApp::kProfileSave);
    app_->SearchFolders = {L"stale"};
    app_->BuildSearchFolders();
    EXPECT_EQ(app_->SearchFolders, (std::vector<std::wstring>{L"a", L"", L"b"}));
    app_->SavedProfile.ORTX = L";a";
    app_->BuildSearchFolders();
    EXPECT_EQ(app_->SearchFolders, (std::vector<std::wstring>{L"", L"a"}));
    app_->SavedProfile.ORTX = L" a ;a; a ";
    app_->BuildSearchFolders();
    EXPECT_EQ(app_->SearchFolders, (std::vector<std::wstring>{L" a ", L"a", L" a "}));
}

TEST_F(HostProfileTest, AProfileWithoutSearchPathGivesTheEightDefaultFolders) {
    app_->PrepareHostProfile(CAxvekTarvoApp::kProfileSave);
    app_->BuildSearchFolders();
    const std::wstring l = L"C:\\Program Files\\Kelvane\\Orthex R25.1";
    EXPECT_EQ(app_->SearchFolders,
              (std::vector<std::wstring>{l + L"\\desktop", l + L"\\desktop\\support",
                                         l + L"\\ortxa", l + L"\\ortxa\\ge3",
                                         L"C:\\Program Files\\Common Files\\Kelvane Shared", l,
                                         l + L"\\support", l + L"\\fonts"}));
}
