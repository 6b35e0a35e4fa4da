// The print screen without its widgets: the choice of the target (a listed
// file, several selected files one after another, a whole folder, the
// current part's program, a typed name or pattern), the target phase with
// its view and print modes, and the print or view of each file: record
// files turned into text by dodumper first, then a print request to the
// message server or the word processor. No X: the screen lists folders
// through NavIo, hands in the dialogs and the cursor (FileUi; its shell is
// not used), and shows what the model holds.
#pragma once

#include "fileui.h"
#include "filenav.h"

#include <string>
#include <vector>

extern const NavRules kPrtNavRules;

// The "CurLLF" hotkey (FileNav::hotkeyMode).
inline constexpr int kPrtCurLlfHotkey = 1;

// The modes of the target phase.
inline constexpr int kPrtView = 0;
inline constexpr int kPrtPrint = 1;

// Labels of the print screen.
inline constexpr int kPrtTargetLabel = 176;
inline constexpr int kPrtNotSentLabel = 186;

// The dump script, its output for one target, and the scratch file of the
// n-th target of a batch (/u/tmp/prt<n>.out), so that no file still waiting
// to be printed is written over.
inline constexpr const char* kDumper = "/u/qel/shell/dodumper";
inline constexpr const char* kDumpFile = "/u/tmp/prt.out";
std::string BatchDumpFile(int n);

// How dodumper turns a record file into text: the file kind and the part
// argument; kind 0 for a file printed as it stands.
struct DumperChoice {
    int kind = 0;
    std::string partArg;
};
DumperChoice DumperKind(const std::string& target);

struct PrtModel {
    FileNav nav;
    // The target: one file, or (pattern) the files that a walk finds for
    // the pattern or the exact name below its folder.
    std::string target;
    bool pattern = false;
    std::string exact;
    int mode = kPrtView;
    // The entries selected when the target was chosen, offered one after
    // another, and the one offered now.
    std::vector<std::string> selected;
    size_t selectedIndex = 0;
    int pathCut = 7;
    // A new text for the keyin field, when setKeyin.
    bool setKeyin = false;
    std::string keyin;
    // Set when the screen is to run the keyin field's focus callback (after
    // the last target, as if the field had gained the focus).
    bool focusKeyin = false;
};

// The screen opens on the top list.
void PrtOpen(PrtModel& m, const std::string& currentPart, const NavIo& io);
// OK (also Return in the keyin field and a double click in the list):
// before the target phase it navigates or chooses the target; in it, the
// print or view.
void PrtOk(PrtModel& m, const ListSelection& selection, const std::string& keyinText,
           const NavIo& io, const FileUi& ui);
// The whole-folder button: every file below the selected folder.
void PrtWholeFolder(PrtModel& m, const ListSelection& selection, const FileUi& ui);
// The up-one button.
void PrtUpOne(PrtModel& m, const NavIo& io);
// The text of the target label: label 176 and the target as shown.
std::string PrtTargetText(const PrtModel& m, const FileUi& ui);

// Prints or views one file: n 0 for a single target, else the n-th file of
// a batch (which reports on the console only).
void PrintIt(const std::string& file, int mode, int n, const FileUi& ui);
