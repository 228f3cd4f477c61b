// Where the host keeps its installation, profile and edition settings in the
// registry. Each path is computed on first use and cached for the process.
#pragma once

#include <string>

// HKLM (read) and HKCU: "SOFTWARE\Kelvane\Orthex\R25.1\<CurVer>".
std::wstring ProductKeyPath();
// HKCU: the edition's desktop key; parent of our settings key "\Migration".
std::wstring EditionKeyPath();
// HKCU: ProductKeyPath() + "\Profiles\" + MigrationProfileName().
std::wstring ProfileKeyPath();
// The host profile name of the descriptor; "<<ORTXAPP>>" once switched.
const std::wstring& MigrationProfileName();
// Switches the profile descriptor to the migration profile.
void UseMigrationProfile();

// Forget the cached paths, and put the descriptor back on the host's own
// profile: the state of a process that has just started.
void ResetHostKeyPaths();
void ResetProfileDescriptor();

// The uncached computations behind the three paths.
std::wstring ComputeProductKeyPath();
std::wstring ComputeEditionKeyPath();

// EditionKeyPath() + "\Migration", the key of the settings.
std::wstring SettingsKeyPath();
