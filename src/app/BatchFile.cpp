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
// makes hundreds of thousands of lines.
class BatchWriter {
  public:
    BatchWriter(const std::wstring& path, fw::TextLocale text, fw::TextLocale names)
        : text_(text), names_(names) {
        file_.Open(path, fw::CFile::modeCreate | fw::CFile::modeWrite | fw::CFile::shareDenyNone);
    }
    ~BatchWriter() { Flush(); }
    BatchWriter(const BatchWriter&) = delete;
    BatchWriter& operator=(const BatchWriter&) = delete;

    void Write(const batchfile::Line& line) {
        if (!file_.IsOpen()) return;
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

  private:
    static constexpr size_t kFlushSize = 64 * 1024;

    void Flush() {
        if (file_.IsOpen() && !buffer_.empty())
            file_.Write(buffer_.data(), static_cast<DWORD>(buffer_.size()));
        buffer_.clear();
    }

    fw::CFile file_;
    fw::TextLocale text_;
    fw::TextLocale names_;
    std::string buffer_;
};

// The name in a form the console code page holds: the name itself, else its
// short (8.3) form, or that of its folder when the file does not exist yet
// (the counter file, the drawing's script). Otherwise the name as it is.
std::wstring NameForCmd(const std::wstring& path, fw::TextLocale console) {
    if (fw::TextStream::CanRepresent(path, console)) return path;
    std::wstring shortPath = fw::ShortPathName(path);
    if (shortPath.empty()) {
        const size_t separator = path.find_last_of(L"\\/");
        if (separator != std::wstring::npos) {
            const std::wstring folder = fw::ShortPathName(path.substr(0, separator + 1));
            if (!folder.empty()) {
                shortPath = folder;
                text::AppendTrailingSeparator(shortPath);
                shortPath += path.substr(separator + 1);
            }
        }
    }
    if (!shortPath.empty() && fw::TextStream::CanRepresent(shortPath, console)) return shortPath;
    return path;
}

// "name.ext" of a drawing, lower case, for the progress line.
std::wstring DrawingName(const std::wstring& path) {
    const AxvekFilenm parts(path);
    return parts.BaseName + L"." + parts.Extension;
}

}  // namespace

void CAxvekTarvoApp::WriteBatchFile(long long first, const std::wstring& batchPath,
                                    const std::wstring& mainTail, const std::wstring& otherTail,
                                    bool scanMode) {
    const fw::TextLocale console{GetOEMCP()};
    BatchWriter out(batchPath, SystemLanguageLocale(), console);
    out.Write(batchfile::HeaderLines(scanMode));

    text::AppendTrailingSeparator(OrtxLocation);
    const wchar_t* path = _wgetenv(L"PATH");
    batchfile::JobNames names;
    names.CounterFile = NameForCmd(CounterFile, console);
    names.Logfile = NameForCmd(Logfile, console);
    names.HeadScript = NameForCmd(HeadScript, console);
    names.DrawingScript = NameForCmd(DrawingScript, console);
    names.HostFolder = NameForCmd(OrtxLocation, console);
    names.Profile = MigrationProfileName();
    const batchfile::DrawingBlocks blocks(names,
                                          batchfile::PathLine(path ? path : L"", SearchFolders));
    const std::wstring mainTailName = NameForCmd(mainTail, console);
    if (first < 0) first = 0;

    if (scanMode) {
        QueuedCount = static_cast<long long>(Drawings.size());
        const std::wstring message =
            fw::LoadResString(Operation == 1 ? IDS_LOG_SCAN_DRAWING : IDS_LOG_ANALYZE_DRAWING);
        for (size_t i = static_cast<size_t>(first); i < Drawings.size(); ++i) {
            const std::wstring& drawing = Drawings[i];
            out.Write(blocks.Block(static_cast<long long>(i) + 1,
                                   text::Format(message, {DrawingName(drawing)}),
                                   PathForTextFile(drawing), mainTailName));
        }
        ProgressDlg.SetDrawingList(Drawings, Timeout);
        return;
    }

    MigrateList.clear();
    QueuedCount = 0;
    fw::TextStream list(GetMigrateListPath(), fw::TextStream::Mode::Read, SystemLanguageLocale());
    if (list.IsOpen()) {
        const SelectedDrawings selected(Drawings);
        const std::wstring message = fw::LoadResString(IDS_LOG_UPDATE_DRAWING);
        const std::wstring otherTailName = NameForCmd(otherTail, console);
        std::wstring line;
        while (list.ReadLine(line, kMaxListLine)) {
            MigrateList.push_back(line);
            ++QueuedCount;
            if (QueuedCount - 1 < first) continue;
            out.Write(blocks.Block(QueuedCount, text::Format(message, {DrawingName(line)}),
                                   PathForTextFile(line),
                                   selected.Contains(line) ? mainTailName : otherTailName));
        }
    }
    ProgressDlg.SetDrawingList(MigrateList, Timeout);
}
