// A registry key by path. It never keeps the key open: every operation opens
// it (creating it when missing and allowed), does one thing and closes it.
// Under HKEY_LOCAL_MACHINE it asks for read rights only.
#pragma once

#include <windows.h>

#include <string>

class RegKey {
  public:
    // Opens the key once and closes it again, so that a missing key under a
    // writable root exists from here on.
    RegKey(std::wstring path, HKEY root);

    const std::wstring& Path() const { return path_; }
    bool ReadOnly() const { return readOnly_; }

    // True only for a REG_DWORD value; out is untouched otherwise.
    bool ReadDword(const wchar_t* name, DWORD& out) const;
    // True only for REG_SZ or REG_EXPAND_SZ (not expanded) that holds fewer
    // than capacity characters; a longer value counts as missing, since a cut
    // path or name would name something else. out is untouched on false.
    bool ReadString(const wchar_t* name, std::wstring& out, size_t capacity) const;
    bool WriteDword(const wchar_t* name, DWORD value) const;
    bool WriteString(const wchar_t* name, const std::wstring& value) const;
    bool DeleteValue(const wchar_t* name) const;

  private:
    HKEY Open() const;

    std::wstring path_;
    HKEY root_;
    bool readOnly_;
};
