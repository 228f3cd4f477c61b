// axmigr.orx, the stand-in for the migration runtime extension. It takes the
// "_ax..." commands and "(axresetdbmod T)" from the host (OrxApi.h) and
// produces what the wizard relies on: entries in the migration log named by
// "_axvekloginfo", referenced drawings appended to %TEMP%\MIGRATE.TXT by the
// scan, migrated drawings appended to %TEMP%\MIGRATED.TXT and the current
// format version set for the host's next save.
//
// Every file is opened for one line and closed again, so the wizard, the
// batch file and the host can write the same files in turn.
#include <windows.h>

#include <string>
#include <vector>

#include "core/Text.h"
#include "stand-ins/core/StandInText.h"
#include "stand-ins/drawings/core/StandInDrawing.h"
#include "stand-ins/host/OrxApi.h"
#include "stand-ins/host/core/HostScript.h"
#include "stand-ins/host/win/HostFiles.h"

namespace standin {
namespace {

constexpr const wchar_t* kPrefix = kExtensionPrefix;

struct Session {
    std::wstring LogPath;  // the migration log, as "_axvekloginfo" gave it
    std::wstring LogFlags;
    std::wstring Mode = L"1";
};

Session g_session;

std::wstring Quoted(const std::wstring& s) {
    return L"\"" + s + L"\"";
}

class Command {
  public:
    explicit Command(const OrxHost* host) : host_(host) {}

    bool Run(const std::wstring& line) {
        const std::wstring name = CommandName(line);
        if (IsExpression(line)) {
            if (!text::EqualsNoCase(SingleBlanks(line), L"(axresetdbmod t)")) return false;
            Tell(L"database modification flag reset");
            return true;
        }
        if (name == L"AXVEKLOGINFO") return LogInfo(), true;
        if (name == L"AXVEKSCAN") return Scan(true), true;
        if (name == L"AXVEKANALYZE") return Scan(false), true;
        if (name == L"AXVEKMIGR") return Migrate(), true;
        if (name == L"AXVEKMODE") return Mode(), true;
        if (name == L"AXSETUPDWG") return SetupDrawing(), true;
        if (name == L"AXMIGRATEBB") return Note(L"blocks of " + DrawingName() + L" migrated"), true;
        if (name == L"AXMIGRATESYM")
            return Note(L"symbols of " + DrawingName() + L" migrated"), true;
        if (name == L"AXVEKEND") return Note(L"done with " + DrawingName()), true;
        return false;
    }

  private:
    // Trimmed, with every run of blanks as one space.
    static std::wstring SingleBlanks(const std::wstring& s) {
        std::wstring out;
        for (wchar_t c : Trim(s)) {
            const bool blank = c == L' ' || c == L'\t';
            if (!blank)
                out += c;
            else if (out.empty() || out.back() != L' ')
                out += L' ';
        }
        return out;
    }

    std::wstring Next() {
        const wchar_t* line = host_->NextLine(host_->Context);
        return line ? std::wstring(line) : std::wstring();
    }

    const wchar_t* Path() const { return host_->DrawingPath(host_->Context); }
    std::wstring DrawingName() const { return Path() ? Quoted(Path()) : L"no drawing"; }

    // A line for the host's log only.
    void Tell(const std::wstring& text) {
        host_->Log(host_->Context, (std::wstring(kPrefix) + text).c_str());
    }
    void BadArgument(const std::wstring& argument, const wchar_t* command, const wchar_t* why) {
        Tell(kBadArgument + Quoted(argument) + L" of " + command + L": " + why);
    }
    static bool IsDecimal(const std::wstring& s) {
        return !s.empty() && s.find_first_not_of(L"0123456789") == std::wstring::npos;
    }

    // A line for the host's log and, once "_axvekloginfo" named one, the
    // migration log.
    void Note(const std::wstring& text) {
        Tell(text);
        if (g_session.LogPath.empty()) return;
        DWORD error = 0;
        if (!AppendAnsiLine(g_session.LogPath, std::wstring(kPrefix) + text, false, &error))
            Tell(L"cannot write the migration log " + Quoted(g_session.LogPath) + L": " +
                 ErrorText(error));
    }

    void LogInfo() {
        const std::wstring path = Unquote(Next());
        const std::wstring flags = Trim(Next());
        if (path.empty()) return BadArgument(path, L"_axvekloginfo", L"no log path");
        // The extension takes "/" only: a "\" would be read as an escape.
        if (path.find(L'\\') != std::wstring::npos)
            return BadArgument(path, L"_axvekloginfo", L"the log path has \"\\\" in it");
        if (!IsDecimal(flags)) return BadArgument(flags, L"_axvekloginfo", L"flags not in decimal");
        g_session.LogPath = path;
        g_session.LogFlags = flags;
        Tell(L"migration log " + Quoted(path) + L", log flags " + flags);
    }

    bool OpenDrawing(DrawingInfo& info) {
        size_t size = 0;
        const unsigned char* bytes = host_->DrawingBytes(host_->Context, &size);
        if (!Path() || !bytes) {
            Tell(L"no drawing is open");
            return false;
        }
        if (ReadDrawing(bytes, size, info) != ReadStatus::Ok) {
            Note(L"cannot read " + DrawingName());
            return false;
        }
        return true;
    }

    void Scan(bool listReferences) {
        DrawingInfo info;
        if (!OpenDrawing(info)) return;
        std::vector<std::wstring> found;
        for (const std::wstring& ref : info.References) {
            const std::wstring path = FullPath(ResolveReference(Path(), ref));
            if (FileExists(path))
                found.push_back(path);
            else
                Note(L"the drawing " + Quoted(ref) + L" that " + DrawingName() +
                     L" references was not found");
        }
        if (!listReferences) {
            return Note(L"analysed " + DrawingName() + L": version " + FromUtf8(info.Version) +
                        L", " + std::to_wstring(info.References.size()) +
                        L" referenced drawing(s)");
        }
        const std::wstring list = ExchangeListPath(L"MIGRATE.TXT");
        size_t added = 0;
        for (const std::wstring& path : NewListEntries(ReadAnsiLines(list), found)) {
            DWORD error = 0;
            if (AppendAnsiLine(list, path, true, &error))
                ++added;
            else
                Note(L"cannot list " + Quoted(path) + L" in " + Quoted(list) + L": " +
                     ErrorText(error));
        }
        Note(L"scanned " + DrawingName() + L": " + std::to_wstring(info.References.size()) +
             L" referenced drawing(s), " + std::to_wstring(added) + L" added to the list");
    }

    void Migrate() {
        DrawingInfo info;
        if (!OpenDrawing(info)) return;
        const std::string& current = CurrentVersion();
        if (!host_->SetDrawingVersion(host_->Context, current.c_str()))
            return Note(L"cannot migrate " + DrawingName());
        const std::wstring list = ExchangeListPath(L"MIGRATED.TXT");
        DWORD error = 0;
        if (!AppendAnsiLine(list, Path(), true, &error))
            Note(L"cannot record " + DrawingName() + L" in " + Quoted(list) + L": " +
                 ErrorText(error));
        Note(L"migrated " + DrawingName() + L" from " + FromUtf8(info.Version) + L" to " +
             FromUtf8(current) + L" (mode " + g_session.Mode + L")");
    }

    void Mode() {
        const std::wstring mode = Trim(Next());
        if (mode != L"0" && mode != L"1" && mode != L"2")
            return BadArgument(mode, L"_axvekmode", L"not 0, 1 or 2");
        g_session.Mode = mode;
        Tell(L"mode " + mode);
    }

    void SetupDrawing() {
        const std::wstring option = Trim(Next());
        const std::wstring setup = Unquote(Next());
        if (!text::EqualsNoCase(option, L"_T"))
            return BadArgument(option, L"_axsetupdwg", L"not _T");
        if (setup.empty()) return BadArgument(setup, L"_axsetupdwg", L"no set-up drawing");
        // A name garbled on its way (a "?" for a character) names nothing.
        if (GetFileAttributesW(setup.c_str()) == INVALID_FILE_ATTRIBUTES)
            return BadArgument(setup, L"_axsetupdwg", L"no such set-up drawing");
        Note(L"set-up drawing " + Quoted(setup) + L" applied to " + DrawingName());
    }

    const OrxHost* host_;
};

}  // namespace
}  // namespace standin

extern "C" __declspec(dllexport) int OrxCommand(const OrxHost* host, const wchar_t* line) {
    if (!host || !line || host->ApiVersion != ORX_API_VERSION) return 0;
    try {
        return standin::Command(host).Run(line) ? 1 : 0;
    } catch (...) {
        return 1;  // taken, though it failed
    }
}
