// Family B: the wake-up after each open, the parameter check and download,
// and the homing run.
#include "family_b.h"

#include "linereader.h"
#include "nap.h"
#include "operator_ui.h"
#include "serial_line.h"
#include "servomotion.h"
#include "sysgen.h"
#include "zalloc.h"

#include <cstdio>

namespace FamilyB {

namespace {

constexpr const char* kConstants = "/u/qel/sys_data/files/constant.asc";
constexpr int kLabelStatusUnread = 105;
constexpr int kRelayChecks = 10; // ESTATUS rounds while the relays stay on

// Configuration items read while the machine is set up and homed.
constexpr int kItemJoystickX = 8, kItemJoystickY = 9, kItemJoystickZ = 10;
constexpr int kItemProbeHead = 21;
constexpr int kItemProbeTypeA = 22, kItemProbeTypeB = 25;

SerialProtocol Protocol() {
    SerialProtocol p;
    p.parse = ParseFromServo;
    p.singleCharAlone = true;
    return p;
}

bool ItemIs1(int item) {
    return GetSysgenInt(item) == 1;
}

int Sign(int item) {
    return ItemIs1(item) ? -1 : 1;
}

void WriteWakeUp(const std::string& bytes) {
    if (!ServoWriteRaw(bytes)) std::perror("writeservo()");
}

// Sends the text and waits (count 4) for its reply; the result is not used.
void Exchange(int code, const std::string& text) {
    ServoSend(code, text);
    ServoWaitReply(4, code);
}

// ETX, then a status request and its wait.
void ResetAndAsk() {
    ServoSend(kWaitNone, ServoKeyword(kEtx));
    Exchange(kWaitStatus, ServoKeyword(kStx));
}

} // namespace

int ServoParam() {
    UniqueFile f(zfopen("ServoParam", kConstants, "r"));
    if (!f) {
        std::fprintf(stderr, "ServoParam(): can not open sysparam file!!!\n");
        return 0;
    }
    return 1;
}

int ServoOpen() {
    if (!ServoOpenLine(Protocol())) return 0;
    ServoInitStrings();
    WriteWakeUp("\r\n");
    WriteWakeUp("\x11");
    ServoDrain(1);
    WriteWakeUp("\r\n");
    WriteWakeUp("\r\n");
    ServoDrain(1);
    ServoDrain(1);
    ServoSend(kWaitNone, "");
    ServoSend(kWaitNone, "");
    ServoSend(kWaitQuiet, "");
    ServoDrain(1);
    return 1;
}

void ServoDownloadParams() {
    Exchange(kWaitRelays, ServoKeyword(kEstatus));
    if (ServoStateFlag == 1) {
        ServoSend(kWaitRelays, ServoKeyword(kDisableRelays));
        // Counted, not timed: an answered round takes about 2 s, a silent one 5 s.
        for (int i = 0; i < kRelayChecks && ServoStateFlag == 1; ++i) {
            Exchange(kWaitRelays, ServoKeyword(kEstatus));
            nap(1000);
        }
    }
    Exchange(kWaitFileRed, ServoKeyword(kSetPar) + " " + ServoKeyword(kFileRed));
    ServoSend(kWaitRelays, ServoKeyword(kEnableRelays));
    const bool probeHead = ItemIs1(kItemProbeHead);
    Exchange(kWaitParam,
             ServoKeyword(kSetPar) + " " + ServoKeyword(kHavePh9) + "," + (probeHead ? "1" : "0"));
    Exchange(kWaitStatus, ServoKeyword(probeHead ? kEnableAbout : kDisableAbout));
    char signs[40];
    std::snprintf(signs, sizeof signs, ",%d,%d,%d", Sign(kItemJoystickX), Sign(kItemJoystickY),
                  Sign(kItemJoystickZ));
    Exchange(kWaitParam, ServoKeyword(kSetPar) + " " + ServoKeyword(kJstkSgn) + signs);
}

void ServoAutoZero() {
    ServoQueryStatus(1);
    ServoSend(kWaitNone, ServoKeyword(kEtx));
    const bool tp2 = ItemIs1(kItemProbeTypeA);
    Exchange(kWaitStatus, ServoKeyword(tp2 ? kProbeTp2 : kProbeNul));
    Exchange(kWaitStatus,
             ServoKeyword(tp2 && ItemIs1(kItemProbeTypeB) ? kDisableKamikaze : kEnableKamikaze));
    ServoSend(kWaitMotion, ServoKeyword(kAutzer));
    nap(2000);
    WatchHomingMotion(ServoStatus);
}

int ServoSetupAndHome(int go) {
    for (;;) {
        UiWaitSecondsAll(0);
        ServoQueryStatus(1);
        ResetAndAsk();
        if (go == 0) ServoDownloadParams();
        ServoSend(kWaitStop, "");
        ResetAndAsk();
        if (go == 0) return 0;

        // This family reports no error before the motion.
        const int after = HomeUnderDialog(ServoAutoZero, ServoErrorReport);
        if (after == kHomeAgain) continue;
        return after;
    }
}

int ServoHome(int go) {
    UiWaitSecondsAll(0);
    ServoSend(kWaitStop, "");
    ServoSend(kWaitNone, ServoKeyword(kEtx));
    HomeResult = ServoStatus(0);
    if (HomeResult == kServoNoStatus || HomeResult == kServoTimeout) {
        UiShowHomeMessage(kLabelStatusUnread);
        return HomeResult;
    }
    if (HomeResult == kServoError) {
        // Unlike family A, an error before homing always counts as not homed.
        HomeResult = kServoNotHomed;
        ServoSend(kWaitStop, "");
        ServoSend(kWaitNone, ServoKeyword(kEtx));
    }
    const int r = ServoSetupAndHome(go);
    if (r != 0) return r;
    ServoSend(kWaitStatus, ServoKeyword(kStx));
    if (ServoWaitReply(4, kWaitStatus) != 0 || ServoLine.errFlag)
        return HomeResult = kServoNoStatus;
    return HomeResult;
}

const ControllerDriver kDriver = {
    ServoOpen,  ServoHome, ServoClose, ServoAbort, ServoPing, [] { return ServoStatus(0); },
    ServoParam,
};

} // namespace FamilyB
