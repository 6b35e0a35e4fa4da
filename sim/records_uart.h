// Writer of the port table sys_data/files/uart.bin, from a readable
// description. Used by the demo tree generator and by the tests' fixtures;
// it lays the bytes out by their offsets, independently of the program's
// own record type.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct UartEntry {
    std::string name;
    char mode = 0;
    uint32_t cflag = 0;
    std::string path;
    std::string type;
    std::string description;
};

// The 168 bytes of one record. A text of 40 characters fills its field
// without a NUL; longer texts are cut at 40.
std::string EncodeUartRecord(const UartEntry& entry);

// The file: the entries, then empty records up to records in all, then
// extraBytes of a partial record (filled with 'x').
std::string EncodeUartFile(const std::vector<UartEntry>& entries, int records = 10,
                           int extraBytes = 0);

// Parses "name | mode | cflag | path | type | description" lines ('#' starts
// a comment line; blanks around the fields are dropped; cflag in C notation,
// 0x8BD or 2237). Returns false with a message on a bad line or on more than
// ten entries.
bool ParseUartText(const std::string& text, std::vector<UartEntry>* entries, std::string* error);
