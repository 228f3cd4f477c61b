#include "drawings/AxvekFilenm.h"

#include <windows.h>

#include <vector>

#include "core/Text.h"
#include "drawings/core/PathParts.h"
#include "framework/PathNames.h"

namespace {
uint16_t g_tempCounter = 0;
}

AxvekFilenm::AxvekFilenm(const std::wstring& path, bool forwardSlashes)
    : ForwardSlashes(forwardSlashes) {
    Set(path);
}

void AxvekFilenm::Set(const std::wstring& path) {
    GivenPath = text::ToLower(path);
    FullPath.clear();
    Drive.clear();
    Directory.clear();
    BaseName.clear();
    Extension.clear();

    DWORD stated = MAX_PATH;
    std::vector<wchar_t> buffer;
    wchar_t* namePart = nullptr;
    DWORD length = 0;
    for (;;) {
        buffer.assign(stated + 1, L'\0');
        length = GetFullPathNameW(GivenPath.c_str(), stated, buffer.data(), &namePart);
        if (length <= stated) break;
        stated += MAX_PATH;
        if (stated > 32768 + MAX_PATH) return;  // longer than any Windows path
    }
    if (length == 0) return;

    std::wstring full(buffer.data(), length);
    const size_t namePos = namePart ? static_cast<size_t>(namePart - buffer.data()) : full.size();
    full = text::ToLower(full);
    if (ForwardSlashes)
        for (auto& c : full)
            if (c == L'\\') c = L'/';

    PathParts parts = SplitFullPath(full, namePos);
    FullPath = std::move(parts.FullPath);
    Drive = std::move(parts.Drive);
    Directory = std::move(parts.Directory);
    BaseName = std::move(parts.BaseName);
    Extension = std::move(parts.Extension);
}

void AxvekFilenm::MakeTempName(const std::wstring& extension) {
    std::wstring tempFolder;
    if (!fw::TempFolder(tempFolder)) tempFolder = L".\\";
    g_tempCounter = NextTempCounter(g_tempCounter);
    Set(TempFileName(tempFolder, g_tempCounter, extension));
}

std::wstring AxvekFilenm::Shortened(size_t maxLength) const {
    PathParts parts{FullPath, Drive, Directory, BaseName, Extension};
    return ShortenPath(parts, maxLength, ForwardSlashes);
}

uint16_t AxvekFilenm::TempCounter() {
    return g_tempCounter;
}

void AxvekFilenm::ResetTempCounter() {
    g_tempCounter = 0;
}
