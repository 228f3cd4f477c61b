#include "drawings/AxvekFile.h"

#include <algorithm>

#include "core/Text.h"
#include "framework/Resources.h"
#include "framework/TextStream.h"
#include "resources/ids.h"

namespace {

// One read call per buffer, not per byte: a list of 100,000 drawings is a few
// megabytes, and a system call per byte makes reading it take seconds.
constexpr DWORD kReadBufferSize = 16384;
// Text is converted and written in pieces of this many characters at most.
constexpr size_t kWritePiece = 16384;
constexpr fw::TextLocale kAnsi{CP_ACP};

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Puts replacement in target's place with one rename, so a failure leaves
// the target as it was; the new file gets the old one's attributes (a hidden
// list stays hidden). Returns 0 or the system error. (ReplaceFileW is not one
// step everywhere: Wine moves the old file aside first and, when that fails,
// leaves an empty file of its own behind.)
DWORD ReplaceInto(const std::wstring& target, const std::wstring& replacement) {
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (!MoveFileExW(replacement.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return GetLastError();
    constexpr DWORD kMarks = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kMarks))
        SetFileAttributesW(target.c_str(), attributes & (kMarks | FILE_ATTRIBUTE_ARCHIVE));
    return 0;
}

}  // namespace

dml::CodePage WindowsCodePage(UINT codePage) {
    return dml::CodePage(
        [codePage](unsigned char byte) { return IsDBCSLeadByteEx(codePage, byte) != FALSE; },
        [codePage](const char* bytes, size_t count, wchar_t& out) {
            return MultiByteToWideChar(codePage, 0, bytes, static_cast<int>(count), &out, 1) > 0;
        });
}

const dml::CodePage& AnsiCodePage() {
    static const dml::CodePage codePage = WindowsCodePage(CP_ACP);
    return codePage;
}

AxvekFile::AxvekFile(const std::wstring& path) : Path(path) {}

AxvekFile::~AxvekFile() {
    Close();
}

bool AxvekFile::Open(bool forWriting) {
    Close();
    if (Path.empty()) return false;
    const unsigned flags =
        forWriting ? fw::CFile::modeCreate | fw::CFile::modeWrite : fw::CFile::modeRead;
    FileCause cause = FileCause::None;
    if (!File.Open(Path, flags, &cause)) {
        ReportError(cause);
        return false;
    }
    return true;
}

void AxvekFile::Close() {
    if (inPlace_) {
        RestoreInPlace();
    } else if (!replacement_.empty()) {
        DropReplacement();
    } else if (File.IsOpen()) {
        FileCause cause = FileCause::None;
        if (!File.Close(&cause)) ReportError(cause);
    }
    bufferPos_ = bufferEnd_ = 0;
    readFailed_ = false;
    writeFailed_ = false;
}

void AxvekFile::DropReplacement() {
    File.Close();
    DeleteFileW(replacement_.c_str());
    replacement_.clear();
}

bool AxvekFile::FillBuffer() {
    if (!buffer_) buffer_ = std::make_unique<unsigned char[]>(kReadBufferSize);
    bufferPos_ = bufferEnd_ = 0;
    DWORD read = 0;
    FileCause cause = FileCause::None;
    if (!File.Read(buffer_.get(), kReadBufferSize, &read, &cause)) {
        readFailed_ = true;
        ReportError(cause);
        return false;
    }
    bufferEnd_ = std::min<size_t>(read, kReadBufferSize);
    return bufferEnd_ > 0;
}

bool AxvekFile::NextByte(unsigned char& byte) {
    if (bufferPos_ >= bufferEnd_ && !FillBuffer()) return false;
    byte = buffer_[bufferPos_++];
    return true;
}

bool AxvekFile::ReadChar(wchar_t& c) {
    if (!File.IsOpen() || readFailed_) return false;
    return dml::ReadChar(
        AnsiCodePage(), [this](unsigned char& b) { return NextByte(b); }, c);
}

size_t AxvekFile::ReadChars(wchar_t* buffer, size_t count) {
    if (!buffer) return 0;
    size_t stored = 0;
    while (stored < count && ReadChar(buffer[stored])) ++stored;
    return stored;
}

bool AxvekFile::ReadLine(std::wstring& line) {
    return dml::ReadLine([this](wchar_t& c) { return ReadChar(c); }, line);
}

void AxvekFile::ReadUntil(wchar_t stop, std::wstring& text) {
    dml::ReadUntil([this](wchar_t& c) { return ReadChar(c); }, stop, text);
}

bool AxvekFile::ReadList(std::vector<std::wstring>& entries, bool skipMarked) {
    const std::wstring header = fw::LoadResString(IDS_LIST_HEADER);
    const bool ok = dml::ReadList([this](std::wstring& line) { return ReadLine(line); }, header,
                                  skipMarked, entries);
    // A list cut short by a read error is not the list: rewriting it would
    // drop the rest.
    if (!ok || readFailed_) {
        entries.clear();
        return false;
    }
    return true;
}

bool AxvekFile::WriteBytes(const std::string& bytes) {
    if (bytes.empty()) return true;
    FileCause cause = FileCause::None;
    if (!File.Write(bytes.data(), static_cast<DWORD>(bytes.size()), &cause)) {
        writeFailed_ = true;
        ReportError(cause);
        return false;
    }
    return true;
}

bool AxvekFile::WriteText(const wchar_t* text, size_t length) {
    if (!File.IsOpen() || writeFailed_) return false;
    if (!text) return length == 0;
    while (length > 0) {
        size_t piece = std::min(length, kWritePiece);
        // Never split a surrogate pair between two conversions.
        if (piece < length && piece > 1 && text[piece - 1] >= 0xD800 && text[piece - 1] <= 0xDBFF)
            --piece;
        // Never a look-alike for a character the code page lacks: it could
        // name another, existing drawing.
        if (!WriteBytes(fw::TextStream::Encode(std::wstring_view(text, piece), kAnsi, nullptr)))
            return false;
        text += piece;
        length -= piece;
    }
    return true;
}

bool AxvekFile::WriteList(const std::vector<std::wstring>& paths,
                          const std::vector<uint8_t>* marks) {
    // Whole lines are gathered and written in pieces; the first failing write
    // ends the list, as a failing line would.
    std::wstring text;
    dml::AppendHeaderLine(text, fw::LoadResString(IDS_LIST_HEADER));
    for (size_t i = 0; i < paths.size(); ++i) {
        dml::AppendListLine(text, paths[i], dml::MarkAt(marks, i));
        if (text.size() >= kWritePiece) {
            if (!WriteText(text)) return false;
            text.clear();
        }
    }
    return WriteText(text);
}

bool AxvekFile::OpenReplacing() {
    Close();
    if (Path.empty()) return false;
    FileCause cause = FileCause::None;
    bool exists = true;
    {
        // Fails where an open for writing would fail (in use, read-only, bad
        // folder) before anything is written; a missing file is fine.
        fw::CFile probe;
        if (!probe.Open(Path, fw::CFile::modeWrite, &cause)) {
            if (cause != FileCause::FileNotFound) {
                ReportError(cause);
                return false;
            }
            exists = false;
        }
    }
    static unsigned long sequence = 0;
    const unsigned long base = GetCurrentProcessId() << 8;
    for (int attempt = 0; attempt < 64; ++attempt) {
        const std::wstring name = Path + L".~" + text::Format(L"%x", {base + (++sequence & 0xFF)});
        if (File.Open(name, fw::CFile::modeCreateNew | fw::CFile::modeWrite, &cause)) {
            replacement_ = name;
            return true;
        }
        if (!Exists(name)) break;  // a real failure, not a name taken
    }
    // A folder that takes no new file may still let the file itself be
    // written: then it is rewritten where it is, keeping its attributes.
    if (exists && OpenInPlace()) return true;
    ReportError(cause);
    return false;
}

bool AxvekFile::OpenInPlace() {
    FileCause cause = FileCause::None;
    if (!File.Open(Path, fw::CFile::modeReadWrite, &cause)) return false;
    // The old content, to put back when the new one cannot be written whole.
    std::string original;
    char chunk[16384];
    DWORD read = 0;
    while (File.Read(chunk, sizeof chunk, &read, &cause) && read > 0) original.append(chunk, read);
    if (cause != FileCause::None || !File.SeekToBegin(&cause)) {
        File.Close();
        return false;
    }
    original_ = std::move(original);
    inPlace_ = true;
    return true;
}

void AxvekFile::RestoreInPlace() {
    // It fitted before, so it fits again.
    if (File.SeekToBegin() && File.Write(original_.data(), static_cast<DWORD>(original_.size())))
        File.SetEndHere();
    File.Close();
    inPlace_ = false;
    original_.clear();
}

bool AxvekFile::CommitReplace() {
    if (replacement_.empty() && !inPlace_) return false;
    if (writeFailed_) {  // already reported
        Close();
        return false;
    }
    FileCause cause = FileCause::None;
    if (inPlace_) {
        if (!File.SetEndHere(&cause) || !File.Flush(&cause)) {
            ReportError(cause);
            Close();
            return false;
        }
        inPlace_ = false;
        original_.clear();
        if (!File.Close(&cause)) {
            ReportError(cause);
            return false;
        }
        return true;
    }
    if (!File.Flush(&cause) || !File.Close(&cause)) {
        ReportError(cause);
        Close();
        return false;
    }
    const std::wstring replacement = std::move(replacement_);
    replacement_.clear();
    const DWORD error = ReplaceInto(Path, replacement);
    if (error == 0) return true;

    DeleteFileW(replacement.c_str());
    // A rename refused says little; an open of the old file tells why (in
    // use by another program, say).
    cause = CauseFromOsError(error);
    fw::CFile probe;
    FileCause probeCause = FileCause::None;
    if (!probe.Open(Path, fw::CFile::modeWrite, &probeCause) &&
        probeCause != FileCause::FileNotFound)
        cause = probeCause;
    ReportError(cause);
    return false;
}

bool AxvekFile::MarkList(const std::vector<std::wstring>& done) {
    if (!Open(false)) return false;
    std::vector<std::wstring> entries;
    const bool read = ReadList(entries, false);
    Close();
    if (!read) return false;
    const std::vector<uint8_t> marks = dml::MarksFor(entries, done);
    if (!OpenReplacing()) return false;
    if (!WriteList(entries, &marks)) {
        Close();
        return false;
    }
    return CommitReplace();
}

void AxvekFile::ReportError(FileCause cause) {
    if (!ReportErrors) return;
    fw::ShowMessage(fw::FormatResString(IDS_FILE_ERROR, {Path, fw::FileErrorReason(cause)}),
                    MB_OK | MB_ICONERROR);
}
