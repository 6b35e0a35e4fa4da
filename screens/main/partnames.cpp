// Part-name rules and the part list's order.
#include "partnames.h"

#include "language.h"
#include "linereader.h"
#include "paths.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr const char* kValidCharsFile = "/u/qel/database/evalidchars";
constexpr const char* kDefaultValidChars = "ABCXYZabcxyz";
constexpr size_t kValidCharsMax = 255;

std::string ValidChars;
bool ValidCharsLoaded = false;

// The first word of the file, at most kValidCharsMax characters; "" when the
// file is missing or holds none.
std::string ReadFirstWord() {
    UniqueFile f(f_Fopen(kValidCharsFile, "r"));
    if (!f) return "";
    std::string word;
    int c;
    while ((c = std::fgetc(f.get())) != EOF && std::isspace(c)) {
    }
    while (c != EOF && !std::isspace(c) && c != '\0') {
        if (word.size() < kValidCharsMax) word += static_cast<char>(c);
        c = std::fgetc(f.get());
    }
    return word;
}

const std::string& AllowedChars() {
    static const std::string fallback = kDefaultValidChars;
    if (!ValidCharsLoaded) {
        ValidChars = ReadFirstWord();
        ValidCharsLoaded = !ValidChars.empty();
    }
    return ValidCharsLoaded ? ValidChars : fallback;
}

} // namespace

int ValidNameChars(const std::string& name, int language) {
    if (name.empty() || name[0] == '-' || name[0] == '.') return 0;
    const std::string& allowed = AllowedChars();
    for (size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (language == kTwoByteLanguage && c >= 0x80) {
            // A lead byte and the byte after it; a lead byte alone at the
            // end is no character.
            if (i + 1 >= name.size() || name[i + 1] == '\0') return 0;
            ++i;
            continue;
        }
        if (c == '\0' || allowed.find(static_cast<char>(c)) == std::string::npos) return 0;
    }
    return 1;
}

int PartNameFault(const std::string& name, int language) {
    if (name.find('/') != std::string::npos) return kNameSlashLabel;
    if (name.size() > kPartNameMax) return kNameLengthLabel;
    if (!ValidNameChars(name, language)) return kNameCharsLabel;
    return 0;
}

std::string QuotedNameMessage(const std::string& name, const std::string& text) {
    return "\"" + name + "\"\n\n" + text;
}

int CompareNoCase(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int x = LangToUpper(static_cast<unsigned char>(a[i]));
        const int y = LangToUpper(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

void SortNoCase(std::vector<std::string>& names) {
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return CompareNoCase(a, b) < 0;
    });
}

void PartNamesResetForTest() {
    ValidChars.clear();
    ValidCharsLoaded = false;
}
