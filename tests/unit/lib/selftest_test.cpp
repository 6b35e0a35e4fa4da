// The controller self test without X, against the fake controller on a pty
// and the virtual clock: the opening handshake, the status decoding end to
// end, the line assembly, the bytes of each command, the bounded handshake
// against a controller that never pauses, the exit and its bytes, and the
// ways it fails to start or to read.
#include <gtest/gtest.h>

#include "dbservo.h"
#include "errhist.h"
#include "fake_controller.h"
#include "proc.h"
#include "records_text.h"
#include "sandbox.h"
#include "selftest.h"
#include "test_hooks.h"
#include "virtual_clock.h"

#include <fcntl.h>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

const std::string ACK = "\x06", XON = "\x11", XOFF = "\x13", ESC = "\x1b";
const std::string kNoH = "This is not a status message since there is no H.";

class Recorder : public SelfTestSink {
  public:
    void AddLine(const std::string& text) override {
        list.push_back(text);
        added.push_back(text);
    }
    void DropOldest() override {
        if (!list.empty()) list.erase(list.begin());
    }
    void ShowMode(int label, bool debug) override { modes.push_back({label, debug}); }
    void Message(int label) override { messages.push_back(label); }
    void EventPass() override { ++passes; }

    Lines list;  // the reply list as the screen holds it
    Lines added; // every line added
    std::vector<std::pair<int, bool>> modes;
    std::vector<int> messages;
    int passes = 0;
};

class SelfTestCore : public testing::Test {
  protected:
    void SetUp() override {
        ServoErrorDbResetForTest();
        ErrHistResetForTest();
        box.WriteUart({ServoEntry("Ondry", "/dev/M_SERVO")});
        box.Write("/dev/.keep", "");
        ASSERT_EQ(symlink(fake.SlavePath().c_str(), box.Path("/dev/M_SERVO").c_str()), 0);
        WriteServoDb(200);
        std::map<int, std::string> texts;
        for (int n = 24; n <= 39; ++n) texts[n] = "STEST" + std::to_string(n) + "   ";
        box.Write("/u/qel/database/estest.data", StestFileBytes(texts));
        fake.Attach(clock);
    }
    void TearDown() override {
        CloseServoPort();
        ServoErrorDbResetForTest();
    }
    // Servo errors 0 to count - 1, error n with the text "E<n>".
    void WriteServoDb(int count) {
        std::string text = "unused\n";
        std::vector<ServoRecord> records(count);
        for (int n = 0; n < count; ++n) {
            text += "E" + std::to_string(n) + "\n";
            records[n].line = static_cast<int16_t>(n + 1);
        }
        box.Write("/u/qel/database/eservo.data", CountedLineFileBytes(count + 1, text));
        box.Write("/u/qel/database/DBservo.data", ServoRecordBytes(records));
    }
    // Opened with the prompt entered (debug: the controller answers the
    // empty line with its prompt); the opening's traffic and looks dropped.
    void Open(bool debug = false) {
        fake.Flush();
        if (debug)
            fake.sim().OnEmptyLine({{Line(".")}});
        else
            fake.sim().OnEmptyLine({{}});
        ASSERT_EQ(OpenServoPort(&sink), 0);
        StartSelfTest();
        ASSERT_EQ(StestState(), debug ? kStestDebug : kStestNormal);
        fake.Pump(clock.Now());
        Mark();
        sink.modes.clear();
    }
    void Mark() {
        fake.Pump(clock.Now());
        mark_ = fake.ReceivedBytes().size();
        commandMark_ = fake.Commands().size();
        addedMark_ = sink.added.size();
    }
    std::string Sent() {
        fake.Pump(clock.Now());
        return fake.ReceivedBytes().substr(mark_);
    }
    Lines SentCommands() {
        fake.Pump(clock.Now());
        const Lines& all = fake.Commands();
        return Lines(all.begin() + static_cast<long>(commandMark_), all.end());
    }
    Lines Added() const {
        return Lines(sink.added.begin() + static_cast<long>(addedMark_), sink.added.end());
    }
    // Read passes until the status query is over (at most 30).
    void PassesUntilNormal() {
        for (int i = 0; i < 30 && StestState() == kStestStatus; ++i) inecho();
    }

    Sandbox box;
    FakeController fake;
    VirtualClock clock;
    Recorder sink;

  private:
    size_t mark_ = 0, commandMark_ = 0, addedMark_ = 0;
};

TEST_F(SelfTestCore, OpeningHandshake) {
    struct Case {
        const char* name;
        std::string stale; // what the controller still had to say
        std::vector<std::vector<FakeReply>> emptyLine;
        int state;
        std::pair<int, bool> mode;
    };
    const Case cases[] = {
        {"the prompt: debug mode", "", {{Partial("\r\n.")}}, kStestDebug, {53, true}},
        // Only the low seven bits count: 0xAE is the prompt with its parity
        // bit set.
        {"the prompt with its parity bit", "", {{Partial("\r\n\xAE")}}, kStestDebug, {53, true}},
        {"silence: normal mode", "", {{}}, kStestNormal, {51, false}},
        {"a line without the prompt", "", {{Line("READY")}}, kStestNormal, {51, false}},
        {"a stale prompt is dropped first", "old output .\r\n.", {{}}, kStestNormal, {51, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake.Flush();
        sink.modes.clear();
        fake.sim().OnEmptyLine(c.emptyLine);
        ASSERT_EQ(OpenServoPort(&sink), 0);
        if (!c.stale.empty()) fake.Send(c.stale);
        StartSelfTest();
        fake.Pump(clock.Now());
        // Exactly these bytes: the line adds no CR of its own.
        EXPECT_EQ(fake.ReceivedBytes(), ACK + XON + "\r\n");
        EXPECT_EQ(StestState(), c.state);
        ASSERT_EQ(sink.modes.size(), 1u);
        EXPECT_EQ(sink.modes[0], c.mode);
        EXPECT_TRUE(sink.messages.empty());
    }
}

TEST_F(SelfTestCore, StatusDecodingEndToEnd) {
    fake.On("NAD80m80", {{Line("NADH00000503")},
                         {Line("H00000001")},
                         {Line("NADHFFFFFFFFFFFF00000003")},
                         {Line("NADH")},
                         {Line("NAD80m80")},
                         {Line("NADH00000100")},
                         {Line("NADH00006000")},
                         {Line("NADH00000200")},
                         {Line("ab NADH00001000")},
                         // 30 characters before the H: a status; 31: none.
                         {Line("123456789012345678901234567890H00000001")},
                         {Line("1234567890123456789012345678901H00000001")}});
    fake.On("NAD81m81", {{Line("NADH00000001")}, {Line("no status here")}});
    fake.On("NAD84m84", {{Line("NADH0300000001")}});
    fake.On("NAD83m83", {{Line("NADHABCD0000000200000001")}});
    fake.On("NAD86m86", {{Line("NADH00000001")}});
    Open();
    struct Step {
        const char* name;
        Lines lines;
        Lines commands;
        const char* console;
    };
    const Step steps[] = {
        {"bits 0, 1, 8 and 10",
         {"STEST24", "STEST25", "STEST32", "E0", "STEST34", "E128", "E160", "E161"},
         {"NAD80m80", "NAD81m81", "NAD84m84"},
         ""},
        {"the H first", {"STEST24"}, {"NAD80m80"}, ""},
        {"20 digits: the last 8",
         {"STEST24", "STEST25"},
         {"NAD80m80"},
         "ParseStatusReply: status of 20 hex digits, only the last 8 taken\n"},
        {"no digits", {"Status: clear."}, {"NAD80m80"}, ""},
        {"no H in the status word", {"NAD80m80", kNoH}, {"NAD80m80"}, ""},
        {"no H in a group", {"STEST32", "no status here", kNoH}, {"NAD80m80", "NAD81m81"}, ""},
        {"bits 13 and 14 both shown", {"STEST37", "STEST38"}, {"NAD80m80"}, ""},
        {"a group of 20 digits",
         {"STEST33", "E64", "E97"},
         {"NAD80m80", "NAD83m83"},
         "ParseStatusReply: error group of 20 hex digits, only the last 16 taken\n"},
        {"errors the database does not hold", {"STEST36"}, {"NAD80m80", "NAD86m86"}, ""},
        {"the H at position 30", {"STEST24"}, {"NAD80m80"}, ""},
        {"the H at position 31",
         {"1234567890123456789012345678901H00000001", kNoH},
         {"NAD80m80"},
         ""},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        Mark();
        testing::internal::CaptureStdout();
        StestStatusQuery();
        EXPECT_EQ(StestState(), kStestStatus);
        PassesUntilNormal();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), s.console);
        EXPECT_EQ(StestState(), kStestNormal);
        EXPECT_EQ(Added(), s.lines);
        EXPECT_EQ(SentCommands(), s.commands);
    }
}

TEST_F(SelfTestCore, LineAssembly) {
    Open();
    const std::string a79(79, 'a');
    struct Case {
        const char* name;
        std::string bytes;
        Lines lines;
    };
    const Case cases[] = {
        {"CR dropped", "ab\r\ncd\r\n", {"ab", "cd"}},
        {"empty lines dropped", "\r\n\n\r\nab\n", {"ab"}},
        {"the prompt dropped", ".ab\n.\n", {"ab"}},
        {"a dot inside kept", "a.b\n", {"a.b"}},
        {"79 characters", a79 + "\n", {a79}},
        {"the 80th starts the line again", a79 + "bcd\n", {"bcd"}},
        {"a dot that starts it again is kept", a79 + ".x\n", {".x"}},
        {"a byte above 0x7F ends the pass, not the line",
         "ab\x80"
         "cd\n",
         {"abcd"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Mark();
        fake.Send(c.bytes);
        for (int i = 0; i < 6; ++i) inecho();
        EXPECT_EQ(Added(), c.lines);
    }
    // A line without its end waits for the next passes.
    Mark();
    fake.Send("ab");
    for (int i = 0; i < 3; ++i) inecho();
    EXPECT_TRUE(Added().empty());
    fake.Send("c\r\n");
    inecho();
    EXPECT_EQ(Added(), Lines{"abc"});
    // One line per pass, and the list keeps the newest nine.
    Mark();
    for (int n = 1; n <= 10; ++n) fake.Send("L" + std::to_string(n) + "\r\n");
    inecho();
    EXPECT_EQ(Added(), Lines{"L1"});
    for (int i = 0; i < 12; ++i) inecho();
    EXPECT_EQ(Added().size(), 10u);
    EXPECT_EQ(sink.list, (Lines{"L2", "L3", "L4", "L5", "L6", "L7", "L8", "L9", "L10"}));
}

TEST_F(SelfTestCore, CommandBytes) {
    fake.On("NAD80m80", {{}}); // the status query stays open
    struct Case {
        const char* name;
        int state;
        std::function<void()> act;
        std::string bytes;
        int stateAfter;
        std::pair<int, bool> mode; // label 0: the mode row not touched
    };
    auto typed = [](const std::string& entry) { return [entry] { StestTypedLine(entry); }; };
    const Case cases[] = {
        {"'~' as ESC", kStestNormal, typed("a~b~"), "a" + ESC + "b" + ESC + "\r\n", 1, {0, false}},
        {"empty entry", kStestNormal, typed(""), "\r\n", 1, {0, false}},
        {"empty entry in debug mode", kStestDebug, typed(""), "\r\n" + XON, 0, {0, false}},
        {"the old sentinel is a text",
         kStestNormal,
         typed("_ONLY_SEND_CR_LF_"),
         "_ONLY_SEND_CR_LF_\r\n",
         1,
         {0, false}},
        {"XON after a line in debug mode", kStestDebug, typed("X1"), "X1\r\n" + XON, 0, {0, false}},
        {"cut at its line end", kStestNormal, typed("ab\ncd"), "ab\r\n", 1, {0, false}},
        {"a line during the status query restarts it",
         kStestStatus,
         typed("ab"),
         "NAD80m80\r\n",
         2,
         {0, false}},
        {"debug on", kStestNormal, StestDebugOn, ESC + "DEBUG\r\n" + XON, 0, {91, true}},
        {"debug on from the query",
         kStestStatus,
         StestDebugOn,
         ESC + "DEBUG\r\n" + XON,
         0,
         {91, true}},
        {"debug on in debug mode", kStestDebug, StestDebugOn, "", 0, {0, false}},
        {"debug off", kStestDebug, StestDebugOff, "EXIT\r\n", 1, {92, false}},
        {"debug off from the query", kStestStatus, StestDebugOff, "", 1, {92, false}},
        {"debug off in normal mode", kStestNormal, StestDebugOff, "", 1, {0, false}},
        {"status", kStestNormal, StestStatusQuery, "NAD80m80\r\n", 2, {0, false}},
        {"status in debug mode", kStestDebug, StestStatusQuery, "", 0, {0, false}},
        {"a pass in normal mode", kStestNormal, [] { inecho(); }, ACK + XON + XOFF, 1, {0, false}},
        {"a pass in the query", kStestStatus, [] { inecho(); }, ACK + XON + XOFF, 2, {0, false}},
        {"a pass in debug mode", kStestDebug, [] { inecho(); }, "", 0, {0, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open();
        if (c.state == kStestDebug) StestDebugOn();
        if (c.state == kStestStatus) StestStatusQuery();
        ASSERT_EQ(StestState(), c.state);
        Mark();
        sink.modes.clear();
        c.act();
        EXPECT_EQ(Sent(), c.bytes);
        EXPECT_EQ(StestState(), c.stateAfter);
        if (c.mode.first == 0) {
            EXPECT_TRUE(sink.modes.empty());
        } else {
            ASSERT_EQ(sink.modes.size(), 1u);
            EXPECT_EQ(sink.modes[0], c.mode);
        }
    }
    // The echo is the cut line as typed.
    Open();
    EXPECT_EQ(StestTypedLine("a~b\rc"), "a~b");
    EXPECT_EQ(StestTypedLine(""), "");
}

TEST_F(SelfTestCore, HandshakeEndsAgainstAControllerThatNeverPauses) {
    // A flood ends each read loop after 512 bytes; a trickle after 2 s.
    for (size_t perPump : {size_t{1024}, size_t{1}}) {
        SCOPED_TRACE(perPump);
        fake.Flush();
        fake.sim().OnEmptyLine({{}});
        fake.sim().SetStreaming(perPump);
        ASSERT_EQ(OpenServoPort(&sink), 0);
        const long start = clock.Now();
        StartSelfTest();
        EXPECT_LE(clock.Now() - start, 4100);
        EXPECT_EQ(StestState(), kStestNormal);
        fake.sim().SetStreaming(0);
        fake.Pump(clock.Now());
        EXPECT_EQ(fake.ReceivedBytes(), ACK + XON + "\r\n");
    }
}

// A controller that streams bytes without a line end: each read pass still
// ends, after 512 bytes of a flood or 2 s of a trickle, as a time-out ends
// it (framed by XOFF, nothing listed, the line kept for the next pass), and
// so does every pass of the exit. The stream stops by itself long after
// the bounds, so that a pass without them shows as time, not as a hang.
TEST_F(SelfTestCore, ReadPassesEndAgainstAControllerThatNeverEndsALine) {
    long stopAt = -1;
    clock.OnNap([&](long now) {
        if (stopAt >= 0 && now >= stopAt) fake.sim().SetStreaming(0);
    });
    struct Case {
        const char* name;
        size_t perPump;
        long minMs, maxMs;
    };
    const Case cases[] = {
        {"a flood: 512 bytes, no waiting", 1024, 0, 0},
        {"a trickle: 2 s", 1, 1900, 2100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open();
        stopAt = clock.Now() + 10000;
        fake.sim().SetStreaming(c.perPump);
        fake.Pump(clock.Now()); // the first bytes wait on the line
        Mark();
        const long start = clock.Now();
        EXPECT_TRUE(inecho());
        EXPECT_GE(clock.Now() - start, c.minMs);
        EXPECT_LE(clock.Now() - start, c.maxMs);
        EXPECT_EQ(Sent(), ACK + XON + XOFF);
        EXPECT_TRUE(Added().empty());

        // The exit's 22 passes, each within its bound.
        stopAt = clock.Now() + 60000;
        fake.sim().SetStreaming(c.perPump);
        Mark();
        const long exitStart = clock.Now();
        StestExitQueries();
        EXPECT_LE(clock.Now() - exitStart, 22 * 2100);
        std::string frames;
        for (int i = 0; i < 20; ++i) frames += ACK + XON + XOFF;
        EXPECT_EQ(Sent(), ACK + XON + XOFF + "NAD80m80\r\n" + frames + ACK + XON);
        StestExitClose();
        fake.sim().SetStreaming(0);
        stopAt = -1;
    }
}

TEST_F(SelfTestCore, ExitBytesAndTheLineClosed) {
    for (bool debug : {true, false}) {
        SCOPED_TRACE(debug ? "debug mode" : "normal mode");
        fake.sim().ClearScripts();
        fake.On("NAD80m80", {{Line("NADH")}});
        Open(debug);
        sink.passes = 0;
        StestExitQueries();
        EXPECT_EQ(sink.passes, debug ? 23 : 22);
        std::string frames;
        for (int i = 0; i < 19; ++i) frames += ACK + XON + XOFF;
        EXPECT_EQ(Sent(), (debug ? "EXIT\r\n" : "") + ACK + XON + XOFF + "NAD80m80\r\n" + ACK +
                              XON + XOFF + frames + ACK + XON);
        EXPECT_EQ(Added(), Lines{"Status: clear."});
        Mark();
        StestExitClose();
        EXPECT_EQ(Sent(), XON + "\r\n");
        EXPECT_EQ(ServoErrorCount(), 0) << "the database freed";
    }
    // Nobody but the program held the line: it is gone with its close.
    Open();
    fake.ReleaseSlave();
    EXPECT_FALSE(fake.HungUp());
    StestExitQueries();
    StestExitClose();
    EXPECT_TRUE(fake.HungUp());
}

TEST_F(SelfTestCore, NoServoRecord) {
    box.WriteUart({});
    fake.ReleaseSlave();
    EXPECT_EQ(OpenServoPort(&sink), -1);
    EXPECT_EQ(sink.messages, std::vector<int>{87});
    EXPECT_TRUE(fake.HungUp()) << "the line was never opened";
    EXPECT_EQ(ServoErrorCount(), 0);
}

TEST_F(SelfTestCore, NoServoDatabase) {
    box.Remove("/u/qel/database/DBservo.data");
    EXPECT_EQ(OpenServoPort(&sink), -1);
    EXPECT_EQ(sink.messages, std::vector<int>{88});
    fake.ReleaseSlave();
    EXPECT_TRUE(fake.HungUp()) << "the line closed again";
}

TEST_F(SelfTestCore, WithoutStatusTextsNothingIsRead) {
    box.Remove("/u/qel/database/estest.data");
    Open();
    fake.Send("a reply\r\n");
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(inecho());
    EXPECT_TRUE(sink.added.empty());
    EXPECT_EQ(Sent(), "");
    StestExitQueries();
    StestExitClose();
    EXPECT_EQ(Sent(), "NAD80m80\r\n" + ACK + XON + XON + "\r\n");
    EXPECT_TRUE(sink.added.empty());
}

TEST_F(SelfTestCore, TheRecordsDeviceWhenTheFixedOneIsMissing) {
    box.Remove("/dev/M_SERVO");
    box.WriteUart({ServoEntry("Ondry", fake.SlavePath())});
    testing::internal::CaptureStdout();
    Open();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "OpenServoPort: /dev/M_SERVO not found, opening " + fake.SlavePath() + "\n");
    fake.Send("hello\r\n");
    inecho();
    EXPECT_EQ(sink.added, Lines{"hello"});
}

TEST_F(SelfTestCore, ALineThatDoesNotOpenIsNeitherReadNorWritten) {
    box.Remove("/dev/M_SERVO");
    box.WriteUart({ServoEntry("Ondry", "/dev/M_NONE")});
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    ASSERT_EQ(OpenServoPort(&sink), 0);
    testing::internal::GetCapturedStdout();
    EXPECT_NE(testing::internal::GetCapturedStderr().find("OpenServoPort: No such file"),
              std::string::npos);
    StartSelfTest();
    EXPECT_EQ(StestState(), kStestNormal);
    EXPECT_FALSE(inecho());
    const long before = clock.Now();
    StestStatusQuery();
    StestExitQueries();
    StestExitClose();
    EXPECT_EQ(clock.Now(), before) << "nothing waited for";
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(SelfTestCore, TheLineIsNotTheControllingTerminal) {
    const int status = RunInChild(
        [&] {
            if (setsid() < 0) _exit(2);
            Recorder child;
            if (OpenServoPort(&child) != 0) _exit(3);
            const int tty = open("/dev/tty", O_RDWR | O_NOCTTY);
            _exit(tty < 0 ? 0 : 1);
        },
        10000);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

} // namespace
