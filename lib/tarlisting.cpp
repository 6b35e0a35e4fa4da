// tar's verbose listing, parsed.
#include "tarlisting.h"

#include <cstring>

namespace {

// The C string in double quotes that begins at text[*at]: its bytes, with
// *at moved past the closing quote. False when there is none, it does not
// end on the line, or an escape gives no byte.
bool Unquote(const std::string& text, size_t* at, std::string* out) {
    out->clear();
    size_t i = *at;
    if (i >= text.size() || text[i] != '"') return false;
    for (++i; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            *at = i + 1;
            return true;
        }
        if (c != '\\') {
            out->push_back(c);
            continue;
        }
        if (++i >= text.size()) return false;
        const char e = text[i];
        if (e >= '0' && e <= '7') {
            unsigned value = 0;
            size_t digits = 0;
            while (digits < 3 && i < text.size() && text[i] >= '0' && text[i] <= '7') {
                value = value * 8 + static_cast<unsigned>(text[i] - '0');
                ++i;
                ++digits;
            }
            --i;
            if (value > 0xff) return false;
            out->push_back(static_cast<char>(value));
            continue;
        }
        // \a \b \f \n \r \t \v; any other escaped character (\\ \" \?)
        // stands for itself.
        static const char kLetters[] = "abfnrtv";
        static const char kBytes[] = "\a\b\f\n\r\t\v";
        const char* letter = std::strchr(kLetters, e);
        out->push_back(e != '\0' && letter ? kBytes[letter - kLetters] : e);
    }
    return false;
}

// The mode field: a type letter and nine permission letters.
constexpr size_t kModeWidth = 10;

} // namespace

bool ParseListingLine(const std::string& line, ArchiveMember* member) {
    // "<mode> <uid>/<gid> <size> <date> <time> "<name>"" and for a link
    // " -> "<target>"" or " link to "<target>"". With numeric owners no
    // quote comes before the name.
    if (line.size() <= kModeWidth) return false;
    size_t at = line.find('"', kModeWidth);
    if (at == std::string::npos) return false;
    ArchiveMember m;
    m.type = line[0];
    if (!Unquote(line, &at, &m.name)) return false;
    if (m.type == 'l' || m.type == 'h') {
        at = line.find('"', at);
        if (at == std::string::npos || !Unquote(line, &at, &m.target)) return false;
    }
    *member = std::move(m);
    return true;
}

bool IsPlainMember(const ArchiveMember& member) {
    return member.type == '-' || member.type == 'C' || member.type == 'd';
}

bool IsFolderMember(const ArchiveMember& member) {
    return member.type == 'd';
}

std::string MemberKindText(const ArchiveMember& member) {
    switch (member.type) {
    case '-':
    case 'C':
        return "a file";
    case 'd':
        return "a folder";
    case 'l':
        return "a symbolic link to " + member.target;
    case 'h':
        return "a hard link to " + member.target;
    case 'p':
        return "a FIFO";
    case 'c':
        return "a character device";
    case 'b':
        return "a block device";
    default:
        return std::string("of type '") + member.type + "', no plain file or folder";
    }
}
