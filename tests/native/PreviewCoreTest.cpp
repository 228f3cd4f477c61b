#include "drawings/core/PreviewCore.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "drawings/core/DrawingVersions.h"
#include "resources/ids.h"
#include "stand-ins/drawings/core/PreviewPicture.h"
#include "stand-ins/drawings/core/StandInDrawing.h"

using standin::Preview;
using Bytes = std::vector<uint8_t>;

namespace {

uint32_t U32(const Bytes& b, size_t at) {
    return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 |
           static_cast<uint32_t>(b.at(at + 3)) << 24;
}
uint16_t U16(const Bytes& b, size_t at) {
    return static_cast<uint16_t>(b.at(at) | b.at(at + 1) << 8);
}
void Set32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.at(at + i) = static_cast<uint8_t>(v >> (8 * i));
}
void Set16(Bytes& b, size_t at, uint32_t v) {
    b.at(at) = static_cast<uint8_t>(v);
    b.at(at + 1) = static_cast<uint8_t>(v >> 8);
}

// Where a stand-in drawing keeps its directory: section at 32, body size at
// 48, count at 52, the first entry (code, start, size) at 53.
constexpr size_t kBodySize = 48, kCount = 52, kEntry = 53;
// Fields of an info header, from the record's start.
constexpr size_t kWidth = 4, kHeight = 8, kBits = 14, kCompression = 16, kSizeImage = 20,
                 kClrUsed = 32;

Bytes Drawing(Preview kind, int width = 13, int height = 5, const std::string& version = "OX1015") {
    standin::DrawingSpec spec;
    spec.Version = version;
    spec.PreviewKind = kind;
    spec.Width = width;
    spec.Height = height;
    return standin::WriteDrawing(spec);
}
size_t RecordOf(const Bytes& drawing) {
    return U32(drawing, kEntry + 1);
}
Bytes RecordBytes(const Bytes& drawing) {
    const size_t at = RecordOf(drawing);
    return Bytes(drawing.begin() + at, drawing.begin() + at + U32(drawing, kEntry + 5));
}

// A drawing with a directory of our own: one entry per code, each pointing at
// the same record (the stand-in's 8-bit one unless given), behind the count
// byte given.
Bytes WithDirectory(int8_t count, const std::vector<uint8_t>& codes, Bytes record = {}) {
    if (record.empty()) record = RecordBytes(Drawing(Preview::Bmp8));
    Bytes b(32, 0);
    std::memcpy(b.data(), "OX1015", 6);
    Set32(b, 13, 32);
    b.insert(b.end(), standin::kStartSentinel, standin::kStartSentinel + 16);
    const uint32_t body = 1 + 9 * static_cast<uint32_t>(codes.size());
    b.resize(b.size() + 4);
    Set32(b, b.size() - 4, body);
    b.push_back(static_cast<uint8_t>(count));
    const uint32_t start = static_cast<uint32_t>(b.size() + 9 * codes.size() + 16);
    for (uint8_t code : codes) {
        b.push_back(code);
        b.resize(b.size() + 8);
        Set32(b, b.size() - 8, start);
        Set32(b, b.size() - 4, static_cast<uint32_t>(record.size()));
    }
    b.insert(b.end(), standin::kEndSentinel, standin::kEndSentinel + 16);
    b.insert(b.end(), record.begin(), record.end());
    return b;
}

// An uncompressed or run-length 40-byte-header record with the colour
// table's entries counted in colours (clrUsed says the same).
Bytes Record(int32_t width, int32_t height, uint16_t bits, uint32_t compression, uint32_t colours,
             const Bytes& pixels) {
    Bytes r(40, 0);
    Set32(r, 0, 40);
    Set32(r, kWidth, static_cast<uint32_t>(width));
    Set32(r, kHeight, static_cast<uint32_t>(height));
    Set16(r, 12, 1);
    Set16(r, kBits, bits);
    Set32(r, kCompression, compression);
    Set32(r, kSizeImage, static_cast<uint32_t>(pixels.size()));
    Set32(r, kClrUsed, colours);
    for (uint32_t i = 0; i < colours; ++i)
        r.insert(r.end(), {uint8_t(i), uint8_t(i), uint8_t(i), 0});
    r.insert(r.end(), pixels.begin(), pixels.end());
    return r;
}

Bytes Load(const Bytes& file) {
    static PreviewCore core;  // one object for every load: nothing carries over
    MemorySource source(file);
    return core.Load(source);
}

// The result's form, checked for every image: 8 bits, uncompressed, the
// colour table and rows exactly as long as the header says.
struct Shape {
    int32_t Width = 0, Height = 0;
    uint32_t Colours = 0;
};
Shape ShapeOf(const Bytes& block) {
    EXPECT_GE(block.size(), kInfoHeaderSize);
    if (block.size() < kInfoHeaderSize) return {};
    Shape s{static_cast<int32_t>(U32(block, kWidth)), static_cast<int32_t>(U32(block, kHeight)),
            U32(block, kClrUsed) ? U32(block, kClrUsed) : 256};
    EXPECT_EQ(U32(block, 0), 40u);
    EXPECT_EQ(U16(block, kBits), 8);
    EXPECT_EQ(U32(block, kCompression), 0u);
    EXPECT_LE(s.Colours, 256u);
    const uint64_t rows = s.Height < 0 ? -int64_t{s.Height} : s.Height;
    const uint64_t pixels = ((uint64_t(s.Width) + 3) & ~uint64_t{3}) * rows;
    EXPECT_EQ(U32(block, kSizeImage), pixels);
    EXPECT_EQ(block.size(), kInfoHeaderSize + 4 * s.Colours + pixels);
    return s;
}

// The pixel rows of a result in stored order, each width bytes long or, with
// padding, the whole stride.
std::vector<Bytes> Rows(const Bytes& block, bool padding = false) {
    const Shape s = ShapeOf(block);
    const size_t stride = (s.Width + 3) & ~3;
    const size_t length = padding ? stride : s.Width;
    const size_t count = s.Height < 0 ? -s.Height : s.Height;
    std::vector<Bytes> rows;
    const size_t at = kInfoHeaderSize + 4 * s.Colours;
    for (size_t y = 0; y < count; ++y)
        rows.emplace_back(block.begin() + at + y * stride,
                          block.begin() + at + y * stride + length);
    return rows;
}

}  // namespace

TEST(DrawingVersions, CodesOfMagics) {
    const struct {
        const char* Magic;
        int Code;
    } cases[] = {{"KV0.0", 0},       {"OX2.10", 5},    {"OX2.20", 4},     {"OX1014", 21},
                 {"OX1015", 23},     {"OX1032", 33},   {"ox1015", 32766}, {"", 32766},
                 {"OX1015 ", 32766}, {"OX101", 32766}, {"OX1016", 32766}};
    for (const auto& c : cases) EXPECT_EQ(VersionCode(c.Magic), c.Code) << c.Magic;
    EXPECT_EQ(VersionCode(std::string_view("KV0.0\0", 6)), kUnknownVersion);
}

TEST(DrawingVersions, VersionTextByMagicAndReleaseByte) {
    const struct {
        const char* Magic;
        uint8_t Release;
        unsigned Id;
    } cases[] = {
        {"OX1012", 9, 2255},   {"OX1014", 0, 2255},  {"OX1013", 0, 2254},   {"OX1011", 0, 2254},
        {"OX1015", 0, 2256},   {"OX1015", 6, 2256},  {"OX1015", 7, 2257},   {"OX1015", 11, 2257},
        {"OX1015", 12, 2258},  {"OX1015", 14, 2258}, {"OX1015", 15, 0},     {"OX1015", 255, 0},
        {"OX1018", 1, 2259},   {"OX1018", 2, 2260},  {"OX1018", 38, 2260},  {"OX1018", 39, 2261},
        {"OX1018", 75, 2261},  {"OX1018", 76, 2262}, {"OX1021", 16, 2263},  {"OX1021", 17, 2264},
        {"OX1021", 45, 2264},  {"OX1021", 46, 2265}, {"OX1024", 0, 0},      {"OX1024", 1, 0},
        {"OX1024", 2, 2266},   {"OX1024", 45, 2266}, {"OX1024", 46, 2267},  {"OX1024", 54, 2267},
        {"OX1024", 55, 2268},  {"OX1027", 49, 2269}, {"OX1027", 50, 2278},  {"OX1027", 74, 2278},
        {"OX1027", 75, 2279},  {"OX1027", 99, 2279}, {"OX1027", 100, 2280}, {"OX1032", 0, 2281},
        {"OX1032", 255, 2281}, {"ox1032", 0, 2254},  {"OX10155", 0, 2256},  // six bytes at most
        {"", 0, 2254}};
    for (const auto& c : cases) {
        uint8_t header[kVersionHeaderSize] = {};
        std::memcpy(header, c.Magic, std::strlen(c.Magic));
        header[kReleaseByte] = c.Release;
        EXPECT_EQ(VersionTextId(header), c.Id) << c.Magic << " " << int(c.Release);
    }
}

TEST(CubePalette, SpreadsEachChannelAndEndsInWhite) {
    const auto& p = CubePalette();
    auto rgb = [&](int i) {
        return std::vector<int>{p[i].Red, p[i].Green, p[i].Blue, p[i].Reserved};
    };
    EXPECT_EQ(rgb(0), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(rgb(40 * 3 + 5 * 2 + 1), (std::vector<int>{153, 73, 64, 0}));
    EXPECT_EQ(rgb(40 * 1 + 5 * 6 + 3), (std::vector<int>{51, 219, 191, 0}));
    EXPECT_EQ(rgb(239), (std::vector<int>{255, 255, 255, 0}));
    for (int i = 240; i < 256; ++i) EXPECT_EQ(rgb(i), (std::vector<int>{255, 255, 255, 0})) << i;
}

// Every edge of the reader that decides between an image and none.
TEST(PreviewCoreLoad, ImageOrNoneByWhatTheFileHolds) {
    using Make = std::function<Bytes()>;
    auto patched = [](Preview kind, std::function<void(Bytes&, size_t record)> patch) {
        return [=] {
            Bytes b = Drawing(kind);
            patch(b, RecordOf(b));
            return b;
        };
    };
    const Bytes rgb2x1 = Record(2, 1, 24, 0, 0, {1, 2, 3, 4, 5, 6, 0, 0});
    const struct {
        const char* Name;
        Make File;
        Shape Expect;  // width 0: no image
    } cases[] = {
        {"8 bits", [] { return Drawing(Preview::Bmp8); }, {13, 5, 256}},
        {"24 bits", [] { return Drawing(Preview::Bmp24); }, {13, 5, 256}},
        {"32 bits", [] { return Drawing(Preview::Bmp32); }, {13, 5, 256}},
        {"4 bits", [] { return Drawing(Preview::Bmp4); }, {13, 5, 256}},
        {"1 bit, 13 wide, comes back 16 wide", [] { return Drawing(Preview::Bmp1); }, {16, 5, 256}},
        {"RLE8", [] { return Drawing(Preview::Rle8); }, {13, 5, 256}},
        {"RLE4 keeps its 16 colours", [] { return Drawing(Preview::Rle4); }, {13, 5, 16}},
        {"core header, 4 bits", [] { return Drawing(Preview::Core4); }, {13, 5, 256}},
        {"core header, 8 bits", [] { return Drawing(Preview::Core8); }, {13, 5, 256}},
        {"oldest version with previews",
         [] { return Drawing(Preview::Bmp8, 13, 5, "OX1012"); },
         {13, 5, 256}},
        {"newest version", [] { return Drawing(Preview::Bmp8, 13, 5, "OX1032"); }, {13, 5, 256}},
        {"top-down rows keep their order",
         patched(Preview::Bmp8,
                 [](Bytes& b, size_t r) { Set32(b, r + kHeight, static_cast<uint32_t>(-5)); }),
         {13, -5, 256}},
        {"plain bitmap file, core header, 4 bits",
         [] { return standin::MakeBitmapFile(RecordBytes(Drawing(Preview::Core4))); },
         {13, 5, 256}},
        {"plain bitmap file with a gap before its pixels",
         [&] {
             Bytes f = standin::MakeBitmapFile(rgb2x1);
             f.insert(f.begin() + 54, 10, 0xEE);
             Set32(f, 10, 64);
             return f;
         },
         {2, 1, 256}},
        {"plain RLE8 bitmap file with a gap before its codes and too large an image size",
         [] {
             Bytes f = standin::MakeBitmapFile(Record(2, 1, 8, 1, 256, {2, 7, 0, 1}));
             f.insert(f.begin() + 54 + 1024, 10, 0xEE);
             Set32(f, 10, 54 + 1024 + 10);
             Set32(f, 14 + kSizeImage, 100);  // more than the codes left
             return f;
         },
         {2, 1, 256}},
        // Directories.
        {"version OX1011 with a section",
         [] { return Drawing(Preview::Bmp8, 13, 5, "OX1011"); },
         {}},
        {"version OX1013", [] { return Drawing(Preview::Bmp8, 13, 5, "OX1013"); }, {13, 5, 256}},
        {"magic in lower case", [] { return Drawing(Preview::Bmp8, 13, 5, "ox1015"); }, {}},
        {"magic without its terminator",
         [] { return Drawing(Preview::Bmp8, 13, 5, "OX1015A"); },
         {}},
        {"first byte zero", patched(Preview::Bmp8, [](Bytes& b, size_t) { b[0] = 0; }), {}},
        {"only a metafile entry", [] { return Drawing(Preview::Metafile); }, {}},
        {"no entries", [] { return Drawing(Preview::None); }, {}},
        {"placeable metafile file", [] { return standin::MakePlaceableMetafile(); }, {}},
        {"empty file", [] { return Bytes(); }, {}},
        {"entry count 0x80",
         patched(Preview::Bmp8, [](Bytes& b, size_t) { b[kCount] = 0x80; }),
         {}},
        {"entry count 0xFF",
         patched(Preview::Bmp8, [](Bytes& b, size_t) { b[kCount] = 0xFF; }),
         {}},
        {"wrong start sentinel", patched(Preview::Bmp8, [](Bytes& b, size_t) { b[40] ^= 1; }), {}},
        {"body size misses the end sentinel",
         patched(Preview::Bmp8, [](Bytes& b, size_t) { Set32(b, kBodySize, 11); }),
         {}},
        {"section offset past the end",
         patched(Preview::Bmp8, [](Bytes& b, size_t) { Set32(b, 13, 0xFFFFFFF0); }),
         {}},
        {"count 7: the bitmap entry among the first five",
         [] {
             return WithDirectory(7, {9, 3, 2, 9, 9, 9, 9});
         },
         {13, 5, 256}},
        {"count 7: the bitmap entry sixth",
         [] {
             return WithDirectory(7, {9, 9, 9, 9, 9, 2, 9});
         },
         {}},
        {"count 127 with five entries there",
         [] {
             return WithDirectory(127, {9, 9, 9, 9, 2});
         },
         {13, 5, 256}},
        {"a later bitmap entry overrides",
         [] {
             Bytes b = WithDirectory(2, {2, 2});
             Set32(b, kEntry + 9 + 5, 44);  // the second record is too short
             return b;
         },
         {}},
        // Records.
        {"record of 44 bytes", [] { return Drawing(Preview::Bmp24, 1, 1); }, {}},
        {"record of 48 bytes", [] { return Drawing(Preview::Bmp24, 2, 1); }, {2, 1, 256}},
        {"record longer than the file",
         patched(Preview::Bmp8, [](Bytes& b, size_t) { Set32(b, kEntry + 5, 0xFFFFFF00); }),
         {}},
        {"record one byte short of its rows",
         patched(Preview::Bmp8,
                 [](Bytes& b, size_t) { Set32(b, kEntry + 5, U32(b, kEntry + 5) - 1); }),
         {}},
        {"header size 108",
         patched(Preview::Bmp8, [](Bytes& b, size_t r) { Set32(b, r, 108); }),
         {}},
        {"bit fields",
         patched(Preview::Bmp32, [](Bytes& b, size_t r) { Set32(b, r + kCompression, 3); }),
         {}},
        {"compression 4",
         patched(Preview::Bmp8, [](Bytes& b, size_t r) { Set32(b, r + kCompression, 4); }),
         {}},
        {"RLE8 codes at 4 bits",
         patched(Preview::Rle4, [](Bytes& b, size_t r) { Set32(b, r + kCompression, 1); }),
         {}},
        {"RLE4 codes at 8 bits",
         patched(Preview::Rle8, [](Bytes& b, size_t r) { Set32(b, r + kCompression, 2); }),
         {}},
        {"16 bits",
         patched(Preview::Bmp8, [](Bytes& b, size_t r) { Set16(b, r + kBits, 16); }),
         {}},
        {"257 colours at 8 bits",
         [] {
             return WithDirectory(1, {2}, Record(3, 1, 8, 0, 257, {5, 6, 7, 0}));
         },
         {3, 1, 256}},
        {"300 colours at RLE4",
         [] {
             return standin::MakeBitmapFile(Record(3, 1, 4, 2, 300, {3, 0x12, 0, 1}));
         },
         {3, 1, 256}},
        {"2^32 - 1 colours at 4 bits",
         patched(Preview::Bmp4, [](Bytes& b, size_t r) { Set32(b, r + kClrUsed, 0xFFFFFFFF); }),
         {}},
        {"width 0",
         patched(Preview::Bmp8, [](Bytes& b, size_t r) { Set32(b, r + kWidth, 0); }),
         {}},
        {"negative width",
         patched(Preview::Bmp8, [](Bytes& b, size_t r) { Set32(b, r + kWidth, uint32_t(-13)); }),
         {}},
        {"height 0",
         patched(Preview::Bmp8, [](Bytes& b, size_t r) { Set32(b, r + kHeight, 0); }),
         {}},
        {"height INT_MIN",
         patched(Preview::Rle8, [](Bytes& b, size_t r) { Set32(b, r + kHeight, 0x80000000); }),
         {}},
        {"width INT_MAX at 1 bit",
         patched(Preview::Bmp1, [](Bytes& b, size_t r) { Set32(b, r + kWidth, INT_MAX); }),
         {}},
        {"2 GiB of rows from a small record",
         patched(Preview::Bmp24, [](Bytes& b, size_t r) { Set32(b, r + kHeight, 0x7FFFFFFF); }),
         {}},
        {"RLE8 of 8192 x 8191 fits the cap",
         patched(
             Preview::Rle8,
             [](Bytes& b, size_t r) { Set32(b, r + kWidth, 8192), Set32(b, r + kHeight, 8191); }),
         {8192, 8191, 256}},
        {"RLE8 of 8192 x 8192 does not",
         patched(
             Preview::Rle8,
             [](Bytes& b, size_t r) { Set32(b, r + kWidth, 8192), Set32(b, r + kHeight, 8192); }),
         {}},
        {"plain bitmap file, pixel offset past the end",
         [&] {
             Bytes f = standin::MakeBitmapFile(rgb2x1);
             Set32(f, 10, 1000);
             return f;
         },
         {}},
    };
    for (const auto& c : cases) {
        const Bytes block = Load(c.File());
        if (c.Expect.Width == 0) {
            EXPECT_TRUE(block.empty()) << c.Name;
            continue;
        }
        ASSERT_FALSE(block.empty()) << c.Name;
        const Shape s = ShapeOf(block);
        EXPECT_EQ(s.Width, c.Expect.Width) << c.Name;
        EXPECT_EQ(s.Height, c.Expect.Height) << c.Name;
        EXPECT_EQ(s.Colours, c.Expect.Colours) << c.Name;
    }
}

TEST(PreviewCoreLoad, EightBitsComeBackUnchanged) {
    const Bytes drawing = Drawing(Preview::Bmp8, 17, 9);
    EXPECT_EQ(Load(drawing), RecordBytes(drawing));
}

// A table longer than 8 bits index: its first 256 entries are kept, and the
// rows are read after the whole of it.
TEST(PreviewCoreLoad, LongColourTablesKeepTheFirst256Entries) {
    const struct {
        const char* Name;
        Bytes File;
        Bytes Row;
    } cases[] = {
        {"8 bits, 257 colours",
         WithDirectory(1, {2}, Record(3, 1, 8, 0, 257, {5, 6, 7, 0})),
         {5, 6, 7}},
        {"RLE8, 300 colours",
         WithDirectory(1, {2}, Record(3, 1, 8, 1, 300, {3, 9, 0, 1})),
         {9, 9, 9}},
    };
    for (const auto& c : cases) {
        const Bytes block = Load(c.File);
        ASSERT_FALSE(block.empty()) << c.Name;
        EXPECT_EQ(U32(block, kClrUsed), 256u) << c.Name;
        EXPECT_EQ(Rows(block), std::vector<Bytes>{c.Row}) << c.Name;
        // Entry i of a Record is grey i: the last one kept is white.
        EXPECT_EQ(U32(block, 40 + 4 * 255), 0x00FFFFFFu) << c.Name;
    }
}

// Run-length codes of the generator's pictures give the very pixels of the
// same pictures stored uncompressed.
TEST(PreviewCoreLoad, RunLengthCodesExpandToTheStoredPicture) {
    const struct {
        Preview Coded, Stored;
    } cases[] = {{Preview::Rle8, Preview::Bmp8}, {Preview::Rle4, Preview::Bmp4}};
    for (const auto& c : cases) {
        for (int width : {1, 2, 31, 160}) {
            const Bytes coded = Load(Drawing(c.Coded, width, 40));
            const Bytes stored = Load(Drawing(c.Stored, width, 40));
            ASSERT_FALSE(coded.empty()) << width;
            EXPECT_EQ(Rows(coded), Rows(stored)) << width;
        }
    }
    // The 16 colours of the RLE4 picture come first in both.
    const Bytes coded = Load(Drawing(Preview::Rle4)), stored = Load(Drawing(Preview::Bmp4));
    EXPECT_TRUE(std::equal(coded.begin() + 40, coded.begin() + 40 + 64, stored.begin() + 40));
}

// Whole rows, padding included: what the codes skip or run past stays 0.
TEST(PreviewCoreLoad, RunLengthEscapesClipAndStop) {
    const struct {
        const char* Name;
        int32_t Width, Height;
        uint32_t Compression;
        Bytes Codes;
        std::vector<Bytes> Rows;
    } cases[] = {
        {"RLE8: a run clipped at the row's end, end of line, absolute run, move, end of bitmap",
         3,
         3,
         1,
         {6, 7, 0, 0, 0, 3, 1, 2, 3, 0, 0, 2, 0xFE, 0, 0, 0, 1, 9, 0, 1, 5, 5},
         {{7, 7, 7, 0}, {1, 2, 3, 0}, {9, 0, 0, 0}}},
        {"RLE8: a move along and down", 3, 2, 1, {0, 2, 2, 1, 1, 4}, {{0, 0, 0, 0}, {0, 0, 4, 0}}},
        {"RLE8: an absolute run cut by the end of the codes",
         4,
         1,
         1,
         {0, 5, 1, 2},
         {{1, 2, 0, 0}}},
        {"RLE8: a move below the last row ends it",
         2,
         2,
         1,
         {0, 2, 0, 9, 1, 1},
         {{0, 0, 0, 0}, {0, 0, 0, 0}}},
        {"RLE4: nibbles alternate, high first; absolute nibbles",
         5,
         2,
         2,
         {5, 0x12, 0, 0, 0, 3, 0xAB, 0xC0, 0, 1},
         {{1, 2, 1, 2, 1, 0, 0, 0}, {10, 11, 12, 0, 0, 0, 0, 0}}},
        {"RLE4: the phase restarts with every run", 4, 1, 2, {3, 0x45, 1, 0x67}, {{4, 5, 4, 6}}},
        {"RLE4: an absolute run of 5 pads to 4 bytes",
         8,
         1,
         2,
         {0, 5, 0x12, 0x34, 0x50, 0, 2, 0x77},
         {{1, 2, 3, 4, 5, 7, 7, 0}}},
    };
    for (const auto& c : cases) {
        const uint32_t colours = c.Compression == 1 ? 256 : 16;
        const Bytes block = Load(standin::MakeBitmapFile(Record(
            c.Width, c.Height, c.Compression == 1 ? 8 : 4, c.Compression, colours, c.Codes)));
        ASSERT_FALSE(block.empty()) << c.Name;
        EXPECT_EQ(Rows(block, true), c.Rows) << c.Name;
    }
}

TEST(PreviewCoreLoad, ReductionOfEachBitCount) {
    // 24 and 32 bits: with each position's dither offsets (stored row 0
    // first) every channel lands exactly on the first value of a level (red
    // 128, green 128, blue 160: index 40 * 3 + 5 * 4 + 3), or one below it
    // (index 40 * 2 + 5 * 3 + 2). Pixels are blue, green, red.
    const Bytes onLevel24 = {192, 146, 103, 149, 122, 136, 0, 0,
                             129, 111, 154, 172, 135, 121, 0, 0};
    const Bytes belowLevel32 = {191, 145, 102, 0xFF, 148, 121, 135, 0xFF,
                                128, 110, 153, 0xFF, 171, 134, 120, 0xFF};
    // 4 bits: the source's indices; 1 bit: 0 and 255 whatever the two colours.
    const Bytes four = {0x1F, 0x30, 0, 0};
    const Bytes one = {0xA5, 0x80, 0, 0};
    const struct {
        const char* Name;
        Bytes Record;
        std::vector<Bytes> Rows;
    } cases[] = {
        {"24 bits", Record(2, 2, 24, 0, 0, onLevel24), {{143, 143}, {143, 143}}},
        {"32 bits", Record(2, 2, 32, 0, 0, belowLevel32), {{97, 97}, {97, 97}}},
        {"4 bits", Record(3, 1, 4, 0, 16, four), {{1, 15, 3}}},
        {"4 bits, 9 wide: stored rows of 8 bytes",
         Record(9, 2, 4, 0, 16,
                {0x12, 0x34, 0x56, 0x78, 0x90, 0, 0, 0, 0xAB, 0xCD, 0xEF, 0x01, 0x20, 0, 0, 0}),
         {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {10, 11, 12, 13, 14, 15, 0, 1, 2}}},
        {"1 bit, 9 wide",
         Record(9, 1, 1, 0, 2, one),
         {{255, 0, 255, 0, 0, 255, 0, 255, 255, 0, 0, 0, 0, 0, 0, 0}}},
    };
    for (const auto& c : cases) {
        const Bytes block = Load(standin::MakeBitmapFile(c.Record));
        ASSERT_FALSE(block.empty()) << c.Name;
        EXPECT_EQ(Rows(block), c.Rows) << c.Name;
    }
    // The reduced 24-bit picture is on the cube; 4 bits keep their colours first.
    const Bytes cube = Load(Drawing(Preview::Bmp24));
    EXPECT_EQ(0, std::memcmp(cube.data() + 40, CubePalette().data(), 1024));
    const Bytes four16 = Load(standin::MakeBitmapFile(Record(3, 1, 4, 0, 16, four)));
    EXPECT_EQ(four16[40 + 4 * 15], 15);
    EXPECT_EQ(four16[40 + 4 * 16], 0);
}

TEST(PreviewCoreLoad, CoreHeaderColoursAreWidened) {
    const Bytes core = Load(Drawing(Preview::Core4, 13, 5));
    const Bytes info = Load(Drawing(Preview::Bmp4, 13, 5));
    ASSERT_FALSE(core.empty());
    EXPECT_EQ(Rows(core), Rows(info));
    EXPECT_TRUE(std::equal(core.begin() + 40, core.begin() + 40 + 64, info.begin() + 40));
}
