// Language support.
#include "language.h"

#include "linereader.h"
#include "names.h"
#include "paths.h"
#include "sysgen.h"
#include "test_hooks.h"
#include "zalloc.h"

#include <cctype>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int LanguageCopy = 0;
int FontListState = 0;

namespace {

constexpr int kJapanese = 6;

const char* const kInitialFonts[kFontDescCount] = {
    "-adobe-courier-medium-r-normal--10-*-iso8859-1",
    "-adobe-courier-bold-r-normal--10-*-iso8859-1",
    "-adobe-courier-medium-r-normal--12-*-iso8859-1",
    "-adobe-courier-bold-r-normal--12-*-iso8859-1",
    "-adobe-courier-medium-r-normal--14-*-iso8859-1",
    "-adobe-courier-bold-r-normal--14-*-iso8859-1",
    "-adobe-courier-medium-r-normal--18-*-iso8859-1",
    "-adobe-courier-bold-r-normal--18-*-iso8859-1",
    "-adobe-courier-medium-r-normal--20-*-iso8859-1",
    "-adobe-courier-bold-r-normal--20-*-iso8859-1",
    "-adobe-courier-medium-r-normal--24-*-iso8859-1",
    "-adobe-courier-bold-r-normal--24-*-iso8859-1",
    "-adobe-courier-bold-r-*-200-*",
    "-adobe-courier-bold-r-normal--10-*-iso8859-1",
    "-adobe-courier-bold-r-normal--10-*-iso8859-1",
};

// FontDescTable: 15 X font names of 80 bytes; filled with the initial names
// on first use.
char gFontDesc[kFontDescCount][kFontDescSize];
bool gFontDescSet = false;
std::string gFontListPath; // the font-list path last looked for
char gTitle[kTitleLineSize];

void SetEntry(int index, const std::string& name) {
    std::snprintf(gFontDesc[index], kFontDescSize, "%s", name.c_str());
}

void SetInitialFonts() {
    for (int i = 0; i < kFontDescCount; ++i) SetEntry(i, kInitialFonts[i]);
    gFontDescSet = true;
}

void EnsureFontTable() {
    if (!gFontDescSet) SetInitialFonts();
}

char* StoreTitle(const std::string& text) {
    std::snprintf(gTitle, sizeof gTitle, "%s", text.c_str());
    return gTitle;
}

} // namespace

int LangToUpper(int c) {
    const int b = c & 0xFF;
    if (LanguageCopy == kJapanese && b >= 127) return b;
    return std::toupper(b);
}

void FontDescReset() {
    FontListState = 0;
}

const char* GetFontDesc(const char* caller, int index) {
    EnsureFontTable();
    if (FontListState == 0) ReadFontList();
    if (FontListState != 1)
        std::printf("%s(%s): Could not read file %s (will use defaults)\n", "GetFontDesc", caller,
                    gFontListPath.c_str());
    if (index < 0 || index >= kFontDescCount) {
        std::printf("%s(%s): Bad index %d (Will use index 0)\n", "GetFontDesc", caller, index);
        index = 0;
    }
    return gFontDesc[index];
}

void ReadFontList() {
    EnsureFontTable();
    InitConfigure();
    SetLanguageLocale();
    std::string path;
    int r = f_MakeNameExist("_fontlist", 22, 0, &path);
    gFontListPath = path;
    UniqueFile f(r == 0 ? zfopen("ReadFontList", path, "r") : nullptr);
    if (!f) {
        FontListState = -1;
        return;
    }
    FontListState = 1;
    std::string line;
    int entry = 0;
    while (entry < kFontDescCount && ReadCutLine(f.get(), kFontDescSize - 1, &line)) {
        if (!line.empty() && line[0] == '!') continue;
        SetEntry(entry++, line.substr(0, line.find('\0')));
    }
}

void SetLanguageLocale() {
    if (!std::setlocale(LC_ALL, "english")) std::setlocale(LC_ALL, "C");
    if (LibLanguage() == kJapanese) {
        bool set = false;
        for (const char* name : {"ja_JP.EUC", "ja_JP.eucJP", "ja_JP.ujis"}) {
            if (std::setlocale(LC_CTYPE, name)) {
                std::setlocale(LC_COLLATE, name);
                set = true;
                break;
            }
        }
        if (!set)
            std::printf("SetLanguageLocale: no Japanese locale (ja_JP.EUC, ja_JP.eucJP, "
                        "ja_JP.ujis)\n");
    }
    std::setlocale(LC_NUMERIC, "C");
}

char* GetTitleLine(int n) {
    InitConfigure();
    const std::string path = std::string("/u/qel/database/") + GetLanguageLetter() + "title.data";
    const int network = GetSysgenInt(80);
    UniqueFile f(zfopen("GetTitleLine", path, "rb"));
    if (!f) return StoreTitle(path + ": FILE NOT FOUND");
    char header[4];
    bool found = false;
    std::string line;
    if (n >= 0 && std::fread(header, 1, sizeof header, f.get()) == sizeof header) {
        int k = 0;
        while (ReadCutLine(f.get(), kTitleLineKeep, &line)) {
            if (!line.empty() && line[0] == '!') continue;
            if (k++ == n) {
                found = true;
                break;
            }
        }
    }
    std::string title;
    if (found) {
        char version[32];
        std::snprintf(version, sizeof version, "%.*f", 4, kTitleVersion);
        std::string expansion = version;
        if (network != 0) {
            const char* net = std::getenv("NETNAME");
            expansion += std::string(" (") + (net ? net : "") + ")";
        }
        for (char c : line) {
            if (c == '\0') break;
            if (c == '#')
                title += expansion;
            else
                title += c;
        }
    }
    if (title.empty())
        title = (found ? "" : path) + ": RECORD NOT FOUND(" +
                std::to_string(static_cast<long long>(n) + 1) + ")";
    return StoreTitle(title);
}

void LanguageResetForTest() {
    SetInitialFonts();
    FontListState = 0;
    gFontListPath.clear();
    LanguageCopy = 0;
}
