// Fuzz target: shell commands through the sandbox seam. Without a sandbox a
// command only loses drives, each at the start of a word; with one, a word
// only gets the sandbox folder in front when its value (less the drive) is a
// re-rooted name. The words are read back by wordexp, the C library's own
// reading of shell words, for the commands that it reads without running or
// expanding anything; the shell's word count never changes.
#include "ospath.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>
#include <wordexp.h>

namespace {

const char* const kRoot = "/sb";

// The words of a command, or false when wordexp does not read it as plain
// words (operators, substitutions, a bad quote).
bool Words(const std::string& command, std::vector<std::string>* words) {
    wordexp_t w{};
    const int rc = wordexp(command.c_str(), &w, WRDE_NOCMD | WRDE_UNDEF);
    if (rc != 0) {
        if (rc == WRDE_NOSPACE) wordfree(&w);
        return false;
    }
    words->assign(w.we_wordv, w.we_wordv + w.we_wordc);
    wordfree(&w);
    return true;
}

bool Letter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Length of a drive in front of an absolute path at the start of a word.
size_t DriveInFront(const std::string& w) {
    if (w.size() > 2 && Letter(w[0]) && w[1] == ':' && w[2] == '/') return 2;
    if (w.size() > 3 && w[0] == '/' && Letter(w[1]) && w[2] == '=' && w[3] == '/') return 3;
    return 0;
}

// Whether a word starts with a drive in any form (a path's drive, even
// without a '/' after it).
bool AnyDrive(const std::string& w) {
    return (w.size() > 1 && Letter(w[0]) && w[1] == ':') ||
           (w.size() > 2 && w[0] == '/' && Letter(w[1]) && w[2] == '=');
}

// Whether out is in with characters taken out only.
bool OnlyTakenOut(const std::string& in, const std::string& out) {
    size_t j = 0;
    for (size_t i = 0; i < in.size() && j < out.size(); ++i)
        if (in[i] == out[j]) ++j;
    return j == out.size();
}

// Word by word: unchanged or less its drive, or in a sandbox either of them
// with the sandbox folder in front, that only for a re-rooted name and always
// for a plain one. A drive is only dropped where the command writes it out,
// so a word whose value starts with one may keep it, and what name follows a
// drive form is then left open.
void CheckWords(const std::vector<std::string>& in, const std::vector<std::string>& out,
                const std::string& root) {
    if (in.size() != out.size()) std::abort();
    for (size_t k = 0; k < in.size(); ++k) {
        const std::string& was = in[k];
        const std::string& is = out[k];
        const std::string stripped = was.substr(DriveInFront(was));
        if (!root.empty() && (is == root + stripped || is == root + was)) {
            const std::string& name = is == root + stripped ? stripped : was;
            if (!AnyDrive(name) && !IsRerootedPath(name)) std::abort();
            continue;
        }
        if (is != was && is != stripped) std::abort();
        if (!root.empty() && !AnyDrive(was) && IsRerootedPath(was)) std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string command(reinterpret_cast<const char*>(data), size);
    if (command.find('\0') != std::string::npos) return 0;

    unsetenv("QEL_SANDBOX");
    const std::string plain = OsCommand(command);
    if (!OnlyTakenOut(command, plain)) std::abort();
    setenv("QEL_SANDBOX", kRoot, 1);
    const std::string sandboxed = OsCommand(command);
    unsetenv("QEL_SANDBOX");

    // wordexp would expand these (globs, variables, substitutions, homes),
    // and the drive strip could change what they expand to; it knows no
    // comments.
    if (command.find_first_of("*?[$`~#") != std::string::npos) return 0;
    std::vector<std::string> in, out;
    if (!Words(command, &in)) return 0;
    if (!Words(plain, &out)) std::abort();
    CheckWords(in, out, "");
    if (!Words(sandboxed, &out)) std::abort();
    CheckWords(in, out, kRoot);
    return 0;
}
