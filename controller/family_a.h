// Family A controller driver. The controller speaks a line protocol of
// letters and hexadecimal numbers: every command is one line "N", the code
// of the reply it expects, then fields (a letter and its value in
// upper-case hex without leading zeros, the bare letter for 0); every reply
// is one line beginning 'N' (normal) or 'n' (error), its code and, for the
// status replies, a hexadecimal status field.
//
// family_a.cpp: the command builder, the reply parser and the short
// exchanges (ping, status, stop, error report). family_a_home.cpp: the
// wake-up after each open, the system parameters and their download, the
// homing run.
#pragma once

#include "controller.h"

#include <cstdint>
#include <string>

namespace FamilyA {

// ServoCmd modes.
inline constexpr int kCmdStart = 0;  // a new line; the value is the reply code awaited
inline constexpr int kCmdAppend = 1; // append the field
inline constexpr int kCmdSend = 2;   // append the field and send the line

// Status bytes of the last status reply: byte 0 from the field's last two
// digits, byte 1 from the two before, and so on; cleared by every parse.
inline constexpr int kStatBytes = 10;
extern unsigned char ServoStatBytes[kStatBytes];
// The command line being built.
extern std::string ServoCmdLine;

// Words of syspar.bin, word n at index n; 0 where the file does not reach.
inline constexpr int kSysParWords = 600;
extern int32_t SysParTable[kSysParWords];

// Builds and sends command lines (see the modes). A blank letter appends
// nothing. Values are 32-bit, so -1 goes out as FFFFFFFF.
void ServoCmd(int letter, uint32_t value, int mode);
// Parses ServoLine.replyLine: the reply code into ServoLine.gotCode, the
// error flag, the status bytes.
void ServoParseReply();
// The status field after the first of letters in line (scanned within 200
// characters, up to LF): its last 20 digits at most, converted from the end
// until a character that is not 0-9 or A-F, into bytes (all cleared first).
void ReadStatusField(const char* line, const char* letters, unsigned char bytes[kStatBytes]);
// The error-bit field of an F4 reply: up to 30 hex digits after an 'H'
// within the first 31 characters. Its last 8 digits are bits 0-31 (*low),
// the up to 8 before them bits 32-63 (*high), the rest ignored. False when
// there is no such field.
bool DecodeErrorMask(const char* line, uint32_t* low, uint32_t* high);

// 0 answered, -82 silent (after one retry).
int ServoPing();
// 0 answered, 2 error reply, -82 silent.
int ServoQueryStatus(int quick);
// 0 homed, 1 not homed, 2 error reply, 99 fault, -82 silent (nocheck 0
// only), -128 no reply to the home-state query.
int ServoStatus(int nocheck);
// Stops the motion: 0 answered, -82 silent.
int ServoAbort();
// The controller's errors in a box closed by the label's text: -1 nothing to
// report, else the operator's answer (1 retry, 0 give up). flag 1 before
// homing, 0 after a homing run that did not succeed.
int ServoErrorReport(int label, int flag);
// Steps of the report: the texts of the class's error bits, and one error.
void ServoErrorTexts(std::string& msg, int errorClass);
void ServoErrorLine(int n, std::string& msg);

// Loads syspar.bin: 1, or 0 when it does not open (the table stays 0).
int ServoParam();
// Opens and sets up the line, then wakes the controller: 1, or 0.
int ServoOpen();
// go 0 downloads the parameters, go 1 homes the machine.
int ServoHome(int go);
int ServoSetupAndHome(int go);
void ServoDownloadParams();
void ServoAutoZero();

// The routines the dispatch reaches for family A.
extern const ControllerDriver kDriver;

} // namespace FamilyA
