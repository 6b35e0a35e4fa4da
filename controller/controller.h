// Controller link: the one interface through which the rest of the system
// reaches the machine's controller. Seven operations, each dispatched on the
// controller family to the family's driver: family A and family B on a
// serial line, the counter board on its bus device.
//
// The family itself is the shell's main-menu state (taken from the SERVO
// port record by the machine-state check); callers pass it to every
// operation, so the link keeps no copy that could drift from it.
#pragma once

// Controller families (the SERVO record's type, see GetPortType).
inline constexpr int kFamilyA = 1;
inline constexpr int kCounterBoard = 2;
inline constexpr int kFamilyB = 3;

// Result codes shared by all operations and drivers.
inline constexpr int kServoOk = 0;          // success; for a status: homed
inline constexpr int kServoNotHomed = 1;    // not homed; family B also: BUSY
inline constexpr int kServoError = 2;       // the controller reported an error
inline constexpr int kServoFault = 99;      // fault, homing given up or cancelled
inline constexpr int kServoTimeout = -82;   // no reply in time
inline constexpr int kServoNoStatus = -128; // no reply to the status query

// The last status seen by a homing run; the home dialog's Cancel sets 99.
extern int HomeResult;

// The seven operations. A family other than 1, 2 and 3 answers 0 from each
// of them without any I/O.
int ServoOpenDisp(int family);         // 1 opened (and woken), 0 failed
int ServoHomeDisp(int family, int go); // go 0 downloads the parameters, 1 homes
int ServoCloseDisp(int family);        // serial 1, counter board 0
int ServoAbortDisp(int family);        // 0 answered, -82 silent
int ServoPingDisp(int family);         // serial 0 / -82; board 1 present, 0 absent
int ServoStatusDisp(int family);       // serial 0 homed ...; board 1 homed, 0 not
int ServoParamDisp(int family);        // 1 parameters there, 0 missing

// The counter board's home event, polled while the board homes (between its
// ServoOpenDisp and ServoCloseDisp): 1 once the board reported it, and on
// every poll after that until the board is set up again; else 0.
int ImbedPollEvent();

// Reads the family B controller's constants listing into constant.asc, for
// the service menu. 0: done, the caller edits the new file; -1: stop here
// (offline, or the running tasks may not be stopped); -2: failed, the old
// file stays (another family, the controller silent, the capture or the
// copy failed, or fewer than 250 lines came).
int ServoUploadConstants(int family);

// A family's driver: its routine for each operation. A null entry answers 0
// without doing anything (the counter board has no home and no stop).
struct ControllerDriver {
    int (*open)();
    int (*home)(int go);
    int (*close)();
    int (*abort)();
    int (*ping)();
    int (*status)();
    int (*param)();
};

// The driver that the family's operations reach; null for an unknown family.
const ControllerDriver* ControllerDriverOf(int family);

// Test seam: replaces the driver of a family (1 to 3) until it is set back
// with null. Production code never calls it.
void SetControllerDriverForTest(int family, const ControllerDriver* driver);
