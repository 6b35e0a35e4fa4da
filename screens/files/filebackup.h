// Backup: the file-utility screen that collects a backup set beside the
// file list and writes it as one tar archive to a removable medium. A thin
// view over the backup model (backupmodel.h) on the file-screen frame
// (filemember.h).
#pragma once

#include "backupmodel.h"
#include "filemember.h"

#include <X11/Intrinsic.h>

// Entry of the file menu's backup choice.
void FileBackup();
// The toolbar's Cancel.
void BuCancelCB(Widget w, XtPointer client, XtPointer call);

// The screen's widgets and model, for tests.
struct BackupView : MemberView<BackupModel> {
    Widget setList, setTitle, backupButton, minusButton, plusButton;
};
BackupView BackupState();
