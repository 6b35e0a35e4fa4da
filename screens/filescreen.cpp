// File-screen frame: the start-up notice in the work area.
#include "filescreen.h"

#include "dialogs.h"
#include "labels.h"
#include "makers.h"
#include "xmwrap.h"

#include <Xm/Label.h>

namespace {
Widget NoticeWindow = nullptr;
Widget NoticeLabel = nullptr;
} // namespace

int ShowNotice(const std::string& text) {
    if (NoticeWindow) XtDestroyWidget(NoticeWindow);
    NoticeWindow = MakeWorkWindow(0);
    ArgBuilder a;
    a.Add(XmNx, 0).Add(XmNy, 0).Add(XmNwidth, WorkArea.width).Add(XmNheight, WorkArea.height);
    a.Add(XmNlabelType, XmSTRING);
    if (FontListNormal) a.Add(XmNfontList, reinterpret_cast<XtArgVal>(FontListNormal));
    a.Add(XmNalignment, XmALIGNMENT_CENTER).Add(XmNrecomputeSize, False);
    NoticeLabel = XmCreateLabel(NoticeWindow, XtRes(""), a.list(), a.count());
    SetLabelText(text, NoticeLabel);
    XtManageChild(NoticeLabel);
    XtManageChild(NoticeWindow);
    return WaitForExpose(NoticeLabel);
}

void HideNotice() {
    if (NoticeWindow) XtUnmanageChild(NoticeWindow);
}
