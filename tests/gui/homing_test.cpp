// The homing action under a private X server, with a double of the
// controller link's drivers: which boxes it shows (answered by presses from
// inside the loop that waits for them), what it asks the drivers, what the
// probe changer gets on its pty, LastTimeHomed, the lights and the menu.
#include <gtest/gtest.h>

#include "clicker.h"
#include "controller.h"
#include "dialogs.h"
#include "fake_controller.h"
#include "gui.h"
#include "homedialog.h"
#include "homing.h"
#include "labels.h"
#include "mainmenu.h"
#include "msgsys.h"
#include "nap.h"
#include "operator_hooks.h"
#include "settings.h"
#include "vok.h"

#include <X11/Xatom.h>
#include <Xm/PushB.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <ctime>
#include <thread>
#include <unistd.h>

namespace {

using Lines = std::vector<std::string>;

constexpr const char* kLastTimeHomed = "/u/qel/run_data/toolchange/LastTimeHomed";
const std::string kRule = " \n ************************* \n";

// --- the controller double -------------------------------------------------------

struct Double {
    Lines calls;
    int ping = 0;   // 0 answers, -82 silent (serial); board: 1 present
    int status = 1; // serial: 0 homed, 1 not; board: 1 homed, 0 not
    int download = 1;
    int home = 0;       // what home(1) answers
    int homeResult = 0; // the HomeResult it leaves
    int boardOpens = 1;
    // Seen while the machine homes.
    bool busyShown = false;
    bool menuOff = false;
};
Double D;

int Note(const char* call, int result) {
    D.calls.push_back(call);
    return result;
}

const ControllerDriver kSerial = {
    [] { return Note("open", 1); },
    [](int go) {
        if (go == 0) return Note("home0", D.download);
        D.busyShown =
            ShownScreen && ShownScreen == FindWidget(MainForm, "lbl") && ActiveMenuButton == 2;
        D.menuOff = !XtIsSensitive(MainMenuButtons[1]) && !XtIsSensitive(MainMenuButtons[3]);
        HomeResult = D.homeResult;
        return Note("home1", D.home);
    },
    [] { return Note("close", 1); },
    [] { return Note("abort", 0); },
    [] { return Note("ping", D.ping); },
    [] { return Note("status", D.status); },
    [] { return Note("param", 1); },
};

const ControllerDriver kBoard = {
    [] { return Note("open", D.boardOpens); }, nullptr,
    [] { return Note("close", 0); },           [] { return Note("abort", 0); },
    [] { return Note("ping", D.ping); },       [] { return Note("status", D.status); },
    [] { return Note("param", 1); },
};

// --- answering the boxes -------------------------------------------------------------

// Each message box in turn gets the next answer (then Cancel), pressed from
// inside the loop that waits for it; its text is kept. A helper thread pokes
// the main form, so that the handler runs in whatever loop is waiting.
struct Script {
    std::vector<int> answers;
    size_t next = 0;
    Lines texts;
    std::string homeText; // the home dialog's text, once seen
    WidgetBox homeBox;
};
Script* S = nullptr;

void AnswerHandler(Widget, XtPointer, XEvent*, Boolean*) {
    if (!S) return;
    if (HomeDialog && S->homeText.empty()) {
        S->homeText = LabelText(FindWidget(HomeDialog, "msg"));
        S->homeBox = Geometry(HomeDialog);
    }
    if (!MessageForm || !ResponseOKButton || !XtIsSensitive(ResponseOKButton) ||
        !XtIsSensitive(ResponseCancelButton))
        return;
    S->texts.push_back(LabelText(FindWidget(MessageForm, "msg")));
    const int answer = S->next < S->answers.size() ? S->answers[S->next++] : 0;
    Press(answer ? ResponseOKButton : ResponseCancelButton);
}

class Poker {
  public:
    explicit Poker(Window w)
        : thread_([this, w] {
              Display* d = XOpenDisplay(nullptr);
              if (!d) return;
              const Atom name = XInternAtom(d, "QEL_TEST_HOOK", False);
              while (!stop_) {
                  XChangeProperty(d, w, name, XA_STRING, 8, PropModeReplace,
                                  reinterpret_cast<const unsigned char*>("x"), 1);
                  XFlush(d);
                  std::this_thread::sleep_for(std::chrono::milliseconds(30));
              }
              XCloseDisplay(d);
          }) {}
    ~Poker() {
        stop_ = true;
        thread_.join();
    }

  private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Pauses recorded and taken at a hundredth of their length.
std::vector<long> Naps;
void QuickNap(long ms) {
    Naps.push_back(ms);
    if (ms > 0) std::this_thread::sleep_for(std::chrono::microseconds(ms * 10));
}

std::map<int, std::string> HomingLabels() {
    std::map<int, std::string> labels = DefaultTestLabels();
    labels[313] = "L313";
    return labels;
}

UartEntry Changer(const std::string& path) {
    UartEntry e;
    e.name = "PCHANGER";
    e.mode = 'S';
    e.cflag = 0x8BD;
    e.path = path;
    return e;
}

class HomingTest : public testing::Test {
  protected:
    void SetUp() override {
        alarm(120);
        ASSERT_TRUE(gui_.ok());
        MakeMainMenu();
        InstallOperatorHooks();
        Serve(100);
        SetNapHook(QuickNap);
        Naps.clear();
        D = Double{};
        SetControllerDriverForTest(kFamilyA, &kSerial);
        SetControllerDriverForTest(kCounterBoard, &kBoard);
        Station("Ondry");
        box().Write("/u/qel/run_data/toolchange/ToolInvList", "T1\n");
        box().Write("/u/qel/part/DEMO/.keep", "");
        box().Write("/u/qel/sys_data/files/partname", "DEMO");
        OnlineItem = 0;
        ChangerType = 1;
        MsgsysResetForTest();
        ServoOn = MachineHomed = 0;
        S = &script_;
        RunInNextEventPass(AnswerHandler);
        poker_ = std::make_unique<Poker>(XtWindow(MainForm));
    }
    void TearDown() override {
        poker_.reset();
        S = nullptr;
        SetControllerDriverForTest(kFamilyA, nullptr);
        SetControllerDriverForTest(kCounterBoard, nullptr);
        SetNapHook(nullptr);
        alarm(0);
    }
    const Sandbox& box() const { return gui_.box(); }
    void Station(const char* type) {
        box().WriteUart({ServoEntry(type), Changer(changer_.SlavePath())});
    }
    // What the changer got since the last call.
    std::string ChangerBytes() {
        changer_.Pump(0);
        std::string bytes = changer_.ReceivedBytes();
        changer_.Flush();
        return bytes;
    }
    // The state every way out of the action leaves.
    void ExpectClosedDown() {
        EXPECT_EQ(ShownScreen, nullptr);
        EXPECT_EQ(ActiveMenuButton, 0);
        EXPECT_EQ(FindWidget(MainForm, "lbl"), nullptr) << "the busy label is gone";
        EXPECT_EQ(LabelText(StatusLine), "");
        EXPECT_EQ(HomeDialog, nullptr);
        // The menu follows the machine state again.
        EXPECT_EQ(XtIsSensitive(MainMenuButtons[0]) != 0, ServoOn == 0);
        EXPECT_EQ(XtIsSensitive(MainMenuButtons[1]) != 0, ServoOn != 0);
        EXPECT_EQ(XtIsSensitive(MainMenuButtons[3]) != 0, ServoOn && MachineHomed);
    }
    bool HomedLightOn() {
        // The homed light is lit exactly when it looks like the servo light
        // of a machine that answers.
        Pixel homed = 0, servo = 0;
        XtVaGetValues(MainMenuIndicators[1], XmNbackground, &homed, nullptr);
        XtVaGetValues(MainMenuIndicators[0], XmNbackground, &servo, nullptr);
        return homed == servo;
    }

    GuiSession gui_{HomingLabels()};
    FakeController changer_;
    Script script_;
    std::unique_ptr<Poker> poker_;
};

TEST_F(HomingTest, OfflineShowsItsMessageAndTouchesNoController) {
    OnlineItem = 2;
    HomeMachine();
    EXPECT_EQ(script_.texts, Lines{"L118" + kRule + "L119 \nL100"});
    EXPECT_TRUE(D.calls.empty());
    EXPECT_EQ(ChangerBytes(), "");
    ExpectClosedDown();
}

TEST_F(HomingTest, ASilentControllerIsReported) {
    D.ping = kServoTimeout;
    HomeMachine();
    EXPECT_EQ(script_.texts, Lines{"L116 \nL121" + kRule + "L100"});
    EXPECT_EQ(D.calls, (Lines{"param", "open", "ping", "close"}));
    EXPECT_EQ(ServoOn, 0);
    ExpectClosedDown();
}

// The homing asks the service screen's question through the link's hook;
// Cancel leaves the task and the machine alone.
TEST_F(HomingTest, TasksThatMayNotStopLeaveTheMachineAlone) {
    TaskSlot.state = SLOT_RUNNING;
    MachineHomed = 1;
    HomeMachine();
    EXPECT_TRUE(D.calls.empty());
    EXPECT_EQ(script_.texts, Lines{"L74 \nL94 \nL64"});
    EXPECT_EQ(MachineHomed, 1);
    EXPECT_EQ(FindWidget(MainForm, "lbl"), nullptr);
    EXPECT_EQ(ShownScreen, nullptr);
    EXPECT_EQ(ActiveMenuButton, 0);
    MsgsysResetForTest();
}

TEST_F(HomingTest, DeclinedHomingClosesTheLine) {
    D.status = 0; // homed already
    script_.answers = {0};
    HomeMachine();
    EXPECT_EQ(script_.texts, Lines{"L67" + kRule + "L1" + kRule + "L66"});
    EXPECT_EQ(D.calls,
              (Lines{"param", "open", "ping", "status", "close", "open", "home0", "close"}));
    EXPECT_EQ(MachineHomed, 1) << "as the machine-state check found it";
    EXPECT_EQ(ChangerBytes(), "") << "the changer hears nothing";
    EXPECT_FALSE(box().Exists(kLastTimeHomed));
    EXPECT_TRUE(HomedLightOn());
    ExpectClosedDown();
}

TEST_F(HomingTest, SerialHomingOutcomes) {
    // The changer gets its letters before the homing and, when the machine
    // is homed, after it: with a probe loaded the same both times, without
    // one (an empty changer) D I before and D J after.
    struct Case {
        const char* what;
        int download, home, homeResult;
        bool homed;
        const char* inventory;
        const char* changer;
    };
    const Case cases[] = {
        {"homed", 1, 0, 0, true, "T1\n", "K\rJ\rK\rJ\r"},
        {"homed, the changer empty", 1, 0, 0, true, "NONE\n", "D\rI\rD\rJ\r"},
        {"homed after a silent download", -82, 0, 0, true, "T1\n", "K\rJ\rK\rJ\r"},
        {"given up or cancelled", 1, 1, 99, false, "T1\n", "K\rJ\r"},
        {"given up, the changer empty", 1, 1, 99, false, "EMPTY\n", "D\rI\r"},
        {"answered 0 but cancelled", 1, 0, 99, false, "NONE\n", "D\rI\r"},
        {"closing query failed", 1, -128, -128, false, "T1\n", "K\rJ\r"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        box().Remove(kLastTimeHomed);
        box().Write("/u/qel/run_data/toolchange/ToolInvList", c.inventory);
        D = Double{};
        D.download = c.download;
        D.home = c.home;
        D.homeResult = c.homeResult;
        script_ = Script{};
        script_.answers = {1};
        Naps.clear();
        const long t0 = static_cast<long>(std::time(nullptr));
        HomeMachine();
        const long t1 = static_cast<long>(std::time(nullptr));
        EXPECT_EQ(script_.texts, Lines{"L1" + kRule + "L66"}) << "asked whatever the download said";
        EXPECT_EQ(D.calls, (Lines{"param", "open", "ping", "status", "close", "open", "home0",
                                  "home1", "close"}));
        EXPECT_TRUE(D.busyShown) << "the busy label is the shown screen of button 2";
        EXPECT_TRUE(D.menuOff);
        EXPECT_EQ(MachineHomed, c.homed ? 1 : 0);
        EXPECT_EQ(HomedLightOn(), c.homed);
        EXPECT_EQ(ChangerBytes(), c.changer);
        EXPECT_EQ(std::count(Naps.begin(), Naps.end(), 2000L),
                  static_cast<long>(std::string(c.changer).size() / 2))
            << "a pause after each letter";
        if (c.homed) {
            const std::string stamp = box().Read(kLastTimeHomed);
            ASSERT_FALSE(stamp.empty());
            EXPECT_TRUE(std::all_of(stamp.begin(), stamp.end(), [](unsigned char ch) {
                return std::isdigit(ch);
            })) << stamp;
            const long t = std::stol(stamp);
            EXPECT_GE(t, t0);
            EXPECT_LE(t, t1);
        } else {
            EXPECT_FALSE(box().Exists(kLastTimeHomed));
        }
        ExpectClosedDown();
    }
}

TEST_F(HomingTest, CounterBoardCancel) {
    Station("TORVI");
    D.ping = 1;   // the board is there
    D.status = 0; // not homed: no question
    OutsideClicker user([](const XClient& x) {
        const TopWindowInfo top = x.WaitForTopWindow(575, 175, 10000);
        ASSERT_NE(top.id, 0u);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        XWindowId cancel = 0;
        for (int i = 0; i < 100 && !(cancel = DialogButton(x, top, false)); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_NE(cancel, 0u);
        EXPECT_EQ(DialogButton(x, top, true), 0u) << "Cancel only";
        x.ClickWindow(cancel);
    });
    HomeMachine();
    user.Join();
    EXPECT_EQ(script_.homeText, " ************************* \nL311 \nL310" + kRule);
    EXPECT_EQ(script_.homeBox.width, 575);
    EXPECT_EQ(script_.homeBox.height, 175);
    EXPECT_EQ(D.calls, (Lines{"param", "ping", "status", "open", "abort", "close"}));
    EXPECT_EQ(MachineHomed, 0);
    EXPECT_EQ(HomeResult, 99);
    EXPECT_EQ(HomeAbort, 1);
    EXPECT_GT(std::count(Naps.begin(), Naps.end(), 20L), 0) << "the wait naps between polls";
    EXPECT_TRUE(script_.texts.empty());
    ExpectClosedDown();
}

TEST_F(HomingTest, CounterBoardAlreadyHomedAsksFirst) {
    Station("TORVI");
    D.ping = 1;
    D.status = 1; // homed
    script_.answers = {0};
    HomeMachine();
    EXPECT_EQ(script_.texts, Lines{"L312" + kRule + "L313"});
    EXPECT_EQ(D.calls, (Lines{"param", "ping", "status"}));
    EXPECT_EQ(MachineHomed, 1);
    ExpectClosedDown();
}

} // namespace
