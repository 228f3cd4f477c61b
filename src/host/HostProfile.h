// The host profile around a run: the values a migration changes are saved
// when the user passes the Begin page, set for the run, and put back at exit.
// Each call opens the profile's keys (creating missing ones: the host wants
// them to exist) and closes them again.
#pragma once

#include <windows.h>

#include <string>

// The host profile values found before a run, put back at exit.
struct SavedProfileValues {
    bool Saved = false;
    std::wstring ORTX;
    DWORD NoStartUpDialog = 0;
    DWORD FileDialog = 1;
    DWORD CommandDialogs = 1;
    DWORD ShowProxyDialog = 1;
    DWORD SDIMode = 0;
    std::wstring EmergencyFont;
    DWORD ShowPlotSetup = 1;
    DWORD LogFileOpen = 0;
    std::wstring LogFilePath;
    DWORD AXXASSEMBLE_VERIFIED = 0;
    DWORD RepeatCount = 0;
    DWORD ShowDialog = 1;
    DWORD XrefLazyLoadMode = 2;
};

// Only opens the keys.
void OpenHostProfileKeys();
// A value that is missing or of another type keeps its member.
void SaveHostProfile(SavedProfileValues& saved);
// The migration state, with searchPath as the host's search path.
void ApplyHostProfile(const SavedProfileValues& saved, const std::wstring& searchPath);
void RestoreHostProfile(const SavedProfileValues& saved);

// The host's own search path of an installation in the folder, for a profile
// that names none.
std::wstring DefaultSearchPath(const std::wstring& hostFolder);
