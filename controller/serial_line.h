// The serial line to the controller, shared by the two serial families:
// opening and setting up the line from the SERVO port record, sending a
// command line, reading and polling reply lines, waiting for an expected
// reply code, draining the line. Only one family is active in a run, so the
// line's state is one record; each family's driver sets the protocol it
// speaks when it opens the line.
#pragma once

#include <cstddef>
#include <string>

// What differs between the families on the line.
struct SerialProtocol {
    void (*parse)() = nullptr;    // the family's reply parser, run on each line read
    bool pathInOpenTexts = false; // family A names the device in the open failures
    bool singleCharAlone = false; // family B sends one-character texts without CR LF
};

inline constexpr size_t kReplyLineSize = 200;

struct SerialLine {
    int fd = -1;        // the open controller line
    int waitCode = 0;   // the reply code the command last sent expects
    int gotCode = 0;    // code of the last parsed reply; 0 none, -1 BUSY (family B)
    int errFlag = 0;    // 1 when the last parsed reply was an error reply
    std::string msgBuf; // text of the error box and of the homing busy box
    int errCount = 0;   // error lines printed by the current error report
    // The last reply line as read, CR and LF included, NUL-ended; its length
    // counts every character stored, the line end included.
    char replyLine[kReplyLineSize] = {};
    int replyLen = 0;
    SerialProtocol protocol;
};

extern SerialLine ServoLine;

// Looks up the SERVO record, opens its device and sets the line up (record
// cflag, raw mode, XON/XOFF, 5 s read time-out). 1 with ServoLine.fd open and
// the protocol set; 0 after a message box, with nothing left open. The
// family's wake-up follows in its driver.
int ServoOpenLine(const SerialProtocol& protocol);

// Opens a serial device for reading and writing without waiting for a
// carrier, without taking it as the controlling terminal and without
// passing it to children; the descriptor is blocking again when it is
// returned. -1 (errno set) when it does not open.
int OpenSerialDevice(const std::string& path);
// Writes the bytes to a line, waiting at most 5 s for it to take them;
// false (errno set) when it did not.
bool WriteBounded(int fd, const std::string& bytes);

// Writes the bytes as they stand, waiting at most 5 s for the line to take
// them; false (errno set) when it did not.
bool ServoWriteRaw(const std::string& bytes);
// Writes the text and CR LF (family B: a one-character text goes alone).
void writeservo(const std::string& text);

// One non-blocking read of one byte into c[0] (and the reply line's first
// character); the read count: 1 byte read, 0 or -1 none.
int ServoReadByte(int fd, char* c);
// Reads the rest of a reply line (blocking, 5 s line time-out); 0 or -1.
// A line still open 64 KiB or 5 s after its first byte is a failed read.
int readline();
// At most one reply line read and parsed: 0 parsed, -1 none.
int ServoPoll();
// Polls every 250 ms until the reply of code (or an error reply; with busyOk
// a BUSY reply too) came: 0; -82 after (4 * count + 2) polls without it.
int ServoWaitReply(int count, int code, int busyOk = 0);
// Sleeps n seconds, then throws away what the controller sent (at most
// 64 KiB, and not beyond n + 2 s from the start).
void ServoDrain(int n);
// Closes the line; 1.
int ServoClose();
