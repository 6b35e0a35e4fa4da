// The print screen's target choice, target phase and prints.
#include "prtmodel.h"

#include "filelists.h"
#include "filematch.h"
#include "launch.h"
#include "msgsys.h"
#include "ospath.h"
#include "partsel.h"
#include "paths.h"
#include "walk.h"

#include <cstdio>
#include <cstdlib>

const NavRules kPrtNavRules = [] {
    NavRules r;
    r.topKey = "fu.pr";
    r.keepButtonBelowPart = true;
    r.multipleOnParent = true;
    return r;
}();

namespace {

bool Has(const std::string& s, const char* piece) {
    return s.find(piece) != std::string::npos;
}

bool Begins(const std::string& s, const char* piece) {
    return s.rfind(piece, 0) == 0;
}

bool HasStar(const std::string& s) {
    return s.find('*') != std::string::npos;
}

void Say(const char* format, const std::string& a) {
    std::printf(format, a.c_str());
    std::fflush(stdout);
}

void SetKeyin(PrtModel& m, const std::string& text) {
    m.setKeyin = true;
    m.keyin = text;
}

void NotSent(const FileUi& ui) {
    ui.message(ui.label(kPrtNotSentLabel) + " \n" + ui.label(kContinueLabel));
}

// A path too long for the screens: said, and nothing changes.
void TooLong(const std::string& path, const FileUi& ui) {
    ui.message(PathTooLongText(path, ui.label(kBadPathLabel), ui.label(kContinueLabel)));
}

// Enters the target phase with folder + name as the target, in view mode;
// false (after the message) when the path is too long.
bool ShowTarget(PrtModel& m, const std::string& folder, const std::string& name, int targetState,
                bool pattern, const FileUi& ui) {
    const std::string target = folder + name;
    if (target.size() > kFilePathMax) {
        TooLong(target, ui);
        return false;
    }
    NavEnterTarget(m.nav, targetState);
    m.target = target;
    m.pattern = pattern;
    m.mode = kPrtView;
    return true;
}

// After the last target: back to the list, and the keyin field as if it
// had gained the focus.
void Finish(PrtModel& m, const NavIo& io) {
    SetKeyin(m, "");
    NavUpOne(m.nav, io);
    NavKeyinFocus(m.nav);
    m.focusKeyin = true;
    m.target.clear();
    m.exact.clear();
    m.selected.clear();
    m.selectedIndex = 0;
}

// The dump of a record file into its scratch file: true with the file to
// print or view, false (after the reports) when dodumper made nothing.
bool Dump(const std::string& file, const DumperChoice& d, int n, const FileUi& ui,
          std::string* out) {
    *out = n == 0 ? kDumpFile : BatchDumpFile(n);
    // The dump of an earlier target must never stand in for this one.
    os_remove(ModifyPath(*out));
    ArgRow rows[4];
    const std::string args[4] = {std::to_string(d.kind), file, d.partArg, *out};
    bool fit = true;
    for (int i = 0; i < 4; ++i) fit = PutArgRow(rows[i], args[i]) && fit;
    if (!fit) {
        Say("PrintIt: %s does not fit an argument of dodumper\n", file);
        if (n == 0)
            ui.message(file + "\n" + ui.label(kBadPathLabel) + "\n" + ui.label(kContinueLabel));
        return false;
    }
    ForkExec(2, kDumper, rows, 4);
    if (FileSize(*out) > 0) return true;
    Say("PrintIt: dodumper made no text of %s\n", file);
    if (n == 0) NotSent(ui);
    return false;
}

void Print(const std::string& file, int n, const FileUi& ui) {
    if (!SetPrintPath(file)) {
        Say("PrintIt: %s is not printed\n", file);
        if (n == 0) NotSent(ui);
        return;
    }
    if (SendPrintRequest(file) != 0) NotSent(ui);
}

void View(const std::string& file) {
    const char* drive = std::getenv("QEL_Win_Install_Drive");
    const std::string onDrive = std::string(drive ? drive : "") + file;
    if (FileExists(onDrive)) {
        RunWordpad(file);
        return;
    }
    Say("\n\n\nError: required file %s missing\n", onDrive);
    std::printf(
        "Verify environment variable: 'QEL_Win_Install_Drive' is set to 'C:', 'D:', etc.\n\n\n");
    std::fflush(stdout);
}

bool BelowFirstLevelOrTop(int state) {
    return state == kNavTop || state == kNavCurPartBelow;
}

// The state of the target phase for a whole folder chosen in the state (0:
// the button does nothing there).
int WholeFolderTarget(int state) {
    switch (state) {
    case kNavMisc:
    case kNavMiscBelow:
    case kNavMiscFlat:
        return kNavTargetMisc;
    default:
        return TargetForWholeFolder(state);
    }
}

void ChooseListed(PrtModel& m, const ListSelection& sel, const NavIo& io, const FileUi& ui) {
    SetKeyin(m, "");
    const std::string& first = sel.names.front();
    switch (NavChoose(m.nav, sel.firstPosition, first, io)) {
    case NavOutcome::kTooLong:
        TooLong(m.nav.folder + first, ui);
        return;
    case NavOutcome::kFile: {
        const int target = TargetForFile(m.nav.state);
        if (!target) return;
        m.exact.clear();
        if (ShowTarget(m, m.nav.folder, first, target, false, ui)) {
            m.selected = sel.names;
            m.selectedIndex = 0;
        }
        return;
    }
    default:
        return;
    }
}

void ChooseTyped(PrtModel& m, const std::string& text, const FileUi& ui) {
    if (text.empty()) return;
    m.selected.clear();
    const std::string folder = FolderPart(text);
    const std::string name = NamePart(text);
    if (m.nav.state == kNavTop) {
        if (text[0] != '/') {
            ui.message(ui.label(kBadPathLabel));
            return;
        }
        const std::string fixed = TypedFileName(folder, name);
        if (ShowTarget(m, folder, fixed, kNavTargetTop, HasStar(folder + fixed), ui))
            m.nav.parentState = kNavTop;
        return;
    }
    const int from = m.nav.state;
    bool shown;
    if (m.nav.hasSubfolders == 1 && folder.empty()) {
        // Every file of that exact name below the folder; in the part list
        // the part programs, or the name in the parts' sub folders.
        std::string where = m.nav.folder + "*/";
        if (m.nav.folder == kPartRoot) where += name == "llf" ? "program/" : "*/";
        m.exact = FixFileName(where + name);
        shown = ShowTarget(m, where, m.exact, kNavTargetFolder, true, ui);
    } else {
        const std::string where =
            !folder.empty() && folder[0] == '/' ? folder : m.nav.folder + folder;
        const std::string fixed = TypedFileName(where, name);
        shown = ShowTarget(m, where, fixed, kNavTargetFolder, HasStar(where + fixed), ui);
    }
    if (shown) m.nav.parentState = from;
}

void ChooseCurLlf(PrtModel& m, const FileUi& ui) {
    m.selected.clear();
    const std::string folder = kPartRoot + m.nav.currentPart + "/program/";
    const std::string before = m.nav.folder;
    m.nav.folder = folder;
    if (ShowTarget(m, folder, "llf", kNavTargetTop, false, ui))
        m.nav.parentState = kNavTop;
    else
        m.nav.folder = before;
}

void Act(PrtModel& m, const NavIo& io, const FileUi& ui) {
    if (m.pattern && m.mode == kPrtPrint) {
        PathPattern pattern;
        std::vector<std::string> files;
        if (MakePathPattern(m.target, m.exact, &pattern))
            f_Walk(pattern.root, [&](const std::string& path, WalkKind kind) {
                if (kind == WalkKind::kFile && PathMatches(pattern, path)) files.push_back(path);
            });
        if (files.empty()) Say("PrintIt: no file matches %s\n", m.target);
        int n = 0;
        for (const std::string& file : files) PrintIt(file, m.mode, ++n, ui);
        Finish(m, io);
        return;
    }
    // In view mode a pattern is not walked: the viewer is told of no file.
    PrintIt(m.target, m.mode, 0, ui);
    while (++m.selectedIndex < m.selected.size())
        if (ShowTarget(m, m.nav.folder, m.selected[m.selectedIndex], m.nav.state, false, ui))
            return;
    Finish(m, io);
}

} // namespace

std::string BatchDumpFile(int n) {
    return "/u/tmp/prt" + std::to_string(n) + ".out";
}

DumperChoice DumperKind(const std::string& target) {
    if (Begins(target, "/u/qel/run_data/tip/")) return {2, "system"};
    if (Begins(target, "/u/qel/run_data/alignment/")) return {3, "system"};
    if (Has(target, "/buffer/")) return {16, "___"};
    if (Has(target, "/feature/")) return {17, "___"};
    if (Has(target, "/formraw/")) return {19, "___"};
    if (Has(target, "/stat/")) return {21, "___"};
    return {};
}

void PrintIt(const std::string& file, int mode, int n, const FileUi& ui) {
    if (file.empty()) return;
    ui.cursor(true);
    std::string printed = file;
    const DumperChoice d = DumperKind(file);
    if (d.kind == 0 || Dump(file, d, n, ui, &printed)) {
        if (mode == kPrtPrint)
            Print(printed, n, ui);
        else
            View(printed);
    }
    ui.cursor(false);
}

void PrtOpen(PrtModel& m, const std::string& currentPart, const NavIo& io) {
    m = PrtModel{};
    NavOpen(m.nav, kPrtNavRules, currentPart, io);
}

void PrtOk(PrtModel& m, const ListSelection& selection, const std::string& keyinText,
           const NavIo& io, const FileUi& ui) {
    m.setKeyin = false;
    m.focusKeyin = false;
    if (InTargetPhase(m.nav.state)) {
        Act(m, io, ui);
        return;
    }
    m.exact.clear();
    if (!selection.names.empty()) {
        ChooseListed(m, selection, io, ui);
        return;
    }
    if (m.nav.hotkeyMode == kPrtCurLlfHotkey && !m.nav.currentPart.empty()) {
        ChooseCurLlf(m, ui);
        return;
    }
    ChooseTyped(m, keyinText, ui);
}

void PrtWholeFolder(PrtModel& m, const ListSelection& selection, const FileUi& ui) {
    m.setKeyin = false;
    m.focusKeyin = false;
    const int from = m.nav.state;
    if (selection.names.empty() || BelowFirstLevelOrTop(from) || InTargetPhase(from)) return;
    const std::string& entry = selection.names.front();
    if (FileType(m.nav.folder + entry) != 1) return;
    const int target = WholeFolderTarget(from);
    if (!target) return;
    m.exact.clear();
    m.selected.clear();
    if (ShowTarget(m, m.nav.folder + entry, "*", target, true, ui)) m.nav.parentState = from;
}

void PrtUpOne(PrtModel& m, const NavIo& io) {
    m.setKeyin = false;
    m.focusKeyin = false;
    SetKeyin(m, "");
    NavUpOne(m.nav, io);
    m.target.clear();
    m.selected.clear();
    m.selectedIndex = 0;
}

std::string PrtTargetText(const PrtModel& m, const FileUi& ui) {
    return ui.label(kPrtTargetLabel) + " " + ShownPath(m.target, m.pathCut);
}
