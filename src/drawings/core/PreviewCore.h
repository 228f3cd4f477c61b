// The preview image stored in a drawing (or a plain bitmap file), read and
// brought to one form: an 8-bit device-independent bitmap with its colour
// table. Safe for any bytes: every size and count from the file is checked
// against what the file holds before anything is sized from it. No windows.h
// here; the Windows side opens the file by its name (drawings/DrawingHeader).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "drawings/core/ByteReader.h"

struct PaletteEntry {
    uint8_t Blue, Green, Red, Reserved;
};
static_assert(sizeof(PaletteEntry) == 4, "a colour table entry as stored");

// The 256 colours of reduced images: entry 40 r + 5 g + b for r 0..5, g 0..7,
// b 0..4 spreads each channel evenly over 0..255; entries 240..255 are white.
const std::array<PaletteEntry, 256>& CubePalette();

// The result block: a 40-byte BITMAPINFOHEADER (bit count 8, compression 0,
// image size = the pixel bytes), the colour table (biClrUsed entries, or 256
// when that is 0, never more than 256; blue, green, red, reserved), then the pixel
// rows padded to 4 bytes, in stored order (positive height: bottom row
// first). Its size is exactly what the header says, at most kMaxPreviewBytes
// (64 MiB).
constexpr size_t kInfoHeaderSize = 40;
constexpr size_t kMaxPreviewBytes = 64u << 20;

class PreviewCore {
  public:
    // maxBytes: the largest result block, kMaxPreviewBytes unless smaller.
    explicit PreviewCore(size_t maxBytes = kMaxPreviewBytes)
        : MaxBytes(maxBytes < kMaxPreviewBytes ? maxBytes : kMaxPreviewBytes) {}
    virtual ~PreviewCore() = default;

    // The image of the drawing or bitmap file at path, or empty for none.
    // Defined on the Windows side, which opens the file by its wide name; it
    // holds the file only while it reads.
    std::vector<uint8_t> Load(const std::wstring& path);
    // The same for a file's bytes. Any number of loads, one after another.
    std::vector<uint8_t> Load(ByteSource& file);

  private:
    struct Entry {
        uint8_t Code;
        uint32_t Start, Size;
    };

    void Reset();
    bool Locate(ByteSource& file);
    std::vector<uint8_t> ReadImage(ByteSource& file);

    size_t MaxBytes;
    // Nothing changes these; images that would need a step switched off give
    // none, so a result is always the 8-bit form.
    int Reduce8Bit = 1;
    int DecodeCompressed = 2;

    uint32_t BitsOffset = 0;  // a plain bitmap file's pixel offset; 0 for a drawing
    uint32_t ImageOffset = 0, ImageLength = 0;
    uint32_t MetafileOffset = 0, MetafileLength = 0;
    // A longer directory is read as far as these go.
    Entry Entries[5] = {};
};
