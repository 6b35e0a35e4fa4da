// Writer of the password file sys_data/files/password.bin, from a readable
// description. Used by the demo tree generator and by the tests' fixtures.
#pragma once

#include <string>

// What the file says: ten password slots (0 Operator, 1 Programmer,
// 2 Manager, 3 Service, 4 to 9 unused) and per item 0 to 69 a level mask and
// an ask mode.
struct PasswordFileData {
    std::string slot[10];
    int mask[70] = {};
    int ask[70] = {};
};

// The 672 bytes of the file. Each slot keeps at most 10 characters, stored
// with character i raised by i; the unused bytes of a slot hold i, which
// reads back as nothing.
std::string EncodePasswordFile(const PasswordFileData& data);

// Parses "slot <n> <word>" and "item <n> <mask> <ask>" lines ('#' starts a
// comment). Returns false with a message on a bad line.
bool ParsePasswordText(const std::string& text, PasswordFileData* data, std::string* error);
