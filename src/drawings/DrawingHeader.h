// Reading the beginning of a drawing file on Windows: the text of the Version
// column, and (PreviewCore::Load by path, drawings/core/PreviewCore.h) the
// preview image.
#pragma once

#include <cstdint>
#include <string>

// The Version text of the drawing at path: a string of the resource library,
// or empty. Opens the file sharing reads only, reads its first 22 bytes and
// closes it; a file that cannot be opened or read counts as zeros.
std::wstring VersionText(const std::wstring& path);

// What a look at a drawing after a run finds: when its file was last written
// (FILETIME units) and the code of its format (DrawingVersions.h).
struct DrawingStamp {
    uint64_t LastWrite = 0;
    int VersionCode = 0;
};
// Opens the file once, sharing it with every other user; false when it cannot
// be opened or its times cannot be read. A file too short for a magic has the
// code of the empty one.
bool ReadDrawingStamp(const std::wstring& path, DrawingStamp& stamp);
