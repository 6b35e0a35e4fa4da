// Field access of the message record.
#include "msgrecord.h"

#include "le.h"

int32_t MsgGetInt(const MsgRecord& m, size_t offset) {
    return GetLeI32(m.text + offset);
}

void MsgSetInt(MsgRecord& m, size_t offset, int32_t value) {
    PutLe32(m.text + offset, static_cast<uint32_t>(value));
}

std::string MsgGetText(const MsgRecord& m, size_t offset, size_t width) {
    if (offset + width > kMsgTextSize) width = kMsgTextSize - offset;
    return GetField(m.text + offset, width);
}

bool MsgSetText(MsgRecord& m, size_t offset, size_t width, const std::string& text) {
    if (offset + width > kMsgTextSize) width = kMsgTextSize - offset;
    return PutField(m.text + offset, width, text);
}
