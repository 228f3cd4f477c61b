#include "drawings/core/PathParts.h"

#include "core/Text.h"

PathParts SplitFullPath(const std::wstring& fullPath, size_t namePos) {
    PathParts p;
    p.FullPath = fullPath;
    if (namePos > fullPath.size()) namePos = fullPath.size();
    const std::wstring name = fullPath.substr(namePos);

    const size_t colon = fullPath.find(L':');
    size_t driveEnd = colon == std::wstring::npos ? 0 : colon + 1;
    // A ':' inside the file name (an alternate stream) is not a drive.
    if (driveEnd > namePos) driveEnd = 0;
    p.Drive = fullPath.substr(0, driveEnd);

    const size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos) {
        p.BaseName = name;
    } else {
        p.BaseName = name.substr(0, dot);
        p.Extension = name.substr(dot + 1);
    }
    p.Directory = fullPath.substr(driveEnd, namePos - driveEnd);
    return p;
}

std::wstring ShortenPath(const PathParts& parts, size_t maxLength, bool forwardSlashes) {
    if (maxLength >= parts.FullPath.size()) return parts.FullPath;
    const wchar_t sep = forwardSlashes ? L'/' : L'\\';
    std::wstring tail = L"...";
    tail += sep;
    tail += parts.BaseName;
    tail += L'.';
    tail += parts.Extension;

    size_t prefixLen = parts.Directory.empty() ? 0 : 1;
    for (;;) {
        const size_t next = parts.Directory.find(sep, prefixLen);
        if (next == std::wstring::npos) break;
        if (parts.Drive.size() + next + 1 + tail.size() > maxLength) break;
        prefixLen = next + 1;
    }
    return parts.Drive + parts.Directory.substr(0, prefixLen) + tail;
}

uint16_t NextTempCounter(uint16_t counter) {
    uint16_t next = static_cast<uint16_t>(counter + 1);
    return next == 0xFFFF ? 0 : next;
}

std::wstring TempFileName(const std::wstring& folder, uint16_t counter,
                          const std::wstring& extension) {
    return text::Format(L"%svek%x.%s", {folder, static_cast<unsigned>(counter),
                                        extension.empty() ? std::wstring(L"TMP") : extension});
}
