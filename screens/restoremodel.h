// The restore screen without its widgets: the archive's members, the
// members chosen split into those missing on disk and those that exist
// (which the operator confirms one by one), and the one tar command that
// extracts them where they came from. Only plain files and folders are
// written, and only inside the install tree: the operator is told which
// chosen members are left out, and why. No X: the screen lists the archive,
// hands in the dialogs and the shell (RestoreUi) and shows what the model
// holds.
#pragma once

#include "archive.h"

#include <functional>
#include <string>
#include <vector>

// Phases of the screen.
inline constexpr int kRestoreMembers = 0;  // the archive's members
inline constexpr int kRestoreExisting = 1; // the chosen members that exist
inline constexpr int kRestoreDone = 9;

struct RestoreModel {
    // The archive's members as tar lists them, with their types.
    std::vector<ArchiveMember> listed;
    int phase = kRestoreMembers;
    // Of the members chosen: those with nothing at their place, and those
    // that exist, less the ones the operator removed (not to be touched).
    std::vector<std::string> missing;
    std::vector<std::string> existing;
    // Of the members chosen: those that are not restored, and why.
    std::vector<LeftOutMember> leftOut;
};

struct RestoreUi {
    std::function<std::string(int label)> label;
    // A message to the operator.
    std::function<int(const std::string& text)> message;
    // Runs a shell command: its wait status.
    std::function<int(const std::string& command)> run;
};

inline constexpr int kRestoreContinueLabel = 100;
// Heads the members left out.
inline constexpr int kRestoreCannotLabel = 70;

// A new listing: phase 0 with the members, nothing chosen.
void RestoreListed(RestoreModel& m, std::vector<ArchiveMember> members);
// The names of the members listed, in order.
std::vector<std::string> RestoreNames(const RestoreModel& m);
// The members chosen (with every listed member below a chosen folder
// member) split by what exists at their place; phase 1. The missing ones go
// to /u/tmp/res.out as its whole content. Members that must not be written
// (SplitMembers) are left out, each with a console line, and named to the
// operator in one message.
void RestoreSplit(RestoreModel& m, const std::vector<std::string>& chosen, const RestoreUi& ui);
// The existing members at the 1-based positions are neither restored nor
// touched.
void RestoreRemove(RestoreModel& m, const std::vector<int>& positions);

enum class RestoreOutcome {
    kNothing,   // nothing left to extract: no tar
    kExtracted, // tar extracted them
    kFailed,    // the list could not be written, or tar failed (reported)
};
// Writes /u/tmp/res.out whole (the missing members, then the existing ones
// left), and only then runs tar on the device with it; phase 9. A hard link
// whose target the operator kept as it is goes too, said as at the split.
RestoreOutcome RestoreExtract(RestoreModel& m, const std::string& device, const RestoreUi& ui);

// Writes every listed member, one a line, to /u/tmp/prt.out: false when it
// cannot be written.
bool RestoreWritePrintList(const RestoreModel& m);
