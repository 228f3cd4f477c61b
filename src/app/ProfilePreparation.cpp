// The application's side of the host profile: when a save, apply or restore
// may act, and the search folders the Search page starts from.
#include "app/AxvekTarvoApp.h"
#include "core/Text.h"
#include "host/HostProfile.h"

namespace {

// Calls of PrepareHostProfile in this process. Apply and restore act only
// after an earlier call (the save of the Begin page), so that a run that was
// cancelled before it leaves the profile alone.
int g_prepareCalls = 0;

}  // namespace

void CAxvekTarvoApp::PrepareHostProfile(int mode) {
    if (mode >= kProfileApply && g_prepareCalls == 0) return;
    ++g_prepareCalls;

    switch (mode) {
        case kProfileSave:
            // Only the first save counts, so the record keeps what the profile
            // held when the user first passed the Begin page.
            if (SavedProfile.Saved) {
                OpenHostProfileKeys();
                return;
            }
            SavedProfile.Saved = true;
            SaveHostProfile(SavedProfile);
            break;
        case kProfileApply:
            ApplyHostProfile(SavedProfile, text::JoinSemicolons(SearchFolders));
            break;
        case kProfileRestore:
            RestoreHostProfile(SavedProfile);
            break;
        default:
            OpenHostProfileKeys();
            break;
    }
}

void CAxvekTarvoApp::BuildSearchFolders() {
    SearchFolders.clear();
    std::wstring path = SavedProfile.ORTX;
    if (path.empty()) path = DefaultSearchPath(OrtxLocation);
    SearchFolders = text::SplitSemicolons(path);
}

void CAxvekTarvoApp::ResetProfilePreparations() {
    g_prepareCalls = 0;
}
