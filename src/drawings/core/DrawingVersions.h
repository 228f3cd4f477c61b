// The drawing format versions: the version magics at the start of a drawing
// file with the host's own code for each, and which Version text of the Files
// page a drawing's first bytes choose. No windows.h here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

struct DrawingVersion {
    const char* Magic;
    int Code;
};

// 28 rows, searched in this order. The codes are not contiguous, and
// "OX2.10" (5) and "OX2.20" (4) are out of order.
extern const DrawingVersion DrawingVersions[28];

// The code of a magic not in the table.
constexpr int kUnknownVersion = 32766;
// The code of the format this release's host saves drawings in ("OX1032").
constexpr int kCurrentVersion = 33;

// The code of the first row whose magic is exactly the string (letter case
// counts); kUnknownVersion for any other string, the empty one included.
int VersionCode(std::string_view magic);

// The Version text's string id for a version code and the release byte, or 0
// for an empty text.
unsigned VersionTextId(int code, uint8_t release);

// How many bytes of a drawing the Version text looks at: the magic in bytes
// 0..5 (ending early at a zero byte) and the release byte 11.
constexpr size_t kVersionHeaderSize = 22;
constexpr size_t kReleaseByte = 11;

// The string id for the first bytes of a file (a file shorter than that, or
// none, leaves the rest zero), or 0 for an empty text.
unsigned VersionTextId(const uint8_t (&header)[kVersionHeaderSize]);
