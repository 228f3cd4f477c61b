// The profile values the stand-in host acts on, as a real host would: each one
// that is not in the state an unattended run needs makes the host show a
// dialog at the moment that value matters. No windows.h here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace standin {

// The keys the values live in, under HKEY_CURRENT_USER.
enum class ProfileKey {
    General,              // <profile>\General
    DrawingWindow,        // <profile>\Drawing Window
    EditorConfiguration,  // <profile>\Editor Configuration
    FixedGeneral,         // <release key>\<CurVer>\FixedProfile\General Configuration
    Assembly,             // <edition key>\Assembly
    BomMigration,         // <edition key>\BOM Migration
};

// When the host meets a value.
enum class ProfileMoment {
    Start,    // before the first script line
    OpenAsk,  // at "_.OPEN", before it takes the file name from the script
    Opened,   // a drawing has just been opened
    Migrate,  // at "_axvekmigr"
};

enum class ProfileCheck {
    Equals,          // a DWORD equal to Wanted
    NotEmpty,        // a string that is not empty
    ExistingFolder,  // a string naming a folder that exists
};

struct ProfileRule {
    ProfileKey Key;
    const wchar_t* Name;
    ProfileCheck Check;
    uint32_t Wanted;   // Equals only
    uint32_t Default;  // Equals only: what a missing value means to the host
    ProfileMoment Moment;
    unsigned TitleId;  // the dialog's title in the host's resource library
    unsigned TextId;   // and its text
};

// Every rule, in the order the host shows the dialogs of one moment.
const std::vector<ProfileRule>& ProfileRules();

// A value as the host read it: a DWORD, a string, or nothing (missing or of
// another type).
struct ProfileValue {
    std::optional<uint32_t> Number;
    std::optional<std::wstring> Text;
};

// Whether the value is in its migration state. folderExists answers for
// ExistingFolder rules.
bool InMigrationState(const ProfileRule& rule, const ProfileValue& value,
                      bool (*folderExists)(const std::wstring&));

// How the host names the value in its log: "FileDialog is 1", "EmergencyFont
// is missing", "LogFilePath is \"C:\x\"".
std::wstring DescribeValue(const ProfileRule& rule, const ProfileValue& value);

}  // namespace standin
