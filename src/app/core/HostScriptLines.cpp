#include "app/core/HostScriptLines.h"

#include <iterator>

#include "core/Text.h"

namespace hostscript {

namespace {

const wchar_t* const kClosingBlock[] = {
    L"_axvekend",  L"_logfilemode",     L"0",      L"_orx", L"_unload",
    L"axmigr.orx", L"(axresetdbmod T)", L"_.QUIT",
};

void AppendClosingBlock(std::vector<std::wstring>& lines) {
    lines.insert(lines.end(), std::begin(kClosingBlock), std::end(kClosingBlock));
}

struct PurgeLine {
    uint32_t bit;
    const wchar_t* line;
};

const PurgeLine kPurgeLines[] = {
    {0x4, L"_-purge _B * _N"},   {0x8, L"_-purge _LA * _N"},   {0x10, L"_-purge _D * _N"},
    {0x20, L"_-purge _P * _N"},  {0x80, L"_-purge _LT * _N"},  {0x100, L"_-purge _ST * _N"},
    {0x200, L"_-purge _M * _N"}, {0x400, L"_-purge _SH * _N"},
};

constexpr uint32_t kSetupDrawingBit = 0x1;
constexpr uint32_t kPurgeBit = 0x2;

void AppendOptionsBlock(const TailSettings& s, std::vector<std::wstring>& lines) {
    if (s.SablonFlags & 0x1) lines.push_back(L"_axmigratebb");
    if (s.SablonFlags & 0x2) lines.push_back(L"_axmigratesym");
    if ((s.OrtxaFlags & kSetupDrawingBit) && !s.SetupDrawingLeftOut) {
        lines.insert(lines.end(), {L"_EXPERT", L"5", L"_axsetupdwg", L"_T"});
        lines.push_back(WithoutControlChars(s.SetupDrawing));
        lines.insert(lines.end(), {L"_EXPERT", L"0"});
    }
    if (s.OrtxaFlags & kPurgeBit) {
        for (const PurgeLine& purge : kPurgeLines)
            if (s.OrtxaFlags & purge.bit) lines.push_back(purge.line);
    }
    lines.push_back(L"_axvekmode");
    if (s.OptionFlags & 0x4)
        lines.push_back(L"0");
    else if (s.OptionFlags & 0x8)
        lines.push_back(L"2");
    else
        lines.push_back(L"1");
    lines.push_back(L"_.QSAVE");
}

}  // namespace

std::wstring WithoutControlChars(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text)
        if (static_cast<unsigned>(c) >= 0x20) out += c;
    return out;
}

bool HeadScriptLines(const HeadValues& values, std::vector<std::wstring>& lines,
                     HeadValue* refused) {
    lines.clear();
    const std::wstring extension =
        L"\"" + WithoutControlChars(values.MigrationFolder) + L"\\axmigr.orx\"";
    const std::wstring logPath = WithoutControlChars(values.LogPath);
    // "%d" of the stored value, as the extension has always been given it.
    const std::wstring flags = text::Decimal(static_cast<int32_t>(values.LogFlags));
    HeadValue tooLong = HeadValue::None;
    if (extension.size() > kMaxPathLineChars)
        tooLong = HeadValue::ExtensionPath;
    else if (logPath.size() > kMaxPathLineChars)
        tooLong = HeadValue::LogPath;
    else if (flags.size() > kMaxFlagsChars)
        tooLong = HeadValue::LogFlags;
    if (refused) *refused = tooLong;
    if (tooLong != HeadValue::None) return false;
    lines = {L"_EXPERT",       L"0",    L"_orx", L"_load",           extension,
             L"_axvekloginfo", logPath, flags,   L"(axresetdbmod T)"};
    return true;
}

std::vector<std::wstring> RefusedHeadScriptLines() {
    return {L"_.QUIT"};
}

std::vector<std::wstring> ScanTailLines(int operation) {
    std::vector<std::wstring> lines{operation == 1 ? L"_axvekscan" : L"_axvekanalyze"};
    AppendClosingBlock(lines);
    return lines;
}

std::vector<std::wstring> UpdateTailLines(const TailSettings& settings, bool selectedDrawings) {
    std::vector<std::wstring> lines{L"_axvekmigr", L"_.QSAVE"};
    const bool anyOption =
        settings.UpdateFlags || settings.OptionFlags || settings.SablonFlags || settings.OrtxaFlags;
    if (selectedDrawings && anyOption) AppendOptionsBlock(settings, lines);
    AppendClosingBlock(lines);
    return lines;
}

std::vector<std::wstring> DrawingScriptLines(const std::vector<std::wstring>& head,
                                             std::wstring_view drawingPath,
                                             const std::vector<std::wstring>& tail) {
    std::vector<std::wstring> lines(head);
    lines.push_back(L"_.OPEN");
    // A quote inside would end the quotes early; no file name holds one.
    std::wstring path;
    for (wchar_t c : WithoutControlChars(drawingPath))
        if (c != L'"') path += c;
    lines.push_back(L"\"" + path + L"\"");
    lines.insert(lines.end(), tail.begin(), tail.end());
    return lines;
}

}  // namespace hostscript
