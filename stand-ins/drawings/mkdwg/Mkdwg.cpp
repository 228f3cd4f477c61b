// mkdwg: writes a stand-in drawing. See kMkdwgUsage for the options.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "stand-ins/drawings/core/MkdwgOptions.h"
#include "stand-ins/drawings/core/StandInDrawing.h"

namespace {

void Print(FILE* stream, const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(),
                            n, nullptr, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), stream);
    fflush(stream);
}

bool WriteFileBytes(const std::wstring& path, const std::vector<uint8_t>& bytes, DWORD& error) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return false;
    }
    DWORD written = 0;
    const bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    error = ok ? 0 : GetLastError();
    CloseHandle(file);
    return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::wstring> args(argv + 1, argv + argc);
    standin::MkdwgJob job;
    std::wstring error;
    if (!standin::ParseMkdwgArgs(args, job, error)) {
        Print(stderr, L"mkdwg: " + error + L"\n" + standin::kMkdwgUsage);
        return 2;
    }
    if (job.Help) {
        Print(stdout, standin::kMkdwgUsage);
        return 0;
    }
    DWORD code = 0;
    const std::vector<uint8_t> bytes =
        job.Plain ? standin::WritePlainPicture(job.Spec) : standin::WriteDrawing(job.Spec);
    if (!WriteFileBytes(job.Output, bytes, code)) {
        Print(stderr,
              L"mkdwg: cannot write " + job.Output + L" (error " + std::to_wstring(code) + L")\n");
        return 1;
    }
    return 0;
}
