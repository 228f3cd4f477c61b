#include "support/WinTest.h"

#include <shlobj.h>

#include <shellapi.h>

#include <atomic>

#include "framework/Resources.h"
#include "framework/TextStream.h"
#include "host/Language.h"
#include "resources/ids.h"

namespace testenv {

std::wstring BinDir() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

std::wstring ResourceLibraryFile(const wchar_t* language) {
    return BinDir() + L"ortxa\\" + language + L"\\axTarvoRes.dll";
}

void ClearHostRegistry() {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Kelvane");
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Kelvane");
}

void SetString(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value,
               DWORD type) {
    HKEY h = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(h, name, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(h);
}

void SetDword(HKEY root, const std::wstring& key, const wchar_t* name, DWORD value) {
    HKEY h = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(h, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(h);
}

bool GetString(HKEY root, const std::wstring& key, const wchar_t* name, std::wstring& value) {
    DWORD size = 0;
    if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                     nullptr, nullptr, &size) != ERROR_SUCCESS)
        return false;
    std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
    if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                     nullptr, buffer.data(), &size) != ERROR_SUCCESS)
        return false;
    value.assign(buffer.c_str());
    return true;
}

bool GetDword(HKEY root, const std::wstring& key, const wchar_t* name, DWORD& value) {
    DWORD size = sizeof value;
    return RegGetValueW(root, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size) ==
           ERROR_SUCCESS;
}

bool KeyExists(HKEY root, const std::wstring& key) {
    HKEY h = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
}

bool ValueExists(HKEY root, const std::wstring& key, const wchar_t* name) {
    return RegGetValueW(root, key.c_str(), name, RRF_RT_ANY, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

void InstallHost(const HostInstall& install) {
    const std::wstring release = L"Software\\Kelvane\\Orthex\\R25.1";
    const std::wstring product = release + L"\\" + install.CurVer;
    SetString(HKEY_CURRENT_USER, release, L"CurVer", install.CurVer);
    SetString(HKEY_LOCAL_MACHINE, product, L"ProductId", install.ProductId);
    SetString(HKEY_LOCAL_MACHINE, product, L"LocaleId", install.LocaleId);
    SetString(HKEY_LOCAL_MACHINE, product, L"OrtxLocation", install.OrtxLocation);
    if (install.MigrationProfile) {
        HKEY h = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, (product + L"\\Profiles\\<<ORTXAPP>>").c_str(), 0,
                        nullptr, 0, KEY_WRITE, nullptr, &h, nullptr);
        if (h) RegCloseKey(h);
    }
}

std::wstring TempFolder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, buffer);
    return buffer;
}

namespace {

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path + L"\\");
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

std::atomic<int> g_scratchCount{0};

}  // namespace

ScratchDir::ScratchDir() {
    path_ = TempFolder() + L"axtest-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++g_scratchCount) + L"\\";
    RemoveTree(path_);
    CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchDir::~ScratchDir() {
    // A file dialog of the test may have made the folder current, and the
    // current folder cannot be removed: left behind, it would be where the
    // next file dialog of the prefix opens (the system remembers it).
    wchar_t current[MAX_PATH + 1] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    if (_wcsnicmp(current, path_.c_str(), path_.size() - 1) == 0)
        SetCurrentDirectoryW(TempFolder().c_str());
    RemoveTree(path_);
}

std::vector<std::wstring> ScratchDir::Names() const {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((path_ + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

std::string ReadBytes(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::string();
    std::string bytes;
    char chunk[65536];
    DWORD read = 0;
    while (ReadFile(h, chunk, sizeof chunk, &read, nullptr) && read) bytes.append(chunk, read);
    CloseHandle(h);
    return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << Narrow(path);
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Narrow(const std::wstring& s) {
    int n = WideCharToMultiByte(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

std::vector<std::string> SplitCrLf(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t begin = 0, end;
    while ((end = bytes.find("\r\n", begin)) != std::string::npos) {
        lines.push_back(bytes.substr(begin, end - begin));
        begin = end + 2;
    }
    if (begin < bytes.size()) lines.push_back(bytes.substr(begin));
    return lines;
}

std::string Ansi(const std::wstring& s) {
    return fw::TextStream::Encode(s, fw::TextLocale{CP_ACP}, nullptr);
}

HWND ShowTestFrame(int width, int height) {
    static const wchar_t kClass[] = L"axtest.Frame";
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);  // fails harmlessly from the second frame on
    HWND frame = CreateWindowExW(WS_EX_TOPMOST, kClass, L"", WS_POPUP, 20, 20, width, height,
                                 nullptr, nullptr, wc.hInstance, nullptr);
    if (frame) ShowWindow(frame, SW_SHOWNOACTIVATE);
    return frame;
}

std::wstring LocalLetter() {
    for (const wchar_t* letter : {L"\u00fc", L"\u56f3", L"\u00e9", L"\u0434"})
        if (fw::TextStream::CanRepresent(letter, SystemLanguageLocale())) return letter;
    return L"u";
}

std::string ListFileBytes(const std::vector<std::pair<bool, std::wstring>>& entries) {
    std::string bytes = Ansi(fw::LoadResString(IDS_LIST_HEADER)) + "\r\n";
    for (const auto& [mark, path] : entries) bytes += (mark ? "[x]" : "[ ]") + Ansi(path) + "\r\n";
    return bytes;
}

void WinTest::SetUp() {
    ClearHostRegistry();
    HMODULE library = LoadLibraryW(ResourceLibraryFile().c_str());
    ASSERT_NE(library, nullptr) << Narrow(ResourceLibraryFile());
    resources_ = std::make_unique<ResourceLibraryScope>(library);
}

HWND FindRunMonitor() {
    HWND found = nullptr;
    EnumWindows(
        [](HWND w, LPARAM lp) -> BOOL {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid != GetCurrentProcessId() || !IsWindowVisible(w) ||
                !GetDlgItem(w, IDC_PROGRESS_STOP))
                return TRUE;
            *reinterpret_cast<HWND*>(lp) = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void WinTest::TearDown() {
    resources_.reset();
    ClearHostRegistry();
    // A run record a test left would make the next start of the program
    // finish a run that never was.
    wchar_t folder[MAX_PATH] = {};
    if (SUCCEEDED(
            SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)))
        DeleteFileW((std::wstring(folder) + L"\\axTarvo\\run record.txt").c_str());
}

namespace {

struct Finder {
    std::wstring title;
    HWND passOver = nullptr;
    HWND found = nullptr;
};

BOOL CALLBACK FindOwnWindow(HWND w, LPARAM lp) {
    auto* f = reinterpret_cast<Finder*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != GetCurrentProcessId() || !IsWindowVisible(w) || w == f->passOver) return TRUE;
    wchar_t title[512] = {};
    GetWindowTextW(w, title, 511);
    if (f->title == title) {
        f->found = w;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectText(HWND w, LPARAM lp) {
    wchar_t text[4096] = {};
    GetWindowTextW(w, text, 4095);
    if (text[0]) reinterpret_cast<std::vector<std::wstring>*>(lp)->push_back(text);
    return TRUE;
}

}  // namespace

DialogCatcher::DialogCatcher(std::wstring title, int button, DWORD timeoutMs, HWND passOver)
    : title_(std::move(title)), button_(button), timeoutMs_(timeoutMs), passOver_(passOver) {
    thread_ = std::thread([this] {
        const ULONGLONG deadline = GetTickCount64() + timeoutMs_;
        while (GetTickCount64() < deadline) {
            Finder f{title_, passOver_};
            EnumWindows(FindOwnWindow, reinterpret_cast<LPARAM>(&f));
            if (f.found) {
                Sleep(100);  // let the dialog finish painting its texts
                EnumChildWindows(f.found, CollectText, reinterpret_cast<LPARAM>(&texts_));
                seen_ = true;
                PostMessageW(f.found, WM_COMMAND, MAKEWPARAM(button_, BN_CLICKED), 0);
                return;
            }
            Sleep(50);
        }
    });
}

DialogCatcher::~DialogCatcher() {
    if (thread_.joinable()) thread_.join();
}

bool DialogCatcher::Seen() {
    if (thread_.joinable()) thread_.join();
    return seen_;
}

const std::vector<std::wstring>& DialogCatcher::Texts() {
    Seen();
    return texts_;
}

std::wstring DialogCatcher::AllText() {
    std::wstring all;
    for (const auto& t : Texts()) {
        if (!all.empty()) all += L"\n";
        all += t;
    }
    return all;
}

}  // namespace testenv
