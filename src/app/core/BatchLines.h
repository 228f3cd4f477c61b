// The lines of a run's batch file as pure functions of their inputs, with the
// escaping that makes cmd carry exactly the intended text.
//
// cmd decodes every batch-file line in the console (OEM) code page and echo
// encodes its output in that code page again. Text that echo copies into the
// migration log or a host script therefore keeps its bytes and is stored in
// the code page of those files; a name that cmd uses itself (a file or folder,
// PATH, the host's arguments) is only read right when stored in the console
// code page. So every line comes in pieces that say which of the two they are.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace batchfile {

struct Piece {
    enum class Kind {
        Text,  // literal text, or what echo copies into a file
        Name,  // a name cmd itself uses
    };
    Kind kind = Kind::Text;
    std::wstring text;
};

struct Line {
    std::vector<Piece> pieces;

    Line& Text(std::wstring_view text);
    Line& Name(std::wstring_view name);
    // The whole line as cmd reads it.
    std::wstring Joined() const;
};

// A value between double quotes: cmd expands '%' even there, so it is
// doubled; a quote would end the quotes early and a control character could
// end the line, and no file name holds either, so both are left out.
std::wstring EscapeQuoted(std::wstring_view value);
// A value outside quotes: '%' doubled, '^' before & | < > ^ and ", control
// characters left out.
std::wstring EscapeBare(std::wstring_view value);

// "@echo off" and the remark of the mode.
std::vector<Line> HeaderLines(bool scanMode);

// The entries of the PATH line: each search folder that PATH lacks as
// "<folder>\", then PATH's own entries (split at every ";", empty ones kept);
// all lower case. A folder (without one trailing "\") counts as present when
// PATH holds it followed by ";" or by "\;". Joined with ";" they give the
// folders, each followed by "\;", and then PATH as it was.
std::vector<std::wstring> PathEntries(std::wstring_view currentPath,
                                      const std::vector<std::wstring>& searchFolders);
// "PATH =" and the entries joined with ";".
Line PathLine(const std::vector<std::wstring>& entries);
Line PathLine(std::wstring_view currentPath, const std::vector<std::wstring>& searchFolders);

// What every drawing block of a batch file shares. An empty counter file or
// log (a name cmd could not be given) leaves out the lines that write to it.
struct JobNames {
    std::wstring CounterFile;
    std::wstring Logfile;
    std::wstring HeadScript;
    std::wstring DrawingScript;
    std::wstring HostFolder;  // ends with a separator
    std::wstring Profile;
    // Where each host's exit code and the host log it named are kept, read
    // by the tool (reg.exe) from the settings key (under HKCU) after it ended.
    // Without a run file, or without the tool, their lines are left out.
    std::wstring RunFile;
    std::wstring RegTool;
    std::wstring SettingsKey;
};

// The blocks of one batch file, one per drawing.
class DrawingBlocks {
  public:
    DrawingBlocks(const JobNames& names, Line pathLine);

    // The eleven lines for one drawing, the first one empty: counter, log
    // lines, the drawing's script rebuilt from head, "_.OPEN", the quoted
    // path and the tail, PATH, the host folder (drive included) and the host
    // started on the script; then, with a run file, the host's exit code and
    // the host log it named. Without a counter file or log, their lines are
    // left out.
    std::vector<Line> Block(long long number, std::wstring_view message,
                            std::wstring_view drawingPath, std::wstring_view tailScript) const;

  private:
    JobNames escaped_;  // each name escaped for its quotes
    Line pathLine_;
    bool hasCounter_;
    bool hasLog_;
    bool hasRunFile_;
    bool hasRegTool_;
};

}  // namespace batchfile
