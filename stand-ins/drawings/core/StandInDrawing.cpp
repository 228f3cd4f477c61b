#include "stand-ins/drawings/core/StandInDrawing.h"

#include <algorithm>
#include <cstring>

#include "stand-ins/core/StandInText.h"
#include "stand-ins/drawings/core/PreviewPicture.h"

namespace standin {

const uint8_t kStartSentinel[16] = {0x1F, 0x25, 0x6D, 0x07, 0xD4, 0x36, 0x28, 0x28,
                                    0x9D, 0x57, 0xCA, 0x3F, 0x9D, 0x44, 0x10, 0x2B};
const uint8_t kEndSentinel[16] = {0xE0, 0xDA, 0x92, 0xF8, 0x2B, 0xC9, 0xD7, 0xD7,
                                  0x62, 0xA8, 0x35, 0xC0, 0x62, 0xBB, 0xEF, 0xD4};

namespace {

constexpr size_t kTagSize = 8;

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Set32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
uint32_t Get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Block values are single lines.
std::string OneLine(std::wstring_view value) {
    std::string s = ToUtf8(value);
    std::replace(s.begin(), s.end(), '\n', ' ');
    std::replace(s.begin(), s.end(), '\r', ' ');
    return s;
}

struct Name {
    const wchar_t* Text;
    int Value;
};

constexpr Name kPreviewNames[] = {
    {L"none", static_cast<int>(Preview::None)},   {L"bmp1", static_cast<int>(Preview::Bmp1)},
    {L"bmp4", static_cast<int>(Preview::Bmp4)},   {L"bmp8", static_cast<int>(Preview::Bmp8)},
    {L"bmp24", static_cast<int>(Preview::Bmp24)}, {L"bmp32", static_cast<int>(Preview::Bmp32)},
    {L"wmf", static_cast<int>(Preview::Metafile)}};

constexpr Name kStageNames[] = {{L"open", static_cast<int>(FaultStage::Open)},
                                {L"scan", static_cast<int>(FaultStage::Scan)},
                                {L"migr", static_cast<int>(FaultStage::Migrate)},
                                {L"save", static_cast<int>(FaultStage::Save)},
                                {L"quit", static_cast<int>(FaultStage::Quit)}};

template <size_t N>
bool Lookup(const Name (&names)[N], std::wstring_view text, int& value) {
    for (const Name& n : names)
        if (text == n.Text) {
            value = n.Value;
            return true;
        }
    return false;
}

template <size_t N>
const wchar_t* NameOf(const Name (&names)[N], int value) {
    for (const Name& n : names)
        if (n.Value == value) return n.Text;
    return L"";
}

void ParseBlock(std::string_view text, DrawingInfo& info) {
    for (const std::string& line : SplitLines(text)) {
        const size_t eq = line.find('=');
        const std::string key = line.substr(0, eq);
        const std::wstring value =
            eq == std::string::npos ? std::wstring() : FromUtf8(line.substr(eq + 1));
        Faults& f = info.Fault;
        if (key == "ref") {
            if (!value.empty()) info.References.push_back(value);
        } else if (key == "at") {
            ParseFaultStage(value, f.At);
        } else if (key == "delay") {
            unsigned long seconds = 0;
            for (wchar_t c : value) {
                if (c < L'0' || c > L'9') break;
                seconds = std::min(seconds * 10 + static_cast<unsigned>(c - L'0'), 86400ul);
            }
            f.DelaySeconds = static_cast<unsigned>(seconds);
        } else if (key == "dialog") {
            f.DialogTitle = value;
        } else if (key == "text") {
            f.DialogTexts.push_back(value);
        } else if (key == "button") {
            f.DialogButtons.push_back(value);
        } else if (key == "logerror") {
            f.LogError = value;
        } else if (key == "hang") {
            f.Hang = true;
        } else if (key == "crash") {
            f.Crash = true;
        } else if (key == "savefail") {
            f.SaveFails = true;
        }
    }
}

}  // namespace

const std::vector<std::string>& KnownVersions() {
    static const std::vector<std::string> versions = {
        "KV0.0",  "OX1.2",  "OX1.40", "OX1.50", "OX2.10", "OX2.20", "OX2.21",
        "OX2.22", "OX1001", "OX1002", "OX1003", "OX1004", "OX1005", "OX1006",
        "OX1007", "OX1008", "OX1009", "OX1010", "OX1011", "OX1012", "OX1013",
        "OX1014", "OX1015", "OX1018", "OX1021", "OX1024", "OX1027", "OX1032"};
    return versions;
}

const std::string& CurrentVersion() {
    return KnownVersions().back();
}

bool IsKnownVersion(std::string_view magic) {
    const auto& v = KnownVersions();
    return std::find(v.begin(), v.end(), magic) != v.end();
}

bool ParsePreview(std::wstring_view name, Preview& preview) {
    int v = 0;
    if (!Lookup(kPreviewNames, name, v)) return false;
    preview = static_cast<Preview>(v);
    return true;
}

const wchar_t* PreviewName(Preview preview) {
    return NameOf(kPreviewNames, static_cast<int>(preview));
}

bool ParseFaultStage(std::wstring_view name, FaultStage& stage) {
    int v = 0;
    if (!Lookup(kStageNames, name, v)) return false;
    stage = static_cast<FaultStage>(v);
    return true;
}

const wchar_t* FaultStageName(FaultStage stage) {
    return NameOf(kStageNames, static_cast<int>(stage));
}

std::string BlockText(const DrawingSpec& spec) {
    std::string text;
    for (const std::wstring& ref : spec.References) text += "ref=" + OneLine(ref) + "\n";
    const Faults& f = spec.Fault;
    if (f.At != FaultStage::Open) text += "at=" + ToUtf8(FaultStageName(f.At)) + "\n";
    if (f.DelaySeconds) text += "delay=" + std::to_string(f.DelaySeconds) + "\n";
    if (!f.DialogTitle.empty()) text += "dialog=" + OneLine(f.DialogTitle) + "\n";
    for (const std::wstring& t : f.DialogTexts) text += "text=" + OneLine(t) + "\n";
    for (const std::wstring& b : f.DialogButtons) text += "button=" + OneLine(b) + "\n";
    if (!f.LogError.empty()) text += "logerror=" + OneLine(f.LogError) + "\n";
    if (f.Crash) text += "crash\n";
    if (f.Hang) text += "hang\n";
    if (f.SaveFails) text += "savefail\n";
    return text;
}

std::vector<uint8_t> WriteDrawing(const DrawingSpec& spec) {
    std::vector<uint8_t> out(kSectionOffset, 0);
    const std::string magic = spec.Version.substr(0, kVersionFieldSize - 1);
    std::memcpy(out.data(), magic.data(), magic.size());
    out[kReleaseOffset] = spec.Release;
    Set32(out, kSectionOffsetField, kSectionOffset);

    std::vector<uint8_t> record;
    uint8_t code = 0;
    if (spec.PreviewKind == Preview::Metafile) {
        record = MakeMetafileRecord();
        code = kMetafileEntry;
    } else if (spec.PreviewKind != Preview::None) {
        record = MakeBitmapRecord(spec.PreviewKind, spec.Width, spec.Height, spec.Seed);
        code = kBitmapEntry;
    }
    const uint8_t entries = record.empty() ? 0 : 1;
    const uint32_t bodySize = 1 + 9u * entries;

    out.insert(out.end(), kStartSentinel, kStartSentinel + 16);
    Put32(out, bodySize);
    out.push_back(entries);
    // The record follows the end sentinel.
    const uint32_t recordStart = static_cast<uint32_t>(out.size() + 9u * entries + 16);
    if (entries) {
        out.push_back(code);
        Put32(out, recordStart);
        Put32(out, static_cast<uint32_t>(record.size()));
    }
    out.insert(out.end(), kEndSentinel, kEndSentinel + 16);
    out.insert(out.end(), record.begin(), record.end());

    const uint32_t blockOffset = static_cast<uint32_t>(out.size());
    const std::string text = BlockText(spec);
    Put32(out, static_cast<uint32_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
    Put32(out, blockOffset);
    out.insert(out.end(), kTrailerTag, kTrailerTag + kTagSize);
    return out;
}

ReadStatus ReadDrawing(const uint8_t* data, size_t size, DrawingInfo& info) {
    info = DrawingInfo();
    if (size > kMaxDrawingSize) return ReadStatus::TooLarge;
    if (!data || size < kSectionOffsetField + 4) return ReadStatus::TooShort;
    size_t length = 0;
    while (length < kVersionFieldSize && data[length]) ++length;
    if (length == kVersionFieldSize) return ReadStatus::UnknownVersion;  // no terminator
    info.Version.assign(reinterpret_cast<const char*>(data), length);
    if (!IsKnownVersion(info.Version)) return ReadStatus::UnknownVersion;
    info.Release = data[kReleaseOffset];

    if (size < kTrailerSize || std::memcmp(data + size - kTagSize, kTrailerTag, kTagSize) != 0)
        return ReadStatus::Ok;
    const size_t trailer = size - kTrailerSize;
    const uint32_t offset = Get32(data + trailer);
    if (offset < kSectionOffsetField + 4 || offset > trailer || trailer - offset < 4)
        return ReadStatus::DamagedBlock;
    const uint32_t textSize = Get32(data + offset);
    if (textSize != trailer - offset - 4) return ReadStatus::DamagedBlock;
    info.HasBlock = true;
    ParseBlock(std::string_view(reinterpret_cast<const char*>(data) + offset + 4, textSize), info);
    return ReadStatus::Ok;
}

const wchar_t* ReadStatusText(ReadStatus status) {
    switch (status) {
        case ReadStatus::Ok:
            return L"ok";
        case ReadStatus::TooShort:
            return L"the file is too short for a drawing";
        case ReadStatus::TooLarge:
            return L"the file is too large";
        case ReadStatus::UnknownVersion:
            return L"not a drawing file of a known version";
        case ReadStatus::DamagedBlock:
            return L"the drawing is damaged";
    }
    return L"";
}

bool SetVersion(std::vector<uint8_t>& bytes, std::string_view magic) {
    if (bytes.size() < kVersionFieldSize || magic.size() >= kVersionFieldSize) return false;
    std::fill(bytes.begin(), bytes.begin() + kVersionFieldSize, 0);
    std::memcpy(bytes.data(), magic.data(), magic.size());
    return true;
}

}  // namespace standin
