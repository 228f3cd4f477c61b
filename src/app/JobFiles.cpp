#include "app/JobFiles.h"

#include <cstdlib>

#include "framework/TextStream.h"
#include "host/Language.h"

namespace {
std::wstring TempListPath(const wchar_t* name) {
    // The TEMP variable, not GetTempPath: the host's extension looks there.
    const wchar_t* temp = _wgetenv(L"TEMP");
    return std::wstring(temp ? temp : L"") + L"\\" + name;
}
}  // namespace

std::wstring GetMigrateListPath() {
    return TempListPath(L"MIGRATE.TXT");
}
std::wstring GetMigratedListPath() {
    return TempListPath(L"MIGRATED.TXT");
}

void ReadTextLines(const std::wstring& path, std::vector<std::wstring>& lines) {
    fw::TextStream in(path, fw::TextStream::Mode::Read, SystemLanguageLocale());
    std::wstring line;
    while (in.ReadLine(line, kMaxListLine)) lines.push_back(line);
}
