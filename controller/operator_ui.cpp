// The controller link's hooks to the operator, with their defaults.
#include "operator_ui.h"

namespace {

int NoAnswer(const std::string&, int) {
    return 0;
}
void NoLabelBox(int) {}
int NoDialog(const std::string&) {
    return 0;
}
void Nothing() {}
void NoText(const std::string&) {}
void NoWait(int) {}
int Declined() {
    return 0;
}
int NotRun(const std::string&) {
    return -1;
}
std::string NoLabel(int) {
    return "";
}
int Offline() {
    return 0;
}

const OperatorUi kDefaults = {NoAnswer, NoLabelBox, NoDialog, Nothing, NoText, Nothing,
                              NoWait,   Declined,   NotRun,   NoLabel, Offline};

OperatorUi gUi = kDefaults;

template <typename F> void Take(F& to, F from, F fallback) {
    to = from ? from : fallback;
}

} // namespace

void SetOperatorUi(const OperatorUi& ui) {
    Take(gUi.messageDialog, ui.messageDialog, kDefaults.messageDialog);
    Take(gUi.showHomeMessage, ui.showHomeMessage, kDefaults.showHomeMessage);
    Take(gUi.showHomeDialog, ui.showHomeDialog, kDefaults.showHomeDialog);
    Take(gUi.closeHomeDialog, ui.closeHomeDialog, kDefaults.closeHomeDialog);
    Take(gUi.showLoading, ui.showLoading, kDefaults.showLoading);
    Take(gUi.hideLoading, ui.hideLoading, kDefaults.hideLoading);
    Take(gUi.waitSecondsAll, ui.waitSecondsAll, kDefaults.waitSecondsAll);
    Take(gUi.confirmStopTasks, ui.confirmStopTasks, kDefaults.confirmStopTasks);
    Take(gUi.systemCmd, ui.systemCmd, kDefaults.systemCmd);
    Take(gUi.labText, ui.labText, kDefaults.labText);
    Take(gUi.onlineMode, ui.onlineMode, kDefaults.onlineMode);
}

void ResetOperatorUi() {
    gUi = kDefaults;
}

int UiMessageDialog(const std::string& text, int withCancel) {
    return gUi.messageDialog(text, withCancel);
}
void UiShowHomeMessage(int label) {
    gUi.showHomeMessage(label);
}
int UiShowHomeDialog(const std::string& text) {
    return gUi.showHomeDialog(text);
}
void UiCloseHomeDialog() {
    gUi.closeHomeDialog();
}
void UiShowLoading(const std::string& text) {
    gUi.showLoading(text);
}
void UiHideLoading() {
    gUi.hideLoading();
}
void UiWaitSecondsAll(int seconds) {
    gUi.waitSecondsAll(seconds);
}
int UiConfirmStopTasks() {
    return gUi.confirmStopTasks();
}
int UiSystemCmd(const std::string& command) {
    return gUi.systemCmd(command);
}
std::string UiLabText(int label) {
    return gUi.labText(label);
}
int UiOnlineMode() {
    return gUi.onlineMode();
}
