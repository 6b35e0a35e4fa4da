// Bounded line reader and the plot-colour line rule.
#include "linereader.h"

#include "zalloc.h"

#include <cerrno>
#include <cctype>
#include <climits>
#include <cstdlib>

void FileCloser::operator()(FILE* f) const {
    zfclose("FileCloser", f);
}

bool ReadPiece(FILE* f, size_t limit, std::string* piece) {
    piece->clear();
    if (limit == 0) limit = 1;
    while (piece->size() < limit) {
        int c = std::fgetc(f);
        if (c == EOF) break;
        piece->push_back(static_cast<char>(c));
        if (c == '\n') break;
    }
    return !piece->empty();
}

bool ReadCutLine(FILE* f, size_t keep, std::string* line) {
    line->clear();
    bool any = false, cut = false;
    for (;;) {
        int c = std::fgetc(f);
        if (c == EOF) break;
        any = true;
        if (c == '\n') break;
        if (c == '\r') cut = true;
        if (!cut && line->size() < keep) line->push_back(static_cast<char>(c));
    }
    return any;
}

bool ReadWholeLine(FILE* f, std::string* line) {
    line->clear();
    bool any = false;
    int c;
    while ((c = std::fgetc(f)) != EOF) {
        any = true;
        if (c == '\n') break;
        line->push_back(static_cast<char>(c));
    }
    while (!line->empty() && line->back() == '\r') line->pop_back();
    return any;
}

std::string CutAtLineEnd(const std::string& text) {
    size_t end = text.find_first_of("\r\n");
    return end == std::string::npos ? text : text.substr(0, end);
}

UniqueFile OpenUserOrDefault(const std::string& subdir, const std::string& name,
                             std::string* opened) {
    for (const char* dir : {"/u/qel/usr_data/", "/u/qel/def_data/"}) {
        const std::string path = dir + subdir + "/" + name;
        UniqueFile f(zfopen("OpenUserOrDefault", path, "r"));
        if (f) {
            if (opened) *opened = path;
            return f;
        }
    }
    return nullptr;
}

namespace {

bool IsBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// The next white-space separated word from text[*at], or false.
bool NextWord(const std::string& text, size_t* at, std::string* word) {
    size_t i = *at;
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i >= text.size() || text[i] == '\0') return false;
    size_t b = i;
    while (i < text.size() && !IsBlank(text[i]) && text[i] != '\0') ++i;
    *word = text.substr(b, i - b);
    *at = i;
    return true;
}

} // namespace

bool ParsePlotColorLine(const std::string& piece, PlotColorLine* out) {
    if (piece.empty() || piece[0] == '!' || piece[0] == '\n' || piece[0] == '\r') return false;
    const std::string text = piece.substr(0, piece.find('\0'));
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    long number = std::strtol(begin, &end, 10);
    if (end == begin) return false;
    if (number > INT_MAX) number = INT_MAX;
    if (number < INT_MIN) number = INT_MIN;
    size_t at = static_cast<size_t>(end - begin);
    PlotColorLine line;
    line.number = static_cast<int>(number);
    if (!NextWord(text, &at, &line.name) || !NextWord(text, &at, &line.xcolor)) return false;
    if (!NextWord(text, &at, &line.fallback)) line.fallback = "*";
    *out = line;
    return true;
}

std::vector<PlotColorLine> ReadPlotColorLines(FILE* f) {
    std::vector<PlotColorLine> lines;
    std::string piece;
    PlotColorLine line;
    while (static_cast<int>(lines.size()) < kPlotColorMaxLines &&
           ReadPiece(f, kPlotColorPiece, &piece))
        if (ParsePlotColorLine(piece, &line)) lines.push_back(line);
    return lines;
}
