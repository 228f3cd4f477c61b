#include "stand-ins/host/win/HostFiles.h"

#include <algorithm>
#include <cstdlib>

#include "stand-ins/core/StandInText.h"

namespace standin {

std::string ToAnsi(std::wstring_view s, bool* exact) {
    if (exact) *exact = true;
    if (s.empty()) return std::string();
    const UINT cp = GetACP();
    // UTF-8 holds everything; the default-character check is not allowed for it.
    const bool check = cp != CP_UTF8;
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(cp, check ? WC_NO_BEST_FIT_CHARS : 0, s.data(),
                                      static_cast<int>(s.size()), nullptr, 0, nullptr,
                                      check ? &usedDefault : nullptr);
    if (n <= 0) {
        if (exact) *exact = false;
        return std::string();
    }
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(cp, check ? WC_NO_BEST_FIT_CHARS : 0, s.data(), static_cast<int>(s.size()),
                        out.data(), n, nullptr, check ? &usedDefault : nullptr);
    if (exact && usedDefault) *exact = false;
    return out;
}

std::wstring FromAnsi(std::string_view s) {
    if (s.empty()) return std::wstring();
    const int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
    return out;
}

std::wstring ErrorText(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = n && buffer ? std::wstring(buffer, n) : std::wstring();
    if (buffer) LocalFree(buffer);
    text = Trim(text);
    while (!text.empty() && text.back() == L'.') text.pop_back();
    return text.empty() ? L"error " + std::to_wstring(error) : text;
}

bool ReadWholeFile(const std::wstring& path, std::vector<uint8_t>& bytes, DWORD& error,
                   size_t maxSize) {
    bytes.clear();
    error = ERROR_SUCCESS;
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        error = GetLastError();
        return false;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size)) {
        error = GetLastError();
        return false;
    }
    if (static_cast<unsigned long long>(size.QuadPart) > maxSize) {
        error = ERROR_FILE_TOO_LARGE;
        return false;
    }
    bytes.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        if (!ReadFile(file.Get(), bytes.data() + done, want, &got, nullptr)) {
            error = GetLastError();
            return false;
        }
        if (got == 0) break;  // shrank while we read
        done += got;
    }
    bytes.resize(done);
    return true;
}

bool AppendAnsiLine(const std::wstring& path, std::wstring_view line, bool exactOnly,
                    DWORD* error) {
    bool exact = true;
    std::string bytes = ToAnsi(line, &exact);
    if (exactOnly && !exact) {
        if (error) *error = ERROR_NO_UNICODE_TRANSLATION;
        return false;
    }
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ | FILE_APPEND_DATA,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        if (error) *error = GetLastError();
        return false;
    }
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file.Get(), &size) && size.QuadPart > 0) {
        LARGE_INTEGER last{};
        last.QuadPart = size.QuadPart - 1;
        char c = '\n';
        DWORD got = 0;
        if (SetFilePointerEx(file.Get(), last, nullptr, FILE_BEGIN) &&
            ReadFile(file.Get(), &c, 1, &got, nullptr) && got == 1 && c != '\n')
            bytes.insert(0, "\r\n");
    }
    bytes += "\r\n";
    DWORD written = 0;
    if (!WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
        if (error) *error = GetLastError();
        return false;
    }
    if (error) *error = ERROR_SUCCESS;
    return true;
}

std::vector<std::wstring> ReadAnsiLines(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    DWORD error = 0;
    std::vector<std::wstring> lines;
    if (!ReadWholeFile(path, bytes, error, 64u << 20)) return lines;
    for (const std::string& line :
         SplitLines(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())))
        lines.push_back(FromAnsi(line));
    return lines;
}

std::wstring ExchangeListPath(const wchar_t* name) {
    const wchar_t* temp = _wgetenv(L"TEMP");
    return std::wstring(temp ? temp : L"") + L"\\" + name;
}

std::wstring ModuleFolder(HMODULE module) {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size())));
    return FolderOf(path);
}

std::wstring FullPath(const std::wstring& path) {
    const DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return path;
    std::wstring full(n, L'\0');
    const DWORD got = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    if (got == 0 || got >= n) return path;
    full.resize(got);
    return full;
}

bool FileExists(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadRegDword(HKEY root, const std::wstring& key, const wchar_t* name, DWORD& value) {
    DWORD size = sizeof value;
    return RegGetValueW(root, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size) ==
           ERROR_SUCCESS;
}

bool ReadRegString(HKEY root, const std::wstring& key, const wchar_t* name, std::wstring& value) {
    const DWORD flags = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
    DWORD size = 0;
    if (RegGetValueW(root, key.c_str(), name, flags, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return false;
    std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (RegGetValueW(root, key.c_str(), name, flags, nullptr, buffer.data(), &size) !=
        ERROR_SUCCESS)
        return false;
    value.assign(buffer.c_str());
    return true;
}

bool WriteRegString(HKEY root, const std::wstring& key, const wchar_t* name,
                    const std::wstring& value) {
    HKEY raw = nullptr;
    if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr) !=
        ERROR_SUCCESS)
        return false;
    KeyHandle k(raw);
    return RegSetValueExW(k.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) ==
           ERROR_SUCCESS;
}

}  // namespace standin
