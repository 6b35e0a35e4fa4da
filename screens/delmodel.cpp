// The delete screen's navigation, hotkeys and deletions.
#include "delmodel.h"

#include "delplan.h"
#include "filelists.h"
#include "filematch.h"
#include "treeplace.h"
#include "listreader.h"
#include "ospath.h"
#include "paths.h"
#include "walk.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <vector>

const NavRules kDelNavRules = [] {
    NavRules r;
    r.topKey = "fu.del";
    r.multipleEverywhere = true;
    r.hotkeysByMember = true;
    r.focusClearsHotkeysEverywhere = true;
    r.multipleSelectionClearsHotkeys = true;
    return r;
}();

namespace {

bool Has(const std::string& s, const char* piece) {
    return s.find(piece) != std::string::npos;
}

bool HasStar(const std::string& s) {
    return s.find('*') != std::string::npos;
}

void Say(const char* format, const std::string& a) {
    std::printf(format, a.c_str());
    std::fflush(stdout);
}

void SetKeyin(DelModel& m, const std::string& text) {
    m.setKeyin = true;
    m.keyin = text;
}

// The hotkeys follow the folder listed. The top list counts as a folder
// with sub folders; a top-list line's folder just entered shows neither.
// A hotkey's mode goes when it is hidden or its function changes.
void SetHotkeys(DelModel& m, bool enteredTopLine) {
    int function = kHotkeyNone;
    int label = kDelCurPartLabel;
    bool second = false;
    if (m.nav.state == kNavTop) {
        if (!m.nav.currentPart.empty()) function = kHotkeyDeletePart;
    } else if (!enteredTopLine && m.nav.hasSubfolders != 1) {
        second = true;
        if (Has(m.nav.folder, "/contour/")) {
            function = kHotkeyPurgeContour;
            label = kDelContourLabel;
        } else if (Has(m.nav.folder, "/program/")) {
            function = kHotkeyPurgeProgram;
            label = kDelProgramLabel;
        }
    }
    if (m.nav.hotkeyMode == kDelHotkey1 &&
        (function == kHotkeyNone || function != m.hotkey1Function))
        m.nav.hotkeyMode = 0;
    if (m.nav.hotkeyMode == kDelHotkey2 && !second) m.nav.hotkeyMode = 0;
    m.hotkey1Function = function;
    m.hotkey1Label = label;
    m.hotkey1Shown = function != kHotkeyNone;
    m.hotkey2Shown = second;
}

void Relist(DelModel& m, const NavIo& io) {
    NavRelist(m.nav, io);
    SetHotkeys(m, false);
}

void GoUp(DelModel& m, const NavIo& io) {
    SetKeyin(m, "");
    NavUpOne(m.nav, io);
    SetHotkeys(m, false);
}

// A target the screen may not touch: said with the path as it stands, and
// nothing is deleted.
void Refuse(const std::string& path, const FileUi& ui) {
    ui.message(path + "\n" + ui.label(kBadPathLabel) + "\n" + ui.label(kContinueLabel));
}

// A target whose way on disk leads out of the install tree (a folder of it
// is a link to a folder outside): said on the console and, when ui is given,
// to the operator with the target as it was named (shown, else path);
// nothing is deleted there.
bool InTree(const std::string& path, const char* who, const FileUi* ui,
            const std::string& shown = "") {
    if (InInstallTree(path)) return true;
    std::printf("%s: %s leads out of the install tree through a link\n", who, path.c_str());
    std::fflush(stdout);
    if (ui) Refuse(shown.empty() ? path : shown, *ui);
    return false;
}

bool Ask(const FileUi& ui, int label, const std::string& what) {
    return ui.message(ui.label(label) + "\n" + what + "\n" + ui.label(kDelSureLabel)) == 1;
}

// One file, and its companions in the data trees.
void RemoveFile(const std::string& path, const FileUi& ui) {
    if (!DeletionAllowed(path, DelScope::kFile)) {
        Say("DelFiles: %s is not deleted here\n", path);
        return;
    }
    if (!InTree(path, "DelFiles", nullptr)) return;
    ui.run(RmCommand(path));
    const std::string companions = CompanionCommand(path);
    if (!companions.empty()) ui.run(companions);
}

// A folder that is still there, with everything in it.
void RemoveDir(const std::string& folder, const FileUi& ui) {
    std::string path = folder;
    if (path.size() > 1 && path.back() == '/') path.pop_back();
    if (FileType(path) == 1 && InTree(path + "/", "RemoveDir", nullptr))
        ui.run(RemoveDirCommand(path));
}

std::string WithSlash(std::string path) {
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

// A named deletion: one file, or every file that a pattern or an exact name
// finds below the folder. A listed entry is one file whatever its name
// holds, removed only while it is a regular file. 1 when confirmed.
int DelFiles(DelModel& m, const std::string& folder, const std::string& name,
             const std::string& exact, bool listed, const NavIo& io, const FileUi& ui) {
    const std::string target = folder + name;
    const bool walk = !listed && (HasStar(name) || HasStar(folder) || !exact.empty());
    PathPattern pattern;
    const bool allowed = walk ? MakePathPattern(target, exact, &pattern) &&
                                    DeletionAllowed(pattern.root, DelScope::kWalk)
                              : DeletionAllowed(target, DelScope::kFile);
    if (!allowed) {
        Refuse(target, ui);
        return 0;
    }
    if (!InTree(walk ? pattern.root : target, "DelFiles", &ui, target)) return 0;
    if (!Ask(ui, kDelFilesLabel, ShownPath(folder, m.pathCut) + name)) return 0;
    ui.cursor(true);
    if (!walk) {
        if (!listed || FileType(target) == 2)
            RemoveFile(target, ui);
        else
            Say("DelFiles: %s is no longer a file\n", target);
    } else {
        std::vector<std::string> found;
        f_Walk(pattern.root, [&](const std::string& path, WalkKind kind) {
            if (kind == WalkKind::kFile && PathMatches(pattern, path)) found.push_back(path);
        });
        for (const std::string& path : found) RemoveFile(path, ui);
    }
    Relist(m, io);
    ui.cursor(false);
    return 1;
}

// A folder with everything below it: its files (with their companions),
// then its folders, each once it is still there, then itself. The caller
// lists again. 1 when confirmed.
int DelEntireDir(const DelModel& m, const std::string& folder, DelScope scope, const FileUi& ui) {
    if (!DeletionAllowed(folder, scope)) {
        Refuse(folder, ui);
        return 0;
    }
    if (!InTree(WithSlash(folder), "DelEntireDir", &ui)) return 0;
    if (!Ask(ui, kDelFilesLabel, ShownPath(folder, m.pathCut) + "*")) return 0;
    ui.cursor(true);
    std::vector<std::string> files, folders;
    f_Walk(folder, [&](const std::string& path, WalkKind kind) {
        if (kind == WalkKind::kFile) files.push_back(path);
        if (kind == WalkKind::kFolder) folders.push_back(path);
    });
    for (const std::string& path : files) RemoveFile(path, ui);
    for (size_t i = 1; i < folders.size(); ++i) RemoveDir(folders[i], ui);
    RemoveDir(folder, ui);
    ui.cursor(false);
    return 1;
}

// After a whole folder is gone: when it was the current part's folder, the
// part is no longer current.
void CheckPartGone(DelModel& m, const std::string& folder) {
    if (m.nav.currentPart.empty()) return;
    const std::string partFolder = kPartRoot + m.nav.currentPart + "/";
    if (WithSlash(folder) != partFolder || FileType(partFolder) != 0) return;
    m.nav.currentPart.clear();
    if (m.forgetPart) m.forgetPart();
}

// The selected files of a folder below the first level, the last selected
// first; then, asked or not, the folder above.
void DelSelected(DelModel& m, const ListSelection& sel, const NavIo& io, const FileUi& ui) {
    if (InTree(m.nav.folder, "DelFiles", &ui) &&
        ui.message(ui.label(kDelSelectedLabel) + "\n" + ui.label(kDelSureLabel)) == 1) {
        ui.cursor(true);
        for (auto it = sel.names.rbegin(); it != sel.names.rend(); ++it) {
            const std::string path = m.nav.folder + *it;
            if (FileType(path) == 2)
                RemoveFile(path, ui);
            else
                Say("DelFiles: %s is no longer a file\n", path);
        }
        ui.cursor(false);
    }
    GoUp(m, io);
}

bool BelowFirstLevel(int state) {
    return state == kNavCurPartBelow || state == kNavPartBelow || state == kNavMiscBelow ||
           state == kNavMiscFlat;
}

void Listed(DelModel& m, const ListSelection& sel, const NavIo& io, const FileUi& ui) {
    const std::string& first = sel.names.front();
    const int from = m.nav.state;
    SetKeyin(m, "");
    switch (NavChoose(m.nav, sel.firstPosition, first, io)) {
    case NavOutcome::kTooLong:
        Refuse(m.nav.folder + first, ui);
        return;
    case NavOutcome::kFile:
        if (BelowFirstLevel(from))
            DelSelected(m, sel, io, ui);
        else if (!DelFiles(m, m.nav.folder, first, "", true, io, ui))
            Relist(m, io); // asked and cancelled, or refused: the folder as it is
        return;
    case NavOutcome::kListed:
        SetHotkeys(m, from == kNavTop && m.nav.state != kNavCurPart && m.nav.state != kNavPartList);
        return;
    default:
        return;
    }
}

// Every file of the folder (below it too) that the rule does not keep.
void Purge(DelModel& m, int label, bool (*keep)(const DelModel&, const std::string&),
           const NavIo& io, const FileUi& ui) {
    const std::string folder = m.nav.folder;
    if (!DeletionAllowed(folder, DelScope::kWalk)) {
        Refuse(folder, ui);
        return;
    }
    if (!InTree(folder, "DelFiles", &ui)) return;
    if (!Ask(ui, label, ShownPath(folder, m.pathCut) + "*")) return;
    ui.cursor(true);
    for (const std::string& path : f_WalkFiles(folder))
        if ((!keep || !keep(m, path)) && InTree(path, "DelFiles", nullptr)) ui.run(RmCommand(path));
    if (keep)
        Relist(m, io);
    else
        GoUp(m, io);
    ui.cursor(false);
}

bool KeepNominal(const DelModel&, const std::string& path) {
    return path.size() >= 4 && StrCaseCmp(path.substr(path.size() - 4), ".NOM") == 0;
}

bool KeepProgram(const DelModel& m, const std::string& path) {
    return path == m.nav.folder + "llf";
}

void Hotkey1(DelModel& m, const NavIo& io, const FileUi& ui) {
    switch (m.hotkey1Function) {
    case kHotkeyDeletePart: {
        if (m.nav.currentPart.empty()) return;
        const std::string folder = kPartRoot + m.nav.currentPart + "/";
        if (DelEntireDir(m, folder, DelScope::kPart, ui)) {
            CheckPartGone(m, folder);
            Relist(m, io);
        }
        return;
    }
    case kHotkeyPurgeContour:
        Purge(m, kDelContourAskLabel, KeepNominal, io, ui);
        return;
    case kHotkeyPurgeProgram:
        Purge(m, kDelProgramAskLabel, KeepProgram, io, ui);
        return;
    default:
        return;
    }
}

void Typed(DelModel& m, const std::string& text, const NavIo& io, const FileUi& ui) {
    if (text.empty()) return;
    const std::string folder = FolderPart(text);
    const std::string name = NamePart(text);
    if (m.nav.state == kNavTop) {
        if (text[0] != '/') {
            ui.message(ui.label(kBadPathLabel));
            return;
        }
        DelFiles(m, folder, TypedFileName(folder, name), "", false, io, ui);
        return;
    }
    if (!folder.empty()) {
        const std::string where = folder[0] == '/' ? folder : m.nav.folder + folder;
        DelFiles(m, where, TypedFileName(where, name), "", false, io, ui);
        return;
    }
    if (m.nav.hasSubfolders == 1) {
        // Every file of exactly that name in the folder and below it; in
        // the part list, the part programs.
        std::string where = m.nav.folder + "*/";
        if (m.nav.folder == kPartRoot && text == "llf") where += "program/";
        const std::string exact = FixFileName(where + text);
        DelFiles(m, where, exact, exact, false, io, ui);
        return;
    }
    DelFiles(m, m.nav.folder, TypedFileName(m.nav.folder, text), "", false, io, ui);
}

} // namespace

void DelOpen(DelModel& m, const std::string& currentPart, const NavIo& io,
             std::function<void()> forgetPart) {
    m = DelModel{};
    m.forgetPart = std::move(forgetPart);
    NavOpen(m.nav, kDelNavRules, currentPart, io);
    SetHotkeys(m, false);
}

void DelOk(DelModel& m, const ListSelection& selection, const std::string& keyinText,
           const NavIo& io, const FileUi& ui) {
    m.setKeyin = false;
    if (InTargetPhase(m.nav.state)) return;
    if (!selection.names.empty()) {
        Listed(m, selection, io, ui);
        return;
    }
    if (m.nav.hotkeyMode == kDelHotkey1) {
        Hotkey1(m, io, ui);
        return;
    }
    if (m.nav.hotkeyMode == kDelHotkey2) {
        Purge(m, kDelFilesLabel, nullptr, io, ui);
        return;
    }
    Typed(m, keyinText, io, ui);
}

void DelWholeFolder(DelModel& m, const ListSelection& selection, const NavIo& io,
                    const FileUi& ui) {
    m.setKeyin = false;
    const int state = m.nav.state;
    if (selection.names.empty() || state == kNavTop || state == kNavCurPartBelow ||
        InTargetPhase(state))
        return;
    const std::string folder = m.nav.folder + selection.names.front();
    if (FileType(folder) != 1) return;
    const DelScope scope = state == kNavPartList ? DelScope::kPart : DelScope::kFolder;
    if (!DelEntireDir(m, folder, scope, ui)) return;
    CheckPartGone(m, folder);
    Relist(m, io);
}

void DelAllButNeeded(DelModel& m, const ListSelection& selection, const NavIo& io,
                     const FileUi& ui) {
    m.setKeyin = false;
    if (selection.names.empty() || m.nav.state != kNavPartList) return;
    const std::string part = m.nav.folder + selection.names.front();
    if (FileType(part) != 1) return;
    if (!DeletionAllowed(part, DelScope::kPart)) {
        Refuse(part, ui);
        return;
    }
    if (!InTree(WithSlash(part), "DelAllButDepend", &ui)) return;
    if (!Ask(ui, kDelNotNeededLabel, ShownPath(part, m.pathCut) + "*")) return;
    ui.cursor(true);
    std::string name = part;
    if (name.size() > 1 && name.back() == '/') name.pop_back();
    name = NamePart(name);
    // files4part's list is the only word on what stays: a failed run, no
    // list, an output that is no list of paths, or a list that names no file
    // of the part deletes nothing.
    os_remove(ModifyPath(kNeededList));
    const int status = ui.run(Files4PartCommand(name));
    std::set<std::string> needed;
    NeededList list = NeededList::kEmpty;
    if (FILE* f = f_Fopen(kNeededList, "r")) {
        list = ReadNeededFiles(f, &needed);
        std::fclose(f);
    }
    std::vector<std::string> files;
    if (status == 0 && list == NeededList::kListed) files = f_WalkFiles(part);
    const bool namesOne = std::any_of(files.begin(), files.end(), [&](const std::string& path) {
        return needed.count(path) != 0;
    });
    if (!namesOne) {
        if (status != 0 || list == NeededList::kEmpty)
            Say("DelAllButDepend: files4part gave no list for %s\n", name);
        else if (list == NeededList::kNotAList)
            Say("DelAllButDepend: files4part wrote no list of paths for %s\n", name);
        else if (list == NeededList::kTooLong)
            Say("DelAllButDepend: files4part's list for %s is too long\n", name);
        else
            Say("DelAllButDepend: files4part's list names no file of %s\n", name);
        ui.message(ui.label(kDelNoListLabel) + "\n" + ui.label(kContinueLabel));
    } else {
        std::printf("\n");
        std::fflush(stdout);
        for (const std::string& path : files)
            if (!needed.count(path)) RemoveFile(path, ui);
    }
    Relist(m, io);
    ui.cursor(false);
}

void DelHotkey(DelModel& m, int which) {
    NavHotkey(m.nav, which);
}

void DelUpOne(DelModel& m, const NavIo& io) {
    m.setKeyin = false;
    GoUp(m, io);
}

bool DelAllButNeededShown(const DelModel& m) {
    return m.nav.state == kNavPartList;
}
