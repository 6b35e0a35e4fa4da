// Port configuration: the entry, the rows with their navigation, and OK,
// Cancel and the save.
#include "portconfig.h"

#include "choice.h"
#include "colors.h"
#include "dialogs.h"
#include "labels.h"
#include "mainmenu.h"
#include "makers.h"
#include "msgsys.h"
#include "portscreen.h"
#include "vok.h"
#include "xmwrap.h"

#include <Xm/PushB.h>
#include <Xm/TextF.h>

#include <cstdint>

PortScreen Port;

namespace {

bool Built = false;

constexpr int kTitleLabel = 86;
constexpr int kStatusLabel = 302;
constexpr int kFirstRowLabel = 320;
constexpr int kSaveLabel = 107;
constexpr int kLeaveLabel = 108;
constexpr int kPressOk = 100;
constexpr int kDriversRunLabel = 236;
constexpr int kNotWrittenLabel = 163;
constexpr int kUpHint = 5;
constexpr int kDownHint = 6;
constexpr int kTwoByteLanguage = 6;
constexpr int kFieldChars = 18;

// Row positions: up to nine rows 30 pixels apart from y 100; ten rows 26
// apart, so that the tenth stays above the toolbar.
constexpr int kRowTop = 100;
constexpr int kRowStep = 30;
constexpr int kTightRowStep = 26;

XtPointer Data(int value) {
    return reinterpret_cast<XtPointer>(static_cast<intptr_t>(value));
}
int Value(XtPointer data) {
    return static_cast<int>(reinterpret_cast<intptr_t>(data));
}

int RowCount() {
    return static_cast<int>(Port.rows.size());
}

void AddNormalFont(ArgBuilder& a) {
    if (FontListNormal) a.Add(XmNfontList, reinterpret_cast<XtArgVal>(FontListNormal));
}

Widget MakeRowButton(int x, int y, int width, XtCallbackProc cb, int row) {
    ArgBuilder a;
    a.Add(XmNx, x).Add(XmNy, y).Add(XmNwidth, width).Add(XmNheight, 22);
    a.Add(XmNrecomputeSize, False).Add(XmNmarginHeight, 0);
    AddNormalFont(a);
    Widget b = XmCreatePushButton(Port.window, XtRes(""), a.list(), a.count());
    SetWidgetColors(b, "VokUartButton", 2, 3, 1);
    XtAddCallback(b, XmNactivateCallback, cb, Data(row));
    XtManageChild(b);
    return b;
}

Widget MakePathField(int y, int row) {
    ArgBuilder a;
    a.Add(XmNx, 160).Add(XmNy, y);
    a.Add(XmNcolumns, Language == kTwoByteLanguage ? kFieldChars / 2 : kFieldChars);
    a.Add(XmNmaxLength, kFieldChars).Add(XmNmarginHeight, 1);
    a.Add(XmNeditMode, XmSINGLE_LINE_EDIT);
    AddNormalFont(a);
    Widget f = XmCreateTextField(Port.window, XtRes(""), a.list(), a.count());
    SetWidgetColors(f, "KeyinField", 2, 3, 1);
    XtAddCallback(f, XmNfocusCallback, PortFieldFocusCb, Data(row));
    XtManageChild(f);
    return f;
}

void MakeRow(int i) {
    const int y = kRowTop + i * (RowCount() == kPortRows ? kTightRowStep : kRowStep);
    Port.label[i] =
        MakeLabel(Port.window, 5, y, 150, LabText(kFirstRowLabel + i), "VokScreenPrompt");
    XtVaSetValues(Port.label[i], XmNheight, 25, nullptr);
    Port.field[i] = MakePathField(y, i);
    Port.mode[i] = MakeRowButton(340, y, 40, PortModeCb, i);
    if (Port.rows[i].HasDevice()) Port.device[i] = MakeRowButton(385, y, 180, PortDeviceCb, i);
}

Widget MakeArrow(int x, const char* style, int up, int hint) {
    Widget b = MakeIconButton(Port.toolbar, x, 5, style, 2);
    XtAddCallback(b, XmNactivateCallback, PortRowArrowCb, Data(up));
    XtAddEventHandler(b, HintEventMask, False, HintEventHandler, HintLabel(hint));
    return b;
}

void MakePortConfig() {
    Port.window = MakeWorkWindow(2);
    MakeFrameHeader(Port.window, &Port.row1, &Port.row2);
    SetWidgetColors(Port.row2, "VokStatus", 0, 3, 7);
    Port.toolbar = MakeWorkToolbar(Port.window, PortConfigOk, PortConfigCancel, -1, 2);
    Port.ok = WorkOKButton;
    Port.cancel = WorkCancelButton;
    const struct {
        int label, x, width;
    } titles[] = {{332, 5, 150}, {333, 160, 150}, {334, 340, 45}, {335, 385, 180}};
    for (const auto& t : titles)
        MakeLabel(Port.window, t.x, 75, t.width, LabText(t.label), "VokWorkColTitle");
    Port.up = MakeArrow(WorkArea.width / 2 - 66, "VokUpArrow", 1, kUpHint);
    Port.down = MakeArrow(WorkArea.width / 2 + 10, "VokDownArrow", 0, kDownHint);
    for (int i = 0; i < RowCount(); ++i) MakeRow(i);
    MakePortBoxes();
}

void StyleField(int row, bool current) {
    if (row < 0 || row >= RowCount()) return;
    if (current)
        SetWidgetColors(Port.field[row], "KeyinFocusIn", 2, 3, 7);
    else
        SetWidgetColors(Port.field[row], "KeyinField", 2, 3, 1);
}

void FocusField(int row) {
    if (row < 0 || row >= RowCount()) return;
    StyleField(row, true);
    XmProcessTraversal(Port.field[row], XmTRAVERSE_CURRENT);
}

// The row's path field into its record.
void TakeFieldText(int row) {
    if (row < 0 || row >= RowCount()) return;
    char* text = XmTextFieldGetString(Port.field[row]);
    SetPortField(Port.rows[row].record.path, text ? text : "");
    XtFree(text);
}

void ShowPortRow(int i) {
    PortRow& row = Port.rows[i];
    SetLabelTextLeft(LabText(kFirstRowLabel + i), Port.label[i]);
    PreparePortRow(row);
    XmTextFieldSetString(Port.field[i], const_cast<char*>(""));
    XmTextFieldSetString(Port.field[i], const_cast<char*>(PortField(row.record.path).c_str()));
    SetPortButtonText(Port.mode[i], ModeText(row.record.mode));
    if (Port.device[i])
        SetPortButtonText(Port.device[i], CutAtSecondBlank(PortField(row.record.description)));
}

// The row becomes the current one; its field takes the focus style.
void MakeCurrent(int row) {
    if (row != Port.current) StyleField(Port.current, false);
    Port.current = row;
    StyleField(row, true);
}

// Leaves the screen: back to row 0, hidden, no screen shown.
void HidePortConfig() {
    StyleField(Port.current, false);
    Port.current = 0;
    Port.focusKind = kFocusField;
    FocusField(0);
    XtUnmanageChild(Port.window);
    ShownScreen = nullptr;
}

std::string TwoLabels(int first, int second) {
    return LabText(first) + " \n" + LabText(second);
}

} // namespace

void SetPortButtonText(Widget w, const std::string& text) {
    if (!w) return;
    XmStringHolder s(text);
    ArgBuilder a;
    a.Add(XmNlabelString, reinterpret_cast<XtArgVal>(static_cast<XmString>(s)));
    AddNormalFont(a);
    XtSetValues(w, a.list(), a.count());
}

std::string ModeText(char mode) {
    return mode ? std::string(1, mode) : std::string();
}

void ShowPortConfig() {
    if (Port.window && ShownScreen == Port.window) return;
    SetStatusLine("");
    ChangeCursor(BusyCursor);
    if (!Built) {
        if (!LoadPortList(&Port.rows)) {
            ChangeCursor(NormalCursor);
            return;
        }
        MakePortConfig();
        Built = true;
    }
    SetLabelText(LabText(kTitleLabel), Port.row1);
    SetLabelText(LabText(kStatusLabel), Port.row2);
    LoadPortRecords(Port.rows);
    ShownScreen = Port.window;
    CheckPortRecords(Port.rows);
    for (int i = 0; i < RowCount(); ++i) ShowPortRow(i);
    Port.current = 0;
    Port.focusKind = kFocusField;
    Port.boxOpen = Port.pickerOpen = false;
    Port.selected = 1;
    SetSensitive(Port.ok, true);
    SetSensitive(Port.cancel, true);
    XtManageChild(Port.window);
    FocusField(0);
    ChangeCursor(NormalCursor);
    FlushDisplay();
}

void PortRowArrowCb(Widget, XtPointer up, XtPointer) {
    const int n = RowCount();
    if (n == 0 || Port.boxOpen || Port.pickerOpen) return;
    const int next = Value(up) ? (Port.current + n - 1) % n : (Port.current + 1) % n;
    MakeCurrent(next);
    Port.focusKind = kFocusField;
    FocusField(next);
}

void PortFieldFocusCb(Widget, XtPointer row, XtPointer) {
    const int r = Value(row);
    if (Port.boxOpen || Port.pickerOpen || r < 0 || r >= RowCount()) return;
    if (r != Port.current || Port.focusKind != kFocusField) {
        TakeFieldText(Port.current);
        StyleField(Port.current, false);
    }
    Port.current = r;
    Port.focusKind = kFocusField;
    StyleField(r, true);
}

void PortModeCb(Widget, XtPointer row, XtPointer) {
    const int r = Value(row);
    if (Port.boxOpen || Port.pickerOpen || r < 0 || r >= RowCount()) return;
    MakeCurrent(r);
    Port.focusKind = kFocusMode;
    ShowParityBox(r);
}

void PortDeviceCb(Widget, XtPointer row, XtPointer) {
    const int r = Value(row);
    if (Port.boxOpen || Port.pickerOpen || r < 0 || r >= RowCount()) return;
    MakeCurrent(r);
    Port.focusKind = kFocusDevice;
    ShowDeviceFrame(r);
}

void PortConfigOk(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(Port.okBusy);
    if (!guard.entered()) return;
    SetSensitive(Port.ok, false);
    SetSensitive(Port.cancel, false);
    WaitSeconds(0);
    if (ScreenMessage(LabText(kSaveLabel)) == 1 && SavePortConfig() == 1) {
        HidePortConfig();
    } else {
        SetSensitive(Port.ok, true);
        SetSensitive(Port.cancel, true);
    }
    SetStatusLine("");
}

void PortConfigCancel(Widget, XtPointer, XtPointer) {
    ChoiceGuard guard(Port.cancelBusy);
    if (!guard.entered()) return;
    SetSensitive(Port.ok, false);
    SetSensitive(Port.cancel, false);
    WaitSeconds(0);
    if (ScreenMessage(LabText(kLeaveLabel)) == 1) {
        HidePortConfig();
    } else {
        SetSensitive(Port.ok, true);
        SetSensitive(Port.cancel, true);
        FlushDisplay();
    }
    SetStatusLine("");
}

int SavePortConfig() {
    for (int i = 0; i < RowCount(); ++i) TakeFieldText(i);
    ChangeCursor(BusyCursor);
    SendCommand39();
    if (StopPrinterDrivers() != 0) {
        // Nothing is written: the operator's changes are dropped.
        ScreenMessage(TwoLabels(kDriversRunLabel, kPressOk));
        ChangeCursor(NormalCursor);
        UpdateMainMenu();
        return 1;
    }
    ChangeCursor(NormalCursor);
    PortRecord table[kUartRecords];
    BuildPortTable(Port.rows, table);
    if (WriteUartFile(table) != 0) {
        // The drivers get their old table back before the operator is told.
        ChangeCursor(BusyCursor);
        StartPrinterDrivers();
        ChangeCursor(NormalCursor);
        ScreenMessage(TwoLabels(kNotWrittenLabel, kPressOk));
        return 0;
    }
    MachineState();
    StartPrinterDrivers();
    ChangeCursor(NormalCursor);
    UpdateMainMenu();
    return 1;
}

PortConfigView PortConfigState() {
    PortConfigView v{};
    v.window = Port.window;
    v.toolbar = Port.toolbar;
    v.ok = Port.ok;
    v.cancel = Port.cancel;
    v.up = Port.up;
    v.down = Port.down;
    for (int i = 0; i < kPortRows; ++i) {
        v.label[i] = Port.label[i];
        v.field[i] = Port.field[i];
        v.mode[i] = Port.mode[i];
        v.device[i] = Port.device[i];
    }
    v.parityBox = Port.parityBox;
    v.boxTitle = Port.boxTitle;
    v.pase = Port.pase;
    v.baudFrame = Port.baudFrame;
    v.baud = Port.baud;
    v.size = Port.size;
    v.boxOk = Port.boxOk;
    v.boxEscape = Port.boxEscape;
    for (int i = 0; i < kFlagSettings; ++i) {
        v.flagLight[i] = Port.flagLight[i];
        v.flagButton[i] = Port.flagButton[i];
    }
    v.deviceFrame = Port.deviceFrame;
    v.pickerTitle = Port.pickerTitle;
    v.deviceList = Port.deviceList;
    v.pickerOk = Port.pickerOk;
    v.pickerEscape = Port.pickerEscape;
    v.rows = &Port.rows;
    v.current = Port.current;
    v.boxOpen = Port.boxOpen;
    v.pickerOpen = Port.pickerOpen;
    return v;
}
