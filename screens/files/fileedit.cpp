// Text edit: the widgets of the text-edit screen over its model.
#include "fileedit.h"

#include "filemember.h"
#include "listfill.h"
#include "mainmenu.h"

namespace {

EditModel Model;

constexpr int kTitleLabel = 262, kStatusLabel = 274;

// The editor runs with OK, Cancel and the up-one button off, and the screen
// waits for it.
FileMember Ed{{kTitleLabel, kStatusLabel, EdCancelCB},
              {FillEditList, false},
              Model,
              {[](const ListSelection& selection, const std::string& text, const NavIo& io) {
                   EditOk(Model, selection, text, io, FileScreenUi());
               },
               OkButtons::kOff},
              {[](FileMember& m) {
                   MakeMemberHotkey(m, kEditLlfHotkey, "Hotkey1", kEditLlfLabel);
                   EditOpen(Model, CurrentPart, m.io);
               },
               [](const NavIo& io) { EditUpOne(Model, io); }}};

} // namespace

void FileEdit() {
    OpenFileMember(Ed);
}

EditView EditState() {
    return {&Ed.screen, &Model, &Ed.names};
}

void EdCancelCB(Widget, XtPointer, XtPointer) {
    CloseFileMember(Ed);
}
