// Text files in a multibyte code page, UTF-16 in memory: the program's one
// place for the batch file, host scripts, exchange lists and logs. Opened
// shared for reading and writing, so other writers can append in between;
// lines end in CR LF on disk.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/FileCause.h"
#include "framework/File.h"

namespace fw {

// The code page a text stream converts through.
struct TextLocale {
    UINT CodePage = CP_ACP;
};

class TextStream {
  public:
    enum class Mode {
        Read,
        Write,   // create, or empty an existing file
        Append,  // create when missing; every write goes to the end
    };

    TextStream() = default;
    TextStream(const std::wstring& path, Mode mode, TextLocale locale) { Open(path, mode, locale); }

    bool Open(const std::wstring& path, Mode mode, TextLocale locale);
    bool IsOpen() const { return file_.IsOpen(); }
    // False when the close reported a failure.
    bool Close();
    // Why the last open, write or close failed (None when nothing failed).
    FileCause Cause() const { return cause_; }

    // Writes the text with each "\n" as CR LF, in one write call. A character
    // the code page cannot hold is written as its default character (never
    // a look-alike) and the rest is written all the same; *lossy tells.
    // After a failed write every write fails.
    bool Write(std::wstring_view text, bool* lossy = nullptr);
    bool WriteLine(std::wstring_view line, bool* lossy = nullptr);

    // Reads the next line without its line end (a CR right before the LF is
    // dropped). Returns false at the end of the file, and for a line of more
    // than maxChars characters, after which every read fails.
    bool ReadLine(std::wstring& line, size_t maxChars);

    // Whether the code page holds every character of the text exactly.
    static bool CanRepresent(std::wstring_view text, TextLocale locale);
    static std::string Encode(std::wstring_view text, TextLocale locale, bool* lossy);
    static std::wstring Decode(std::string_view bytes, TextLocale locale);

  private:
    bool FillBuffer();

    CFile file_;
    FileCause cause_ = FileCause::None;
    TextLocale locale_;
    std::string buffer_;
    size_t bufferPos_ = 0;
    bool atEnd_ = false;
    bool failed_ = false;
};

}  // namespace fw
