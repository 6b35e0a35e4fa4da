// The message poll end to end: the program against the simulated message
// server under a private Xvfb, with replies injected through the
// simulator's send command.
//
// The first tests run the program's binary and watch it from outside (the
// server's request log and the console). The others run the program's own
// start-up and main loop (VokMain, all that main does) in a forked child
// with a probe in its toolkit thread: the probe reports the task slot, the
// main menu's flags and sensitivity, the lights and the loading notice,
// opens and closes a placeholder screen the way a screen does (a work window
// in ShownScreen, ActiveMenuButton set, the menu greyed; on closing the flags
// applied), and runs the execute screen's OK with execute chosen. The
// messages that the poll shows are echoed on the console ("MESSAGE: ...").
#include <gtest/gtest.h>

#include "clicker.h"
#include "execute.h"
#include "mainmenu.h"
#include "filescreen.h"
#include "makers.h"
#include "msgsys.h"
#include "proc.h"
#include "sandbox.h"
#include "startup.h"
#include "vok.h"
#include "vok_run.h"
#include "xvfb.h"

#include <Xm/Xm.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/ipc.h>
#include <sys/msg.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Sends one reply to the program through the simulator.
void Inject(const Sandbox& box, pid_t to, const std::string& fields) {
    const std::string cmd = std::string("\"") + QEL_MSGSIM_PATH + "\" send --key-file \"" +
                            box.Path("/usr/bin/XSRVR") + "\" --to " + std::to_string(to) + " " +
                            fields;
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
}

std::vector<std::string> RequestsOf(const Sandbox& box, int code) {
    std::vector<std::string> out;
    for (const std::string& line : box.ServerLog())
        if (JsonInt(line, "code") == code) out.push_back(line);
    return out;
}

// The poll handles one reply a second, in order: once the console shows a
// marker reply (status -1, reported and dropped) injected after a reply,
// that reply has been handled.
void InjectAndWaitHandled(const Sandbox& box, ChildProcess& vok, const std::string& fields,
                          int marker) {
    Inject(box, vok.pid(), fields);
    Inject(box, vok.pid(), "--code 0 --status -1 --task " + std::to_string(marker));
    ASSERT_TRUE(vok.WaitForOutput("ReceiveMessage: reply 0 for task " + std::to_string(marker) +
                                      " with status -1 dropped\n",
                                  5000))
        << vok.Output();
}

TEST(MsgsysE2E, DriversStartAndTheRunFollowsTheReadyReportOnce) {
    ScopedEnv fast("QEL_NAP_PERCENT", "10");
    XvfbServer x(800, 600);
    ASSERT_TRUE(x.ok());
    SandboxOptions options = Sandbox::DefaultOptions();
    options.printerDrivers = {"PLT"};
    Sandbox box(options);
    WriteOfflineStation(box);
    UartEntry plotter;
    plotter.name = "PLOTTER";
    plotter.mode = 'S';
    plotter.cflag = 0x8BD;
    plotter.type = "PLT";
    plotter.description = "colour plotter";
    box.WriteUart({ServoEntry(), plotter});
    box.SetServerArgs("--ready-after-create -1 --run-end never");
    VokRun run(box);
    ChildProcess& vok = run.child();
    ASSERT_TRUE(vok.WaitForOutput("ChangeCursor\n", kStartupMs)) << vok.Output();

    // The server came up with this start: the driver types went to it, and
    // the plotter's driver runs as driver 0.
    const auto types = RequestsOf(box, 38);
    ASSERT_EQ(types.size(), 1u);
    EXPECT_EQ(JsonInt(types[0], "arg"), -1);
    EXPECT_NE(types[0].find("\"types\":[\"\",\"PLT\",\"\"]"), std::string::npos) << types[0];
    EXPECT_TRUE(WaitUntil(
        [&] {
            for (const std::string& l : box.ScriptsLog())
                if (l == "PLT [0] [" + box.root() + "/dev/M_PLOTTER] [S] [2237] [colour plotter]")
                    return true;
            return false;
        },
        5000));

    // Created: the run waits for the task to report ready.
    InjectAndWaitHandled(box, vok, "--code 14 --status 0 --task 101 --value 4", 1);
    EXPECT_TRUE(RequestsOf(box, 16).empty());

    InjectAndWaitHandled(box, vok, "--code 17 --task 101 --substate 20", 2);
    auto runs = RequestsOf(box, 16);
    ASSERT_EQ(runs.size(), 1u) << vok.Output();
    EXPECT_EQ(JsonInt(runs[0], "arg"), 4);
    EXPECT_EQ(JsonInt(runs[0], "sender"), vok.pid());
    EXPECT_EQ(JsonInt(runs[0], "task"), 101);
    EXPECT_EQ(JsonInt(runs[0], "data"), 0x10000);
    EXPECT_EQ(JsonStr(runs[0], "type"), "llf");
    EXPECT_EQ(JsonInt(runs[0], "runmode"), 3);

    // Running, then ready again: no second run request.
    InjectAndWaitHandled(box, vok, "--code 17 --task 101 --substate 21", 3);
    InjectAndWaitHandled(box, vok, "--code 17 --task 101 --substate 20", 4);
    EXPECT_EQ(RequestsOf(box, 16).size(), 1u);

    // An oversized message is taken (cut), and the next reply still counts.
    InjectAndWaitHandled(box, vok, "--code 0 --size 400", 5);
    // Created again while the slot holds the task ready: the run goes out at
    // once.
    InjectAndWaitHandled(box, vok, "--code 14 --status 0 --task 101 --value 114", 6);
    runs = RequestsOf(box, 16);
    ASSERT_EQ(runs.size(), 2u) << vok.Output();
    EXPECT_EQ(JsonInt(runs[1], "task"), 101);
    EXPECT_EQ(JsonInt(runs[1], "arg"), 114);
    EXPECT_EQ(JsonInt(runs[1], "runmode"), 11);
    EXPECT_TRUE(vok.Running());
}

// Killed, the program leaves its server behind; started again, it gets a
// fresh server of its own, since the stop script at its start stops the old
// one and removes its queue.
TEST(MsgsysE2E, AKilledProgramStartedAgainGetsAFreshServer) {
    ScopedEnv fast("QEL_NAP_PERCENT", "10");
    XvfbServer x(800, 600);
    ASSERT_TRUE(x.ok());
    Sandbox box;
    WriteOfflineStation(box);
    auto helloOf = [&](pid_t client) {
        for (const std::string& line : RequestsOf(box, 48))
            if (JsonInt(line, "sender") == client) return line;
        return std::string();
    };
    pid_t firstClient = 0;
    long firstServer = 0;
    {
        VokRun first(box);
        ASSERT_TRUE(first.child().WaitForOutput("ChangeCursor\n", kStartupMs))
            << first.child().Output();
        firstClient = first.child().pid();
        ASSERT_TRUE(WaitUntil([&] { return !helloOf(firstClient).empty(); }, 5000));
        firstServer = JsonInt(helloOf(firstClient), "server");
        first.child().Kill();
    }
    ASSERT_GT(firstServer, 0);
    ASSERT_EQ(kill(static_cast<pid_t>(firstServer), 0), 0) << "the server outlives the program";

    box.Remove("/vok.out"); // the first run's console is not the second's
    VokRun second(box);
    ChildProcess& vok = second.child();
    ASSERT_TRUE(vok.WaitForOutput("ChangeCursor\n", kStartupMs)) << vok.Output();
    const std::string out = vok.Output();
    EXPECT_NE(out.find("SYSTEM('/usr/bin/xserver " + std::to_string(vok.pid()) + "&')"),
              std::string::npos)
        << out;
    EXPECT_EQ(out.find("Could Not Start XServer"), std::string::npos) << out;
    ASSERT_TRUE(WaitUntil([&] { return !helloOf(vok.pid()).empty(); }, 5000));
    const long secondServer = JsonInt(helloOf(vok.pid()), "server");
    EXPECT_GT(secondServer, 0);
    EXPECT_NE(secondServer, firstServer);
    // The old server has ended (or waits only to be reaped).
    auto ended = [&] {
        std::string stat;
        if (!ReadFileBytes("/proc/" + std::to_string(firstServer) + "/stat", &stat)) return true;
        const size_t close = stat.rfind(')');
        return close != std::string::npos && stat.compare(close + 1, 3, " Z ") == 0;
    };
    EXPECT_TRUE(WaitUntil(ended, 5000));
}

// ---- the probed program ----

// Forwards to the main window's side and remembers what the lights were
// told.
class LightRecorder : public ReplyUi {
  public:
    void Light(int index, bool on) override {
        if (index >= 0 && index < 5) told[index] = on ? '1' : '0';
        real->Light(index, on);
    }
    void UpdateMenu() override { real->UpdateMenu(); }
    void ApplyMenu() override { real->ApplyMenu(); }
    void Message(const std::string& text) override {
        std::string line = text;
        for (char& c : line)
            if (c == '\n') c = '|';
        std::printf("MESSAGE: %s\n", line.c_str());
        std::fflush(stdout);
        real->Message(text);
    }
    bool LoadingShown() const override { return real->LoadingShown(); }
    void HideLoading() override { real->HideLoading(); }
    void RaiseMainWindow() override { real->RaiseMainWindow(); }
    void CloseExitScreen() override { real->CloseExitScreen(); }

    ReplyUi* real = nullptr;
    char told[6] = "-----";
};

LightRecorder Recorder;
int ProbeIn = -1;
int ProbeOut = -1;
std::string ProbeLine;
// The colour of a dark light, taken at the first poll (all lights off), and
// of a lit one: light 0, on from the machine-state check on (servo on).
Pixel DarkPixel = 0;
Pixel LitPixel = 0;

Pixel Background(Widget w) {
    Pixel p = 0;
    if (w) XtVaGetValues(w, XmNbackground, &p, nullptr);
    return p;
}

std::string ProbeState() {
    std::string flags, sens;
    for (int i = 0; i < kMainMenuRows; ++i) {
        flags += MainMenuTable[i].enabled ? '1' : '0';
        sens += MainMenuButtons[i] && XtIsSensitive(MainMenuButtons[i]) ? '1' : '0';
    }
    // How each light looks: 1 lit, 0 dark, ? neither.
    LitPixel = Background(MainMenuIndicators[0]);
    std::string looks;
    for (int i = 0; i < 5; ++i) {
        const Pixel bg = Background(MainMenuIndicators[i]);
        looks += bg == LitPixel ? '1' : bg == DarkPixel ? '0' : '?';
    }
    char buf[320];
    std::snprintf(buf, sizeof buf,
                  "slot=%d id=%d cur=%d pending=%d flags=%s sens=%s told=%s looks=%s "
                  "lookalike=%d loading=%d part=%s",
                  TaskSlot.state, TaskSlot.id, CurrentTaskId, RunPending, flags.c_str(),
                  sens.c_str(), Recorder.told, looks.c_str(), LitPixel == DarkPixel ? 1 : 0,
                  LoadMessageShown, CurrentPart.c_str());
    return buf;
}

std::string ProbeCommand(const std::string& cmd) {
    if (cmd == "open") {
        Widget w = MakeWorkWindow(0);
        XtManageChild(w);
        ShownScreen = w;
        ActiveMenuButton = 9;
        DisableMainMenu();
        return "ok";
    }
    if (cmd == "execute") {
        ShowExecuteScreen();
        const ChoiceScreen& screen = ExecuteScreenState();
        if (!ChoiceShown(screen)) return "not shown";
        XtCallCallbacks(screen.buttons.at(0), XmNactivateCallback, nullptr);
        ExecuteOk(nullptr, nullptr, nullptr);
        return "ok";
    }
    if (cmd == "close") {
        if (ShownScreen) XtDestroyWidget(ShownScreen);
        ShownScreen = nullptr;
        ActiveMenuButton = 0;
        ApplyMainMenu();
        return "ok";
    }
    return ProbeState();
}

void ProbeInputCB(XtPointer, int* fd, XtInputId*) {
    char buf[256];
    const ssize_t n = read(*fd, buf, sizeof buf);
    if (n <= 0) return;
    ProbeLine.append(buf, static_cast<size_t>(n));
    size_t end;
    while ((end = ProbeLine.find('\n')) != std::string::npos) {
        const std::string reply = ProbeCommand(ProbeLine.substr(0, end)) + "\n";
        ProbeLine.erase(0, end + 1);
        if (write(ProbeOut, reply.data(), reply.size()) < 0) _exit(3);
    }
}

// Runs in the toolkit's thread from the first poll on.
void ProbeHook() {
    static bool added = false;
    if (added) return;
    added = true;
    DarkPixel = Background(MainMenuIndicators[4]);
    XtAppAddInput(AppContext, ProbeIn, reinterpret_cast<XtPointer>(XtInputReadMask), ProbeInputCB,
                  nullptr);
}

class ProbedVok {
  public:
    explicit ProbedVok(const Sandbox& box) : out_(box.root() + "/vok.out") {
        int toChild[2], fromChild[2];
        if (pipe(toChild) != 0 || pipe(fromChild) != 0) return;
        std::fflush(stdout);
        pid_ = fork();
        if (pid_ == 0) {
            int null = open("/dev/null", O_RDONLY);
            dup2(null, 0);
            int out = open(out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(out, 1);
            dup2(out, 2);
            close(toChild[1]);
            close(fromChild[0]);
            ProbeIn = toChild[0];
            ProbeOut = fromChild[1];
            Recorder.real = SetReplyUi(&Recorder);
            SetPollHookForTest(ProbeHook);
            char name[] = "vok";
            char* argv[] = {name, nullptr};
            VokMain(1, argv);
            _exit(0);
        }
        close(toChild[0]);
        close(fromChild[1]);
        in_ = toChild[1];
        reply_ = fromChild[0];
    }
    ~ProbedVok() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            int status = 0;
            waitpid(pid_, &status, 0);
        }
        if (in_ >= 0) close(in_);
        if (reply_ >= 0) close(reply_);
    }
    ProbedVok(const ProbedVok&) = delete;
    ProbedVok& operator=(const ProbedVok&) = delete;

    pid_t pid() const { return pid_; }
    std::string Output() const {
        std::string s;
        ReadFileBytes(out_, &s);
        return s;
    }
    // The probe's answer to a command; "" when none came within the time.
    std::string Ask(const std::string& cmd, int timeoutMs = 5000) {
        const std::string line = cmd + "\n";
        if (write(in_, line.data(), line.size()) < 0) return "";
        std::string got;
        pollfd p{reply_, POLLIN, 0};
        while (got.find('\n') == std::string::npos) {
            if (poll(&p, 1, timeoutMs) <= 0) return "";
            char buf[512];
            const ssize_t n = read(reply_, buf, sizeof buf);
            if (n <= 0) return "";
            got.append(buf, static_cast<size_t>(n));
        }
        return got.substr(0, got.find('\n'));
    }
    // Asks for the state until it holds the text.
    bool WaitForState(const std::string& text, std::string* last, int timeoutMs = 5000) {
        return WaitUntil([&] { return (*last = Ask("state")).find(text) != std::string::npos; },
                         timeoutMs);
    }

  private:
    std::string out_;
    pid_t pid_ = -1;
    int in_ = -1;
    int reply_ = -1;
};

// The value of a "key=value" field of the probe's state.
std::string Field(const std::string& state, const std::string& key) {
    const size_t at = state.find(key + "=");
    if (at == std::string::npos) return "";
    const size_t start = at + key.size() + 1;
    return state.substr(start, state.find(' ', start) - start);
}

class ProbedE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(x_.ok());
        // The demo station: offline, with its part and its colours.
        std::string error;
        ASSERT_TRUE(box_.LayOutDemo(&error)) << error;
        box_.SetServerArgs(ServerArgs());
        vok_ = std::make_unique<ProbedVok>(box_);
        ASSERT_TRUE(WaitUntil([&] { return Output().find("ChangeCursor\n") != std::string::npos; },
                              kStartupMs))
            << Output();
        ASSERT_TRUE(vok_->WaitForState("slot=", &state_, kStartupMs)) << Output();
        ASSERT_EQ(Field(state_, "lookalike"), "0") << "lit and dark lights look alike";
    }
    virtual std::string ServerArgs() const { return "--ready-after-create -1 --run-end never"; }
    std::string Output() const { return vok_->Output(); }
    void Inject(const std::string& fields) { ::Inject(box_, vok_->pid(), fields); }
    // Injects a reply and waits until the probe's state holds the text.
    void Expect(const std::string& fields, const std::string& text) {
        Inject(fields);
        EXPECT_TRUE(vok_->WaitForState(text, &state_)) << "after " << fields << ": " << state_;
    }

    ScopedEnv fast_{"QEL_NAP_PERCENT", "10"};
    XvfbServer x_{800, 600};
    Sandbox box_;
    std::unique_ptr<ProbedVok> vok_;
    std::string state_;
};

// Offline station with a valid part: rows 2 to 10.
const char* const kIdleRows = "0111111111";
// After the run request: initialise, load and execute off.
const char* const kRunRows = "0000111111";

TEST_F(ProbedE2E, RepliesMoveTheSlotLightsAndMenu) {
    EXPECT_EQ(Field(state_, "flags"), kIdleRows);
    EXPECT_EQ(Field(state_, "sens"), kIdleRows);
    EXPECT_EQ(Field(state_, "looks"), "11100");

    Expect("--code 14 --status 0 --task 101 --value 4", "cur=101 pending=1");
    EXPECT_EQ(Field(state_, "slot"), "5");
    EXPECT_TRUE(RequestsOf(box_, 16).empty());

    Expect("--code 17 --task 101 --substate 20", "slot=1 id=101");
    EXPECT_EQ(Field(state_, "pending"), "0");
    const auto runs = RequestsOf(box_, 16);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(JsonStr(runs[0], "part"), Field(state_, "part"));
    EXPECT_EQ(JsonStr(runs[0], "part"), "DEMO");
    EXPECT_EQ(Field(state_, "flags"), kRunRows);
    EXPECT_EQ(Field(state_, "sens"), kRunRows);
    EXPECT_EQ(Field(state_, "looks"), "11111");

    Expect("--code 17 --task 101 --substate 22", "slot=2");
    EXPECT_EQ(Field(state_, "looks"), "11110");

    Expect("--code 17 --task 101 --substate 21", "slot=1");
    EXPECT_EQ(Field(state_, "looks"), "11111");

    Expect("--code 14 --status 8 --task 101 --exit 3", "slot=5");
    EXPECT_EQ(Field(state_, "cur"), "0");
    EXPECT_EQ(Field(state_, "looks"), "11100");
    EXPECT_EQ(Field(state_, "flags"), kIdleRows);
    EXPECT_EQ(Field(state_, "sens"), kIdleRows);
}

TEST_F(ProbedE2E, MenuStaysGreyWhileAScreenIsOpen) {
    ASSERT_EQ(vok_->Ask("open"), "ok");
    ASSERT_TRUE(vok_->WaitForState("sens=0000000000", &state_)) << state_;

    Expect("--code 14 --status 0 --task 101 --value 4", "pending=1");
    Expect("--code 17 --task 101 --substate 20", "slot=1");
    EXPECT_EQ(Field(state_, "flags"), kRunRows);
    EXPECT_EQ(Field(state_, "sens"), "0000000000");
    EXPECT_EQ(Field(state_, "looks"), "11111");

    Expect("--code 14 --status 8 --task 101", "slot=5");
    EXPECT_EQ(Field(state_, "flags"), kIdleRows);
    EXPECT_EQ(Field(state_, "sens"), "0000000000");

    // The screen applies the flags when it closes.
    ASSERT_EQ(vok_->Ask("close"), "ok");
    ASSERT_TRUE(vok_->WaitForState(std::string("sens=") + kIdleRows, &state_)) << state_;
}

// The server goes while the loading notice waits for its answer to the
// execute screen's request: killed outright (its queue stays, nobody
// answers), or stopped with its queue. Either way the notice goes, the
// operator is told, and the main menu is live again.
struct GoneCase {
    const char* name;
    int signal;
    const char* line;    // on the console
    const char* message; // shown to the operator
};

void PrintTo(const GoneCase& c, std::ostream* os) {
    *os << c.name;
}

class ServerGoneE2E : public ProbedE2E, public testing::WithParamInterface<GoneCase> {
  protected:
    // The answer to the task request would come after a minute.
    std::string ServerArgs() const override { return "--create-delay 60000 --run-end never"; }
};

TEST_P(ServerGoneE2E, DuringExecuteTheOperatorIsToldAndTheMenuComesBack) {
    const GoneCase& c = GetParam();
    DialogAnswerer operatorAnswers;
    ASSERT_EQ(vok_->Ask("execute"), "ok") << Output();
    ASSERT_TRUE(vok_->WaitForState("loading=1", &state_)) << state_;
    EXPECT_EQ(Field(state_, "flags"), "0000111110");
    ASSERT_TRUE(WaitUntil([&] { return RequestsOf(box_, 14).size() == 1; }, 5000));
    const long server = JsonInt(RequestsOf(box_, 14)[0], "server");
    ASSERT_GT(server, 0);
    ASSERT_EQ(kill(static_cast<pid_t>(server), c.signal), 0);

    EXPECT_TRUE(WaitUntil([&] { return Output().find(c.message) != std::string::npos; }, 15000))
        << Output();
    EXPECT_NE(Output().find(c.line), std::string::npos) << Output();
    ASSERT_TRUE(vok_->WaitForState(std::string("sens=") + kIdleRows, &state_, 10000)) << state_;
    EXPECT_EQ(Field(state_, "loading"), "0");
    EXPECT_EQ(Field(state_, "flags"), kIdleRows);
    EXPECT_EQ(Field(state_, "slot"), "5");
    // Said once.
    const std::string out = Output();
    EXPECT_EQ(out.find(c.message), out.rfind(c.message)) << out;
}

INSTANTIATE_TEST_SUITE_P(
    , ServerGoneE2E,
    testing::Values(
        GoneCase{"Killed", SIGKILL, "CheckMess: no answer from the message server within 6 s\n",
                 "MESSAGE: The message server does not answer.|Press OK to continue.\n"},
        GoneCase{"RemovedWithItsQueue", SIGTERM, "Message System: the message queue is gone (",
                 "MESSAGE: The request could not be sent to the message server.|Press OK to "
                 "continue.\n"}),
    [](const testing::TestParamInfo<GoneCase>& info) { return std::string(info.param.name); });

} // namespace
