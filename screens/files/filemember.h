// A member of the file-screen frame that walks the install tree (copy,
// delete, backup, print, text edit, block and contour edit): what every one
// of them has, given once. The frame builds the window with its header,
// list, keyin field and up-one button; fills the list with the top list or
// a folder for the navigation and draws the header; carries the list's
// selection, the keyin field's focus, the hotkeys' presses, up one level
// and Cancel, with the loading and closing notices and the busy cursor; and
// hands the member's model the lister (NavIo) and the operator's dialogs
// (FileUi) it takes. A member gives only what differs: its model's steps
// (and through them its NavRules), its title and status labels, its folder
// loader, its own buttons and its OK.
//
// A member is one FileMember at file level, built from those parts; its
// entry calls OpenFileMember and its Cancel CloseFileMember. Its own
// buttons get the member as client data (MemberOf), its hotkeys come from
// MakeMemberHotkey.
#pragma once

#include "filenav.h"
#include "filescreen.h"
#include "fileui.h"

#include <X11/Intrinsic.h>

#include <functional>
#include <string>
#include <vector>

// The member's window: the header's labels and Cancel (the member's own,
// which tests call too).
struct FileMemberWindow {
    int titleLabel = 0;
    int statusLabel = 0;
    XtCallbackProc cancel = nullptr;
};

// The member's folders: the loader that fills the list with a folder's
// entries (answering whether it holds a sub folder), and whether paths are
// shown less the install root (the entry sets PathCut to 7).
using FolderLoader = int (*)(Widget list, std::vector<std::string>* names,
                             const std::string& folder);
struct FileMemberFolders {
    FolderLoader fill = nullptr;
    bool cutInstallRoot = false;
};

// The parts of the member's model that the frame shows: the navigation
// (whose rules name the top list) and a new text for the keyin field. Every
// member's model has them under these names.
struct FileMemberModel {
    FileNav* nav = nullptr;
    bool* setKeyin = nullptr;
    std::string* keyin = nullptr;
};

// Whether OK, Cancel and the up-one button are off while OK's step runs.
enum class OkButtons { kOff, kOffInTargetPhase, kOn };
// The member's OK (the toolbar's, Return in the keyin field, a double click
// in the list): its model's step on the list's selection and the keyin
// text, through the lister io.
using FileOkStep = void (*)(const ListSelection& selection, const std::string& keyinText,
                            const NavIo& io);
struct FileMemberOkStep {
    FileOkStep step = nullptr;
    OkButtons buttons = OkButtons::kOff;
};

struct FileMember;
// The member's other steps.
struct FileMemberSteps {
    // Builds the member's own widgets once the frame's are made, and opens
    // its model on the top list through m.io.
    void (*make)(FileMember& m) = nullptr;
    // The model's step for the up-one button.
    void (*upOne)(const NavIo& io) = nullptr;
    // Brings the member's own widgets in line after a step (null: none).
    void (*show)(FileMember& m) = nullptr;
    // The model's step for a hotkey pressed (which 1 or 2; null: the
    // navigation's own, NavHotkey).
    void (*hotkey)(int which) = nullptr;
    // Whether a hotkey is shown, for a member that decides it by what its
    // model holds (null: as the navigation says).
    bool (*hotkeyShown)(int which) = nullptr;
    // Forgets the member's own widgets as Cancel closes the window (null:
    // none).
    void (*close)() = nullptr;
};

struct FileMember {
    template <typename Model>
    FileMember(const FileMemberWindow& w, const FileMemberFolders& f, Model& m,
               const FileMemberOkStep& o, const FileMemberSteps& s)
        : window(w), folders(f), model{&m.nav, &m.setKeyin, &m.keyin}, ok(o), steps(s) {}

    // Given by the member.
    FileMemberWindow window;
    FileMemberFolders folders;
    FileMemberModel model;
    FileMemberOkStep ok;
    FileMemberSteps steps;

    // Kept by the frame.
    FileScreen screen;
    std::vector<std::string> names; // the names listed
    NavIo io;                       // the lister the model takes
    // A new listing came, whose selection policy is yet to be shown.
    bool relisted = false;
    // The member gave the keyin field the focus back (GiveKeyinFocusBack);
    // forgotten when the field loses the focus, or a hotkey or a list row
    // is pressed.
    bool focusGivenBack = false;
};

// The screen's widgets, model and names listed, for tests.
template <typename Model> struct MemberView {
    const FileScreen* frame;
    const Model* model;
    const std::vector<std::string>* names; // the names listed
};

// The member that the frame gives its callbacks, and a member its own
// buttons' callbacks, as client data.
inline FileMember& MemberOf(XtPointer client) {
    return *static_cast<FileMember*>(client);
}

// The operator's dialogs, the shell and the busy cursor, as the models take
// them.
const FileUi& FileScreenUi();

// The member's entry: opens its window unless it is shown already (false).
bool OpenFileMember(FileMember& m);
// The member's Cancel: its window closes (ignored while a Cancel runs or
// with the window closed).
void CloseFileMember(FileMember& m);

// OK, and a button of the member's own that acts as OK does with another
// step: ignored while an OK runs or with the window closed; else step runs
// on the list's selection and the keyin text (OK, Cancel and the up-one
// button off meanwhile as buttons says), then the widgets follow the model.
void FileMemberOk(FileMember& m, OkButtons buttons, FileOkStep step);
// A button of the member's own that acts on the list's selection (the
// whole-folder button): step, then the widgets follow the model; ignored
// with the window closed.
void FileMemberAct(FileMember& m, void (*step)(const ListSelection& selection));

// The widgets in line with the model: the frame's (the navigation's
// buttons, hotkeys, list and selection policy, the keyin text), then the
// member's own.
void ShowFileMember(FileMember& m);
// The list's selection as the model takes it.
ListSelection FileMemberSelection(const FileMember& m);

// A hotkey of the member (which 1 at y 330, 2 at y 360), off, pressed
// through the frame.
void MakeMemberHotkey(FileMember& m, int which, const char* name, int label);

// What the keyin field's gaining the focus does: at the top list (or
// everywhere, where the rules say so) the hotkeys go off; the list's
// selection goes; the field gets its focus look. A focus given back by the
// member leaves the hotkeys as they are.
void FileMemberKeyinFocus(FileMember& m);
// The member gives the keyin field the focus back (after an action of its
// own, not the operator's move into the field).
void GiveKeyinFocusBack(FileMember& m);
