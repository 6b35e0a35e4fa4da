// Family B: the keyword table, the sender, the reply parser and the short
// exchanges.
#include "family_b.h"

#include "operator_ui.h"
#include "serial_line.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace FamilyB {

int ServoStateFlag = 0;
std::string SavedErrorLine;

namespace {

constexpr int kLabelErrorBox = 104;
constexpr size_t kSavedChars = 80;  // of an error line, and of its text
constexpr size_t kShortError = 20;  // an error line of at most this many is just "ERROR"
constexpr int kErrorTextField = 4;  // the error text's comma field, counting from 1
constexpr int kShownErrorLines = 2; // error lines that go into the box
// Codes of the other family that take no keyword here.
constexpr int kWaitF3 = 0xF3, kWaitF4 = 0xF4;

std::string Keywords[kKeywords];

// Does the line begin with the keyword? Compared as bytes, within the line.
bool Starts(const char* line, size_t length, int slot) {
    const std::string& keyword = Keywords[slot];
    return !keyword.empty() && length >= keyword.size() &&
           std::memcmp(line, keyword.data(), keyword.size()) == 0;
}

bool IsErrorLine(const char* line, size_t length) {
    return Starts(line, length, kError) || Starts(line, length, kError2);
}

// A wait that ends on BUSY too.
constexpr int kBusyOk = 1;

} // namespace

void ServoInitStrings() {
    static bool filled = false;
    if (filled) return;
    filled = true;
    const char* const texts[kKeywords] = {
        "\x02",
        "\x03",
        "",
        "AUTZER",
        "SHOW AUTZER",
        "SET_PAR",
        "ESTATUS",
        "ENABLE RELAYS",
        "DISABLE RELAYS",
        "SHOW RELAYS",
        "PRBTYP TP2",
        "PRBTYP NUL",
        "ENABLE ABOUT",
        "DISABLE ABOUT",
        "DISABLE KAMIKAZE",
        "ENABLE KAMIKAZE",
        "\x19",
        "",
        "",
        "",
        "%",
        "READY",
        "BUSY",
        "ERROR",
        "\x8FP\x8FUERROR", // 0x8F 0x50 0x8F 0x55, then ERROR
        "ENABLED",
        "DISABLED",
        "ESTOP",
        "ONLIN",
        "JSTK_SGN",
        "HAVE_PH9",
        "HAVE_ROTARY?",
        "FILE_RED",
    };
    for (int i = 0; i < kKeywords; ++i) Keywords[i] = texts[i];
}

const std::string& ServoKeyword(int slot) {
    ServoInitStrings();
    static const std::string none;
    return slot >= 0 && slot < kKeywords ? Keywords[slot] : none;
}

void ServoSend(int code, const std::string& text) {
    ServoLine.waitCode = code;
    if (!text.empty()) writeservo(text);
}

void ParseFromServo() {
    ServoInitStrings();
    ServoStateFlag = 0;
    ServoLine.errFlag = 0;
    ServoLine.gotCode = 0;
    const char* line = ServoLine.replyLine;
    const size_t length = strnlen(line, kReplyLineSize);
    if (IsErrorLine(line, length)) {
        ServoLine.gotCode = ServoLine.waitCode;
        ServoLine.errFlag = 1;
        SavedErrorLine =
            length > kShortError ? std::string(line, std::min(length, kSavedChars)) : "ERROR";
        return;
    }
    if (Starts(line, length, kBusy)) {
        ServoLine.gotCode = -1;
        return;
    }
    auto match = [&](int slot, int state) {
        if (!Starts(line, length, slot)) return false;
        ServoLine.gotCode = ServoLine.waitCode;
        ServoStateFlag = state;
        return true;
    };
    switch (ServoLine.waitCode) {
    case kWaitStatus:
        match(kPrompt, 0) || match(kReady, 0);
        break;
    case kWaitHomed:
        match(kDisabled, 0) || match(kEnabled, 1);
        break;
    case kWaitParam:
        match(kHavePh9, 0) || match(kJstkSgn, 0) || match(kHaveRotary, 0);
        break;
    case kWaitRelays:
        // The rest of the answer is thrown away.
        if (match(kEstop, 0) || match(kOnlin, 1)) ServoDrain(1);
        break;
    case kWaitFileRed:
        if (match(kPrompt, 0)) ServoDrain(1);
        break;
    case kWaitF3:
    case kWaitF4:
    case kWaitMotion:
    case kWaitStop:
    case kWaitQuiet:
    case kWaitNone:
        break;
    default:
        std::fprintf(stderr, "vok: error in parse fromservo = <%4s>\n", line);
        break;
    }
}

int ServoPing() {
    for (int attempt = 0; attempt < 2; ++attempt) {
        ServoSend(kWaitStop, "");
        ServoSend(kWaitNone, ServoKeyword(kEtx));
        ServoSend(kWaitStatus, ServoKeyword(kStx));
        if (ServoWaitReply(5, kWaitStatus, kBusyOk) != kServoTimeout) return 0;
        std::printf("timeout waiting for servo status response!\n");
        std::fflush(stdout);
    }
    return kServoTimeout;
}

int ServoQueryStatus(int quick) {
    ServoSend(kWaitStop, "");
    ServoSend(kWaitStatus, ServoKeyword(kStx));
    const int r = ServoWaitReply(quick ? 10 : 2, kWaitStatus);
    if (ServoLine.errFlag) {
        ServoSend(kWaitNone, ServoKeyword(kEtx));
        return kServoError;
    }
    return r;
}

int ServoStatus(int nocheck) {
    SavedErrorLine.clear();
    if (nocheck == 0) {
        if (ServoQueryStatus(0) == kServoTimeout) return kServoTimeout;
        if (ServoLine.errFlag) ServoSend(kWaitNone, ServoKeyword(kEtx));
    }
    ServoSend(kWaitStatus, ServoKeyword(kStx));
    if (ServoWaitReply(2, kWaitStatus, kBusyOk) == kServoTimeout) {
        ServoSend(kWaitStatus, ServoKeyword(kStx));
        if (ServoWaitReply(2, kWaitStatus, kBusyOk) == kServoTimeout) return kServoNoStatus;
    }
    if (ServoLine.gotCode == -1) return kServoNotHomed;
    if (ServoLine.errFlag) {
        ServoSend(kWaitNone, ServoKeyword(kEtx));
        return kServoError;
    }
    ServoSend(kWaitHomed, ServoKeyword(kShowAutzer));
    ServoWaitReply(10, kWaitHomed, kBusyOk);
    return ServoStateFlag == 1 ? kServoOk : kServoNotHomed;
}

int ServoAbort() {
    ServoSend(kWaitNone, "");
    ServoSend(kWaitStop, ServoKeyword(kEm));
    ServoSend(kWaitNone, "");
    ServoSend(kWaitQuiet, "");
    ServoSend(kWaitStatus, ServoKeyword(kStx));
    return ServoWaitReply(10, kWaitStatus);
}

int ServoErrorReport(int label, int flag) {
    if (flag != 0) return -1;
    if (!IsErrorLine(SavedErrorLine.c_str(), SavedErrorLine.size())) return -1;
    ServoLine.errCount = 0;
    std::string msg = UiLabText(kLabelErrorBox) + " \n";
    ServoErrorLine(msg, SavedErrorLine);
    msg += UiLabText(label);
    ServoLine.msgBuf = msg;
    return UiMessageDialog(ServoLine.msgBuf, 0);
}

std::string ErrorText(const std::string& line) {
    int field = 0;
    size_t at = 0;
    while (at <= line.size()) {
        size_t comma = line.find(',', at);
        if (comma == std::string::npos) comma = line.size();
        if (comma > at && ++field == kErrorTextField) {
            std::string text = line.substr(at, std::min(comma - at, kSavedChars));
            const size_t last = text.find_last_not_of("\r\n ");
            text.erase(last == std::string::npos ? 0 : last + 1);
            return text.empty() ? "ERROR" : text;
        }
        at = comma + 1;
    }
    return "ERROR";
}

void ServoErrorLine(std::string& msg, const std::string& line) {
    const std::string text = ErrorText(line);
    ++ServoLine.errCount;
    std::fprintf(stderr, "SERVO ERROR %2d: %s\n", ServoLine.errCount, text.c_str());
    if (ServoLine.errCount <= kShownErrorLines) msg += text + "\n";
}

} // namespace FamilyB
