// The host profile around a run: the values a migration changes are saved
// when the user passes the Begin page, set for the run, and put back at exit.
#include <windows.h>

#include <string>

#include "app/AxvekTarvoApp.h"
#include "app/RegKey.h"
#include "core/Text.h"
#include "framework/PathNames.h"
#include "host/HostKeys.h"

namespace {

// Calls of PrepareHostProfile in this process. Apply and restore act only
// after an earlier call (the save of the Begin page), so that a run that was
// cancelled before it leaves the profile alone.
int g_prepareCalls = 0;

// Saved texts are kept whole, however long: a text cut or dropped here would
// be overwritten by the run and never put back, losing the user's setting.
constexpr size_t kWholeText = 1 << 20;

constexpr wchar_t kFallbackFont[] = L"simplex.shx";
constexpr wchar_t kSharedFolder[] = L"C:\\Program Files\\Common Files\\Kelvane Shared";

// The seven keys, in the order in which they are opened. Each RegKey opens its
// key once when constructed, which creates a missing one.
struct ProfileKeys {
    ProfileKeys()
        : General(ProfileKeyPath() + L"\\General", HKEY_CURRENT_USER),
          DrawingWindow(ProfileKeyPath() + L"\\Drawing Window", HKEY_CURRENT_USER),
          EditorConfiguration(ProfileKeyPath() + L"\\Editor Configuration", HKEY_CURRENT_USER),
          FixedGeneral(ProductKeyPath() + L"\\FixedProfile\\General Configuration",
                       HKEY_CURRENT_USER),
          ApploadStartup(ProfileKeyPath() + L"\\Dialogs\\Appload\\Startup", HKEY_CURRENT_USER),
          Assembly(EditionKeyPath() + L"\\Assembly", HKEY_CURRENT_USER),
          BomMigration(EditionKeyPath() + L"\\BOM Migration", HKEY_CURRENT_USER) {}

    RegKey General;
    RegKey DrawingWindow;
    RegKey EditorConfiguration;
    RegKey FixedGeneral;
    RegKey ApploadStartup;  // only opened: the host wants the key to exist
    RegKey Assembly;
    RegKey BomMigration;
};

void Save(const ProfileKeys& keys, SavedProfileValues& saved) {
    // A value that is missing or of another type keeps the member.
    keys.General.ReadString(L"ORTX", saved.ORTX, kWholeText);
    keys.General.ReadDword(L"NoStartUpDialog", saved.NoStartUpDialog);
    keys.FixedGeneral.ReadDword(L"FileDialog", saved.FileDialog);
    keys.FixedGeneral.ReadDword(L"CommandDialogs", saved.CommandDialogs);
    keys.General.ReadDword(L"ShowProxyDialog", saved.ShowProxyDialog);
    keys.DrawingWindow.ReadDword(L"SDIMode", saved.SDIMode);
    keys.EditorConfiguration.ReadString(L"EmergencyFont", saved.EmergencyFont, kWholeText);
    keys.DrawingWindow.ReadDword(L"ShowPlotSetup", saved.ShowPlotSetup);
    keys.General.ReadDword(L"LogFileOpen", saved.LogFileOpen);
    keys.EditorConfiguration.ReadString(L"LogFilePath", saved.LogFilePath, kWholeText);
    keys.Assembly.ReadDword(L"AXXASSEMBLE_VERIFIED", saved.AXXASSEMBLE_VERIFIED);
    keys.BomMigration.ReadDword(L"Repeat Count", saved.RepeatCount);
    keys.BomMigration.ReadDword(L"Show Dialog", saved.ShowDialog);
    keys.EditorConfiguration.ReadDword(L"XrefLazyLoadMode", saved.XrefLazyLoadMode);
}

void Apply(const ProfileKeys& keys, const SavedProfileValues& saved,
           const std::wstring& searchPath) {
    keys.General.WriteString(L"ORTX", searchPath);
    keys.General.WriteDword(L"NoStartUpDialog", 1);
    keys.FixedGeneral.WriteDword(L"FileDialog", 0);
    keys.FixedGeneral.WriteDword(L"CommandDialogs", 1);
    keys.General.WriteDword(L"ShowProxyDialog", 0);
    keys.DrawingWindow.WriteDword(L"SDIMode", 1);
    // A font the profile names is left as it is; without one the host would
    // ask for a replacement for every missing font.
    if (saved.EmergencyFont.empty())
        keys.EditorConfiguration.WriteString(L"EmergencyFont", kFallbackFont);
    keys.DrawingWindow.WriteDword(L"ShowPlotSetup", 0);
    keys.General.WriteDword(L"LogFileOpen", 0);
    std::wstring temp;
    if (fw::TempFolder(temp)) keys.EditorConfiguration.WriteString(L"LogFilePath", temp);
    keys.Assembly.WriteDword(L"AXXASSEMBLE_VERIFIED", 1);
    keys.BomMigration.WriteDword(L"Repeat Count", saved.RepeatCount + 1);
    keys.BomMigration.WriteDword(L"Show Dialog", 0);
    keys.EditorConfiguration.WriteDword(L"XrefLazyLoadMode", 1);
}

void Restore(const ProfileKeys& keys, const SavedProfileValues& saved) {
    // Empty texts were not in the profile; what apply wrote there stays.
    if (!saved.ORTX.empty()) keys.General.WriteString(L"ORTX", saved.ORTX);
    keys.General.WriteDword(L"NoStartUpDialog", saved.NoStartUpDialog);
    keys.FixedGeneral.WriteDword(L"FileDialog", saved.FileDialog);
    keys.FixedGeneral.WriteDword(L"CommandDialogs", saved.CommandDialogs);
    keys.General.WriteDword(L"ShowProxyDialog", saved.ShowProxyDialog);
    keys.DrawingWindow.WriteDword(L"SDIMode", saved.SDIMode);
    // Only the fallback font that apply added is taken away again.
    if (saved.EmergencyFont.empty()) keys.EditorConfiguration.DeleteValue(L"EmergencyFont");
    keys.DrawingWindow.WriteDword(L"ShowPlotSetup", saved.ShowPlotSetup);
    keys.General.WriteDword(L"LogFileOpen", saved.LogFileOpen);
    if (!saved.LogFilePath.empty())
        keys.EditorConfiguration.WriteString(L"LogFilePath", saved.LogFilePath);
    keys.Assembly.WriteDword(L"AXXASSEMBLE_VERIFIED", saved.AXXASSEMBLE_VERIFIED);
    // "Repeat Count" is not put back: it keeps the value apply gave it.
    keys.BomMigration.WriteDword(L"Show Dialog", saved.ShowDialog);
    keys.EditorConfiguration.WriteDword(L"XrefLazyLoadMode", saved.XrefLazyLoadMode);
}

}  // namespace

void CAxvekTarvoApp::ResetProfilePreparations() {
    g_prepareCalls = 0;
}

void CAxvekTarvoApp::PrepareHostProfile(int mode) {
    if (mode >= kProfileApply && g_prepareCalls == 0) return;
    ++g_prepareCalls;

    const ProfileKeys keys;
    switch (mode) {
        case kProfileSave:
            // Only the first save counts, so the record keeps what the profile
            // held when the user first passed the Begin page.
            if (SavedProfile.Saved) return;
            SavedProfile.Saved = true;
            Save(keys, SavedProfile);
            break;
        case kProfileApply:
            Apply(keys, SavedProfile, text::JoinSemicolons(SearchFolders));
            break;
        case kProfileRestore:
            Restore(keys, SavedProfile);
            break;
        default:
            break;
    }
}

void CAxvekTarvoApp::BuildSearchFolders() {
    SearchFolders.clear();
    std::wstring path = SavedProfile.ORTX;
    if (path.empty()) {
        const std::wstring& l = OrtxLocation;
        path = l + L"\\desktop;" + l + L"\\desktop\\support;" + l + L"\\ortxa;" + l +
               L"\\ortxa\\ge3;" + kSharedFolder + L";" + l + L";" + l + L"\\support;" + l +
               L"\\fonts;";
    }
    SearchFolders = text::SplitSemicolons(path);
}
