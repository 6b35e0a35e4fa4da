// Test double of the controller link's operator hooks: records what the link
// shows and answers from a script. Header only, for the test binaries that
// link the controller link; one recorder at a time.
#pragma once

#include "operator_ui.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

class OperatorUiRecorder {
  public:
    OperatorUiRecorder() {
        Current() = this;
        OperatorUi ui{};
        ui.messageDialog = [](const std::string& text, int withCancel) {
            OperatorUiRecorder& r = *Current();
            r.dialogs.push_back(text);
            r.events.push_back("dialog:" + text);
            (void)withCancel;
            if (r.answers.empty()) return r.defaultAnswer;
            int a = r.answers.front();
            r.answers.erase(r.answers.begin());
            return a;
        };
        ui.showHomeMessage = [](int label) {
            Current()->homeMessages.push_back(label);
            Current()->events.push_back("homeMessage:" + std::to_string(label));
        };
        ui.showHomeDialog = [](const std::string& text) {
            Current()->homeDialogs.push_back(text);
            Current()->events.push_back("homeDialog");
            return 0;
        };
        ui.closeHomeDialog = [] { Current()->events.push_back("closeHomeDialog"); };
        ui.showLoading = [](const std::string& text) {
            Current()->events.push_back("loading:" + text);
        };
        ui.hideLoading = [] { Current()->events.push_back("hideLoading"); };
        ui.waitSecondsAll = [](int seconds) {
            OperatorUiRecorder& r = *Current();
            int pass = r.waitPasses++;
            if (r.onWait) r.onWait(pass, seconds);
        };
        ui.confirmStopTasks = [] {
            Current()->events.push_back("confirmStopTasks");
            return Current()->confirmAnswer;
        };
        ui.systemCmd = [](const std::string& command) {
            Current()->commands.push_back(command);
            Current()->events.push_back("system:" + command);
            if (Current()->runCommand) return Current()->runCommand(command);
            return Current()->commandResult;
        };
        ui.labText = [](int label) {
            auto it = Current()->labels.find(label);
            return it != Current()->labels.end() ? it->second : "L" + std::to_string(label);
        };
        ui.onlineMode = [] { return Current()->online; };
        SetOperatorUi(ui);
    }
    ~OperatorUiRecorder() {
        ResetOperatorUi();
        Current() = nullptr;
    }
    OperatorUiRecorder(const OperatorUiRecorder&) = delete;
    OperatorUiRecorder& operator=(const OperatorUiRecorder&) = delete;

    // Message boxes shown, and the answers given in turn (then defaultAnswer).
    std::vector<std::string> dialogs;
    std::vector<int> answers;
    int defaultAnswer = 0;
    std::vector<int> homeMessages;
    std::vector<std::string> homeDialogs;
    // Passes of the event pump; onWait(pass, seconds) runs in each (a test
    // presses the home dialog's Cancel there).
    int waitPasses = 0;
    std::function<void(int pass, int seconds)> onWait;
    int confirmAnswer = 1;
    std::vector<std::string> commands;
    int commandResult = 0;
    // When set, runs each command and gives its result instead.
    std::function<int(const std::string&)> runCommand;
    // Label texts; a label not listed reads "L<number>".
    std::map<int, std::string> labels;
    int online = 1;
    // Everything shown, in order.
    std::vector<std::string> events;

  private:
    static OperatorUiRecorder*& Current() {
        static OperatorUiRecorder* current = nullptr;
        return current;
    }
};
