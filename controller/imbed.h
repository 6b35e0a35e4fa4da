// Counter-board driver. The board sits on the machine's I/O bus at base
// address 0x300 and is reached through the device /dev/imbed: each register
// access is a seek to the register's I/O address and a one-byte read or
// write (platform/busio). The link uses the board only to tell whether it is
// there, whether the machine is homed (bit 3 of the board's identity byte:
// 'E' not homed, 'M' homed) and to notice the homing event while the home
// dialog waits.
//
// Registers, as offsets from the base:
//   +0  write: page (1-3 an axis, 4 the status, 0 none) or mode (8 homed, 0)
//   +0  read: no page, the identity complemented; page 4, the status
//       (0x10 latch event, 0x08 event A, 0x04 event B)
//   +2  write: control     +8 write 0: acknowledge an event
//   +16 +18 +20 +22 read: latched counter bytes   +24 read: axis flags
//   +30 read: axis register
#pragma once

#include "controller.h"

inline constexpr int kImbedBase = 0x300;

// Access results.
inline constexpr int kImbedOtherBase = -3; // already open for another base
inline constexpr int kImbedNoDevice = -4;  // the device does not open
inline constexpr int kImbedSeekFailed = -5;
inline constexpr int kImbedReadFailed = -6;
inline constexpr int kImbedWriteFailed = -7;
inline constexpr int kImbedNotOpen = -8;

// The device's descriptor, -1 whenever it is not open.
extern int ImbedFd;
// Result of the last register access (0 or one of the codes above).
extern int ImbedError;
// The board's base address; set again by each identity read and set-up.
extern int ImbedBaseWord;
// The identity: 'E', 'M', or 0 when no board answered; 'M' after a homing
// event.
extern unsigned char ImbedBoardId;
// Bit 3 of the identity, as the last status found it.
extern int ImbedHomedBit;

// 0, or -3 / -4 / -5 (then nothing is left open). The same base again is 0
// without a second open.
int OpenImbed(int base);
// One register access at an absolute I/O address; a failure prints its code
// and reads as byte 0.
void WriteChan(int address, int byte);
unsigned char ReadChan(int address);
// Closes the device when it is open and forgets it; 0. A board set up during
// this open is first given the mode of its present state, so that no page
// stays selected.
int CloseImbed();

// The identity through a fresh open ('E', 'M' or 0); the device stays open.
unsigned char ImbedBoardType();
// Sets the board up: the axis flags read, the control value set from the
// status; event state cleared, the status page left selected.
void ImbedInit();
// +0 := 8 when flag is non-zero, else 0; then +2 := 0.
void ImbedSetMode(int flag);

// The driver's operations: 1 the board is there (it opens, is set up and
// closed again), else 0; 1 homed, 0 not (no I/O); 1 opened and set up, 0 not.
int ImbedPing();
int ImbedStatus();
int ImbedServoOpen();
// ImbedPollEvent (controller.h): 1 once the homing event was seen.

namespace CounterBoard {
extern const ControllerDriver kDriver;
} // namespace CounterBoard
