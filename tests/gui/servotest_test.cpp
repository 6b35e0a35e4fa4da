// The self test screen under Xvfb, against the fake controller (the family
// A model) on a pty: it opens with the prompt entered, a status query fills
// the reply list with the decoded texts, a typed line goes out and is
// echoed, Cancel ends its loop with the line closed, and it opens again.
// The demo's labels, icons, status texts and servo error texts make the
// screenshot for the README (self-test.png in QEL_SCREENSHOT_DIR).
#include <gtest/gtest.h>

#include "fake_controller.h"
#include "generators.h"
#include "gui.h"
#include "records.h"
#include "records_text.h"
#include "virtual_clock.h"

#include "choice.h"
#include "colors.h"
#include "dbservo.h"
#include "mainmenu.h"
#include "selftest.h"
#include "servotest.h"
#include "test_hooks.h"
#include "vok.h"

#include <Xm/TextF.h>

#include <chrono>
#include <ctime>

#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>
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

class SelfTestScreenTest : public testing::Test {
  public:
    SelfTestScreenTest() : gui_(DemoLabels()) {}

    void SetUp() override {
        alarm(60);
        ASSERT_TRUE(gui_.ok());
        ServoErrorDbResetForTest();
        const Sandbox& box = gui_.box();
        std::error_code ec;
        std::filesystem::copy(std::string(QEL_SOURCE_DIR) + "/demo/tree/def_data",
                              box.Path("/u/qel/def_data"),
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing,
                              ec);
        ASSERT_FALSE(ec) << ec.message();
        UpdateQELColors("colors.QEL");
        std::string error;
        ASSERT_TRUE(GenerateServo(std::string(QEL_SOURCE_DIR) + "/demo", box.root(), &error));
        ASSERT_TRUE(GenerateStest(std::string(QEL_SOURCE_DIR) + "/demo", box.root(), &error));
        box.WriteUart({ServoEntry("Ondry", "/dev/M_SERVO")});
        box.Write("/dev/.keep", "");
        ASSERT_EQ(symlink(fake.SlavePath().c_str(), box.Path("/dev/M_SERVO").c_str()), 0);
        FamilyAKnobs knobs;
        knobs.homed = true;
        knobs.errorClass = 1;
        knobs.f4Mask = "00000005";
        fake.FamilyA(knobs);
        fake.Attach(clock);
        CurrentPart = "DEMO";
        MakeMainMenu();
        DisableMainMenu();
    }
    void TearDown() override {
        ServoErrorDbResetForTest();
        alarm(0);
    }
    // Opens the self test with the steps to run in its loop: how many ran.
    size_t Run(std::vector<std::function<bool()>> steps) {
        return RunStepsDuring(std::move(steps), ShowSelfTest);
    }
    static const SelfTestScreen& S() { return SelfTestScreenState(); }

    GuiSession gui_;
    FakeController fake;
    VirtualClock clock;
};

TEST_F(SelfTestScreenTest, StatusTypedLineAndCancel) {
    bool shownInLoop = false;
    Lines replies;
    std::string mode, echo;
    // The first passes of the loop frame their reads with ACK XON.
    auto looping = [&] {
        const std::string sent = fake.ReceivedBytes();
        return sent.find("\x06\x11", sent.find("\r\n")) != std::string::npos;
    };
    const size_t done = Run({
        looping,
        [&] {
            shownInLoop = ShownScreen == S().window && XtIsManaged(S().window);
            mode = LabelText(S().row2);
            Press(S().status);
            return true;
        },
        [&] { return ListItems(S().list).size() >= 5; },
        [&] {
            XmTextFieldSetString(S().entry, const_cast<char*>("NAD~X"));
            CallAction(S().entry, "activate");
            echo = LabelText(S().echo);
            replies = ListItems(S().list);
            return true;
        },
        [&] {
            SaveScreenshot(ScreenshotPath("self-test.png"));
            Press(S().cancel);
            return true;
        },
    });
    EXPECT_EQ(done, 5u);
    EXPECT_TRUE(shownInLoop);
    EXPECT_EQ(mode, "Normal mode");
    EXPECT_EQ(replies, (Lines{"Status: the drives are enabled.", "Status: the machine is homed.",
                              "Errors of group 1 (axis errors, 0 to 63):",
                              "X following error too large", "Z following error too large"}))
        << "the status word 0x103 and group 1's errors 0 and 2";
    EXPECT_EQ(echo, "NAD~X");
    fake.Pump(clock.Now());
    const std::string sent = fake.ReceivedBytes();
    EXPECT_NE(sent.find("NAD\x1bX\r\n"), std::string::npos);
    // Cancel: the last status read, the line closed, the screen gone.
    EXPECT_EQ(fake.Count("NAD80m80"), 2);
    EXPECT_EQ(sent.substr(sent.size() - 5), "\x06\x11\x11\r\n");
    EXPECT_EQ(ShownScreen, nullptr);
    EXPECT_FALSE(XtIsManaged(S().window));
    EXPECT_TRUE(ListItems(S().list).empty());
    EXPECT_EQ(ServoErrorCount(), 0);

    // It opens again, its Cancel live again, in debug mode this time.
    fake.Flush();
    fake.sim().OnEmptyLine({{Line(".")}});
    const size_t again = Run({
        [&] { return LabelText(S().row2) == "Debug mode"; },
        [&] {
            mode = LabelText(S().row2);
            return XtIsSensitive(S().cancel) && (Press(S().cancel), true);
        },
    });
    EXPECT_EQ(again, 2u);
    EXPECT_EQ(mode, "Debug mode");
    fake.Pump(clock.Now());
    EXPECT_EQ(fake.ReceivedBytes().substr(0, 4), "\x06\x11\r\n");
    EXPECT_NE(fake.ReceivedBytes().find("EXIT\r\n"), std::string::npos);
}

// A controller that streams bytes without a line end holds no read pass for
// long: the loop serves the screen between its passes, and Cancel ends the
// screen while the stream goes on. The stream stops by itself after two
// virtual minutes, so that a pass without its bound shows as a Cancel
// pressed too late, not as a hang.
TEST_F(SelfTestScreenTest, CancelEndsTheScreenWhileTheControllerStreams) {
    bool streaming = false;
    long streamEnd = 0;
    clock.OnNap([&](long now) {
        if (streaming && now >= streamEnd) {
            fake.sim().SetStreaming(0);
            streaming = false;
        }
    });
    auto looping = [&] {
        const std::string sent = fake.ReceivedBytes();
        return sent.find("\x06\x11", sent.find("\r\n")) != std::string::npos;
    };
    long streamStart = 0;
    bool pressedWhileStreaming = false;
    const size_t done = Run({
        looping,
        [&] {
            streamStart = clock.Now();
            streamEnd = streamStart + 120000;
            streaming = true;
            fake.sim().SetStreaming(64);
            return true;
        },
        // Some passes of the stream, each ended by its bound.
        [&] { return clock.Now() - streamStart >= 5000; },
        [&] {
            pressedWhileStreaming = streaming;
            Press(S().cancel);
            return true;
        },
    });
    EXPECT_EQ(done, 4u);
    EXPECT_TRUE(pressedWhileStreaming);
    EXPECT_LT(clock.Now() - streamStart, 120000) << "the exit's passes are bounded too";
    EXPECT_EQ(ShownScreen, nullptr);
    EXPECT_FALSE(XtIsManaged(S().window));
    fake.Pump(clock.Now());
    const std::string sent = fake.ReceivedBytes();
    EXPECT_EQ(sent.substr(sent.size() - 5), "\x06\x11\x11\r\n") << "the exit ran to its end";
    fake.ReleaseSlave();
    EXPECT_TRUE(fake.HungUp()) << "the line closed";
}

// Without the status texts nothing is read: the loop then waits on the
// display between its turns instead of spinning, and Cancel still ends it.
TEST_F(SelfTestScreenTest, WithoutStatusTextsTheLoopRestsUntilCancel) {
    gui_.box().Remove("/u/qel/database/estest.data");
    fake.Send("a line that is never read\r\n");
    std::chrono::steady_clock::time_point start;
    std::clock_t cpuStart = 0;
    double cpuSeconds = -1;
    const size_t done = Run({
        [&] {
            start = std::chrono::steady_clock::now();
            cpuStart = std::clock();
            return true;
        },
        [&] { return std::chrono::steady_clock::now() - start >= std::chrono::seconds(1); },
        [&] {
            cpuSeconds = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
            Press(S().cancel);
            return true;
        },
    });
    EXPECT_EQ(done, 3u);
    EXPECT_GE(cpuSeconds, 0);
    EXPECT_LT(cpuSeconds, 0.5) << "a second of the loop should mostly wait";
    EXPECT_TRUE(ListItems(S().list).empty());
    EXPECT_EQ(ShownScreen, nullptr);
}

std::vector<std::string> Messages;

TEST_F(SelfTestScreenTest, WithoutServoRecordItDoesNotOpen) {
    SetScreenMessageHook(+[](const std::string& text) {
        Messages.push_back(text);
        return 1;
    });
    gui_.box().WriteUart({});
    fake.ReleaseSlave();
    ShowSelfTest();
    SetScreenMessageHook(nullptr);
    EXPECT_EQ(Messages, std::vector<std::string>{
                            "The port table holds no SERVO record: the self test cannot start."});
    EXPECT_EQ(S().window, nullptr) << "not built";
    EXPECT_EQ(ShownScreen, nullptr);
    EXPECT_TRUE(fake.HungUp()) << "the line never opened";
}

} // namespace
