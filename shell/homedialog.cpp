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

// The dialog is made once and kept: a dialog window made and destroyed for
// every homing would leave the toolkit's records of its window-manager
// protocols behind each time. Its form does not follow its text's size.
Widget Built = nullptr;
Widget Text = nullptr;
Widget Cancel = nullptr;

void AddFont(ArgBuilder& a, XmFontList font) {
    if (font) a.Add(XmNfontList, reinterpret_cast<XtArgVal>(font));
}

void Build() {
    XmStringHolder title(LabText(kLabelTitle));
    ArgBuilder d;
    d.Add(XmNx, 97).Add(XmNy, 192).Add(XmNwidth, 575).Add(XmNheight, 175);
    d.Add(XmNnoResize, True).Add(XmNallowOverlap, False);
    d.Add(XmNresizePolicy, XmRESIZE_NONE);
    d.Add(XmNdialogTitle, reinterpret_cast<XtArgVal>(static_cast<XmString>(title)));
    AddFont(d, FontListNormal);
    Built = XmCreateFormDialog(MainForm, XtRes("msg"), d.list(), d.count());

    ArgBuilder l;
    l.Add(XmNleftAttachment, XmATTACH_FORM).Add(XmNleftOffset, 15);
    l.Add(XmNrightAttachment, XmATTACH_FORM).Add(XmNrightOffset, 15);
    l.Add(XmNtopAttachment, XmATTACH_FORM).Add(XmNtopOffset, 5);
    l.Add(XmNalignment, XmALIGNMENT_CENTER);
    AddFont(l, FontListNormal);
    l.Add(XmNlabelType, XmSTRING);
    Text = XmCreateLabel(Built, XtRes("msg"), l.list(), l.count());
    XtManageChild(Text);

    ArgBuilder b;
    b.Add(XmNlabelType, XmPIXMAP);
    b.Add(XmNleftAttachment, XmATTACH_FORM).Add(XmNleftOffset, 5);
    b.Add(XmNbottomAttachment, XmATTACH_FORM).Add(XmNbottomOffset, 5);
    Cancel = XmCreatePushButton(Built, XtRes(""), b.list(), b.count());
    XtAddCallback(Cancel, XmNactivateCallback, HomeCancelCb, nullptr);
    XtManageChild(Cancel);

    ArgBuilder sep;
    sep.Add(XmNleftAttachment, XmATTACH_FORM).Add(XmNleftOffset, 20);
    sep.Add(XmNrightAttachment, XmATTACH_FORM).Add(XmNrightOffset, 20);
    sep.Add(XmNbottomAttachment, XmATTACH_WIDGET).Add(XmNbottomOffset, 10);
    sep.Add(XmNbottomWidget, reinterpret_cast<XtArgVal>(Cancel));
    sep.Add(XmNshadowThickness, 3).Add(XmNseparatorType, XmSHADOW_ETCHED_IN);
    XtManageChild(XmCreateSeparator(Built, XtRes(""), sep.list(), sep.count()));
}

} // namespace

Widget MakeHomeDialog(const std::string& text) {
    if (!Built) Build();
    // Styled at every showing, so that it shows the colour scheme in force.
    SetWidgetColors(Built, "VokWorkWindow", 0, 0, 3);
    SetWidgetColors(Text, "VokWorkWindow", 0, 0, 3);
    SetWidgetIcon(Cancel, "BigEscape", "CANCEL.VOK", 0, 0, 6);
    XmStringHolder s(text);
    XtVaSetValues(Text, XmNlabelString, static_cast<XmString>(s), nullptr);
    XtManageChild(Built);
    FlushDisplay();
    if (TheDisplay) XFlush(TheDisplay);
    return Built;
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
    XtUnmanageChild(HomeDialog);
    HomeDialog = nullptr;
}

void HomeCancelCb(Widget, XtPointer, XtPointer) {
    ServoAbortDisp(ControllerFamily);
    HomeResult = kServoFault;
    HomeAbort = 1;
}
