// Port configuration: the line-settings box of a row's mode button and the
// device picker of its device button. Each is a form over the lower part of
// the work window that stands in place of the toolbar while it is open; OK
// takes what it shows into the row, Escape leaves the row as it was.
#include "portconfig.h"

#include "choice.h"
#include "colors.h"
#include "labels.h"
#include "makers.h"
#include "portscreen.h"
#include "xmwrap.h"

#include <Xm/Form.h>
#include <Xm/Frame.h>
#include <Xm/Label.h>
#include <Xm/List.h>
#include <Xm/PushB.h>
#include <Xm/Separator.h>

#include <cstdint>
#include <new>

namespace {

constexpr int kBoxTitleLabel = 89;
constexpr int kPickerTitleLabel = 318;
constexpr int kSerialLabel = 330;
constexpr int kPrinterLabel = 331;
constexpr int kNoListLabel = 316;
constexpr int kNoMemoryLabel = 317;
constexpr int kPressOk = 100;

// Both boxes: a form at (3, height - 143), 140 high, width - 6 wide.
constexpr int kBoxHeight = 140;
constexpr int kButtonSide = 54;
// The title across the top, 22 high; OK below it and Escape below OK, both
// within the box's 140 pixels.
constexpr int kTitleY = 2;
constexpr int kTitleHeight = 22;
constexpr int kOkY = kTitleY + kTitleHeight + 2;
constexpr int kEscapeY = kOkY + kButtonSide + 4;
// Rows the picker's list shows: as many as fit its 120 pixels in the
// normal font.
constexpr int kPickerRows = 5;

XtPointer Data(int value) {
    return reinterpret_cast<XtPointer>(static_cast<intptr_t>(value));
}

int BoxWidth() {
    return WorkArea.width - 6;
}

void AddNormalFont(ArgBuilder& a) {
    if (FontListNormal) a.Add(XmNfontList, reinterpret_cast<XtArgVal>(FontListNormal));
}

Widget MakeBox() {
    ArgBuilder a;
    a.Add(XmNx, 3).Add(XmNy, WorkArea.height - 143);
    a.Add(XmNwidth, BoxWidth()).Add(XmNheight, kBoxHeight);
    a.Add(XmNresizePolicy, XmRESIZE_NONE);
    Widget box = XmCreateForm(Port.window, XtRes(""), a.list(), a.count());
    SetWidgetColors(box, "VokWorkWindow", 2, 0, 1);
    ArgBuilder s;
    s.Add(XmNx, 0).Add(XmNy, 0).Add(XmNwidth, BoxWidth());
    s.Add(XmNorientation, XmHORIZONTAL).Add(XmNseparatorType, XmSHADOW_ETCHED_IN);
    XtManageChild(XmCreateSeparator(box, XtRes(""), s.list(), s.count()));
    return box;
}

Widget MakeText(Widget parent, int x, int y, int width, const std::string& text,
                unsigned char alignment, const char* style) {
    XmStringHolder s(text);
    ArgBuilder a;
    a.Add(XmNx, x).Add(XmNy, y).Add(XmNwidth, width).Add(XmNheight, 22);
    a.Add(XmNrecomputeSize, False).Add(XmNalignment, alignment);
    a.Add(XmNlabelString, reinterpret_cast<XtArgVal>(static_cast<XmString>(s)));
    AddNormalFont(a);
    Widget w = XmCreateLabel(parent, XtRes(""), a.list(), a.count());
    SetWidgetColors(w, style, 2, 0, 1);
    XtManageChild(w);
    return w;
}

Widget MakeButton(Widget parent, int x, int y, int width, int height, XtCallbackProc cb,
                  XtPointer client) {
    ArgBuilder a;
    a.Add(XmNx, x).Add(XmNy, y).Add(XmNwidth, width).Add(XmNheight, height);
    a.Add(XmNrecomputeSize, False).Add(XmNmarginHeight, 0);
    AddNormalFont(a);
    Widget b = XmCreatePushButton(parent, XtRes(""), a.list(), a.count());
    SetWidgetColors(b, "VokButton", 2, 3, 1);
    XtAddCallback(b, XmNactivateCallback, cb, client);
    XtManageChild(b);
    return b;
}

Widget MakeIcon(Widget parent, int y, const char* style, const char* icon, int bg,
                XtCallbackProc cb, int client) {
    ArgBuilder a;
    a.Add(XmNx, BoxWidth() - kButtonSide - 6).Add(XmNy, y);
    a.Add(XmNwidth, kButtonSide).Add(XmNheight, kButtonSide);
    a.Add(XmNlabelType, XmPIXMAP).Add(XmNrecomputeSize, False);
    Widget b = XmCreatePushButton(parent, XtRes(""), a.list(), a.count());
    SetWidgetIcon(b, style, icon, 2, 0, bg);
    XtAddCallback(b, XmNactivateCallback, cb, Data(client));
    XtManageChild(b);
    return b;
}

// OK above Escape on the right of a box; client data 1 and 0.
void MakeOkEscape(Widget box, XtCallbackProc done, Widget* ok, Widget* escape) {
    *ok = MakeIcon(box, kOkY, "OK", "OK.ICN", 4, done, 1);
    *escape = MakeIcon(box, kEscapeY, "Escape", "ESC.ICN", 6, done, 0);
}

Widget MakeLight(Widget parent, int x, int y) {
    ArgBuilder a;
    a.Add(XmNx, x).Add(XmNy, y).Add(XmNwidth, 16).Add(XmNheight, 16);
    a.Add(XmNrecomputeSize, False).Add(XmNsensitive, False);
    Widget light = XmCreatePushButton(parent, XtRes(""), a.list(), a.count());
    SetWidgetColors(light, "VokButtonOFF", 2, 3, 1);
    XtManageChild(light);
    return light;
}

void MakeParityBox() {
    Widget box = Port.parityBox = MakeBox();
    Port.boxTitle = MakeText(box, 0, kTitleY, BoxWidth(), LabText(kBoxTitleLabel),
                             XmALIGNMENT_CENTER, "VokWorkWindow");
    const int side = BoxWidth() / 2 - 50;
    Port.pase = MakeButton(box, side, 28, BoxWidth() - 2 * side, 25, PortModeToggleCb, nullptr);
    MakeOkEscape(box, ParityBoxDoneCb, &Port.boxOk, &Port.boxEscape);

    ArgBuilder f;
    f.Add(XmNx, 5).Add(XmNy, 56).Add(XmNwidth, BoxWidth() - kButtonSide - 20);
    f.Add(XmNheight, 80).Add(XmNshadowThickness, 1);
    Port.baudFrame = XmCreateFrame(box, XtRes(""), f.list(), f.count());
    SetWidgetColors(Port.baudFrame, "VokToolbar", 2, 0, 1);
    ArgBuilder w;
    w.Add(XmNresizePolicy, XmRESIZE_NONE);
    Widget settings = XmCreateForm(Port.baudFrame, XtRes(""), w.list(), w.count());
    SetWidgetColors(settings, "VokBaudWindow", 2, 0, 1);
    MakeText(settings, 5, 2, 60, "Baud:", XmALIGNMENT_BEGINNING, "VokBaudWindow");
    Port.baud = MakeButton(settings, 71, 2, 60, 22, BaudCycleCb, nullptr);
    MakeText(settings, 265, 2, 60, "Csize:", XmALIGNMENT_BEGINNING, "VokBaudWindow");
    Port.size = MakeButton(settings, 333, 2, 60, 22, CsizeCycleCb, nullptr);
    const int lightX[] = {50, 181, 312}, nameX[] = {71, 202, 333};
    for (int n = 1; n <= kFlagSettings; ++n) {
        const int column = (n - 1) % 3, down = (n - 1) / 3 * 27;
        Port.flagLight[n - 1] = MakeLight(settings, lightX[column], 30 + down);
        Port.flagButton[n - 1] =
            MakeButton(settings, nameX[column], 28 + down, 60, 22, FlagToggleCb, Data(n));
        SetPortButtonText(Port.flagButton[n - 1], kFlagTable[n].name);
    }
    XtManageChild(settings);
    XtManageChild(Port.baudFrame);
}

void MakeDeviceFrame() {
    Widget box = Port.deviceFrame = MakeBox();
    Port.pickerTitle = MakeText(box, 0, kTitleY, BoxWidth(), LabText(kPickerTitleLabel),
                                XmALIGNMENT_CENTER, "VokWorkWindow");
    MakeOkEscape(box, DeviceFrameDoneCb, &Port.pickerOk, &Port.pickerEscape);
    Port.deviceList = MakeScrolledListSized(box, 12, 28, 450, 120, kPickerRows);
    XtAddCallback(Port.deviceList, XmNsingleSelectionCallback, DeviceListSelectCb, nullptr);
}

// What the box shows for the mode it is set to: the serial settings only
// for S.
void ShowWorkMode(const PortRow& row) {
    if (row.workMode == 'S') {
        SetPortButtonText(Port.pase, LabText(kSerialLabel));
        XtManageChild(Port.baudFrame);
        return;
    }
    SetPortButtonText(Port.pase,
                      row.workMode == 'P' ? LabText(kPrinterLabel) : ModeText(row.workMode));
    XtUnmanageChild(Port.baudFrame);
}

void ShowLight(int n, bool on) {
    if (on)
        IndicatorOn(Port.flagLight[n - 1]);
    else
        IndicatorOff(Port.flagLight[n - 1]);
}

PortRow& CurrentRow() {
    return Port.rows[static_cast<size_t>(Port.current)];
}

// Takes a box down and gives the toolbar back.
void CloseBox(Widget box) {
    XtUnmanageChild(box);
    XtManageChild(Port.toolbar);
    FlushDisplay();
}

} // namespace

void MakePortBoxes() {
    MakeParityBox();
    MakeDeviceFrame();
}

void ShowParityBox(int row) {
    PortRow& r = Port.rows[static_cast<size_t>(row)];
    r.edit = r.committed;
    for (int n = 1; n <= kFlagSettings; ++n) ShowLight(n, r.edit.flags[n - 1]);
    SetPortButtonText(Port.baud, kBaudTable[r.edit.baud].name);
    SetPortButtonText(Port.size, kSizeTable[r.edit.size].name);
    XtUnmanageChild(Port.toolbar);
    XtManageChild(Port.parityBox);
    r.workMode = r.record.mode;
    ShowWorkMode(r);
    Port.boxOpen = true;
}

void PortModeToggleCb(Widget, XtPointer, XtPointer) {
    if (!Port.boxOpen) return;
    PortRow& r = CurrentRow();
    r.workMode = r.workMode == 'S' ? 'P' : 'S';
    ShowWorkMode(r);
}

void BaudCycleCb(Widget, XtPointer, XtPointer) {
    if (!Port.boxOpen) return;
    PortRow& r = CurrentRow();
    r.edit.baud = NextBaud(r.edit.baud);
    SetPortButtonText(Port.baud, kBaudTable[r.edit.baud].name);
}

void CsizeCycleCb(Widget, XtPointer, XtPointer) {
    if (!Port.boxOpen) return;
    PortRow& r = CurrentRow();
    r.edit.size = NextSize(r.edit.size);
    SetPortButtonText(Port.size, kSizeTable[r.edit.size].name);
}

void FlagToggleCb(Widget, XtPointer flag, XtPointer) {
    const int n = static_cast<int>(reinterpret_cast<intptr_t>(flag));
    if (!Port.boxOpen || n < 1 || n > kFlagSettings) return;
    PortRow& r = CurrentRow();
    r.edit.flags[n - 1] = !r.edit.flags[n - 1];
    ShowLight(n, r.edit.flags[n - 1]);
}

void ParityBoxDoneCb(Widget, XtPointer ok, XtPointer) {
    if (!Port.boxOpen) return;
    PortRow& r = CurrentRow();
    if (ok) {
        r.committed = r.edit;
        r.record.mode = r.workMode;
        r.confirmed = true;
        SetPortButtonText(Port.mode[Port.current], ModeText(r.record.mode));
    }
    CloseBox(Port.parityBox);
    Port.boxOpen = false;
}

void ShowDeviceFrame(int row) {
    const PortRow& r = Port.rows[static_cast<size_t>(row)];
    std::vector<std::string> names;
    try {
        if (!LoadDeviceList(r.listWord, &Port.devices)) {
            ScreenMessage(LabText(kNoListLabel) + "\n\n" + LabText(kPressOk));
            return;
        }
        for (const DeviceEntry& e : Port.devices) names.push_back(e.description);
    } catch (const std::bad_alloc&) {
        Port.devices.clear();
        ScreenMessage(LabText(kNoMemoryLabel) + "\n\n" + LabText(kPressOk));
        return;
    }
    if (Port.devices.empty()) return;
    ListSetNames(Port.deviceList, names);
    XtUnmanageChild(Port.toolbar);
    XtManageChild(Port.deviceFrame);
    Port.selected = static_cast<int>(PreselectedDevice(Port.devices, r.record)) + 1;
    XmListDeselectAllItems(Port.deviceList);
    XmListSelectPos(Port.deviceList, Port.selected, False);
    if (Port.selected > kPickerRows) XmListSetBottomPos(Port.deviceList, Port.selected);
    Port.pickerOpen = true;
}

void DeviceListSelectCb(Widget, XtPointer, XtPointer call) {
    const auto* cbs = static_cast<const XmListCallbackStruct*>(call);
    if (Port.pickerOpen && cbs) Port.selected = cbs->item_position;
}

void DeviceFrameDoneCb(Widget, XtPointer ok, XtPointer) {
    if (!Port.pickerOpen) return;
    PortRow& r = CurrentRow();
    if (ok && Port.selected >= 1 && Port.selected <= static_cast<int>(Port.devices.size())) {
        TakeDevice(r.record, Port.devices[static_cast<size_t>(Port.selected - 1)]);
        SetPortButtonText(Port.device[Port.current],
                          CutAtSecondBlank(PortField(r.record.description)));
    }
    XmListDeleteAllItems(Port.deviceList);
    Port.devices.clear();
    CloseBox(Port.deviceFrame);
    Port.pickerOpen = false;
}
