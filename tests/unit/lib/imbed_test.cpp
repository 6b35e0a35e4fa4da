// The counter board: register access, identity, set-up and the homing
// event, against the board's register model behind the bus seam, and the
// device path on a regular file (the POSIX side of the seam).
#include <gtest/gtest.h>

#include "board_model.h"
#include "controller.h"
#include "imbed.h"
#include "sandbox.h"

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

using Trace = std::vector<std::string>;

Trace Join(std::initializer_list<Trace> parts) {
    Trace all;
    for (const Trace& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

// The set-up's accesses, with the control value from the status read.
Trace InitTrace(const std::string& control) {
    return {"W300=1", "R318",   "W300=2", "R318", "W300=3",         "R318",
            "W300=0", "W302=0", "W300=4", "R300", "W302=" + control};
}

// Output of a call: (stdout, stderr).
template <typename F> std::pair<std::string, std::string> Console(F call) {
    CaptureStdout();
    CaptureStderr();
    call();
    std::string out = GetCapturedStdout();
    return {out, GetCapturedStderr()};
}

class BoardTest : public ::testing::Test {
  protected:
    void TearDown() override {
        CloseImbed();
        ImbedBoardId = 0;
    }
    Sandbox box;
    BoardModel board;
};

// --- opening, closing, register access ------------------------------------------------------

TEST_F(BoardTest, CloseBeforeAnyOpenClosesNothing) {
    ASSERT_NE(fcntl(0, F_GETFD), -1);
    EXPECT_EQ(ImbedFd, -1);
    EXPECT_EQ(CloseImbed(), 0);
    EXPECT_TRUE(board.trace.empty());
    EXPECT_NE(fcntl(0, F_GETFD), -1) << "descriptor 0 is left alone";
}

TEST_F(BoardTest, OpenAndClose) {
    EXPECT_EQ(OpenImbed(0x300), 0);
    EXPECT_EQ(ImbedFd, BoardModel::kFd);
    EXPECT_EQ(OpenImbed(0x300), 0) << "the same base again";
    EXPECT_EQ(board.opens, 1) << "without a second open";
    EXPECT_EQ(OpenImbed(0x310), -3);
    EXPECT_EQ(CloseImbed(), 0);
    EXPECT_EQ(ImbedFd, -1);
    EXPECT_FALSE(board.open);
    EXPECT_EQ(board.TakeTrace(), (Trace{"open /dev/imbed", "close"}));
    EXPECT_EQ(OpenImbed(0x310), 0) << "another base once closed";
    EXPECT_EQ(CloseImbed(), 0);
    EXPECT_EQ(CloseImbed(), 0) << "twice";
    EXPECT_EQ(board.TakeTrace(), (Trace{"open /dev/imbed", "close"}));
}

TEST_F(BoardTest, OpenFailures) {
    struct Case {
        const char* what;
        bool failOpen;
        long failSeekAt;
        int result;
        const char* errors;
        Trace trace;
    };
    const Case cases[] = {
        {"missing device",
         true,
         -1,
         -4,
         "/dev/imbed open error: No such file or directory\n",
         {"open /dev/imbed"}},
        {"seek refused",
         false,
         0x300,
         -5,
         "/dev/imbed lseek error: Illegal seek\n",
         {"open /dev/imbed", "close"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        board.failOpen = c.failOpen;
        board.failSeekAt = c.failSeekAt;
        int result = 0;
        auto [out, err] = Console([&] { result = OpenImbed(0x300); });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(out, "");
        EXPECT_EQ(err, c.errors);
        EXPECT_EQ(ImbedFd, -1);
        EXPECT_FALSE(board.open) << "nothing is left open";
        // Nothing is open: an access says so, a close closes nothing.
        unsigned char byte = 0x55;
        std::tie(out, err) = Console([&] { byte = ReadChan(0x300); });
        EXPECT_EQ(out, "ReadChan error -8\n");
        EXPECT_EQ(byte, 0);
        EXPECT_EQ(CloseImbed(), 0);
        EXPECT_EQ(board.TakeTrace(), c.trace);
    }
    // The identity read says why there is no board.
    board.failOpen = true;
    board.failSeekAt = -1;
    unsigned char id = 1;
    auto [out, err] = Console([&] { id = ImbedBoardType(); });
    EXPECT_EQ(id, 0);
    EXPECT_EQ(out, "OpenImbed failed: -4\n");
    EXPECT_EQ(err, "/dev/imbed open error: No such file or directory\n");
}

TEST_F(BoardTest, AccessFailures) {
    struct Case {
        const char* what;
        bool open;
        long failSeekAt;
        bool readsNothing;
        bool failWrites;
        int readError;
        int writeError;
    };
    const Case cases[] = {
        {"not open", false, -1, false, false, -8, -8},
        {"seek fails", true, 0x318, false, false, -5, -5},
        {"a read of no byte, a failed write", true, -1, true, true, -6, -7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.open) {
            ASSERT_EQ(OpenImbed(0x300), 0);
        }
        board.failSeekAt = c.failSeekAt;
        board.readsNothing = c.readsNothing;
        board.failWrites = c.failWrites;
        unsigned char byte = 0x55;
        auto [out, err] = Console([&] { byte = ReadChan(0x318); });
        EXPECT_EQ(byte, 0);
        EXPECT_EQ(ImbedError, c.readError);
        EXPECT_EQ(out, "ReadChan error " + std::to_string(c.readError) + "\n");
        std::tie(out, err) = Console([&] { WriteChan(0x318, 7); });
        EXPECT_EQ(ImbedError, c.writeError);
        EXPECT_EQ(out, "WriteChan error " + std::to_string(c.writeError) + "\n");
        std::tie(out, err) = Console([&] { WriteChan(0x302, 7); });
        EXPECT_EQ(ImbedError, c.failWrites ? -7 : c.open ? 0 : -8) << "each access anew";
        board.failSeekAt = -1;
        board.readsNothing = board.failWrites = false;
        CloseImbed();
        EXPECT_EQ(ImbedError, 0) << "cleared by the close";
    }
}

// --- identity, ping and status ----------------------------------------------------------------

TEST_F(BoardTest, PingAndStatus) {
    struct Case {
        const char* what;
        bool mode;
        int fixedIdentity;
        int ping;
        unsigned char id;
        int status;
        Trace trace;
    };
    const Case cases[] = {
        {"E: not homed", false, -1, 1, 'E', 0,
         Join({{"open /dev/imbed", "R300"}, InitTrace("7"), {"W300=0", "W302=0", "close"}})},
        {"M: homed", true, -1, 1, 'M', 1,
         Join({{"open /dev/imbed", "R300"}, InitTrace("7"), {"W300=8", "W302=0", "close"}})},
        {"any other identity: no board", false, 'X', 0, 0, 0, {"open /dev/imbed", "R300", "close"}},
        {"no identity at all", false, 0xFF, 0, 0, 0, {"open /dev/imbed", "R300", "close"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        board.mode = c.mode;
        board.fixedIdentity = c.fixedIdentity;
        board.statuses = {0x20};
        EXPECT_EQ(ImbedPing(), c.ping);
        EXPECT_EQ(ImbedBoardId, c.id);
        EXPECT_EQ(board.TakeTrace(), c.trace);
        EXPECT_EQ(ImbedStatus(), c.status);
        EXPECT_EQ(ImbedHomedBit, c.status);
        EXPECT_TRUE(board.trace.empty()) << "the status does no I/O";
        EXPECT_FALSE(board.open);
        EXPECT_EQ(ImbedFd, -1);
        EXPECT_EQ(board.mode, c.mode) << "the homed mark stays";
        EXPECT_EQ(board.page, 0) << "no page left selected";
    }
    board.failOpen = true;
    auto [out, err] = Console([&] { EXPECT_EQ(ImbedPing(), 0); });
    EXPECT_EQ(out, "OpenImbed failed: -4\n");
    EXPECT_EQ(ImbedBoardId, 0);
    EXPECT_EQ(ImbedStatus(), 0);
}

TEST_F(BoardTest, TheDispatchReachesTheBoard) {
    board.mode = true;
    std::vector<int> results;
    auto [out, err] = Console([&] {
        for (int (*op)(int) : {ServoPingDisp, ServoStatusDisp, ServoOpenDisp, ServoCloseDisp,
                               ServoParamDisp, ServoAbortDisp})
            results.push_back(op(kCounterBoard));
        results.push_back(ServoHomeDisp(kCounterBoard, 1));
    });
    // ping (M), status (homed), open, close, the family A parameter check
    // (no syspar.bin); stop and home do nothing.
    EXPECT_EQ(results, (std::vector<int>{1, 1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(err, "ServoParam: can not open sysparam file!!!\n");
    EXPECT_EQ(board.opens, 2);
    EXPECT_FALSE(board.open);
    EXPECT_TRUE(board.mode) << "the homed mark is back after the set-up";
}

// --- the homing event --------------------------------------------------------------------------

TEST_F(BoardTest, EventDetection) {
    struct Case {
        const char* what;
        // The status bytes in turn: the set-up's read first, then the polls'.
        std::vector<unsigned char> statuses;
        std::vector<int> polls;
        int latchReads;
        bool homed;
    };
    const Case cases[] = {
        {"a rising latch event, held", {0x00, 0x00, 0x10}, {0, 1, 1, 1, 1}, 1, true},
        {"a rising event A", {0x00, 0x00, 0x08}, {0, 1, 1, 1}, 0, true},
        {"event B alone", {0x00, 0x00, 0x04}, {0, 0, 0, 0}, 0, false},
        {"the first poll sees no edge", {0x00, 0x10}, {0, 0, 0, 0}, 0, false},
        {"bits up at the set-up", {0x18}, {0, 0, 0, 0}, 0, false},
        {"up, down, up again", {0x10, 0x10, 0x10, 0x00, 0x10}, {0, 0, 0, 1, 1}, 1, true},
        {"reported after the bits drop", {0x00, 0x00, 0x10, 0x10, 0x00}, {0, 1, 1, 1, 1}, 1, true},
        {"a latch event, then event A",
         {0x00, 0x00, 0x10, 0x10, 0x00, 0x00, 0x00, 0x00, 0x08},
         {0, 1, 1, 1, 1, 1},
         1,
         true},
        {"no event", {0x00}, {0, 0, 0}, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        board.mode = false;
        board.statuses = c.statuses;
        board.statusReads = 0;
        board.acks = 0;
        ImbedBoardId = 'E';
        ASSERT_EQ(ImbedServoOpen(), 1);
        std::vector<int> polls;
        for (size_t i = 0; i < c.polls.size(); ++i) polls.push_back(ImbedPollEvent());
        EXPECT_EQ(polls, c.polls);
        const Trace trace = board.TakeTrace();
        EXPECT_EQ(std::count(trace.begin(), trace.end(), "R316"), 3 * c.latchReads)
            << "the counters of three axes for each latch event";
        EXPECT_EQ(board.acks, c.latchReads) << "each latch event acknowledged";
        EXPECT_EQ(ImbedBoardId, c.homed ? 'M' : 'E');
        EXPECT_EQ(board.mode, c.homed) << "the mode bit follows";
        CloseImbed();
        EXPECT_EQ(board.page, 0) << "no page left selected";
    }
}

TEST_F(BoardTest, ALatchEventReadsTheCountersAndAcknowledges) {
    board.statuses = {0x00, 0x00, 0x10, 0xF0};
    ASSERT_EQ(ImbedServoOpen(), 1);
    EXPECT_EQ(board.TakeTrace(), Join({{"open /dev/imbed"}, InitTrace("6")}));
    EXPECT_EQ(ImbedPollEvent(), 0);
    EXPECT_EQ(board.TakeTrace(), (Trace{"W300=4", "R300"}));
    EXPECT_EQ(ImbedPollEvent(), 1);
    const Trace axes = {"W300=1", "R31E", "W300=2", "R31E", "W300=3", "R31E", "W300=8", "W302=0"};
    EXPECT_EQ(board.TakeTrace(), Join({{"W300=4", "R300"},
                                       {"W300=4", "R300", "W302=1", "W302=6"},
                                       {"W300=1", "R310", "R312", "R314", "R316"},
                                       {"W300=2", "R310", "R312", "R314", "R316"},
                                       {"W300=3", "R310", "R312", "R314", "R316"},
                                       {"W300=0", "W308=0"},
                                       axes}));
    EXPECT_EQ(ImbedPollEvent(), 1) << "the bits still up";
    EXPECT_EQ(board.TakeTrace(), Join({{"W300=4", "R300"}, axes}));
    EXPECT_EQ(ImbedBoardId, 'M');
    EXPECT_EQ(ImbedStatus(), 1);
    CloseImbed();
    EXPECT_EQ(board.TakeTrace(), Trace{"close"}) << "the mode is already set";
}

// A cancelled homing wait leaves the status page selected; the close puts
// the board back, so that the next ping reads its identity.
TEST_F(BoardTest, APingAfterACancelledWaitFindsTheBoard) {
    board.statuses = {0x00};
    ASSERT_EQ(ImbedPing(), 1);
    ASSERT_EQ(ImbedServoOpen(), 1);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(ImbedPollEvent(), 0);
    EXPECT_EQ(board.page, 4);
    board.TakeTrace();
    CloseImbed();
    EXPECT_EQ(board.TakeTrace(), (Trace{"W300=0", "W302=0", "close"}));
    board.statusReads = 0; // a status taken for the identity would mean no board
    EXPECT_EQ(ImbedPing(), 1);
    EXPECT_EQ(ImbedBoardId, 'E');
    EXPECT_EQ(board.statusReads, 1u) << "only the set-up's status read";
}

// --- the device path on a regular file ------------------------------------------------------

class BoardFileTest : public ::testing::Test {
  protected:
    void TearDown() override {
        CloseImbed();
        ImbedBoardId = 0;
    }
    void WriteDevice(unsigned char identity, size_t size = 0x320) {
        std::string bytes(size, '\0');
        if (size > 0x300) bytes[0x300] = static_cast<char>(identity);
        box.Write("/dev/imbed", bytes);
    }
    Sandbox box;
};

TEST_F(BoardFileTest, IdentityFromTheFile) {
    struct Case {
        unsigned char stored;
        unsigned char id;
    };
    for (const Case& c : {Case{0xBA, 'E'}, Case{0xB2, 'M'}, Case{0x00, 0}, Case{0x45, 0}}) {
        SCOPED_TRACE(int(c.stored));
        WriteDevice(c.stored);
        EXPECT_EQ(ImbedBoardType(), c.id);
        EXPECT_GE(ImbedFd, 0) << "the device stays open";
        CloseImbed();
    }
}

TEST_F(BoardFileTest, PingWritesTheModeAndCloses) {
    WriteDevice(0xB2);
    const int fd = open("/dev/null", O_RDONLY);
    ASSERT_GE(fd, 0);
    close(fd); // the number the next open gets
    EXPECT_EQ(ImbedPing(), 1);
    EXPECT_EQ(ImbedBoardId, 'M');
    const std::string bytes = box.Read("/dev/imbed");
    ASSERT_EQ(bytes.size(), 0x320u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0x300]), 8) << "the mode, written last";
    EXPECT_EQ(static_cast<unsigned char>(bytes[0x302]), 0);
    EXPECT_EQ(ImbedFd, -1);
    EXPECT_EQ(fcntl(fd, F_GETFD), -1) << "the device is closed";
}

TEST_F(BoardFileTest, FailuresOnTheDevicePath) {
    // Missing.
    auto [out, err] = Console([] { EXPECT_EQ(ImbedPing(), 0); });
    EXPECT_EQ(out, "OpenImbed failed: -4\n");
    EXPECT_EQ(err, "/dev/imbed open error: No such file or directory\n");
    // Too short for the set-up's reads: each failed read says so, once.
    WriteDevice(0xBA, 0x301);
    std::tie(out, err) = Console([] { EXPECT_EQ(ImbedPing(), 1); });
    EXPECT_EQ(out, "ReadChan error -6\nReadChan error -6\nReadChan error -6\n");
    EXPECT_EQ(ImbedFd, -1);
    // A FIFO cannot seek.
    box.Remove("/dev/imbed");
    ASSERT_EQ(mkfifo(box.Path("/dev/imbed").c_str(), 0600), 0);
    std::tie(out, err) = Console([] { EXPECT_EQ(OpenImbed(0x300), -5); });
    EXPECT_EQ(err, "/dev/imbed lseek error: Illegal seek\n");
    EXPECT_EQ(ImbedFd, -1);
}

} // namespace
