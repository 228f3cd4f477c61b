// What a run leaves behind about each drawing, apart from what the host's
// extension reports: the run file the batch file writes (each host's exit
// code and the host log it named) and whether a drawing's file shows that the
// run saved it. No windows.h here.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace runoutcome {

// The run file as the batch file writes it, in the console code page: after
// each host a line "N code " (cmd's ERRORLEVEL, so an exception code reads as
// a negative number), then what "reg query ... /v LOGFILENAME" printed, whose
// value line is "    LOGFILENAME    REG_SZ    <path>".
struct RunFile {
    // The last exit code given for each drawing number (a drawing redone
    // after a resume says it again).
    std::map<long long, uint32_t> ExitCodes;
    // The host logs named, in the order they came, each once; still in the
    // file's bytes.
    std::vector<std::string> HostLogs;
};
RunFile ParseRunFile(std::string_view bytes);

// Whether a drawing's file shows that the run saved it: in the format the
// host writes, and last written after the run started (less a slack for file
// systems that keep times in steps of two seconds). A file in another format
// written before the run is unchanged.
enum class SaveCheck { Saved, Unreadable, Unchanged, NotCurrent };
constexpr uint64_t kWriteTimeSlack = 2ull * 10000000;  // FILETIME units
SaveCheck CheckSave(bool readable, uint64_t lastWrite, int versionCode, uint64_t startedAt,
                    int currentCode);

}  // namespace runoutcome
