// The copy screen without its widgets: the choice of the source (list,
// hotkeys, typed paths and patterns, a whole folder), the destination phase
// and the copies of one OK. No X: the screen lists folders through the
// navigation's NavIo, hands in the dialogs and the shell (FileUi), and shows
// what the model holds.
#pragma once

#include "copyplan.h"
#include "filematch.h"
#include "filenav.h"

#include <functional>
#include <string>
#include <vector>

// The copy screen's navigation rules.
extern const NavRules kCopyNavRules;

// The copy screen's hotkeys (FileNav::hotkeyMode).
inline constexpr int kCurLlfHotkey = 1;
inline constexpr int kCurPartHotkey = 2;

// Label pairs of the destination phase.
inline constexpr int kOneFileLabels[] = {249, 250};
inline constexpr int kPatternLabels[] = {251, 252};
inline constexpr int kWholeFolderLabels[] = {253, 254};

struct CopyModel {
    FileNav nav;
    // The source (folder + name, may hold "*") and the destination as the
    // copy takes them. A source taken from the list or a hotkey names one
    // file or folder, whatever its name holds; a typed one with "*" is a
    // pattern.
    std::string source;
    bool pattern = false;
    std::string dest;
    // The source name's pattern, or the exact name searched below a folder.
    WildPieces wild;
    // The labels of the destination phase.
    int fromLabel = 0;
    int toLabel = 0;
    // The entries selected when the source was chosen, as listed, offered
    // one after another; the one offered now.
    std::vector<std::string> selected;
    size_t selectedIndex = 0;
    // What the paths shown leave out.
    int pathCut = kInstallRootLength;
    // A new text for the keyin field, when setKeyin.
    bool setKeyin = false;
    std::string keyin;
};

// The screen opens on the top list.
void CopyOpen(CopyModel& m, const std::string& currentPart, const NavIo& io);
// OK (also Return in the keyin field and a double click in the list):
// before the destination phase it navigates or chooses the source; in it,
// the copies. Messages go through ui. In the destination phase focusKeyin
// runs after each copy, before the screen goes up a level: the keyin field
// that takes the focus there is not the operator's choice of a typed path,
// so a hotkey that is on stays on.
void CopyOk(CopyModel& m, const ListSelection& selection, const std::string& keyinText,
            const NavIo& io, const FileUi& ui, const std::function<void()>& focusKeyin = {});
// The whole-folder button: the selected folder becomes the source.
void CopyWholeFolder(CopyModel& m, const ListSelection& selection, const FileUi& ui);
// The up-one button.
void CopyUpOne(CopyModel& m, const NavIo& io);

// The two texts of the destination phase: the source label (its label and,
// on a second line, the source as shown) and the destination label.
std::string CopySourceText(const CopyModel& m, const FileUi& ui);
std::string CopyDestText(const CopyModel& m, const FileUi& ui);
