// The text-edit screen without its widgets: its navigation, the files it
// edits (selected, listed, typed, found by a pattern or an exact name, the
// current part's program), the editor each folder calls for, and the
// post-edit command of DOSHELLS. No X: the screen lists folders through
// NavIo, hands in the dialogs, the shell and the cursor (FileUi); the
// editors are started through the launchers.
#pragma once

#include "fileui.h"
#include "filematch.h"
#include "filenav.h"

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

extern const NavRules kEditNavRules;

// The hotkey that edits the current part's program (FileNav::hotkeyMode).
inline constexpr int kEditLlfHotkey = 1;

// Labels of the text-edit screen.
inline constexpr int kEditLlfLabel = 248;     // the hotkey
inline constexpr int kEditNewFileLabel = 155; // a file to be made
inline constexpr int kEditOkCancelLabel = 172;
inline constexpr int kEditPostAskLabel = 263; // before a "+" command

// The install's scripts and files of the text edit.
inline constexpr const char* kDoshells = "/u/qel/shell/DOSHELLS";
// The most of DOSHELLS that is read: some 800 lines of 79 characters.
inline constexpr size_t kDoshellsMax = 65536;
inline constexpr const char* kEd321Script = "/u/qel/shell/doed321";
inline constexpr const char* kBitmapScript = "/u/qel/shell/dobitmap";
inline constexpr const char* kEd321Program = "/u/qel/xeq/ed321.exe";
inline constexpr const char* kLibOut = "/u/tmp/lib.out";

// The editor a file's folder calls for.
enum class EditorKind {
    k321nom,    // under "/321nom/" while ed321.exe is installed: doed321
    kBitmap,    // under "/icon/": dobitmap
    kConfigured // the configured editor (LaunchEditor)
};
EditorKind EditorFor(const std::string& path);

// Whether a file a search walks over is one it edits: not in a buffer,
// feature or formraw folder, not named *.B, *.E, *.L, *.R or *.T, and
// belonging to the pattern.
bool EditSearchMatches(const PathPattern& pattern, const std::string& path);

// A post-edit command of DOSHELLS: the command (a script of
// /u/qel/shell/ and what the install gives it) and whether the operator is
// asked first ("+").
struct PostEdit {
    std::string command;
    bool ask = false;
};
// The command of the first line whose pattern the folder holds. A line is
// the pattern, one or more blanks and the command, read whole; a line
// without a blank, with an empty pattern or without a command matches
// nothing. False when no line matches.
bool FindPostEdit(FILE* doshells, const std::string& folder, PostEdit* out);

struct EditModel {
    FileNav nav;
    // A new text for the keyin field, when setKeyin.
    bool setKeyin = false;
    std::string keyin;
};

// The screen opens on the top list.
void EditOpen(EditModel& m, const std::string& currentPart, const NavIo& io);
// OK (also Return in the keyin field and a double click in the list).
void EditOk(EditModel& m, const ListSelection& selection, const std::string& keyinText,
            const NavIo& io, const FileUi& ui);
// The up-one button.
void EditUpOne(EditModel& m, const NavIo& io);

// Edits one file (a full path): a file not there is made when the operator
// says so; then its post-edit command.
void EditIt(const std::string& path, const FileUi& ui);
// Runs the post-edit command of DOSHELLS for an edited file (the folder
// ends in "/"); after dolibgen shows the head of its output. A DOSHELLS that
// is no plain file runs nothing; of a longer one the first kDoshellsMax
// bytes are read.
void RunPostEditShell(const std::string& folder, const std::string& name, const FileUi& ui);
// The question whether to make a file that is not there: 1 OK, 0 Cancel.
int AskCreate(const std::string& path, const FileUi& ui);
