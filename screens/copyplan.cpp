// One copy of the copy screen.
#include "copyplan.h"

#include "filelists.h"
#include "filematch.h"
#include "ospath.h"
#include "paths.h"
#include "process.h"

#include <cstdio>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

// Set while a copy runs: a second one started from inside its dialogs
// returns at once.
int CopyBusy = 0;

class BusyGuard {
  public:
    BusyGuard() : entered_(CopyBusy == 0) {
        if (entered_) CopyBusy = 1;
    }
    ~BusyGuard() {
        if (entered_) CopyBusy = 0;
    }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;
    bool entered() const { return entered_; }

  private:
    bool entered_;
};

void Say(const char* format, const std::string& a, const std::string& b) {
    std::printf(format, a.c_str(), b.c_str());
    std::fflush(stdout);
}

std::string WithoutTrailingSlash(std::string path) {
    if (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

std::string CollapseSlashes(std::string path) {
    for (size_t at = path.find("//"); at != std::string::npos; at = path.find("//", at))
        path.erase(at, 1);
    return path;
}

std::string Quoted(const std::string& path) {
    return ShellQuote(ModifyPath(path));
}

int ExitCode(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

CopyPaths BuildCopyPaths(const std::string& source, const std::string& dest,
                         const std::string& folder) {
    CopyPaths p;
    p.s = !source.empty() && source[0] == '/' ? source : folder + source;
    p.d = !dest.empty() && dest[0] == '/' ? dest : kInstallRoot + dest;
    p.s = WithoutTrailingSlash(p.s);
    p.d = WithoutTrailingSlash(CollapseSlashes(p.d));
    return p;
}

int CopyRefusal(const CopyPaths& p, int sourceKind, int destKind) {
    if (p.s.size() > kFilePathMax || p.d.size() > kFilePathMax) return kDepthLabel;
    if (p.s == p.d) return kSamePathLabel;
    if (CountChar(p.s, '/') != CountChar(p.d, '/')) return kDepthLabel;
    if (sourceKind == 2 && destKind != 0 && destKind != 2) return kFileOntoFolderLabel;
    if (sourceKind == 1 && destKind != 0 && destKind != 1) return kFolderOntoFileLabel;
    return 0;
}

std::string CopyTempName(const std::string& d) {
    // Enough tries for names left over by copies that were cut off.
    constexpr int kTries = 100;
    const std::string base = FolderPart(d) + "." + NamePart(d) + ".copy";
    for (int n = 0; n < kTries; ++n) {
        const std::string temp = n == 0 ? base : base + std::to_string(n);
        struct stat st {};
        if (os_lstat(ModifyPath(temp), &st) != 0) return temp;
    }
    return "";
}

std::string CopyCommand(const CopyPaths& p, int sourceKind, int destKind, const std::string& temp) {
    if (sourceKind != 1) {
        const std::string t = Quoted(temp);
        return "cp " + Quoted(p.s) + " " + t + " && mv -f " + t + " " + Quoted(p.d) +
               " || { s=$?; rm -f " + t + "; exit $s; }";
    }
    // Onto an existing folder the contents are merged, as the question
    // said; "cp -r S D" would put S inside it.
    if (destKind == 1) return "cp -r " + ShellQuote(ModifyPath(p.s) + "/.") + " " + Quoted(p.d);
    return "cp -r " + Quoted(p.s) + " " + Quoted(p.d);
}

int CopyIt(const std::string& source, std::string* dest, const std::string& folder, int pathCut,
           const FileUi& ui) {
    std::printf("Vok CopyIt\n");
    std::fflush(stdout);
    BusyGuard busy;
    if (!busy.entered()) return 1;
    if (source.empty() || dest->empty()) return 0;
    Say("CopyIt From[%s] To[%s]\n", source, *dest);
    const CopyPaths p = BuildCopyPaths(source, *dest, folder);
    Say("CopyIt [%s] [%s]\n", p.s, p.d);
    const std::string shownD = ShownPath(p.d, pathCut);
    const std::string closing = "\n" + ui.label(kContinueLabel);

    const int sourceKind = FileType(p.s);
    const int destKind = FileType(p.d);
    if (const int refusal = CopyRefusal(p, sourceKind, destKind)) {
        ui.message(shownD + "\n" + ui.label(refusal) + closing);
        return 1;
    }
    const std::string question = ui.label(kOverwriteLabel) + "\n" + ui.label(kOkOrCancelLabel);
    if (destKind == 2 && sourceKind != 1 && ui.message(shownD + "\n" + question) != 1) {
        dest->clear();
        return 1;
    }
    if (sourceKind == 1) {
        const std::string ask = destKind == 0 ? ui.label(kNewFolderLabel) + " " + shownD + " \n" +
                                                    ui.label(kCopyFolderLabel)
                                              : shownD + " " + question;
        if (ui.message(ask) != 1) return 1;
    } else if (sourceKind != 2) {
        ui.message(ui.label(kNoSourceLabel) + " " + ShownPath(p.s, pathCut) + " \n\n" +
                   ui.label(kContinueLabel));
        return 1;
    }
    std::string temp;
    if (sourceKind == 2) {
        temp = CopyTempName(p.d);
        if (temp.empty()) {
            std::printf("CopyIt: no free name beside %s\n", p.d.c_str());
            std::fflush(stdout);
            ui.message(shownD + "\n" + ui.label(kCopyFailedLabel) + closing);
            dest->clear();
            return 0;
        }
    }
    ui.cursor(true);
    if (sourceKind == 2) Say("Doit ModifyPath [%s] [%s]", ModifyPath(p.s), ModifyPath(p.d));
    const int status = ui.run(CopyCommand(p, sourceKind, destKind, temp));
    int told = 1;
    if (status == 0) {
        ui.message(ui.label(kCopyDoneLabel) + " " + closing);
    } else {
        std::printf("CopyIt: cp failed, status %d\n", ExitCode(status));
        std::fflush(stdout);
        ui.message(shownD + "\n" + ui.label(kCopyFailedLabel) + closing);
        told = 0;
    }
    ui.cursor(false);
    dest->clear();
    return told;
}
