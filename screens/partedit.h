// The block-edit and contour-edit screens without their widgets: twins that
// choose a part (the current one, one of the part list, or a typed name)
// and start their editor on it, the block editor with the part's name, the
// contour editor with the part's contour folder. No X: the screen lists
// through NavIo, hands in the dialogs and the cursor (FileUi; its shell is
// not used), and shows what the model holds.
#pragma once

#include "fileui.h"
#include "filenav.h"

#include <string>

enum class PartEditor { kBlock, kContour };

extern const NavRules kPartEditNavRules;

// The editors and the label of a part they cannot open.
inline constexpr const char* kBlockEditor = "/u/qel/xeq/be.exe";
inline constexpr const char* kContourEditor = "/u/qel/xeq/xceditor.exe";
inline constexpr int kPartEditNoFolderLabel = 181;

struct PartEditModel {
    PartEditor editor = PartEditor::kBlock;
    FileNav nav;
    // A new text for the keyin field, when setKeyin.
    bool setKeyin = false;
    std::string keyin;
};

// The program and its one argument for the part, and the folder that must
// be there first: the block editor gets the name (a name that begins with
// "-" as "./<name>") and needs /u/qel/part/<name>; the contour editor gets
// and needs the part root's <name>/contour.
struct PartEditStart {
    std::string program;
    std::string argument;
    std::string folder;
};
PartEditStart PartEditCommand(PartEditor editor, const std::string& part);

// The part a typed text names: one final "/" dropped, then the text after
// the last "/".
std::string TypedPartName(const std::string& text);

// Starts the editor on the part, once its folder is there and the name is a
// part's name (not empty, "." or ".."); else says so and starts nothing.
void StartPartEditor(PartEditor editor, const std::string& part, const FileUi& ui);

// The screen opens on the top list: the current part and "part/".
void PartEditOpen(PartEditModel& m, PartEditor editor, const std::string& currentPart,
                  const NavIo& io);
// OK (also Return in the keyin field and a double click in the list).
void PartEditOk(PartEditModel& m, const ListSelection& selection, const std::string& keyinText,
                const NavIo& io, const FileUi& ui);
// The up-one button: from the part list to the top list.
void PartEditUpOne(PartEditModel& m, const NavIo& io);
