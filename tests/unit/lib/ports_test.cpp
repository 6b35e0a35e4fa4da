// Port records (lookup, write-back, type numbers) and the serial line
// settings: each settings step exactly, then the routines on a real pty and
// on a descriptor that is no terminal.
#include <gtest/gtest.h>

#include "fake_controller.h"
#include "generators.h"
#include "ports.h"
#include "records_uart.h"
#include "sandbox.h"

#include <cstring>
#include <fcntl.h>
#include <csignal>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

UartEntry Port(const std::string& name, const std::string& type = "", uint32_t cflag = 0,
               const std::string& path = "", const std::string& description = "") {
    UartEntry e;
    e.name = name;
    e.mode = cflag ? 'S' : 'P';
    e.cflag = cflag;
    e.path = path;
    e.type = type;
    e.description = description;
    return e;
}

const char* const kUartFile = "/u/qel/sys_data/files/uart.bin";
const std::string k40(40, 'N');
const std::string kReadError = "ERROR OPENING FOR READ: (/u/qel/sys_data/files/uart.bin)\n";

class PortRecords : public ::testing::Test {
  protected:
    void WriteUart(const std::string& bytes) { box.Write(kUartFile, bytes); }
    Sandbox box;
};

TEST_F(PortRecords, LookupFindsTheFirstRecordOfTheNameOnly) {
    // Eleven records: the table is the first ten of them.
    std::vector<UartEntry> ports = {
        Port("SERVO"), Port("OIT"),     Port("PLOTTER"), Port("PRINTER", "first"),
        Port(""),      Port("printer"), Port("PRINT"),   Port("PRINTER", "second"),
        Port(""),      Port("LAST"),    Port("BEYOND")};
    WriteUart(EncodeUartFile(ports, 11));
    struct Case {
        const char* port;
        int index;
        const char* type;
    };
    PortRecord r;
    for (Case c : {Case{"PRINTER", 3, "first"},
                   {"SERVO", 0, ""},
                   {"printer", 5, ""},
                   {"PRINTERS", -1, ""},
                   {"PRINTE", -1, ""},
                   {"PENPLOTTER", -1, ""},
                   {"LAST", 9, ""},
                   {"BEYOND", -1, ""}}) {
        std::memset(&r, 0x55, sizeof r);
        CaptureStdout();
        EXPECT_EQ(GetPortCodes(c.port, &r), c.index) << c.port;
        EXPECT_EQ(GetCapturedStdout(), "") << c.port;
        EXPECT_EQ(PortField(r.type), c.type) << c.port;
        if (c.index < 0) {
            PortRecord zero{};
            EXPECT_EQ(std::memcmp(&r, &zero, sizeof r), 0) << "cleared when not found";
        }
    }
}

TEST_F(PortRecords, RecordIsReadFieldByField) {
    UartEntry servo = Port("SERVO", "KROMI", 0x80000CBD, "/dev/M_SERVO", "the controller");
    std::string bytes = EncodeUartFile({servo});
    bytes[41] = 'p'; // a pad byte the program does not keep
    bytes[48 + 13] = '\0';
    bytes[48 + 14] = 'J'; // junk after the path's NUL
    WriteUart(bytes);
    PortRecord r;
    ASSERT_EQ(GetPortCodes("SERVO", &r), 0);
    EXPECT_EQ(PortField(r.name), "SERVO");
    EXPECT_EQ(r.mode, 'S');
    EXPECT_EQ(r.pad[0] | r.pad[1] | r.pad[2], 0);
    EXPECT_EQ(static_cast<uint32_t>(r.cflag), 0x80000CBDu);
    EXPECT_EQ(PortField(r.path), "/dev/M_SERVO");
    EXPECT_EQ(r.path[14], '\0') << "nothing after the NUL is kept";
    EXPECT_EQ(PortField(r.type), "KROMI");
    EXPECT_EQ(PortField(r.description), "the controller");
}

TEST_F(PortRecords, FullFortyCharacterFieldsStayWithinTheirBytes) {
    WriteUart(EncodeUartFile({Port(k40, k40, 0x8BD, k40, k40), Port(k40 + "X", "second")}));
    PortRecord r;
    ASSERT_EQ(GetPortCodes(k40, &r), 0);
    EXPECT_EQ(PortField(r.name), k40);
    EXPECT_EQ(PortField(r.path), k40) << "the 40th character is kept";
    EXPECT_EQ(PortField(r.type), k40);
    EXPECT_EQ(PortField(r.description), k40);
    // Encoded, the name cut at 40 equals the first record's: the first wins.
    EXPECT_EQ(GetPortCodes(k40 + "X", &r), -1) << "a name longer than the field never matches";
}

TEST_F(PortRecords, ShortAndPartialFilesEndTheSearch) {
    // Three whole records, then the first 100 bytes of a fourth named OIT.
    std::string partial = EncodeUartRecord(Port("OIT", "VT100")).substr(0, 100);
    WriteUart(EncodeUartFile({Port("PRINTER"), Port("SERVO", "Ondry"), Port("PLOTTER")}, 3) +
              partial);
    PortRecord r;
    CaptureStdout();
    EXPECT_EQ(GetPortCodes("SERVO", &r), 1);
    EXPECT_EQ(GetPortCodes("OIT", &r), -1) << "a partial record is not found";
    EXPECT_EQ(GetPortCodes("PCHANGER", &r), -1);
    EXPECT_EQ(GetCapturedStdout(), "") << "the end of the file is no error";
}

TEST_F(PortRecords, OpenAndReadErrorsAreReported) {
    PortRecord r;
    CaptureStdout();
    EXPECT_EQ(GetPortCodes("SERVO", &r), -1);
    EXPECT_EQ(GetCapturedStdout(), kReadError);

    box.Write(kUartFile + std::string("/x"), ""); // a folder in the file's place
    CaptureStdout();
    EXPECT_EQ(GetPortCodes("SERVO", &r), -1);
    EXPECT_EQ(GetCapturedStdout(),
              "GetPortCodes: /u/qel/sys_data/files/uart.bin is not a plain file, not read\n");
}

TEST_F(PortRecords, WriteBackNeedsTheFileAndRewritesItInPlace) {
    PortRecord table[kUartRecords] = {};
    CaptureStdout();
    EXPECT_EQ(WriteUartFile(table), -1);
    EXPECT_EQ(GetCapturedStdout(), "ERROR OPENING FOR WRITE: (/u/qel/sys_data/files/uart.bin)\n");
    EXPECT_FALSE(box.Exists(kUartFile)) << "the table is not created";

    // An existing table longer than ten records keeps its tail.
    const std::string old = EncodeUartFile(
        {Port("OLD"), {}, {}, {}, {}, {}, {}, {}, {}, {}, Port("TAIL10"), Port("TAIL11")}, 12);
    WriteUart(old);
    struct stat before {};
    ASSERT_EQ(stat(box.Path(kUartFile).c_str(), &before), 0);
    SetPortField(table[0].name, "SERVO");
    table[0].mode = 'S';
    table[0].cflag = 0x8BD;
    SetPortField(table[0].path, k40);
    SetPortField(table[0].type, "Ondry");
    SetPortField(table[9].name, "OIT");
    SetPortField(table[9].type, "GEOIT");
    ASSERT_EQ(WriteUartFile(table), 0);
    struct stat after {};
    ASSERT_EQ(stat(box.Path(kUartFile).c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_size, 12 * 168);

    std::string expected = EncodeUartFile(
        {Port("SERVO", "Ondry", 0x8BD, k40), {}, {}, {}, {}, {}, {}, {}, {}, Port("OIT", "GEOIT")},
        10);
    expected[9 * 168 + 40] = '\0'; // the OIT record was written with no mode
    EXPECT_EQ(box.Read(kUartFile).substr(0, 10 * 168), expected);
    EXPECT_EQ(box.Read(kUartFile).substr(10 * 168), old.substr(10 * 168));
    PortRecord r;
    EXPECT_EQ(GetPortCodes("OIT", &r), 9);
    EXPECT_EQ(GetPortType("SERVO"), 1);
}

TEST_F(PortRecords, WriteErrorsAreReported) {
    WriteUart(EncodeUartFile({Port("SERVO")}, 10));
    PortRecord table[kUartRecords] = {};
    // The first record runs out of room (a file-size limit in a child).
    CaptureStdout();
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        const int result = WriteUartFile(table);
        std::fflush(stdout);
        _exit(result == -1 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(GetCapturedStdout(), "ERROR WRITING: (/u/qel/sys_data/files/uart.bin) 0\n");
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);

    // A device in the table's place is not written.
    box.Remove(kUartFile);
    ASSERT_EQ(symlink("/dev/full", box.Path(kUartFile).c_str()), 0);
    CaptureStdout();
    EXPECT_EQ(WriteUartFile(table), -1);
    EXPECT_EQ(GetCapturedStdout(),
              "WriteUartFile: /u/qel/sys_data/files/uart.bin is not a plain file, not written\n");
}

TEST_F(PortRecords, TypeNumbersOfTheControllerAndTheTerminal) {
    struct Case {
        const char* servoType;
        const char* oitType;
        int servo;
        int oit;
    };
    for (Case c : {Case{"Ondry", "GEOIT", 1, 1},
                   {"TORVI", "JOGBOX", 2, 2},
                   {"KROMI", "V2100", 3, 3},
                   {"kromi", "VT100", 0, 4},
                   {"ONDRY", "vt100", 0, 0},
                   {"KROMI ", "", 0, 0}}) {
        WriteUart(EncodeUartFile(
            {Port("PRINTER", "KROMI"), Port("SERVO", c.servoType), Port("OIT", c.oitType)}));
        EXPECT_EQ(GetPortType("SERVO"), c.servo) << c.servoType;
        EXPECT_EQ(GetPortType("OIT"), c.oit) << c.oitType;
        EXPECT_EQ(GetPortType("PRINTER"), -1);
        EXPECT_EQ(GetPortType("servo"), -1);
    }
    WriteUart(EncodeUartFile({Port("OIT", "VT100")}));
    CaptureStdout();
    EXPECT_EQ(GetPortType("SERVO"), -1) << "no SERVO record";
    EXPECT_EQ(GetCapturedStdout(), "");
    box.Remove(kUartFile);
    CaptureStdout();
    EXPECT_EQ(GetPortType("OIT"), -1);
    EXPECT_EQ(GetCapturedStdout(), kReadError);
}

TEST_F(PortRecords, TheDemoTableNamesAFamilyAControllerAndAVt100) {
    std::string error;
    ASSERT_TRUE(GenerateUart(QEL_SOURCE_DIR "/demo", box.root(), &error)) << error;
    EXPECT_EQ(box.Read(kUartFile).size(), 10u * 168);
    EXPECT_EQ(GetPortType("SERVO"), 1);
    EXPECT_EQ(GetPortType("OIT"), 4);
    PortRecord r;
    ASSERT_EQ(GetPortCodes("SERVO", &r), 0);
    EXPECT_EQ(PortField(r.path), "/dev/M_SERVO");
    EXPECT_EQ(r.cflag, B9600 | CS8 | CREAD | CLOCAL);
    for (const char* port : {"PRINTER", "PLOTTER", "PENPLOTTER", "PCHANGER"})
        EXPECT_GT(GetPortCodes(port, &r), 0) << port;
}

// --- the settings steps -----------------------------------------------------

// The differences between two settings, one word per changed item.
std::set<std::string> Diff(const termios& a, const termios& b) {
    struct Bit {
        tcflag_t termios::*field;
        const char* fieldName;
        tcflag_t bit;
        const char* name;
    };
    const Bit bits[] = {{&termios::c_iflag, "iflag", ICRNL, "ICRNL"},
                        {&termios::c_iflag, "iflag", IXON, "IXON"},
                        {&termios::c_iflag, "iflag", IXOFF, "IXOFF"},
                        {&termios::c_oflag, "oflag", OPOST, "OPOST"},
                        {&termios::c_lflag, "lflag", ISIG, "ISIG"},
                        {&termios::c_lflag, "lflag", ICANON, "ICANON"},
                        {&termios::c_lflag, "lflag", ECHO, "ECHO"}};
    std::set<std::string> d;
    tcflag_t known[4] = {};
    for (const Bit& bit : bits) {
        tcflag_t x = a.*bit.field & bit.bit, y = b.*bit.field & bit.bit;
        if (x != y) d.insert((y ? "+" : "-") + std::string(bit.name));
        if (bit.field == &termios::c_iflag) known[0] |= bit.bit;
        if (bit.field == &termios::c_oflag) known[1] |= bit.bit;
        if (bit.field == &termios::c_lflag) known[3] |= bit.bit;
    }
    auto other = [&](tcflag_t x, tcflag_t y, tcflag_t mask, const char* name) {
        if ((x & ~mask) != (y & ~mask)) d.insert(std::string(name) + " other bits");
    };
    other(a.c_iflag, b.c_iflag, known[0], "iflag");
    other(a.c_oflag, b.c_oflag, known[1], "oflag");
    other(a.c_lflag, b.c_lflag, known[3], "lflag");
    if (a.c_cflag != b.c_cflag) {
        char text[32];
        std::snprintf(text, sizeof text, "cflag=%#x", static_cast<unsigned>(b.c_cflag));
        d.insert(text);
    }
    for (size_t i = 0; i < NCCS; ++i)
        if (a.c_cc[i] != b.c_cc[i]) {
            std::string name = i == VINTR   ? "VINTR"
                               : i == VMIN  ? "VMIN"
                               : i == VTIME ? "VTIME"
                                            : "cc" + std::to_string(i);
            d.insert(name + "=" + std::to_string(b.c_cc[i]));
        }
    if (cfgetispeed(&a) != cfgetispeed(&b)) d.insert("ispeed=" + std::to_string(cfgetispeed(&b)));
    if (cfgetospeed(&a) != cfgetospeed(&b)) d.insert("ospeed=" + std::to_string(cfgetospeed(&b)));
    return d;
}

termios Filled(unsigned char byte) {
    termios t;
    std::memset(&t, byte, sizeof t);
    t.c_cflag = B1200 | CS7; // a valid speed in both
    cfsetispeed(&t, B1200);
    cfsetospeed(&t, B1200);
    return t;
}

using Changes = std::set<std::string>;

TEST(LineSettings, EachStepChangesExactlyItsItems) {
    const termios zeros = Filled(0x00), ones = Filled(0xFF);
    struct Case {
        const char* step;
        termios in;
        termios out;
        Changes expect;
    };
    const Case cases[] = {
        {"raw 1 from all set",
         ones,
         RawModeSettings(ones, 1),
         {"-ICANON", "-ECHO", "-ICRNL", "-OPOST", "VINTR=0", "VMIN=1"}},
        {"raw 1 from all clear", zeros, RawModeSettings(zeros, 1), {"+ISIG", "VMIN=1"}},
        {"raw 0 from all clear",
         zeros,
         RawModeSettings(zeros, 0),
         {"+ICANON", "+ECHO", "+ICRNL", "+OPOST", "VINTR=127"}},
        {"raw 0 from all set", ones, RawModeSettings(ones, 0), {"VINTR=127"}},
        {"raw then cooked gives output processing back",
         RawModeSettings(ones, 1),
         RawModeSettings(RawModeSettings(ones, 1), 0),
         {"+ICANON", "+ECHO", "+ICRNL", "+OPOST", "VINTR=127"}},
        {"raw 2 is cooked",
         zeros,
         RawModeSettings(zeros, 2),
         {"+ICANON", "+ECHO", "+ICRNL", "+OPOST", "VINTR=127"}},
        {"raw -1 is cooked", ones, RawModeSettings(ones, -1), {"VINTR=127"}},
        {"timeout 0", ones, TimeoutSettings(ones, 0), {"VMIN=1", "VTIME=0"}},
        {"timeout 50", ones, TimeoutSettings(ones, 50), {"VMIN=0", "VTIME=50"}},
        {"timeout 256 acts as 0", zeros, TimeoutSettings(zeros, 256), {"VMIN=1"}},
        {"timeout 306 acts as 50", zeros, TimeoutSettings(zeros, 306), {"VTIME=50"}},
        {"timeout -1 acts as 255", zeros, TimeoutSettings(zeros, -1), {"VTIME=255"}},
        {"cflag 9600 8N1",
         zeros,
         CflagSettings(zeros, 0x8BD),
         {"cflag=0x8bd", "ispeed=13", "ospeed=13"}},
        {"cflag 19200 7E2",
         ones,
         CflagSettings(ones, 0x1EE),
         {"cflag=0x1ee", "ispeed=14", "ospeed=14"}},
        {"cflag 600 keeps only the low baud code",
         zeros,
         CflagSettings(zeros, 0x10B8),
         {"cflag=0xb8", "ispeed=8", "ospeed=8"}},
        {"iflag", zeros, IflagSettings(zeros), {"+IXON", "+IXOFF"}},
        {"iflag when set", ones, IflagSettings(ones), {}},
    };
    for (const Case& c : cases) EXPECT_EQ(Diff(c.in, c.out), c.expect) << c.step;
}

TEST(LineSettings, RoutinesSetUpARealTerminalLine) {
    FakeController line;
    int fd = open(line.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(IOCTLcflag(fd, B9600 | CS7 | PARENB | CSTOPB | CLOCAL | CREAD), 1);
    ASSERT_EQ(IOCTLrawmode(fd, 1), 1);
    ASSERT_EQ(IOCTLiflag(fd), 1);
    ASSERT_EQ(IOCTLtimeout(fd, 50), 1);
    termios t{};
    ASSERT_EQ(tcgetattr(fd, &t), 0);
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 50);
    EXPECT_EQ(t.c_cc[VINTR], _POSIX_VDISABLE);
    EXPECT_EQ(t.c_lflag & (ISIG | ICANON | ECHO), tcflag_t(ISIG));
    EXPECT_EQ(t.c_iflag & (ICRNL | IXON | IXOFF), tcflag_t(IXON | IXOFF));
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    // A pty keeps its own character size and parity; speed and these survive.
    EXPECT_EQ(t.c_cflag & (CBAUD | CSTOPB | CLOCAL), tcflag_t(B9600 | CSTOPB | CLOCAL));
    EXPECT_EQ(cfgetospeed(&t), speed_t(B9600));
    EXPECT_EQ(cfgetispeed(&t), speed_t(B9600));

    // Raw: the bytes go out as written, and 0xFF comes in as a byte.
    ASSERT_EQ(write(fd, "NF6m42\r\n", 8), 8);
    line.SendRaw("\xff\r\n");
    line.Pump(0);
    EXPECT_EQ(line.ReceivedBytes(), "NF6m42\r\n");
    char in[4] = {};
    EXPECT_EQ(read(fd, in, sizeof in), 3);
    EXPECT_EQ(std::string(in, 3), "\xff\r\n");

    ASSERT_EQ(IOCTLrawmode(fd, 0), 1);
    ASSERT_EQ(tcgetattr(fd, &t), 0);
    EXPECT_EQ(t.c_lflag & (ISIG | ICANON | ECHO), tcflag_t(ISIG | ICANON | ECHO));
    EXPECT_EQ(t.c_iflag & ICRNL, tcflag_t(ICRNL));
    EXPECT_EQ(t.c_cc[VINTR], 0x7F);
    EXPECT_EQ(t.c_cc[VMIN], 0) << "left as it was";
    // Cooked again: a line end goes out as CR LF.
    ASSERT_EQ(write(fd, "ok\n", 3), 3);
    for (int i = 0; i < 100 && line.ReceivedBytes().size() < 12; ++i) {
        line.Pump(0);
        usleep(10000);
    }
    EXPECT_EQ(line.ReceivedBytes(), "NF6m42\r\nok\r\n");
    close(fd);
}

TEST(LineSettings, ADescriptorThatIsNoTerminalFails) {
    int p[2];
    ASSERT_EQ(pipe(p), 0);
    struct Case {
        const char* name;
        int (*run)(int fd);
    };
    for (Case c : {Case{"IOCTLrawmode", [](int fd) { return IOCTLrawmode(fd, 1); }},
                   {"IOCTLtimeout", [](int fd) { return IOCTLtimeout(fd, 50); }},
                   {"IOCTLcflag", [](int fd) { return IOCTLcflag(fd, 0x8BD); }},
                   {"IOCTLiflag", [](int fd) { return IOCTLiflag(fd); }}}) {
        CaptureStderr();
        EXPECT_EQ(c.run(p[0]), 0) << c.name;
        EXPECT_EQ(GetCapturedStderr(),
                  std::string(c.name) + "() ioctl(tcgets) failed: " + std::strerror(ENOTTY) + "\n");
    }
    close(p[0]);
    close(p[1]);
}

} // namespace
