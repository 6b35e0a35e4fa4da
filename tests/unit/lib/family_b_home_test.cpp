// Family B wake-up, parameter check, parameter download and homing, against
// the fake controller (the family B model unless a script says otherwise)
// on the virtual clock.
#include "family_b_fixture.h"

#include <algorithm>

namespace {

using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;
using namespace FamilyB;

const std::string kStars = "*************************";

Lines Join(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

Lines Repeat(const std::string& command, int n) {
    return Lines(static_cast<size_t>(n), command);
}

// --- wake-up and parameter check ---------------------------------------------------------

TEST_F(FamilyBTest, WakeUpBytesAndPauses) {
    ServoClose();
    fake.Flush();
    const size_t naps = clock.Naps().size();
    const long t0 = clock.Now();
    ASSERT_EQ(ServoOpen(), 1);
    EXPECT_GE(ServoLine.fd, 0);
    std::map<long, std::string> byPause;
    for (const FakeController::Byte& b : fake.Received())
        byPause[b.at - t0] += static_cast<char>(b.value);
    const std::map<long, std::string> expect = {{1000, "\r\n\x11"}, {2000, "\r\n\r\n"}};
    EXPECT_EQ(byPause, expect);
    EXPECT_EQ(std::vector<long>(clock.Naps().begin() + naps, clock.Naps().end()),
              (std::vector<long>{1000, 1000, 1000, 1000}))
        << "no reply is awaited";
    EXPECT_EQ(ServoLine.waitCode, 0xF7);
}

TEST_F(FamilyBTest, WakeUpNeedsTheLine) {
    ServoClose();
    box.WriteUart({ServoEntry("KROMI", "/dev/M_SERVO")});
    CaptureStderr();
    EXPECT_EQ(ServoOpen(), 0);
    GetCapturedStderr();
    EXPECT_EQ(ui.dialogs, Lines{"unable to open servo device"}) << "no path in this family's text";
    EXPECT_EQ(ServoLine.fd, -1);
}

TEST_F(FamilyBTest, ParameterCheckIsThePresenceOfTheConstants) {
    const std::string path = "/u/qel/sys_data/files/constant.asc";
    box.Write(path, "");
    CaptureStderr();
    EXPECT_EQ(ServoParam(), 1);
    EXPECT_EQ(GetCapturedStderr(), "");
    box.Remove(path);
    CaptureStderr();
    EXPECT_EQ(ServoParam(), 0);
    EXPECT_EQ(GetCapturedStderr(), "ServoParam(): can not open sysparam file!!!\n");
    EXPECT_EQ(ServoParamDisp(kFamilyB), 0) << "the dispatch reaches it";
}

// --- download -------------------------------------------------------------------------------

Lines Download(const std::string& ph9, const std::string& about, const std::string& signs) {
    return {"ESTATUS",       "DISABLE RELAYS",          "ESTATUS", "SET_PAR FILE_RED",
            "ENABLE RELAYS", "SET_PAR HAVE_PH9," + ph9, about,     "SET_PAR JSTK_SGN," + signs};
}

TEST_F(FamilyBTest, DownloadTranscript) {
    struct Case {
        const char* what;
        std::map<int, SysgenItem> items;
        FamilyBKnobs knobs;
        Lines expect;
    };
    FamilyBKnobs stayOn;
    stayOn.relaysStayOn = true;
    const Lines afterRelays = {"SET_PAR FILE_RED", "ENABLE RELAYS", "SET_PAR HAVE_PH9,0",
                               "DISABLE ABOUT", "SET_PAR JSTK_SGN,1,1,1"};
    const Case cases[] = {
        {"no item set", {}, {}, Download("0", "DISABLE ABOUT", "1,1,1")},
        {"probe head and every joystick sign",
         {{21, IntItem(1)}, {8, IntItem(1)}, {9, IntItem(1)}, {10, IntItem(1)}},
         {},
         Download("1", "ENABLE ABOUT", "-1,-1,-1")},
        {"items other than 1 count as 0",
         {{21, IntItem(2)}, {8, IntItem(-1)}, {9, IntItem(1)}, {10, IntItem(0)}},
         {},
         Download("0", "DISABLE ABOUT", "1,-1,1")},
        {"relays that stay on: ten more ESTATUS",
         {},
         stayOn,
         Join({{"ESTATUS", "DISABLE RELAYS"}, Repeat("ESTATUS", 10), afterRelays})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Items(c.items);
        model = &fake.FamilyB(c.knobs);
        fake.Flush();
        const size_t naps = clock.Naps().size();
        ServoDownloadParams();
        EXPECT_EQ(Commands(), c.expect);
        const int seconds =
            static_cast<int>(std::count(clock.Naps().begin() + naps, clock.Naps().end(), 1000L));
        // A drain after each relay answer and FILE_RED, a pause after each
        // repeated ESTATUS.
        const int rounds =
            static_cast<int>(std::count(c.expect.begin(), c.expect.end(), "ESTATUS")) - 1;
        EXPECT_EQ(seconds, (rounds + 1) + 1 + rounds);
        EXPECT_TRUE(model->relaysOn());
    }
}

TEST_F(FamilyBTest, DownloadWithRelaysAlreadyOffOrASilentController) {
    model->knobs().relaysStayOn = false;
    writeservo("DISABLE RELAYS");
    fake.Pump(clock.Now());
    fake.Flush();
    ServoDownloadParams();
    EXPECT_EQ(Commands(), (Lines{"ESTATUS", "SET_PAR FILE_RED", "ENABLE RELAYS",
                                 "SET_PAR HAVE_PH9,0", "DISABLE ABOUT", "SET_PAR JSTK_SGN,1,1,1"}));
    fake.SetSilent(true);
    fake.Flush();
    ServoDownloadParams();
    EXPECT_EQ(Commands(), (Lines{"ESTATUS", "SET_PAR FILE_RED", "ENABLE RELAYS",
                                 "SET_PAR HAVE_PH9,0", "DISABLE ABOUT", "SET_PAR JSTK_SGN,1,1,1"}))
        << "silence reads as relays off";
}

// --- homing -------------------------------------------------------------------------------

// Status(0) of a machine that is not homed, then the pass up to the motion.
Lines BeforeMotion() {
    return {"ETX", "STX", "STX", "SHOW AUTZER", "STX", "ETX", "STX", "ETX", "STX"};
}

TEST_F(FamilyBTest, HomingBusyThenHomed) {
    model->knobs().homeAfter = 2;
    CaptureStdout();
    EXPECT_EQ(ServoHome(1), 0);
    EXPECT_EQ(GetCapturedStdout(), "...\n\n") << "a dot per status";
    EXPECT_EQ(HomeResult, 0);
    EXPECT_EQ(Commands(), Join({BeforeMotion(),
                                {"STX", "ETX", "PRBTYP NUL", "ENABLE KAMIKAZE", "AUTZER"},
                                {"STX", "STX", "STX", "SHOW AUTZER"},
                                {"STX"}}));
    EXPECT_EQ(ui.homeDialogs, Lines{" " + kStars + " \nL76 \n " + kStars + " \n"});
    EXPECT_EQ(ui.events, (Lines{"homeDialog", "closeHomeDialog"}));
    EXPECT_TRUE(model->homed());
}

TEST_F(FamilyBTest, DownloadRunDoesNotMove) {
    CaptureStdout();
    EXPECT_EQ(ServoHome(0), 1) << "not homed";
    EXPECT_EQ(GetCapturedStdout(), "");
    EXPECT_EQ(Commands(), Join({{"ETX", "STX", "STX", "SHOW AUTZER", "STX", "ETX", "STX"},
                                Download("0", "DISABLE ABOUT", "1,1,1"),
                                {"ETX", "STX", "STX"}}));
    EXPECT_TRUE(ui.events.empty());
}

TEST_F(FamilyBTest, HomingProbeTypes) {
    struct Case {
        int item22, item25;
        const char* probe;
        const char* kamikaze;
    };
    const Case cases[] = {
        {1, 0, "PRBTYP TP2", "ENABLE KAMIKAZE"},
        {1, 1, "PRBTYP TP2", "DISABLE KAMIKAZE"},
        {0, 1, "PRBTYP NUL", "ENABLE KAMIKAZE"},
        {2, 1, "PRBTYP NUL", "ENABLE KAMIKAZE"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.item22) + "/" + std::to_string(c.item25));
        Items({{22, IntItem(c.item22)}, {25, IntItem(c.item25)}});
        fake.Flush();
        CaptureStdout();
        EXPECT_EQ(ServoHome(1), 0);
        GetCapturedStdout();
        const Lines commands = Commands();
        const auto autzer = std::find(commands.begin(), commands.end(), "AUTZER");
        ASSERT_GE(autzer - commands.begin(), 2);
        EXPECT_EQ(Lines(autzer - 2, autzer), (Lines{c.probe, c.kamikaze}));
    }
}

TEST_F(FamilyBTest, HomingCancelledStopsTheMotion) {
    model->knobs().homeAfter = -1; // BUSY without end
    // Pass 0 is the homing's first pump, pass 1 the pass's; the operator
    // presses Cancel in the third round of the motion.
    ui.onWait = [](int pass, int) {
        if (pass == 1 + 3) {
            ServoAbortDisp(kFamilyB);
            HomeResult = 99;
        }
    };
    CaptureStdout();
    EXPECT_EQ(ServoHome(1), 1);
    GetCapturedStdout();
    EXPECT_EQ(HomeResult, 99);
    const Lines commands = Commands();
    const auto autzer = std::find(commands.begin(), commands.end(), "AUTZER");
    EXPECT_EQ(Lines(autzer + 1, commands.end()), (Lines{"STX", "STX", "STX", "EM", "STX"}))
        << "three rounds, the stop, and nothing more";
    EXPECT_FALSE(model->moving());
    EXPECT_TRUE(ui.dialogs.empty()) << "a cancel shows no error box";
}

// A controller that falls silent during the motion ends it, and the
// operator is told, once, that it does not answer; unless they cancelled.
TEST_F(FamilyBTest, SilenceDuringTheMotionIsTold) {
    const std::string told =
        "ServoHome: the controller does not answer, the machine is not homed\n";
    struct Case {
        const char* what;
        int answered; // status rounds answered after AUTZER, then silence
        bool cancel;  // the operator presses Cancel in the first silent round
        const char* console;
        int homeResult;
        std::vector<int> messages;
    };
    const Case cases[] = {
        {"silent from the motion command on", 0, false, ".\n\n", -128, {116}},
        {"silent after two rounds", 2, false, "...\n\n", -128, {116}},
        {"silent, then cancelled", 0, true, ".\n\n", 99, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fake.SetSilent(false);
        fake.Flush();
        model = &fake.FamilyB();
        model->knobs().homeAfter = -1; // BUSY without end while it answers
        ui.events.clear();
        ui.homeMessages.clear();
        ui.waitPasses = 0;
        int rounds = -1; // status requests since AUTZER
        fake.sim().OnFramed([&](long, const FramedByte& f) {
            if (f.kind != FramedByte::Command) return;
            if (f.text == "AUTZER") rounds = 0;
            if (rounds >= 0 && f.text == "\x02" && ++rounds > c.answered) fake.SetSilent(true);
        });
        ui.onWait = [&](int pass, int) {
            // Passes 0 and 1 come before the motion.
            if (c.cancel && pass == 2 + c.answered) {
                ServoAbortDisp(kFamilyB);
                HomeResult = 99;
            }
        };
        CaptureStdout();
        EXPECT_EQ(ServoHome(1), 1);
        EXPECT_EQ(GetCapturedStdout(), c.console + (c.messages.empty() ? "" : told));
        EXPECT_EQ(HomeResult, c.homeResult);
        EXPECT_EQ(ui.homeMessages, c.messages);
        EXPECT_TRUE(ui.dialogs.empty()) << "no error box";
        ASSERT_GE(ui.events.size(), 2u);
        EXPECT_EQ(ui.events[0], "homeDialog");
        EXPECT_EQ(ui.events[1], "closeHomeDialog") << "the dialog is gone before the message";
    }
    fake.sim().OnFramed(nullptr);
    ui.onWait = nullptr;
}

TEST_F(FamilyBTest, HomingErrorAfterTheMotion) {
    for (int form : {1, 2}) {
        SCOPED_TRACE(form);
        model->knobs().errorText = "axis X limit";
        model->knobs().errorForm = form;
        fake.Flush();
        ui.dialogs.clear();
        ui.answers = {1, 0}; // Retry, then Cancel
        HomeResult = 0;
        CaptureStdout();
        CaptureStderr();
        EXPECT_EQ(ServoHome(1), 99);
        GetCapturedStdout();
        EXPECT_EQ(GetCapturedStderr(), "SERVO ERROR  1: axis X limit\n"
                                       "SERVO ERROR  1: axis X limit\n");
        EXPECT_EQ(HomeResult, 99);
        const std::string box = "L104 \naxis X limit\nL190";
        EXPECT_EQ(ui.dialogs, (Lines{box, box}));
        EXPECT_EQ(fake.Count("AUTZER"), 2) << "Retry moves again";
        const Lines commands = Commands();
        const auto autzer = std::find(commands.begin(), commands.end(), "AUTZER");
        EXPECT_EQ(Lines(autzer + 1, autzer + 3), (Lines{"STX", "ETX"}))
            << "the error answered with ETX";
    }
}

TEST_F(FamilyBTest, HomingStartOutcomes) {
    const std::vector<FakeReply> prompt = {Line("%")};
    const std::vector<FakeReply> silent = {};
    struct Case {
        const char* what;
        int go;
        std::vector<std::vector<FakeReply>> stx;
        int result;
        int homeResult;
        std::vector<int> homeMessages;
        int motions = 0;
    };
    const Case cases[] = {
        {"controller silent", 1, {silent}, -82, -82, {105}},
        {"no answer to the status request", 1, {prompt, silent}, -128, -128, {105}},
        // A status of 2 always counts as not homed; the download then runs.
        {"an error before homing", 0, {prompt, {Line("ERROR")}, prompt}, 1, 1, {}},
        // Nor does it stop the homing: no error box before the motion.
        {"an error before the motion", 1, {prompt, {Line("ERROR")}, prompt}, 0, 0, {}, 1},
        // The closing query: the sixth STX of a download run.
        {"the closing query silent",
         0,
         {prompt, prompt, prompt, prompt, prompt, silent},
         -128,
         -128,
         {}},
        {"the closing query answered with an error",
         0,
         {prompt, prompt, prompt, prompt, prompt, {Line("ERROR")}},
         -128,
         -128,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fake.Flush();
        fake.On("\x02", c.stx);
        model = &fake.FamilyB();
        ui.homeMessages.clear();
        CaptureStdout();
        EXPECT_EQ(ServoHome(c.go), c.result);
        GetCapturedStdout();
        EXPECT_EQ(HomeResult, c.homeResult);
        EXPECT_EQ(ui.homeMessages, c.homeMessages);
        EXPECT_EQ(fake.Count("AUTZER"), c.motions);
        EXPECT_TRUE(ui.dialogs.empty());
    }
}

} // namespace
