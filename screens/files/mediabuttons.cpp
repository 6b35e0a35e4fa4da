// Medium buttons of the media dialog and the media table editor.
#include "mediabuttons.h"

#include "colors.h"
#include "labels.h"
#include "makers.h"
#include "xmwrap.h"

#include <Xm/PushB.h>

#include <cstdint>

namespace {

constexpr int kFirstY = 90;
constexpr int kLeft = 40;
constexpr int kMostAtFullPitch = 8;

} // namespace

MediumButtonPlace MediumButtonAt(int index, int count) {
    if (count > kMostAtFullPitch) return {kFirstY + 30 * index, 28};
    return {kFirstY + 35 * index, 30};
}

Widget MakeMediumButton(Widget parent, int index, int count, const std::string& label, int mode,
                        XtCallbackProc activate) {
    const MediumButtonPlace place = MediumButtonAt(index, count);
    XmStringHolder text(label);
    ArgBuilder a;
    a.Add(XmNx, kLeft).Add(XmNy, place.y);
    a.Add(XmNwidth, WorkArea.width - 2 * kLeft).Add(XmNheight, place.height);
    a.Add(XmNfillOnArm, False).Add(XmNmarginHeight, 2).Add(XmNmarginTop, 2);
    a.Add(XmNlabelType, XmSTRING);
    a.Add(XmNlabelString, reinterpret_cast<XtArgVal>(static_cast<XmString>(text)));
    a.Add(XmNalignment, XmALIGNMENT_BEGINNING);
    if (FontListNormal) a.Add(XmNfontList, reinterpret_cast<XtArgVal>(FontListNormal));
    Widget b = XmCreatePushButton(parent, XtRes(""), a.list(), a.count());
    MediumButtonLook(b, false, mode);
    XtManageChild(b);
    XtAddCallback(b, XmNactivateCallback, activate,
                  reinterpret_cast<XtPointer>(static_cast<intptr_t>(index)));
    return b;
}

void MediumButtonLook(Widget button, bool chosen, int mode) {
    if (!button) return;
    if (chosen)
        SetWidgetColors(button, "VokButtonON", mode, 0, 4);
    else
        SetWidgetColors(button, "VokButtonOFF", mode, 3, 1);
}
