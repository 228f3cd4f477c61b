// Running a batch file the way the program does, with Wine's or Windows' own
// cmd, and a host stand-in that only records how it was started.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testenv {

// A host folder holding "ortx.exe": this test program under that name, which
// records each start and exits at once. A record holds the script it was
// given (its bytes, copied at the time), its arguments, the current folder
// and PATH as the host saw them.
class RecordingHost {
  public:
    // Creates the folder when missing; it ends with "\".
    explicit RecordingHost(std::wstring folder);
    const std::wstring& Folder() const { return folder_; }

    struct Start {
        std::string ScriptBytes;
        std::vector<std::wstring> Arguments;  // after the program name
        std::wstring CurrentFolder;
        std::wstring Path;
    };
    std::vector<Start> Starts() const;

  private:
    std::wstring folder_;
};

// Runs the batch file in a console of its own without a window, as the
// program's process start does from its window, with the given current
// folder.
// Returns false when it did not end within the time.
bool RunBatchFile(const std::wstring& batchPath, const std::wstring& currentFolder,
                  DWORD timeoutMs = 60000);

}  // namespace testenv
