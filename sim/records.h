// Writers of the install tree's binary files, from readable descriptions.
// Used by the demo tree generator and by the tests' fixtures.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// One configuration item of sysgen.bin.
struct SysgenItem {
    enum Kind { Int, Real, Str } kind = Int;
    long long i = 0;
    double r = 0.0;
    std::string s;
};

// Items by number; records without an item are zero. records = 0 writes up
// to the highest item; extraBytes appends a partial record of that size.
bool WriteSysgenFile(const std::string& osPath, const std::map<int, SysgenItem>& items,
                     int records = 0, int extraBytes = 0);

// Parses "<item> int|real|str <value>" lines ('#' comments; a "records N"
// line sets the record count). Returns false with a message on a bad line.
bool ParseSysgenText(const std::string& text, std::map<int, SysgenItem>* items, int* records,
                     std::string* error);

bool WriteFileBytes(const std::string& osPath, const std::string& bytes);
bool ReadFileBytes(const std::string& osPath, std::string* bytes);

// syspar.bin: the words as int32 little-endian, word n at byte 4n.
std::string SysParBytes(const std::vector<int32_t>& words);
