// The batch file of a run (the lines themselves are in app/core/BatchLines).
//
// cmd reads each batch-file line in the console code page, which a new
// console starts with: the system's OEM code page (Wine's cmd keeps reading
// in it even after "chcp"). echo writes into files in that code page again.
// So the text that echo copies into the log and the drawing's script is
// stored in the code page of those files and arrives byte for byte, while the
// names cmd opens, enters or hands to the host are stored in the OEM code
// page, so that a temporary folder such as C:\Users\Müller\... is found.
#include <cstdlib>

#include "app/AxvekTarvoApp.h"
#include "app/JobFiles.h"
#include "app/MigrationLog.h"
#include "app/SelectedDrawings.h"
#include "app/core/BatchLines.h"
#include "core/Text.h"
#include "drawings/AxvekFilenm.h"
#include "framework/File.h"
#include "framework/PathNames.h"
#include "framework/Resources.h"
#include "framework/TextStream.h"
#include "host/HostKeys.h"
#include "host/Language.h"
#include "resources/ids.h"

namespace {

bool IsAscii(std::wstring_view s) {
    for (wchar_t c : s)
        if (static_cast<unsigned>(c) >= 0x80) return false;
    return true;
}

// Writes lines through a buffer: a run of tens of thousands of drawings
// makes hundreds of thousands of lines. The first failed write ends the
// writing, so a full disk never leaves a batch file that looks whole.
class BatchWriter {
  public:
    BatchWriter(const std::wstring& path, fw::TextLocale text, fw::TextLocale names)
        : text_(text), names_(names) {
        ok_ = file_.Open(
            path, fw::CFile::modeCreate | fw::CFile::modeWrite | fw::CFile::shareDenyNone, &cause_);
    }
    ~BatchWriter() { Finish(); }
    BatchWriter(const BatchWriter&) = delete;
    BatchWriter& operator=(const BatchWriter&) = delete;

    void Write(const batchfile::Line& line) {
        if (!ok_) return;
        for (const batchfile::Piece& piece : line.pieces) {
            if (IsAscii(piece.text)) {
                buffer_.append(piece.text.begin(), piece.text.end());
            } else {
                const bool isName = piece.kind == batchfile::Piece::Kind::Name;
                buffer_ += fw::TextStream::Encode(piece.text, isName ? names_ : text_, nullptr);
            }
        }
        buffer_ += "\r\n";
        if (buffer_.size() >= kFlushSize) Flush();
    }

    void Write(const std::vector<batchfile::Line>& lines) {
        for (const batchfile::Line& line : lines) Write(line);
    }

    // Writes what is held and closes the file. True when every line is on
    // the disk; otherwise *cause says why.
    bool Finish(FileCause* cause = nullptr) {
        Flush();
        if (ok_ && file_.IsOpen()) ok_ = file_.Flush(&cause_) && file_.Close(&cause_);
        if (cause) *cause = cause_;
        return ok_;
    }

  private:
    static constexpr size_t kFlushSize = 64 * 1024;

    void Flush() {
        if (ok_ && !buffer_.empty())
            ok_ = file_.Write(buffer_.data(), static_cast<DWORD>(buffer_.size()), &cause_);
        buffer_.clear();
    }

    fw::CFile file_;
    bool ok_ = false;
    FileCause cause_ = FileCause::None;
    fw::TextLocale text_;
    fw::TextLocale names_;
    std::string buffer_;
};

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Every name cmd opens, enters or passes on, in a form cmd reads as that same
// name. cmd decodes the batch file in the console code page, which lacks
// characters common in Windows names (’ “ ” – — € ™ in the western OEM code
// pages): such a name is given in its short (8.3) form, which the file system
// spells in ASCII. A file the batch file writes (counter file, log, the
// drawing's script) is made first when it is missing, so that it has a short
// form. A name that has no form cmd can read (short names switched off) is
// left out, never changed into another path, and a detail line names it.
class CmdNames {
  public:
    CmdNames(fw::TextLocale console, RunNotes& notes) : console_(console), notes_(notes) {}

    // A file or folder that exists, or one in an existing folder. Empty when
    // cmd cannot be given it.
    std::wstring Existing(const std::wstring& path) const {
        std::wstring form;
        if (Readable(path, form) || FolderReadable(path, form)) return form;
        return Unreadable(path);
    }

    // A file the batch file writes: made first when needed.
    std::wstring Written(const std::wstring& path) const {
        std::wstring form;
        if (Readable(path, form)) return form;
        if (!Exists(path)) {
            fw::CFile made;
            made.Open(path, fw::CFile::modeCreate | fw::CFile::modeNoTruncate |
                                fw::CFile::modeWrite | fw::CFile::shareDenyNone);
        }
        return Existing(path);
    }

  private:
    bool Representable(const std::wstring& form) const {
        return !form.empty() && fw::TextStream::CanRepresent(form, console_);
    }

    bool Readable(const std::wstring& path, std::wstring& form) const {
        form = path;
        if (Representable(form)) return true;
        form = fw::ShortPathName(path);
        return Representable(form);
    }

    // The short form of the nearest folder that exists, and the rest as it is.
    bool FolderReadable(const std::wstring& path, std::wstring& form) const {
        for (size_t end = path.size(); end > 0;) {
            const size_t separator = path.find_last_of(L"\\/", end - 1);
            if (separator == std::wstring::npos || separator == 0) return false;
            std::wstring folder = fw::ShortPathName(path.substr(0, separator + 1));
            if (!folder.empty()) {
                text::AppendTrailingSeparator(folder);
                form = folder + path.substr(separator + 1);
                return Representable(form);
            }
            end = separator;
        }
        return false;
    }

    std::wstring Unreadable(const std::wstring& path) const {
        notes_.Add(fw::FormatResString(IDS_LOG_NAME_FOR_CMD, {path}));
        return std::wstring();
    }

    fw::TextLocale console_;
    RunNotes& notes_;
};

// The PATH line with every entry as cmd reads it; an entry it cannot be given
// is left out.
batchfile::Line PathLineForCmd(const std::vector<std::wstring>& searchFolders,
                               const CmdNames& names) {
    const wchar_t* path = _wgetenv(L"PATH");
    std::vector<std::wstring> entries;
    for (const std::wstring& entry : batchfile::PathEntries(path ? path : L"", searchFolders)) {
        const std::wstring form = entry.empty() ? entry : names.Existing(entry);
        if (entry.empty() || !form.empty()) entries.push_back(text::ToLower(form));
    }
    return batchfile::PathLine(entries);
}

// reg.exe from the system folder: a support folder put first on PATH could
// hold another "reg".
std::wstring RegTool() {
    wchar_t folder[MAX_PATH + 1] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length > MAX_PATH) return std::wstring();
    return std::wstring(folder, length) + L"\\reg.exe";
}

// "name.ext" of a drawing, lower case, for the progress line.
std::wstring DrawingName(const std::wstring& path) {
    const AxvekFilenm parts(path);
    return parts.BaseName + L"." + parts.Extension;
}

}  // namespace

bool CAxvekTarvoApp::WriteBatchFile(long long first, const std::wstring& batchPath,
                                    const std::wstring& mainTail, const std::wstring& otherTail,
                                    bool scanMode, FileCause* cause) {
    const fw::TextLocale console{GetOEMCP()};
    BatchWriter out(batchPath, SystemLanguageLocale(), console);
    out.Write(batchfile::HeaderLines(scanMode));

    text::AppendTrailingSeparator(OrtxLocation);
    const CmdNames cmd(console, Notes);
    batchfile::JobNames names;
    names.CounterFile = cmd.Written(CounterFile);
    names.Logfile = cmd.Written(Logfile);
    names.HeadScript = cmd.Existing(HeadScript);
    names.DrawingScript = cmd.Written(DrawingScript);
    names.HostFolder = cmd.Existing(OrtxLocation);
    names.Profile = MigrationProfileName();
    if (!RunFile.empty()) {
        names.RunFile = cmd.Written(RunFile);
        names.RegTool = cmd.Existing(RegTool());
        names.SettingsKey = SettingsKeyPath();
    }
    const batchfile::DrawingBlocks blocks(names, PathLineForCmd(SearchFolders, cmd));
    // Without these the host cannot be started on the drawing's own script.
    const bool canStart =
        !names.HeadScript.empty() && !names.DrawingScript.empty() && !names.HostFolder.empty();
    const std::wstring mainTailName = canStart ? cmd.Existing(mainTail) : std::wstring();
    if (first < 0) first = 0;

    // A drawing whose path no form can carry is left out rather than opened
    // under another name.
    auto writeBlock = [&](long long number, const std::wstring& message,
                          const std::wstring& drawing, const std::wstring& tail) {
        if (tail.empty()) return;
        const std::wstring path = PathForTextFile(drawing, Notes);
        if (path.empty()) return;
        out.Write(blocks.Block(number, message, path, tail));
    };

    if (scanMode) {
        QueuedCount = static_cast<long long>(Drawings.size());
        const std::wstring message =
            fw::LoadResString(Operation == 1 ? IDS_LOG_SCAN_DRAWING : IDS_LOG_ANALYZE_DRAWING);
        for (size_t i = static_cast<size_t>(first); i < Drawings.size(); ++i) {
            const std::wstring& drawing = Drawings[i];
            writeBlock(static_cast<long long>(i) + 1, text::Format(message, {DrawingName(drawing)}),
                       drawing, mainTailName);
        }
        ProgressDlg.SetDrawingList(Drawings, Timeout);
        return out.Finish(cause);
    }

    MigrateList.clear();
    QueuedCount = 0;
    fw::TextStream list(GetMigrateListPath(), fw::TextStream::Mode::Read, SystemLanguageLocale());
    if (list.IsOpen()) {
        const SelectedDrawings selected(Drawings);
        const std::wstring message = fw::LoadResString(IDS_LOG_UPDATE_DRAWING);
        const std::wstring otherTailName = canStart ? cmd.Existing(otherTail) : std::wstring();
        std::wstring line;
        while (list.ReadLine(line, kMaxListLine)) {
            MigrateList.push_back(line);
            ++QueuedCount;
            if (QueuedCount - 1 < first) continue;
            writeBlock(QueuedCount, text::Format(message, {DrawingName(line)}), line,
                       selected.Contains(line) ? mainTailName : otherTailName);
        }
    }
    ProgressDlg.SetDrawingList(MigrateList, Timeout);
    return out.Finish(cause);
}
