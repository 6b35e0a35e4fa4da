// The backup screen without its widgets: the walk through the install tree
// (the file-screen frame's navigation), the backup set that the operator
// collects (folders, files, typed names and patterns, all parts, a part with
// the files that files4part.exe names), the diskette estimate and the one
// tar archive on the chosen medium. No X: the screen hands in the dialogs,
// the shell and the medium's choice (BackupUi) and shows what the model
// holds.
#pragma once

#include "filenav.h"

#include <functional>
#include <string>
#include <vector>

// The backup screen's navigation rules.
extern const NavRules kBackupNavRules;
// Its one hotkey, "AllParts" (FileNav::hotkeyMode).
inline constexpr int kAllPartsHotkey = 1;

// The install's program that names the files a part needs elsewhere.
inline constexpr const char* kFilesForPart = "/u/qel/xeq/files4part.exe";

struct BackupModel {
    FileNav nav;
    // The backup set: absolute paths in the order they were added; a folder
    // taken from the list keeps its trailing "/". No path twice (compared
    // less one trailing "/").
    std::vector<std::string> set;
    // VokBackupPlus: shown in the part list only.
    bool plus = false;
    // A new text for the keyin field, when setKeyin.
    bool setKeyin = false;
    std::string keyin;
};

// What the backup needs from the screen.
struct BackupUi {
    std::function<std::string(int label)> label;
    // A message or question to the operator: 1 OK, 0 Cancel.
    std::function<int(const std::string& text)> message;
    // Runs a shell command: its wait status.
    std::function<int(const std::string& command)> run;
    // Long work begins (true) or ends: busy cursor, window insensitive.
    std::function<void(bool busy)> busy;
    // Shows the head of a text file (files4part.exe's words).
    std::function<void(const std::string& path)> showFileHead;
    // Opens the media dialog for a backup and waits: its answer (1 chosen,
    // below 1 cancelled) and the chosen device.
    std::function<int(std::string* device)> chooseMedium;
    // 0 when the medium in the device is ready for writing.
    std::function<int(const std::string& device)> waitForMedia;
};

// Labels of the backup.
inline constexpr int kBackupBadPathLabel = 70;
inline constexpr int kBackupContinueLabel = 100;
inline constexpr int kBackupMissingLabel = 123;
inline constexpr int kBackupNotFoundLabel = 155;
inline constexpr int kBackupNoListLabel = 126;
inline constexpr int kBackupBigDisketteLabel = 157;
inline constexpr int kBackupSmallDisketteLabel = 158;
inline constexpr int kBackupOkOrCancelLabel = 172;

// The screen opens on the top list, with the whole-folder button and
// "AllParts" shown.
void BackupOpen(BackupModel& m, const std::string& currentPart, const NavIo& io);
// OK (also Return in the keyin field and a double click in the list): with
// a selection it enters the folder or adds the file (or, in a folder of
// several selectable entries, every entry selected); with "AllParts" on, the
// part root and the user root's "sub"; otherwise the typed path, name or
// pattern.
void BackupOk(BackupModel& m, const ListSelection& selection, const std::string& keyinText,
              const NavIo& io, const BackupUi& ui);
// The up-one button.
void BackupUpOne(BackupModel& m, const NavIo& io);
// The whole-folder button: the first selected folder goes into the set.
void BackupWholeFolder(BackupModel& m, const ListSelection& selection);
// VokBackupPlus in the part list: the first selected part's files, as
// files4part.exe names them (its list is read when its status is not 0). A
// run that names no file is said on the console and to the operator; its
// words, when it wrote some, are shown instead.
void BackupPlus(BackupModel& m, const ListSelection& selection, const BackupUi& ui);
// "AllParts" pressed.
void BackupAllParts(BackupModel& m);
// "Minus": the set's items at the 1-based positions go.
void BackupRemove(BackupModel& m, const std::vector<int>& positions);

// A typed path, name or pattern (BackupOk): a folder goes in less its
// trailing "/"; a file or pattern finds every regular file of that name
// below the folder, at any depth. A missing path without "*" is said.
void BackupAddMatching(BackupModel& m, std::string path, const BackupUi& ui);
// Adds the path unless the set holds it (less one trailing "/"); true when
// added.
bool BackupAddItem(BackupModel& m, const std::string& path);

// The set's paths as the backup takes them: one trailing "/" off each.
std::vector<std::string> BackupPaths(const BackupModel& m);
// The diskette question over the set's files: true for OK. The paths go to
// /u/tmp/bck.out first, as a trace.
bool BackupEstimate(const BackupModel& m, const BackupUi& ui);

enum class BackupOutcome {
    kWritten,   // the archive is on the medium
    kCancelled, // the medium's choice was cancelled
    kKept,      // nothing written (refused, not ready, too long, tar failed)
};
// Asks for the medium and writes the set to it with one tar command.
BackupOutcome BackupTar(const BackupModel& m, const BackupUi& ui);
// After a backup run: a written archive or a cancelled choice empties the
// set and goes back to the top list; otherwise all stays.
void BackupFinish(BackupModel& m, BackupOutcome outcome, const NavIo& io);
