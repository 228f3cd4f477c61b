// Win32 helpers shared by the stand-in host and its extension: handle owners,
// text in the system's ANSI code page, line-at-a-time appends that never keep a
// file open, the registry and a few paths. Independent of the product's code.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace standin {

template <typename Traits>
class Owned {
  public:
    using T = typename Traits::Type;
    Owned() = default;
    explicit Owned(T value) : value_(value) {}
    ~Owned() { Reset(); }
    Owned(Owned&& other) noexcept : value_(std::exchange(other.value_, Traits::Invalid())) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) {
            Reset();
            value_ = std::exchange(other.value_, Traits::Invalid());
        }
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    T Get() const { return value_; }
    explicit operator bool() const { return Valid(); }
    bool Valid() const { return value_ != Traits::Invalid() && value_ != T(); }
    void Reset() {
        if (Valid()) Traits::Close(value_);
        value_ = Traits::Invalid();
    }

  private:
    T value_ = Traits::Invalid();
};

struct FileTraits {
    using Type = HANDLE;
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct KeyTraits {
    using Type = HKEY;
    static HKEY Invalid() { return nullptr; }
    static void Close(HKEY h) { RegCloseKey(h); }
};
struct ModuleTraits {
    using Type = HMODULE;
    static HMODULE Invalid() { return nullptr; }
    static void Close(HMODULE h) { FreeLibrary(h); }
};

using FileHandle = Owned<FileTraits>;
using KeyHandle = Owned<KeyTraits>;
using ModuleHandle = Owned<ModuleTraits>;

// Text in the system's ANSI code page. ToAnsi sets *exact to false when a
// character has no exact counterpart there (it then stands as "?").
std::string ToAnsi(std::wstring_view s, bool* exact = nullptr);
std::wstring FromAnsi(std::string_view s);

// The system's text of an error code, without the trailing line end.
std::wstring ErrorText(DWORD error);

// The whole file (opened shared); false with the error code when it cannot be
// read or is larger than maxSize.
bool ReadWholeFile(const std::wstring& path, std::vector<uint8_t>& bytes, DWORD& error,
                   size_t maxSize);

// Appends one line and CR LF in the ANSI code page: opens the file shared
// (creating it), writes and closes it. A file whose last line lacks its line
// end gets one first. With exactOnly, a line the code page cannot hold
// exactly is not written (result false, error ERROR_NO_UNICODE_TRANSLATION).
bool AppendAnsiLine(const std::wstring& path, std::wstring_view line, bool exactOnly,
                    DWORD* error = nullptr);
// The lines of an ANSI text file (CR LF or LF); empty when it cannot be read.
std::vector<std::wstring> ReadAnsiLines(const std::wstring& path);

// The exchange lists live in the folder the TEMP variable names: TEMP + "\" +
// name; with TEMP unset the path starts at the root of the current drive.
std::wstring ExchangeListPath(const wchar_t* name);

// The folder of a module, with a trailing "\".
std::wstring ModuleFolder(HMODULE module);
// GetFullPathNameW, or the path itself when that fails.
std::wstring FullPath(const std::wstring& path);
bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);

// A string value (REG_SZ or REG_EXPAND_SZ, not expanded); false when missing.
bool ReadRegString(HKEY root, const std::wstring& key, const wchar_t* name, std::wstring& value);
// A REG_DWORD value; false when missing or of another type.
bool ReadRegDword(HKEY root, const std::wstring& key, const wchar_t* name, DWORD& value);
bool WriteRegString(HKEY root, const std::wstring& key, const wchar_t* name,
                    const std::wstring& value);

}  // namespace standin
