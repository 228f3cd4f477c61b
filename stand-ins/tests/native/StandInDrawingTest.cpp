#include "stand-ins/drawings/core/StandInDrawing.h"

#include <gtest/gtest.h>

#include <cstring>

#include "stand-ins/drawings/core/MkdwgOptions.h"

using namespace standin;

namespace {

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 |
           static_cast<uint32_t>(b.at(at + 3)) << 24;
}
uint16_t U16(const std::vector<uint8_t>& b, size_t at) {
    return b.at(at) | b.at(at + 1) << 8;
}

// Where the image data section of a written drawing puts things.
struct Section {
    uint32_t Offset, BodySize, EndSentinel;
    int Count;
    uint8_t Code = 0;
    uint32_t Start = 0, Size = 0;
};

Section ReadSection(const std::vector<uint8_t>& b) {
    Section s{};
    s.Offset = U32(b, kSectionOffsetField);
    EXPECT_EQ(0, std::memcmp(b.data() + s.Offset, kStartSentinel, 16));
    s.BodySize = U32(b, s.Offset + 16);
    s.Count = static_cast<int8_t>(b.at(s.Offset + 20));
    if (s.Count > 0) {
        s.Code = b.at(s.Offset + 21);
        s.Start = U32(b, s.Offset + 22);
        s.Size = U32(b, s.Offset + 26);
    }
    s.EndSentinel = s.Offset + 20 + s.BodySize;
    EXPECT_EQ(0, std::memcmp(b.data() + s.EndSentinel, kEndSentinel, 16));
    return s;
}

DrawingInfo Read(const std::vector<uint8_t>& b, ReadStatus expected = ReadStatus::Ok) {
    DrawingInfo info;
    EXPECT_EQ(ReadDrawing(b.data(), b.size(), info), expected);
    return info;
}

}  // namespace

TEST(StandInDrawingLayout, HeaderFieldsAndSentinels) {
    DrawingSpec spec;
    spec.Version = "OX1015";
    spec.Release = 7;
    spec.PreviewKind = Preview::Bmp8;
    const std::vector<uint8_t> b = WriteDrawing(spec);

    EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data())), "OX1015");
    for (size_t i = 6; i < kVersionFieldSize; ++i) EXPECT_EQ(b[i], 0) << i;
    EXPECT_EQ(b[11], 7);
    EXPECT_EQ(U32(b, 13), 32u);
    for (uint8_t i = 0; i < 16; ++i)
        EXPECT_EQ(kEndSentinel[i], static_cast<uint8_t>(~kStartSentinel[i]));

    const Section s = ReadSection(b);
    EXPECT_EQ(s.Count, 1);
    EXPECT_EQ(s.BodySize, 10u);
    EXPECT_EQ(s.Code, kBitmapEntry);
    EXPECT_EQ(s.Start, s.EndSentinel + 16);  // the record follows the section
}

TEST(StandInDrawingLayout, BitmapRecordsOfEveryDepth) {
    struct Case {
        Preview Kind;
        int Bits;
        uint32_t Colours;
    } cases[] = {{Preview::Bmp1, 1, 2},
                 {Preview::Bmp4, 4, 16},
                 {Preview::Bmp8, 8, 256},
                 {Preview::Bmp24, 24, 0},
                 {Preview::Bmp32, 32, 0}};
    for (const Case& c : cases) {
        DrawingSpec spec;
        spec.PreviewKind = c.Kind;
        spec.Width = 13;
        spec.Height = 5;
        const std::vector<uint8_t> b = WriteDrawing(spec);
        const Section s = ReadSection(b);
        ASSERT_EQ(s.Code, kBitmapEntry) << c.Bits;
        EXPECT_EQ(U32(b, s.Start), 40u);      // BITMAPINFOHEADER
        EXPECT_EQ(U32(b, s.Start + 4), 13u);  // width
        EXPECT_EQ(U32(b, s.Start + 8), 5u);   // height, bottom-up
        EXPECT_EQ(U16(b, s.Start + 12), 1);   // planes
        EXPECT_EQ(U16(b, s.Start + 14), c.Bits);
        EXPECT_EQ(U32(b, s.Start + 16), 0u);  // uncompressed
        EXPECT_EQ(U32(b, s.Start + 32), c.Colours);
        const uint32_t stride = ((13u * c.Bits + 31) / 32) * 4;
        EXPECT_EQ(U32(b, s.Start + 20), stride * 5);
        EXPECT_EQ(s.Size, 40 + 4 * c.Colours + stride * 5) << c.Bits;
        EXPECT_LE(s.Start + s.Size, b.size() - kTrailerSize);
    }
}

TEST(StandInDrawingLayout, NoPreviewAndMetafileEntries) {
    DrawingSpec spec;
    spec.PreviewKind = Preview::None;
    std::vector<uint8_t> b = WriteDrawing(spec);
    Section s = ReadSection(b);
    EXPECT_EQ(s.Count, 0);
    EXPECT_EQ(s.BodySize, 1u);

    spec.PreviewKind = Preview::Metafile;
    b = WriteDrawing(spec);
    s = ReadSection(b);
    EXPECT_EQ(s.Count, 1);
    EXPECT_EQ(s.Code, kMetafileEntry);
    EXPECT_GT(s.Size, 0u);
}

TEST(StandInDrawingLayout, TrailerPointsAtTheBlock) {
    DrawingSpec spec;
    spec.References = {L"ref.dwg"};
    const std::vector<uint8_t> b = WriteDrawing(spec);
    ASSERT_GT(b.size(), kTrailerSize);
    EXPECT_EQ(0, std::memcmp(b.data() + b.size() - 8, "OXSTAND1", 8));
    const uint32_t block = U32(b, b.size() - kTrailerSize);
    const uint32_t size = U32(b, block);
    EXPECT_EQ(block + 4 + size, b.size() - kTrailerSize);
    EXPECT_EQ(std::string(b.begin() + block + 4, b.begin() + block + 4 + size), "ref=ref.dwg\n");
}

TEST(StandInDrawingBlock, RoundTripOfReferencesAndFaults) {
    DrawingSpec spec;
    spec.Version = "OX1.2";
    spec.Release = 200;
    spec.References = {L"C:\\Zeichnungen\\Bügel \u0416.dwg", L"sub\\part.dwg"};
    spec.Fault.At = FaultStage::Save;
    spec.Fault.DelaySeconds = 3;
    spec.Fault.DialogTitle = L"Question";
    spec.Fault.DialogTexts = {L"{host:20010}", L"two\nlines"};
    spec.Fault.DialogButtons = {L"{res:2136}", L"No"};
    spec.Fault.LogError = L"INTERNAL ERROR";
    spec.Fault.Crash = true;
    spec.Fault.Hang = true;
    spec.Fault.SaveFails = true;
    const DrawingInfo info = Read(WriteDrawing(spec));
    EXPECT_EQ(info.Version, "OX1.2");
    EXPECT_EQ(info.Release, 200);
    EXPECT_TRUE(info.HasBlock);
    EXPECT_EQ(info.References, spec.References);
    EXPECT_EQ(info.Fault.At, FaultStage::Save);
    EXPECT_EQ(info.Fault.DelaySeconds, 3u);
    EXPECT_EQ(info.Fault.DialogTitle, L"Question");
    // Block values are single lines.
    EXPECT_EQ(info.Fault.DialogTexts, (std::vector<std::wstring>{L"{host:20010}", L"two lines"}));
    EXPECT_EQ(info.Fault.DialogButtons, spec.Fault.DialogButtons);
    EXPECT_EQ(info.Fault.LogError, L"INTERNAL ERROR");
    EXPECT_TRUE(info.Fault.Crash && info.Fault.Hang && info.Fault.SaveFails);
    EXPECT_TRUE(info.Fault.AnyAtStage());
}

TEST(StandInDrawingBlock, APlainDrawingHasNoFaults) {
    const DrawingInfo info = Read(WriteDrawing(DrawingSpec()));
    EXPECT_TRUE(info.HasBlock);
    EXPECT_TRUE(info.References.empty());
    EXPECT_FALSE(info.Fault.AnyAtStage());
    EXPECT_FALSE(info.Fault.SaveFails);
    EXPECT_EQ(info.Fault.At, FaultStage::Open);
}

TEST(StandInDrawingRead, RefusesWhatIsNoDrawing) {
    std::vector<uint8_t> b = WriteDrawing(DrawingSpec());
    Read(std::vector<uint8_t>(b.begin(), b.begin() + 10), ReadStatus::TooShort);

    std::vector<uint8_t> lower = b;
    lower[0] = 'o', lower[1] = 'x';  // magics are case-sensitive
    Read(lower, ReadStatus::UnknownVersion);

    std::vector<uint8_t> unterminated = b;
    std::memset(unterminated.data(), 'X', kVersionFieldSize);
    Read(unterminated, ReadStatus::UnknownVersion);

    DrawingSpec unknown;
    unknown.Version = "OX9999";
    Read(WriteDrawing(unknown), ReadStatus::UnknownVersion);
}

TEST(StandInDrawingRead, DamagedBlocksAndPlainFiles) {
    DrawingSpec spec;
    spec.References = {L"a.dwg"};
    const std::vector<uint8_t> good = WriteDrawing(spec);

    std::vector<uint8_t> badOffset = good;
    badOffset[badOffset.size() - kTrailerSize] ^= 0x01;
    Read(badOffset, ReadStatus::DamagedBlock);

    std::vector<uint8_t> pastEnd = good;
    for (int i = 0; i < 4; ++i) pastEnd[pastEnd.size() - kTrailerSize + i] = 0xFF;
    Read(pastEnd, ReadStatus::DamagedBlock);

    // Without the trailer it is a drawing without our block.
    std::vector<uint8_t> plain(good.begin(), good.end() - 8);
    const DrawingInfo info = Read(plain);
    EXPECT_FALSE(info.HasBlock);
    EXPECT_TRUE(info.References.empty());
}

TEST(StandInDrawingVersion, SetVersionRewritesTheWholeField) {
    DrawingSpec spec;
    spec.Version = "OX1.40";
    spec.Release = 9;
    std::vector<uint8_t> b = WriteDrawing(spec);
    const std::vector<uint8_t> before = b;
    ASSERT_TRUE(SetVersion(b, CurrentVersion()));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data())), "OX1032");
    for (size_t i = 6; i < kVersionFieldSize; ++i) EXPECT_EQ(b[i], 0);
    EXPECT_TRUE(
        std::equal(b.begin() + kVersionFieldSize, b.end(), before.begin() + kVersionFieldSize));
    EXPECT_FALSE(SetVersion(b, "OX10320000000"));

    EXPECT_EQ(KnownVersions().size(), 28u);
    EXPECT_TRUE(IsKnownVersion("KV0.0"));
    EXPECT_FALSE(IsKnownVersion("ox1015"));
}

TEST(StandInMkdwgOptions, EveryOption) {
    MkdwgJob job;
    std::wstring error;
    ASSERT_TRUE(ParseMkdwgArgs(
        {L"out.dwg", L"--version",   L"OX1024",    L"--release",     L"55",     L"--preview",
         L"bmp24",   L"--size",      L"64x48",     L"--seed",        L"3",      L"--ref",
         L"a.dwg",   L"--ref",       L"C:\\b.dwg", L"--at",          L"migr",   L"--delay",
         L"4",       L"--dialog",    L"T",         L"--dialog-text", L"x",      L"--dialog-button",
         L"Yes",     L"--log-error", L"E",         L"--crash",       L"--hang", L"--save-fails"},
        job, error))
        << error;
    const DrawingSpec& s = job.Spec;
    EXPECT_EQ(job.Output, L"out.dwg");
    EXPECT_EQ(s.Version, "OX1024");
    EXPECT_EQ(s.Release, 55);
    EXPECT_EQ(s.PreviewKind, Preview::Bmp24);
    EXPECT_EQ(s.Width, 64);
    EXPECT_EQ(s.Height, 48);
    EXPECT_EQ(s.Seed, 3u);
    EXPECT_EQ(s.References, (std::vector<std::wstring>{L"a.dwg", L"C:\\b.dwg"}));
    EXPECT_EQ(s.Fault.At, FaultStage::Migrate);
    EXPECT_EQ(s.Fault.DelaySeconds, 4u);
    EXPECT_EQ(s.Fault.DialogTitle, L"T");
    EXPECT_EQ(s.Fault.DialogTexts, std::vector<std::wstring>{L"x"});
    EXPECT_EQ(s.Fault.DialogButtons, std::vector<std::wstring>{L"Yes"});
    EXPECT_EQ(s.Fault.LogError, L"E");
    EXPECT_TRUE(s.Fault.Crash && s.Fault.Hang && s.Fault.SaveFails);
}

TEST(StandInMkdwgOptions, UsageErrors) {
    MkdwgJob job;
    std::wstring error;
    const std::vector<std::vector<std::wstring>> bad = {
        {},
        {L"a.dwg", L"b.dwg"},
        {L"a.dwg", L"--release", L"256"},
        {L"a.dwg", L"--release"},
        {L"a.dwg", L"--version", L"OX10320000000"},
        {L"a.dwg", L"--preview", L"png"},
        {L"a.dwg", L"--size", L"0x5"},
        {L"a.dwg", L"--size", L"2000x5"},
        {L"a.dwg", L"--at", L"later"},
        {L"a.dwg", L"--dialog-text", L"orphan"},
        {L"a.dwg", L"--dialog-button", L"orphan"},
        {L"a.dwg", L"--frobnicate"},
    };
    for (const auto& args : bad) {
        error.clear();
        EXPECT_FALSE(ParseMkdwgArgs(args, job, error)) << args.size();
        EXPECT_FALSE(error.empty());
    }
    ASSERT_TRUE(ParseMkdwgArgs({L"--help"}, job, error));
    EXPECT_TRUE(job.Help);
}

TEST(StandInMkdwgOptions, PictureForms) {
    MkdwgJob job;
    std::wstring error;
    ASSERT_TRUE(ParseMkdwgArgs(
        {L"out.bmp", L"--preview", L"core24", L"--top-down", L"--also-wmf", L"--plain"}, job,
        error))
        << error;
    EXPECT_EQ(job.Spec.PreviewKind, Preview::Core24);
    EXPECT_TRUE(job.Spec.TopDown && job.Spec.AlsoMetafile && job.Plain);
    for (const wchar_t* kind : {L"rle8", L"rle4", L"core1", L"core4", L"core8"}) {
        Preview preview = Preview::None;
        EXPECT_TRUE(ParsePreview(kind, preview));
        EXPECT_EQ(std::wstring(PreviewName(preview)), kind);
    }
}

TEST(StandInDrawingLayout, MetafileEntryBeforeTheBitmap) {
    DrawingSpec spec;
    spec.PreviewKind = Preview::Rle8;
    spec.Width = 8;
    spec.Height = 4;
    spec.AlsoMetafile = true;
    const std::vector<uint8_t> b = WriteDrawing(spec);
    const Section s = ReadSection(b);
    EXPECT_EQ(s.Count, 2);
    EXPECT_EQ(s.BodySize, 19u);
    EXPECT_EQ(s.Code, kMetafileEntry);
    const size_t second = s.Offset + 21 + 9;
    EXPECT_EQ(b.at(second), kBitmapEntry);
    EXPECT_EQ(U32(b, second + 1), s.Start + s.Size);  // the bitmap follows the metafile
    EXPECT_EQ(U32(b, U32(b, second + 1) + 16), 1u);   // RLE8
}
