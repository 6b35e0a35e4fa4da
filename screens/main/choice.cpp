// Choice-screen frame: the pieces that every member's Make, Show, Select, OK
// and Cancel are made of.
#include "choice.h"

#include "colors.h"
#include "dialogs.h"
#include "labels.h"
#include "mainmenu.h"
#include "makers.h"
#include "msgrecord.h"
#include "partsel.h"
#include "settings.h"

#include <cstdint>
#include <cstdio>

int RunChoice = 0;

namespace {

constexpr int kInfoTop = 80;
constexpr int kInfoStep = 30;
constexpr int kInfoLeftX = 20;
constexpr int kInfoRightX = 280;
// The current part's name is too long for a run.
constexpr int kLabelPartTooLong = 308;
// The double-byte language: bytes from 0x80 on come in pairs.
constexpr int kTwoByteLanguage = 6;

ScreenMessageHook MessageHook = nullptr;

XtPointer ValueData(int value) {
    return reinterpret_cast<XtPointer>(static_cast<intptr_t>(value));
}

} // namespace

void MakeChoiceFrame(ChoiceScreen& s, XtCallbackProc ok, XtCallbackProc cancel, int helpIndex,
                     int infoRows) {
    s.window = MakeWorkWindow(2);
    MakeFrameHeader(s.window, &s.row1, &s.row2);
    s.toolbar = MakeWorkToolbar(s.window, ok, cancel, helpIndex, 2);
    // The toolbar leaves the buttons of an earlier one in place of those it
    // does not make: keep only this screen's own.
    s.ok = ok ? WorkOKButton : nullptr;
    s.cancel = cancel ? WorkCancelButton : nullptr;
    for (int row = 0; row < infoRows; ++row) {
        const int y = kInfoTop + row * kInfoStep;
        s.infoLeft.push_back(MakeValueLabel(s.window, kInfoLeftX, y, nullptr));
        s.infoRight.push_back(MakeValueLabel(s.window, kInfoRightX, y, nullptr));
    }
}

Widget MakeChoiceButton(ChoiceScreen& s, int x, int y, const char* style, XtCallbackProc select,
                        int value, int hint, const char* insensitiveStyle) {
    Widget b = MakeIconButton(s.window, x, y, style, 2);
    XtAddCallback(b, XmNactivateCallback, select, ValueData(value));
    XtAddEventHandler(b, HintEventMask, False, HintEventHandler, HintLabel(hint));
    if (insensitiveStyle) SetHelpIcon(b, insensitiveStyle, 2);
    s.buttons.push_back(b);
    return b;
}

void SetHelpIcon(Widget button, const char* style, int mode) {
    SetWidgetIcon(button, style, "HELP.VOK", mode == 2 ? 4 : 5, 0, 10);
}

int NetMonState() {
    if (NetworkOption != 1) return -1;
    return FileExists("/u/qel/xeq/NetMon") ? 1 : 0;
}

void EnsureChoiceMade(ChoiceScreen& s, void (*make)()) {
    if (!s.made) {
        make();
        s.made = 1;
    }
    ChoiceUnmark(s);
}

std::string ScreenLineText(const std::string& label, int language) {
    if (label.size() <= kScreenLineMax) return label;
    if (language != kTwoByteLanguage) return label.substr(0, kScreenLineMax);
    size_t end = 0;
    while (end < label.size()) {
        const size_t width = static_cast<unsigned char>(label[end]) >= 0x80 ? 2 : 1;
        if (end + width > kScreenLineMax) break;
        end += width;
    }
    return label.substr(0, end);
}

std::string CurrentPartLine() {
    return LabText(68) + " \"" + CurrentPart + "\"";
}

void ShowChoiceHeader(const ChoiceScreen& s, int titleLabel, int partLineMode) {
    SetLabelText(LabText(titleLabel), s.row1);
    SetLabelText(CurrentPartLine(), s.row2);
    SetWidgetColors(s.row2, "VokCurrPart", partLineMode, 0, 4);
}

void ShowNetworkLine(Widget left, Widget right) {
    const int r = NetMonState();
    if (r < 0) {
        SetLabelText("", left);
        SetLabelText("", right);
        return;
    }
    SetLabelText(LabText(336), left);
    SetLabelText(LabText(337 + r), right);
}

void SetChoiceToolbar(const ChoiceScreen& s, bool on) {
    SetSensitive(s.ok, on);
    SetSensitive(s.cancel, on);
}

bool ChoiceShown(const ChoiceScreen& s) {
    return s.window != nullptr && ShownScreen == s.window;
}

void ChoiceMark(ChoiceScreen& s, Widget button) {
    SetChoiceButton(button, 1);
    s.marked = button;
}

void ChoiceUnmark(ChoiceScreen& s) {
    if (s.marked) SetChoiceButton(s.marked, 0);
    s.marked = nullptr;
}

void ChoiceSelect(ChoiceScreen& s, Widget button, int value) {
    ChoiceUnmark(s);
    s.choice = value;
    ChoiceMark(s, button);
}

void OpenChoiceScreen(ChoiceScreen& s, void (*make)(), int titleLabel, int partLineMode) {
    EnsureChoiceMade(s, make);
    ShownScreen = s.window;
    s.choice = 0;
    if (s.usesRunChoice) RunChoice = 0;
    ShowChoiceHeader(s, titleLabel, partLineMode);
}

void ManageChoiceScreen(ChoiceScreen& s) {
    SetChoiceToolbar(s, true);
    ChoiceUnmark(s);
    XtManageChild(s.window);
}

void CloseChoiceScreen(ChoiceScreen& s) {
    if (s.window) XtUnmanageChild(s.window);
    ShownScreen = nullptr;
    ChoiceUnmark(s);
    ApplyMainMenu();
    SetStatusLine("");
}

void CancelChoiceScreen(ChoiceScreen& s) {
    ChoiceGuard guard(s.cancelBusy);
    if (!guard.entered()) return;
    SetChoiceToolbar(s, false);
    WaitSeconds(0);
    if (s.window) XtUnmanageChild(s.window);
    ShownScreen = nullptr;
    s.choice = 0;
    if (s.usesRunChoice) RunChoice = 0;
    ChoiceUnmark(s);
    ApplyMainMenu();
    SetStatusLine("");
}

bool CurrentPartRunnable() {
    if (CurrentPart.size() < kMsgPartWidth) return true;
    std::printf("Part name '%s' has %zu characters, a run takes at most %zu\n", CurrentPart.c_str(),
                CurrentPart.size(), kMsgPartWidth - 1);
    std::fflush(stdout);
    ScreenMessage("\"" + CurrentPart + "\"\n\n" + LabText(kLabelPartTooLong));
    return false;
}

int ScreenMessage(const std::string& text) {
    if (MessageHook) return MessageHook(text);
    return MessageDialog(text, 0);
}

void SetScreenMessageHook(ScreenMessageHook hook) {
    MessageHook = hook;
}
