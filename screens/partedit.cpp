// The block-edit and contour-edit screens' part choice and editor start.
#include "partedit.h"

#include "filelists.h"
#include "filematch.h"
#include "launch.h"
#include "paths.h"

const NavRules kPartEditNavRules = [] {
    NavRules r;
    r.wholeFolderButton = false;
    r.multipleEverywhere = true;
    r.hotkeysByMember = true; // none
    return r;
}();

namespace {

void SetKeyin(PartEditModel& m, const std::string& text) {
    m.setKeyin = true;
    m.keyin = text;
}

// The part list, from the top list's "part/" line.
void ListParts(PartEditModel& m, const NavIo& io) {
    m.nav.state = kNavPartList;
    m.nav.parentState = kNavTop;
    m.nav.depth = 0;
    m.nav.folder = kPartRoot;
    m.nav.header = true;
    m.nav.upOne = true;
    m.nav.hasSubfolders = io.list(m.nav.folder);
    m.nav.multiple = m.nav.hasSubfolders != 1;
}

std::string WithoutTrailingSlash(std::string s) {
    if (!s.empty() && s.back() == '/') s.pop_back();
    return s;
}

} // namespace

PartEditStart PartEditCommand(PartEditor editor, const std::string& part) {
    if (editor == PartEditor::kBlock) return {kBlockEditor, NameArgument(part), kPartRoot + part};
    const std::string contour = GetPartRoot() + part + "/contour";
    return {kContourEditor, contour, contour};
}

std::string TypedPartName(const std::string& text) {
    return NamePart(WithoutTrailingSlash(text));
}

void StartPartEditor(PartEditor editor, const std::string& part, const FileUi& ui) {
    const PartEditStart start = PartEditCommand(editor, part);
    const int kind = FileType(start.folder);
    if (part.empty() || part == "." || part == ".." || kind == 0 || kind == 2) {
        // The contour folder as it lies below the default part root.
        const std::string shown =
            "part/" + part + (editor == PartEditor::kContour ? "/contour" : "");
        ui.message(shown + " " + ui.label(kPartEditNoFolderLabel) + "\n" +
                   ui.label(kContinueLabel));
        return;
    }
    ForkExec(0, start.program, std::vector<std::string>{start.argument});
}

void PartEditOpen(PartEditModel& m, PartEditor editor, const std::string& currentPart,
                  const NavIo& io) {
    m = PartEditModel{};
    m.editor = editor;
    NavOpen(m.nav, kPartEditNavRules, currentPart, io);
}

void PartEditOk(PartEditModel& m, const ListSelection& selection, const std::string& keyinText,
                const NavIo& io, const FileUi& ui) {
    m.setKeyin = false;
    if (!selection.names.empty()) {
        SetKeyin(m, "");
        const std::string& first = selection.names.front();
        if (m.nav.state == kNavTop) {
            if (selection.firstPosition == 1 && !m.nav.currentPart.empty())
                StartPartEditor(m.editor, m.nav.currentPart, ui);
            else
                ListParts(m, io);
            return;
        }
        if (FileType(m.nav.folder + first) == 1)
            StartPartEditor(m.editor, WithoutTrailingSlash(first), ui);
        return;
    }
    if (keyinText.empty()) return;
    StartPartEditor(m.editor, TypedPartName(keyinText), ui);
}

void PartEditUpOne(PartEditModel& m, const NavIo& io) {
    m.setKeyin = false;
    SetKeyin(m, "");
    NavUpOne(m.nav, io);
}
