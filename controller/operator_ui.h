// How the controller link reaches the operator. The link has no X in it: the
// shell installs its dialogs, home boxes, loading notice, event pumps, task
// stop question, shell command runner and label texts here at start-up.
// Until then every hook has a harmless default that shows nothing, answers
// "no" or "Cancel", and runs nothing.
#pragma once

#include <string>

struct OperatorUi {
    // The modal message box; 1 OK (Retry), 0 Cancel. Default: 0.
    int (*messageDialog)(const std::string& text, int withCancel);
    // The box of a controller that does not answer (label, then fixed lines).
    void (*showHomeMessage)(int label);
    // The home dialog with its Cancel button, shown while the machine homes.
    int (*showHomeDialog)(const std::string& text);
    void (*closeHomeDialog)();
    // The busy notice over the main window.
    void (*showLoading)(const std::string& text);
    void (*hideLoading)();
    // Serves pending events for the given seconds (one pass for 0).
    void (*waitSecondsAll)(int seconds);
    // Asks whether running tasks may be stopped; 1 yes and stopped. Default 0.
    int (*confirmStopTasks)();
    // Echoes and runs a shell command; its wait status. Default -1, not run.
    int (*systemCmd)(const std::string& command);
    // The text of a label, "" when there is none. Default "".
    std::string (*labText)(int label);
    // The operating mode of the last machine-state check; 0 offline. Default 0.
    int (*onlineMode)();
};

// Installs the hooks; a null member keeps the default.
void SetOperatorUi(const OperatorUi& ui);
// Back to the defaults.
void ResetOperatorUi();

// The calls of the link.
int UiMessageDialog(const std::string& text, int withCancel);
void UiShowHomeMessage(int label);
int UiShowHomeDialog(const std::string& text);
void UiCloseHomeDialog();
void UiShowLoading(const std::string& text);
void UiHideLoading();
void UiWaitSecondsAll(int seconds);
int UiConfirmStopTasks();
int UiSystemCmd(const std::string& command);
std::string UiLabText(int label);
int UiOnlineMode();
