// The message server's record as the server's side of the queue knows it.
//
// A record is 228 bytes: the message type word, then the 224-byte text that
// travels on the queue (after the long that msgsnd wants for the type).
// Offsets below are offsets into the 228-byte record, integers are 32-bit
// little-endian and texts NUL-ended within their field. The simulated
// server, its send command and the tests read and write messages through
// this copy only, written from the protocol's tables and never from the
// program's own layout, so that a wrong offset or code in the program shows
// against it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace wire {

inline constexpr size_t kRecordSize = 228;
inline constexpr size_t kTypeWord = 4; // the type's share of the record
inline constexpr size_t kTextSize = kRecordSize - kTypeWord;

// Fields.
inline constexpr size_t kArg = 8;                       // argument word (requests), value (replies)
inline constexpr size_t kSender = 12;                   // sender's process id (requests)
inline constexpr size_t kTask = 16;                     // task id
inline constexpr size_t kCode = 20;                     // request or reply code
inline constexpr size_t kStatus = 24;                   // status (replies)
inline constexpr size_t kData = 32;                     // data word: task flag, data-page flag
inline constexpr size_t kPath = 32;                     // path of requests 9 and 10
inline constexpr size_t kPart = 36;                     // part name
inline constexpr size_t kType = 61;                     // program type
inline constexpr size_t kRunMode = 88;                  // run mode
inline constexpr size_t kOpMode = 92;                   // operating-mode word (request 14)
inline constexpr size_t kFamily = 100;                  // controller family (request 14)
inline constexpr size_t kSubState = 112;                // sub-state (reply 17)
inline constexpr size_t kExit = 116;                    // exit value (replies 14 and 17)
inline constexpr size_t kDriverType[3] = {32, 72, 112}; // request 38

inline constexpr size_t kPartWidth = 25;
inline constexpr size_t kTypeWidth = 27;
inline constexpr size_t kPathWidth = 80;
inline constexpr size_t kDriverTypeWidth = 40;

// Requests.
inline constexpr int kPrint = 9;
inline constexpr int kPrintCopy = 10;
inline constexpr int kStartTask = 14;
inline constexpr int kTaskControl = 16;
inline constexpr int kDataPage = 18;
inline constexpr int kContour = 27;
inline constexpr int kDriverTypes = 38;
inline constexpr int kPortChange = 39;
inline constexpr int kHello = 48;
inline constexpr int kStopDrivers = 49;
// Replies besides the answers to the requests above.
inline constexpr int kTaskState = 17;
inline constexpr int kReply24 = 24;

// Task flags of request 16.
inline constexpr int kRun = 0x10000;
inline constexpr int kHold = 0x20000;
inline constexpr int kAbort = 0x400000;
inline constexpr int kLearn = 0x800000;

// Statuses of reply 14 and the last message.
inline constexpr int kCreated = 0;
inline constexpr int kEnded = 8;
inline constexpr int kShutdown = 99;
// Sub-states of reply 17.
inline constexpr int kReady = 20;
inline constexpr int kRunning = 21;
inline constexpr int kHeld = 22;
inline constexpr int kRunning24 = 24;

// A message as msgsnd and msgrcv take it.
struct Msg {
    long mtype = 0;
    unsigned char text[kTextSize] = {};
};

int32_t Int(const Msg& m, size_t at);
void SetInt(Msg& m, size_t at, int32_t value);
// The text of a field, up to its NUL or its width.
std::string Text(const Msg& m, size_t at, size_t width);
// The text into a field, zero-filled, at most width - 1 characters.
void SetText(Msg& m, size_t at, size_t width, const std::string& text);

} // namespace wire
