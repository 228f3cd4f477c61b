// Batch-file lines (and the run file they write) against a model of how cmd reads a line: every
// value must arrive as exactly its text (less the characters no name can hold), and only the
// template's own redirections may act.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/core/BatchLines.h"
#include "app/core/RunOutcome.h"
#include "core/Text.h"

using namespace batchfile;

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

// A line as cmd takes it apart: percent signs first, then quotes, carets and
// the operators & | < >. Commands are the texts between operators.
struct Parsed {
    bool ok = true;
    std::vector<std::wstring> commands{std::wstring()};
    std::vector<std::wstring> operators;
};

Parsed ParseLine(const std::wstring& line) {
    Parsed p;
    std::wstring expanded;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == L'\r' || line[i] == L'\n') p.ok = false;  // a line of its own
        if (line[i] != L'%') {
            expanded += line[i];
        } else if (i + 1 < line.size() && line[i + 1] == L'%') {
            expanded += L'%';
            ++i;
        } else if (line.compare(i, 12, L"%ERRORLEVEL%") == 0) {
            expanded += L"{ERRORLEVEL}";  // the one variable a template may use
            i += 11;
        } else {
            p.ok = false;  // a variable or argument would be expanded
        }
    }
    bool quoted = false;
    for (size_t i = 0; i < expanded.size(); ++i) {
        const wchar_t c = expanded[i];
        if (c == L'"') {
            quoted = !quoted;
            p.commands.back() += c;
        } else if (quoted) {
            p.commands.back() += c;
        } else if (c == L'^') {
            if (i + 1 >= expanded.size()) {
                p.ok = false;  // continues on the next line
                break;
            }
            p.commands.back() += expanded[++i];
        } else if (c == L'&' || c == L'|' || c == L'<' || c == L'>') {
            std::wstring op(1, c);
            if (i + 1 < expanded.size() && expanded[i + 1] == c && c != L'<') op += expanded[++i];
            p.operators.push_back(op);
            p.commands.emplace_back();
        } else {
            p.commands.back() += c;
        }
    }
    return p;
}

std::wstring Filtered(const std::wstring& s, bool dropQuotes) {
    std::wstring out;
    for (wchar_t c : s)
        if (static_cast<unsigned>(c) >= 0x20 && !(dropQuotes && c == L'"')) out += c;
    return out;
}

std::wstring Q(const std::wstring& name) {
    return L"\"" + Filtered(name, true) + L"\"";
}

// Fields of the input: UTF-16 units, split at U+0000.
std::vector<std::wstring> Fields(const uint8_t* data, size_t size) {
    std::vector<std::wstring> fields(1);
    for (size_t i = 0; i + 1 < size; i += 2) {
        const wchar_t c = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
        if (c == 0)
            fields.emplace_back();
        else
            fields.back() += c;
    }
    fields.resize(12);
    return fields;
}

void CheckCommand(const Line& line, const std::vector<std::wstring>& commands,
                  const std::vector<std::wstring>& operators) {
    const Parsed p = ParseLine(line.Joined());
    Check(p.ok);
    Check(p.operators == operators);
    Check(p.commands == commands);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // What the batch file leaves in its run file comes back in any shape.
    const runoutcome::RunFile run =
        runoutcome::ParseRunFile({reinterpret_cast<const char*>(data), size});
    for (const auto& [number, code] : run.ExitCodes) Check(number >= 1);
    for (const std::string& log : run.HostLogs) Check(!log.empty() && log.back() != ' ');

    const std::vector<std::wstring> f = Fields(data, size);
    const std::wstring &message = f[0], &drawing = f[1], &tail = f[8];

    Line bare;
    bare.Text(L"echo ").Text(EscapeBare(message));
    CheckCommand(bare, {L"echo " + Filtered(message, false)}, {});

    JobNames names;
    // Never empty here: an empty counter file or log leaves its lines out.
    names.CounterFile = L"c" + f[2];
    names.Logfile = L"l" + f[3];
    names.HeadScript = f[4];
    names.DrawingScript = f[5];
    names.HostFolder = f[6];
    names.Profile = f[7];
    names.RunFile = L"r" + f[2];
    names.RegTool = L"t" + f[4];
    names.SettingsKey = L"k" + f[7];
    const std::vector<std::wstring> folders = text::SplitSemicolons(f[10]);
    const Line pathLine = PathLine(f[9], folders);
    const Parsed path = ParseLine(pathLine.Joined());
    Check(path.ok && path.operators.empty() && path.commands.size() == 1);
    Check(path.commands[0].compare(0, 6, L"PATH =") == 0);
    // The old PATH comes last, whole.
    const std::wstring oldPath = Filtered(text::ToLower(f[9]), false);
    Check(path.commands[0].size() >= 6 + oldPath.size());
    Check(path.commands[0].compare(path.commands[0].size() - oldPath.size(), oldPath.size(),
                                   oldPath) == 0);

    const DrawingBlocks blocks(names, pathLine);
    const long long number = static_cast<long long>(f[11].size()) - 3;
    const std::vector<Line> b = blocks.Block(number, message, drawing, tail);
    Check(b.size() == 13);
    Check(b[0].Joined().empty());
    const std::wstring script = L" " + Q(names.DrawingScript);
    CheckCommand(b[1], {L"echo " + text::Decimal(number) + L" ", L" " + Q(names.CounterFile)},
                 {L">"});
    CheckCommand(b[2], {L"echo. ", L" " + Q(names.Logfile)}, {L">>"});
    CheckCommand(b[3], {L"echo " + Filtered(message, false) + L" ", L" " + Q(names.Logfile)},
                 {L">>"});
    CheckCommand(b[4], {L"copy " + Q(names.HeadScript) + script}, {});
    CheckCommand(b[5], {L"echo _.OPEN", script}, {L">>"});
    CheckCommand(b[6], {L"echo " + Q(drawing), script}, {L">>"});
    CheckCommand(b[7], {L"type " + Q(tail) + L" ", script}, {L">>"});
    Check(b[8].Joined() == pathLine.Joined());
    CheckCommand(b[9], {L"cd /d " + Q(names.HostFolder)}, {});
    CheckCommand(b[10],
                 {L"start /wait ortx.exe /b " + Q(names.DrawingScript) + L" /p " +
                  Q(names.Profile) + L" /nologo"},
                 {});
    CheckCommand(b[11],
                 {L"echo " + text::Decimal(number) + L" {ERRORLEVEL} ", L" " + Q(names.RunFile)},
                 {L">>"});
    CheckCommand(b[12],
                 {L"\"" + Filtered(names.RegTool, true) + L"\" query \"HKCU\\" +
                      Filtered(names.SettingsKey, true) + L"\" /v LOGFILENAME ",
                  L" " + Q(names.RunFile) + L" 2", L"nul"},
                 {L">>", L">"});
    return 0;
}
