// Sandbox seam and drive-letter strip at the system-call boundary.
#include "ospath.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

// Fixed names outside the install tree that the sandbox re-roots. A name
// ending in '_' or '/' is a prefix; the others match whole.
const char* const kFixedNames[] = {
    "/usr/bin/KILL_QELIPC",
    "/usr/bin/KILL_XSERVER",
    "/usr/bin/xserver",
    "/usr/bin/xstop",
    "/usr/bin/XSRVR",
    "/dev/M_",
    "/dev/imbed",
    "/dev/tty1",
    // The removable media of the media table and their format program.
    "/dev/fd0",
    "/dev/fd1",
    "/dev/st0",
    "/bin/format",
};

bool IsNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '-';
}

// Length of a leading drive at s[i]: 2 for "X:", 3 for "/X=", else 0.
size_t DriveLength(const std::string& s, size_t i) {
    if (i + 1 < s.size() && std::isalpha(static_cast<unsigned char>(s[i])) && s[i + 1] == ':')
        return 2;
    if (i + 2 < s.size() && s[i] == '/' && std::isalpha(static_cast<unsigned char>(s[i + 1])) &&
        s[i + 2] == '=')
        return 3;
    return 0;
}

// Does the text at s[i] start a path that the sandbox re-roots?
bool StartsRerooted(const std::string& s, size_t i) {
    auto under = [&](const char* dir) {
        size_t n = std::strlen(dir);
        if (s.compare(i, n, dir) != 0) return false;
        return i + n == s.size() || s[i + n] == '/' || !IsNameChar(s[i + n]);
    };
    if (under("/u") || under("/temp")) return true;
    for (const char* name : kFixedNames) {
        size_t n = std::strlen(name);
        if (s.compare(i, n, name) != 0) continue;
        char last = name[n - 1];
        if (last == '_' || last == '/') return true;
        if (i + n == s.size() || !IsNameChar(s[i + n]) || s[i + n] == '.') return true;
    }
    return false;
}

// Walks a command as /bin/sh splits it into words (blanks, operators,
// comments, single and double quotes, backslashes, $(...), ${...} and
// back-quotes) and copies it to out, mapping each word at the first
// character of its value: a drive in front of an absolute path is dropped,
// and a re-rooted name gets the sandbox root in front. Nothing later inside a
// word is touched, so quoted data reaches the shell as written.
class CommandMapper {
  public:
    CommandMapper(const std::string& command, const std::string& root) : s_(command), root_(root) {}

    std::string Run() {
        out_.reserve(s_.size() + 64);
        while (i_ < s_.size()) {
            const char c = s_[i_];
            if (c == ' ' || c == '\t' || c == '\n' || IsOperator(c))
                Copy(1);
            else if (c == '#')
                Comment();
            else
                Word();
        }
        return out_;
    }

  private:
    static bool IsOperator(char c) { return c != '\0' && std::strchr("|&;<>()", c) != nullptr; }

    void Copy(size_t n) {
        n = std::min(n, s_.size() - i_);
        out_.append(s_, i_, n);
        i_ += n;
    }

    bool At(char c) const { return i_ < s_.size() && s_[i_] == c; }

    void Comment() {
        const size_t end = s_.find('\n', i_);
        Copy((end == std::string::npos ? s_.size() : end) - i_);
    }

    // The first characters of a word's value from the raw position at, in the
    // quote state quote ('\'', '"' or none): quotes removed, escapes resolved.
    // It stops at the word's end and at an expansion, which it marks with a
    // '$' (no name character, so no name runs on into it).
    std::string ValueFrom(size_t at, char quote) const {
        std::string v;
        const size_t kEnough = 64; // longer than every re-rooted name
        while (at < s_.size() && v.size() < kEnough) {
            const char c = s_[at];
            if (quote == '\'') {
                if (c == '\'')
                    quote = 0;
                else
                    v += c;
                ++at;
            } else if (c == '$' || c == '`') {
                v += '$';
                break;
            } else if (quote == '"') {
                if (c == '"') {
                    quote = 0;
                } else if (c == '\\' && at + 1 < s_.size() && std::strchr("$`\"\\\n", s_[at + 1])) {
                    v += s_[++at];
                } else {
                    v += c;
                }
                ++at;
            } else if (c == ' ' || c == '\t' || c == '\n' || IsOperator(c)) {
                break;
            } else if (c == '\'' || c == '"') {
                quote = c;
                ++at;
            } else if (c == '\\') {
                if (at + 1 < s_.size() && s_[at + 1] != '\n') v += s_[at + 1];
                at += 2;
            } else {
                v += c;
                ++at;
            }
        }
        return v;
    }

    // The drive strip and the re-root at the first character of a word's
    // value (in the quote state quote). The drive must stand in the command
    // as written; whether the name is re-rooted is read from the value.
    void MapWordStart(char quote) {
        size_t drive = DriveLength(s_, i_);
        // A drive counts in a command only in front of an absolute path.
        if (drive && (i_ + drive >= s_.size() || s_[i_ + drive] != '/')) drive = 0;
        const size_t at = i_ + drive;
        if (!root_.empty() && StartsRerooted(ValueFrom(at, quote), 0)) out_ += root_;
        i_ = at;
    }

    void Word() {
        // Quotes that open the word, and empty quoted pieces, come before the
        // first character of its value.
        char quote = 0;
        while (i_ < s_.size()) {
            const char c = s_[i_];
            if (!quote && (c == '\'' || c == '"'))
                quote = c;
            else if (quote && c == quote)
                quote = 0;
            else
                break;
            Copy(1);
        }
        MapWordStart(quote);
        if (quote == '\'')
            SingleQuotedRest();
        else if (quote == '"')
            Enclosed('"');
        while (i_ < s_.size()) {
            const char c = s_[i_];
            if (c == ' ' || c == '\t' || c == '\n' || IsOperator(c)) return;
            Piece();
        }
    }

    // One piece of a word outside quotes: an escaped character, a quoted
    // part, a substitution or a plain character.
    void Piece() {
        switch (s_[i_]) {
        case '\\':
            Copy(2);
            break;
        case '\'':
            Copy(1);
            SingleQuotedRest();
            break;
        case '"':
        case '`':
            Copy(1);
            Enclosed(s_[i_ - 1]);
            break;
        case '$':
            Dollar(nullptr);
            break;
        default:
            Copy(1);
            break;
        }
    }

    // After an opening single quote: through the closing one.
    void SingleQuotedRest() {
        const size_t end = s_.find('\'', i_);
        Copy((end == std::string::npos ? s_.size() : end + 1) - i_);
    }

    // A '$': with $( or ${ the bracket too, whose closer is then pushed on
    // open (or skipped through at once without a stack of the caller's).
    void Dollar(std::vector<char>* open) {
        Copy(1);
        char closer = 0;
        if (At('(')) closer = ')';
        if (At('{')) closer = '}';
        if (!closer) return;
        Copy(1);
        if (open)
            open->push_back(closer);
        else
            Enclosed(closer);
    }

    // After the opener of a double-quoted part ('"'), a back-quoted one
    // ('`'), $( (')') or ${ ('}'): through its end, with whatever nests
    // inside. Nothing in it is mapped.
    void Enclosed(char closer) {
        std::vector<char> open{closer};
        while (i_ < s_.size() && !open.empty()) {
            const char c = s_[i_];
            const char top = open.back();
            if (c == '\\') {
                Copy(2);
            } else if (top == '`') {
                Copy(1);
                if (c == '`') open.pop_back();
            } else if (c == top) {
                Copy(1);
                open.pop_back();
            } else if (c == '$') {
                Dollar(&open);
            } else if (c == '`' || (c == '"' && top != '"')) {
                Copy(1);
                open.push_back(c);
            } else if (c == '\'' && top != '"') {
                Copy(1);
                SingleQuotedRest();
            } else {
                Copy(1);
                // Plain brackets nest inside their kind of substitution.
                if ((c == '(' && top == ')') || (c == '{' && top == '}')) open.push_back(top);
            }
        }
    }

    const std::string& s_;
    const std::string& root_;
    std::string out_;
    size_t i_ = 0;
};

} // namespace

std::string SandboxRoot() {
    const char* root = std::getenv("QEL_SANDBOX");
    if (!root || !*root) return "";
    std::string r(root);
    while (r.size() > 1 && r.back() == '/') r.pop_back();
    return r;
}

bool SandboxRootIsSafe(const std::string& root) {
    for (char c : root)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
              c == '_' || c == '.' || c == '/' || c == '-'))
            return false;
    return true;
}

std::string OsRoot() {
    const std::string root = SandboxRoot();
    return root.empty() ? "/" : root;
}

std::string WithoutDrive(const std::string& path) {
    return path.substr(DriveLength(path, 0));
}

bool IsRerootedPath(const std::string& path) {
    size_t skip = DriveLength(path, 0);
    return StartsRerooted(path, skip);
}

std::string OsPath(const std::string& path) {
    std::string p = path.substr(DriveLength(path, 0));
    std::string root = SandboxRoot();
    if (!root.empty() && StartsRerooted(p, 0)) return root + p;
    return p;
}

std::string OsCommand(const std::string& command) {
    return CommandMapper(command, SandboxRoot()).Run();
}

std::string UnrootPath(const std::string& path) {
    std::string root = SandboxRoot();
    if (root.empty() || path.compare(0, root.size(), root) != 0) return path;
    if (path.size() == root.size() || path[root.size()] != '/') return path;
    // Only what the seam maps in comes back out, so that OsPath(UnrootPath(p))
    // is p again for every path.
    std::string inner = path.substr(root.size());
    return StartsRerooted(inner, 0) ? inner : path;
}

int os_open(const std::string& path, int flags, mode_t mode) {
    return ::open(OsPath(path).c_str(), flags, mode);
}
int os_stat(const std::string& path, struct stat* st) {
    return ::stat(OsPath(path).c_str(), st);
}
int os_lstat(const std::string& path, struct stat* st) {
    return ::lstat(OsPath(path).c_str(), st);
}
FILE* os_fopen(const std::string& path, const char* mode) {
    return std::fopen(OsPath(path).c_str(), mode);
}
int os_mkdir(const std::string& path, mode_t mode) {
    return ::mkdir(OsPath(path).c_str(), mode);
}
int os_unlink(const std::string& path) {
    return ::unlink(OsPath(path).c_str());
}
int os_remove(const std::string& path) {
    return std::remove(OsPath(path).c_str());
}
int os_rename(const std::string& from, const std::string& to) {
    return std::rename(OsPath(from).c_str(), OsPath(to).c_str());
}
DIR* os_opendir(const std::string& path) {
    return ::opendir(OsPath(path).c_str());
}
key_t os_ftok(const std::string& path, int proj) {
    return ::ftok(OsPath(path).c_str(), proj);
}
int os_chdir(const std::string& path) {
    return ::chdir(OsPath(path).c_str());
}
int os_access(const std::string& path, int mode) {
    return ::access(OsPath(path).c_str(), mode);
}

std::string os_getcwd() {
    char* cwd = ::getcwd(nullptr, 0);
    if (!cwd) return "";
    std::string s(cwd);
    std::free(cwd);
    return UnrootPath(s);
}

std::string os_realpath(const std::string& path, bool followLast) {
    const std::string os = OsPath(path);
    if (os.empty() || os[0] != '/') return "";
    std::vector<std::string> parts;
    for (size_t start = 1; start <= os.size();) {
        size_t end = os.find('/', start);
        if (end == std::string::npos) end = os.size();
        if (end > start) parts.push_back(os.substr(start, end - start));
        start = end + 1;
    }
    // The folders of the way resolved so far, each with whether it is on
    // disk (below one that is not, nothing is).
    struct Step {
        std::string path;
        bool exists;
    };
    std::vector<Step> way{{"/", true}};
    for (size_t i = 0; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        if (part == ".") continue;
        if (part == "..") {
            if (way.size() > 1) way.pop_back();
            continue;
        }
        const Step& at = way.back();
        const std::string next = (at.path == "/" ? "" : at.path) + "/" + part;
        if (!at.exists) {
            way.push_back({next, false});
            continue;
        }
        struct stat st {};
        if (::lstat(next.c_str(), &st) != 0) {
            if (errno != ENOENT && errno != ENOTDIR) return "";
            way.push_back({next, false});
            continue;
        }
        const bool last = i + 1 == parts.size();
        if (!S_ISLNK(st.st_mode) || (last && !followLast)) {
            way.push_back({next, true});
            continue;
        }
        char* real = ::realpath(next.c_str(), nullptr);
        if (!real) return "";
        // What the link leads to stands for it; going up from there goes up
        // from where it leads.
        way.clear();
        std::string r(real);
        std::free(real);
        way.push_back({"/", true});
        for (size_t start = 1; start <= r.size();) {
            size_t end = r.find('/', start);
            if (end == std::string::npos) end = r.size();
            if (end > start) way.push_back({r.substr(0, end), true});
            start = end + 1;
        }
    }
    return way.back().path;
}
