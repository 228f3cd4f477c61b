#include "drawings/core/PreviewCore.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <string_view>

#include "drawings/core/DrawingVersions.h"

namespace {

constexpr uint16_t kBitmapFileType = 0x4D42;  // "BM"
constexpr size_t kBitmapFileHeaderSize = 14;
constexpr uint32_t kPlaceableMetafileKey = 0x9AC6CDD7;
constexpr size_t kVersionFieldOffset = 13;
constexpr uint8_t kBitmapEntry = 2;
constexpr uint8_t kMetafileEntry = 3;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;

constexpr uint8_t kStartSentinel[16] = {0x1F, 0x25, 0x6D, 0x07, 0xD4, 0x36, 0x28, 0x28,
                                        0x9D, 0x57, 0xCA, 0x3F, 0x9D, 0x44, 0x10, 0x2B};

bool IsEndSentinel(const uint8_t (&bytes)[16]) {
    for (size_t i = 0; i < 16; ++i)
        if (bytes[i] != static_cast<uint8_t>(~kStartSentinel[i])) return false;
    return true;
}

uint32_t Clamp32(uint64_t value) {
    return value > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(value);
}

// The fields of an info header; a core header fills the first four.
struct InfoHeader {
    int32_t Width = 0, Height = 0;
    uint16_t Planes = 0, BitCount = 0;
    uint32_t Compression = 0, SizeImage = 0;
    int32_t XPelsPerMeter = 0, YPelsPerMeter = 0;
    uint32_t ClrUsed = 0, ClrImportant = 0;
};

void Put16(uint8_t*& out, uint32_t v) {
    *out++ = static_cast<uint8_t>(v);
    *out++ = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t*& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// What the 8-bit result will be, from a header whose sizes are all checked.
// Every product below has operands under 2^37, so none overflows 64 bits.
struct Layout {
    uint32_t Width = 0;  // of the result: for 1 bit raised to a multiple of 8
    uint32_t Rows = 0;
    uint64_t Stride = 0;        // result row, 8 bits per pixel
    uint64_t SourceStride = 0;  // stored row
    uint32_t Colours = 0;       // colour table entries in the file
    uint32_t ResultColours = 0;
    uint64_t PixelBytes() const { return Stride * Rows; }
    uint64_t BlockBytes() const { return kInfoHeaderSize + 4ull * ResultColours + PixelBytes(); }
};

bool IsHandledBitCount(uint16_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32;
}

// False for any size the result cannot have: no pixels, a height of INT_MIN
// (it has no magnitude), or a block over the cap. Compression must fit the
// bit count: RLE8 at 8 bits, RLE4 at 4.
bool PlanLayout(const InfoHeader& h, size_t maxBytes, Layout& layout) {
    if (!IsHandledBitCount(h.BitCount)) return false;
    if (h.Compression == kRle8 && h.BitCount != 8) return false;
    if (h.Compression == kRle4 && h.BitCount != 4) return false;
    if (h.Compression > kRle4) return false;
    if (h.Width <= 0 || h.Height == 0 || h.Height == INT32_MIN) return false;
    uint64_t width = static_cast<uint32_t>(h.Width);
    layout.Rows = static_cast<uint32_t>(h.Height < 0 ? -static_cast<int64_t>(h.Height) : h.Height);
    if (h.BitCount == 1) width = (width + 7) & ~uint64_t{7};
    if (width > INT32_MAX) return false;
    layout.Width = static_cast<uint32_t>(width);
    layout.Stride = (width + 3) & ~uint64_t{3};
    layout.SourceStride = (uint64_t{h.BitCount} * width + 31) / 32 * 4;
    layout.Colours = h.BitCount >= 24 ? 0 : h.ClrUsed ? h.ClrUsed : 1u << h.BitCount;
    // Of a longer table no 8-bit index reaches past entry 255: the rest is
    // read past.
    if (h.BitCount == 8 || h.Compression == kRle4)
        layout.ResultColours = std::min<uint32_t>(layout.Colours, 256);
    else
        layout.ResultColours = 256;
    return layout.BlockBytes() <= maxBytes;
}

// The header, then the colour table, of a result; returns where the pixels go.
uint8_t* PutHeaderAndColours(std::vector<uint8_t>& block, const InfoHeader& source,
                             const Layout& layout, const uint8_t* colours, size_t colourCount) {
    block.assign(layout.BlockBytes(), 0);
    uint8_t* out = block.data();
    Put32(out, kInfoHeaderSize);
    Put32(out, layout.Width);
    Put32(out, static_cast<uint32_t>(source.Height));
    Put16(out, source.Planes);
    Put16(out, 8);
    Put32(out, kRgb);
    Put32(out, static_cast<uint32_t>(layout.PixelBytes()));
    Put32(out, static_cast<uint32_t>(source.XPelsPerMeter));
    Put32(out, static_cast<uint32_t>(source.YPelsPerMeter));
    // An 8-bit source keeps its count of 0 (meaning 256); every other count
    // says what the table holds.
    Put32(out, source.BitCount == 8 && source.ClrUsed == 0 ? 0 : layout.ResultColours);
    Put32(out, source.ClrImportant);
    std::memcpy(out, colours, 4 * std::min<size_t>(colourCount, layout.ResultColours));
    return block.data() + kInfoHeaderSize + 4 * layout.ResultColours;
}

// Expands RLE8 or RLE4 into rows of 8-bit pixels. Reads only in[0, size),
// writes only the first width bytes of each of the rows; what the codes skip
// stays 0.
void DecodeRle(const uint8_t* in, size_t size, bool rle4, uint8_t* out, const Layout& layout) {
    size_t at = 0;
    uint64_t x = 0, y = 0;
    auto put = [&](uint8_t pixel) {
        if (x < layout.Width) out[y * layout.Stride + x] = pixel;
        ++x;
    };
    while (y < layout.Rows && size - at >= 2) {
        const uint8_t count = in[at], value = in[at + 1];
        at += 2;
        if (count) {
            for (unsigned i = 0; i < count; ++i)
                put(rle4 ? (i % 2 ? value & 0x0F : value >> 4) : value);
            continue;
        }
        if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of bitmap
            break;
        } else if (value == 2) {  // move along, then down
            if (size - at < 2) break;
            x += in[at];
            y += in[at + 1];
            at += 2;
        } else {  // a run of pixels as they are, padded to whole words
            const size_t bytes = rle4 ? (value + 1u) / 2 : value;
            const size_t available = std::min(bytes, size - at);
            for (unsigned i = 0; i < value; ++i) {
                const size_t byte = rle4 ? i / 2 : i;
                if (byte >= available) break;
                put(rle4 ? (i % 2 ? in[at + byte] & 0x0F : in[at + byte] >> 4) : in[at + byte]);
            }
            if (available < bytes) break;
            at += bytes + (bytes % 2);
            if (at > size) break;
        }
    }
}

// Per channel and dither position, the channel's share of the cube index.
struct DitherTables {
    uint8_t Share[2][2][3][256];  // [row parity][column parity][red, green, blue][value]

    DitherTables() {
        // Offsets of even rows (red, green, blue); odd rows use -v - 1.
        const int even[2][3] = {{25, -18, -32}, {-8, 6, 11}};
        const int levels[3] = {5, 7, 4}, weights[3] = {40, 5, 1};
        for (int row = 0; row < 2; ++row)
            for (int column = 0; column < 2; ++column)
                for (int c = 0; c < 3; ++c) {
                    const int offset = row ? -even[column][c] - 1 : even[column][c];
                    for (int v = 0; v < 256; ++v) {
                        const int dithered = std::clamp(v + offset, 0, 255);
                        Share[row][column][c][v] =
                            static_cast<uint8_t>(weights[c] * ((levels[c] * dithered + 128) / 256));
                    }
                }
    }
};

// One row of 24- or 32-bit pixels (blue, green, red first) on the cube, the
// columns in pairs of even and odd.
template <size_t Step>
void DitherRow(const uint8_t* src, uint8_t* dst, uint32_t width, const DitherTables& dither,
               uint64_t row) {
    const auto& even = dither.Share[row % 2][0];
    const auto& odd = dither.Share[row % 2][1];
    uint32_t x = 0;
    for (; x + 1 < width; x += 2, src += 2 * Step) {
        dst[x] = static_cast<uint8_t>(even[0][src[2]] + even[1][src[1]] + even[2][src[0]]);
        dst[x + 1] =
            static_cast<uint8_t>(odd[0][src[Step + 2]] + odd[1][src[Step + 1]] + odd[2][src[Step]]);
    }
    if (x < width)
        dst[x] = static_cast<uint8_t>(even[0][src[2]] + even[1][src[1]] + even[2][src[0]]);
}

// Reduces rows of 1, 4, 24 or 32 bits that are all there to 8 bits.
void ReduceTo8Bit(const uint8_t* in, uint16_t bits, uint8_t* out, const Layout& layout) {
    static const DitherTables dither;
    for (uint64_t y = 0; y < layout.Rows; ++y) {
        const uint8_t* src = in + y * layout.SourceStride;
        uint8_t* dst = out + y * layout.Stride;
        switch (bits) {
            case 1:
                for (uint32_t x = 0; x < layout.Width; ++x)
                    dst[x] = (src[x / 8] >> (7 - x % 8)) & 1 ? 255 : 0;
                break;
            case 4:
                for (uint32_t x = 0; x < layout.Width; ++x)
                    dst[x] = x % 2 ? src[x / 2] & 0x0F : src[x / 2] >> 4;
                break;
            case 24:
                DitherRow<3>(src, dst, layout.Width, dither, y);
                break;
            default:
                DitherRow<4>(src, dst, layout.Width, dither, y);
        }
    }
}

}  // namespace

const std::array<PaletteEntry, 256>& CubePalette() {
    static const std::array<PaletteEntry, 256> palette = [] {
        std::array<PaletteEntry, 256> p{};
        for (auto& e : p) e = {255, 255, 255, 0};
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 8; ++g)
                for (int b = 0; b < 5; ++b)
                    p[40 * r + 5 * g + b] = {static_cast<uint8_t>((255 * b + 2) / 4),
                                             static_cast<uint8_t>((255 * g + 3) / 7),
                                             static_cast<uint8_t>((255 * r + 2) / 5), 0};
        return p;
    }();
    return palette;
}

void PreviewCore::Reset() {
    BitsOffset = ImageOffset = ImageLength = 0;
    MetafileOffset = MetafileLength = 0;
    for (Entry& e : Entries) e = {};
}

std::vector<uint8_t> PreviewCore::Load(ByteSource& file) {
    Reset();
    std::vector<uint8_t> image;
    try {
        if (Locate(file) && ImageLength != 0) image = ReadImage(file);
    } catch (const std::bad_alloc&) {
        image.clear();
    }
    Reset();
    return image;
}

bool PreviewCore::Locate(ByteSource& file) {
    const uint64_t size = file.Size();
    {  // A plain bitmap file: file header, then an info or core header.
        ByteReader in(file);
        const uint16_t type = in.U16();
        in.Skip(8);  // file size, two reserved words
        const uint32_t bitsOffset = in.U32();
        const uint32_t headerSize = in.U32();
        if (in.Ok() && type == kBitmapFileType &&
            (headerSize == kInfoHeaderSize || headerSize == kCoreHeaderSize)) {
            ImageOffset = kBitmapFileHeaderSize;
            ImageLength = Clamp32(size - kBitmapFileHeaderSize);
            BitsOffset = bitsOffset;
            return true;
        }
    }
    {  // A placeable metafile: no bitmap, so no image.
        ByteReader in(file);
        if (in.U32() == kPlaceableMetafileKey && in.Ok()) {
            MetafileOffset = 0;
            MetafileLength = Clamp32(size);
            return true;
        }
    }
    // A drawing: a known magic with its terminating zero, a version that
    // stores previews this way, the section between its sentinels.
    ByteReader in(file);
    char magic[7];
    if (!in.Bytes(magic, sizeof magic) || magic[0] == 0) return false;
    const void* end = std::memchr(magic, 0, sizeof magic);
    if (!end) return false;
    const int code = VersionCode(std::string_view(magic, static_cast<const char*>(end) - magic));
    if (code < 19 || code > 33) return false;

    in.Seek(kVersionFieldOffset);
    in.Seek(in.U32());
    uint8_t sentinel[16];
    in.Bytes(sentinel, sizeof sentinel);
    if (!in.Ok() || std::memcmp(sentinel, kStartSentinel, sizeof sentinel) != 0) return false;
    const uint32_t bodySize = in.U32();
    const uint64_t body = in.Position();
    in.Skip(bodySize);
    in.Bytes(sentinel, sizeof sentinel);
    if (!in.Ok() || !IsEndSentinel(sentinel)) return false;

    in.Seek(body);
    const int count = in.I8();  // 0 or negative: no entries
    const int read = std::clamp(count, 0, static_cast<int>(std::size(Entries)));
    for (int i = 0; i < read; ++i) {
        Entries[i].Code = in.U8();
        Entries[i].Start = in.U32();
        Entries[i].Size = in.U32();
    }
    if (!in.Ok()) return false;
    for (int i = 0; i < read; ++i) {
        const Entry& e = Entries[i];
        if (e.Code == kBitmapEntry) {
            ImageOffset = e.Start;
            ImageLength = e.Size;
            BitsOffset = 0;
        } else if (e.Code == kMetafileEntry) {
            MetafileOffset = e.Start;
            MetafileLength = e.Size;
        }
    }
    return ImageOffset != 0 || MetafileOffset != 0;
}

std::vector<uint8_t> PreviewCore::ReadImage(ByteSource& file) {
    const uint64_t length = ImageLength;
    if (length <= 44) return {};
    // The whole record must be in the file, so nothing is sized from a length
    // that the file does not back.
    const uint64_t fileSize = file.Size();
    if (ImageOffset > fileSize || length > fileSize - ImageOffset) return {};

    ByteReader in(file, ImageOffset);
    InfoHeader h;
    const uint32_t headerSize = in.U32();
    if (headerSize == kInfoHeaderSize) {
        h.Width = in.I32();
        h.Height = in.I32();
        h.Planes = in.U16();
        h.BitCount = in.U16();
        h.Compression = in.U32();
        h.SizeImage = in.U32();
        h.XPelsPerMeter = in.I32();
        h.YPelsPerMeter = in.I32();
        h.ClrUsed = in.U32();
        h.ClrImportant = in.U32();
    } else if (headerSize == kCoreHeaderSize) {
        h.Width = in.U16();
        h.Height = in.U16();
        h.Planes = in.U16();
        h.BitCount = in.U16();
    } else {
        return {};
    }
    if (!in.Ok() || h.Compression == kBitFields) return {};
    if (h.Compression != kRgb ? !DecodeCompressed : h.BitCount != 8 && !Reduce8Bit) return {};
    Layout layout;
    if (!PlanLayout(h, MaxBytes, layout)) return {};

    // The colour table, widened to 4-byte entries; of a longer one the
    // first 256 are kept and the pixels follow the whole of it.
    const uint64_t entrySize = headerSize == kCoreHeaderSize ? 3 : 4;
    const uint64_t tableBytes = entrySize * layout.Colours;
    if (length <= headerSize + tableBytes) return {};
    const uint32_t kept = std::min<uint32_t>(layout.Colours, 256);
    uint8_t colours[4 * 256] = {};
    if (!in.Bytes(colours, static_cast<size_t>(entrySize * kept))) return {};
    in.Skip(entrySize * (layout.Colours - kept));
    if (entrySize == 3) {  // in place, from the last entry down
        for (uint32_t i = kept; i-- > 0;) {
            colours[4 * i + 3] = 0;
            colours[4 * i + 2] = colours[3 * i + 2];
            colours[4 * i + 1] = colours[3 * i + 1];
            colours[4 * i] = colours[3 * i];
        }
    }

    // The pixel bytes the record holds, as far as the file goes (a plain
    // bitmap file's pixel offset may point anywhere).
    if (BitsOffset) in.Seek(BitsOffset);
    const uint64_t available = std::min(length - headerSize - tableBytes, in.Remaining());
    if (!in.Ok() || available == 0) return {};

    std::vector<uint8_t> block;
    if (h.Compression != kRgb) {
        // Run-length codes: the image size's number of bytes, never more
        // than the record holds, and never a buffer over the cap.
        const size_t inputSize =
            static_cast<size_t>(std::min<uint64_t>({h.SizeImage, available, MaxBytes}));
        std::vector<uint8_t> input(inputSize);
        if (!in.Bytes(input.data(), input.size())) return {};
        uint8_t* pixels = PutHeaderAndColours(block, h, layout, colours, kept);
        DecodeRle(input.data(), input.size(), h.Compression == kRle4, pixels, layout);
        return block;
    }

    // Stored rows: all of them must be there.
    const uint64_t needed = layout.SourceStride * layout.Rows;
    if (needed > available) return {};
    if (h.BitCount == 8) {
        uint8_t* pixels = PutHeaderAndColours(block, h, layout, colours, kept);
        if (!in.Bytes(pixels, static_cast<size_t>(needed))) return {};
        return block;
    }
    if (needed > MaxBytes) return {};
    std::vector<uint8_t> source(static_cast<size_t>(needed));
    if (!in.Bytes(source.data(), source.size())) return {};
    // 4 bits keep their own colours first; the others index the cube.
    uint8_t* pixels =
        h.BitCount == 4
            ? PutHeaderAndColours(block, h, layout, colours, kept)
            : PutHeaderAndColours(block, h, layout,
                                  reinterpret_cast<const uint8_t*>(CubePalette().data()), 256);
    ReduceTo8Bit(source.data(), h.BitCount, pixels, layout);
    return block;
}
