// Widget makers. Each maker fills a fresh argument list with exactly the
// resources of its widget, creates it, applies its widget style and, as a
// rule, manages it. Font lists are passed only once start-up has made them.
#include "makers.h"

#include "colors.h"
#include "dialogs.h"
#include "labels.h"
#include "statusline.h"
#include "vok.h"
#include "xmwrap.h"

#include <Xm/BulletinB.h>
#include <Xm/Form.h>
#include <Xm/Label.h>
#include <Xm/LabelG.h>
#include <Xm/List.h>
#include <Xm/PushB.h>
#include <Xm/ScrolledW.h>
#include <Xm/Separator.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

const WorkAreaRect WorkArea = {110, 53, 565, 450};

Widget WorkCancelButton = nullptr;
Widget WorkOKButton = nullptr;
Widget BigCancelButton = nullptr;
Widget BigOKButton = nullptr;
Widget LoadingLabel = nullptr;
int LoadMessageShown = 0;

namespace {

ToolbarHelpViewer HelpViewer = nullptr;

const char* OrEmpty(const char* text) {
    return text ? text : "";
}

void AddFont(ArgBuilder& a, const char* resource, XmFontList font) {
    if (font) a.Add(resource, reinterpret_cast<XtArgVal>(font));
}

XtArgVal AsArg(XmString s) {
    return reinterpret_cast<XtArgVal>(s);
}

void Trace(const char* format, int count) {
    std::printf(format, count);
    std::fflush(stdout);
}

// A 66 x 66 icon button of a toolbar at (x, 5).
Widget MakeToolbarButton(Widget bar, int x, const char* style, const char* icon, int mode, int fg,
                         int bg) {
    ArgBuilder a;
    a.Add(XmNwidth, 66).Add(XmNheight, 66).Add(XmNlabelType, XmPIXMAP);
    a.Add(XmNrecomputeSize, False).Add(XmNx, x).Add(XmNy, 5);
    Widget b = XmCreatePushButton(bar, XtRes(""), a.list(), a.count());
    SetWidgetIcon(b, style, icon, mode, fg, bg);
    XtManageChild(b);
    return b;
}

void AddHint(Widget w, int label) {
    XtAddEventHandler(w, HintEventMask, False, HintEventHandler, HintLabel(label));
}

struct ToolbarPlace {
    int x, y, width, height;
    int cancelX, helpX, okX;
};

Widget MakeToolbar(Widget parent, const ToolbarPlace& p, XtCallbackProc ok, XtCallbackProc cancel,
                   int helpIndex, int mode, Widget* okOut, Widget* cancelOut,
                   XtPointer client = nullptr) {
    ArgBuilder a;
    a.Add(XmNmarginHeight, 0).Add(XmNrecomputeSize, False);
    a.Add(XmNx, p.x).Add(XmNy, p.y).Add(XmNwidth, p.width).Add(XmNheight, p.height);
    Widget bar = XmCreateForm(parent, XtRes(""), a.list(), a.count());
    SetWidgetColors(bar, "VokWorkToolbar", mode, 0, 1);
    if (cancel) {
        Widget b = MakeToolbarButton(bar, p.cancelX, "BigEscape", "CANCEL.VOK", mode, 0, 6);
        XtAddCallback(b, XmNactivateCallback, cancel, client);
        AddHint(b, 183);
        *cancelOut = b;
    }
    if (ok) {
        Widget b = MakeToolbarButton(bar, p.okX, "BigOK", "OK.VOK", mode, 0, 4);
        XtAddCallback(b, XmNactivateCallback, ok, client);
        AddHint(b, 182);
        *okOut = b;
    }
    if (helpIndex >= 0) {
        Widget b = MakeToolbarButton(bar, p.helpX, "BigHelp", "HELP.VOK", mode, 7, 3);
        XtAddCallback(b, XmNactivateCallback, ToolbarHelpCB,
                      reinterpret_cast<XtPointer>(static_cast<intptr_t>(helpIndex)));
        AddHint(b, 188);
    }
    XtManageChild(bar);
    return bar;
}

// Width and look of the scroll bars of a scrolled list.
void StyleScrollBar(Widget list, const char* name, const char* size, int value, int mode) {
    Widget bar = XtNameToWidget(XtParent(list), name);
    if (!bar) return;
    XtVaSetValues(bar, size, value, nullptr);
    SetWidgetColors(bar, "SBVokRecallList", mode, 0, 10);
}

// The resources that every list maker passes.
void AddListCommon(ArgBuilder& a, int x, int y, int width, int rows) {
    a.Add(XmNx, x).Add(XmNy, y).Add(XmNwidth, width).Add(XmNvisibleItemCount, rows);
    a.Add(XmNlistMarginHeight, 6).Add(XmNlistMarginWidth, 6);
    a.Add(XmNlistSizePolicy, XmCONSTANT);
}

void SetText(const char* text, Widget label, bool left) {
    if (!label) return;
    XmStringHolder s(OrEmpty(text));
    ArgBuilder a;
    if (left) a.Add(XmNalignment, XmALIGNMENT_BEGINNING);
    a.Add(XmNlabelString, AsArg(s));
    AddFont(a, XmNfontList, FontListNormal);
    XtSetValues(label, a.list(), a.count());
}

} // namespace

Widget MakeWorkWindow(int mode) {
    ArgBuilder a;
    a.Add(XmNx, WorkArea.x - 3).Add(XmNy, WorkArea.y - 3);
    a.Add(XmNwidth, WorkArea.width + 6).Add(XmNheight, WorkArea.height + 6);
    a.Add(XmNrecomputeSize, False).Add(XmNresizePolicy, XmRESIZE_NONE);
    a.Add(XmNshadowType, XmSHADOW_IN).Add(XmNshadowThickness, 3);
    a.Add(XmNmarginWidth, 3).Add(XmNmarginHeight, 3);
    a.Add(XmNdialogStyle, XmDIALOG_MODELESS);
    AddFont(a, XmNlabelFontList, FontListNormal);
    Widget w = XmCreateBulletinBoard(MainForm, XtRes(""), a.list(), a.count());
    SetWidgetColors(w, "VokWorkWindow", mode, 0, 1);
    return w;
}

Widget MakeBigWorkWindow() {
    ArgBuilder a;
    a.Add(XmNx, 0).Add(XmNy, 0).Add(XmNwidth, 780).Add(XmNheight, 510);
    a.Add(XmNshadowType, XmSHADOW_IN).Add(XmNshadowThickness, 3);
    a.Add(XmNmarginWidth, 2).Add(XmNmarginHeight, 2);
    a.Add(XmNdialogStyle, XmDIALOG_MODELESS);
    AddFont(a, XmNlabelFontList, FontListBig);
    Widget w = XmCreateBulletinBoard(MainForm, XtRes(""), a.list(), a.count());
    SetWidgetColors(w, "VokWorkWindow", 0, 0, 1);

    ArgBuilder l;
    l.Add(XmNx, 555).Add(XmNy, 0).Add(XmNwidth, 215).Add(XmNheight, 44);
    l.Add(XmNrecomputeSize, False).Add(XmNshadowThickness, 0).Add(XmNmarginWidth, 0);
    Widget logo = XmCreateLabelGadget(w, XtRes(""), l.list(), l.count());
    SetWidgetIcon(logo, "VokOndryLogoWork", "LOGO.ICN", 0, 0, 10);
    XtManageChild(logo);
    return w;
}

void MakeFrameHeader(Widget parent, Widget* row1, Widget* row2) {
    *row1 = MakeLabelGadget(parent, 0, 0);
    MakeSeparator(parent, 32);
    *row2 = MakeLabelGadget(parent, 0, 37);
    MakeSeparator(parent, 68);
}

void MakeBigFrameHeader(Widget parent, Widget* title, Widget* status) {
    auto row = [parent](int x, int y, int width) {
        ArgBuilder a;
        a.Add(XmNx, x).Add(XmNy, y).Add(XmNwidth, width).Add(XmNheight, 30);
        a.Add(XmNlabelType, XmSTRING);
        AddFont(a, XmNfontList, FontListBig);
        a.Add(XmNalignment, XmALIGNMENT_CENTER).Add(XmNrecomputeSize, False);
        a.Add(XmNmarginHeight, 7);
        Trace("MakeBigFrameHeader i = [%d]\n", 9);
        Widget w = XmCreateLabel(parent, XtRes(""), a.list(), a.count());
        SetWidgetColors(w, "VokWorkWindow", 0, 0, 1);
        XtManageChild(w);
        return w;
    };
    *title = row(10, 4, 390);
    MakeBigSeparator(parent, 38);
    *status = row(0, 44, 780);
    MakeBigSeparator(parent, 76);
}

Widget MakeLabelGadget(Widget parent, int x, int y) {
    ArgBuilder a;
    a.Add(XmNx, x).Add(XmNy, y).Add(XmNwidth, WorkArea.width).Add(XmNheight, 30);
    a.Add(XmNlabelType, XmSTRING).Add(XmNalignment, XmALIGNMENT_CENTER);
    AddFont(a, XmNfontList, FontListNormal);
    a.Add(XmNmarginHeight, 7).Add(XmNrecomputeSize, False);
    std::printf("MakeLabelGadget i = [%d] [%lX]\n", 9, reinterpret_cast<unsigned long>(parent));
    std::fflush(stdout);
    Widget w = XmCreateLabel(parent, XtRes(""), a.list(), a.count());
    Trace("after XmCreateLabel i = [%d]\n", 9);
    SetWidgetColors(w, "VokWorkWindow", 0, 0, 1);
    XtManageChild(w);
    return w;
}

Widget MakeWideLabel(Widget parent, int x, int y, unsigned char alignment) {
    ArgBuilder a;
    a.Add(XmNx, x).Add(XmNy, y).Add(XmNwidth, 700).Add(XmNheight, 35);
    a.Add(XmNlabelType, XmSTRING).Add(XmNalignment, alignment);
    AddFont(a, XmNfontList, FontListBig);
    a.Add(XmNmarginHeight, 7).Add(XmNrecomputeSize, False);
    Widget w = XmCreateLabelGadget(parent, XtRes(""), a.list(), a.count());
    SetWidgetColors(w, "VokWorkWindow", 0, 0, 1);
    XtManageChild(w);
    return w;
}

Widget MakeLabel(Widget parent, int x, int y, int width, const char* text, const char* style) {
    XmStringHolder s(OrEmpty(text));
    ArgBuilder a;
    a.Add(XmNx, x).Add(XmNy, y).Add(XmNwidth, width).Add(XmNheight, 20);
    a.Add(XmNlabelType, XmSTRING).Add(XmNlabelString, AsArg(s));
    a.Add(XmNalignment, XmALIGNMENT_BEGINNING);
    AddFont(a, XmNfontList, FontListNormal);
    a.Add(XmNmarginHeight, 2).Add(XmNrecomputeSize, False);
    Trace("MakeLabel i = [%d]\n", 10);
    Widget w = XmCreateLabel(parent, XtRes(""), a.list(), a.count());
    SetWidgetColors(w, OrEmpty(style), 0, 0, 1);
    XtManageChild(w);
    return w;
}

Widget MakeValueLabel(Widget parent, int x, int y, const char* text) {
    ArgBuilder a;
    a.Add(XmNx, x).Add(XmNy, y).Add(XmNwidth, 250).Add(XmNheight, 30);
    a.Add(XmNlabelType, XmSTRING).Add(XmNalignment, XmALIGNMENT_BEGINNING);
    AddFont(a, XmNfontList, FontListBig);
    a.Add(XmNmarginHeight, 7).Add(XmNrecomputeSize, False);
    // Without a text the label stays empty: its widget name is empty too.
    XmString s = text ? MakeXmString(text) : nullptr;
    if (s) a.Add(XmNlabelString, AsArg(s));
    Widget w = XmCreateLabelGadget(parent, XtRes(""), a.list(), a.count());
    XmStringFree(s);
    XtManageChild(w);
    return w;
}

void SetLabelText(const char* text, Widget label) {
    SetText(text, label, false);
}

void SetLabelTextLeft(const char* text, Widget label) {
    SetText(text, label, true);
}

namespace {
Widget MakeHorizontalSeparator(Widget parent, int y, int width) {
    ArgBuilder a;
    a.Add(XmNorientation, XmHORIZONTAL).Add(XmNshadowThickness, 3);
    a.Add(XmNseparatorType, XmSHADOW_ETCHED_IN);
    a.Add(XmNx, 0).Add(XmNy, y).Add(XmNwidth, width);
    Widget w = XmCreateSeparator(parent, XtRes(""), a.list(), a.count());
    XtManageChild(w);
    return w;
}
} // namespace

Widget MakeSeparator(Widget parent, int y) {
    return MakeHorizontalSeparator(parent, y, WorkArea.width);
}

Widget MakeBigSeparator(Widget parent, int y) {
    return MakeHorizontalSeparator(parent, y, 780);
}

Widget MakeWorkToolbar(Widget parent, XtCallbackProc okCallback, XtCallbackProc cancelCallback,
                       int helpIndex, int mode) {
    // The form at (3, 365), 559 x 80; Cancel at x 5, Help at 76, OK at 494.
    const ToolbarPlace place = {3,  WorkArea.height - 85, WorkArea.width - 6, 80, 5,
                                76, WorkArea.width - 71};
    return MakeToolbar(parent, place, okCallback, cancelCallback, helpIndex, mode, &WorkOKButton,
                       &WorkCancelButton);
}

Widget MakeBigToolbar(Widget parent, XtCallbackProc okCallback, XtCallbackProc cancelCallback,
                      int helpIndex, int mode) {
    return MakeBigToolbarFor(parent, okCallback, cancelCallback, helpIndex, mode, nullptr);
}

Widget MakeBigToolbarFor(Widget parent, XtCallbackProc okCallback, XtCallbackProc cancelCallback,
                         int helpIndex, int mode, XtPointer client) {
    // The form at (0, 432), 780 x 75; Cancel at x 45, Help at 115, OK at 655.
    const ToolbarPlace place = {0, 432, 780, 75, 45, 115, 655};
    return MakeToolbar(parent, place, okCallback, cancelCallback, helpIndex, mode, &BigOKButton,
                       &BigCancelButton, client);
}

void ToolbarHelpCB(Widget w, XtPointer client, XtPointer) {
    const int index = static_cast<int>(reinterpret_cast<intptr_t>(client));
    if (index < 0) return;
    if (HelpViewer) {
        HelpViewer(w, index);
        return;
    }
    std::printf("ToolbarHelpCB: help viewer not wired\n");
    std::fflush(stdout);
}

void SetToolbarHelpViewer(ToolbarHelpViewer viewer) {
    HelpViewer = viewer;
}

Widget MakeIconButton(Widget parent, int x, int y, const char* style, int mode) {
    ArgBuilder a;
    a.Add(XmNwidth, 66).Add(XmNheight, 66).Add(XmNlabelType, XmPIXMAP);
    a.Add(XmNrecomputeSize, False).Add(XmNx, x).Add(XmNy, y);
    Widget b = XmCreatePushButton(parent, XtRes(""), a.list(), a.count());
    SetWidgetIcon(b, OrEmpty(style), "OK.VOK", mode, 0, 1);
    XtManageChild(b);
    return b;
}

int SetChoiceButton(Widget button, int on) {
    if (!button) return 0;
    if (on) {
        SetWidgetColors(button, "VokButtonSel", 0, 3, 0);
        XtVaSetValues(button, XmNwidth, 78, XmNheight, 78, nullptr);
    } else {
        SetWidgetColors(button, "VokButtonNSel", 0, 0, 3);
        XtVaSetValues(button, XmNwidth, 66, XmNheight, 66, nullptr);
    }
    return 0;
}

void IndicatorOn(Widget light) {
    if (light) SetWidgetColors(light, "VokIndicatorON", 5, 0, 4);
}

void IndicatorOff(Widget light) {
    if (light) SetWidgetColors(light, "VokIndicatorOFF", 5, 0, 6);
}

void SetSensitive(Widget w, bool on) {
    if (w) XtSetSensitive(w, on ? True : False);
}

Widget MakeList(Widget parent, int x, int y, int width, int rows) {
    ArgBuilder a;
    AddListCommon(a, x, y, width, rows);
    a.Add(XmNselectionPolicy, XmSINGLE_SELECT);
    AddFont(a, XmNfontList, FontListBig);
    a.Add(XmNdoubleClickInterval, 0);
    Widget list = XmCreateList(parent, XtRes("ListWidget"), a.list(), a.count());
    SetWidgetColors(list, "VokRecallList", 2, 0, 10);
    XtManageChild(list);
    return list;
}

Widget MakeScrolledList(Widget parent, int x, int y, int width, int rows) {
    ArgBuilder a;
    AddListCommon(a, x, y, width / 2, (2 * rows) / 3);
    a.Add(XmNselectionPolicy, XmSINGLE_SELECT).Add(XmNtraversalOn, True);
    AddFont(a, XmNfontList, FontListBig);
    a.Add(XmNdoubleClickInterval, 400);
    Widget list = XmCreateScrolledList(parent, XtRes("ListWidget"), a.list(), a.count());
    SetWidgetColors(list, "VokRecallList", 0, 0, 10);
    StyleScrollBar(list, "VertScrollBar", XmNwidth, 20, 0);
    StyleScrollBar(list, "HorScrollBar", XmNheight, 20, 0);
    XtManageChild(list);
    return list;
}

Widget MakeScrolledListSized(Widget parent, int x, int y, int width, int height, int rows) {
    ArgBuilder a;
    AddListCommon(a, x, y, width, rows);
    a.Add(XmNheight, height).Add(XmNlistSpacing, 2);
    a.Add(XmNselectionPolicy, XmSINGLE_SELECT).Add(XmNtraversalOn, True);
    AddFont(a, XmNfontList, FontListNormal);
    a.Add(XmNdoubleClickInterval, 400);
    Widget list = XmCreateScrolledList(parent, XtRes("ListWidget"), a.list(), a.count());
    SetWidgetColors(list, "VokRecallList", 2, 0, 10);
    StyleScrollBar(list, "VertScrollBar", XmNwidth, 30, 2);
    if (Widget h = XtNameToWidget(XtParent(list), "HorScrollBar")) XtUnmanageChild(h);
    XtManageChild(list);
    return list;
}

Widget MakeMultiList(Widget parent, int x, int y, int width, int rows) {
    ArgBuilder a;
    AddListCommon(a, x, y, width, rows);
    a.Add(XmNselectionPolicy, XmMULTIPLE_SELECT).Add(XmNselectedItemCount, 0);
    a.Add(XmNtraversalOn, True);
    AddFont(a, XmNfontList, FontListBig);
    a.Add(XmNdoubleClickInterval, 400);
    Widget list = XmCreateScrolledList(parent, XtRes("MListWidget"), a.list(), a.count());
    SetWidgetColors(list, "VokRecallList", 0, 0, 10);
    StyleScrollBar(list, "VertScrollBar", XmNwidth, 20, 0);
    StyleScrollBar(list, "HorScrollBar", XmNheight, 20, 0);
    XtManageChild(list);
    return list;
}

void ListSetItems(Widget list, int count, const NameRecord* names) {
    if (count < 1 || !list || !names) return;
    const int shown = count < kListItemMax ? count : kListItemMax;
    std::vector<XmString> items(shown);
    for (int i = 0; i < shown; ++i) {
        // A row without its terminator shows its 72 bytes, no more.
        const char* row = names[i].name;
        const std::string name(row, strnlen(row, sizeof names[i].name));
        items[i] = MakeXmSegment(name);
    }
    XtVaSetValues(list, XmNitems, items.data(), XmNitemCount, shown, nullptr);
    XmListSetPos(list, 1);
    XmListSelectPos(list, 1, False);
    // The list holds copies of its items.
    for (XmString item : items) XmStringFree(item);
}

void ListSetNames(Widget list, const std::vector<std::string>& names) {
    if (!list) return;
    if (names.empty()) {
        XmListDeleteAllItems(list);
        return;
    }
    const size_t shown = std::min(names.size(), static_cast<size_t>(kListItemMax));
    std::vector<XmString> items(shown);
    for (size_t i = 0; i < shown; ++i) {
        const std::string row = names[i].substr(0, kListRowMax);
        items[i] = MakeXmSegment(row);
    }
    XtVaSetValues(list, XmNitems, items.data(), XmNitemCount, static_cast<int>(shown), nullptr);
    XmListSetPos(list, 1);
    XmListSelectPos(list, 1, False);
    for (XmString item : items) XmStringFree(item);
}

void ListFreeItems(int) {}

Widget MakeLoadingLabel(const char* text, Widget parent) {
    XmStringHolder s(OrEmpty(text));
    ArgBuilder a;
    a.Add(XmNx, WorkArea.x + 10).Add(XmNy, WorkArea.height / 2 + WorkArea.y - 30);
    a.Add(XmNwidth, WorkArea.width - 20).Add(XmNheight, 60);
    a.Add(XmNalignment, XmALIGNMENT_CENTER).Add(XmNlabelType, XmSTRING);
    a.Add(XmNlabelString, AsArg(s)).Add(XmNrecomputeSize, False);
    AddFont(a, XmNfontList, FontListBig);
    a.Add(XmNmarginTop, 5).Add(XmNmarginBottom, 5);
    Widget w = XmCreatePushButton(parent, XtRes("lbl"), a.list(), a.count());
    SetWidgetColors(w, "VokLoading", 0, 7, 3);
    return w;
}

void MakeLoadMessage() {
    LoadingLabel = MakeLoadingLabel(GetLabText(184), MainForm);
}

void ShowLoadMessage() {
    if (LoadMessageShown != 0 || !LoadingLabel) return;
    XtManageChild(LoadingLabel);
    LoadMessageShown = 1;
}

void HideLoadMessage() {
    if (LoadMessageShown != 1) return;
    LoadMessageShown = 0;
    if (LoadingLabel) XtUnmanageChild(LoadingLabel);
}

namespace {
Widget LoadingNotice = nullptr;
} // namespace

void ShowLoading(const std::string& text) {
    if (!MainForm) return;
    HideLoading();
    LoadingNotice = MakeLoadingLabel(text, MainForm);
    XtManageChild(LoadingNotice);
    WaitForExpose(LoadingNotice);
}

void HideLoading() {
    if (!LoadingNotice) return;
    XtUnmanageChild(LoadingNotice);
    XtDestroyWidget(LoadingNotice);
    LoadingNotice = nullptr;
}
