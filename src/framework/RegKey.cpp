#include "framework/RegKey.h"

#include <vector>

#include "framework/Handle.h"

RegKey::RegKey(std::wstring path, HKEY root)
    : path_(std::move(path)), root_(root), readOnly_(root == HKEY_LOCAL_MACHINE) {
    fw::UniqueKey key(Open());
}

HKEY RegKey::Open() const {
    HKEY key = nullptr;
    const REGSAM rights = readOnly_ ? KEY_READ : (KEY_READ | KEY_WRITE);
    if (RegCreateKeyExW(root_, path_.c_str(), 0, const_cast<wchar_t*>(L""), 0, rights, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

bool RegKey::ReadDword(const wchar_t* name, DWORD& out) const {
    fw::UniqueKey key(Open());
    if (!key) return false;
    DWORD type = 0, value = 0, size = sizeof value;
    const LONG rc =
        RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    const bool closed = key.Reset();
    if (rc != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value || !closed) return false;
    out = value;
    return true;
}

bool RegKey::ReadString(const wchar_t* name, std::wstring& out, size_t capacity) const {
    fw::UniqueKey key(Open());
    if (!key) return false;
    // First try a block of 256 characters; a larger value says how big it is.
    std::vector<wchar_t> block(256, L'\0');
    DWORD type = 0;
    DWORD size = 510;
    LONG rc = RegQueryValueExW(key.Get(), name, nullptr, &type,
                               reinterpret_cast<BYTE*>(block.data()), &size);
    if (rc == ERROR_MORE_DATA) {
        block.assign(size / 2 + 1, L'\0');
        DWORD offered = static_cast<DWORD>((block.size() - 1) * sizeof(wchar_t));
        size = offered;
        rc = RegQueryValueExW(key.Get(), name, nullptr, &type,
                              reinterpret_cast<BYTE*>(block.data()), &size);
    }
    const bool closed = key.Reset();
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || !closed) return false;
    // The stored data need not end in a terminator; the block always has one
    // spare zero character after what was written.
    const size_t stored = size / sizeof(wchar_t);
    size_t length = 0;
    while (length < stored && block[length] != L'\0') ++length;
    if (length >= capacity) return false;
    out.assign(block.data(), length);
    return true;
}

bool RegKey::WriteDword(const wchar_t* name, DWORD value) const {
    fw::UniqueKey key(Open());
    if (!key) return false;
    const LONG rc = RegSetValueExW(key.Get(), name, 0, REG_DWORD,
                                   reinterpret_cast<const BYTE*>(&value), sizeof value);
    const bool closed = key.Reset();
    return rc == ERROR_SUCCESS && closed;
}

bool RegKey::WriteString(const wchar_t* name, const std::wstring& value) const {
    fw::UniqueKey key(Open());
    if (!key) return false;
    const LONG rc =
        RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    const bool closed = key.Reset();
    return rc == ERROR_SUCCESS && closed;
}

bool RegKey::DeleteValue(const wchar_t* name) const {
    fw::UniqueKey key(Open());
    if (!key) return false;
    const LONG rc = RegDeleteValueW(key.Get(), name);
    const bool closed = key.Reset();
    return rc == ERROR_SUCCESS && closed;
}
