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
    RegKey key(SettingsKeyPath(), HKEY_CURRENT_USER);
    std::wstring hostLog;
    if (key.ReadString(L"LOGFILENAME", hostLog, kLongestName) && !hostLog.empty())
        DeleteFileW(hostLog.c_str());
    key.DeleteValue(L"LOGFILENAME");
}
