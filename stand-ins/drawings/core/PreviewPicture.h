// The preview records of stand-in drawings: a small picture of a part drawing
// (frame, title block, outlines), varied by a seed, as a device-independent
// bitmap without file header, in the bit depths the preview reader meets.
// No windows.h here.
#pragma once

#include <cstdint>
#include <vector>

#include "stand-ins/drawings/core/StandInDrawing.h"

namespace standin {

// BITMAPINFOHEADER (40 bytes, uncompressed, bottom-up rows unless topDown),
// colour table (2, 16 or 256 entries; none at 24 and 32 bits), rows padded to
// 4 bytes; run-length codes for Rle8 and Rle4; a BITMAPCOREHEADER and 3-byte
// colours for the Core kinds. Empty for Preview::None and Preview::Metafile.
std::vector<uint8_t> MakeBitmapRecord(Preview kind, int width, int height, unsigned seed,
                                      bool topDown = false);

// A placeable-metafile-sized placeholder record (header and end record only).
std::vector<uint8_t> MakeMetafileRecord();

// The 22-byte placeable-metafile header (key 0x9AC6CDD7) and the record.
std::vector<uint8_t> MakePlaceableMetafile();

// A bitmap file: the 14-byte file header ("BM", size, pixel offset) and the
// record.
std::vector<uint8_t> MakeBitmapFile(const std::vector<uint8_t>& record);

}  // namespace standin
