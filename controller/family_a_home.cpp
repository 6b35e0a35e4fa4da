// Family A: the wake-up after each open, the system parameters of syspar.bin
// and their download, and the homing run.
#include "family_a.h"

#include "le.h"
#include "linereader.h"
#include "nap.h"
#include "operator_ui.h"
#include "serial_line.h"
#include "servomotion.h"
#include "sysgen.h"
#include "zalloc.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <utility>

namespace FamilyA {

int32_t SysParTable[kSysParWords] = {};

namespace {

constexpr const char* kSysParPath = "/u/qel/sys_data/files/syspar.bin";
constexpr int kLabelStatusUnread = 105;
constexpr int kLabelHomingError = 190;

// Configuration items read while the machine is set up and homed.
constexpr int kItemWAxis = 7;
constexpr int kItemJoystickX = 8, kItemJoystickY = 9, kItemJoystickZ = 10;
constexpr int kItemRealQ18 = 11, kItemRealQ19 = 12;
constexpr int kItemProbeHead = 21;
constexpr int kItemProbeTypeA = 22, kItemProbeTypeB = 25;

SerialProtocol Protocol() {
    SerialProtocol p;
    p.parse = ServoParseReply;
    p.pathInOpenTexts = true;
    return p;
}

void Send(int code, int letter, uint32_t value) {
    ServoCmd('N', static_cast<uint32_t>(code), kCmdStart);
    ServoCmd(letter, value, kCmdSend);
}

// "N" + code, then the fields in order, sent.
void SendFields(int code, std::initializer_list<std::pair<char, uint32_t>> fields) {
    ServoCmd('N', static_cast<uint32_t>(code), kCmdStart);
    for (const auto& [letter, value] : fields) ServoCmd(letter, value, kCmdAppend);
    ServoCmd(' ', 0, kCmdSend);
}

// A parameter line: "NF8S" + its number + the fields.
void ParamLine(uint32_t number, std::initializer_list<std::pair<char, uint32_t>> fields) {
    ServoCmd('N', 0xF8, kCmdStart);
    ServoCmd('S', number, kCmdAppend);
    for (const auto& [letter, value] : fields) ServoCmd(letter, value, kCmdAppend);
    ServoCmd(' ', 0, kCmdSend);
}

uint32_t W(int n) {
    return static_cast<uint32_t>(SysParTable[n]);
}

bool ItemIs1(int item) {
    return GetSysgenInt(item) == 1;
}

// A real item times word 38, truncated toward zero and kept within int32.
uint32_t ScaledWord38(int item) {
    const double product = GetSysgenReal(item) * SysParTable[38];
    if (std::isnan(product)) return 0;
    const double t = std::trunc(product);
    const int32_t v = t <= INT32_MIN   ? INT32_MIN
                      : t >= INT32_MAX ? INT32_MAX
                                       : static_cast<int32_t>(t);
    return static_cast<uint32_t>(v);
}

void WriteWakeUp(const std::string& bytes) {
    if (!ServoWriteRaw(bytes)) std::perror("writeservo()");
}

void WakeUpRound() {
    for (const char* b : {"\r\n", "\x13", "\x06", "\x11"}) WriteWakeUp(b);
}

} // namespace

int ServoParam() {
    std::fill(std::begin(SysParTable), std::end(SysParTable), 0);
    UniqueFile f(zfopen("ServoParam", kSysParPath, "rb"));
    if (!f) {
        std::fprintf(stderr, "ServoParam: can not open sysparam file!!!\n");
        return 0;
    }
    int n = 0;
    unsigned char word[4];
    while (n < kSysParWords && std::fread(word, 1, 4, f.get()) == 4)
        SysParTable[n++] = GetLeI32(word);
    if (n == kSysParWords && std::fgetc(f.get()) != EOF)
        std::fprintf(stderr, "ServoParam: syspar.bin holds more than %d words, the rest ignored\n",
                     kSysParWords);
    return 1;
}

int ServoOpen() {
    if (!ServoOpenLine(Protocol())) return 0;
    WakeUpRound();
    ServoDrain(1);
    WakeUpRound();
    WakeUpRound();
    ServoDrain(1);
    SendFields(0xFF, {{'S', 0x2E}, {'U', 0}});
    nap(2000);
    WriteWakeUp("\x06");
    SendFields(0xFF, {{'S', 0x20}, {'L', 0}});
    SendFields(0xFF, {{'S', 0x2D}, {'U', 0xFF02}});
    Send(0xF7, 'S', 0x24);
    ServoDrain(1);
    return 1;
}

void ServoDownloadParams() {
    ParamLine(0x1, {{'X', W(9)}, {'Y', W(10)}, {'Z', W(11)}, {'W', W(12)}});
    ParamLine(0x2, {{'Q', W(20)}});
    ParamLine(0x3, {{'X', W(4)}, {'Y', W(5)}, {'Z', W(6)}, {'W', W(7)}});
    ParamLine(0x4, {{'U', W(8)}});
    ParamLine(0x5, {{'V', W(19)}});
    ParamLine(0x6, {{'U', W(17)}, {'L', W(18)}});
    ParamLine(0x7, {{'U', W(50)}});
    ParamLine(0x8, {{'U', W(37)}});
    ParamLine(0x9, {{'X', W(29)}, {'Y', W(31)}, {'Z', W(33)}, {'W', W(35)}});
    ParamLine(0x10, {{'X', W(30)}, {'Y', W(32)}, {'Z', W(34)}, {'W', W(36)}});
    ParamLine(0x11, {{'X', W(21)}, {'Y', W(22)}, {'Z', W(23)}, {'W', W(24)}});
    ParamLine(0x12, {{'X', W(25)}, {'Y', W(26)}, {'Z', W(27)}, {'W', W(28)}});
    ParamLine(0x13, {{'X', W(13)}, {'Y', W(14)}, {'Z', W(15)}, {'W', W(16)}});
    ParamLine(0x15, {{'Q', W(40)}, {'V', W(46)}});
    ParamLine(0x16, {{'Q', W(41)}, {'V', W(47)}});
    ParamLine(0x17, {{'Q', W(39)}, {'V', W(45)}});
    ParamLine(0x18, {{'Q', W(42)}, {'V', W(48)}, {'X', ScaledWord38(kItemRealQ18)}});
    ParamLine(0x19, {{'Q', W(43)}, {'V', W(49)}, {'X', ScaledWord38(kItemRealQ19)}});
    ParamLine(0x25, {{'X', W(55)},
                     {'Y', W(56)},
                     {'Z', W(57)},
                     {'W', ItemIs1(kItemWAxis) ? W(58) : 0},
                     {'U', ItemIs1(kItemProbeHead) ? 9u : 0}});
    ParamLine(0x1D, {{'X', ItemIs1(kItemJoystickX) ? 0xFFu : 0},
                     {'Y', ItemIs1(kItemJoystickY) ? 0xFFu : 0},
                     {'Z', ItemIs1(kItemJoystickZ) ? 0xFFu : 0}});
    if (W(59) != 0) ParamLine(0x1A, {{'X', W(59)}, {'Y', W(60)}, {'Z', W(61)}, {'W', W(62)}});
    ParamLine(0x1B, {{'Q', W(73)}});
    if (W(75) != 0) ParamLine(W(75) == 2 ? 0x30 : 0x32, {});
    if (W(76) != 0) ParamLine(W(76) == 2 ? 0x31 : 0x33, {});
    ParamLine(0x29, {{'X', W(51)}, {'Y', W(52)}, {'Z', W(53)}, {'W', W(54)}});
    ParamLine(0xC, {{'X', W(77)}, {'Y', W(78)}, {'Z', W(79)}, {'W', W(80)}});
    ParamLine(0xD, {{'X', W(81)}, {'Y', W(82)}, {'Z', W(83)}, {'W', W(84)}});
    ParamLine(0xE, {{'X', W(85)}, {'Y', W(86)}, {'Z', W(87)}, {'W', W(88)}});
    ParamLine(W(95) == 1 ? 0x34 : 0x35, {});
    ParamLine(0x52, {{'U', 0xFF}});
    ParamLine(0x2A, {{'X', W(0)}, {'Y', W(1)}, {'Z', W(2)}, {'W', W(3)}});
    // Group lines: only the non-zero words of each group of four.
    for (int i = 0; i < 16; ++i) {
        const int first = 96 + 4 * i;
        if (!(W(first) | W(first + 1) | W(first + 2) | W(first + 3))) continue;
        ServoCmd('N', 0xFF, kCmdStart);
        ServoCmd('S', static_cast<uint32_t>(0x60 + i), kCmdAppend);
        const char letters[] = "XYZW";
        for (int k = 0; k < 4; ++k)
            if (W(first + k)) ServoCmd(letters[k], W(first + k), kCmdAppend);
        ServoCmd(' ', 0, kCmdSend);
    }
}

void ServoAutoZero() {
    ServoQueryStatus(1);
    Send(0xFF, 'm', 0x95);
    Send(0xF8, 'M', ItemIs1(kItemProbeTypeA) && ItemIs1(kItemProbeTypeB) ? 0x62 : 0x60);
    if (ItemIs1(kItemWAxis))
        SendFields(0xF5, {{'G', 5}, {'X', 0}, {'Y', 0}, {'Z', 0}, {'W', 0}});
    else
        SendFields(0xF5, {{'G', 5}, {'X', 0}, {'Y', 0}, {'Z', 0}});
    nap(2000);
    WatchHomingMotion(ServoStatus);
}

int ServoSetupAndHome(int go) {
    for (;;) {
        UiWaitSecondsAll(0);
        ServoQueryStatus(1);
        Send(0xFF, 'm', 0x95);
        Send(0xF1, 'M', 0x80);
        ServoWaitReply(4, 0xF1);
        if (go == 0) ServoDownloadParams();
        Send(0xF6, 'm', 0x42);
        Send(0xFF, 'm', 0x95);
        Send(0xF1, 'M', 0x80);
        ServoWaitReply(4, 0xF1);
        if (go == 0) return 0;

        const int answer = ServoErrorReport(kLabelHomingError, 1);
        if (answer == 1) continue;
        if (answer == 0) return HomeResult = kServoFault;

        const int after = HomeUnderDialog(ServoAutoZero, ServoErrorReport);
        if (after == kHomeAgain) continue;
        return after;
    }
}

int ServoHome(int go) {
    UiWaitSecondsAll(0);
    Send(0xF6, 'm', 0x42);
    Send(0xFF, 'm', 0x95);
    HomeResult = ServoStatus(0);
    if (HomeResult == kServoNoStatus || HomeResult == kServoTimeout) {
        UiShowHomeMessage(kLabelStatusUnread);
        return HomeResult;
    }
    if (HomeResult == kServoError) {
        if (ServoStatBytes[1] & 0x01) HomeResult = kServoNotHomed;
        Send(0xF6, 'm', 0x42);
        Send(0xFF, 'm', 0x95);
    }
    const int r = ServoSetupAndHome(go);
    if (r != 0) return r;
    Send(0xF1, 'M', 0x80);
    if (ServoWaitReply(4, 0xF1) != 0 || ServoLine.errFlag) return HomeResult = kServoNoStatus;
    return HomeResult;
}

const ControllerDriver kDriver = {
    ServoOpen,  ServoHome, ServoClose, ServoAbort, ServoPing, [] { return ServoStatus(0); },
    ServoParam,
};

} // namespace FamilyA
