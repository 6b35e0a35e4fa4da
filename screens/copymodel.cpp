// The copy screen's source choice, destination phase and copies.
#include "copymodel.h"

#include "filelists.h"
#include "walk.h"

#include <cstdio>

const NavRules kCopyNavRules = [] {
    NavRules r;
    r.topKey = "fu.cp";
    return r;
}();

namespace {

void SetKeyin(CopyModel& m, const std::string& text) {
    m.setKeyin = true;
    m.keyin = text;
}

// A path longer than the screens take: said, and nothing changes.
void TooLong(const std::string& path, const FileUi& ui) {
    ui.message(PathTooLongText(path, ui.label(kBadPathLabel), ui.label(kContinueLabel)));
}

// Enters the destination phase with folder + name as the source; false
// (after the message) when that path is too long.
bool ShowFromTo(CopyModel& m, const int (&labels)[2], const std::string& folder,
                const std::string& name, int targetState, const FileUi& ui) {
    const std::string source = folder + name;
    if (source.size() > kFilePathMax) {
        TooLong(source, ui);
        return false;
    }
    NavEnterTarget(m.nav, targetState);
    m.source = source;
    m.pattern = false;
    m.dest.clear();
    const std::string exact = m.wild.exact;
    m.wild = SplitWildcard(name);
    m.wild.exact = exact;
    m.fromLabel = labels[0];
    m.toLabel = labels[1];
    SetKeyin(m, ShownPath(m.nav.folder, m.pathCut));
    return true;
}

// A new source choice: no earlier selection or exact name is left over.
void NewSelection(CopyModel& m, std::vector<std::string> names) {
    m.selected = std::move(names);
    m.selectedIndex = 0;
    m.wild = WildPieces{};
}

bool HasStar(const std::string& s) {
    return s.find('*') != std::string::npos;
}

const int (&LabelsFor(const std::string& name))[2] {
    return HasStar(name) ? kPatternLabels : kOneFileLabels;
}

void ChooseListed(CopyModel& m, const ListSelection& sel, const NavIo& io, const FileUi& ui) {
    SetKeyin(m, "");
    const std::string& first = sel.names.front();
    switch (NavChoose(m.nav, sel.firstPosition, first, io)) {
    case NavOutcome::kTooLong:
        TooLong(m.nav.folder + first, ui);
        return;
    case NavOutcome::kFile: {
        NewSelection(m, sel.names);
        const int target = TargetForFile(m.nav.state);
        if (target) ShowFromTo(m, kOneFileLabels, m.nav.folder, first, target, ui);
        return;
    }
    default:
        return;
    }
}

void ChooseHotkey(CopyModel& m, const FileUi& ui) {
    NewSelection(m, {});
    const std::string part = m.nav.currentPart;
    if (m.nav.hotkeyMode == kCurLlfHotkey) {
        m.nav.folder = kPartRoot + part + "/program/";
        if (ShowFromTo(m, kOneFileLabels, m.nav.folder, "llf", kNavTargetTop, ui))
            m.nav.parentState = kNavTop;
    } else {
        m.nav.folder = kPartRoot;
        if (ShowFromTo(m, kWholeFolderLabels, m.nav.folder, part, kNavTargetTop, ui))
            m.nav.parentState = kNavTop;
    }
}

void ChooseTyped(CopyModel& m, const std::string& text, const FileUi& ui) {
    if (text.empty()) return;
    if (text.size() > kFilePathMax) {
        TooLong(text, ui);
        return;
    }
    NewSelection(m, {});
    const std::string folder = FolderPart(text);
    const std::string name = NamePart(text);
    if (m.nav.state == kNavTop) {
        if (text[0] != '/') {
            ui.message(ui.label(kBadPathLabel));
            return;
        }
        const std::string fixed = TypedFileName(folder, name);
        const std::string before = m.nav.folder;
        // The keyin field is preset with the source's folder.
        m.nav.folder = folder;
        if (ShowFromTo(m, LabelsFor(fixed), folder, fixed, kNavTargetTop, ui)) {
            m.nav.parentState = kNavTop;
            m.pattern = HasStar(m.source);
        } else {
            m.nav.folder = before;
        }
        return;
    }
    const int from = m.nav.state;
    bool shown;
    if (m.nav.hasSubfolders == 1 && folder.empty()) {
        // Every file of that exact name in the folder and below it.
        m.wild.exact = FixFileName(m.nav.folder + "*/" + name);
        shown =
            ShowFromTo(m, kPatternLabels, m.nav.folder + "*/", m.wild.exact, kNavTargetFolder, ui);
    } else {
        const std::string where =
            !folder.empty() && folder[0] == '/' ? folder : m.nav.folder + folder;
        const std::string fixed = TypedFileName(where, name);
        shown = ShowFromTo(m, LabelsFor(fixed), where, fixed, kNavTargetFolder, ui);
    }
    if (shown) {
        m.nav.parentState = from;
        m.pattern = HasStar(m.source);
    }
}

void GoUp(CopyModel& m, const NavIo& io) {
    SetKeyin(m, "");
    NavUpOne(m.nav, io);
}

// Every file the pattern source names, each copied beside itself under the
// destination's name; the walk's finds are kept whole in memory.
void CopyPattern(CopyModel& m, const std::string& prefix, const std::string& suffix,
                 const NavIo& io, const FileUi& ui, const std::function<void()>& focusKeyin) {
    PathPattern pattern;
    std::vector<std::string> files;
    if (MakePathPattern(m.source, m.wild.exact, &pattern))
        f_Walk(pattern.root, [&](const std::string& path, WalkKind kind) {
            if (kind == WalkKind::kFile && PathMatches(pattern, path)) files.push_back(path);
        });
    if (files.empty()) {
        std::printf("CopyIt: no file matches %s\n", m.source.c_str());
        std::fflush(stdout);
        return;
    }
    int told = 1;
    for (const std::string& path : files) {
        // The case rule on the name where the copy lands, as for one file;
        // a destination that names the file itself stays so, and is refused.
        std::string dest = FolderPart(path) + prefix + NamePart(path) + suffix;
        if (dest != path) dest = FolderPart(dest) + FixFileName(dest);
        told = CopyIt(path, &dest, m.nav.folder, m.pathCut, ui);
        if (focusKeyin) focusKeyin();
    }
    m.dest.clear();
    if (told == 0) GoUp(m, io);
}

void CopyToDestination(CopyModel& m, const std::string& keyinText, const NavIo& io,
                       const FileUi& ui, const std::function<void()>& focusKeyin) {
    std::string text = keyinText;
    if (!text.empty()) {
        // The case rule on the destination as the copy builds it.
        const std::string full = text[0] == '/' ? text : kInstallRoot + text;
        text = FolderPart(text) + FixFileName(full);
    }
    std::string prefix, suffix;
    const size_t star = text.find('*');
    if (star != std::string::npos) {
        prefix = text.substr(0, star);
        suffix = text.substr(star + 1);
    }
    if (m.pattern) {
        // No destination: back to the list, as for one file (each match
        // would otherwise be refused as its own copy).
        if (text.empty()) {
            if (focusKeyin) focusKeyin();
            GoUp(m, io);
        } else {
            CopyPattern(m, prefix, suffix, io, ui, focusKeyin);
        }
        return;
    }
    // A "*" stands for the source's own name (a folder's without its "/").
    std::string ownName = m.source;
    if (ownName.size() > 1 && ownName.back() == '/') ownName.pop_back();
    m.dest = star == std::string::npos ? text : prefix + NamePart(ownName) + suffix;
    const int told = CopyIt(m.source, &m.dest, m.nav.folder, m.pathCut, ui);
    if (focusKeyin) focusKeyin();
    // Each further selected entry waits for its own OK and destination.
    while (++m.selectedIndex < m.selected.size())
        if (ShowFromTo(m, kOneFileLabels, m.nav.folder, m.selected[m.selectedIndex], m.nav.state,
                       ui))
            return;
    if (told == 0) GoUp(m, io);
}

} // namespace

void CopyOpen(CopyModel& m, const std::string& currentPart, const NavIo& io) {
    m = CopyModel{};
    NavOpen(m.nav, kCopyNavRules, currentPart, io);
}

void CopyOk(CopyModel& m, const ListSelection& selection, const std::string& keyinText,
            const NavIo& io, const FileUi& ui, const std::function<void()>& focusKeyin) {
    m.setKeyin = false;
    if (InTargetPhase(m.nav.state)) {
        CopyToDestination(m, keyinText, io, ui, focusKeyin);
        return;
    }
    if (!selection.names.empty()) {
        ChooseListed(m, selection, io, ui);
        return;
    }
    if (m.nav.hotkeyMode != 0 && !m.nav.currentPart.empty()) {
        ChooseHotkey(m, ui);
        return;
    }
    ChooseTyped(m, keyinText, ui);
}

void CopyWholeFolder(CopyModel& m, const ListSelection& selection, const FileUi& ui) {
    m.setKeyin = false;
    if (InTargetPhase(m.nav.state) || selection.names.empty()) return;
    const std::string& entry = selection.names.front();
    if (FileType(m.nav.folder + entry) != 1) return;
    const int target = TargetForWholeFolder(m.nav.state);
    if (!target) return;
    const int from = m.nav.state;
    NewSelection(m, {entry});
    if (ShowFromTo(m, kWholeFolderLabels, m.nav.folder, entry, target, ui))
        m.nav.parentState = from;
}

void CopyUpOne(CopyModel& m, const NavIo& io) {
    m.setKeyin = false;
    GoUp(m, io);
}

std::string CopySourceText(const CopyModel& m, const FileUi& ui) {
    return ui.label(m.fromLabel) + "\n    " + ShownPath(m.source, m.pathCut);
}

std::string CopyDestText(const CopyModel& m, const FileUi& ui) {
    return ui.label(m.toLabel);
}
