// File copy: the widgets of the copy screen over its model.
#include "filecopy.h"

#include "filemember.h"
#include "listfill.h"
#include "mainmenu.h"
#include "makers.h"

#include <Xm/Xm.h>

namespace {

CopyModel Model;
// The source and destination labels of the destination phase.
Widget SourceLabel = nullptr;
Widget DestLabel = nullptr;

constexpr int kTitleLabel = 138, kStatusLabel = 271;
constexpr int kEntireDirHint = 245;
constexpr int kCurLlfLabel = 248, kCurPartLabel = 237;

void RemoveFromTo() {
    if (SourceLabel) XtDestroyWidget(SourceLabel);
    if (DestLabel) XtDestroyWidget(DestLabel);
    SourceLabel = DestLabel = nullptr;
}

void ShowFromTo(FileMember& m) {
    if (!InTargetPhase(Model.nav.state)) {
        RemoveFromTo();
        return;
    }
    if (!SourceLabel) {
        SourceLabel = MakeWideLabel(m.screen.window, 10, 325, XmALIGNMENT_BEGINNING);
        DestLabel = MakeWideLabel(m.screen.window, 10, 375, XmALIGNMENT_BEGINNING);
    }
    SetLabelTextLeft(CopySourceText(Model, FileScreenUi()), SourceLabel);
    SetLabelTextLeft(CopyDestText(Model, FileScreenUi()), DestLabel);
}

// The whole-folder button: the folder selected becomes the source.
void EntireDirCB(Widget, XtPointer client, XtPointer) {
    FileMemberAct(MemberOf(client), [](const ListSelection& selection) {
        CopyWholeFolder(Model, selection, FileScreenUi());
    });
}

void Make(FileMember& m) {
    SourceLabel = DestLabel = nullptr;
    m.screen.wholeFolder =
        MakeToolbarIcon(m.screen, 285, "VokEntireDir", kEntireDirHint, EntireDirCB, &m);
    if (!CurrentPart.empty()) {
        MakeMemberHotkey(m, kCurLlfHotkey, "CurLLF", kCurLlfLabel);
        MakeMemberHotkey(m, kCurPartHotkey, "CurPart", kCurPartLabel);
    }
    CopyOpen(Model, CurrentPart, m.io);
    Model.pathCut = PathCut;
}

void GiveFocusBack();

// In the destination phase each copy runs with OK, Cancel and the up-one
// button off, and gives the keyin field the focus back after it.
FileMember Copy{{kTitleLabel, kStatusLabel, CopyCancelCB},
                {FillDirList, true},
                Model,
                {[](const ListSelection& selection, const std::string& text, const NavIo& io) {
                     CopyOk(Model, selection, text, io, FileScreenUi(), GiveFocusBack);
                 },
                 OkButtons::kOffInTargetPhase},
                {Make, [](const NavIo& io) { CopyUpOne(Model, io); }, ShowFromTo, nullptr, nullptr,
                 RemoveFromTo}};

// The focus that comes back after a copy is not the operator moving into
// the field: it leaves the hotkeys as they are, so that the next OK offers
// the same hotkey source again.
void GiveFocusBack() {
    GiveKeyinFocusBack(Copy);
}

} // namespace

void FileCopy() {
    OpenFileMember(Copy);
}

CopyView CopyState() {
    return {{&Copy.screen, &Model, &Copy.names}, SourceLabel, DestLabel};
}

void CopyCancelCB(Widget, XtPointer, XtPointer) {
    CloseFileMember(Copy);
}
