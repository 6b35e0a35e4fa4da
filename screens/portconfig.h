// Port configuration: the service tool that edits the port table uart.bin.
// One row per port of the install's port list (uart.txt): the port's device
// path, its mode (S serial, P printer, I counter board, N network) and, for
// a port with a device list, the chosen device. The mode button opens the
// line-settings box, the device button the device picker; both stand in
// place of the toolbar while they are open. OK writes the whole table while
// the printer drivers are stopped, checks the machine state again and
// starts the drivers again.
#pragma once

#include "portmodel.h"

#include <X11/Intrinsic.h>

#include <vector>

// Entry, from the service menu.
void ShowPortConfig();

void PortConfigOk(Widget w, XtPointer client, XtPointer call);
void PortConfigCancel(Widget w, XtPointer client, XtPointer call);
// Client data: 1 up, 0 down.
void PortRowArrowCb(Widget w, XtPointer up, XtPointer call);
// Client data: the row.
void PortModeCb(Widget w, XtPointer row, XtPointer call);
void PortDeviceCb(Widget w, XtPointer row, XtPointer call);
void PortFieldFocusCb(Widget w, XtPointer row, XtPointer call);

// The line-settings box. FlagToggleCb: client data the flag, 1 to 6;
// ParityBoxDoneCb: 1 OK, 0 Escape.
void PortModeToggleCb(Widget w, XtPointer client, XtPointer call);
void BaudCycleCb(Widget w, XtPointer client, XtPointer call);
void CsizeCycleCb(Widget w, XtPointer client, XtPointer call);
void FlagToggleCb(Widget w, XtPointer flag, XtPointer call);
void ParityBoxDoneCb(Widget w, XtPointer ok, XtPointer call);

// The device picker. DeviceFrameDoneCb: 1 OK, 0 Escape.
void DeviceListSelectCb(Widget w, XtPointer client, XtPointer call);
void DeviceFrameDoneCb(Widget w, XtPointer ok, XtPointer call);

// The save of OK: 1 done (the screen closes), 0 the screen stays.
int SavePortConfig();

// The screen's widgets and state, for tests.
struct PortConfigView {
    Widget window, toolbar, ok, cancel, up, down;
    Widget label[kPortRows], field[kPortRows], mode[kPortRows], device[kPortRows];
    // The line-settings box.
    Widget parityBox, boxTitle, pase, baudFrame, baud, size, boxOk, boxEscape;
    Widget flagLight[kFlagSettings], flagButton[kFlagSettings];
    // The device picker.
    Widget deviceFrame, pickerTitle, deviceList, pickerOk, pickerEscape;
    const std::vector<PortRow>* rows;
    int current;
    bool boxOpen, pickerOpen;
};
PortConfigView PortConfigState();
