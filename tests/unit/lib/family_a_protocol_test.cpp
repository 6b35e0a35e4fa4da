// Family A protocol: the command builder, the reply parser, the error-mask
// decoder, and the exchanges (status, ping, error report) against the fake
// controller on the virtual clock.
#include "family_a_fixture.h"

#include <algorithm>
#include <cstring>

namespace {

using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;
using namespace FamilyA;

using Lines = std::vector<std::string>;

// --- building commands ---------------------------------------------------------

TEST_F(FamilyATest, CommandBuilder) {
    struct Call {
        int letter;
        uint32_t value;
        int mode;
    };
    struct Case {
        const char* what;
        std::vector<Call> calls;
        std::string line; // ServoCmdLine after the calls
        std::string wire; // what went out
        int waitCode;
    };
    const Case cases[] = {
        {"one field, sent", {{'N', 0xF6, 0}, {'m', 0x42, 2}}, "NF6m42", "NF6m42\r\n", 0xF6},
        {"0 is the bare letter",
         {{'N', 0xF8, 0}, {'S', 0x1D, 1}, {'X', 0, 1}, {'Y', 0xFF, 1}, {' ', 0, 2}},
         "NF8S1DXYFF",
         "NF8S1DXYFF\r\n",
         0xF8},
        {"no leading zeros, inner zeros kept",
         {{'N', 0xFF, 0}, {'U', 0xFF02, 2}},
         "NFFUFF02",
         "NFFUFF02\r\n",
         0xFF},
        {"-1 as 32 bits",
         {{'N', 0xF8, 0}, {'X', 0xFFFFFFFF, 2}},
         "NF8XFFFFFFFF",
         "NF8XFFFFFFFF\r\n",
         0xF8},
        {"mode 1 only appends", {{'N', 0xF2, 0}, {'m', 0x85, 1}}, "NF2m85", "", 0xF2},
        {"mode 0 starts again", {{'N', 0xF2, 0}, {'m', 0x85, 1}, {'N', 0xF1, 0}}, "NF1", "", 0xF1},
        {"a blank letter sends what is built",
         {{'N', 0xF5, 0}, {'G', 5, 1}, {' ', 7, 2}},
         "NF5G5",
         "NF5G5\r\n",
         0xF5},
        {"a blank letter starting a line", {{' ', 0x12, 0}, {'A', 1, 2}}, "A1", "A1\r\n", 0x12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fake.Flush();
        for (const Call& call : c.calls) ServoCmd(call.letter, call.value, call.mode);
        EXPECT_EQ(ServoCmdLine, c.line);
        EXPECT_EQ(ServoLine.waitCode, c.waitCode);
        fake.Pump(0);
        EXPECT_EQ(fake.ReceivedBytes(), c.wire);
    }
}

// --- parsing replies --------------------------------------------------------------

struct Parsed {
    int gotCode;
    int errFlag;
    std::vector<int> bytes; // status bytes 0 .. n-1, the rest 0
    const char* stdoutText;
};

Parsed Parse(const std::string& line, int gotBefore = 0x77, int errBefore = 1) {
    std::memset(ServoLine.replyLine, 0, sizeof ServoLine.replyLine);
    std::memcpy(ServoLine.replyLine, line.data(), std::min(line.size(), kReplyLineSize - 1));
    ServoLine.gotCode = gotBefore;
    ServoLine.errFlag = errBefore;
    std::memset(ServoStatBytes, 0xEE, sizeof ServoStatBytes);
    CaptureStdout();
    ServoParseReply();
    static std::string out;
    out = GetCapturedStdout();
    Parsed p{ServoLine.gotCode, ServoLine.errFlag, {}, out.c_str()};
    int last = kStatBytes - 1;
    while (last >= 0 && ServoStatBytes[last] == 0) --last;
    for (int i = 0; i <= last; ++i) p.bytes.push_back(ServoStatBytes[i]);
    return p;
}

TEST(FamilyAParser, ReplyLines) {
    struct Case {
        const char* line;
        Parsed expect;
    };
    const Case cases[] = {
        {"NF2o00200000\r\n", {0xF2, 0, {0, 0, 0x20}, ""}},
        {"NF2o00000000\r\n", {0xF2, 0, {}, ""}},
        {"NF2o01000000\r\n", {0xF2, 0, {0, 0, 0, 1}, ""}},
        {"N0F1o00000100\r\n", {0xF1, 0, {0, 1}, ""}},         // a leading zero
        {"Nf1o00000100\r\n", {0xF1, 0, {0, 1}, ""}},          // lower-case code digits
        {"NF1A\r\n", {0, 0, {}, "."}},                        // F1 followed by a digit: 1A
        {"NF1Ao0100\r\n", {0, 0, {}, "."}},                   //   ... its field unread
        {"NFB\r\n", {0, 0, {}, "."}},                         // FB to FE print a dot
        {"NFFFFFFF1\r\n", {0, 0, {}, "."}},                   // a negative remainder
        {"NF8\r\n", {0xF8, 0, {}, ""}},                       // F5 to FA, FF accepted
        {"NFF\r\n", {0xFF, 0, {}, ""}},                       //
        {"NF5o0100\r\n", {0xF5, 0, {}, ""}},                  //   ... nothing read from them
        {"NF4H00000005\r\n", {0xF4, 0, {5}, ""}},             // H is a field letter too
        {"NF1h0100\r\n", {0xF1, 0, {0, 1}, ""}},              // and h
        {"NF1\r\n", {0xF1, 0, {}, ""}},                       // no field
        {"NF2o12345\r\n", {0xF2, 0, {0x45, 0x23, 0x01}, ""}}, // odd digit count
        {"NF2o00a00100\r\n", {0xF2, 0, {0, 1}, ""}},          // a lower-case digit stops it
        {"NF3oABCDEF0102030405060708090A\r\n",                // the last 20 digits only
         {0xF3, 0, {0x0A, 9, 8, 7, 6, 5, 4, 3, 2, 1}, ""}},
        {"nF1H00000100\r\n", {0xF1, 1, {0, 1}, ""}},       // an error reply
        {"nF1H00002700\r\n", {0xF1, 1, {0, 0x27}, ""}},    //
        {"nF1H00201800\r\n", {0xF1, 0, {0, 0, 0x20}, ""}}, // classes 4 and 5: no error
        {"nF1o00000100\r\n", {0xF1, 0, {}, ""}},           // 'o' is no field letter of 'n'
        {"nFBH00000100\r\n", {0xFB, 1, {0, 1}, ""}},       // no range check on 'n'
        {"?NF1o00000100\r\n", {0x77, 0, {}, ""}},          // garbage: code kept, flags cleared
        {"\r\n", {0x77, 0, {}, ""}},                       //
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Parsed p = Parse(c.line);
        EXPECT_EQ(p.gotCode, c.expect.gotCode);
        EXPECT_EQ(p.errFlag, c.expect.errFlag);
        EXPECT_EQ(p.bytes, c.expect.bytes);
        EXPECT_STREQ(p.stdoutText, c.expect.stdoutText);
    }
}

TEST(FamilyAParser, ErrorMasks) {
    struct Case {
        std::string line;
        bool found;
        uint32_t low, high;
    };
    const Case cases[] = {
        {"NF4H00000005\r\n", true, 5, 0},
        {"NF4H80000000\r\n", true, 0x80000000u, 0},
        {"NF4H1FFFFFFFF\r\n", true, 0xFFFFFFFFu, 1},
        {"NF4HABCDEF0000000100000002\r\n", true, 2, 1}, // digits before the high group ignored
        {"NF4Hff\r\n", true, 0xFF, 0},
        {"NF4H\r\n", true, 0, 0},
        {"NF4o00000005\r\n", false, 0, 0},
        {"N" + std::string(29, 'x') + "H01\r\n", true, 1, 0},  // H at index 30
        {"N" + std::string(30, 'x') + "H01\r\n", false, 0, 0}, // H at index 31
        {"H01\r\n", false, 0, 0},
        {"", false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        uint32_t low = 7, high = 7;
        EXPECT_EQ(DecodeErrorMask(c.line.c_str(), &low, &high), c.found);
        if (!c.found) continue;
        EXPECT_EQ(low, c.low);
        EXPECT_EQ(high, c.high);
    }
}

// --- exchanges ------------------------------------------------------------------------

TEST_F(FamilyATest, StatusOutcomes) {
    struct Case {
        const char* what;
        FamilyAKnobs knobs;
        bool silent;
        std::vector<std::vector<FakeReply>> homeQuery; // script of NF2m85, none when empty
        int nocheck;
        int result;
        Lines wire;
    };
    FamilyAKnobs homed;
    homed.homed = true;
    FamilyAKnobs error;
    error.errorClass = 1;
    FamilyAKnobs fault;
    fault.homed = true;
    fault.faultByte = 1;
    const Case cases[] = {
        {"homed", homed, false, {}, 0, 0, {"NF6m42", "NF1M80", "NF2m85"}},
        {"not homed", {}, false, {}, 0, 1, {"NF6m42", "NF1M80", "NF2m85"}},
        {"error reply", error, false, {}, 0, 2, {"NF6m42", "NF1M80", "NFFm95", "NF2m85"}},
        {"fault", fault, false, {}, 0, 99, {"NF6m42", "NF1M80", "NF2m85"}},
        {"quick query silent", {}, true, {}, 0, -82, {"NF6m42", "NF1M80"}},
        {"home query silent twice",
         {},
         false,
         {{}},
         0,
         -128,
         {"NF6m42", "NF1M80", "NF2m85", "NF2m85"}},
        {"home query answered the second time",
         homed,
         false,
         {{}, {Line("NF2o00000000")}},
         0,
         0,
         {"NF6m42", "NF1M80", "NF2m85", "NF2m85"}},
        {"nocheck: no quick query", {}, false, {}, 1, 1, {"NF2m85"}},
        {"nocheck, silent", {}, true, {}, 1, -128, {"NF2m85", "NF2m85"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fake.FamilyA(c.knobs);
        fake.SetSilent(c.silent);
        fake.sim().ClearScripts();
        if (!c.homeQuery.empty()) fake.On("NF2m85", c.homeQuery);
        fake.Flush();
        ServoLine.errFlag = 0;
        EXPECT_EQ(ServoStatus(c.nocheck), c.result);
        EXPECT_EQ(Commands(), c.wire);
    }
}

TEST_F(FamilyATest, PingRetriesOnce) {
    struct Case {
        const char* what;
        std::vector<std::vector<FakeReply>> replies; // to NF1m80
        int result;
        int lines;
        int messages;
    };
    const Case cases[] = {
        {"answered", {{Line("NF1o00200000")}}, 0, 3, 0},
        {"an error reply is an answer", {{Line("nF1H00200100")}}, 0, 3, 0},
        {"answered the second time", {{}, {Line("NF1o00200000")}}, 0, 6, 1},
        {"silent", {{}}, -82, 6, 2},
    };
    const Lines once = {"NF6m42", "NFFm95", "NF1m80"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fake.On("NF1m80", c.replies);
        fake.Flush();
        ServoLine.errFlag = 0; // an error reply's flag stays until a line clears it
        CaptureStdout();
        EXPECT_EQ(ServoPing(), c.result);
        std::string expectOut;
        for (int i = 0; i < c.messages; ++i)
            expectOut += "timeout waiting for servo status response!\n";
        EXPECT_EQ(GetCapturedStdout(), expectOut);
        Lines wire = once;
        if (c.lines == 6) wire.insert(wire.end(), once.begin(), once.end());
        EXPECT_EQ(Commands(), wire);
        while (ServoPoll() == 0) {
        }
    }
}

TEST_F(FamilyATest, StopAwaitsItsF1) {
    fake.Flush();
    EXPECT_EQ(ServoAbort(), 0);
    EXPECT_EQ(Commands(), (Lines{"NFFm40", "NF6m42", "NFFm41", "NF7S24", "NF1M80"}));
    fake.SetSilent(true);
    EXPECT_EQ(ServoAbort(), -82);
}

TEST_F(FamilyATest, ErrorReport) {
    struct Case {
        const char* what;
        int errorClass;
        std::string mask;
        int flag;
        int db; // servo error records, 0: no database
        std::map<std::string, std::vector<std::vector<FakeReply>>> scripts;
        int answer;
        int result;
        Lines wire;
        const char* box; // null: no box
        const char* console;
    };
    const Case cases[] = {
        {"class 1, errors 0 and 2",
         1,
         "00000005",
         1,
         320,
         {},
         1,
         1,
         {"NF3M80", "NF4M81"},
         "L104 \nE0\nE2\nL190",
         "SERVO ERROR  1: E0(0)\nSERVO ERROR  2: E2(2)\n"},
        {"class 2, bits 31 and 32",
         2,
         "180000000",
         1,
         320,
         {},
         0,
         0,
         {"NF3M80", "NF4M83"},
         "L104 \nE95\nE96\nL190",
         "SERVO ERROR  1: E95(95)\nSERVO ERROR  2: E96(96)\n"},
        {"class 3, four errors: two in the box",
         3,
         "0000000F",
         0,
         320,
         {},
         1,
         1,
         {"NF3M80", "NF4M84"},
         "L104 \nE128\nE129\nL190",
         "SERVO ERROR  1: E128(128)\nSERVO ERROR  2: E129(129)\n"
         "SERVO ERROR  3: E130(130)\nSERVO ERROR  4: E131(131)\n"},
        {"class 5",
         5,
         "00000001",
         1,
         320,
         {},
         1,
         1,
         {"NF3M80", "NF4M86"},
         "L104 \nE256\nL190",
         "SERVO ERROR  1: E256(256)\n"},
        {"class 4 after the second query",
         4,
         "00000003",
         0,
         320,
         {},
         1,
         1,
         {"NF3M80", "NF3M85", "NF4M85"},
         "L104 \nE192\nE193\nL190",
         "SERVO ERROR  1: E192(192)\nSERVO ERROR  2: E193(193)\n"},
        {"class 4 is not asked for before homing",
         4,
         "00000003",
         1,
         320,
         {},
         1,
         -1,
         {"NF3M80"},
         nullptr,
         ""},
        {"no error after homing", 0, "00000000", 0, 320, {}, 1, -1, {"NF3M80"}, nullptr, ""},
        {"no error before homing", 0, "00000000", 1, 320, {}, 1, -1, {"NF3M80"}, nullptr, ""},
        {"no database", 1, "00000005", 1, 0, {}, 1, 1, {"NF3M80", "NF4M81"}, "L104 \nL190", ""},
        {"error numbers beyond the database",
         5,
         "FFFFFFFF00000000",
         1,
         288,
         {},
         1,
         1,
         {"NF3M80", "NF4M86"},
         "L104 \nL190",
         ""},
        {"an unanswered F4 decodes nothing of the F3 line before",
         0,
         "",
         1,
         320,
         {{"NF3M80", {{Line("NF3H00000100")}}}, {"NF4M81", {{}}}},
         1,
         1,
         {"NF3M80", "NF4M81"},
         "L104 \nL190",
         ""},
        {"a wrong code answering F4 decodes nothing",
         1,
         "",
         1,
         320,
         {{"NF4M81", {{Line("NF3H00000005")}}}},
         1,
         1,
         {"NF3M80", "NF4M81"},
         "L104 \nL190",
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        box.Remove("/u/qel/database/eservo.data");
        if (c.db) WriteServoDb(c.db);
        FamilyAKnobs knobs;
        knobs.errorClass = c.errorClass;
        knobs.f4Mask = c.mask;
        fake.FamilyA(knobs);
        fake.sim().ClearScripts();
        for (const auto& [command, replies] : c.scripts) fake.On(command, replies);
        fake.Flush();
        ui.dialogs.clear();
        ui.answers = {c.answer};
        CaptureStderr();
        EXPECT_EQ(ServoErrorReport(190, c.flag), c.result);
        EXPECT_EQ(GetCapturedStderr(), c.console);
        EXPECT_EQ(Commands(), c.wire);
        if (c.box) {
            EXPECT_EQ(ui.dialogs, Lines{c.box});
            EXPECT_EQ(ServoLine.msgBuf, c.box);
            EXPECT_EQ(
                ServoLine.errCount,
                static_cast<int>(std::count(c.console, c.console + std::strlen(c.console), '\n')));
        } else {
            EXPECT_TRUE(ui.dialogs.empty());
        }
        EXPECT_EQ(ServoErrorCount(), 0) << "the database is freed again";
    }
}

// The report after silence works with nothing, not with the bytes of the
// last reply before it.
TEST_F(FamilyATest, ASilentReportReportsNothing) {
    FamilyAKnobs knobs;
    knobs.errorClass = 1;
    fake.FamilyA(knobs);
    fake.Flush();
    ASSERT_EQ(ServoQueryStatus(1), 2);
    ASSERT_EQ(ServoStatBytes[1], 1) << "the query left class 1 in the bytes";
    fake.SetSilent(true);
    for (int flag : {0, 1}) {
        EXPECT_EQ(ServoErrorReport(190, flag), -1);
        EXPECT_TRUE(ui.dialogs.empty());
    }
}

// An error reply's flag outlives the waits until a line clears it: a quick
// query after it takes the flag for an answer, even from a silent line.
TEST_F(FamilyATest, AnErrorFlagOutlivesItsWait) {
    FamilyAKnobs knobs;
    knobs.errorClass = 2;
    fake.FamilyA(knobs);
    fake.Flush();
    ASSERT_EQ(ServoQueryStatus(1), 2);
    fake.SetSilent(true);
    const size_t naps = clock.Naps().size();
    EXPECT_EQ(ServoQueryStatus(0), 2) << "not -82";
    EXPECT_EQ(clock.Naps().size() - naps, 1u) << "the wait ended at its first test";
    fake.SetSilent(false);
    fake.FamilyA(); // errors gone: the next line clears the flag
    EXPECT_EQ(ServoQueryStatus(0), 0);
    EXPECT_EQ(ServoLine.errFlag, 0);
}

} // namespace
