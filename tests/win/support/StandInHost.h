// What tests need around the stand-in host ortx.exe: its transcripts, checked
// for breaches of the contract in one place, and a migration profile in the
// state an unattended run needs.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/WinTest.h"

namespace testenv {

// While one lives, every stand-in host started by this process or its
// children keeps a transcript in a fresh folder (ORTX_TRANSCRIPT).
class HostTranscripts {
  public:
    HostTranscripts();
    ~HostTranscripts();
    HostTranscripts(const HostTranscripts&) = delete;
    HostTranscripts& operator=(const HostTranscripts&) = delete;
    const std::wstring& Folder() const { return dir_.Path(); }

  private:
    ScratchDir dir_;
    std::wstring previous_;
    bool hadPrevious_ = false;
};

// The transcripts in a folder: how many there are, and every line that
// breaches the contract ("ortx-12.log: Unknown command ..."), UTF-8.
struct TranscriptCheck {
    size_t Count = 0;
    std::vector<std::string> Faults;
};
TranscriptCheck CheckTranscripts(const std::wstring& folder);

// Fails the test when no host kept a transcript there, or one breached the
// contract: an unknown command, a bad argument, a dialog that the migration
// profile should have switched off.
void ExpectCleanHostRuns(const std::wstring& folder);

// The host profile values a run depends on, written as the migration state
// has them (or, with migration false, each one otherwise), for the profile
// "<<ORTXAPP>>" of an installation made by InstallHost.
void SetMigrationProfileState(bool migration = true, const HostInstall& install = HostInstall());

}  // namespace testenv
