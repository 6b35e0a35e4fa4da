// Language support: case mapping that leaves Japanese EUC bytes alone, the
// table of X font names (replaceable from the font-list file), the process
// locale, and the title line of the main window.
#pragma once

// Second copy of the language number, set by the settings cache when it
// reads the configuration store (0 until then). LangToUpper reads it.
extern int LanguageCopy;

inline constexpr int kFontDescCount = 15;
inline constexpr int kFontDescSize = 80;       // bytes of an entry: at most 79 characters
inline constexpr int kTitleLineSize = 80;      // bytes of the title buffer
inline constexpr int kTitleLineKeep = 78;      // characters kept of a title-file line
inline constexpr double kTitleVersion = 5.031; // the version that '#' stands for

// 0 not read, 1 read from the font-list file, -1 missing, empty or unreadable.
extern int FontListState;

// toupper of the byte c & 0xFF; with LanguageCopy 6 (Japanese) a byte of 127
// or more comes back unchanged.
int LangToUpper(int c);

// Marks the font list unread: the next GetFontDesc reads the file again.
void FontDescReset();
// Font name of entry index. A bad index (negative, or 15 and above) prints a
// line and gives entry 0. While the font list could not be read, every call
// prints that the defaults are used.
const char* GetFontDesc(const char* caller, int index);
// Reads the font list "_fontlist" (type 22: usr_data/misc/<letter>fontlist,
// else def_data): each non-comment line replaces the next entry.
void ReadFontList();

// LC_ALL "english", else "C"; for Japanese LC_CTYPE and LC_COLLATE from
// ja_JP.EUC, ja_JP.eucJP or ja_JP.ujis (a console line when none exists);
// LC_NUMERIC always "C", so that reals print and parse with '.'.
void SetLanguageLocale();

// Title line n (from 0) of /u/qel/database/<letter>title.data, '#' replaced
// by the version (and " (NETNAME)" when the network option is on), at most
// 79 characters, in a static buffer that the next call overwrites. A missing
// file or line gives the path with ": FILE NOT FOUND" or ": RECORD NOT
// FOUND(n+1)".
char* GetTitleLine(int n);
