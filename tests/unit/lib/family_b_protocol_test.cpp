// Family B protocol: the reply parser, and the short exchanges (status,
// ping, stop, error report) against the fake controller on the virtual
// clock.
#include "family_b_fixture.h"

#include <cstring>

namespace {

using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;
using namespace FamilyB;

const std::string kError2 = "\x8F\x50\x8F\x55";

// --- parsing replies -------------------------------------------------------------

TEST_F(FamilyBTest, Parser) {
    const std::string long90 = "ERROR,1,2," + std::string(80, 'x') + "\r\n";
    struct Case {
        const char* what;
        int waitCode;
        std::string line;
        int gotCode;
        int errFlag;
        int stateFlag;
        std::string saved; // SavedErrorLine after, "-" untouched
        const char* console = "";
        bool drained = false; // the parser drained the line for 1 s
    };
    const Case cases[] = {
        {"error line of 21 characters, saved", 0xF1, "ERROR,1,2,limit XYZ\r\n", 0xF1, 1, 0,
         "ERROR,1,2,limit XYZ\r\n"},
        {"error line of 20 characters, just ERROR", 0xF1, "ERROR,1,2,limit XY\r\n", 0xF1, 1, 0,
         "ERROR"},
        {"the second form", 0xF2, kError2 + "ERROR,3,4,drive fault\r\n", 0xF2, 1, 0,
         kError2 + "ERROR,3,4,drive fault\r\n"},
        {"an error under a code without keywords", 0xF5, "ERROR\r\n", 0xF5, 1, 0, "ERROR"},
        {"an error under an unknown code", 0x42, "ERROR\r\n", 0x42, 1, 0, "ERROR"},
        {"a long error line keeps 80 characters", 0xF1, long90, 0xF1, 1, 0, long90.substr(0, 80)},
        {"the second form cut short", 0xF1, kError2 + "ERRO\r\n", 0, 0, 0, "-"},
        {"lower case is no error", 0xF1, "error,1,2,x\r\n", 0, 0, 0, "-"},
        {"BUSY under F1", 0xF1, "BUSY\r\n", -1, 0, 0, "-"},
        {"BUSY under F2", 0xF2, "BUSY now\r\n", -1, 0, 0, "-"},
        {"% under F1", 0xF1, "%\r\n", 0xF1, 0, 0, "-"},
        {"%anything under F1", 0xF1, "%anything\r\n", 0xF1, 0, 0, "-"},
        {"READY under F1", 0xF1, "READY\r\n", 0xF1, 0, 0, "-"},
        {"ENABLED under F1 changes nothing", 0xF1, "ENABLED\r\n", 0, 0, 0, "-"},
        {"ENABLED under F2", 0xF2, "ENABLED\r\n", 0xF2, 0, 1, "-"},
        {"DISABLED under F2", 0xF2, "DISABLED\r\n", 0xF2, 0, 0, "-"},
        {"HAVE_PH9 under F8", 0xF8, "HAVE_PH9,1\r\n", 0xF8, 0, 0, "-"},
        {"JSTK_SGN under F8", 0xF8, "JSTK_SGN,1,1,1\r\n", 0xF8, 0, 0, "-"},
        {"HAVE_ROTARY? under F8", 0xF8, "HAVE_ROTARY?\r\n", 0xF8, 0, 0, "-"},
        {"a keyword cut short", 0xF8, "HAVE_PH\r\n", 0, 0, 0, "-"},
        {"ONLIN under F9, drained", 0xF9, "ONLIN\r\n", 0xF9, 0, 1, "-", "", true},
        {"ESTOP under F9, drained", 0xF9, "ESTOP\r\n", 0xF9, 0, 0, "-", "", true},
        {"another line under F9 is not drained", 0xF9, "RELAYS ARE OFF\r\n", 0, 0, 0, "-"},
        {"%anything under FA, drained", 0xFA, "%ok\r\n", 0xFA, 0, 0, "-", "", true},
        {"READY under FA", 0xFA, "READY\r\n", 0, 0, 0, "-"},
        {"% under F5", 0xF5, "%\r\n", 0, 0, 0, "-"},
        {"% under FF", 0xFF, "%\r\n", 0, 0, 0, "-"},
        {"an unknown code", 0xFB, "%\r\n", 0, 0, 0, "-",
         "vok: error in parse fromservo = < %\r\n>\n"},
        {"a code outside F1 to FF", 0, "READY\r\n", 0, 0, 0, "-",
         "vok: error in parse fromservo = <READY\r\n>\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Stale bytes behind the line must not count.
        std::memset(ServoLine.replyLine, 'E', sizeof ServoLine.replyLine);
        std::memcpy(ServoLine.replyLine, c.line.c_str(), c.line.size() + 1);
        ServoLine.replyLen = static_cast<int>(c.line.size());
        ServoLine.waitCode = c.waitCode;
        ServoLine.gotCode = 0x77;
        ServoLine.errFlag = 1;
        ServoStateFlag = 1;
        SavedErrorLine = "-";
        fake.Send("left over\r\n");
        const size_t naps = clock.Naps().size();
        CaptureStderr();
        ParseFromServo();
        EXPECT_EQ(GetCapturedStderr(), c.console);
        EXPECT_EQ(ServoLine.gotCode, c.gotCode);
        EXPECT_EQ(ServoLine.errFlag, c.errFlag);
        EXPECT_EQ(ServoStateFlag, c.stateFlag);
        EXPECT_EQ(SavedErrorLine, c.saved);
        EXPECT_EQ(clock.Naps().size() - naps, c.drained ? 1u : 0u);
        ServoLine.waitCode = 0xFF;
        const bool rest = ServoPoll() == 0;
        EXPECT_EQ(rest, !c.drained) << "the rest of the answer";
        fake.Flush();
    }
}

// --- status -------------------------------------------------------------------------

TEST_F(FamilyBTest, Status) {
    const std::vector<FakeReply> prompt = {Line("%")};
    const std::vector<FakeReply> silent = {};
    struct Case {
        const char* what;
        int nocheck;
        std::vector<std::vector<FakeReply>> stx;  // the n-th STX's replies
        std::vector<std::vector<FakeReply>> show; // SHOW AUTZER's
        int result;
        Lines commands;
    };
    const Case cases[] = {
        {"homed", 0, {prompt}, {{Line("ENABLED")}}, 0, {"STX", "STX", "SHOW AUTZER"}},
        {"not homed", 0, {prompt}, {{Line("DISABLED")}}, 1, {"STX", "STX", "SHOW AUTZER"}},
        {"SHOW AUTZER silent", 0, {prompt}, {silent}, 1, {"STX", "STX", "SHOW AUTZER"}},
        {"SHOW AUTZER busy", 0, {prompt}, {{Line("BUSY")}}, 1, {"STX", "STX", "SHOW AUTZER"}},
        {"busy", 0, {prompt, {Line("BUSY")}}, {{Line("ENABLED")}}, 1, {"STX", "STX"}},
        {"error reply",
         0,
         {prompt, {Line("ERROR")}},
         {{Line("ENABLED")}},
         2,
         {"STX", "STX", "ETX"}},
        {"the quick query's error: ETX twice",
         0,
         {{Line("ERROR")}, prompt},
         {{Line("ENABLED")}},
         0,
         {"STX", "ETX", "ETX", "STX", "SHOW AUTZER"}},
        {"STX silent twice", 0, {prompt, silent}, {{Line("ENABLED")}}, -128, {"STX", "STX", "STX"}},
        {"STX answered the second time",
         0,
         {prompt, silent, prompt},
         {{Line("ENABLED")}},
         0,
         {"STX", "STX", "STX", "SHOW AUTZER"}},
        {"quick query silent", 0, {silent}, {{Line("ENABLED")}}, -82, {"STX"}},
        {"nocheck: no quick query", 1, {prompt}, {{Line("ENABLED")}}, 0, {"STX", "SHOW AUTZER"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fake.Flush();
        fake.On("\x02", c.stx);
        fake.On("SHOW AUTZER", c.show);
        SavedErrorLine = "ERROR,old";
        EXPECT_EQ(ServoStatus(c.nocheck), c.result);
        EXPECT_EQ(Commands(), c.commands);
        EXPECT_NE(SavedErrorLine, "ERROR,old") << "cleared by each status";
    }
}

// --- ping and stop --------------------------------------------------------------------

TEST_F(FamilyBTest, PingAndStopBytes) {
    struct Case {
        const char* what;
        int (*call)();
        std::vector<FakeReply> stx;
        int result;
        std::string wire;
        const char* console;
        size_t naps;
    };
    const std::string timeout = "timeout waiting for servo status response!\n";
    const Case cases[] = {
        {"ping answered", ServoPing, {Line("%")}, 0, "\x03\x02", "", 1},
        {"ping answered BUSY", ServoPing, {Line("BUSY")}, 0, "\x03\x02", "", 1},
        {"ping silent: once more", ServoPing, {}, -82, "\x03\x02\x03\x02", nullptr, 2 * 22},
        {"stop answered", ServoAbort, {Line("%")}, 0, "\x19\x02", "", 1},
        {"stop silent", ServoAbort, {}, -82, "\x19\x02", "", 42},
        {"stop answered BUSY only", ServoAbort, {Line("BUSY")}, -82, "\x19\x02", "", 42},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fake.Flush();
        fake.On("\x02", {c.stx});
        const size_t naps = clock.Naps().size();
        CaptureStdout();
        EXPECT_EQ(c.call(), c.result);
        EXPECT_EQ(GetCapturedStdout(), c.console ? c.console : timeout + timeout);
        EXPECT_EQ(fake.ReceivedBytes(), c.wire);
        EXPECT_EQ(clock.Naps().size() - naps, c.naps);
    }
}

// --- error report ---------------------------------------------------------------------

TEST_F(FamilyBTest, ErrorReport) {
    struct Case {
        const char* what;
        int flag;
        std::string saved;
        int result;
        std::string text; // the error text; "" no box
    };
    const Case cases[] = {
        {"before homing nothing is reported", 1, "ERROR,17,3,axis X limit", -1, ""},
        {"no error line saved", 0, "", -1, ""},
        {"a saved line that is no error", 0, "BUSY", -1, ""},
        {"the fourth field", 0, "ERROR,17,3,axis X limit,more", 1, "axis X limit"},
        {"empty fields are skipped", 0, "ERROR,,17,,3,axis Y", 1, "axis Y"},
        {"three fields", 0, "ERROR,17,axis X limit\r\n", 1, "ERROR"},
        {"a short error line", 0, "ERROR", 1, "ERROR"},
        {"no trailing CR LF or blanks", 0, "ERROR,17,3,probe hit  \r\n", 1, "probe hit"},
        {"a field of blanks only", 0, "ERROR,17,3,  \r\n", 1, "ERROR"},
        {"the second form", 0, kError2 + "ERROR,1,2,drive fault\r\n", 1, "drive fault"},
        {"at most 80 characters", 0, "ERROR,1,2," + std::string(90, 'y'), 1, std::string(80, 'y')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ui.dialogs.clear();
        ui.answers = {1};
        SavedErrorLine = c.saved;
        CaptureStderr();
        EXPECT_EQ(ServoErrorReport(190, c.flag), c.result);
        const std::string console = GetCapturedStderr();
        if (c.text.empty()) {
            EXPECT_TRUE(ui.dialogs.empty());
            EXPECT_EQ(console, "");
        } else {
            EXPECT_EQ(ui.dialogs, Lines{"L104 \n" + c.text + "\nL190"});
            EXPECT_EQ(console, "SERVO ERROR  1: " + c.text + "\n");
        }
    }
    ui.answers = {0};
    SavedErrorLine = "ERROR,17,3,axis X limit";
    CaptureStderr();
    EXPECT_EQ(ServoErrorReport(190, 0), 0) << "Cancel";
    GetCapturedStderr();
    fake.Pump(clock.Now());
    EXPECT_EQ(fake.ReceivedBytes(), "") << "the report asks the controller nothing";
}

} // namespace
