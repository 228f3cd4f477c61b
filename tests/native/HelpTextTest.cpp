#include "wizard/core/HelpText.h"

#include <gtest/gtest.h>

TEST(HelpText, EveryLineEndBecomesCrLf) {
    const struct {
        std::wstring_view file, shown;
    } cases[] = {
        {L"one\ntwo\n", L"one\r\ntwo\r\n"},
        {L"one\r\ntwo\r\n", L"one\r\ntwo\r\n"},        // the same text as with LF
        {L"a\r\n\nb\n\r\nc", L"a\r\n\r\nb\r\n\r\nc"},  // mixed, empty lines kept
        {L"end\r", L"end\r"},                          // a CR alone is no line end
        {L"a\r\rb", L"a\r\rb"},
        {L"", L""},
        {L"\x00D8 12 \x00B1 0,1 \x2013 \x20AC", L"\x00D8 12 \x00B1 0,1 \x2013 \x20AC"},
    };
    for (const auto& c : cases) EXPECT_EQ(HelpTextForDisplay(c.file), c.shown);
}

TEST(HelpText, NulCharactersDoNotCutTheText) {
    EXPECT_EQ(HelpTextForDisplay(std::wstring_view(L"a\0b\n\0", 5)), L"ab\r\n");
}
