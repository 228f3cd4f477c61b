#include "drawings/core/ByteReader.h"

#include <gtest/gtest.h>

#include <vector>

TEST(ByteReader, LittleEndianFieldsThenAStickyFailureWithZeros) {
    const std::vector<uint8_t> bytes = {0x01, 0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0xFF, 0xAA};
    MemorySource source(bytes);
    ByteReader in(source);
    EXPECT_EQ(in.U8(), 0x01);
    EXPECT_EQ(in.U16(), 0x1234);
    EXPECT_EQ(in.U32(), 0x12345678u);
    EXPECT_EQ(in.I8(), -1);
    EXPECT_EQ(in.Remaining(), 1u);
    EXPECT_TRUE(in.Ok());

    EXPECT_EQ(in.U16(), 0);  // one byte left: the read fails whole
    EXPECT_FALSE(in.Ok());
    EXPECT_EQ(in.Remaining(), 0u);
    in.Seek(0);  // a failure stays
    EXPECT_EQ(in.U8(), 0);
    uint8_t out[2] = {7, 7};
    EXPECT_FALSE(in.Bytes(out, 2));
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 0);
}

TEST(ByteReader, PositionsBeyondTheEndFail) {
    const std::vector<uint8_t> bytes(8, 0x11);
    MemorySource source(bytes);
    ByteReader end(source, 8);
    EXPECT_TRUE(end.Ok());
    EXPECT_EQ(end.Remaining(), 0u);
    ByteReader past(source, 9);
    EXPECT_FALSE(past.Ok());
    ByteReader skip(source, 4);
    skip.Skip(UINT64_MAX);
    EXPECT_FALSE(skip.Ok());
    ByteReader seek(source);
    seek.Seek(UINT64_MAX);
    EXPECT_FALSE(seek.Ok());
}
