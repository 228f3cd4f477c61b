// The command line of mkdwg, the stand-in drawing generator.
#pragma once

#include <string>
#include <vector>

#include "stand-ins/drawings/core/StandInDrawing.h"

namespace standin {

struct MkdwgJob {
    std::wstring Output;
    DrawingSpec Spec;
    bool Plain = false;  // the preview as a file of its own instead of a drawing
    bool Help = false;
};

// Arguments without the program name. False with a reason for a usage error.
bool ParseMkdwgArgs(const std::vector<std::wstring>& args, MkdwgJob& job, std::wstring& error);

extern const wchar_t kMkdwgUsage[];

}  // namespace standin
