// The delete screen without its widgets: its navigation (every folder
// without sub folders in multiple selection), its two hotkeys by the folder
// listed, and the deletions with their questions: selected files, a file,
// a typed name or pattern, a whole folder or part, the purges of a contour
// or program folder, and all a part does not need. No X: the screen lists
// folders through NavIo, hands in the dialogs and the shell (FileUi), and
// shows what the model holds.
#pragma once

#include "fileui.h"
#include "filenav.h"

#include <functional>
#include <string>

extern const NavRules kDelNavRules;

// The hotkeys (FileNav::hotkeyMode).
inline constexpr int kDelHotkey1 = 1;
inline constexpr int kDelHotkey2 = 2;

// What Hotkey1 does for the folder listed.
enum DelHotkeyFunction : int {
    kHotkeyNone = 0,         // hidden
    kHotkeyDeletePart = 1,   // the current part, at the top
    kHotkeyPurgeContour = 2, // every file but the nominal ones (.NOM)
    kHotkeyPurgeProgram = 4, // every file but the part program (llf)
};

// Labels of the delete screen.
inline constexpr int kDelCurPartLabel = 237;  // Hotkey1 on the current part
inline constexpr int kDelPurgeAllLabel = 258; // Hotkey2
inline constexpr int kDelContourLabel = 259;  // Hotkey1 in a contour folder
inline constexpr int kDelProgramLabel = 261;  // Hotkey1 in a program folder
inline constexpr int kDelFilesLabel = 205;
inline constexpr int kDelSureLabel = 206;
inline constexpr int kDelContourAskLabel = 281;
inline constexpr int kDelNotNeededLabel = 282;
inline constexpr int kDelProgramAskLabel = 283;
inline constexpr int kDelSelectedLabel = 284;
inline constexpr int kDelNoListLabel = 126;

struct DelModel {
    FileNav nav;
    // Hotkey1's function and label, and which hotkeys are shown.
    int hotkey1Function = kHotkeyNone;
    int hotkey1Label = kDelCurPartLabel;
    bool hotkey1Shown = false;
    bool hotkey2Shown = false;
    // Called once the current part's folder has been deleted, before the
    // screen lists again: the screen forgets the current part (the model
    // has forgotten its copy).
    std::function<void()> forgetPart;
    int pathCut = 7;
    // A new text for the keyin field, when setKeyin.
    bool setKeyin = false;
    std::string keyin;
};

// The screen opens on the top list; forgetPart as in DelModel.
void DelOpen(DelModel& m, const std::string& currentPart, const NavIo& io,
             std::function<void()> forgetPart);
// OK (also Return in the keyin field and a double click in the list).
void DelOk(DelModel& m, const ListSelection& selection, const std::string& keyinText,
           const NavIo& io, const FileUi& ui);
// The whole-folder button: the selected folder with everything below it.
void DelWholeFolder(DelModel& m, const ListSelection& selection, const NavIo& io, const FileUi& ui);
// The all-but-needed button (part list): every file of the selected part
// that files4part does not name.
void DelAllButNeeded(DelModel& m, const ListSelection& selection, const NavIo& io,
                     const FileUi& ui);
// A hotkey pressed (kDelHotkey1 or kDelHotkey2).
void DelHotkey(DelModel& m, int which);
// The up-one button.
void DelUpOne(DelModel& m, const NavIo& io);
// Whether the all-but-needed button is shown (the part list).
bool DelAllButNeededShown(const DelModel& m);
