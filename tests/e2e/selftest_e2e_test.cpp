// The self test end to end: its screen in this process against the
// controller simulator qel-ctlsim (family A, homed, an error of class 3
// standing with error bits 0 and 1) on the sandbox's /dev/M_SERVO, in real
// time. A status query lists the decoded status and the errors of group 3;
// in debug mode a typed line is answered; Cancel reads a last status and
// closes the line. The simulator's log shows the traffic.
#include <gtest/gtest.h>

#include "generators.h"
#include "gui.h"
#include "online.h"
#include "proc.h"
#include "records.h"
#include "records_text.h"

#include "dbservo.h"
#include "mainmenu.h"
#include "selftest.h"
#include "servotest.h"
#include "test_hooks.h"

#include <Xm/TextF.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

std::map<int, std::string> DemoLabels() {
    std::string text, error;
    std::map<int, std::string> labels;
    ReadFileBytes(std::string(QEL_SOURCE_DIR) + "/demo/labels/e.txt", &text);
    ParseNumberedText(text, &labels, &error);
    return labels;
}

bool Contains(const Lines& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The sandbox with the demo's servo and status texts and a SERVO record.
void PrepareStation(const Sandbox& box) {
    ServoErrorDbResetForTest();
    std::string error;
    ASSERT_TRUE(GenerateServo(std::string(QEL_SOURCE_DIR) + "/demo", box.root(), &error));
    ASSERT_TRUE(GenerateStest(std::string(QEL_SOURCE_DIR) + "/demo", box.root(), &error));
    box.WriteUart({ServoEntry("Ondry", "/dev/M_SERVO")});
    box.Write("/dev/.keep", "");
    box.Write("/sim/.keep", "");
}

TEST(SelfTestE2E, StatusDebugModeAndCancelAgainstTheSimulator) {
    alarm(90);
    GuiSession gui(DemoLabels());
    ASSERT_TRUE(gui.ok());
    const Sandbox& box = gui.box();
    ASSERT_NO_FATAL_FAILURE(PrepareStation(box));
    ChildProcess sim({QEL_CTLSIM_PATH, "--root", box.root(), "--homed", "--error-class", "3",
                      "--f4-mask", "00000003"},
                     {}, box.root() + "/sim/ctlsim.out");
    ASSERT_TRUE(sim.WaitForOutput("qel-ctlsim: /dev/M_SERVO", 5000)) << sim.Output();
    MakeMainMenu();
    const SelfTestScreen& s = SelfTestScreenState();

    Lines status, debug;
    std::string mode;
    const size_t done = RunStepsDuring(
        {
            [&] { return s.row2 && !LabelText(s.row2).empty(); },
            [&] {
                mode = LabelText(s.row2);
                Press(s.status);
                return true;
            },
            [&] { return ListItems(s.list).size() >= 5 && StestState() == kStestNormal; },
            [&] {
                status = ListItems(s.list);
                Press(s.debugOn);
                XmTextFieldSetString(s.entry, const_cast<char*>("HELLO"));
                CallAction(s.entry, "activate");
                return true;
            },
            [&] {
                const Lines items = ListItems(s.list);
                return std::find(items.begin(), items.end(), "? HELLO") != items.end();
            },
            [&] {
                debug = ListItems(s.list);
                Press(s.debugOff);
                Press(s.cancel);
                return true;
            },
        },
        ShowSelfTest);
    EXPECT_EQ(done, 6u);
    EXPECT_EQ(mode, "Normal mode");
    EXPECT_EQ(status, (Lines{"Status: the drives are enabled.", "Status: the machine is homed.",
                             "Errors of group 3 (probe, 128 to 191):", "probe collision",
                             "air pressure too low"}))
        << "status word 0x403, errors 128 and 129";
    EXPECT_EQ(ShownScreen, nullptr);
    EXPECT_EQ(ServoErrorCount(), 0);

    const Lines log = ControllerLog(box);
    for (const char* line : {"<ACK>", "<DC1>", "<DC3>", "NAD80m80", "NAD84m84",
                             "\x1b"
                             "DEBUG",
                             "HELLO", "EXIT"})
        EXPECT_TRUE(Contains(log, line)) << line;
    EXPECT_EQ(std::count(log.begin(), log.end(), "NAD80m80"), 2) << "the query and Cancel's";
    EXPECT_EQ(log.back(), "<DC1>") << "the last byte before the line end";
    sim.Kill();
    alarm(0);
}

// A controller that answers the status query with bytes without end and no
// line end: the screen's read passes still end one after the other, and
// Cancel closes the screen and the line.
TEST(SelfTestE2E, CancelWhileTheControllerStreams) {
    alarm(90);
    GuiSession gui(DemoLabels());
    ASSERT_TRUE(gui.ok());
    const Sandbox& box = gui.box();
    ASSERT_NO_FATAL_FAILURE(PrepareStation(box));
    ChildProcess sim({QEL_CTLSIM_PATH, "--root", box.root(), "--homed", "--stream-from", "1"}, {},
                     box.root() + "/sim/ctlsim.out");
    ASSERT_TRUE(sim.WaitForOutput("qel-ctlsim: /dev/M_SERVO", 5000)) << sim.Output();
    MakeMainMenu();
    const SelfTestScreen& s = SelfTestScreenState();

    // Read passes (each ends with XOFF) since the status query started the
    // stream.
    auto passesSinceQuery = [&box] {
        const Lines log = ControllerLog(box);
        const auto query = std::find(log.begin(), log.end(), "NAD80m80");
        return query == log.end() ? 0 : std::count(query, log.end(), "<DC3>");
    };
    const size_t done = RunStepsDuring({
                                           [&] { return s.row2 && !LabelText(s.row2).empty(); },
                                           [&] {
                                               Press(s.status);
                                               return true;
                                           },
                                           [&] { return passesSinceQuery() >= 3; },
                                           [&] {
                                               Press(s.cancel);
                                               return true;
                                           },
                                       },
                                       ShowSelfTest);
    EXPECT_EQ(done, 4u);
    EXPECT_EQ(ShownScreen, nullptr);
    EXPECT_FALSE(XtIsManaged(s.window));
    const Lines log = ControllerLog(box);
    EXPECT_EQ(std::count(log.begin(), log.end(), "NAD80m80"), 2) << "the query and Cancel's";
    EXPECT_EQ(log.back(), "<DC1>") << "the exit ran to its end";
    sim.Kill();
    alarm(0);
}

} // namespace
