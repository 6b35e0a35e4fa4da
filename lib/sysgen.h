// Configuration store: /u/qel/sys_data/files/sysgen.bin, a flat array of
// numbered 64-byte records, one item per record (integer, real or string),
// loaded whole into memory. Items beyond a short file answer fixed defaults.
#pragma once

inline constexpr int kSysgenRecordSize = 64;
inline constexpr const char* kSysgenPath = "/u/qel/sys_data/files/sysgen.bin";
// A larger file is read only up to this size (1024 records).
inline constexpr int kSysgenMaxBytes = 64 * 1024;

// Result codes of the store.
inline constexpr int kSysgenMissing = -240; // missing or empty
inline constexpr int kSysgenNoMemory = -22;
inline constexpr int kSysgenCannotOpen = -163;
inline constexpr int kSysgenCannotRead = -131;

// Loads sysgen.bin again (at most kSysgenMaxBytes of it), each whole record
// NUL-ended in its last byte. 0, or one of the codes above; on any failure
// the store loaded before stays in force. A file whose size is no whole
// number of records, that is too short for the items with defaults, or that
// is over the limit is reported on the console, once per file size.
int InitConfigure();
// Releases the store; the getters then answer the defaults.
void CloseSysgen();

int GetSysgenInt(int item);
double GetSysgenReal(int item);
// The item's text (trailing blanks removed, in the store), its default, or
// null. A pointer into the store lives until CloseSysgen or a reload of
// another size; a default lives until the next default lookup.
const char* GetSysgenStr(int item);

// Number of whole records loaded (0 when nothing is loaded).
int SysgenRecordCount();

// The configured language, 0 (English) to 8. A value outside 0..8 reads as 0.
// Finding the store unloaded, it loads it and leaves it loaded.
int LibLanguage();
