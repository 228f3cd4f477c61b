// Loading and saving the migration settings.
#include <windows.h>

#include "app/AxvekTarvoApp.h"
#include "framework/RegKey.h"
#include "drawings/AxvekFilenm.h"
#include "framework/PathNames.h"
#include "framework/Resources.h"
#include "host/HostKeys.h"
#include "resources/ids.h"

namespace {

constexpr size_t kSettingsString = 512;

DWORD ReadDwordOr(const RegKey& key, const wchar_t* name, DWORD fallback) {
    DWORD value = 0;
    return key.ReadDword(name, value) ? value : fallback;
}

bool IsExistingFolder(const std::wstring& folder) {
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

void CAxvekTarvoApp::LoadSettings() {
    RegKey key(SettingsKeyPath(), HKEY_CURRENT_USER);
    Operation = static_cast<int>(ReadDwordOr(key, L"Operation", 1));
    UpdateFlags = ReadDwordOr(key, L"UpdateFlags", 27);
    OrtxaFlags = ReadDwordOr(key, L"OrtxaFlags", 8);
    OptionFlags = ReadDwordOr(key, L"OptionFlags", 4);
    Timeout = static_cast<int>(ReadDwordOr(key, L"Timeout", 120));
    SablonFlags = ReadDwordOr(key, L"SablonFlags", 0);
    const DWORD symbolStd = ReadDwordOr(key, L"SymbolStd", 0);
    SymbolStd = symbolStd >= 1 && symbolStd <= 6 ? static_cast<int>(symbolStd) : 0;

    std::wstring stored;
    if (key.ReadString(L"Logfile", stored, kSettingsString)) Logfile = stored;

    // A log folder that is gone moves the log into the temporary folder. The
    // folder itself is looked up, so that a log in a drive's root folder,
    // which has no "." entry, is kept where it is.
    const AxvekFilenm log(Logfile);
    if (!IsExistingFolder(log.Drive + log.Directory)) {
        const std::wstring name = fw::LoadResString(IDS_DEFAULT_LOG_NAME);
        std::wstring temp;
        const std::wstring candidate = fw::TempFolder(temp) ? temp + name : name;
        Logfile = AxvekFilenm(candidate).FullPath;
    }

    LogFlags = ReadDwordOr(key, L"LogFlags", 15);
    CounterFile = NewTempFile(L"");
}

void CAxvekTarvoApp::SaveSettings() {
    RegKey key(SettingsKeyPath(), HKEY_CURRENT_USER);
    key.WriteDword(L"Operation", static_cast<DWORD>(Operation));
    key.WriteDword(L"UpdateFlags", UpdateFlags);
    key.WriteDword(L"OrtxaFlags", OrtxaFlags);
    key.WriteDword(L"OptionFlags", OptionFlags);
    key.WriteDword(L"Timeout", static_cast<DWORD>(Timeout));
    key.WriteDword(L"SablonFlags", SablonFlags);
    key.WriteDword(L"SymbolStd", static_cast<DWORD>(SymbolStd));
    key.WriteString(L"Logfile", Logfile);
    key.WriteDword(L"LogFlags", LogFlags);
}
