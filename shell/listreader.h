// Reading the scratch listings and list files that the list loaders show,
// and the small name rules they apply. No X.
//
// A listing is read as whole lines: a name is never cut or split, whatever
// its length, since a cut name would name another file. Only the line end
// itself (LF, CR LF or a lone CR at the end) is taken off; an empty line is
// no name and is skipped, and so is a line holding a NUL byte, which no file
// name can hold.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// The names of an open listing, in file order.
std::vector<std::string> ReadListLines(FILE* f);

// Names the folder listing of the copy, delete, backup and print screens
// hides: those holding ".E", ".L", ".R" or ".T".
bool HiddenInDirList(const std::string& name);
// Names the listing of the edit screens hides: those holding "stat",
// "buffer", "feature" or "formraw", and those whose extension has two
// characters beginning with B, E, L, R or T (x.E1 hidden; x.E, x.E12 shown).
bool HiddenInEditList(const std::string& name);

// True when the first character after the leading blanks has a code from 33
// to 127.
bool HasText(const std::string& line);
// Takes every blank (0x20) out of the text; tabs and other white space stay.
void RemoveBlanks(std::string& text);
// Every character upper-cased (toupper).
void StrUpper(std::string& text);
// -1, 0 or 1 as strcmp of the upper-cased texts, byte by byte as unsigned
// characters.
int StrCaseCmp(const std::string& a, const std::string& b);
