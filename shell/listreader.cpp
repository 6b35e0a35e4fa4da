// Scratch listings read as whole lines, and the list loaders' name rules.
#include "listreader.h"

#include <algorithm>
#include <cctype>
#include <cstring>

std::vector<std::string> ReadListLines(FILE* f) {
    std::vector<std::string> lines;
    if (!f) return lines;
    std::string line;
    bool any = false;
    auto take = [&] {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.find('\0') == std::string::npos) lines.push_back(line);
        line.clear();
        any = false;
    };
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        for (size_t i = 0; i < n; ++i) {
            if (buf[i] == '\n') {
                take();
            } else {
                line += buf[i];
                any = true;
            }
        }
    }
    // A last line without its line end is a whole line too.
    if (any) take();
    return lines;
}

bool HiddenInDirList(const std::string& name) {
    for (const char* ext : {".E", ".L", ".R", ".T"})
        if (name.find(ext) != std::string::npos) return true;
    return false;
}

bool HiddenInEditList(const std::string& name) {
    for (const char* word : {"stat", "buffer", "feature", "formraw"})
        if (name.find(word) != std::string::npos) return true;
    const size_t n = name.size();
    return n >= 3 && name[n - 3] == '.' && name[n - 2] != '\0' && std::strchr("BELRT", name[n - 2]);
}

bool HasText(const std::string& line) {
    const size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos) return false;
    const unsigned char c = static_cast<unsigned char>(line[first]);
    return c >= 33 && c <= 127;
}

void RemoveBlanks(std::string& text) {
    text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return c == ' '; }),
               text.end());
}

void StrUpper(std::string& text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

int StrCaseCmp(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int x = std::toupper(static_cast<unsigned char>(a[i]));
        const int y = std::toupper(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}
