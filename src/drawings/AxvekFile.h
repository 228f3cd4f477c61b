// The program's small text-file class: the system ANSI code page on disk,
// UTF-16 in memory, every open exclusive, and file errors shown to the user
// (string 2300 with the reason for the cause) unless ReportErrors is off.
// AxvekDmlFile is the same class used for drawing list files.
//
// Used as a local object: construct with a path, Open, read or write,
// destroy (which closes). No exception leaves the class.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/FileCause.h"
#include "drawings/core/DmlFormat.h"
#include "framework/File.h"

class AxvekFile {
  public:
    explicit AxvekFile(const std::wstring& path);
    virtual ~AxvekFile();
    AxvekFile(const AxvekFile&) = delete;
    AxvekFile& operator=(const AxvekFile&) = delete;

    // Opens Path exclusively: for reading, or for writing (created, or an
    // existing file emptied). An empty path gives false and no message; any
    // other failure is reported.
    bool Open(bool forWriting);
    // Closes the file; an unfinished replacement (OpenReplacing) is dropped
    // and Path stays as it was.
    void Close();

    // Reading, after Open for reading. Reads are buffered; what is held is one
    // buffer of the file, the current line and the list being built. After a
    // failed read (reported once) every read fails.
    bool ReadChar(wchar_t& c);
    // Stores up to count characters, adds no terminator; returns how many.
    size_t ReadChars(wchar_t* buffer, size_t count);
    // The next line without CR (wherever they stand) and LF; true when it is
    // not empty.
    bool ReadLine(std::wstring& line);
    // The characters up to and including stop, CR kept.
    void ReadUntil(wchar_t stop, std::wstring& text);
    // A whole drawing list. False, with no entries, for a wrong header or a
    // failed read; true for a header with no drawing lines.
    bool ReadList(std::vector<std::wstring>& entries, bool skipMarked);

    // Writing, after Open for writing or OpenReplacing. A character the code
    // page cannot hold is written as its default character. After a failed
    // write (reported once) every write fails.
    bool WriteText(const wchar_t* text, size_t length);
    bool WriteText(std::wstring_view text) { return WriteText(text.data(), text.size()); }
    // The header line, then "[x]" or "[ ]" and the path for each path; marks
    // may be absent or shorter than paths (unmarked). True when every line
    // was written.
    bool WriteList(const std::vector<std::wstring>& paths,
                   const std::vector<uint8_t>* marks = nullptr);

    // Writing a whole file without ever losing the old one: OpenReplacing
    // fails (reported) where Open for writing would, then opens a new file
    // beside Path for the writes. CommitReplace puts it in Path's place only
    // when every write and the close succeeded; otherwise, or on Close or
    // destruction without commit, it is removed and Path keeps its old
    // content. Where the folder takes no new file but Path can be written,
    // Path itself is rewritten (its attributes stay), and the old content is
    // written back instead of a commit. Failures are reported.
    bool OpenReplacing();
    bool CommitReplace();

    // Rewrites the drawing list so that exactly the entries found in done
    // (ignoring letter case) carry "[x]", through OpenReplacing. Opens and
    // closes the file itself; true when the list was rewritten. A list that
    // cannot be read, or has a wrong header, is left as it is.
    bool MarkList(const std::vector<std::wstring>& done);

    // Shows string 2300 with Path and the reason for the cause (caption 2001,
    // error icon), unless ReportErrors is off.
    void ReportError(FileCause cause);

    std::wstring Path;
    bool ReportErrors = true;

  private:
    bool NextByte(unsigned char& byte);
    bool FillBuffer();
    bool WriteBytes(const std::string& bytes);
    void DropReplacement();
    bool OpenInPlace();
    void RestoreInPlace();

    fw::CFile File;
    std::unique_ptr<unsigned char[]> buffer_;
    size_t bufferPos_ = 0;
    size_t bufferEnd_ = 0;
    bool readFailed_ = false;
    bool writeFailed_ = false;
    std::wstring replacement_;  // the new file beside Path while replacing
    bool inPlace_ = false;      // rewriting Path itself while replacing
    std::string original_;      // Path's old content then
};

// A drawing list file (extension "dml"): the same class, under its own name.
class AxvekDmlFile : public AxvekFile {
  public:
    using AxvekFile::AxvekFile;
};

// The code page of the list files (CP_ACP), and any other Windows code page
// in the same form (a double-byte one, for instance).
const dml::CodePage& AnsiCodePage();
dml::CodePage WindowsCodePage(UINT codePage);
