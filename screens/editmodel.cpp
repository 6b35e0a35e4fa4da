// The text-edit screen's navigation, edits and post-edit commands.
#include "editmodel.h"

#include "filehead.h"
#include "filelists.h"
#include "installfile.h"
#include "launch.h"
#include "linereader.h"
#include "ospath.h"
#include "partsel.h"
#include "paths.h"
#include "process.h"
#include "settings.h"
#include "labels.h"
#include "walk.h"

#include <cstdlib>
#include <memory>

const NavRules kEditNavRules = [] {
    NavRules r;
    r.topKey = "fu.ed";
    r.wholeFolderButton = false;
    r.multipleEverywhere = true;
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

// The rows of the editors' argument form, one per path; a path that does
// not fit its row is refused with a message (and left out), never cut.
std::vector<std::string> Fitting(const std::vector<std::string>& paths, const FileUi& ui) {
    std::vector<std::string> out;
    for (const std::string& p : paths) {
        if (p.size() < kArgRowSize) {
            out.push_back(p);
            continue;
        }
        Say("EditIt: %s is too long for the editor\n", p);
        ui.message(p + "\n" + ui.label(kBadPathLabel) + "\n" + ui.label(kContinueLabel));
    }
    return out;
}

// The texts in the editors' argument rows (each fits its row).
std::unique_ptr<ArgRow[]> Rows(const std::vector<std::string>& texts) {
    std::unique_ptr<ArgRow[]> rows(new ArgRow[texts.size()]);
    for (size_t i = 0; i < texts.size(); ++i) PutArgRow(rows[i], texts[i]);
    return rows;
}

// One call of a script editor with all the files.
void StartScript(const char* script, const std::vector<std::string>& files) {
    ForkExec(3, script, Rows(files).get(), static_cast<int>(files.size()));
}

// The configured editor opens the first file of a call only: one call per
// file, each waited for. False when no editor opened it.
bool StartConfigured(const std::string& file) {
    return LaunchEditor(Language, EditorType, Rows({file}).get(), 1) == 1;
}

// Edits the files of the folder (full paths) in the editor the folder
// calls for; the files that an editor opened, for their post-edit
// commands.
std::vector<std::string> EditFiles(const std::string& folder, const std::vector<std::string>& paths,
                                   const FileUi& ui) {
    const std::vector<std::string> files = Fitting(paths, ui);
    if (files.empty()) return files;
    switch (EditorFor(folder)) {
    case EditorKind::k321nom:
        StartScript(kEd321Script, files);
        break;
    case EditorKind::kBitmap:
        StartScript(kBitmapScript, files);
        break;
    case EditorKind::kConfigured: {
        std::vector<std::string> opened;
        for (const std::string& f : files)
            if (StartConfigured(f)) opened.push_back(f);
        return opened;
    }
    }
    return files;
}

void PostEditEach(const std::vector<std::string>& files, const FileUi& ui) {
    for (const std::string& f : files) RunPostEditShell(FolderPart(f), NamePart(f), ui);
}

void Relist(EditModel& m, const NavIo& io) {
    NavRelist(m.nav, io);
}

// Edits one named file, or every file that a pattern or an exact name
// finds below the folder; then lists the folder again.
void EditMatching(EditModel& m, const std::string& folder, const std::string& pattern,
                  bool exactSearch, const NavIo& io, const FileUi& ui) {
    if (!HasStar(pattern) && !HasStar(folder) && !exactSearch) {
        EditIt(folder + pattern, ui);
        Relist(m, io);
        return;
    }
    PathPattern search;
    MakePathPattern(folder + pattern, exactSearch ? pattern : "", &search);
    ui.cursor(true);
    std::vector<std::string> found;
    f_Walk(search.root, [&](const std::string& path, WalkKind kind) {
        if (kind == WalkKind::kFile && EditSearchMatches(search, path)) found.push_back(path);
    });
    ui.cursor(false);
    if (found.empty()) {
        // Nothing is made or edited, whatever the answer.
        AskCreate(search.root + pattern, ui);
    } else {
        PostEditEach(EditFiles(search.root, found, ui), ui);
    }
    Relist(m, io);
}

bool BelowFirstLevel(int state) {
    return state == kNavCurPartBelow || state == kNavPartBelow || state == kNavMiscBelow ||
           state == kNavMiscFlat;
}

void Listed(EditModel& m, const ListSelection& sel, const NavIo& io, const FileUi& ui) {
    const std::string& first = sel.names.front();
    m.setKeyin = true;
    m.keyin.clear();
    const int from = m.nav.state;
    switch (NavChoose(m.nav, sel.firstPosition, first, io)) {
    case NavOutcome::kTooLong:
        ui.message(PathTooLongText(m.nav.folder + first, ui.label(kBadPathLabel),
                                   ui.label(kContinueLabel)));
        return;
    case NavOutcome::kFile:
        if (BelowFirstLevel(from)) {
            std::vector<std::string> paths;
            for (const std::string& name : sel.names) paths.push_back(m.nav.folder + name);
            PostEditEach(EditFiles(m.nav.folder, paths, ui), ui);
        } else {
            // A listed name is one file, whatever it holds.
            EditIt(m.nav.folder + first, ui);
        }
        Relist(m, io);
        return;
    default:
        return;
    }
}

void Typed(EditModel& m, const std::string& text, const NavIo& io, const FileUi& ui) {
    if (text.empty()) return;
    const std::string folder = FolderPart(text);
    const std::string name = NamePart(text);
    if (m.nav.state == kNavTop) {
        if (text[0] != '/') {
            ui.message(ui.label(kBadPathLabel));
            return;
        }
        EditMatching(m, folder, TypedFileName(folder, name), false, io, ui);
        return;
    }
    if (!folder.empty()) {
        const std::string where = folder[0] == '/' ? folder : m.nav.folder + folder;
        EditMatching(m, where, TypedFileName(where, name), false, io, ui);
        return;
    }
    if (m.nav.hasSubfolders == 1) {
        // Every file of exactly that name in the folder and below it; a
        // "*" is part of the name.
        EditMatching(m, m.nav.folder, FixFileName(m.nav.folder + "*/" + text), true, io, ui);
        return;
    }
    EditMatching(m, m.nav.folder, TypedFileName(m.nav.folder, text), false, io, ui);
}

} // namespace

EditorKind EditorFor(const std::string& path) {
    if (Has(path, "/321nom/") && FileType(kEd321Program) != 0) return EditorKind::k321nom;
    if (Has(path, "/icon/")) return EditorKind::kBitmap;
    return EditorKind::kConfigured;
}

bool EditSearchMatches(const PathPattern& pattern, const std::string& path) {
    const std::string folder = FolderPart(path);
    if (Has(folder, "/buffer/") || Has(folder, "/feature/") || Has(folder, "/formraw/"))
        return false;
    const std::string name = NamePart(path);
    if (name.size() >= 2 && name[name.size() - 2] == '.' &&
        std::string("BELRT").find(name.back()) != std::string::npos)
        return false;
    return PathMatches(pattern, path);
}

bool FindPostEdit(FILE* doshells, const std::string& folder, PostEdit* out) {
    std::string line;
    while (ReadWholeLine(doshells, &line)) {
        const size_t blank = line.find(' ');
        if (blank == std::string::npos || blank == 0) continue;
        const size_t start = line.find_first_not_of(' ', blank);
        if (start == std::string::npos) continue;
        if (folder.find(line.substr(0, blank)) == std::string::npos) continue;
        PostEdit pe;
        pe.command = line.substr(start);
        pe.ask = pe.command[0] == '+';
        if (pe.ask) pe.command.erase(0, 1);
        if (pe.command.empty()) continue;
        *out = pe;
        return true;
    }
    return false;
}

void EditOpen(EditModel& m, const std::string& currentPart, const NavIo& io) {
    m = EditModel{};
    NavOpen(m.nav, kEditNavRules, currentPart, io);
}

void EditOk(EditModel& m, const ListSelection& selection, const std::string& keyinText,
            const NavIo& io, const FileUi& ui) {
    m.setKeyin = false;
    if (!selection.names.empty()) {
        Listed(m, selection, io, ui);
        return;
    }
    if (m.nav.hotkeyMode == kEditLlfHotkey) {
        if (!m.nav.hotkeys || m.nav.currentPart.empty()) return;
        EditIt(kPartRoot + m.nav.currentPart + "/program/llf", ui);
        Relist(m, io);
        return;
    }
    Typed(m, keyinText, io, ui);
}

void EditUpOne(EditModel& m, const NavIo& io) {
    m.setKeyin = true;
    m.keyin.clear();
    NavUpOne(m.nav, io);
}

void EditIt(const std::string& path, const FileUi& ui) {
    const int type = FileType(path);
    bool made = false;
    if (type != 2) {
        if (type != 0) {
            Say("EditIt: %s is not a file\n", path);
            return;
        }
        if (!AskCreate(path, ui)) return;
        made = true;
    }
    const std::string folder = FolderPart(path);
    const std::string name = NamePart(path);
    // A file that no editor opened gets no post-edit command, but for one
    // that the configured editor finds missing (the console asks for the
    // drive variable): that one keeps it.
    bool postEdit = false;
    switch (EditorFor(path)) {
    case EditorKind::k321nom: {
        // The script gets the bare name.
        const std::string argument = NameArgument(name);
        postEdit = !Fitting({argument}, ui).empty();
        if (postEdit) StartScript(kEd321Script, {argument});
        break;
    }
    case EditorKind::kBitmap:
        postEdit = !Fitting({path}, ui).empty();
        if (postEdit) StartScript(kBitmapScript, {path});
        break;
    case EditorKind::kConfigured: {
        if (Fitting({path}, ui).empty()) break;
        const char* drive = std::getenv("QEL_Win_Install_Drive");
        const std::string onDrive = std::string(drive ? drive : "") + path;
        // A file about to be made is not there yet: its folder is.
        if (FileExists(made ? std::string(drive ? drive : "") + folder : onDrive)) {
            postEdit = StartConfigured(path);
        } else {
            Say("\n\n\nError: required file %s missing\n", onDrive);
            std::printf("Verify environment variable: 'QEL_Win_Install_Drive' is set to 'C:', "
                        "'D:', etc.\n\n\n");
            std::fflush(stdout);
            postEdit = true;
        }
        break;
    }
    }
    if (postEdit) RunPostEditShell(folder, name, ui);
}

void RunPostEditShell(const std::string& folder, const std::string& name, const FileUi& ui) {
    PostEdit pe;
    {
        InstallText doshells("RunPostEditShell", kDoshells, kDoshellsMax);
        if (!doshells.stream() || !FindPostEdit(doshells.stream(), folder, &pe)) return;
    }
    if (pe.ask && ui.message(ui.label(kEditPostAskLabel) + "\n" + folder + name) != 1) return;
    const std::string command =
        std::string("/u/qel/shell/") + pe.command + " " + ShellQuote(folder + name);
    const bool libgen = Has(command, "dolibgen");
    // What an earlier run left must not show as this one's head.
    if (libgen) os_remove(ModifyPath(kLibOut));
    ui.run(command);
    if (!libgen) return;
    const std::string head = FileHeadText(kLibOut, ui.label(kContinueLabel));
    if (!head.empty()) ui.message(head);
}

int AskCreate(const std::string& path, const FileUi& ui) {
    return ui.message(path + " " + ui.label(kEditNewFileLabel) + "\n" +
                      ui.label(kEditOkCancelLabel)) == 1
               ? 1
               : 0;
}
