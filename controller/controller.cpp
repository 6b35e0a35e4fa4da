// Controller link: the dispatch of the seven operations on the family.
//
// Each family's driver plugs in in ControllerDriverOf below. Until a family's
// driver is built, its place holds a stand-in that answers as a controller
// that does not answer, and touches no line or device (family B), or as a
// board that is not there (the counter board).
#include "controller.h"

#include "family_a.h"

int HomeResult = 0;

namespace {

// A serial controller that stays silent: the line "opens" without being
// touched, every exchange times out, no parameters are there.
int SilentOpen() {
    return 1;
}
int SilentHome(int) {
    return kServoTimeout;
}
int SilentClose() {
    return 1;
}
int SilentTimeout() {
    return kServoTimeout;
}
int NoParameters() {
    return 0;
}
const ControllerDriver kSilentSerial = {SilentOpen,    SilentHome,    SilentClose, SilentTimeout,
                                        SilentTimeout, SilentTimeout, NoParameters};

// A counter board that is not there: it does not open, is absent and not
// homed. Home and stop do nothing for this type.
int Absent() {
    return 0;
}
const ControllerDriver kAbsentBoard = {Absent, nullptr, Absent, nullptr, Absent, Absent, Absent};

const ControllerDriver* gTestDriver[4] = {};

int Run(int (*op)()) {
    return op ? op() : 0;
}

} // namespace

int ImbedPollEvent() {
    return 0;
}

const ControllerDriver* ControllerDriverOf(int family) {
    if (family < kFamilyA || family > kFamilyB) return nullptr;
    if (gTestDriver[family]) return gTestDriver[family];
    switch (family) {
    case kFamilyA:
        return &FamilyA::kDriver;
    case kCounterBoard:
        return &kAbsentBoard; // counter-board driver goes here
    default:
        return &kSilentSerial; // family B driver goes here
    }
}

void SetControllerDriverForTest(int family, const ControllerDriver* driver) {
    if (family >= kFamilyA && family <= kFamilyB) gTestDriver[family] = driver;
}

int ServoOpenDisp(int family) {
    const ControllerDriver* d = ControllerDriverOf(family);
    return d ? Run(d->open) : 0;
}

int ServoHomeDisp(int family, int go) {
    const ControllerDriver* d = ControllerDriverOf(family);
    return d && d->home ? d->home(go) : 0;
}

int ServoCloseDisp(int family) {
    const ControllerDriver* d = ControllerDriverOf(family);
    return d ? Run(d->close) : 0;
}

int ServoAbortDisp(int family) {
    const ControllerDriver* d = ControllerDriverOf(family);
    return d ? Run(d->abort) : 0;
}

int ServoPingDisp(int family) {
    const ControllerDriver* d = ControllerDriverOf(family);
    return d ? Run(d->ping) : 0;
}

int ServoStatusDisp(int family) {
    const ControllerDriver* d = ControllerDriverOf(family);
    return d ? Run(d->status) : 0;
}

int ServoParamDisp(int family) {
    const ControllerDriver* d = ControllerDriverOf(family);
    return d ? Run(d->param) : 0;
}
