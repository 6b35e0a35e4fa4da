// Counted line files: a language's text database read whole into memory.
//
// The file /u/qel/database/<name> (a leading '_' in the name stands for the
// language letter) holds a little-endian int32 line count L, then the text:
// lines ended by LF or CR, one character each, so CR LF ends a line and then
// an empty one. Line 0 is the first line. The count kept is L, but never
// more than the lines the text holds nor 32767; L <= 0 keeps none.
#pragma once

#include <cstdint>
#include <string>

inline constexpr int kRamDbMissing = -90; // missing, unreadable, under 4 bytes or short
inline constexpr int kRamDbNoMemory = -22;
inline constexpr int kRamDbMaxLines = 32767;

struct RamDb {
    char* text = nullptr;       // the text with every counted line end made NUL, NUL-ended
    int32_t* offsets = nullptr; // start of each counted line in text
    int16_t count = 0;          // lines that can be asked for
};

// Reads the file into db (closing what db held): 0, kRamDbMissing (recorded
// in the error history with its path) or kRamDbNoMemory.
int OpenRamDb(RamDb* db, const std::string& name);
// Frees what db holds; db is empty after.
void CloseRamDb(RamDb* db);
// Line n, taken as a 16-bit value made non-negative; "" beyond the last line.
const char* GetRamText(const RamDb& db, int n);
