// Backup: the file-utility screen that collects a backup set beside the
// file list and writes it as one tar archive to a removable medium. A thin
// view over the backup model (backupmodel.h) on the file-screen frame
// (filescreen.h).
#pragma once

#include "backupmodel.h"
#include "filescreen.h"

#include <X11/Intrinsic.h>

#include <string>
#include <vector>

// Entry of the file menu's backup choice.
void FileBackup();
void MakeBuScreen();
void BuOkCB(Widget w, XtPointer client, XtPointer call);
void BuCancelCB(Widget w, XtPointer client, XtPointer call);
void BuUpOneCB(Widget w, XtPointer client, XtPointer call);
void BuEntireCB(Widget w, XtPointer client, XtPointer call);
void BuPlusCB(Widget w, XtPointer client, XtPointer call);
void BuAllPartsCB(Widget w, XtPointer client, XtPointer call);
void BuMinusCB(Widget w, XtPointer client, XtPointer call);
void BuDoBackupCB(Widget w, XtPointer client, XtPointer call);
void BuListCB(Widget w, XtPointer client, XtPointer call);
void BuFocusCB(Widget w, XtPointer client, XtPointer call);

// The screen's widgets and model, for tests.
struct BackupView {
    const FileScreen* frame;
    const BackupModel* model;
    const std::vector<std::string>* names; // the names listed
    Widget setList, setTitle, backupButton, minusButton, plusButton;
};
BackupView BackupState();
