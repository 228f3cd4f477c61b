// Stand-in drawings: files with the header layout of a real drawing (version
// magic, release byte, image data section with an optional preview) followed
// by a block of ours that tells the stand-in host what the drawing references
// and how it misbehaves. Writer and reader; no windows.h here.
//
// Layout (little-endian):
//   0    version magic, zero-padded to 11 bytes (at most 10 characters)
//   11   release byte
//   12   0
//   13   32-bit offset of the image data section (always kSectionOffset)
//   32   image data section: start sentinel (16), 32-bit body size, body
//        (entry count as a signed byte, entries of code 1 byte, start 32 bits,
//        size 32 bits), end sentinel (16)
//   ...  the records the entries point at (bitmap: code 2, metafile: code 3)
//   B    stand-in block: 32-bit text size, then UTF-8 text, one "key=value"
//        or "key" per line, lines ending in LF
//   end  trailer, 12 bytes: 32-bit offset B, then the tag "OXSTAND1"
//
// Keys of the block: ref=<path> (repeatable), at=open|scan|migr|save|quit,
// delay=<seconds>, hang, crash, dialog=<title>, text=<child text> (repeatable),
// button=<button text> (repeatable), logerror=<line>, savefail. Unknown keys are passed over.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

constexpr size_t kVersionFieldSize = 11;
constexpr size_t kReleaseOffset = 11;
constexpr size_t kSectionOffsetField = 13;
constexpr uint32_t kSectionOffset = 32;
constexpr size_t kTrailerSize = 12;
constexpr char kTrailerTag[] = "OXSTAND1";  // 8 bytes in the file, no terminator
constexpr uint8_t kBitmapEntry = 2;
constexpr uint8_t kMetafileEntry = 3;
// Larger files are refused by the reader and by the host.
constexpr size_t kMaxDrawingSize = 64u << 20;

extern const uint8_t kStartSentinel[16];
extern const uint8_t kEndSentinel[16];

// The version magics of the drawing format, oldest first; the last is the
// current one, which migration writes.
const std::vector<std::string>& KnownVersions();
const std::string& CurrentVersion();  // "OX1032"
bool IsKnownVersion(std::string_view magic);

enum class Preview { None, Bmp1, Bmp4, Bmp8, Bmp24, Bmp32, Metafile };
bool ParsePreview(std::wstring_view name, Preview& preview);
const wchar_t* PreviewName(Preview preview);

// When the faults of a drawing strike: at "_.OPEN", at the scan or analysis,
// at the migration, at "_.QSAVE" or at "_.QUIT".
enum class FaultStage { Open, Scan, Migrate, Save, Quit };
bool ParseFaultStage(std::wstring_view name, FaultStage& stage);
const wchar_t* FaultStageName(FaultStage stage);

// What a drawing does to the host. At the stage the host works through them
// in this order: delay, dialog (the script goes on when it is closed), log
// error (then hang), crash, hang. A failing save is a property of every save.
struct Faults {
    FaultStage At = FaultStage::Open;
    unsigned DelaySeconds = 0;
    std::wstring DialogTitle;                 // no dialog when empty
    std::vector<std::wstring> DialogTexts;    // child texts, top to bottom
    std::vector<std::wstring> DialogButtons;  // buttons beside OK, each with a mnemonic
    std::wstring LogError;                    // no line when empty
    bool Crash = false;
    bool Hang = false;
    bool SaveFails = false;

    bool AnyAtStage() const {
        return DelaySeconds || !DialogTitle.empty() || !LogError.empty() || Crash || Hang;
    }
};

struct DrawingSpec {
    std::string Version = "OX1015";
    uint8_t Release = 0;
    Preview PreviewKind = Preview::Bmp8;
    int Width = 160;
    int Height = 120;
    unsigned Seed = 0;
    std::vector<std::wstring> References;
    Faults Fault;
};

// The whole file. Versions longer than 10 bytes are cut to 10; sizes are
// clamped to 1..1024 pixels.
std::vector<uint8_t> WriteDrawing(const DrawingSpec& spec);

// What the host reads back.
struct DrawingInfo {
    std::string Version;
    uint8_t Release = 0;
    bool HasBlock = false;
    std::vector<std::wstring> References;
    Faults Fault;
};

enum class ReadStatus { Ok, TooShort, TooLarge, UnknownVersion, DamagedBlock };
// Reads the magic, the release byte and, when the file ends in the trailer,
// the block. A file without the trailer is a plain drawing.
ReadStatus ReadDrawing(const uint8_t* data, size_t size, DrawingInfo& info);
const wchar_t* ReadStatusText(ReadStatus status);

// Rewrites the version field of a drawing's bytes; false when the bytes are
// too short or the magic longer than 10 bytes.
bool SetVersion(std::vector<uint8_t>& bytes, std::string_view magic);

// The block text of a spec (what WriteDrawing puts between size and trailer).
std::string BlockText(const DrawingSpec& spec);

}  // namespace standin
