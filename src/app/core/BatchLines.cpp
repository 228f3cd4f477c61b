#include "app/core/BatchLines.h"

#include <utility>

#include "core/Text.h"

namespace batchfile {

namespace {

bool IsControl(wchar_t c) {
    return static_cast<unsigned>(c) < 0x20;
}

}  // namespace

Line& Line::Text(std::wstring_view text) {
    if (text.empty()) return *this;
    if (!pieces.empty() && pieces.back().kind == Piece::Kind::Text)
        pieces.back().text += text;
    else
        pieces.push_back({Piece::Kind::Text, std::wstring(text)});
    return *this;
}

Line& Line::Name(std::wstring_view name) {
    if (!name.empty()) pieces.push_back({Piece::Kind::Name, std::wstring(name)});
    return *this;
}

std::wstring Line::Joined() const {
    std::wstring all;
    for (const Piece& piece : pieces) all += piece.text;
    return all;
}

std::wstring EscapeQuoted(std::wstring_view value) {
    std::wstring out;
    out.reserve(value.size() + 4);
    for (wchar_t c : value) {
        if (IsControl(c) || c == L'"') continue;
        if (c == L'%') out += L'%';
        out += c;
    }
    return out;
}

std::wstring EscapeBare(std::wstring_view value) {
    std::wstring out;
    out.reserve(value.size() + 8);
    for (wchar_t c : value) {
        switch (c) {
            case L'%':
                out += L'%';
                break;
            case L'&':
            case L'|':
            case L'<':
            case L'>':
            case L'^':
            case L'"':
                out += L'^';
                break;
            default:
                if (IsControl(c)) continue;
        }
        out += c;
    }
    return out;
}

std::vector<Line> HeaderLines(bool scanMode) {
    std::vector<Line> lines(2);
    lines[0].Text(L"@echo off");
    lines[1].Text(scanMode ? L"rem Scan the DWG's and write list of xrefs."
                           : L"rem Save/update the DWG's.");
    return lines;
}

std::vector<std::wstring> PathEntries(std::wstring_view currentPath,
                                      const std::vector<std::wstring>& searchFolders) {
    const std::wstring path = text::ToLower(currentPath);
    std::vector<std::wstring> entries;
    for (const std::wstring& folder : searchFolders) {
        std::wstring_view trimmed(folder);
        if (!trimmed.empty() && trimmed.back() == L'\\') trimmed.remove_suffix(1);
        const std::wstring lower = text::ToLower(trimmed);
        if (path.find(lower + L";") != std::wstring::npos) continue;
        if (path.find(lower + L"\\;") != std::wstring::npos) continue;
        entries.push_back(lower + L"\\");
    }
    // Every piece, the last one too: joined again they give PATH unchanged.
    size_t begin = 0;
    for (size_t semicolon; (semicolon = path.find(L';', begin)) != std::wstring::npos;
         begin = semicolon + 1)
        entries.push_back(path.substr(begin, semicolon - begin));
    entries.push_back(path.substr(begin));
    return entries;
}

Line PathLine(const std::vector<std::wstring>& entries) {
    Line line;
    line.Text(L"PATH =").Name(EscapeBare(text::JoinSemicolons(entries)));
    return line;
}

Line PathLine(std::wstring_view currentPath, const std::vector<std::wstring>& searchFolders) {
    return PathLine(PathEntries(currentPath, searchFolders));
}

DrawingBlocks::DrawingBlocks(const JobNames& names, Line pathLine)
    : pathLine_(std::move(pathLine)),
      hasCounter_(!names.CounterFile.empty()),
      hasLog_(!names.Logfile.empty()),
      hasRunFile_(!names.RunFile.empty()),
      hasRegTool_(hasRunFile_ && !names.RegTool.empty() && !names.SettingsKey.empty()) {
    escaped_.CounterFile = EscapeQuoted(names.CounterFile);
    escaped_.Logfile = EscapeQuoted(names.Logfile);
    escaped_.HeadScript = EscapeQuoted(names.HeadScript);
    escaped_.DrawingScript = EscapeQuoted(names.DrawingScript);
    escaped_.HostFolder = EscapeQuoted(names.HostFolder);
    escaped_.Profile = EscapeQuoted(names.Profile);
    escaped_.RunFile = EscapeQuoted(names.RunFile);
    escaped_.RegTool = EscapeQuoted(names.RegTool);
    escaped_.SettingsKey = EscapeQuoted(names.SettingsKey);
}

std::vector<Line> DrawingBlocks::Block(long long number, std::wstring_view message,
                                       std::wstring_view drawingPath,
                                       std::wstring_view tailScript) const {
    const JobNames& n = escaped_;
    std::vector<Line> lines(11);
    lines[1].Text(L"echo " + text::Decimal(number) + L" > \"").Name(n.CounterFile).Text(L"\"");
    lines[2].Text(L"echo. >> \"").Name(n.Logfile).Text(L"\"");
    lines[3].Text(L"echo ").Text(EscapeBare(message)).Text(L" >> \"").Name(n.Logfile).Text(L"\"");
    lines[4].Text(L"copy \"").Name(n.HeadScript).Text(L"\" \"").Name(n.DrawingScript).Text(L"\"");
    lines[5].Text(L"echo _.OPEN>> \"").Name(n.DrawingScript).Text(L"\"");
    lines[6].Text(L"echo \"").Text(EscapeQuoted(drawingPath)).Text(L"\">> \"");
    lines[6].Name(n.DrawingScript).Text(L"\"");
    lines[7].Text(L"type \"").Name(EscapeQuoted(tailScript)).Text(L"\" >> \"");
    lines[7].Name(n.DrawingScript).Text(L"\"");
    lines[8] = pathLine_;
    // "/d": the host folder may be on another drive than the current one.
    lines[9].Text(L"cd /d \"").Name(n.HostFolder).Text(L"\"");
    lines[10].Text(L"start /wait ortx.exe /b \"").Name(n.DrawingScript).Text(L"\" /p \"");
    lines[10].Name(n.Profile).Text(L"\" /nologo");
    if (hasRunFile_) {
        // The blank before ">>" keeps a last digit from being read as a handle.
        Line& exit = lines.emplace_back();
        exit.Text(L"echo " + text::Decimal(number) + L" %ERRORLEVEL% >> \"").Name(n.RunFile);
        exit.Text(L"\"");
        if (hasRegTool_) {
            Line& log = lines.emplace_back();
            log.Text(L"\"").Name(n.RegTool).Text(L"\" query \"HKCU\\").Name(n.SettingsKey);
            log.Text(L"\" /v LOGFILENAME >> \"").Name(n.RunFile).Text(L"\" 2>nul");
        }
    }
    if (!hasLog_) lines.erase(lines.begin() + 2, lines.begin() + 4);
    if (!hasCounter_) lines.erase(lines.begin() + 1);
    return lines;
}

}  // namespace batchfile
