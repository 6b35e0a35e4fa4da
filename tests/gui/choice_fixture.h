// Shared fixture of the choice-screen tests: a GUI session with the main
// menu and the loading notice, a private message queue in place of the
// server's, and recorders in place of the password and message dialogs.
#pragma once

#include "choice.h"
#include "gui.h"
#include "queues.h"
#include "mainmenu.h"
#include "makers.h"
#include "msgsys.h"
#include "password.h"
#include "vok.h"
#include "wire.h"

#include <Xm/PushB.h>
#include <Xm/Xm.h>

#include <string>
#include <sys/ipc.h>
#include <sys/msg.h>
#include <unistd.h>
#include <vector>

// What the dialogs were asked, and what they answer.
inline std::vector<int> PasswordItems;
inline int PasswordAnswer = 1;
inline void (*InsidePassword)() = nullptr; // runs inside the password "dialog"
inline std::vector<std::string> Messages;
inline int MessageAnswer = 1;
inline void (*InsideMessage)() = nullptr;

inline int RecordPassword(int item) {
    PasswordItems.push_back(item);
    if (InsidePassword) InsidePassword();
    return PasswordAnswer;
}

inline int RecordMessage(const std::string& text) {
    Messages.push_back(text);
    if (InsideMessage) InsideMessage();
    return MessageAnswer;
}

// The main menu's flags as a string of 0 and 1, row 1 first.
inline std::string MenuFlags() {
    std::string s;
    for (const MainMenuEntry& row : MainMenuTable) s += row.enabled ? '1' : '0';
    return s;
}
inline std::string MenuSensitivity() {
    std::string s;
    for (const MainMenuEntry& row : MainMenuTable) s += XtIsSensitive(row.widget) ? '1' : '0';
    return s;
}
inline void SetMenuFlags(const std::string& flags) {
    for (int i = 0; i < kMainMenuRows; ++i) MainMenuTable[i].enabled = flags[i] == '1';
    ApplyMainMenu();
}

inline Pixel Background(Widget w) {
    Pixel p = 0;
    XtVaGetValues(w, XmNbackground, &p, nullptr);
    return p;
}

// The session's labels, and "L<n>" for every other one up to 400.
inline std::map<int, std::string> ChoiceLabels() {
    std::map<int, std::string> labels = DefaultTestLabels();
    labels[400] = "L400";
    return labels;
}

class ChoiceFixture : public testing::Test {
  public:
    ChoiceFixture() : gui_(ChoiceLabels()) {}

    void SetUp() override {
        alarm(60); // a hang ends the test instead of the suite
        ASSERT_TRUE(gui_.ok());
        MakeMainMenu();
        MakeLoadMessage();
        MsgsysResetForTest();
        MsgQueueId = MakePrivateQueue();
        ASSERT_NE(MsgQueueId, -1);
        queue_ = MsgQueueId;
        MsgKey = 77;
        OwnPid = getpid();
        PasswordItems.clear();
        PasswordAnswer = 1;
        InsidePassword = nullptr;
        Messages.clear();
        MessageAnswer = 1;
        InsideMessage = nullptr;
        SetCheckPasswordHook(RecordPassword);
        SetScreenMessageHook(RecordMessage);
        Serve(50);
    }
    void TearDown() override {
        RemovePrivateQueue(queue_);
        SetCheckPasswordHook(nullptr);
        SetScreenMessageHook(nullptr);
        alarm(0);
    }

    // The requests sent since the last call, in order, as the server reads
    // them.
    std::vector<wire::Msg> Requests() const {
        std::vector<wire::Msg> out;
        wire::Msg m;
        while (msgrcv(queue_, &m, wire::kTextSize, MsgKey, IPC_NOWAIT) >= 0) out.push_back(m);
        return out;
    }
    // A reply of the server to this program.
    void Reply(int code, int task, int subState, int status = 0) const {
        wire::Msg r;
        r.mtype = OwnPid;
        wire::SetInt(r, wire::kCode, code);
        wire::SetInt(r, wire::kTask, task);
        wire::SetInt(r, wire::kSubState, subState);
        wire::SetInt(r, wire::kStatus, status);
        ASSERT_EQ(msgsnd(queue_, &r, wire::kTextSize, IPC_NOWAIT), 0);
    }
    // The main menu's look of a light switched off.
    Pixel DarkLight() {
        if (!dark_) {
            dark_ = XmCreatePushButton(MainForm, const_cast<char*>("dark"), nullptr, 0);
            IndicatorOff(dark_);
        }
        return Background(dark_);
    }

    GuiSession gui_;
    int queue_ = -1;
    Widget dark_ = nullptr;
};
