#include "app/core/RunRecord.h"

#include <gtest/gtest.h>

using namespace runrecord;

namespace {

Record Sample() {
    Record r;
    r.Set(L"host", L"C:\\Program Files\\Kelvane\\Orthex R25.1");
    r.SetNumber(L"batch.created", 134000000000000000ull);
    r.Set(L"profile.ORTX", L"a;;b\\c=d");
    r.Set(L"profile.EmergencyFont", L"");
    r.Add(L"drawing", L"C:\\M\u00fcller\\Part 1.dwg");
    r.Add(L"drawing", L"line\nbreak\r\\n.dwg");
    r.Add(L"drawing", L"C:\\Part 1.dwg");  // a list keeps repeats
    return r;
}

}  // namespace

TEST(RunRecordTest, WhatIsWrittenIsReadBack) {
    Record r = Sample();
    r.SetNumber(L"batch.created", 7);  // set again: replaced
    Record back;
    ASSERT_EQ(Record::Parse(r.Format(), back), Status::Ok);
    EXPECT_EQ(back.Format(), r.Format());
    uint64_t number = 0;
    EXPECT_TRUE(back.GetNumber(L"batch.created", number));
    EXPECT_EQ(number, 7u);
    std::wstring text;
    EXPECT_TRUE(back.Get(L"profile.ORTX", text));
    EXPECT_EQ(text, L"a;;b\\c=d");
    EXPECT_TRUE(back.Get(L"profile.EmergencyFont", text));
    EXPECT_EQ(text, L"");
    EXPECT_EQ(back.List(L"drawing"),
              (std::vector<std::wstring>{L"C:\\M\u00fcller\\Part 1.dwg", L"line\nbreak\r\\n.dwg",
                                         L"C:\\Part 1.dwg"}));
    EXPECT_FALSE(back.Get(L"batch.id", text));
    EXPECT_FALSE(back.GetNumber(L"host", number));  // not a number
    EXPECT_TRUE(back.List(L"temp").empty());
}

TEST(RunRecordTest, ABadRecordSaysSoAndKeepsWhatCameBefore) {
    const std::wstring whole = Sample().Format();
    const size_t endLine = whole.rfind(L"end=");
    const size_t secondDrawing = whole.find(L"drawing=line");
    struct Case {
        std::wstring text;
        Status expected;
        size_t drawingsKept;
    } cases[] = {
        {L"", Status::NotARecord, 0},
        {L"axTarvo run record 2\r\nhost=x\r\nend=1\r\n", Status::NotARecord, 0},
        {L"axTarvo run", Status::NotARecord, 0},
        {whole.substr(0, endLine), Status::Truncated, 3},                 // no end line
        {whole.substr(0, whole.size() - 2), Status::Truncated, 3},        // the end line cut
        {whole.substr(0, secondDrawing + 5), Status::Truncated, 1},       // cut inside a line
        {whole.substr(0, endLine) + L"end=2\r\n", Status::Malformed, 3},  // a line lost
        {whole + L"host=y\r\n", Status::Malformed, 3},                    // more after the end
        {whole.substr(0, secondDrawing) + L"no equals sign\r\n", Status::Malformed, 1},
        {whole.substr(0, secondDrawing) + L"drawing=bad\\escape\r\n", Status::Malformed, 1},
        {whole.substr(0, secondDrawing) + L"=value\r\n", Status::Malformed, 1},
    };
    for (const Case& c : cases) {
        Record r;
        EXPECT_EQ(Record::Parse(c.text, r), c.expected) << c.text.size();
        EXPECT_EQ(r.List(L"drawing").size(), c.drawingsKept) << c.text.size();
        std::wstring host;
        if (c.drawingsKept) EXPECT_TRUE(r.Get(L"host", host));
    }
}
