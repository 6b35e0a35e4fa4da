// The message record: each field at its byte offset, little-endian, and
// bounded text fields.
#include <gtest/gtest.h>

#include "msgrecord.h"

#include <cstring>

namespace {

TEST(MsgRecord, FieldsSitAtTheirOffsets) {
    MsgRecord m{};
    struct Field {
        size_t offset;
        int32_t value;
    };
    const Field fields[] = {
        {kMsgArg, 4},     {kMsgSender, 0x01020304}, {kMsgTaskId, 101},     {kMsgCode, 16},
        {kMsgStatus, -1}, {kMsgData, 0x400000},     {kMsgRunMode, 0x1003}, {kMsgOpMode, 0x2002},
        {kMsgFamily, 3},  {kMsgSubState, 22},       {kMsgExit, 7}};
    for (const Field& f : fields) MsgSetInt(m, f.offset, f.value);
    for (const Field& f : fields) {
        const auto v = static_cast<uint32_t>(f.value);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(m.text[f.offset + i], static_cast<unsigned char>(v >> (8 * i)))
                << "offset " << f.offset;
        EXPECT_EQ(MsgGetInt(m, f.offset), f.value);
    }
    EXPECT_EQ(sizeof m.text, 224u);
}

// The record layout as the server knows it (offsets into the 228-byte
// record, message type first). Here the type is a long of its own, so every
// field sits 4 bytes earlier in the text.
TEST(MsgRecord, OffsetsMatchTheServersLayout) {
    struct Field {
        size_t ours;
        size_t record;
    };
    const Field fields[] = {{kMsgArg, 8},
                            {kMsgSender, 12},
                            {kMsgTaskId, 16},
                            {kMsgCode, 20},
                            {kMsgStatus, 24},
                            {kMsgData, 32},
                            {kMsgPath, 32},
                            {kMsgPart, 36},
                            {kMsgType, 61},
                            {kMsgRunMode, 88},
                            {kMsgOpMode, 92},
                            {kMsgFamily, 100},
                            {kMsgSubState, 112},
                            {kMsgExit, 116},
                            {kMsgDriverType[0], 32},
                            {kMsgDriverType[1], 72},
                            {kMsgDriverType[2], 112}};
    for (const Field& f : fields) EXPECT_EQ(f.ours + 4, f.record) << "record offset " << f.record;
    EXPECT_EQ(kMsgPartWidth, 25u);
    EXPECT_EQ(kMsgTypeWidth, 27u);
    EXPECT_EQ(kMsgPathWidth, 80u);
    EXPECT_EQ(kMsgDriverTypeWidth, 40u);
    EXPECT_EQ(kMsgTextSize + 4, 228u);
}

TEST(MsgRecord, TextFieldsAreBoundedAndZeroFilled) {
    MsgRecord m{};
    std::memset(m.text, 'x', sizeof m.text);
    EXPECT_TRUE(MsgSetText(m, kMsgPart, kMsgPartWidth, "PART1"));
    EXPECT_EQ(MsgGetText(m, kMsgPart, kMsgPartWidth), "PART1");
    for (size_t i = kMsgPart + 5; i < kMsgPart + kMsgPartWidth; ++i) EXPECT_EQ(m.text[i], 0);
    EXPECT_EQ(m.text[kMsgType], 'x'); // next field untouched

    EXPECT_FALSE(MsgSetText(m, kMsgPart, kMsgPartWidth, std::string(30, 'p')));
    EXPECT_EQ(MsgGetText(m, kMsgPart, kMsgPartWidth), std::string(24, 'p'));
    EXPECT_EQ(m.text[kMsgType], 'x');
}

} // namespace
