// Controller interface: the dispatch on the family, and the serial line
// shared by the serial families (open and set-up, send, read, poll, wait,
// drain), against a fake controller on a pty and on the virtual clock.
#include <gtest/gtest.h>

#include "controller.h"
#include "fake_controller.h"
#include "nap.h"
#include "operator_ui_recorder.h"
#include "ports.h"
#include "proc.h"
#include "records_uart.h"
#include "sandbox.h"
#include "serial_line.h"
#include "virtual_clock.h"

#include <atomic>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

int OpenFds() {
    int n = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (readdir(d)) ++n;
        closedir(d);
    }
    return n;
}

const char* const kUartFile = "/u/qel/sys_data/files/uart.bin";

UartEntry Servo(const std::string& path, const std::string& type = "Ondry",
                uint32_t cflag = B9600 | CS8 | CREAD | CLOCAL) {
    UartEntry e;
    e.name = "SERVO";
    e.mode = 'S';
    e.cflag = cflag;
    e.path = path;
    e.type = type;
    return e;
}

// --- dispatch -----------------------------------------------------------------

// Every driver routine of every family lands here.
struct Spy {
    std::vector<std::string> calls;
} spy;

template <int Family> struct SpyDriver {
    static int Op(const char* name, int result) {
        spy.calls.push_back(std::to_string(Family) + name);
        return result + Family;
    }
    static int Open() { return Op("open", 10); }
    static int Home(int go) { return Op(go ? "home1" : "home0", 20 + go); }
    static int Close() { return Op("close", 30); }
    static int Abort() { return Op("abort", 40); }
    static int Ping() { return Op("ping", 50); }
    static int Status() { return Op("status", 60); }
    static int Param() { return Op("param", 70); }
    static constexpr ControllerDriver kDriver = {Open, Home, Close, Abort, Ping, Status, Param};
};

std::vector<int> AllSeven(int family) {
    return {ServoOpenDisp(family),   ServoHomeDisp(family, 0), ServoHomeDisp(family, 1),
            ServoCloseDisp(family),  ServoAbortDisp(family),   ServoPingDisp(family),
            ServoStatusDisp(family), ServoParamDisp(family)};
}

class Dispatch : public ::testing::Test {
  protected:
    void SetUp() override {
        SetControllerDriverForTest(1, &SpyDriver<1>::kDriver);
        SetControllerDriverForTest(2, &SpyDriver<2>::kDriver);
        SetControllerDriverForTest(3, &SpyDriver<3>::kDriver);
        spy.calls.clear();
    }
    void TearDown() override {
        for (int f = 1; f <= 3; ++f) SetControllerDriverForTest(f, nullptr);
    }
};

TEST_F(Dispatch, EachFamilyReachesItsOwnDriver) {
    for (int family : {1, 2, 3}) {
        spy.calls.clear();
        std::vector<int> expect;
        for (int r : {10, 20, 21, 30, 40, 50, 60, 70}) expect.push_back(r + family);
        EXPECT_EQ(AllSeven(family), expect) << "family " << family;
        const std::string f = std::to_string(family);
        EXPECT_EQ(spy.calls,
                  (std::vector<std::string>{f + "open", f + "home0", f + "home1", f + "close",
                                            f + "abort", f + "ping", f + "status", f + "param"}));
    }
}

TEST_F(Dispatch, UnknownFamiliesAnswerZeroWithoutADriver) {
    for (int family : {0, 4, 7, -1, INT_MIN}) {
        EXPECT_EQ(AllSeven(family), std::vector<int>(8, 0)) << "family " << family;
        EXPECT_EQ(ControllerDriverOf(family), nullptr);
    }
    EXPECT_TRUE(spy.calls.empty());
}

TEST_F(Dispatch, MissingRoutinesAnswerZero) {
    const ControllerDriver board = {SpyDriver<2>::Open,  nullptr,
                                    SpyDriver<2>::Close, nullptr,
                                    SpyDriver<2>::Ping,  SpyDriver<2>::Status,
                                    SpyDriver<2>::Param};
    SetControllerDriverForTest(2, &board);
    EXPECT_EQ(ServoHomeDisp(2, 1), 0);
    EXPECT_EQ(ServoAbortDisp(2), 0);
    EXPECT_TRUE(spy.calls.empty());
}

// --- the serial line ------------------------------------------------------------

// A parser for the tests: "C<hex>" is a reply of that code, "E" an error
// reply, "BUSY" busy; like the family parsers it clears the error flag.
std::vector<std::string> parsed;
void TestParse() {
    const std::string line = ServoLine.replyLine;
    parsed.push_back(line);
    ServoLine.errFlag = 0;
    if (line.rfind("BUSY", 0) == 0)
        ServoLine.gotCode = -1;
    else if (line[0] == 'C')
        ServoLine.gotCode = static_cast<int>(std::strtol(line.c_str() + 1, nullptr, 16));
    else if (line[0] == 'E')
        ServoLine.errFlag = 1;
    else
        ServoLine.gotCode = 0;
}

SerialProtocol FamilyAProtocol() {
    SerialProtocol p;
    p.parse = TestParse;
    p.pathInOpenTexts = true;
    return p;
}
SerialProtocol FamilyBProtocol() {
    SerialProtocol p;
    p.parse = TestParse;
    p.singleCharAlone = true;
    return p;
}

class SerialLineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ServoLine = SerialLine{};
        parsed.clear();
        box.Write(kUartFile, EncodeUartFile({Servo(fake.SlavePath())}));
        fake.Attach(clock);
    }
    void TearDown() override { ServoClose(); }
    void Open(const SerialProtocol& p = FamilyAProtocol()) { ASSERT_EQ(ServoOpenLine(p), 1); }
    Sandbox box;
    FakeController fake;
    VirtualClock clock;
    OperatorUiRecorder ui;
};

TEST_F(SerialLineTest, OpenFailuresShowTheirBoxAndLeaveNothingOpen) {
    box.Write("/u/qel/sys_data/files/plain", "just a file");
    struct Case {
        const char* what;
        std::string uart; // "" no table
        const char* textA;
        const char* textB;
        const char* perror; // start of the stderr text, "" none
    };
    const Case cases[] = {
        {"no table", "", "unable to find servo in config", "unable to find servo in config", ""},
        {"no SERVO record", EncodeUartFile({}), "unable to find servo in config",
         "unable to find servo in config", ""},
        {"missing device", EncodeUartFile({Servo("/dev/M_SERVO")}),
         "unable to open servo device [/dev/M_SERVO]", "unable to open servo device",
         "ServoOpen(): No such file or directory"},
        {"not a terminal", EncodeUartFile({Servo("/dev/null")}),
         "unable to set servo baud rate for [/dev/null]", "unable to set servo baud rate",
         "IOCTLcflag() ioctl(tcgets) failed"},
        {"a plain file", EncodeUartFile({Servo("/u/qel/sys_data/files/plain")}),
         "unable to set servo baud rate for [/u/qel/sys_data/files/plain]",
         "unable to set servo baud rate", "IOCTLcflag() ioctl(tcgets) failed"},
    };
    const int fds = OpenFds();
    for (const Case& c : cases) {
        if (c.uart.empty())
            box.Remove(kUartFile);
        else
            box.Write(kUartFile, c.uart);
        for (bool familyA : {true, false}) {
            ui.dialogs.clear();
            CaptureStdout();
            CaptureStderr();
            EXPECT_EQ(ServoOpenLine(familyA ? FamilyAProtocol() : FamilyBProtocol()), 0) << c.what;
            GetCapturedStdout();
            EXPECT_EQ(GetCapturedStderr().rfind(c.perror, 0), 0u) << c.what;
            EXPECT_EQ(ui.dialogs, std::vector<std::string>{familyA ? c.textA : c.textB}) << c.what;
            EXPECT_EQ(ServoLine.fd, -1);
            EXPECT_EQ(OpenFds(), fds) << c.what;
        }
    }
}

TEST_F(SerialLineTest, OpenSetsUpTheLine) {
    Open();
    EXPECT_TRUE(ui.dialogs.empty());
    int flags = fcntl(ServoLine.fd, F_GETFL);
    EXPECT_EQ(flags & O_NONBLOCK, 0) << "blocking again after the open";
    EXPECT_EQ(fcntl(ServoLine.fd, F_GETFD) & FD_CLOEXEC, FD_CLOEXEC);
    termios t{};
    ASSERT_EQ(tcgetattr(fake.SlaveFd(), &t), 0);
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 50);
    EXPECT_EQ(t.c_lflag & (ISIG | ICANON | ECHO), tcflag_t(ISIG));
    EXPECT_EQ(t.c_iflag & (ICRNL | IXON | IXOFF), tcflag_t(IXON | IXOFF));
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_cflag & (CBAUD | CLOCAL), tcflag_t(B9600 | CLOCAL));
    EXPECT_EQ(ServoClose(), 1);
    EXPECT_EQ(ServoLine.fd, -1);
}

TEST_F(SerialLineTest, OpenNeverTakesTheLineAsControllingTerminal) {
    int status = RunInChild(
        [] {
            setsid(); // a session leader without a terminal would take the first it opens
            if (ServoOpenLine(FamilyAProtocol()) != 1) _exit(2);
            int tty = open("/dev/tty", O_RDWR | O_NOCTTY);
            _exit(tty < 0 ? 0 : 3);
        },
        10000);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(SerialLineTest, DescriptorZeroCountsAsFailureAndIsClosed) {
    int status = RunInChild(
        [] {
            close(0); // the device is given descriptor 0
            if (ServoOpenLine(FamilyAProtocol()) != 0) _exit(2);
            _exit(fcntl(0, F_GETFD) == -1 ? 0 : 3);
        },
        10000);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(SerialLineTest, CommandLinesGoOutExactly) {
    Open();
    writeservo("NF6m42");
    writeservo("\x13");
    fake.Pump(0);
    EXPECT_EQ(fake.ReceivedBytes(), "NF6m42\r\n\x13\r\n") << "family A: CR LF after each text";
    ServoClose();
    fake.Flush();
    Open(FamilyBProtocol());
    writeservo("\x02");
    writeservo("ESTATUS");
    fake.Pump(0);
    EXPECT_EQ(fake.ReceivedBytes(), "\x02"
                                    "ESTATUS\r\n")
        << "family B: one byte alone";
}

TEST_F(SerialLineTest, AStoppedLineTimesOutTheWrite) {
    Open();
    ASSERT_EQ(tcflow(fake.SlaveFd(), TCOOFF), 0); // as after an XOFF from the controller
    CaptureStderr();
    writeservo("NF1m80");
    EXPECT_EQ(GetCapturedStderr(), "writeservo(): Connection timed out\n"
                                   "writeservo(crlf): Connection timed out\n");
    EXPECT_EQ(clock.Now(), 2 * 5000);
    fake.Pump(clock.Now());
    EXPECT_EQ(fake.ReceivedBytes(), "");

    // Output resumed one second into the wait: the line goes out.
    const long resumeAt = clock.Now() + 1000;
    clock.OnNap([&](long now) {
        if (now == resumeAt) tcflow(fake.SlaveFd(), TCOON);
    });
    CaptureStderr();
    writeservo("NF1m80");
    EXPECT_EQ(GetCapturedStderr(), "");
    EXPECT_EQ(clock.Now(), resumeAt);
    fake.Pump(clock.Now());
    EXPECT_EQ(fake.ReceivedBytes(), "NF1m80\r\n");
}

TEST_F(SerialLineTest, ReplyLinesKeepTheirLineEnd) {
    Open();
    fake.Send("C1 first\r\nC2 second\r\n");
    fake.Send(std::string("NUL\0after\r\n", 11));
    EXPECT_EQ(ServoPoll(), 0);
    EXPECT_STREQ(ServoLine.replyLine, "C1 first\r\n");
    EXPECT_EQ(ServoLine.replyLen, 10);
    EXPECT_EQ(ServoPoll(), 0) << "one line per poll";
    EXPECT_STREQ(ServoLine.replyLine, "C2 second\r\n");
    EXPECT_EQ(ServoPoll(), 0);
    EXPECT_EQ(std::string(ServoLine.replyLine, 5), std::string("NUL\0\0", 5));
    EXPECT_EQ(ServoLine.replyLen, 4);
    EXPECT_EQ(ServoPoll(), 0);
    EXPECT_STREQ(ServoLine.replyLine, "after\r\n");
    EXPECT_EQ(ServoPoll(), -1) << "nothing left";
    EXPECT_EQ(parsed,
              (std::vector<std::string>{"C1 first\r\n", "C2 second\r\n", "NUL", "after\r\n"}));
}

TEST_F(SerialLineTest, AnOverlongLineIsCutAndKeepsItsLineEnd) {
    Open();
    const std::string longText = "C9" + std::string(298, 'x');
    fake.Send(longText + "\r\nC3\r\n");
    CaptureStdout();
    EXPECT_EQ(ServoPoll(), 0);
    EXPECT_EQ(GetCapturedStdout(), "readline(): reply line too long, 103 characters dropped\n");
    const std::string kept = ServoLine.replyLine;
    EXPECT_EQ(kept, longText.substr(0, 198) + "\n");
    EXPECT_EQ(ServoLine.replyLen, 199);
    EXPECT_EQ(ServoLine.gotCode, 9) << "the cut line is parsed";
    EXPECT_EQ(ServoPoll(), 0);
    EXPECT_STREQ(ServoLine.replyLine, "C3\r\n") << "the rest of the long line was dropped";
}

TEST_F(SerialLineTest, ALineLeftUnfinishedTimesOutAfterFiveSeconds) {
    Open();
    fake.Send("C1 but no line end");
    CaptureStderr();
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ServoPoll(), -1);
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(GetCapturedStderr(), "readline(): Success\n");
    EXPECT_GE(took, std::chrono::milliseconds(4500));
    EXPECT_LT(took, std::chrono::milliseconds(8000));
    EXPECT_TRUE(parsed.empty());
}

TEST_F(SerialLineTest, AFailingDescriptorReadsAsNoByte) {
    char c = 'k';
    CaptureStdout();
    EXPECT_EQ(ServoReadByte(-1, &c), -1);
    EXPECT_EQ(GetCapturedStdout(), "Error on fcntl, GETFL\n");
    EXPECT_EQ(c, 'k');
    CaptureStdout();
    EXPECT_EQ(ServoPoll(), -1) << "a poll on a closed line finds nothing";
    GetCapturedStdout();
}

TEST_F(SerialLineTest, WaitForAReply) {
    struct Case {
        const char* what;
        int count;
        int code;
        int busyOk;
        int errBefore;
        std::vector<FakeReply> replies;
        int result;
        int naps;
        int errAfter;
    };
    const Case cases[] = {
        {"code at once", 2, 0xF1, 0, 0, {Line("CF1")}, 0, 1, 0},
        {"code after 3 polls", 2, 0xF1, 0, 0, {Line("CF1", 500)}, 0, 3, 0},
        {"other codes first",
         2,
         0xF1,
         0,
         0,
         {Line("CF2"), Line("C0", 250), Line("CF1", 750)},
         0,
         4,
         0},
        {"error reply", 5, 0xF1, 0, 0, {Line("E", 250)}, 0, 2, 1},
        {"silence, count 2", 2, 0xF1, 0, 0, {}, -82, 10, 0},
        {"silence, count 5", 5, 0xF1, 0, 0, {}, -82, 22, 0},
        {"reply at the final poll", 2, 0xF1, 0, 0, {Line("CF1", 9 * 250)}, 0, 10, 0},
        {"reply after the final poll", 2, 0xF1, 0, 0, {Line("CF1", 10 * 250)}, -82, 10, 0},
        {"busy without busyOk", 2, 0xF1, 0, 0, {Line("BUSY")}, -82, 10, 0},
        {"busy with busyOk", 2, 0xF1, 1, 0, {Line("BUSY", 250)}, 0, 2, 0},
        {"error flag left from before", 2, 0xF1, 0, 1, {}, 0, 1, 1},
        {"error flag left, a line clears it", 2, 0xF1, 0, 1, {Line("C0")}, -82, 10, 0},
    };
    Open();
    for (const Case& c : cases) {
        fake.Flush();
        fake.On("Q", {c.replies});
        writeservo("Q");
        ServoLine.errFlag = c.errBefore;
        ServoLine.gotCode = c.code; // cleared by the wait
        const size_t napsBefore = clock.Naps().size();
        EXPECT_EQ(ServoWaitReply(c.count, c.code, c.busyOk), c.result) << c.what;
        EXPECT_EQ(clock.Naps().size() - napsBefore, static_cast<size_t>(c.naps)) << c.what;
        EXPECT_EQ(clock.NapsOf(250), static_cast<int>(clock.Naps().size())) << c.what;
        EXPECT_EQ(ServoLine.errFlag, c.errAfter) << c.what;
        while (ServoPoll() == 0) {
        }
    }
}

TEST_F(SerialLineTest, DrainSleepsThenDropsWhatCame) {
    Open();
    fake.Send("C1\r\nsome noise");
    ServoDrain(1);
    EXPECT_EQ(clock.Naps(), std::vector<long>{1000});
    EXPECT_EQ(ServoPoll(), -1) << "nothing left";
    EXPECT_TRUE(parsed.empty());
}

TEST_F(SerialLineTest, DrainStopsOnALineThatKeepsSending) {
    int p[2];
    ASSERT_EQ(pipe(p), 0);
    ASSERT_GE(fcntl(p[1], F_SETPIPE_SZ, 256 * 1024), 100 * 1024);
    const std::string stream(100 * 1024, 'x');
    ASSERT_EQ(write(p[1], stream.data(), stream.size()), static_cast<ssize_t>(stream.size()));
    ServoLine.fd = p[0];
    CaptureStdout();
    // Its pause runs on the virtual clock; its time bound (the pause and
    // 2 s, real time) lies far beyond what reading 64 KiB takes on a busy
    // machine, so that only the byte bound can end it.
    ServoDrain(60);
    EXPECT_EQ(GetCapturedStdout(),
              "ServoDrain(): the controller keeps sending, 65536 bytes dropped\n");
    std::string rest(stream.size(), '\0');
    fcntl(p[0], F_SETFL, O_NONBLOCK);
    EXPECT_EQ(read(p[0], &rest[0], rest.size()), 100 * 1024 - 65536);
    close(p[1]);
}

// A stream that never ends its line must not hold the program: the line is
// given up after 64 KiB, or 5 s after its first byte.
TEST_F(SerialLineTest, AStreamWithoutLineEndsIsGivenUp) {
    int p[2];
    ASSERT_EQ(pipe(p), 0);
    ASSERT_GE(fcntl(p[1], F_SETPIPE_SZ, 256 * 1024), 100 * 1024);
    const std::string stream = "C1" + std::string(100 * 1024, 'x');
    ASSERT_EQ(write(p[1], stream.data(), stream.size()), static_cast<ssize_t>(stream.size()));
    ServoLine.fd = p[0];
    CaptureStderr();
    CaptureStdout();
    EXPECT_EQ(ServoPoll(), -1);
    GetCapturedStdout();
    EXPECT_EQ(GetCapturedStderr(), "readline(): Message too long\n");
    EXPECT_TRUE(parsed.empty());
    std::string rest(stream.size(), '\0');
    fcntl(p[0], F_SETFL, O_NONBLOCK);
    EXPECT_EQ(read(p[0], &rest[0], rest.size()), static_cast<ssize_t>(stream.size() - 65536));
    close(p[1]);
    close(p[0]);

    // A byte every 50 ms: the line is given up 5 s after it began.
    ASSERT_EQ(pipe(p), 0);
    ServoLine.fd = p[0];
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        while (!stop) {
            if (write(p[1], "x", 1) != 1) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    pollfd first{p[0], POLLIN, 0};
    EXPECT_EQ(poll(&first, 1, 2000), 1) << "the stream began";
    CaptureStderr();
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ServoPoll(), -1);
    auto took = std::chrono::steady_clock::now() - start;
    stop = true;
    writer.join();
    EXPECT_EQ(GetCapturedStderr(), "readline(): Connection timed out\n");
    EXPECT_GE(took, std::chrono::milliseconds(4900));
    EXPECT_LT(took, std::chrono::milliseconds(8000));
    close(p[1]);
    close(p[0]);
    ServoLine.fd = -1;
}

// The drain's time bound: n + 2 s from its call, the pause included. A pause
// that takes longer than asked (a loaded machine) leaves only the rest of
// that time for reading. The pauses here really sleep, for the drain's clock
// is the real one.
long PauseExtraMs = 0;
void OverlongNap(long ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms + PauseExtraMs));
}

TEST(ServoDrainBound, TheTimeBoundCountsFromTheCall) {
    struct Case {
        long pauseMs; // what the drain's pause of 0 s takes
        bool readsOn; // the drain still reads after it
    };
    for (Case c : {Case{1200, true}, Case{2100, false}}) {
        SCOPED_TRACE(c.pauseMs);
        int p[2];
        ASSERT_EQ(pipe(p), 0);
        ASSERT_GE(fcntl(p[1], F_SETPIPE_SZ, 256 * 1024), 100 * 1024);
        const std::string stream(100 * 1024, 'x');
        ASSERT_EQ(write(p[1], stream.data(), stream.size()), static_cast<ssize_t>(stream.size()));
        ServoLine.fd = p[0];
        PauseExtraMs = c.pauseMs;
        SetNapHook(OverlongNap);
        CaptureStdout();
        ServoDrain(0);
        const std::string out = GetCapturedStdout();
        SetNapHook(nullptr);
        ServoLine.fd = -1;
        close(p[0]);
        close(p[1]);
        const std::string head = "ServoDrain(): the controller keeps sending, ";
        ASSERT_EQ(out.compare(0, head.size(), head), 0) << out;
        const long dropped = std::strtol(out.c_str() + head.size(), nullptr, 10);
        if (c.readsOn)
            EXPECT_GT(dropped, 1) << out;
        else
            EXPECT_EQ(out, head + "1 bytes dropped\n");
    }
}

} // namespace
