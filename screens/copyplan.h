// One copy of the copy screen: the paths it works on, what it refuses and
// asks, and the cp command it runs. No X: the screen hands in the dialogs,
// the shell, the cursor and the label texts (FileUi).
#pragma once

#include "fileui.h"

#include <string>

// Labels of the copies.
inline constexpr int kCopyDoneLabel = 161;
inline constexpr int kCopyFailedLabel = 162;
inline constexpr int kSamePathLabel = 304;
inline constexpr int kDepthLabel = 70;
inline constexpr int kFileOntoFolderLabel = 181;
inline constexpr int kFolderOntoFileLabel = 145;
inline constexpr int kOverwriteLabel = 255;
inline constexpr int kOkOrCancelLabel = 172;
inline constexpr int kNewFolderLabel = 155;
inline constexpr int kCopyFolderLabel = 156;
inline constexpr int kNoSourceLabel = 144;

// S and D of a copy: the source joined to the folder listed when relative,
// the destination joined to "/u/qel/" when relative (typed destinations are
// relative to the install tree), "//" in D collapsed, one trailing "/" off
// each.
struct CopyPaths {
    std::string s, d;
};
CopyPaths BuildCopyPaths(const std::string& source, const std::string& dest,
                         const std::string& folder);

// The label that refuses copying S onto D, 0 when the copy may go on. The
// kinds are those of FileType (0 missing, 1 folder, 2 regular file).
// Either path too long, the same path twice, a different folder depth, a
// file onto something that is no file, a folder onto something that is no
// folder.
int CopyRefusal(const CopyPaths& p, int sourceKind, int destKind);

// The name beside D that a file is copied to first: "." + D's name +
// ".copy", with a number after it when something of that name is there.
// Empty when no such name is free.
std::string CopyTempName(const std::string& d);

// The command that copies S onto D, on the translated paths. A file goes
// to temp (CopyTempName) and is renamed over D only when the whole copy
// is there, so that a cp that fails (a full disk) leaves D as it was:
// "cp S T && mv -f T D || { s=$?; rm -f T; exit $s; }", cp's status kept.
// A folder: "cp -r S D" when D does not exist, "cp -r S/. D" (the contents
// merged) when it is a folder.
std::string CopyCommand(const CopyPaths& p, int sourceKind, int destKind, const std::string& temp);

// Copies the source onto *dest (both as the screen holds them; folder is
// the folder listed, pathCut what is left out of the paths shown): the
// refusals and questions, the command and its report. *dest is emptied
// after a copy or an answered question. 1 when the screen stays where it
// is: a copy done, refused or asked about, or one already running; 0 when
// it goes back to the list: an empty source or destination (nothing said),
// or a copy that failed (told on the console and in a message).
int CopyIt(const std::string& source, std::string* dest, const std::string& folder, int pathCut,
           const FileUi& ui);
