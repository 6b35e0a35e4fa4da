// Block edit and contour edit: the widgets of the twin screens over their
// model. One of them is open at a time.
#include "filebe.h"

#include "filemember.h"
#include "listfill.h"
#include "mainmenu.h"

namespace {

PartEditModel Model;
PartEditor Opening = PartEditor::kBlock;

// The header's labels and Cancel of each twin.
FileMemberWindow TwinOf(PartEditor editor) {
    if (editor == PartEditor::kBlock) return {285, 286, BeCancelCB};
    return {287, 288, CeCancelCB};
}

// The screen open, block or contour edit. The editor runs with OK, Cancel
// and the up-one button off, and the screen waits for it.
FileMember PartScreen{
    TwinOf(PartEditor::kBlock),
    {FillEditList, true},
    Model,
    {[](const ListSelection& selection, const std::string& text, const NavIo& io) {
         PartEditOk(Model, selection, text, io, FileScreenUi());
     },
     OkButtons::kOff},
    {[](FileMember& m) { PartEditOpen(Model, Opening, CurrentPart, m.io); },
     [](const NavIo& io) { PartEditUpOne(Model, io); }}};

void Open(PartEditor editor) {
    Opening = editor;
    PartScreen.window = TwinOf(editor);
    OpenFileMember(PartScreen);
}

void Cancel(PartEditor editor) {
    if (Model.editor == editor) CloseFileMember(PartScreen);
}

} // namespace

void FileBe() {
    Open(PartEditor::kBlock);
}

void FileCe() {
    Open(PartEditor::kContour);
}

PartEditView PartEditState() {
    return {&PartScreen.screen, &Model, &PartScreen.names};
}

void BeCancelCB(Widget, XtPointer, XtPointer) {
    Cancel(PartEditor::kBlock);
}

void CeCancelCB(Widget, XtPointer, XtPointer) {
    Cancel(PartEditor::kContour);
}
