// Port configuration's model, without X: the rows of the install's port list
// uart.txt with their port records, the line settings of a serial record
// (its control word split into a baud rate, a character size and six
// flags), the repairs made on entry, the device lists of the printers
// folder, and the table that a save writes.
#pragma once

#include "ports.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// The port setting tables: names as the line-settings box shows them (six
// characters, padded) and their control-word codes.
struct PortSetting {
    const char* name;
    int32_t code;
};
inline constexpr int kBaudSettings = 7;
inline constexpr int kSizeSettings = 4;
inline constexpr int kFlagSettings = 6;
extern const PortSetting kBaudTable[kBaudSettings];
extern const PortSetting kSizeTable[kSizeSettings];
// [0] "NONE  ", then flags 1 to 6.
extern const PortSetting kFlagTable[kFlagSettings + 1];

// The settings of a serial line as the box edits them.
struct LineSettings {
    int baud = 0;                   // index into kBaudTable
    int size = 0;                   // index into kSizeTable
    bool flags[kFlagSettings] = {}; // flags[n - 1]: flag n set
    bool operator==(const LineSettings& o) const;
};

// Splits a control word. A baud code that is not in the table reads as
// index 0 (B600); *baudKnown (when given) tells whether it was in the table.
LineSettings DecodeCflag(int32_t cflag, bool* baudKnown = nullptr);
// Baud code | size code | the codes of the set flags.
int32_t EncodeCflag(const LineSettings& s);
// The baud button offers B600 to B9600 in turn: from B9600, and from a
// stored B19200, it goes back to B600.
int NextBaud(int index);
// CS5 to CS8 in turn.
int NextSize(int index);

// uart.txt and the printers lists.
inline constexpr const char* kPortListPath = "/u/qel/database/uart.txt";
inline constexpr size_t kPortListLineMax = 498;
inline constexpr size_t kPortNameMax = 38;
inline constexpr size_t kListWordMax = 39;
inline constexpr const char* kNoDeviceList = "-NONE-";
inline constexpr size_t kDeviceLineMax = 98;
// The most of uart.txt and of a printers list that is read: far more than
// ten rows of 498 characters, or a picker of 600 devices.
inline constexpr size_t kPortListFileMax = 65536;
inline constexpr size_t kDeviceListFileMax = 65536;
inline constexpr size_t kDeviceTextMax = 71; // a picker row
inline constexpr size_t kRecordTextMax = 39; // a record's type or description
inline constexpr int kPortRows = kUartRecords;

struct PortRow {
    std::string port;     // the port name of uart.txt
    std::string listWord; // its device list; kNoDeviceList for none
    PortRecord record{};
    // The mode and control word that the entry found, for the save of a
    // serial row whose box was not confirmed.
    char storedMode = 0;
    int32_t storedCflag = 0;
    LineSettings committed; // confirmed in the box
    LineSettings edit;      // being edited in the box
    char workMode = 0;      // the mode the box shows
    bool confirmed = false; // the box was confirmed in this session
    bool HasDevice() const { return listWord != kNoDeviceList; }
};

// The rows of uart.txt: comment lines ("#" first) skipped, every other line
// a row of two words (missing words empty), at most kPortRows. Cut names and
// list words and repeated names are reported on the console, the rows past
// the last in one line with their count.
std::vector<PortRow> ReadPortRows(FILE* f);
// Reads uart.txt (at most kPortListFileMax bytes) into rows; false, with a
// console line, when it is not there or not a plain file.
bool LoadPortList(std::vector<PortRow>* rows);

// Loads each row's record from uart.bin (an unknown port keeps an empty
// record with its name) and its settings; the session starts unconfirmed.
void LoadPortRecords(std::vector<PortRow>& rows);
// The entry's repairs of mode and path, by port name and record type.
void CheckPortRecords(std::vector<PortRow>& rows);
// Before a row is shown: a record without a path is a serial port with no
// device; the box's mode is the record's.
void PreparePortRow(PortRow& row);

// The text up to, not including, its second blank.
std::string CutAtSecondBlank(const std::string& text);

// One entry of a device list.
struct DeviceEntry {
    std::string description; // at most kDeviceTextMax characters
    std::string type;        // at most kRecordTextMax characters
};
// A device-list line: the description between its first two double quotes
// (cut to kDeviceTextMax), then the first word after them (empty when there
// is none). False for a line without two quotes, and for a type word longer
// than kRecordTextMax (reported: a cut type would name another driver).
bool ParseDeviceLine(const std::string& line, std::string* description, std::string* type);
// The valid lines of an open list, in order; lines beginning with '!' and
// empty lines skipped. A line longer than kDeviceLineMax characters whose
// cut leaves no whole type word is left out with a console line.
std::vector<DeviceEntry> ReadDeviceList(FILE* f);
// The entries of a port's printers list: /u/qel/usr_data/printers/<word>,
// else the one of def_data (a copy that is not a plain file is passed over,
// with a console line; at most kDeviceListFileMax bytes are read). False
// when neither can be read; a list without a usable line says so on the
// console.
bool LoadDeviceList(const std::string& listWord, std::vector<DeviceEntry>* list);
// The position (0-based) that the picker selects first: the first entry
// whose description, as a record keeps it, is the record's; else 0.
size_t PreselectedDevice(const std::vector<DeviceEntry>& list, const PortRecord& record);
// The entry into the record: description and type, each cut as the record
// keeps it.
void TakeDevice(PortRecord& record, const DeviceEntry& entry);

// The table that a save writes: the rows in order, each named by its port,
// then empty records. An emptied path empties mode, type and description; a
// serial row gets the control word of its confirmed settings (one whose box
// was not confirmed and that was stored serial keeps its stored word); every
// other record gets 0.
void BuildPortTable(const std::vector<PortRow>& rows, PortRecord (&table)[kUartRecords]);
