#include "host/HostLog.h"

#include <windows.h>

#include "framework/RegKey.h"
#include "host/HostKeys.h"

namespace {

// Longer names count as missing: a cut one would name another file.
constexpr size_t kLongestName = 512;

}  // namespace

std::wstring CurrentHostLog() {
    std::wstring hostLog;
    RegKey(SettingsKeyPath(), HKEY_CURRENT_USER).ReadString(L"LOGFILENAME", hostLog, kLongestName);
    return hostLog;
}

void DeleteHostLog() {
    const std::wstring hostLog = CurrentHostLog();
    if (!hostLog.empty()) DeleteFileW(hostLog.c_str());
    RegKey(SettingsKeyPath(), HKEY_CURRENT_USER).DeleteValue(L"LOGFILENAME");
}
