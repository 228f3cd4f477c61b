#include "drawings/core/DrawingVersions.h"

#include "resources/ids.h"

const DrawingVersion DrawingVersions[28] = {
    {"KV0.0", 0},   {"OX1.2", 1},   {"OX1.40", 2},  {"OX1.50", 3},  {"OX2.10", 5},  {"OX2.20", 4},
    {"OX2.21", 6},  {"OX2.22", 7},  {"OX1001", 8},  {"OX1002", 9},  {"OX1003", 10}, {"OX1004", 11},
    {"OX1005", 12}, {"OX1006", 13}, {"OX1007", 14}, {"OX1008", 15}, {"OX1009", 16}, {"OX1010", 17},
    {"OX1011", 18}, {"OX1012", 19}, {"OX1013", 20}, {"OX1014", 21}, {"OX1015", 23}, {"OX1018", 25},
    {"OX1021", 27}, {"OX1024", 29}, {"OX1027", 31}, {"OX1032", 33}};

int VersionCode(std::string_view magic) {
    for (const DrawingVersion& row : DrawingVersions)
        if (magic == row.Magic) return row.Code;
    return kUnknownVersion;
}

namespace {

// Release bytes from First upwards choose Id, up to the next row's First.
struct ReleaseRange {
    unsigned First;
    unsigned Id;
};

template <size_t N>
unsigned ByRelease(const ReleaseRange (&ranges)[N], uint8_t release) {
    unsigned id = 0;
    for (const ReleaseRange& r : ranges)
        if (release >= r.First) id = r.Id;
    return id;
}

constexpr ReleaseRange kOX1015[] = {
    {0, IDS_VERSION_OX1015_A}, {7, IDS_VERSION_OX1015_B}, {12, IDS_VERSION_OX1015_C}, {15, 0}};
constexpr ReleaseRange kOX1018[] = {{0, IDS_VERSION_OX1018_A},
                                    {2, IDS_VERSION_OX1018_B},
                                    {39, IDS_VERSION_OX1018_C},
                                    {76, IDS_VERSION_OX1018_D}};
constexpr ReleaseRange kOX1021[] = {
    {0, IDS_VERSION_OX1021_A}, {17, IDS_VERSION_OX1021_B}, {46, IDS_VERSION_OX1021_C}};
constexpr ReleaseRange kOX1024[] = {
    {0, 0}, {2, IDS_VERSION_OX1024_A}, {46, IDS_VERSION_OX1024_B}, {55, IDS_VERSION_OX1024_C}};
constexpr ReleaseRange kOX1027[] = {{0, IDS_VERSION_OX1027_A},
                                    {50, IDS_VERSION_OX1027_B},
                                    {75, IDS_VERSION_OX1027_C},
                                    {100, IDS_VERSION_OX1027_D}};

}  // namespace

unsigned VersionTextId(int code, uint8_t release) {
    switch (code) {
        case 19:
        case 21:
            return IDS_VERSION_OX1012;
        case 23:
            return ByRelease(kOX1015, release);
        case 25:
            return ByRelease(kOX1018, release);
        case 27:
            return ByRelease(kOX1021, release);
        case 29:
            return ByRelease(kOX1024, release);
        case 31:
            return ByRelease(kOX1027, release);
        case 33:
            return IDS_VERSION_OX1032;
        default:
            return IDS_VERSION_OTHER;
    }
}

unsigned VersionTextId(const uint8_t (&header)[kVersionHeaderSize]) {
    size_t length = 0;
    while (length < 6 && header[length]) ++length;
    const std::string_view magic(reinterpret_cast<const char*>(header), length);
    return VersionTextId(VersionCode(magic), header[kReleaseByte]);
}
