#include "app/core/RunOutcome.h"

#include <gtest/gtest.h>

using namespace runoutcome;

TEST(RunFileTest, ExitCodesAndHostLogsAsCmdAndRegWroteThem) {
    const RunFile f = ParseRunFile(
        "1 0 \r\n"
        "\r\n"
        "HKEY_CURRENT_USER\\Software\\Orthex\\R33\r\n"
        "    LOGFILENAME    REG_SZ    C:\\users\\u\\Temp\\ortx 1.log\r\n"
        "\r\n"
        "2 -1073741819 \r\n"  // cmd prints an exception code as a negative number
        "    LOGFILENAME    REG_EXPAND_SZ    C:\\users\\u\\Temp\\ortx2.log\r\n"
        "3 1 \r\n"
        "    LOGFILENAME    REG_SZ    C:\\users\\u\\Temp\\ortx 1.log\r\n"  // named again
        "2 0 \r\n"  // redone after a resume: the last word counts
        "4 4294967295\n"
        "5 4294967296 \r\n"  // beyond 32 bits: not an exit code
        "0 1 \r\n"
        "x 1 \r\n"
        "6 1x \r\n"
        "7\r\n"
        "    LOGFILENAME    REG_SZ\r\n"
        "    LOGFILENAMES    REG_SZ    C:\\no.log\r\n"
        "    LOGFILENAME    REG_DWORD    0x1\r\n"
        "    LOGFILENAME    REG_SZ    C:\\last.log");
    EXPECT_EQ(f.ExitCodes,
              (std::map<long long, uint32_t>{{1, 0}, {2, 0}, {3, 1}, {4, 0xFFFFFFFFu}}));
    EXPECT_EQ(f.HostLogs,
              (std::vector<std::string>{"C:\\users\\u\\Temp\\ortx 1.log",
                                        "C:\\users\\u\\Temp\\ortx2.log", "C:\\last.log"}));
    EXPECT_EQ(ParseRunFile("2 -1073741819 \r\n").ExitCodes.at(2), 0xC0000005u);
    EXPECT_TRUE(ParseRunFile("").ExitCodes.empty());
}

TEST(SaveCheckTest, OnlyACurrentFileWrittenSinceTheStartIsSaved) {
    constexpr uint64_t start = 13400000000ull * 10000000;  // a day in 2025
    constexpr uint64_t second = 10000000;
    constexpr int current = 33, old = 27;
    struct Case {
        bool readable;
        uint64_t lastWrite;
        int version;
        SaveCheck expected;
    } cases[] = {
        {true, start + second, current, SaveCheck::Saved},
        {true, start - second, current, SaveCheck::Saved},  // within a two-second step
        {true, start - 3 * second, current, SaveCheck::Unchanged},
        {true, start - 3600 * second, current, SaveCheck::Unchanged},
        {true, start - second, old, SaveCheck::Unchanged},  // no slack for an old file
        {true, start + second, old, SaveCheck::NotCurrent},
        {true, start + second, -1, SaveCheck::NotCurrent},
        {false, start + second, current, SaveCheck::Unreadable},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckSave(c.readable, c.lastWrite, c.version, start, current), c.expected)
            << c.lastWrite << " " << c.version;
    EXPECT_EQ(CheckSave(true, 1, current, 1, current), SaveCheck::Saved);  // no underflow
}
