// The migration log (the global Logfile): every call opens it for appending,
// shared, writes and closes it again, so that the batch file and the host's
// extension can append in between.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

// Appends the text as it is (each "\n" a line end) in one write.
void AppendLogText(const std::wstring& text);
// Appends one line.
void AppendLogLine(const std::wstring& line);
// Appends the string with that id as one line.
void AppendLogMessage(UINT id);
// Appends a detail line: a tab, then the text.
void AppendLogDetail(const std::wstring& text);

// Detail lines found while a run's files are written: names that cannot be
// passed on, a value the head script refused. They are held until the run's
// log header is written, so that they stand under it, and each is written
// once in a run, however often it is resumed.
class RunNotes {
  public:
    // Holds the detail line unless this run has it already.
    void Add(const std::wstring& line);
    // Appends the held lines as detail lines, in the order they came.
    void WriteHeld();
    // A new run: what the last one wrote may be written again.
    void NewRun() { written_.clear(); }
    const std::vector<std::wstring>& Held() const { return held_; }

  private:
    std::vector<std::wstring> held_;
    std::set<std::wstring> written_;
};

// A file or folder in a form the text files' code page can hold: the path
// itself when it can, else its short (8.3) form when that one can. Otherwise
// empty: written with the code page's default character it would name
// another file, or a pattern.
std::wstring TextFileForm(const std::wstring& path);

// TextFileForm of a drawing; when it is empty a note names the drawing.
std::wstring PathForTextFile(const std::wstring& path, RunNotes& notes);

// The time stamp of a log header: the local time formatted with the given
// wcsftime format, or with "%Y-%m-%d %H:%M:%S" when the format is empty or
// holds a conversion the runtime does not know. Empty when it does not fit in
// 128 characters.
std::wstring LogTimeStamp(const std::wstring& format);
