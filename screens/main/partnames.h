// Part names: which names a part may have, the order in which the part
// selection lists them. No X: the screens show the messages.
#pragma once

#include <string>
#include <vector>

// Labels of the name rules.
inline constexpr int kNameSlashLabel = 70;   // the name holds "/"
inline constexpr int kNameLengthLabel = 204; // too long
inline constexpr int kNameCharsLabel = 200;  // a character that is not allowed

// A part name has at most this many characters, which a run request
// carries whole.
inline constexpr size_t kPartNameMax = 14;

// The language whose bytes from 0x80 on come in pairs.
inline constexpr int kTwoByteLanguage = 6;

// 1 when every character of the name is allowed, else 0. An empty name, or
// one beginning with "-" or ".", is not. The allowed characters are the
// first word of /u/qel/database/evalidchars (at most 255 of them), read at
// the first check and kept; while that file is missing or holds no word,
// only "ABCXYZabcxyz" are allowed and the file is tried again at the next
// check. With the two-byte language a byte from 0x80 on and the one after it
// pass unchecked; a lead byte that ends the name makes it invalid.
int ValidNameChars(const std::string& name, int language);

// 0 when the part may have the name, else the label that says why: a "/"
// (70), 15 characters or more (204), a character that is not allowed (200).
int PartNameFault(const std::string& name, int language);

// The message about a name: "\"<name>\"\n\n<text>".
std::string QuotedNameMessage(const std::string& name, const std::string& text);

// -1, 0 or 1 as strcmp of upper-cased copies (LangToUpper).
int CompareNoCase(const std::string& a, const std::string& b);
// Sorts ascending by CompareNoCase; names equal but for case keep their
// order.
void SortNoCase(std::vector<std::string>& names);

// Test seam: the allowed characters unread again.
void PartNamesResetForTest();
