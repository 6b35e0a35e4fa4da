// Servo error database: for a servo error number, its display and
// processing codes and a text.
//
// /u/qel/database/DBservo.data holds one 16-byte record per error number
// (eight little-endian int16: display code manual and automatic, processing
// code manual and automatic, TF number, B number, axis, text line); the
// texts are the lines of the language's counted line file
// /u/qel/database/<letter>servo.data. The family A driver and the servo
// self test share the database: each load counts a user, each free one,
// and the last free releases it. A load takes the language then in force.
#pragma once

#include <cstddef>
#include <string>

inline constexpr int kServoRecordSize = 16;
inline constexpr size_t kLastServoTextMax = 255; // characters kept of the last text

// Loads the database, or counts one more user of the loaded one: 0,
// -90 (a file missing or unreadable, or no whole record; recorded in the
// error history with its path) or -22 (no memory). Nothing stays loaded
// after a failure.
int InitServoErrorDb();
// One user less; the last one releases the database. Nothing when nothing
// is loaded.
void FreeServoData();
// Error n: its codes (manual != 0: the manual column, else the automatic
// one) and its text in text[size], cut to fit. 0, or -1 when n is no
// record number or nothing is loaded.
int GetServoError(int n, int manual, int* proc, int* disp, char* text, size_t size);
// The last text GetServoError built (at most 255 characters) and its number.
const char* LastServoText();
int LastServoError();
// The number of records loaded; 0 when unloaded.
int ServoErrorCount();
