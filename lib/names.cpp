// Logical file names: the file-type table, the name check, the path builders.
#include "names.h"

#include "debug.h"
#include "paths.h"
#include "sysgen.h"

#include <cstdio>
#include <sys/stat.h>

namespace {

constexpr int kTrace = 0x400;
constexpr int8_t kDirCurrentPart = 0;
constexpr int8_t kDirDefaultPart = 1;
constexpr int8_t kDirDefData = 4;
constexpr int8_t kDirUsrData = 5;
constexpr int kMacroType = 9; // its files lie in a folder per language

const char* const kCurrentPartSlot = "_CurPart_";
const char* const kDefaultPartSlot = "_DefPart_";

bool IsAsciiLetterOrDigit(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool IsNameChar(unsigned char c) {
    if (c > 127 || IsAsciiLetterOrDigit(c)) return true;
    switch (c) {
    case '/':
    case '_':
    case '.':
    case '-':
    case '[':
    case ']':
        return true;
    default:
        return false;
    }
}

void PrintBadName(const std::string& name, int type, const std::string& copy) {
    std::printf("Bad Name files/f_name(%s,%d) iname[%s]\n", name.c_str(), type, copy.c_str());
}

// The path of a checked name in the folder of a type row, with the row's
// directory replaced by dir.
std::string BuildPath(const std::string& copy, int type, int8_t dir) {
    if (copy[0] == '/') return copy;
    const FileTypeRow& row = FileTypeTable[type];
    std::string out = "/u/qel/";
    out += DirNameTable[dir];
    out += '/';
    if (dir == kDirCurrentPart) out += std::string(kCurrentPartSlot) + "/";
    if (dir == kDirDefaultPart) out += std::string(kDefaultPartSlot) + "/";
    out += SubdirNameTable[row.subdirectory];
    out += '/';
    if (type == kMacroType) out += std::string(GetLanguageName()) + "/";
    out += copy;
    return out;
}

// f_MakeName with the directory of the type's row replaced by dir (-1: the
// row's own).
int MakeNameIn(const std::string& name, int type, int8_t dir, std::string* out) {
    DebugPrint(kTrace, 0, "<< f_MakeName: name = %s\n", name.c_str());
    const int16_t type16 = static_cast<int16_t>(type);
    std::string copy = name;
    if (copy.size() > kNameMaxLength) {
        PrintBadName(name, type16, copy);
        return kNameTooLong;
    }
    SubstLanguageLetter(copy);
    int16_t length = 0;
    int r = CheckName(copy, &length);
    if (r != 0) {
        PrintBadName(name, type16, copy);
        return r;
    }
    if (type16 < 0 || type16 >= kFileTypeCount) return kNameBadType;
    *out = BuildPath(copy, type16, dir < 0 ? FileTypeTable[type16].directory : dir);
    DebugPrint(kTrace, 0, ">> f_MakeName: name = %s\n", out->c_str());
    return 0;
}

bool Found(const std::string& path, bool emptyCounts) {
    struct stat st {};
    if (f_Stat(path, &st) != 0) return false;
    return emptyCounts || st.st_size > 0;
}

} // namespace

// clang-format off
const FileTypeRow FileTypeTable[kFileTypeCount + 1] = {
    {0, 2, 22, 0, 0},     {0, 3, 0, 1, 144},    {0, 3, 1, 6, 584},    {0, 3, 2, 1, 144},
    {0, 3, 3, 0, 0},      {0, 3, 4, 1, 144},    {0, 5, 5, 0, 0},      {0, 5, 6, 0, 0},
    {0, 5, 7, 0, 0},      {0, 5, 8, 0, 0},      {0, 5, 9, 0, 0},      {0, 5, 10, 0, 0},
    {0, 5, 11, 0, 0},     {0, 5, 12, 0, 0},     {0, 1, 13, 0, 0},     {0, 1, 14, 0, 0},
    {0, 1, 15, 4, 64},    {0, 1, 16, 6, 400},   {0, 1, 17, 0, 0},     {0, 1, 18, 5, 23892},
    {0, 1, 19, 0, 0},     {0, 1, 20, 1, 64},    {0, 5, 21, 0, 0},     {0, 1, 18, 1, 23348},
    {0, 1, 16, 2, 152},   {0, 3, 1, 1, 400},    {0, 3, 1, 2, 400},    {0, 5, 23, 0, 0},
    {0, 3, 1, 3, 536},    {0, 1, 15, 3, 64},    {0, 1, 18, 2, 23396}, {0, 3, 1, 4, 536},
    {0, 1, 24, 0, 0},     {0, 5, 25, 0, 0},     {0, 4, 25, 0, 0},     {0, 5, 25, 0, 0},
    {0, 4, 25, 0, 0},     {0, 1, 16, 3, 288},   {0, 1, 18, 3, 23396}, {0, 3, 1, 5, 584},
    {0, 1, 16, 4, 616},   {0, 1, 18, 4, 24324}, {-1, -1, -1, -1, -1},
};
// clang-format on

const char* const DirNameTable[6] = {"part",     "part",     "sys_data",
                                     "run_data", "def_data", "usr_data"};

const char* const SubdirNameTable[26] = {
    "merge", "tip",    "alignment", "toolchange", "table",         "shell",  "template",
    "icon",  "macro",  "sub",       "format",     "tolerance",     "321nom", "program",
    "info",  "buffer", "feature",   "contour",    "formraw",       "plot",   "stat",
    "misc",  "files",  "321sub",    "cad",        "contourformat",
};

const char* const LanguageTable[9] = {
    "eenglish", "ffrench", "ggerman",     "hswedish", "iitalian",
    "jspanish", "kkanji",  "lportuguese", "mchinese",
};

char GetLanguageLetter() {
    return LanguageTable[LibLanguage()][0];
}

const char* GetLanguageName() {
    return LanguageTable[LibLanguage()] + 1;
}

int SubstLanguageLetter(std::string& name) {
    if (name.empty() || name[0] != '_') return 0;
    name[0] = GetLanguageLetter();
    return 1;
}

int CheckName(const std::string& name, int16_t* length) {
    DebugPrint(kTrace, 0, "<< CheckName: input name = %s\n", name.c_str());
    *length = static_cast<int16_t>(name.size() > INT16_MAX ? INT16_MAX : name.size());
    if (name.empty()) return kNameBad;
    for (char c : name)
        if (!IsNameChar(static_cast<unsigned char>(c))) return kNameBad;
    size_t component = 0;
    for (char c : name) {
        component = c == '/' ? 0 : component + 1;
        if (component > kNameMaxComponent) return kNameTooLong;
    }
    if (name.find('/') != std::string::npos && name[0] != '/') return kNameBad;
    DebugPrint(kTrace, 0, ">> CheckName\n");
    return 0;
}

int f_MakeName(const std::string& name, int type, std::string* out) {
    return MakeNameIn(name, type, -1, out);
}

int f_MakeNameExist(const std::string& name, int type, int mode, std::string* out) {
    const int16_t mode16 = static_cast<int16_t>(mode);
    if (mode16 < 0 || mode16 > 6 || mode16 == 3 || mode16 == 5) return kNameBadType;
    if (mode16 == 1) return f_MakeName(name, type, out);
    const bool emptyCounts = mode16 == 4 || mode16 == 6;
    int r = MakeNameIn(name, type, -1, out);
    if (r != 0) return r;
    if (Found(*out, emptyCounts)) return 0;
    if (FileTypeTable[static_cast<int16_t>(type)].directory == kDirUsrData) {
        r = MakeNameIn(name, type, kDirDefData, out);
        if (r != 0) return r;
        if (Found(*out, emptyCounts)) return 0;
    }
    return kNameNotFound;
}

std::string DefDbPath(const std::string& name) {
    std::string path = "/u/qel/database/";
    if (name.empty()) return path;
    path += name[0] == '_' ? GetLanguageLetter() : name[0];
    path.append(name, 1, std::string::npos);
    return path;
}
