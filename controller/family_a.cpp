// Family A: the command builder, the reply parser and the short exchanges.
#include "family_a.h"

#include "dbservo.h"
#include "operator_ui.h"
#include "serial_line.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace FamilyA {

unsigned char ServoStatBytes[kStatBytes] = {};
std::string ServoCmdLine;

namespace {

constexpr int kLabelErrorBox = 104;
constexpr size_t kStatusScan = 200;   // characters searched for the status field
constexpr size_t kStatusDigits = 20;  // digits that fit the status bytes
constexpr size_t kGroupDigits = 8;    // digits of one 32-bit group of an error mask
constexpr size_t kServoTextSize = 80; // text of one error line

bool IsUpperHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

bool IsHex(char c) {
    return IsUpperHex(c) || (c >= 'a' && c <= 'f');
}

int Nibble(char c) {
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

// "N" + the reply code, then one field, sent.
void Send(int code, int letter, uint32_t value) {
    ServoCmd('N', static_cast<uint32_t>(code), kCmdStart);
    ServoCmd(letter, value, kCmdSend);
}

// A wait, and a second one when the first timed out or ended on an error.
int WaitTwice(int count, int code) {
    int r = ServoWaitReply(count, code);
    if (r != 0 || ServoLine.errFlag) r = ServoWaitReply(count, code);
    return r;
}

// The class of the error bits of status byte 1; 0 none.
int ErrorClass(unsigned char b) {
    if (b & 0x01) return 1;
    if (b & 0x02) return 2;
    if (b & 0x04) return 3;
    if (b & 0x10) return 5;
    return 0;
}

} // namespace

void ServoCmd(int letter, uint32_t value, int mode) {
    if (mode == kCmdStart) {
        ServoCmdLine.clear();
        ServoLine.waitCode = static_cast<int>(value);
    }
    if (letter != ' ') {
        ServoCmdLine += static_cast<char>(letter);
        if (value != 0) {
            char hex[12];
            std::snprintf(hex, sizeof hex, "%X", value);
            ServoCmdLine += hex;
        }
    }
    if (mode == kCmdSend) writeservo(ServoCmdLine);
}

void ReadStatusField(const char* line, const char* letters, unsigned char bytes[kStatBytes]) {
    std::memset(bytes, 0, kStatBytes);
    size_t at = 0;
    while (at < kStatusScan && line[at] && line[at] != '\n' && !std::strchr(letters, line[at]))
        ++at;
    if (at >= kStatusScan || !line[at] || line[at] == '\n') return;
    const size_t first = at + 1;
    size_t end = first;
    while (IsHex(line[end])) ++end;
    // From the end backwards: a lower-case digit stops it too.
    size_t digits = 0;
    for (size_t i = end; i > first && digits < kStatusDigits; --i, ++digits) {
        const char c = line[i - 1];
        if (!IsUpperHex(c)) break;
        bytes[digits / 2] |= static_cast<unsigned char>(Nibble(c) << (4 * (digits % 2)));
    }
}

void ServoParseReply() {
    std::memset(ServoStatBytes, 0, sizeof ServoStatBytes);
    ServoLine.errFlag = 0;
    const char* line = ServoLine.replyLine;
    if (line[0] != 'N' && line[0] != 'n') return;
    uint32_t value = 0;
    for (int i = 1; i <= 8 && IsHex(line[i]); ++i) value = value << 4 | Nibble(line[i]);
    const int code = static_cast<int32_t>(value) % 256;
    ServoLine.gotCode = code;
    if (line[0] == 'n') {
        ServoLine.errFlag = 1;
        ReadStatusField(line, "Hh", ServoStatBytes);
        ServoStatBytes[1] &= 0x27;
        if (ServoStatBytes[1] == 0) ServoLine.errFlag = 0;
        return;
    }
    if (code >= 0xF1 && code <= 0xF4) {
        ReadStatusField(line, "oHh", ServoStatBytes);
    } else if ((code >= 0xF5 && code <= 0xFA) || code == 0xFF) {
        // accepted, nothing more in it
    } else {
        std::printf(".");
        std::fflush(stdout);
        ServoLine.gotCode = 0;
    }
}

bool DecodeErrorMask(const char* line, uint32_t* low, uint32_t* high) {
    char letter = 0;
    char digits[31] = {};
    if (std::sscanf(line, "%*30[^H]%c%30[0-9A-Fa-f]", &letter, digits) < 1 || letter != 'H')
        return false;
    const size_t n = std::strlen(digits);
    const size_t lowStart = n > kGroupDigits ? n - kGroupDigits : 0;
    const size_t highStart = lowStart > kGroupDigits ? lowStart - kGroupDigits : 0;
    *low = static_cast<uint32_t>(std::strtoul(std::string(digits + lowStart).c_str(), nullptr, 16));
    *high = static_cast<uint32_t>(
        std::strtoul(std::string(digits + highStart, lowStart - highStart).c_str(), nullptr, 16));
    return true;
}

int ServoPing() {
    for (int attempt = 0; attempt < 2; ++attempt) {
        Send(0xF6, 'm', 0x42);
        Send(0xFF, 'm', 0x95);
        Send(0xF1, 'm', 0x80);
        if (ServoWaitReply(5, 0xF1) != kServoTimeout) return 0;
        std::printf("timeout waiting for servo status response!\n");
        std::fflush(stdout);
    }
    return kServoTimeout;
}

int ServoQueryStatus(int quick) {
    Send(0xF6, 'm', 0x42);
    Send(0xF1, 'M', 0x80);
    const int r = ServoWaitReply(quick ? 10 : 2, 0xF1);
    return ServoLine.errFlag ? kServoError : r;
}

int ServoStatus(int nocheck) {
    if (nocheck == 0) {
        if (ServoQueryStatus(0) == kServoTimeout) return kServoTimeout;
        if (ServoLine.errFlag) Send(0xFF, 'm', 0x95);
    }
    Send(0xF2, 'm', 0x85);
    if (ServoWaitReply(2, 0xF2) == kServoTimeout) {
        Send(0xF2, 'm', 0x85);
        if (ServoWaitReply(2, 0xF2) == kServoTimeout) return kServoNoStatus;
    }
    if (ServoLine.errFlag) return kServoError;
    if (ServoStatBytes[3] != 0) return kServoFault;
    return (ServoStatBytes[2] >> 5) & 1;
}

int ServoAbort() {
    Send(0xFF, 'm', 0x40);
    Send(0xF6, 'm', 0x42);
    Send(0xFF, 'm', 0x41);
    Send(0xF7, 'S', 0x24);
    Send(0xF1, 'M', 0x80);
    return ServoWaitReply(4, 0xF1);
}

int ServoErrorReport(int label, int flag) {
    // Silence must leave nothing to report, not the bytes of an older reply.
    std::memset(ServoStatBytes, 0, sizeof ServoStatBytes);
    Send(0xF3, 'M', 0x80);
    WaitTwice(10, 0xF3);
    int errorClass = ErrorClass(ServoStatBytes[1]);
    if (flag == 1 && errorClass == 0) return -1;
    if (flag == 0 && errorClass == 0) {
        if (!(ServoStatBytes[1] & 0x08)) return -1;
        Send(0xF3, 'M', 0x85);
        WaitTwice(10, 0xF3);
        ServoStatBytes[2] &= static_cast<unsigned char>(~0x20);
        bool any = false;
        for (int i = 0; i < 8; ++i) any = any || ServoStatBytes[i] != 0;
        if (!any) return -1;
        errorClass = 4;
    }
    ServoLine.errCount = 0;
    std::string msg = UiLabText(kLabelErrorBox) + " \n";
    ServoErrorTexts(msg, errorClass);
    msg += UiLabText(label);
    ServoLine.msgBuf = msg;
    return UiMessageDialog(ServoLine.msgBuf, 0);
}

void ServoErrorTexts(std::string& msg, int errorClass) {
    static const int kQuery[] = {0x81, 0x83, 0x84, 0x85}; // classes 1 to 4; 0x86 else
    const int query = errorClass >= 1 && errorClass <= 4 ? kQuery[errorClass - 1] : 0x86;
    Send(0xF4, 'M', static_cast<uint32_t>(query));
    // Only the F4 reply itself is decoded, never a line left from before.
    if (WaitTwice(10, 0xF4) != 0 || ServoLine.gotCode != 0xF4) return;
    uint32_t low = 0, high = 0;
    if (!DecodeErrorMask(ServoLine.replyLine, &low, &high)) return;
    if (InitServoErrorDb() != 0) return;
    const int base = 64 * (errorClass - 1);
    for (int j = 0; j < 32; ++j)
        if (low >> j & 1) ServoErrorLine(base + j, msg);
    for (int j = 0; j < 32; ++j)
        if (high >> j & 1) ServoErrorLine(base + 32 + j, msg);
    FreeServoData();
}

void ServoErrorLine(int n, std::string& msg) {
    char text[kServoTextSize];
    int proc = 0, disp = 0;
    if (GetServoError(n, 1, &proc, &disp, text, sizeof text) != 0) return;
    ++ServoLine.errCount;
    std::fprintf(stderr, "SERVO ERROR %2d: %s(%d)\n", ServoLine.errCount, text, n);
    if (ServoLine.errCount <= 2) msg += std::string(text) + "\n";
}

} // namespace FamilyA
