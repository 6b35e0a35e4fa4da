// The home dialog.
#include "homedialog.h"

#include "colors.h"
#include "controller.h"
#include "dialogs.h"
#include "labels.h"
#include "mainmenu.h"
#include "vok.h"
#include "xmwrap.h"

#include <Xm/Form.h>
#include <Xm/Label.h>
#include <Xm/PushB.h>
#include <Xm/Separator.h>

Widget HomeDialog = nullptr;
int HomeAbort = 0;

namespace {

constexpr int kLabelTitle = 128;

// The dialog waits for its Cancel while it is up, so that the message poll's
// raise of the main window keeps it on top. Held from the show to the close;
// a plain pointer, so that no destructor at the program's end reaches the
// toolkit's list of waiting dialogs after that list is gone.
WaitingDialog* HomeWaiting = nullptr;

void AddFont(ArgBuilder& a, XmFontList font) {
    if (font) a.Add(XmNfontList, reinterpret_cast<XtArgVal>(font));
}

} // namespace

Widget MakeHomeDialog(const std::string& text) {
    XmStringHolder title(LabText(kLabelTitle));
    ArgBuilder d;
    d.Add(XmNx, 97).Add(XmNy, 192).Add(XmNwidth, 575).Add(XmNheight, 175);
    d.Add(XmNnoResize, True).Add(XmNallowOverlap, False);
    d.Add(XmNdialogTitle, reinterpret_cast<XtArgVal>(static_cast<XmString>(title)));
    AddFont(d, FontListNormal);
    Widget dialog = XmCreateFormDialog(MainForm, XtRes("msg"), d.list(), d.count());
    SetWidgetColors(dialog, "VokWorkWindow", 0, 0, 3);

    XmStringHolder s(text);
    ArgBuilder l;
    l.Add(XmNleftAttachment, XmATTACH_FORM).Add(XmNleftOffset, 15);
    l.Add(XmNrightAttachment, XmATTACH_FORM).Add(XmNrightOffset, 15);
    l.Add(XmNtopAttachment, XmATTACH_FORM).Add(XmNtopOffset, 5);
    l.Add(XmNalignment, XmALIGNMENT_CENTER);
    AddFont(l, FontListNormal);
    l.Add(XmNlabelType, XmSTRING);
    l.Add(XmNlabelString, reinterpret_cast<XtArgVal>(static_cast<XmString>(s)));
    Widget label = XmCreateLabel(dialog, XtRes("msg"), l.list(), l.count());
    SetWidgetColors(label, "VokWorkWindow", 0, 0, 3);
    XtManageChild(label);

    ArgBuilder b;
    b.Add(XmNlabelType, XmPIXMAP);
    b.Add(XmNleftAttachment, XmATTACH_FORM).Add(XmNleftOffset, 5);
    b.Add(XmNbottomAttachment, XmATTACH_FORM).Add(XmNbottomOffset, 5);
    Widget cancel = XmCreatePushButton(dialog, XtRes(""), b.list(), b.count());
    SetWidgetIcon(cancel, "BigEscape", "CANCEL.VOK", 0, 0, 6);
    XtAddCallback(cancel, XmNactivateCallback, HomeCancelCb, nullptr);
    XtManageChild(cancel);

    ArgBuilder sep;
    sep.Add(XmNleftAttachment, XmATTACH_FORM).Add(XmNleftOffset, 20);
    sep.Add(XmNrightAttachment, XmATTACH_FORM).Add(XmNrightOffset, 20);
    sep.Add(XmNbottomAttachment, XmATTACH_WIDGET).Add(XmNbottomOffset, 10);
    sep.Add(XmNbottomWidget, reinterpret_cast<XtArgVal>(cancel));
    sep.Add(XmNshadowThickness, 3).Add(XmNseparatorType, XmSHADOW_ETCHED_IN);
    XtManageChild(XmCreateSeparator(dialog, XtRes(""), sep.list(), sep.count()));

    XtManageChild(dialog);
    FlushDisplay();
    if (TheDisplay) XFlush(TheDisplay);
    return dialog;
}

int ShowHomeDialog(const std::string& text) {
    if (!MainForm) return 0;
    CloseHomeDialog(); // one at a time
    HomeDialog = MakeHomeDialog(text);
    HomeWaiting = new WaitingDialog(HomeDialog);
    WaitSecondsAll(0);
    return 0;
}

void CloseHomeDialog() {
    if (!HomeDialog) return;
    delete HomeWaiting;
    HomeWaiting = nullptr;
    if (TheDisplay) XUngrabPointer(TheDisplay, CurrentTime);
    FlushEventsNoInput();
    // Unmanaged first, so that it leaves the screen now even when its
    // destruction waits for the end of the callback that showed it.
    XtUnmanageChild(HomeDialog);
    XtDestroyWidget(HomeDialog);
    HomeDialog = nullptr;
}

void HomeCancelCb(Widget, XtPointer, XtPointer) {
    ServoAbortDisp(ControllerFamily);
    HomeResult = kServoFault;
    HomeAbort = 1;
}
