// Controller link: the dispatch of the seven operations on the family.
#include "controller.h"

#include "family_a.h"
#include "family_b.h"
#include "imbed.h"

int HomeResult = 0;

namespace {

const ControllerDriver* gTestDriver[4] = {};

int Run(int (*op)()) {
    return op ? op() : 0;
}

} // namespace

const ControllerDriver* ControllerDriverOf(int family) {
    if (family < kFamilyA || family > kFamilyB) return nullptr;
    if (gTestDriver[family]) return gTestDriver[family];
    switch (family) {
    case kFamilyA:
        return &FamilyA::kDriver;
    case kCounterBoard:
        return &CounterBoard::kDriver;
    default:
        return &FamilyB::kDriver;
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
