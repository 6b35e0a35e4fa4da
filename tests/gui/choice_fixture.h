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
#include "records.h"
#include "password.h"
#include "vok.h"
#include "wire.h"

#include <Xm/PushB.h>
#include <Xm/Xm.h>

#include <algorithm>
#include <initializer_list>
#include <map>
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

// The drawn picture of a widget, row by row, once every event queued has been
// handled.
struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned long> pixels;
    unsigned long at(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};

inline Picture Drawn(Widget w) {
    for (int pass = 0; pass < 3; ++pass) {
        XSync(TheDisplay, False);
        while (XtAppPending(AppContext) & XtIMXEvent) XtAppProcessEvent(AppContext, XtIMXEvent);
    }
    Picture p;
    const WidgetBox box = Geometry(w);
    XImage* image = XGetImage(TheDisplay, XtWindow(w), 0, 0, static_cast<unsigned>(box.width),
                              static_cast<unsigned>(box.height), AllPlanes, ZPixmap);
    if (!image) return p;
    p.width = box.width;
    p.height = box.height;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) p.pixels.push_back(XGetPixel(image, x, y));
    XDestroyImage(image);
    return p;
}

// How much of its icon a button still shows when insensitive: for each
// colour that makes up the middle of the icon when it is sensitive (a tenth
// of it or more), the share of its pixels that keep it; the lowest share.
// A plain square keeps none of one colour, a grey copy none of the ground;
// the toolkit's stipple keeps about half of each.
inline double IconKept(const Picture& sensitive, const Picture& insensitive) {
    if (sensitive.pixels.empty() || insensitive.pixels.size() != sensitive.pixels.size()) return 0;
    constexpr int kFrom = 20, kTo = 46;
    std::map<unsigned long, int> count, kept;
    for (int y = kFrom; y < kTo; ++y)
        for (int x = kFrom; x < kTo; ++x) {
            ++count[sensitive.at(x, y)];
            if (insensitive.at(x, y) == sensitive.at(x, y)) ++kept[sensitive.at(x, y)];
        }
    double lowest = 1;
    for (const auto& [pixel, n] : count)
        if (n * 10 >= (kTo - kFrom) * (kTo - kFrom))
            lowest = std::min(lowest, static_cast<double>(kept[pixel]) / n);
    return lowest;
}

// The icon files that a test's screens show, from the demo's tree.
inline void CopyDemoIcons(const Sandbox& box, std::initializer_list<const char*> icons) {
    for (const char* icon : icons) {
        std::string bytes;
        ASSERT_TRUE(ReadFileBytes(std::string(QEL_SOURCE_DIR) + "/demo/tree/def_data/icon/" + icon,
                                  &bytes));
        box.Write(std::string("/u/qel/def_data/icon/") + icon, bytes);
    }
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
