// The port configuration screen's state, shared by its two halves: the rows
// with the toolbar and the save (portconfig.cpp), and the line-settings box
// with the device picker (portboxes.cpp).
#pragma once

#include "portmodel.h"

#include <X11/Intrinsic.h>

#include <string>
#include <vector>

// Focus kinds: where the operator works in the current row.
inline constexpr int kFocusField = 1;
inline constexpr int kFocusMode = 2;
inline constexpr int kFocusDevice = 3;

struct PortScreen {
    Widget window = nullptr;
    Widget row1 = nullptr, row2 = nullptr;
    Widget toolbar = nullptr, ok = nullptr, cancel = nullptr, up = nullptr, down = nullptr;
    Widget label[kPortRows] = {}, field[kPortRows] = {}, mode[kPortRows] = {},
           device[kPortRows] = {};
    std::vector<PortRow> rows;
    int current = 0;
    int focusKind = kFocusField;
    bool boxOpen = false;
    bool pickerOpen = false;

    // The line-settings box.
    Widget parityBox = nullptr, boxTitle = nullptr, pase = nullptr, baudFrame = nullptr,
           baud = nullptr, size = nullptr, boxOk = nullptr, boxEscape = nullptr;
    Widget flagLight[kFlagSettings] = {}, flagButton[kFlagSettings] = {};
    // The device picker: its list, the entries it shows and the position
    // (1-based) that OK takes.
    Widget deviceFrame = nullptr, pickerTitle = nullptr, deviceList = nullptr, pickerOk = nullptr,
           pickerEscape = nullptr;
    std::vector<DeviceEntry> devices;
    int selected = 1;

    int okBusy = 0, cancelBusy = 0;
};
extern PortScreen Port;

// A label's text on a button of the screen (the normal font).
void SetPortButtonText(Widget w, const std::string& text);
// The two boxes, built once on the work window, unmanaged.
void MakePortBoxes();
// Opens the box or the picker for the row, in place of the toolbar.
void ShowParityBox(int row);
void ShowDeviceFrame(int row);
// The mode letter as a row's button shows it.
std::string ModeText(char mode);
