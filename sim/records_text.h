// Writers of the install tree's text databases (label files, switch texts
// and their index, title files) from readable sources. Used by the demo tree
// generator and by the tests' fixtures. The writers answer the file's bytes.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Parses "<number> <text>" lines: the text is the rest of the line after the
// one blank that follows the number ("" when the line ends there). Lines that
// are empty or begin with '#' are skipped. False with a message on a bad line
// or a number below 1.
bool ParseNumberedText(const std::string& source, std::map<int, std::string>* texts,
                       std::string* error);

// A label file: line n holds text n, an empty line for a number without one.
std::string LabelFileBytes(const std::map<int, std::string>& labels);

// Text records of 25 bytes, NUL-padded. A text of 25 characters or more fills
// its record (cut to 25) without a NUL, as a damaged file would hold it.
std::string SwitchRecordBytes(const std::vector<std::string>& texts);
// DBswitch.data: one int16 little-endian record number per switch.
std::string SwitchIndexBytes(const std::vector<int>& records);

// Switch texts by number and language letter, from "<number> <letter> <text>"
// lines ('#' lines and empty lines skipped).
using SwitchTexts = std::map<int, std::map<char, std::string>>;
bool ParseSwitchText(const std::string& source, SwitchTexts* texts, std::string* error);
// The index and the records of every letter: the numbers that have a text,
// in ascending order, get records 1, 2, ...; the index covers switches 1 to
// the highest number, 0 for a switch without text. A letter without a text
// for a number gets an empty record there.
void BuildSwitchFiles(const SwitchTexts& texts, std::string* index,
                      std::map<char, std::string>* records);

// A title file: 4 header bytes, then the lines, each ended by LF. Without a
// header the number of lines is written as int32 little-endian.
std::string TitleFileBytes(const std::vector<std::string>& lines);
std::string TitleFileBytes(const std::string& header4, const std::vector<std::string>& lines);

// The self test's status texts (estest.data): record n at byte 80 n, 79
// characters blank-padded (a longer text is cut) and LF; records 0 up to
// the highest number (at least records - 1), blank where there is no text.
std::string StestFileBytes(const std::map<int, std::string>& texts, int records = 0);

// Text in UTF-8 as ISO 8859-1 (the encoding of the installed fonts); a
// character outside it becomes '?'.
std::string Utf8ToLatin1(const std::string& text);

// A counted line file: the count as int32 little-endian, then the text as it
// stands.
std::string CountedLineFileBytes(int32_t count, const std::string& text);

// One record of DBservo.data: eight int16, written little-endian in this
// order.
struct ServoRecord {
    int16_t dispManual = 0, dispAuto = 0, procManual = 0, procAuto = 0;
    int16_t tf = 0, b = 0, axis = 0, line = 0;
};
std::string ServoRecordBytes(const std::vector<ServoRecord>& records);
