// The backup screen's set, estimate and archive.
#include "backupmodel.h"

#include "archive.h"
#include "filelists.h"
#include "filematch.h"
#include "linereader.h"
#include "listreader.h"
#include "media.h"
#include "ospath.h"
#include "paths.h"
#include "process.h"
#include "walk.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <sys/wait.h>

const NavRules kBackupNavRules = [] {
    NavRules r;
    r.topKey = "fu.bu";
    r.wholeFolderEverywhere = true;
    // "AllParts" stands at the top list whether or not a part is current.
    r.hotkeysByMember = true;
    return r;
}();

namespace {

constexpr int kExitNotFound = 127;

void Say(const char* format, const std::string& a, const std::string& b = "") {
    std::printf(format, a.c_str(), b.c_str());
    std::fflush(stdout);
}

std::string LessOneSlash(const std::string& path) {
    if (path.size() > 1 && path.back() == '/') return path.substr(0, path.size() - 1);
    return path;
}

// What the screen shows besides the frame's navigation.
void ShowExtras(BackupModel& m) {
    m.nav.hotkeys = m.nav.state == kNavTop;
    m.plus = m.nav.state == kNavPartList;
}

void SetKeyin(BackupModel& m, const std::string& text) {
    m.setKeyin = true;
    m.keyin = text;
}

// A typed path with the case rule on its last component.
std::string CaseRuled(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0) return FixFileName(path);
    return path.substr(0, slash + 1) + FixFileName(path);
}

void AddSelected(BackupModel& m, const ListSelection& selection) {
    for (const std::string& name : selection.names) BackupAddItem(m, m.nav.folder + name);
}

void AddFile(BackupModel& m, const ListSelection& selection) {
    switch (m.nav.state) {
    case kNavCurPartBelow:
    case kNavPartBelow:
    case kNavMiscBelow:
    case kNavMiscFlat:
        AddSelected(m, selection);
        break;
    default: // 1, 2, 4, 20
        BackupAddItem(m, m.nav.folder + selection.names.front());
        break;
    }
}

void AddTyped(BackupModel& m, const std::string& text, const BackupUi& ui) {
    if (text.empty()) return;
    const bool absolute = text[0] == '/';
    if (m.nav.state == kNavTop && !absolute) {
        ui.message(ui.label(kBackupBadPathLabel));
        return;
    }
    BackupAddMatching(m, CaseRuled(absolute ? text : m.nav.folder + text), ui);
}

} // namespace

void BackupOpen(BackupModel& m, const std::string& currentPart, const NavIo& io) {
    NavOpen(m.nav, kBackupNavRules, currentPart, io);
    ShowExtras(m);
}

void BackupOk(BackupModel& m, const ListSelection& selection, const std::string& keyinText,
              const NavIo& io, const BackupUi& ui) {
    if (!selection.names.empty()) {
        SetKeyin(m, "");
        const std::string& first = selection.names.front();
        switch (NavChoose(m.nav, selection.firstPosition, first, io)) {
        case NavOutcome::kTooLong:
            ui.message(PathTooLongText(m.nav.folder + first, ui.label(kBackupBadPathLabel),
                                       ui.label(kBackupContinueLabel)));
            break;
        case NavOutcome::kFile:
            AddFile(m, selection);
            break;
        default:
            break;
        }
        ShowExtras(m);
        return;
    }
    if (m.nav.hotkeyMode == kAllPartsHotkey) {
        BackupAddItem(m, kPartRoot);
        BackupAddItem(m, GetUserRoot() + "sub");
        return;
    }
    AddTyped(m, keyinText, ui);
}

void BackupUpOne(BackupModel& m, const NavIo& io) {
    SetKeyin(m, "");
    NavUpOne(m.nav, io);
    ShowExtras(m);
}

void BackupWholeFolder(BackupModel& m, const ListSelection& selection) {
    if (selection.names.empty()) return;
    const std::string& first = selection.names.front();
    std::string path;
    if (m.nav.state != kNavTop)
        path = m.nav.folder + first;
    else if (selection.firstPosition == 1 && !m.nav.currentPart.empty())
        path = kPartRoot + first;
    else
        path = kInstallRoot + first;
    if (FileType(path) == 1) BackupAddItem(m, path);
}

void BackupPlus(BackupModel& m, const ListSelection& selection, const BackupUi& ui) {
    if (selection.names.empty()) return;
    const std::string part = LessOneSlash(selection.names.front());
    if (part.empty() || part == "/") return;
    ui.busy(true);
    // A listing of an earlier run is never read as this part's.
    os_remove(kListOut);
    const int status =
        ui.run(std::string(kFilesForPart) + " " + ShellQuote(part) + " >" + ShellQuote(kListOut));
    if (status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == kExitNotFound)
        Say("BuPlusCB: %s not run (status 127)\n", kFilesForPart);
    // files4part.exe gives its list with a status other than 0.
    std::vector<std::string> lines;
    if (status != 0) {
        UniqueFile f(os_fopen(kListOut, "r"));
        lines = ReadListLines(f.get());
    }
    ui.busy(false);
    int named = 0;
    int added = 0;
    for (const std::string& line : lines) {
        if (line[0] != '/') {
            // Its words are shown: they say why.
            ui.showFileHead(kListOut);
            return;
        }
        ++named;
        if (BackupAddItem(m, line)) ++added;
    }
    if (named == 0) {
        const int code = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        Say("BuPlusCB: %s names no file for %s", kFilesForPart,
            part + " (status " + std::to_string(code) + "): nothing added\n");
        ui.message(ui.label(kBackupNoListLabel) + "\n" + ui.label(kBackupContinueLabel));
    } else if (added == 0) {
        // The set shows them.
        Say("BuPlusCB: every file %s names for %s is in the set already\n", kFilesForPart, part);
    }
}

void BackupAllParts(BackupModel& m) {
    SetKeyin(m, "");
    NavHotkey(m.nav, kAllPartsHotkey);
}

void BackupRemove(BackupModel& m, const std::vector<int>& positions) {
    std::vector<bool> gone(m.set.size(), false);
    for (int p : positions)
        if (p >= 1 && p <= static_cast<int>(m.set.size())) gone[p - 1] = true;
    std::vector<std::string> kept;
    for (size_t i = 0; i < m.set.size(); ++i)
        if (!gone[i]) kept.push_back(m.set[i]);
    m.set.swap(kept);
}

void BackupAddMatching(BackupModel& m, std::string path, const BackupUi& ui) {
    const bool star = path.find('*') != std::string::npos;
    const int kind = FileType(path);
    if (!star && kind == 0) {
        ui.message(path + " " + ui.label(kBackupMissingLabel) + "\n" +
                   ui.label(kBackupContinueLabel));
        return;
    }
    if (kind == 1) {
        BackupAddItem(m, LessOneSlash(path));
        return;
    }
    // Every regular file of the name below the folder, at any depth: the
    // folder part's "*"s work as in the other file screens.
    PathPattern pattern;
    if (!MakePathPattern(FolderPart(path) + "*/" + NamePart(path), "", &pattern)) return;
    std::vector<std::string> found;
    ui.busy(true);
    const bool walked = f_Walk(pattern.root, [&](const std::string& p, WalkKind k) {
        if (k == WalkKind::kFile && PathMatches(pattern, p)) found.push_back(p);
    });
    ui.busy(false);
    if (!walked) Say("BuAddMatching: %s cannot be walked\n", pattern.root);
    // In the order of their paths, not the folders' own.
    std::sort(found.begin(), found.end());
    for (const std::string& p : found) BackupAddItem(m, p);
}

bool BackupAddItem(BackupModel& m, const std::string& path) {
    const std::string key = LessOneSlash(path);
    for (const std::string& item : m.set)
        if (LessOneSlash(item) == key) return false;
    m.set.push_back(path);
    return true;
}

std::vector<std::string> BackupPaths(const BackupModel& m) {
    std::vector<std::string> paths;
    for (const std::string& item : m.set) paths.push_back(LessOneSlash(item));
    return paths;
}

bool BackupEstimate(const BackupModel& m, const BackupUi& ui) {
    const std::vector<std::string> paths = BackupPaths(m);
    if (UniqueFile trace{os_fopen(kBackupList, "w")}) {
        for (const std::string& p : paths) std::fprintf(trace.get(), "%s\n", p.c_str());
    } else {
        Say("BuDoBackupCB: cannot write %s\n", kBackupList);
    }
    ui.busy(true);
    const DisketteCounts n = DiskettesFor(SetSize(paths));
    ui.busy(false);
    char counts[64];
    std::snprintf(counts, sizeof counts, "%" PRIu64, n.big);
    std::string text = counts + (" " + ui.label(kBackupBigDisketteLabel)) + " or\n";
    std::snprintf(counts, sizeof counts, "%" PRIu64, n.small);
    text += counts + (" " + ui.label(kBackupSmallDisketteLabel)) + "   \n\n" +
            ui.label(kBackupOkOrCancelLabel);
    return ui.message(text) == 1;
}

BackupOutcome BackupTar(const BackupModel& m, const BackupUi& ui) {
    os_remove(kTarOut);
    std::string device;
    if (ui.chooseMedium(&device) < 1) return BackupOutcome::kCancelled;
    if (!MediaDeviceUsable(device)) {
        Say("BuTar: no usable device (\"%s\")\n", device);
        ui.message(
            RefusedMediumText(ui.label(kBackupNotFoundLabel), ui.label(kBackupContinueLabel)));
        return BackupOutcome::kKept;
    }
    if (ui.waitForMedia(device) != 0) return BackupOutcome::kKept;
    const std::string command = BackupCommand(device, BackupPaths(m));
    if (!CommandFits(command)) {
        const std::string text =
            CommandTooLongText("tar", OsCommand(command).size(), ui.label(kBackupContinueLabel));
        Say("BuTar: %s\n", text.substr(0, text.find(" \n")));
        ui.message(text);
        return BackupOutcome::kKept;
    }
    Say("cmdstring = %s\n", command);
    const int status = ui.run(command);
    if (status == 0) return BackupOutcome::kWritten;
    Say("BuTar: %s\n", ToolStatusText("tar", status));
    ui.message(ToolFailureText("tar", status, ui.label(kBackupContinueLabel)));
    return BackupOutcome::kKept;
}

void BackupFinish(BackupModel& m, BackupOutcome outcome, const NavIo& io) {
    if (outcome == BackupOutcome::kKept) return;
    m.set.clear();
    BackupOpen(m, m.nav.currentPart, io);
}
