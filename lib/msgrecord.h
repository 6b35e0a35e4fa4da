// The record exchanged with the message server over the System V queue.
//
// On the wire: the message type (a long, as msgsnd wants it) followed by a
// 224-byte text. The offsets below are offsets into that text; integers are
// 32-bit little-endian and strings NUL-ended within their field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

inline constexpr size_t kMsgTextSize = 224;

struct MsgRecord {
    long mtype;
    unsigned char text[kMsgTextSize];
};
static_assert(offsetof(MsgRecord, text) == sizeof(long), "msgbuf layout");

// Field offsets into the text.
inline constexpr size_t kMsgArg = 4;        // argument word (request) / value (reply)
inline constexpr size_t kMsgSender = 8;     // sender's process id (requests)
inline constexpr size_t kMsgTaskId = 12;    // task id
inline constexpr size_t kMsgCode = 16;      // request or reply code
inline constexpr size_t kMsgStatus = 20;    // status (reply)
inline constexpr size_t kMsgData = 28;      // data word: task flag, data-page flag
inline constexpr size_t kMsgPath = 28;      // path of the print requests
inline constexpr size_t kMsgPart = 32;      // part name
inline constexpr size_t kMsgType = 57;      // program type: "llf" or "INSPECT"
inline constexpr size_t kMsgRunMode = 84;   // run mode
inline constexpr size_t kMsgOpMode = 88;    // operating-mode word (request 14)
inline constexpr size_t kMsgFamily = 96;    // controller family (request 14)
inline constexpr size_t kMsgSubState = 108; // sub-state (reply 17)
inline constexpr size_t kMsgExit = 112;     // exit value (replies 14 and 17)
inline constexpr size_t kMsgDriverType[3] = {28, 68, 108}; // request 38

inline constexpr size_t kMsgPartWidth = 25;
inline constexpr size_t kMsgTypeWidth = 27;
inline constexpr size_t kMsgPathWidth = 80;
inline constexpr size_t kMsgDriverTypeWidth = 40;

// Request codes.
inline constexpr int MSG_PRINT = 9;
inline constexpr int MSG_PRINT_COPY = 10;
inline constexpr int MSG_START_TASK = 14;
inline constexpr int MSG_TASK_CONTROL = 16;
inline constexpr int MSG_DATAPAGE = 18;
inline constexpr int MSG_CONTOUR = 27;
inline constexpr int MSG_DRIVER_TYPES = 38;
inline constexpr int MSG_PORT_CHANGE = 39;
inline constexpr int MSG_HELLO = 48;
inline constexpr int MSG_STOP_DRIVERS = 49;
// Reply codes besides the answers to the requests above.
inline constexpr int MSG_TASK_STATE = 17;
inline constexpr int MSG_REPLY_24 = 24;

// Task flags (data word of request 16).
inline constexpr int TASK_RUN = 0x10000;
inline constexpr int TASK_HOLD = 0x20000;
inline constexpr int TASK_ABORT = 0x400000;
inline constexpr int TASK_LEARN = 0x800000;

// Reply statuses and sub-states.
inline constexpr int STATUS_TASK_CREATED = 0;
inline constexpr int STATUS_TASK_ENDED = 8;
inline constexpr int STATUS_SHUTDOWN = 99;
inline constexpr int SUBSTATE_READY = 20;
inline constexpr int SUBSTATE_RUNNING = 21;
inline constexpr int SUBSTATE_HELD = 22;
inline constexpr int SUBSTATE_RUNNING_24 = 24;

int32_t MsgGetInt(const MsgRecord& m, size_t offset);
void MsgSetInt(MsgRecord& m, size_t offset, int32_t value);
std::string MsgGetText(const MsgRecord& m, size_t offset, size_t width);
// Bounded, terminated copy; the whole field is zero-filled first. Returns
// false when the text did not fit and was cut.
bool MsgSetText(MsgRecord& m, size_t offset, size_t width, const std::string& text);

// The path of a print request (codes 9 and 10): at most kMsgPathWidth - 1
// characters. A longer path is refused, never cut: false, and the record is
// left as it was.
inline bool MsgSetPath(MsgRecord& m, const std::string& path) {
    if (path.size() >= kMsgPathWidth || path.find('\0') != std::string::npos) return false;
    return MsgSetText(m, kMsgPath, kMsgPathWidth, path);
}
