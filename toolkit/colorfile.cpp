// Colour-file reader and scheme lookups (no X).
#include "colorfile.h"

#include "linereader.h"
#include "zalloc.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <limits>
#include <sys/stat.h>

namespace {

constexpr size_t kMaxWords = 5;

// Base-colour rows behind the colour indexes 0 .. 10.
constexpr int kRowOfIndex[kColorIndexCount] = {0, 1, 3, 3, 5, 5, 6, 7, 8, 3, 10};

bool IsSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// The first kMaxWords white-space separated words of text, which ends at
// its first NUL.
std::vector<std::string> SplitWords(const std::string& line) {
    std::vector<std::string> words;
    const std::string text = line.substr(0, line.find('\0'));
    size_t i = 0;
    while (words.size() < kMaxWords) {
        while (i < text.size() && IsSpace(text[i])) ++i;
        if (i >= text.size()) break;
        const size_t begin = i;
        while (i < text.size() && !IsSpace(text[i])) ++i;
        words.push_back(text.substr(begin, i - begin));
    }
    return words;
}

int ToInt(const std::string& word) {
    long v = std::strtol(word.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long>(v, INT_MIN, INT_MAX));
}

bool Unset(const std::string& word) {
    return word.empty() || word[0] == '?';
}

// One pass over a colour file.
class Reader {
  public:
    Reader(const std::string& fileName, const PlotPixelLookup& pixelOf, BaseColorTable* base,
           ColorScheme* scheme, std::FILE* console)
        : fileName_(fileName), pixelOf_(pixelOf), base_(base), scheme_(scheme), console_(console) {}

    // False at "exit".
    bool Line(const std::string& line) {
        ++lineNumber_;
        if (line.empty() || line[0] == '!' || line[0] == '\n' || line[0] == '\r') return true;
        const std::vector<std::string> w = SplitWords(line);
        if (w.empty()) return true;
        if (w[0] == "exit") return false;
        switch (w[0][0]) {
        case 'b':
        case 'f':
            if (w.size() >= 4) Pair(w);
            break;
        case 'c':
            if (w.size() >= 3) Override(w);
            break;
        case 'o':
            if (w.size() == 3) Base(w[1], w[2]);
            break;
        default:
            break;
        }
        return true;
    }

  private:
    void Pair(const std::vector<std::string>& w) {
        if (scheme_->pairs.size() >= static_cast<size_t>(kMaxColorPairs)) return;
        ColorPair p;
        p.name = w[1];
        p.fg = PixelRef(w[2], 0);
        p.bg = PixelRef(w[3], 1);
        p.thickness = w.size() > 4 ? ToInt(w[4]) : -1;
        scheme_->pairs.push_back(p);
    }

    void Override(const std::vector<std::string>& w) {
        if (scheme_->overrides.size() >= static_cast<size_t>(kMaxColorOverrides)) return;
        WidgetColorOverride o;
        o.style = w[1];
        if (!Unset(w[2])) {
            o.fg = PixelRef(w[2], 0);
            o.bg = PixelRef(w[2], 1);
        }
        if (w.size() > 3 && !Unset(w[3])) o.icon = w[3];
        if (w.size() > 4 && !Unset(w[4])) {
            o.thickness = ThicknessRef(w[4]);
            o.topShadow = PixelRef(w[4], 0);
            o.bottomShadow = PixelRef(w[4], 1);
        }
        scheme_->overrides.push_back(o);
    }

    void Base(const std::string& name, const std::string& value) {
        for (BaseColor& row : *base_)
            if (row.name == name) row.value = value;
    }

    // A colour reference: which 0 the foreground, 1 the background.
    ColorPixel PixelRef(std::string word, int which) {
        if (!word.empty() && word[0] == '-') {
            word.erase(0, 1);
            which = 1 - which;
        }
        if (const ColorPair* p = scheme_->FindPair(word)) return which == 0 ? p->fg : p->bg;
        if (!word.empty() && word[0] >= 'a' && word[0] <= 'z' && console_)
            std::fprintf(console_, "Color File '%s', line %d: Could not find '%s'\n",
                         fileName_.c_str(), lineNumber_, word.c_str());
        return pixelOf_(word);
    }

    int ThicknessRef(std::string word) {
        if (!word.empty() && word[0] == '-') word.erase(0, 1);
        const ColorPair* p = scheme_->FindPair(word);
        return p ? p->thickness : -1;
    }

    const std::string& fileName_;
    const PlotPixelLookup& pixelOf_;
    BaseColorTable* base_;
    ColorScheme* scheme_;
    std::FILE* console_;
    int lineNumber_ = 0;
};

// The file of that name in usr_data, else in def_data; a folder does not
// count.
UniqueFile OpenColorFile(const std::string& name) {
    if (name.empty()) return nullptr;
    for (const char* dir : {"/u/qel/usr_data/misc/", "/u/qel/def_data/misc/"}) {
        UniqueFile f(zfopen("ReadColorFile", dir + name, "r"));
        struct stat st {};
        if (f && fstat(fileno(f.get()), &st) == 0 && !S_ISDIR(st.st_mode)) return f;
    }
    return nullptr;
}

} // namespace

BaseColorTable InitialBaseColors() {
    return {{{"WHITE", "WHITE"},
             {"GRAY", "GRAY"},
             {"DIMGRAY", "BLACK"},
             {"BLACK", "BLACK"},
             {"GREEN", "GREEN"},
             {"FORESTGREEN", "GREEN"},
             {"RED", "RED"},
             {"YELLOW", "YELLOW"},
             {"CYAN", "CYAN"},
             {"BROWN", "BLACK"},
             {"BLUE", "BLUE"}}};
}

int BaseRowOfColorIndex(int index) {
    return index >= 0 && index < kColorIndexCount ? kRowOfIndex[index] : kRowOfIndex[0];
}

// The memories are set only by a scan, which stops at the first hit, and
// forgotten with the file: they always point at the first row of a name.
void ColorScheme::Clear() {
    pairs.clear();
    overrides.clear();
    lastPair_ = lastOverride_ = 0;
}

const ColorPair* ColorScheme::FindPair(const std::string& name) const {
    if (lastPair_ < pairs.size() && pairs[lastPair_].name == name) return &pairs[lastPair_];
    for (size_t i = 0; i < pairs.size(); ++i) {
        if (pairs[i].name == name) {
            lastPair_ = i;
            return &pairs[i];
        }
    }
    return nullptr;
}

const WidgetColorOverride* ColorScheme::FindOverride(const std::string& style) const {
    if (lastOverride_ < overrides.size() && overrides[lastOverride_].style == style)
        return &overrides[lastOverride_];
    for (size_t i = 0; i < overrides.size(); ++i) {
        if (overrides[i].style == style) {
            lastOverride_ = i;
            return &overrides[i];
        }
    }
    return nullptr;
}

void ReadColorLines(std::FILE* f, const std::string& fileName, const PlotPixelLookup& pixelOf,
                    BaseColorTable* base, ColorScheme* scheme, std::FILE* console) {
    scheme->Clear();
    Reader reader(fileName, pixelOf, base, scheme, console);
    std::string line;
    while (ReadPiece(f, std::numeric_limits<size_t>::max(), &line)) {
        if (!line.empty() && line.back() == '\n') line.pop_back();
        if (!reader.Line(line)) break;
    }
}

bool LoadColorScheme(std::string* name, const PlotPixelLookup& pixelOf, BaseColorTable* base,
                     ColorScheme* scheme, std::FILE* console) {
    scheme->Clear();
    const std::string configured = *name;
    UniqueFile f = OpenColorFile(*name);
    if (!f) {
        *name = kDefaultColorFile;
        f = OpenColorFile(*name);
    }
    if (!f) {
        if (console) {
            const std::string tried =
                configured == kDefaultColorFile ? configured : configured + " or " + *name;
            std::fprintf(console,
                         "ReadColorFile: no colour file %s in /u/qel/usr_data/misc/ or "
                         "/u/qel/def_data/misc/, no colour scheme\n",
                         tried.c_str());
            std::fflush(console);
        }
        return false;
    }
    ReadColorLines(f.get(), *name, pixelOf, base, scheme, console);
    size_t longestPair = 0, longestOverride = 0;
    for (const ColorPair& p : scheme->pairs) longestPair = std::max(longestPair, p.name.size());
    for (const WidgetColorOverride& o : scheme->overrides)
        longestOverride = std::max(longestOverride, o.style.size());
    if (console) {
        std::fprintf(console, "ColorFile = %s; FgBgColorsCt = %d; OverRideCt = %d\n", name->c_str(),
                     static_cast<int>(scheme->pairs.size()),
                     static_cast<int>(scheme->overrides.size()));
        std::fprintf(console, "Longest fgbg = %d; over = %d\n", static_cast<int>(longestPair),
                     static_cast<int>(longestOverride));
        std::fflush(console);
    }
    return true;
}
