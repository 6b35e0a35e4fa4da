// Port records and serial line settings.
//
// The port table /u/qel/sys_data/files/uart.bin holds ten 168-byte records,
// one per device of the station (the controller SERVO, the operator terminal
// OIT, the printers and plotters, the probe changer ...). This module reads
// a port's record, writes the whole table back, maps the type fields of the
// SERVO and OIT records to numbers, and puts a serial line into the modes the
// drivers need. Each line routine is a pure termios-to-termios step plus the
// get and set around it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <termios.h>

inline constexpr const char* kUartPath = "/u/qel/sys_data/files/uart.bin";
inline constexpr int kUartRecords = 10;
inline constexpr size_t kPortRecordSize = 168;
inline constexpr size_t kPortFieldSize = 40;

// One record, in memory as on disk. The text fields are NUL-ended unless
// they are full (40 characters); read them with PortField.
struct PortRecord {
    char name[kPortFieldSize];
    char mode; // S serial, P printer, I counter board, N network
    char pad[3];
    int32_t cflag; // termios control word, baud code in the low four bits
    char path[kPortFieldSize];
    char type[kPortFieldSize];
    char description[kPortFieldSize];
};
static_assert(sizeof(PortRecord) == kPortRecordSize, "PortRecord is 168 bytes");
static_assert(offsetof(PortRecord, mode) == 40 && offsetof(PortRecord, cflag) == 44 &&
                  offsetof(PortRecord, path) == 48 && offsetof(PortRecord, type) == 88 &&
                  offsetof(PortRecord, description) == 128,
              "PortRecord field offsets");

// A text field read within its 40 bytes.
std::string PortField(const char (&field)[kPortFieldSize]);
// Fills a text field: at most 40 characters, zero-filled after the text.
void SetPortField(char (&field)[kPortFieldSize], const std::string& text);

// Decodes and encodes one record of kPortRecordSize bytes. Decoding keeps the
// text fields up to their first NUL and zero-fills the rest; the pad bytes
// read and write as zero.
void DecodePortRecord(const unsigned char* bytes, PortRecord* out);
void EncodePortRecord(const PortRecord& record, unsigned char* bytes);

// Index 0 to 9 of the first record named port; -1 when there is none or on
// an error. out is cleared first, then filled with the record. A uart.bin
// that is not a plain file is neither read nor written (a console line).
int GetPortCodes(const std::string& port, PortRecord* out);
// Writes the ten records in place into the existing uart.bin; 0 or -1.
int WriteUartFile(const PortRecord (&records)[kUartRecords]);
// SERVO: 1 "Ondry", 2 "TORVI", 3 "KROMI", 0 other. OIT: 1 "GEOIT",
// 2 "JOGBOX", 3 "V2100", 4 "VT100", 0 other. -1 for any other port or a
// missing record.
int GetPortType(const std::string& port);

// The settings steps. raw 1: non-canonical input without echo, signals on,
// VINTR disabled, VMIN 1, no CR translation on input, no output processing;
// any other value: canonical input with echo, CR read as new line, VINTR DEL,
// output processing on.
termios RawModeSettings(const termios& in, int raw);
// VTIME = low byte of tenths; VMIN = 1 when that is 0, else 0.
termios TimeoutSettings(const termios& in, int tenths);
// c_cflag = cflag; both speeds = cflag & 0xF.
termios CflagSettings(const termios& in, int cflag);
// XON/XOFF flow control both ways.
termios IflagSettings(const termios& in);

// The steps applied to an open line: 1 done, 0 failed (reported by perror;
// the line is left as it was).
int IOCTLrawmode(int fd, int raw);
int IOCTLtimeout(int fd, int tenths);
int IOCTLcflag(int fd, int cflag);
int IOCTLiflag(int fd);
