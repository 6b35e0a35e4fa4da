// Folder navigation of the file screens: which folder the list shows, how
// many levels below the first one it stands, the state to go back to, and
// which of the frame's buttons, hotkeys and selection policy the screen
// shows. One model serves every file screen; what a member does otherwise
// is a rule of its own (NavRules). No X: the screen lists folders through
// the lister it gives and shows what the model says.
#pragma once

#include <functional>
#include <string>
#include <vector>

// Navigation states.
enum NavState : int {
    kNavTop = 0,          // the top list
    kNavCurPart = 1,      // the current part's folder
    kNavPartList = 2,     // the part list
    kNavCurPartBelow = 3, // a folder below the current part's folder
    kNavPart = 4,         // a part's folder reached through the part list
    kNavPartBelow = 5,    // a folder below such a part's folder
    kNavMisc = 20,        // a top-list line's folder with sub folders
    kNavMiscBelow = 30,   // a folder below it
    kNavMiscFlat = 31,    // a top-list line's folder without sub folders
    // The target phase (the copy screen's destination, the print screen's
    // target): the list is gone and the keyin field takes the target.
    kNavTargetCurPart = 103, // a whole folder chosen in 1, or a file in 3
    kNavTargetPart = 105,    // a whole folder chosen in 2, 4 or 5, or a file in 5
    kNavTargetMisc = 130,    // a file chosen in 30 or 31
    kNavTargetTop = 901,     // a hotkey, or a path typed at the top
    kNavTargetFolder = 902,  // a file in 1, 2, 4 or 20, or a name typed in a folder
};

inline bool InTargetPhase(int state) {
    return state > 100;
}

// Where the members differ.
struct NavRules {
    // The misc list of the top list ("" for none).
    std::string topKey;
    // The member has a whole-folder button (copy, delete, print, backup).
    bool wholeFolderButton = true;
    // Entering a folder below the current part's folder or below a part's
    // folder (1 to 3, 4 to 5) leaves the whole-folder button as it was
    // (print).
    bool keepButtonBelowPart = false;
    // Every listing of a folder without sub folders gives multiple
    // selection, the part's folder of state 4 and going up included
    // (delete, the edit screens). Otherwise the frame's table: a part's
    // folder from the part list keeps single selection and the button, and
    // going up keeps single selection.
    bool multipleEverywhere = false;
    // Listing the parent folder gives multiple selection when it holds no
    // sub folders (print).
    bool multipleOnParent = false;
    // The member shows and hides its hotkeys itself by the folder listed
    // (delete); otherwise they are shown at the top only, when a part is
    // current.
    bool hotkeysByMember = false;
    // The keyin field's focus switches the hotkeys off in every state
    // (delete, text edit); otherwise at the top only.
    bool focusClearsHotkeysEverywhere = false;
    // A multiple selection in the list switches the hotkeys off too
    // (delete, text edit); otherwise only a single selection does.
    bool multipleSelectionClearsHotkeys = false;
    // The whole-folder button is shown at the top list and in every folder
    // with sub folders, those of the top-list lines included (backup);
    // otherwise never at the top nor in states 20, 30 and 31.
    bool wholeFolderEverywhere = false;
};

// The model of one open file screen.
struct FileNav {
    NavRules rules;
    std::string currentPart;
    int state = kNavTop;
    int parentState = kNavTop;
    int depth = 0;
    // The folder listed: an absolute install-tree path ending in "/".
    std::string folder = "/u/qel/part/";
    // Whether the folder last listed holds a sub folder (the top list counts
    // as one that does).
    int hasSubfolders = 1;
    // What the screen shows.
    bool list = true;         // the list (false in the target phase)
    bool header = false;      // the header with the folder listed
    bool upOne = false;       // the up-one button
    bool wholeFolder = false; // the member's whole-folder button
    bool hotkeys = false;     // the hotkey buttons
    bool multiple = false;    // the list's selection policy
    // The hotkey pressed last and still on: 0 none, 1 the first, 2 the second.
    int hotkeyMode = 0;
};

// What the screen gives the model: the listing of a folder into its list
// (an empty folder for the top list), answering whether it holds a sub
// folder, and whether a path names a regular file.
struct NavIo {
    std::function<int(const std::string& folder)> list;
    std::function<bool(const std::string& path)> isFile;
};

// The list's selection at OK: the first selected entry's 1-based position
// and every selected entry as listed, in the list's order.
struct ListSelection {
    int firstPosition = 0;
    std::vector<std::string> names;
};

// What the operator is told of a path longer than the file screens take:
// the path as shown, and the texts of labels 70 and 100, a line each.
std::string PathTooLongText(const std::string& path, const std::string& badPathText,
                            const std::string& continueText);

// The screen opens: the top list, state 0, nothing shown but the hotkeys
// (when a part is current).
void NavOpen(FileNav& nav, const NavRules& rules, const std::string& currentPart, const NavIo& io);

enum class NavOutcome {
    kNone,    // nothing changed (up one at the top)
    kListed,  // a folder (or the top list) is listed now
    kFile,    // the entry is a regular file: the member's own
    kTooLong, // the folder's path would be too long: nothing changed
};
// OK with the first selected entry (its 1-based position in the list and
// its name as listed; folders end in "/"). At the top every entry is a
// folder; elsewhere a regular file is left to the member. Entering a folder
// remembers the state as ParentState and hides the hotkeys.
NavOutcome NavChoose(FileNav& nav, int position, const std::string& entry, const NavIo& io);

// The up-one button: the parent folder, the top list, or out of the target
// phase back to the folder (or top list) it was entered from.
NavOutcome NavUpOne(FileNav& nav, const NavIo& io);

// The folder listed (the top list at the top) is listed again after it has
// changed (files deleted or made): the state stays; the selection policy
// and the whole-folder button follow what the folder holds now.
void NavRelist(FileNav& nav, const NavIo& io);

// The target state of a file chosen in the state (0 when none).
int TargetForFile(int state);
// The target state of a whole folder chosen in the state (0 when the
// button does nothing there).
int TargetForWholeFolder(int state);
// The screen goes into the target phase: the list, header, hotkeys and
// whole-folder button go, the up-one button stays.
void NavEnterTarget(FileNav& nav, int targetState);

// A hotkey is pressed (which 1 or 2): its mode on, the other's off.
void NavHotkey(FileNav& nav, int which);
// The keyin field gets the focus.
void NavKeyinFocus(FileNav& nav);
// The operator selects in the list (single or multiple selection).
void NavListSelected(FileNav& nav, bool multiple);
