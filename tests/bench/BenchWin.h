// What the Windows benchmarks share: the build's English resource library as
// the resource source, and a scratch folder of their own.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "Bench.h"
#include "host/Language.h"

namespace bench {

// The folder of the benchmark program, with its trailing "\".
inline std::wstring ProgramFolder() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

// Loads ortxa\en-US\axTarvoRes.dll beside the program and puts it in force.
inline std::unique_ptr<ResourceLibraryScope> EnglishResources() {
    HMODULE library = LoadLibraryW((ProgramFolder() + L"ortxa\\en-US\\axTarvoRes.dll").c_str());
    Check(library != nullptr, "resource library ortxa\\en-US\\axTarvoRes.dll");
    return std::make_unique<ResourceLibraryScope>(library);
}

// A new folder "axbench-<tag>-<process id>" in the temporary folder, with its
// trailing "\"; the benchmark removes it.
inline std::wstring ScratchFolder(const std::wstring& tag) {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring folder =
        std::wstring(temp) + L"axbench-" + tag + L"-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\";
}

}  // namespace bench
