#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <vector>

#include "host/core/RunMonitorCore.h"

using namespace runmon;

TEST(RunMonitorCore, CounterTextAsTheBatchFileWritesIt) {
    const struct {
        const char* text;
        std::optional<int> number;
    } cases[] = {
        {"3 \r\n", 3},
        {"12", 12},
        {"  7x", 7},
        {"\t+4 ", 4},
        {"-2 \r\n", -2},
        {"", std::nullopt},
        {" \r\n", std::nullopt},
        {"x3", std::nullopt},
        {"- 3", std::nullopt},
        {"2147483647", INT_MAX},
        {"2147483648", std::nullopt},
        {"99999999999999999999", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseCounter(c.text), c.number) << c.text;
}

TEST(RunMonitorCore, ProgressOfAModesPhase) {
    // Drawing 3 of 9: 100 * 3 / 10 when scanning only, 30 + 70 * 3 / 10 when updating.
    EXPECT_EQ(ProgressPosition(SpanOfMode(kScanOnly), 3, 9), 30);
    EXPECT_EQ(ProgressPosition(SpanOfMode(kUpdate), 3, 9), 51);
    EXPECT_EQ(ProgressPosition(SpanOfMode(kScanThenUpdate), 3, 9), 9);
    EXPECT_EQ(ProgressPosition(SpanOfMode(kScanThenUpdate), 1, 2), 10);
    EXPECT_EQ(ProgressPosition(SpanOfMode(kUpdate), 2, 2), 76);  // 30 + 46.67, truncated
    EXPECT_EQ(ProgressPosition(SpanOfMode(kScanOnly), 20000, 20000), 99);
}

TEST(RunMonitorCore, BudgetsInSecondsStayWithinInt) {
    EXPECT_EQ(BudgetSeconds(1), 60);
    EXPECT_EQ(BudgetSeconds(INT_MAX), INT_MAX);
    EXPECT_EQ(BudgetSeconds(INT_MIN), INT_MIN);
    EXPECT_EQ(BudgetSeconds(0), 0);
}

TEST(RunMonitorCore, TheFirstLineWithAMarkerIgnoringCase) {
    const std::vector<std::wstring> markers =
        ActiveMarkers({L"?unused", L"", L"FATAL ERROR", L"Unhandled Exception", L"?"});
    EXPECT_EQ(markers, (std::vector<std::wstring>{L"fatal error", L"unhandled exception"}));

    const struct {
        const wchar_t* log;
        std::optional<std::wstring> line;
    } cases[] = {
        {L"", std::nullopt},
        {L"all fine\r\nstill fine\r\n", std::nullopt},
        {L"one\r\nA fatal error here\r\nunhandled exception\r\n", L"A fatal error here"},
        {L"first UNHANDLED EXCEPTION x\nsecond Fatal Error\n", L"first UNHANDLED EXCEPTION x"},
        {L"no end fatal error", L"no end fatal error"},
        {L"fatal error", L"fatal error"},
        {L"fatal\nerror\n", std::nullopt},  // never across a line end
        {L"\r\n\r\nx fatal error\r", L"x fatal error"},
    };
    for (const auto& c : cases) EXPECT_EQ(FindMarkedLine(c.log, markers), c.line) << c.log;
    EXPECT_EQ(FindMarkedLine(L"fatal error", {}), std::nullopt);
}

TEST(RunMonitorCore, TheDetailOfAMarkedLine) {
    EXPECT_EQ(MarkedLineDetail(L"Fatal error: x"), L"\t** \"Fatal error: x\"");
    EXPECT_EQ(MarkedLineDetail(L"abcdef", 3), L"\t** \"abc\"");
}
