#include "support/BatchRun.h"

#include <shellapi.h>

#include <cstdint>

#include "support/WinTest.h"

namespace testenv {

namespace {

constexpr wchar_t kHostName[] = L"ortx.exe";

std::wstring ModulePath() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

std::wstring RecordName(const std::wstring& folder, int n, const wchar_t* ext) {
    return folder + L"start" + std::to_wstring(n) + ext;
}

std::wstring EnvironmentValue(const wchar_t* name) {
    const DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
    if (needed == 0) return std::wstring();
    std::wstring value(needed, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), needed));
    return value;
}

// The record: UTF-16 lines "current folder", "PATH", then one per argument.
void RecordStart() {
    const std::wstring self = ModulePath();
    const std::wstring folder = self.substr(0, self.find_last_of(L'\\') + 1);
    int n = 0;
    while (FileExists(RecordName(folder, n, L".txt"))) ++n;
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    wchar_t current[MAX_PATH * 4] = {};
    GetCurrentDirectoryW(MAX_PATH * 4, current);
    std::wstring record = std::wstring(current) + L"\n" + EnvironmentValue(L"PATH") + L"\n";
    for (int i = 1; argv && i < argc; ++i) {
        record += argv[i];
        record += L"\n";
        if (std::wstring(argv[i]) == L"/b" && i + 1 < argc)
            CopyFileW(argv[i + 1], RecordName(folder, n, L".scr").c_str(), FALSE);
    }
    if (argv) LocalFree(argv);
    // Written last: a record file tells that the script copy is complete.
    HANDLE file = CreateFileW(RecordName(folder, n, L".txt").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_NEW, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, record.data(), static_cast<DWORD>(record.size() * sizeof(wchar_t)), &written,
              nullptr);
    CloseHandle(file);
}

// Runs before main: under the host's name this program is the host stand-in.
struct HostStandInCheck {
    HostStandInCheck() {
        const std::wstring self = ModulePath();
        const std::wstring name = self.substr(self.find_last_of(L'\\') + 1);
        if (CompareStringOrdinal(name.c_str(), -1, kHostName, -1, TRUE) != CSTR_EQUAL) return;
        RecordStart();
        ExitProcess(0);
    }
} hostStandInCheck;

std::vector<std::wstring> SplitLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t begin = 0, end;
    while ((end = text.find(L'\n', begin)) != std::wstring::npos) {
        lines.push_back(text.substr(begin, end - begin));
        begin = end + 1;
    }
    return lines;
}

// Marks the copy as a window program, as the host is: "start" then gives it
// no console of its own, which Wine is slow to make.
void MakeWindowProgram(const std::wstring& exe) {
    std::string image = ReadBytes(exe);
    if (image.size() < 0x40) return;
    const uint32_t header = *reinterpret_cast<const uint32_t*>(&image[0x3C]);
    const size_t subsystem = size_t{header} + 4 + 20 + 68;  // signature, file header
    if (subsystem + 2 > image.size()) return;
    image[subsystem] = IMAGE_SUBSYSTEM_WINDOWS_GUI;
    image[subsystem + 1] = 0;
    HANDLE file = CreateFileW(exe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, image.data(), static_cast<DWORD>(image.size()), &written, nullptr);
    CloseHandle(file);
}

}  // namespace

RecordingHost::RecordingHost(std::wstring folder) : folder_(std::move(folder)) {
    if (folder_.empty() || folder_.back() != L'\\') folder_ += L'\\';
    CreateDirectoryW(folder_.c_str(), nullptr);
    CopyFileW(ModulePath().c_str(), (folder_ + kHostName).c_str(), FALSE);
    MakeWindowProgram(folder_ + kHostName);
}

std::vector<RecordingHost::Start> RecordingHost::Starts() const {
    std::vector<Start> starts;
    for (int n = 0; FileExists(RecordName(folder_, n, L".txt")); ++n) {
        const std::string bytes = ReadBytes(RecordName(folder_, n, L".txt"));
        const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()),
                                bytes.size() / sizeof(wchar_t));
        std::vector<std::wstring> lines = SplitLines(text);
        Start start;
        if (lines.size() >= 2) {
            start.CurrentFolder = lines[0];
            start.Path = lines[1];
            start.Arguments.assign(lines.begin() + 2, lines.end());
        }
        start.ScriptBytes = ReadBytes(RecordName(folder_, n, L".scr"));
        starts.push_back(std::move(start));
    }
    return starts;
}

bool RunBatchFile(const std::wstring& batchPath, const std::wstring& currentFolder,
                  DWORD timeoutMs) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    std::wstring commandLine = L"\"" + batchPath + L"\"";
    PROCESS_INFORMATION process{};
    // A console of its own, as the program (a window program) gives cmd one:
    // cmd takes its code pages from it. Without a window, which Wine creates
    // slowly. No handles of ours go along.
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                        nullptr, currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    const bool ended = WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    return ended;
}

}  // namespace testenv
