// Family B controller driver. The controller speaks plain text: commands
// are words ("ESTATUS", "SET_PAR HAVE_PH9,1" ...) ended by CR LF, plus the
// single control bytes STX (status request), ETX (after an error reply,
// before homing) and EM (stop); replies are text lines recognised by their
// first characters. A reply carries no code of its own: the driver keeps
// the code of the reply it waits for (ServoLine.waitCode) and accepts only
// that code's keywords.
//
// family_b.cpp: the keyword table, the sender, the reply parser and the
// short exchanges (ping, status, stop, error report). family_b_home.cpp:
// the wake-up after each open, the parameter check and download, the
// homing run. family_b_upload.cpp: the constants upload.
#pragma once

#include "controller.h"

#include <string>

namespace FamilyB {

// Wait codes (the reply a command expects).
inline constexpr int kWaitStatus = 0xF1;  // "%" or "READY"
inline constexpr int kWaitHomed = 0xF2;   // "ENABLED" / "DISABLED"
inline constexpr int kWaitMotion = 0xF5;  // nothing
inline constexpr int kWaitStop = 0xF6;    // nothing
inline constexpr int kWaitQuiet = 0xF7;   // nothing
inline constexpr int kWaitParam = 0xF8;   // the parameter's name
inline constexpr int kWaitRelays = 0xF9;  // "ESTOP" / "ONLIN", then a drain
inline constexpr int kWaitFileRed = 0xFA; // "%", then a drain
inline constexpr int kWaitNone = 0xFF;    // nothing

// Slots of the keyword table (17 to 19 stay empty).
enum Keyword {
    kStx = 0,
    kEtx = 1,
    kEmpty = 2,
    kAutzer = 3,
    kShowAutzer = 4,
    kSetPar = 5,
    kEstatus = 6,
    kEnableRelays = 7,
    kDisableRelays = 8,
    kShowRelays = 9,
    kProbeTp2 = 10,
    kProbeNul = 11,
    kEnableAbout = 12,
    kDisableAbout = 13,
    kDisableKamikaze = 14,
    kEnableKamikaze = 15,
    kEm = 16,
    kPrompt = 20,
    kReady = 21,
    kBusy = 22,
    kError = 23,
    kError2 = 24, // bytes 0x8F 0x50 0x8F 0x55, then "ERROR"
    kEnabled = 25,
    kDisabled = 26,
    kEstop = 27,
    kOnlin = 28,
    kJstkSgn = 29,
    kHavePh9 = 30,
    kHaveRotary = 31,
    kFileRed = 32,
    kKeywords = 33
};

// 1 after an "ENABLED" or "ONLIN" reply, 0 after any other parsed line.
extern int ServoStateFlag;
// The last error reply: its first 80 characters when the line (as stored,
// line end included) is longer than 20, else "ERROR". Cleared by each
// ServoStatus.
extern std::string SavedErrorLine;

// Fills the keyword table (once; later calls do nothing).
void ServoInitStrings();
const std::string& ServoKeyword(int slot);
// Sets the wait code, and sends the text when it is not empty.
void ServoSend(int code, const std::string& text);
// Parses ServoLine.replyLine: the code, the error and state flags, the
// saved error line.
void ParseFromServo();

// 0 answered (BUSY included), -82 silent after one retry.
int ServoPing();
// 0 answered, 2 error reply, -82 silent.
int ServoQueryStatus(int quick);
// 0 homed, 1 not homed or busy, 2 error reply, -82 silent (nocheck 0 only),
// -128 no answer to the status request.
int ServoStatus(int nocheck);
// Stops the motion: 0 answered, -82 silent.
int ServoAbort();
// The saved error reply in a box closed by the label's text: -1 nothing to
// report (flag non-zero, or no error line saved), else the operator's answer
// (1 retry, 0 give up).
int ServoErrorReport(int label, int flag);
// Step of the report: the line's error text printed and, for the first two,
// appended to msg with "\n".
void ServoErrorLine(std::string& msg, const std::string& line);
// The error text of an error line: its fourth non-empty comma field, at
// most 80 characters, without trailing CR, LF and blanks; "ERROR" when the
// line has fewer fields (or the field holds nothing else).
std::string ErrorText(const std::string& line);

// 1 when constant.asc can be opened for reading, else 0.
int ServoParam();
// Opens and sets up the line, then wakes the controller: 1, or 0.
int ServoOpen();
// go 0 downloads the parameters, go 1 homes the machine.
int ServoHome(int go);
int ServoSetupAndHome(int go);
void ServoDownloadParams();
void ServoAutoZero();

// The routines the dispatch reaches for family B.
extern const ControllerDriver kDriver;

} // namespace FamilyB
