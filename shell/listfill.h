// The list loaders of the file screens: each lists its names (filelists.h)
// and shows them in the screen's list. The names are released whole before
// a new listing is loaded; a listing that fails leaves no names and an empty
// list, so nothing of an earlier listing can show.
#pragma once

#include "launch.h"
#include "tarlisting.h"

#include <X11/Intrinsic.h>

#include <string>
#include <vector>

// The top list of a file screen (TopListNames); the list gets the keyboard
// focus.
void FillTopList(Widget list, std::vector<std::string>* names, const std::string& key);
// A folder's entries for the copy, delete, backup and print screens, and
// for the edit screens, each with its own hidden names (ListFolder). 1 when
// the folder holds a subfolder, else 0; the list gets the focus when the
// folder could be listed.
int FillDirList(Widget list, std::vector<std::string>* names, const std::string& folder);
int FillEditList(Widget list, std::vector<std::string>* names, const std::string& folder);
// The members of the archive on the device of the chosen medium, none
// selected. 0 when tar listed the archive; 1 when it failed: the members it
// listed before are shown, and the operator is told (ReportToolFailure); the
// negative answer of WaitForMedia; -1, with RefusedMediumText and no tar,
// for a device that cannot be used (MediaDeviceUsable). The list shows the
// members' names; each member keeps its type (ListArchive). Messages go
// through show (MessageDialog when null).
int FillTarList(Widget list, std::vector<ArchiveMember>* members, const std::string& device,
                ShowText show = nullptr);
