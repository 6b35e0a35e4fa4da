// Family A wake-up, system parameters, parameter download and homing,
// against the fake controller on the virtual clock.
#include "family_a_fixture.h"

#include "controller.h"

#include <cmath>

namespace {

using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;
using namespace FamilyA;

using Lines = std::vector<std::string>;

constexpr const char* kSysPar = "/u/qel/sys_data/files/syspar.bin";

// --- wake-up ------------------------------------------------------------------------

TEST_F(FamilyATest, WakeUpBytesAndPauses) {
    ServoClose();
    fake.Flush();
    const size_t naps = clock.Naps().size();
    const long t0 = clock.Now();
    ASSERT_EQ(ServoOpen(), 1);
    EXPECT_GE(ServoLine.fd, 0);
    // What the fake read at each pause: the writes between the pauses.
    std::map<long, std::string> byPause;
    for (const FakeController::Byte& b : fake.Received())
        byPause[b.at - t0] += static_cast<char>(b.value);
    const std::string round = "\r\n\x13\x06\x11";
    const std::map<long, std::string> expect = {
        {1000, round},
        {2000, round + round},
        {4000, "NFFS2EU\r\n"},
        {5000, "\x06NFFS20L\r\nNFFS2DUFF02\r\nNF7S24\r\n"},
    };
    EXPECT_EQ(byPause, expect);
    EXPECT_EQ(std::vector<long>(clock.Naps().begin() + naps, clock.Naps().end()),
              (std::vector<long>{1000, 1000, 2000, 1000}))
        << "no reply is awaited";
}

TEST_F(FamilyATest, WakeUpNeedsTheLine) {
    ServoClose();
    box.WriteUart({});
    EXPECT_EQ(ServoOpen(), 0);
    EXPECT_EQ(ui.dialogs, Lines{"unable to find servo in config"});
    EXPECT_EQ(ServoLine.fd, -1);
}

// --- system parameters ----------------------------------------------------------------

TEST_F(FamilyATest, SystemParameters) {
    std::vector<int32_t> counting(601);
    for (int i = 0; i < 601; ++i) counting[i] = i + 1;
    const std::vector<int32_t> first600(counting.begin(), counting.end() - 1);
    std::vector<int32_t> four(600, 0);
    four[0] = 1;
    four[1] = -2;
    four[2] = 0x7FFFFFFF;
    four[3] = INT32_MIN;
    struct Case {
        const char* what;
        bool exists;
        std::string file;
        int result;
        std::vector<int32_t> table;
        const char* console;
    };
    const std::vector<int32_t> zero(600, 0);
    const Case cases[] = {
        {"little-endian words, a partial last word ignored", true,
         SysParBytes({1, -2, 0x7FFFFFFF, INT32_MIN}) + std::string("\x05\x00", 2), 1, four, ""},
        {"an empty file", true, "", 1, zero, ""},
        {"no file", false, "", 0, zero, "ServoParam: can not open sysparam file!!!\n"},
        {"600 words", true, SysParBytes(first600), 1, first600, ""},
        {"more than 600 words", true, SysParBytes(counting), 1, first600,
         "ServoParam: syspar.bin holds more than 600 words, the rest ignored\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::fill(std::begin(SysParTable), std::end(SysParTable), 99);
        if (c.exists)
            box.Write(kSysPar, c.file);
        else
            box.Remove(kSysPar);
        CaptureStderr();
        EXPECT_EQ(ServoParam(), c.result);
        EXPECT_EQ(GetCapturedStderr(), c.console);
        EXPECT_EQ(std::vector<int32_t>(std::begin(SysParTable), std::end(SysParTable)), c.table);
    }
}

// --- download ---------------------------------------------------------------------------

// The download of an all-zero table with no item set: 28 lines.
Lines ZeroDownload() {
    return {"NF8S1XYZW",   "NF8S2Q",    "NF8S3XYZW", "NF8S4U",     "NF8S5V",     "NF8S6UL",
            "NF8S7U",      "NF8S8U",    "NF8S9XYZW", "NF8S10XYZW", "NF8S11XYZW", "NF8S12XYZW",
            "NF8S13XYZW",  "NF8S15QV",  "NF8S16QV",  "NF8S17QV",   "NF8S18QVX",  "NF8S19QVX",
            "NF8S25XYZWU", "NF8S1DXYZ", "NF8S1BQ",   "NF8S29XYZW", "NF8SCXYZW",  "NF8SDXYZW",
            "NF8SEXYZW",   "NF8S35",    "NF8S52UFF", "NF8S2AXYZW"};
}

Lines Replaced(Lines lines, const std::string& old, const std::string& now) {
    for (std::string& l : lines)
        if (l == old) l = now;
    return lines;
}

Lines InsertedAfter(Lines lines, const std::string& anchor, const Lines& added) {
    auto at = std::find(lines.begin(), lines.end(), anchor);
    lines.insert(at + 1, added.begin(), added.end());
    return lines;
}

Lines Appended(Lines lines, const Lines& added) {
    lines.insert(lines.end(), added.begin(), added.end());
    return lines;
}

TEST_F(FamilyATest, DownloadTranscript) {
    std::vector<int32_t> counting(160);
    for (int i = 0; i < 160; ++i) counting[i] = i + 1;
    const Lines full = {
        "NF8S1XAYBZCWD",
        "NF8S2Q15",
        "NF8S3X5Y6Z7W8",
        "NF8S4U9",
        "NF8S5V14",
        "NF8S6U12L13",
        "NF8S7U33",
        "NF8S8U26",
        "NF8S9X1EY20Z22W24",
        "NF8S10X1FY21Z23W25",
        "NF8S11X16Y17Z18W19",
        "NF8S12X1AY1BZ1CW1D",
        "NF8S13XEYFZ10W11",
        "NF8S15Q29V2F",
        "NF8S16Q2AV30",
        "NF8S17Q28V2E",
        "NF8S18Q2BV31X61",
        "NF8S19Q2CV32XFFFFFFC6",
        "NF8S25X38Y39Z3AW3BU9",
        "NF8S1DXFFYFFZFF",
        "NF8S1AX3CY3DZ3EW3F",
        "NF8S1BQ4A",
        "NF8S32",
        "NF8S33",
        "NF8S29X34Y35Z36W37",
        "NF8SCX4EY4FZ50W51",
        "NF8SDX52Y53Z54W55",
        "NF8SEX56Y57Z58W59",
        "NF8S35",
        "NF8S52UFF",
        "NF8S2AX1Y2Z3W4",
        "NFFS60X61Y62Z63W64",
        "NFFS61X65Y66Z67W68",
        "NFFS62X69Y6AZ6BW6C",
        "NFFS63X6DY6EZ6FW70",
        "NFFS64X71Y72Z73W74",
        "NFFS65X75Y76Z77W78",
        "NFFS66X79Y7AZ7BW7C",
        "NFFS67X7DY7EZ7FW80",
        "NFFS68X81Y82Z83W84",
        "NFFS69X85Y86Z87W88",
        "NFFS6AX89Y8AZ8BW8C",
        "NFFS6BX8DY8EZ8FW90",
        "NFFS6CX91Y92Z93W94",
        "NFFS6DX95Y96Z97W98",
        "NFFS6EX99Y9AZ9BW9C",
        "NFFS6FX9DY9EZ9FWA0",
    };
    struct Case {
        const char* what;
        std::map<int, int32_t> words; // over an all-zero table
        std::map<int, SysgenItem> items;
        Lines expect;
        bool counting = false; // word n = n + 1 for n < 160, before words
    };
    const Case cases[] = {
        {"all zero: bare letters", {}, {}, ZeroDownload()},
        {"every word and item",
         {},
         {{7, IntItem(1)},
          {8, IntItem(1)},
          {9, IntItem(1)},
          {10, IntItem(1)},
          {21, IntItem(1)},
          {11, RealItem(2.5)},
          {12, RealItem(-1.5)}},
         full,
         true},
        {"a negative word as 32 bits",
         {{9, 0x10}, {10, 0}, {11, -1}, {12, 5}},
         {},
         Replaced(ZeroDownload(), "NF8S1XYZW", "NF8S1X10YZFFFFFFFFW5")},
        {"line 21 only when w59 is set", {{60, 5}}, {}, ZeroDownload()},
        {"line 21 with w59",
         {{59, 1}, {60, 5}},
         {},
         InsertedAfter(ZeroDownload(), "NF8S1DXYZ", {"NF8S1AX1Y5ZW"})},
        {"w75 2, w76 2",
         {{75, 2}, {76, 2}},
         {},
         InsertedAfter(ZeroDownload(), "NF8S1BQ", {"NF8S30", "NF8S31"})},
        {"w75 3", {{75, 3}}, {}, InsertedAfter(ZeroDownload(), "NF8S1BQ", {"NF8S32"})},
        {"w76 3", {{76, 3}}, {}, InsertedAfter(ZeroDownload(), "NF8S1BQ", {"NF8S33"})},
        {"w95 1", {{95, 1}}, {}, Replaced(ZeroDownload(), "NF8S35", "NF8S34")},
        {"w95 2", {{95, 2}}, {}, ZeroDownload()},
        {"a group with only W", {{99 + 12, 5}}, {}, Appended(ZeroDownload(), {"NFFS63W5"})},
        {"groups with one negative X, and the last",
         {{96, -1}, {159, 0x22}},
         {},
         Appended(ZeroDownload(), {"NFFS60XFFFFFFFF", "NFFS6FW22"})},
        {"w58 without item 7", {{58, 9}}, {{7, IntItem(2)}}, ZeroDownload()},
        {"w58 with item 7",
         {{58, 9}},
         {{7, IntItem(1)}},
         Replaced(ZeroDownload(), "NF8S25XYZWU", "NF8S25XYZW9U")},
        {"item 21",
         {},
         {{21, IntItem(1)}},
         Replaced(ZeroDownload(), "NF8S25XYZWU", "NF8S25XYZWU9")},
        {"items 8 and 10 (10 not 1)",
         {},
         {{8, IntItem(1)}, {10, IntItem(-1)}},
         Replaced(ZeroDownload(), "NF8S1DXYZ", "NF8S1DXFFYZ")},
        {"item 9", {}, {{9, IntItem(1)}}, Replaced(ZeroDownload(), "NF8S1DXYZ", "NF8S1DXYFFZ")},
        {"products truncated toward zero",
         {{38, 1}},
         {{11, RealItem(2.9)}, {12, RealItem(-2.9)}},
         Replaced(Replaced(ZeroDownload(), "NF8S18QVX", "NF8S18QVX2"), "NF8S19QVX",
                  "NF8S19QVXFFFFFFFE")},
        {"products clamped",
         {{38, 1000}},
         {{11, RealItem(1e12)}, {12, RealItem(-1e12)}},
         Replaced(Replaced(ZeroDownload(), "NF8S18QVX", "NF8S18QVX7FFFFFFF"), "NF8S19QVX",
                  "NF8S19QVX80000000")},
        {"a product of no number",
         {{38, 3}},
         {{11, RealItem(std::nan(""))}, {12, RealItem(INFINITY)}},
         Replaced(ZeroDownload(), "NF8S19QVX", "NF8S19QVX7FFFFFFF")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::fill(std::begin(SysParTable), std::end(SysParTable), 0);
        if (c.counting)
            for (int i = 0; i < 160; ++i) SysParTable[i] = counting[i];
        for (const auto& [n, v] : c.words) SysParTable[n] = v;
        std::map<int, SysgenItem> items = c.items;
        items[0] = IntItem(0);
        Items(items);
        fake.Flush();
        const size_t naps = clock.Naps().size();
        ServoDownloadParams();
        fake.Pump(clock.Now());
        EXPECT_EQ(Commands(), c.expect);
        EXPECT_EQ(clock.Naps().size(), naps) << "back to back, no reply awaited";
    }
}

// --- homing ------------------------------------------------------------------------------

const std::string kBusyText = " ************************* \nL76 \n ************************* \n";

TEST_F(FamilyATest, HomedAfterKPolls) {
    for (int k : {0, 1, 3, 250}) { // no bound on the passes
        SCOPED_TRACE(k);
        FamilyAKnobs knobs;
        knobs.homeAfter = k;
        fake.FamilyA(knobs);
        fake.Flush();
        ui.events.clear();
        ui.homeDialogs.clear();
        const size_t naps = clock.Naps().size();
        CaptureStdout();
        EXPECT_EQ(ServoHome(1), 0);
        EXPECT_EQ(GetCapturedStdout(), std::string(k + 1, '.') + "\n\n");
        EXPECT_EQ(HomeResult, 0);
        EXPECT_EQ(ui.events, (Lines{"homeDialog", "closeHomeDialog"}));
        EXPECT_EQ(ui.homeDialogs, Lines{kBusyText});
        Lines polls(k + 1, "NF2m85");
        Lines expect = {"NF6m42", "NFFm95", "NF6m42", "NF1M80", "NF2m85", "NF6m42",
                        "NF1M80", "NFFm95", "NF1M80", "NF6m42", "NFFm95", "NF1M80",
                        "NF3M80", "NF6m42", "NF1M80", "NFFm95", "NF8M60", "NF5G5XYZ"};
        expect.insert(expect.end(), polls.begin(), polls.end());
        expect.push_back("NF1M80");
        EXPECT_EQ(Commands(), expect);
        int halfSeconds = 0, twoSeconds = 0;
        for (size_t i = naps; i < clock.Naps().size(); ++i) {
            halfSeconds += clock.Naps()[i] == 500;
            twoSeconds += clock.Naps()[i] == 2000;
        }
        EXPECT_EQ(halfSeconds, k);
        EXPECT_EQ(twoSeconds, 1);
    }
}

TEST_F(FamilyATest, MotionFollowsTheItems) {
    struct Case {
        std::map<int, SysgenItem> items;
        const char* probe;
        const char* motion;
    };
    const Case cases[] = {
        {{{7, IntItem(1)}, {22, IntItem(1)}, {25, IntItem(1)}}, "NF8M62", "NF5G5XYZW"},
        {{{7, IntItem(2)}, {22, IntItem(1)}, {25, IntItem(0)}}, "NF8M60", "NF5G5XYZ"},
        {{{22, IntItem(0)}, {25, IntItem(1)}}, "NF8M60", "NF5G5XYZ"},
    };
    for (const Case& c : cases) {
        Items(c.items);
        fake.FamilyA();
        fake.Flush();
        CaptureStdout();
        EXPECT_EQ(ServoHome(1), 0);
        GetCapturedStdout();
        EXPECT_EQ(fake.Count(c.probe), 1) << c.probe;
        EXPECT_EQ(fake.Count(c.motion), 1) << c.motion;
    }
}

TEST_F(FamilyATest, SilentAtTheStart) {
    struct Case {
        const char* what;
        bool silent;
        int result;
        Lines wire;
    };
    const Case cases[] = {
        {"silent", true, -82, {"NF6m42", "NFFm95", "NF6m42", "NF1M80"}},
        {"home query silent",
         false,
         -128,
         {"NF6m42", "NFFm95", "NF6m42", "NF1M80", "NF2m85", "NF2m85"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fake.SetSilent(c.silent);
        fake.sim().ClearScripts();
        if (!c.silent) fake.On("NF2m85", {{}});
        fake.Flush();
        ui.homeMessages.clear();
        EXPECT_EQ(ServoHome(1), c.result);
        EXPECT_EQ(HomeResult, c.result);
        EXPECT_EQ(ui.homeMessages, std::vector<int>{105});
        EXPECT_EQ(Commands(), c.wire) << "nothing else is sent";
        EXPECT_TRUE(ui.homeDialogs.empty());
    }
}

TEST_F(FamilyATest, ErrorBeforeTheMotionRetryThenCancel) {
    WriteServoDb();
    FamilyAKnobs knobs;
    knobs.errorClass = 1;
    knobs.f4Mask = "00000005";
    fake.FamilyA(knobs);
    fake.Flush();
    ui.answers = {1, 0};
    CaptureStderr();
    EXPECT_EQ(ServoHome(1), 99);
    GetCapturedStderr();
    EXPECT_EQ(HomeResult, 99);
    EXPECT_EQ(ui.dialogs, Lines(2, "L104 \nE0\nE2\nL190"));
    EXPECT_EQ(fake.Count("NF3M80"), 2) << "Retry repeats the whole pass";
    EXPECT_EQ(fake.Count("NF5G5XYZ"), 0);
    EXPECT_TRUE(ui.homeDialogs.empty());
}

// The home dialog's Cancel as its callback does it: stop, then 99.
void PressCancel() {
    ServoAbortDisp(kFamilyA);
    HomeResult = 99;
}

TEST_F(FamilyATest, CancelAtPassK) {
    for (int k : {1, 4}) {
        SCOPED_TRACE(k);
        FamilyAKnobs knobs;
        knobs.homeAfter = -1; // the machine never gets homed
        fake.FamilyA(knobs);
        fake.Flush();
        ui.waitPasses = 0;
        ui.onWait = [k](int pass, int) {
            if (pass == 1 + k) PressCancel(); // passes 0 and 1 come before the motion
        };
        CaptureStdout();
        EXPECT_EQ(ServoHome(1), 1);
        EXPECT_EQ(GetCapturedStdout(), std::string(k, '.') + "\n\n");
        EXPECT_EQ(HomeResult, 99);
        Lines tail(k, "NF2m85");
        for (const char* l : {"NFFm40", "NF6m42", "NFFm41", "NF7S24", "NF1M80", "NF3M80"})
            tail.push_back(l);
        const Lines wire = Commands();
        auto motion = std::find(wire.begin(), wire.end(), "NF5G5XYZ");
        ASSERT_NE(motion, wire.end());
        EXPECT_EQ(Lines(motion + 1, wire.end()), tail)
            << "the stop lines, then the closing error report";
        EXPECT_EQ(ui.events, (Lines{"homeDialog", "closeHomeDialog"}));
        ui.events.clear();
    }
    ui.onWait = nullptr;
}

// A controller that falls silent during the motion ends it too, and the
// operator is told, once, that it does not answer; unless they cancelled.
TEST_F(FamilyATest, SilenceDuringTheMotionIsTold) {
    const std::string told =
        "ServoHome: the controller does not answer, the machine is not homed\n";
    struct Case {
        const char* what;
        int answered; // status rounds answered after the motion command, then silence
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
        FamilyAKnobs knobs;
        knobs.homeAfter = -1;
        fake.FamilyA(knobs);
        fake.SetSilent(false);
        fake.Flush();
        ui.events.clear();
        ui.homeMessages.clear();
        ui.waitPasses = 0;
        int rounds = -1; // status rounds since the motion command
        fake.sim().OnFramed([&](long, const FramedByte& f) {
            if (f.kind != FramedByte::Command) return;
            if (f.text == "NF5G5XYZ") rounds = 0;
            if (rounds >= 0 && f.text == "NF2m85" && ++rounds > c.answered) fake.SetSilent(true);
        });
        ui.onWait = [&](int pass, int) {
            // Passes 0 and 1 come before the motion.
            if (c.cancel && pass == 2 + c.answered) PressCancel();
        };
        CaptureStdout();
        EXPECT_EQ(ServoHome(1), 1);
        EXPECT_EQ(GetCapturedStdout(), c.console + (c.messages.empty() ? "" : told));
        EXPECT_EQ(HomeResult, c.homeResult);
        EXPECT_EQ(ui.homeMessages, c.messages);
        EXPECT_EQ(Commands().back(), "NF3M80") << "the closing report found nothing to report";
        EXPECT_TRUE(ui.dialogs.empty());
        ASSERT_GE(ui.events.size(), 2u);
        EXPECT_EQ(ui.events[0], "homeDialog");
        EXPECT_EQ(ui.events[1], "closeHomeDialog") << "the dialog is gone before the message";
    }
    fake.sim().OnFramed(nullptr);
    ui.onWait = nullptr;
}

TEST_F(FamilyATest, RetryAfterCancelHomesAgain) {
    FamilyAKnobs knobs;
    knobs.homeAfter = 2;
    fake.FamilyA(knobs);
    // Before the motion no error; after the stop a class 1 error; then none.
    fake.On("NF3M80", {{Line("NF3o00200000")}, {Line("NF3o00200100")}, {Line("NF3o00200000")}});
    fake.Flush();
    bool pressed = false;
    ui.onWait = [&](int pass, int) {
        if (pass == 2 && !pressed) {
            pressed = true;
            PressCancel();
        }
    };
    ui.answers = {1};
    CaptureStdout();
    EXPECT_EQ(ServoHome(1), 0);
    GetCapturedStdout();
    ui.onWait = nullptr;
    EXPECT_EQ(HomeResult, 0);
    EXPECT_EQ(ui.dialogs, Lines{"L104 \nL190"});
    EXPECT_EQ(fake.Count("NF5G5XYZ"), 2);
    EXPECT_EQ(ui.homeDialogs.size(), 2u);
}

TEST_F(FamilyATest, SilentClosingQuery) {
    FamilyAKnobs knobs;
    knobs.homeAfter = 1;
    fake.FamilyA(knobs);
    fake.Flush();
    ui.onWait = [&](int pass, int) {
        if (pass >= 2 && HomeResult == 0) fake.SetSilent(true);
    };
    CaptureStdout();
    EXPECT_EQ(ServoHome(1), -128);
    GetCapturedStdout();
    ui.onWait = nullptr;
    EXPECT_EQ(HomeResult, -128);
    EXPECT_EQ(Commands().back(), "NF1M80");
}

TEST_F(FamilyATest, DownloadReturnsTheStatus) {
    struct Case {
        const char* what;
        FamilyAKnobs knobs;
        const char* homeReply; // the reply to NF2m85, null: the model's
        int result;
    };
    FamilyAKnobs homed;
    homed.homed = true;
    FamilyAKnobs fault;
    fault.faultByte = 2;
    FamilyAKnobs error;
    error.errorClass = 2;
    const Case cases[] = {
        {"homed", homed, nullptr, 0},
        {"not homed", {}, nullptr, 1},
        {"fault", fault, nullptr, 99},
        {"an error of class 1 on the home query", {}, "nF2H00200100", 1},
        {"an error of class 2 on the home query", {}, "nF2H00200200", 2},
        {"errors on every query: the closing query fails", error, nullptr, -128},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fake.FamilyA(c.knobs);
        fake.sim().ClearScripts();
        if (c.homeReply) fake.On("NF2m85", {{Line(c.homeReply)}});
        fake.Flush();
        ServoLine.errFlag = 0;
        ui.events.clear();
        EXPECT_EQ(ServoHome(0), c.result);
        EXPECT_EQ(fake.Count("NF8S1XYZW"), 1) << "the download went out";
        EXPECT_EQ(fake.Count("NF3M80"), 0) << "no error report";
        EXPECT_TRUE(ui.events.empty());
    }
}

// A controller that answered every download line would leave one reply line
// per line in the input; one poll reads one line, so the closing query of a
// download of 34 lines or more finds its F1 reply no more.
TEST_F(FamilyATest, AnAnsweredDownloadBacklogsTheReader) {
    struct Case {
        int groups; // non-zero group lines after the 28 lines
        bool answerAll;
        int result;
    };
    const Case cases[] = {{5, true, 1}, {6, true, -128}, {16, false, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.groups);
        std::fill(std::begin(SysParTable), std::end(SysParTable), 0);
        for (int i = 0; i < c.groups; ++i) SysParTable[96 + 4 * i] = 1;
        FamilyAKnobs knobs;
        knobs.answerAll = c.answerAll;
        fake.FamilyA(knobs);
        fake.Flush();
        // ServoHome itself does not load the table: keep it.
        EXPECT_EQ(ServoHome(0), c.result);
        EXPECT_EQ(fake.Count("NFFS60X1"), 1);
    }
}

} // namespace
