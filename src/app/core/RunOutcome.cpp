#include "app/core/RunOutcome.h"

#include <algorithm>

namespace runoutcome {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// A whole decimal number, optionally negative; false beyond 64 bits.
bool ParseNumber(std::string_view s, long long& value) {
    bool negative = false;
    if (!s.empty() && s[0] == '-') {
        negative = true;
        s.remove_prefix(1);
    }
    if (s.empty() || s.size() > 18) return false;
    long long v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    value = negative ? -v : v;
    return true;
}

// "N code": the drawing number and the exit code, as cmd printed them.
bool ParseExitLine(std::string_view line, long long& number, uint32_t& code) {
    const size_t blank = line.find(' ');
    if (blank == std::string_view::npos) return false;
    long long n = 0, c = 0;
    if (!ParseNumber(line.substr(0, blank), n) || n < 1) return false;
    if (!ParseNumber(Trimmed(line.substr(blank + 1)), c)) return false;
    if (c < INT32_MIN || c > UINT32_MAX) return false;
    number = n;
    code = static_cast<uint32_t>(c);
    return true;
}

// "    LOGFILENAME    REG_SZ    <path>": the path; empty for any other line.
std::string_view HostLogOf(std::string_view line) {
    line = Trimmed(line);
    constexpr std::string_view name = "LOGFILENAME";
    if (line.substr(0, name.size()) != name) return {};
    line = Trimmed(line.substr(name.size()));
    for (std::string_view type : {"REG_SZ", "REG_EXPAND_SZ"}) {
        if (line.substr(0, type.size()) != type || line.size() == type.size() ||
            !IsBlank(line[type.size()]))
            continue;
        return Trimmed(line.substr(type.size()));
    }
    return {};
}

}  // namespace

RunFile ParseRunFile(std::string_view bytes) {
    RunFile file;
    while (!bytes.empty()) {
        size_t end = bytes.find('\n');
        if (end == std::string_view::npos) end = bytes.size();
        const std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(std::min(bytes.size(), end + 1));

        long long number = 0;
        uint32_t code = 0;
        if (ParseExitLine(Trimmed(line), number, code)) {
            file.ExitCodes[number] = code;
            continue;
        }
        const std::string_view log = HostLogOf(line);
        if (!log.empty() &&
            std::find(file.HostLogs.begin(), file.HostLogs.end(), log) == file.HostLogs.end())
            file.HostLogs.emplace_back(log);
    }
    return file;
}

SaveCheck CheckSave(bool readable, uint64_t lastWrite, int versionCode, uint64_t startedAt,
                    int currentCode) {
    if (!readable) return SaveCheck::Unreadable;
    if (versionCode != currentCode)
        return lastWrite <= startedAt ? SaveCheck::Unchanged : SaveCheck::NotCurrent;
    const uint64_t since = startedAt > kWriteTimeSlack ? startedAt - kWriteTimeSlack : 0;
    return lastWrite <= since ? SaveCheck::Unchanged : SaveCheck::Saved;
}

}  // namespace runoutcome
