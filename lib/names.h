// Logical file names and database names.
//
// A logical file name is a short name with a file type; the type fixes the
// folder of the install tree /u/qel in which such files live. A database
// name lies in /u/qel/database. In both, a leading '_' stands for the letter
// of the configured language ('e' English ... 'm' Chinese).
#pragma once

#include <cstdint>
#include <string>

// Result codes.
inline constexpr int kNameBad = -239;     // empty, a bad character, or '/' in a relative name
inline constexpr int kNameTooLong = -230; // a component above 14 characters, or a name above 79
inline constexpr int kNameBadType = -110; // a file type or mode that is not known
inline constexpr int kNameNotFound = -90; // in neither the user-data nor the default-data folder

inline constexpr int kFileTypeCount = 42;    // types 0 .. 41
inline constexpr size_t kNameMaxLength = 79; // characters of a name
inline constexpr size_t kNameMaxComponent = 14;

// One row of the file-type table. Version and record size describe the typed
// data files of the type (a 12-byte header, then records of that size); both
// are 0 for plain files.
struct FileTypeRow {
    int8_t kind;         // 0: a logical name of the install tree
    int8_t directory;    // index into DirNameTable
    int8_t subdirectory; // index into SubdirNameTable
    int32_t version;
    int32_t recordSize;
};

// Rows 0 .. 41, then a row of -1 that ends the table.
extern const FileTypeRow FileTypeTable[kFileTypeCount + 1];
extern const char* const DirNameTable[6];
extern const char* const SubdirNameTable[26];
// Language letter and name, rows 0 (English) to 8.
extern const char* const LanguageTable[9];

// The letter of the configured language, 'e' + language.
char GetLanguageLetter();
// The name of the configured language ("english" ...).
const char* GetLanguageName();

// When name begins with '_', replaces it by the language letter: 1; else 0.
int SubstLanguageLetter(std::string& name);

// 0 when the name is acceptable, else kNameBad or kNameTooLong; *length gets
// the number of characters.
int CheckName(const std::string& name, int16_t* length);

// The path of a logical name of the given type (taken as a 16-bit value):
// 0, the code of CheckName, kNameTooLong or kNameBadType.
int f_MakeName(const std::string& name, int type, std::string* out);

// The path of a logical name that must exist. mode (a 16-bit value): 1 is
// f_MakeName alone; 0 and 2 need a file of some size, 4 and 6 take an empty
// one too; other modes give kNameBadType. A user-data file that is not found
// is looked for again in def_data; kNameNotFound when neither is there, and
// *out then holds the default-data path.
int f_MakeNameExist(const std::string& name, int type, int mode, std::string* out);

// The path of a database file: /u/qel/database/ + name, its leading '_'
// replaced by the language letter.
std::string DefDbPath(const std::string& name);
