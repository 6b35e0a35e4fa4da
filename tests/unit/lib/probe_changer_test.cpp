// The probe changer's letters on a pty standing for its device.
#include <gtest/gtest.h>

#include "fake_controller.h"
#include "ports.h"
#include "probe_changer.h"
#include "records_uart.h"
#include "sandbox.h"
#include "virtual_clock.h"

#include <dirent.h>
#include <termios.h>

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

constexpr const char* kToolInvList = "/u/qel/run_data/toolchange/ToolInvList";
constexpr const char* kTilAcr1 = "/u/qel/run_data/toolchange/TIL.ACR1";

int OpenFds() {
    int n = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (readdir(d)) ++n;
        closedir(d);
    }
    return n;
}

UartEntry Changer(const std::string& path) {
    UartEntry e;
    e.name = "PCHANGER";
    e.mode = 'S';
    e.cflag = B9600 | CS8 | CREAD | CLOCAL;
    e.path = path;
    return e;
}

class ProbeChangerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake.Attach(clock);
        box.WriteUart({ServoEntry(), Changer(fake.SlavePath())});
    }
    // What the changer got, and the console, from one call.
    std::pair<std::string, std::string> Send(int type, int before) {
        fake.Flush();
        CaptureStdout();
        SendChangerState(type, before);
        std::string console = GetCapturedStdout();
        fake.Pump(clock.Now());
        return {fake.ReceivedBytes(), console};
    }
    Sandbox box;
    FakeController fake;
    VirtualClock clock;
};

TEST_F(ProbeChangerTest, LettersByTypeWordAndTime) {
    struct Word {
        std::string text; // the inventory's content
        bool noProbe;
        bool empty;
    };
    const Word words[] = {
        {"NONE\n", true, false},         {"EMPTY1 x\n", true, false},
        {"  \n NOTOOLS\n", true, false}, {"NONE" + std::string(100, 'X'), true, false},
        {"NON\n", false, false},         {"T1\n", false, false},
        {"none\n", false, false},        {"", false, true},
        {" \n\t\n", false, true},
    };
    for (int type : {1, 2, 4, 6}) {
        const char* file = type <= 2 ? kToolInvList : kTilAcr1;
        const char* other = type <= 2 ? kTilAcr1 : kToolInvList;
        for (const Word& w : words) {
            // The other inventory would send other letters.
            box.Write(file, w.text);
            box.Write(other, w.noProbe ? "T1\n" : "NONE\n");
            for (int before : {1, 0}) {
                SCOPED_TRACE("type " + std::to_string(type) + ", \"" + w.text + "\", before " +
                             std::to_string(before));
                const size_t naps = clock.Naps().size();
                auto [bytes, console] = Send(type, before);
                if (w.empty) {
                    EXPECT_EQ(bytes, "");
                    EXPECT_EQ(console, "ERROR: Inventory file not available\n");
                    continue;
                }
                const char* expect = !w.noProbe ? "K\rJ\r" : before ? "D\rI\r" : "D\rJ\r";
                EXPECT_EQ(bytes, expect);
                EXPECT_EQ(console, "");
                EXPECT_EQ(std::vector<long>(clock.Naps().begin() + naps, clock.Naps().end()),
                          (std::vector<long>{2000, 2000}));
                // Each letter went out before its pause.
                ASSERT_EQ(fake.Received().size(), 4u);
                EXPECT_LT(fake.Received()[1].at, fake.Received()[2].at);
            }
        }
    }
    termios t{};
    ASSERT_EQ(tcgetattr(fake.SlaveFd(), &t), 0);
    EXPECT_EQ(t.c_cflag & (CBAUD | CSIZE | CLOCAL), tcflag_t(B9600 | CS8 | CLOCAL));
    EXPECT_EQ(t.c_lflag & ICANON, 0u) << "raw mode";
}

TEST_F(ProbeChangerTest, NothingWithoutItsPieces) {
    box.Write(kToolInvList, "T1\n");
    struct Case {
        const char* what;
        int type;
        std::vector<UartEntry> ports;
        bool inventory;
        const char* console;
    };
    const Case cases[] = {
        {"type 3", 3, {Changer(fake.SlavePath())}, true, ""},
        {"type 0", 0, {Changer(fake.SlavePath())}, true, ""},
        {"type 5", 5, {Changer(fake.SlavePath())}, true, ""},
        {"no record", 1, {ServoEntry()}, true, "ERROR: PCHANGER not in GetPortCodes\n"},
        {"no device", 1, {Changer("/dev/M_TOOLS")}, true, "ERROR: /dev/M_PCHANGER not available\n"},
        {"no inventory",
         1,
         {Changer(fake.SlavePath())},
         false,
         "ERROR: Inventory file not available\n"},
    };
    const int fds = OpenFds();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        box.WriteUart(c.ports);
        if (c.inventory)
            box.Write(kToolInvList, "T1\n");
        else
            box.Remove(kToolInvList);
        auto [bytes, console] = Send(c.type, 1);
        EXPECT_EQ(bytes, "");
        EXPECT_EQ(console, c.console);
        EXPECT_EQ(OpenFds(), fds) << "nothing left open";
    }
}

} // namespace
