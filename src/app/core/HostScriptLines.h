// The lines of the host command scripts as pure functions of the settings:
// the head script that loads the migration extension, the tail scripts that
// scan or migrate the open drawing, and the per-drawing script the batch file
// assembles from them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hostscript {

// The head script's values are formatted into fixed buffers: the extension
// line and the log path hold at most 1023 characters, the log flags at most 9.
constexpr size_t kMaxPathLineChars = 1023;
constexpr size_t kMaxFlagsChars = 9;

struct HeadValues {
    std::wstring MigrationFolder;  // folder of the extension, as stored
    std::wstring LogPath;          // absolute, lower case, "/" separators
    uint32_t LogFlags = 0;         // written as a signed decimal ("%d")
};

// The head script's values, to say which one was refused.
enum class HeadValue { None, ExtensionPath, LogPath, LogFlags };

// The nine lines of the head script. False, with lines empty and *refused
// naming the first value that does not fit its buffer: a cut path would name
// another file, and a cut number other flags.
bool HeadScriptLines(const HeadValues& values, std::vector<std::wstring>& lines,
                     HeadValue* refused = nullptr);

// What the head script holds when its values were refused: the host ends at
// once, so that no drawing is opened and saved without the extension.
std::vector<std::wstring> RefusedHeadScriptLines();

struct TailSettings {
    int Operation = 1;
    uint32_t UpdateFlags = 0;
    uint32_t OptionFlags = 0;
    uint32_t SablonFlags = 0;
    uint32_t OrtxaFlags = 0;
    std::wstring SetupDrawing;
    // No form of the set-up drawing's name could be written: its lines go,
    // the rest of the options block stays.
    bool SetupDrawingLeftOut = false;
};

// "_axvekscan" (Operation 1) or "_axvekanalyze", then the closing block.
std::vector<std::wstring> ScanTailLines(int operation);

// "_axvekmigr", "_.QSAVE", the options block (selected drawings only, and only
// when one of the four flag settings is non-zero), then the closing block.
std::vector<std::wstring> UpdateTailLines(const TailSettings& settings, bool selectedDrawings);

// The script the batch file assembles for one drawing: head, "_.OPEN", the
// drawing's path in double quotes (without control characters and quotes,
// which the batch file leaves out), tail.
std::vector<std::wstring> DrawingScriptLines(const std::vector<std::wstring>& head,
                                             std::wstring_view drawingPath,
                                             const std::vector<std::wstring>& tail);

// The text without control characters. No file name holds one, and a line
// end inside a value would give a script or batch file a line of its own.
std::wstring WithoutControlChars(std::wstring_view text);

}  // namespace hostscript
