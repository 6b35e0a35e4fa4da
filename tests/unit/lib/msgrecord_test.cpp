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
        {kMsgStatus, -1}, {kMsgData, TASK_ABORT},   {kMsgRunMode, 0x1003}, {kMsgOpMode, 0x2002},
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
