// The error history of the line databases and the text of a result code.
//
// The history is a ring of the last four failures (code and an 80-byte
// text); codes 0 and -200 are not recorded. The text of a code comes from
// the error-message database <letter>errmsg.data (line n for code -n),
// which this system never loads, so those texts are empty; -200 answers the
// newest history text and -128 and -139 the last servo error text.
#pragma once

#include <string>

inline constexpr int kErrHistEntries = 4;
inline constexpr int kErrHistTextSize = 80; // bytes of a history text, NUL included

// Records a failure: the code's text, ": " and detail (the text alone for a
// null detail), cut to 79 characters.
void ErrHistAdd(int code, const char* detail);
// The newest entry: its text, and its code in *code; 0 and "" when the
// history is empty.
std::string ErrHistGet(int* code);
// The message of a result code.
std::string GetErrorText(int code);
