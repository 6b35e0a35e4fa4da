// The port configuration under a private X server: the rows that uart.txt
// and uart.bin give, the line-settings box (Escape drops its edits, OK
// takes them), the device picker (OK without a click takes the
// preselection), ten rows above the toolbar, and the save against a fake
// message server on a private queue: its order 39, 49, write, 38 with the
// drivers started, the drivers that do not stop, and a table that cannot
// be written.
#include <gtest/gtest.h>

#include "choice_fixture.h"

#include "nap.h"
#include "portconfig.h"
#include "proc.h"
#include "settings.h"
#include "sim_bytes.h"

#include <Xm/List.h>
#include <Xm/TextF.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <sys/stat.h>
#include <thread>

namespace {

using Texts = std::vector<std::string>;

// The program's pauses: recorded, and taken at a few milliseconds.
std::vector<long> Naps;
void QuickNap(long ms) {
    Naps.push_back(ms);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms > 5 ? 5 : ms));
}

constexpr const char* kUart = "/u/qel/sys_data/files/uart.bin";

// A message server on the private queue: it logs each request with the
// port table as it stood when the request came, and answers request 49
// with its values (one reply each).
class FakeServer {
  public:
    FakeServer(int queue, long key, long client, std::vector<int> stopValues,
               std::function<std::string()> table)
        : queue_(queue), key_(key), client_(client), stop_(std::move(stopValues)),
          table_(std::move(table)), thread_([this] { Run(); }) {}
    ~FakeServer() {
        done_ = true;
        thread_.join();
    }
    struct Seen {
        int code;
        std::string table;
        std::string types[3];
    };
    std::vector<Seen> Log() {
        std::lock_guard<std::mutex> lock(m_);
        return log_;
    }

  private:
    void Run() {
        while (!done_) {
            wire::Msg m;
            if (msgrcv(queue_, &m, wire::kTextSize, key_, IPC_NOWAIT) < 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                continue;
            }
            Seen s{wire::Int(m, wire::kCode), table_(), {}};
            for (int i = 0; i < 3; ++i)
                s.types[i] = wire::Text(m, wire::kDriverType[i], wire::kDriverTypeWidth);
            {
                std::lock_guard<std::mutex> lock(m_);
                log_.push_back(s);
            }
            if (s.code != wire::kStopDrivers) continue;
            for (int v : stop_) {
                wire::Msg r;
                r.mtype = client_;
                wire::SetInt(r, wire::kCode, wire::kStopDrivers);
                wire::SetInt(r, wire::kArg, v);
                msgsnd(queue_, &r, wire::kTextSize, IPC_NOWAIT);
            }
        }
    }
    int queue_;
    long key_, client_;
    std::vector<int> stop_;
    std::function<std::string()> table_;
    std::mutex m_;
    std::vector<Seen> log_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

UartEntry Entry(const std::string& name, char mode, uint32_t cflag, const std::string& path,
                const std::string& type, const std::string& description) {
    UartEntry e;
    e.name = name;
    e.mode = mode;
    e.cflag = cflag;
    e.path = path;
    e.type = type;
    e.description = description;
    return e;
}

std::string Field(const std::string& bytes, size_t record, size_t at) {
    if (bytes.size() < (record + 1) * 168) return "?";
    const std::string f = bytes.substr(record * 168 + at, 40);
    return f.substr(0, f.find('\0'));
}
uint32_t Cflag(const std::string& bytes, size_t record) {
    return static_cast<uint32_t>(
        SimGetLe(reinterpret_cast<const unsigned char*>(bytes.data()) + record * 168 + 44, 4));
}

class PortConfigTest : public ChoiceFixture {
  protected:
    void SetUp() override {
        ChoiceFixture::SetUp();
        SetNapHook(QuickNap);
        Naps.clear();
        OnlineItem = 2; // offline: the machine-state check touches no controller
        Box().Write("/u/qel/database/uart.txt", "# ports\n"
                                                "SERVO SERVO\n"
                                                "PRINTER PRINTER\n"
                                                "PCHANGER -NONE-\n");
        Box().Write("/u/qel/def_data/printers/SERVO", "\"controller\" Ondry\n"
                                                      "\"board\" TORVI\n");
        Box().Write("/u/qel/def_data/printers/PRINTER", "! printers\n"
                                                        "\"Laser printer A4\" lpdrv\n"
                                                        "\"PostScript printer\" psdrv\n"
                                                        "\"Matrix printer\" mxdrv\n");
        Box().WriteUart({Entry("SERVO", 'S', 0x93D, "/dev/M_SERVO", "Ondry", "controller"),
                         Entry("PRINTER", 'P', 0, "/dev/M_PRINTER", "mxdrv", "Matrix printer"),
                         Entry("PCHANGER", 'S', 0x8BD, "/dev/M_PCHANGER", "", "changer")});
        for (const char* driver : {"lpdrv", "psdrv", "mxdrv"}) Driver(driver);
    }
    void TearDown() override {
        SetNapHook(nullptr);
        ChoiceFixture::TearDown();
    }
    const Sandbox& Box() const { return gui_.box(); }
    // A printer-driver stand-in that logs its arguments.
    void Driver(const std::string& type) {
        const std::string script =
            "#!/bin/sh\necho \"" + type + " $*\" >> \"$QEL_SANDBOX/sim/scripts.log\"\n";
        Box().Write("/u/qel/xeq/" + type, script);
        Box().Write("/u/qel/xeq/" + type + ".exe", "");
        chmod(Box().Path("/u/qel/xeq/" + type).c_str(), 0755);
    }
    PortConfigView V() const { return PortConfigState(); }
    bool Shown() const { return V().window && XtIsManaged(V().window); }
    const PortRow& Row(int i) const { return (*V().rows)[i]; }
    void Open() {
        ShowPortConfig();
        ASSERT_TRUE(Shown());
    }
    std::string Lights() const {
        std::string s;
        for (Widget light : V().flagLight) s += Background(light) == LitPixel() ? '1' : '0';
        return s;
    }
    Pixel LitPixel() const {
        static Widget lit = nullptr;
        if (!lit) {
            lit = XmCreatePushButton(MainForm, const_cast<char*>("lit"), nullptr, 0);
            IndicatorOn(lit);
        }
        return Background(lit);
    }
};

TEST_F(PortConfigTest, RowsOfTheInstallsPortList) {
    Open();
    EXPECT_EQ(ShownScreen, V().window);
    const struct {
        const char* label;
        const char* path;
        const char* mode;
        const char* device; // nullptr: no device button
    } rows[] = {{"L320", "/dev/M_SERVO", "S", "controller"},
                {"L321", "/dev/M_PRINTER", "P", "Matrix printer"},
                {"L322", "/dev/M_PCHANGER", "S", nullptr}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(LabelText(V().label[i]), rows[i].label);
        EXPECT_EQ(TextOf(V().field[i]), rows[i].path);
        EXPECT_EQ(LabelText(V().mode[i]), rows[i].mode);
        if (rows[i].device)
            EXPECT_EQ(LabelText(V().device[i]), rows[i].device);
        else
            EXPECT_EQ(V().device[i], nullptr);
        EXPECT_EQ(Geometry(V().mode[i]), (WidgetBox{340, 100 + 30 * i, 40, 22}));
    }
    EXPECT_EQ(V().label[3], nullptr);
    EXPECT_TRUE(XtIsManaged(V().toolbar));
    EXPECT_FALSE(XtIsManaged(V().parityBox));
    EXPECT_FALSE(XtIsManaged(V().deviceFrame));
}

TEST_F(PortConfigTest, TheArrowsWalkTheRowsRound) {
    Open();
    const Pixel focused = Background(V().field[0]);
    EXPECT_NE(Background(V().field[1]), focused);
    std::vector<int> seen;
    for (Widget arrow : {V().down, V().down, V().down, V().up, V().up}) {
        Press(arrow);
        seen.push_back(V().current);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(Background(V().field[i]) == focused, i == V().current) << i;
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 0, 2, 1}));
}

// The box opens on the row's confirmed settings; Escape drops whatever was
// changed in it, OK takes it all.
TEST_F(PortConfigTest, TheLineSettingsBoxEscapeDropsOkTakes) {
    Open();
    auto open = [&] {
        Press(V().mode[0]);
        ASSERT_TRUE(V().boxOpen);
        EXPECT_TRUE(XtIsManaged(V().parityBox));
        EXPECT_FALSE(XtIsManaged(V().toolbar));
    };
    auto expectShown = [&](const char* baud, const char* size, const char* lights, const char* mode,
                           bool serial) {
        EXPECT_EQ(LabelText(V().baud), baud);
        EXPECT_EQ(LabelText(V().size), size);
        EXPECT_EQ(Lights(), lights);
        EXPECT_EQ(LabelText(V().pase), mode);
        EXPECT_EQ(XtIsManaged(V().baudFrame) != 0, serial);
    };
    auto edit = [&] {
        Press(V().baud);          // B9600 to B600
        Press(V().size);          // CS8 to CS5
        Press(V().flagButton[0]); // CSTOPB on
        Press(V().flagButton[5]); // CLOCAL off
        Press(V().pase);          // serial to printer
    };
    open();
    // 0x93D: B9600, CS8, PARENB and CLOCAL.
    expectShown("B9600 ", "CS8", "001001", "L330", true);
    edit();
    expectShown("B600  ", "CS5", "101000", "L331", false);
    Press(V().boxEscape);
    EXPECT_FALSE(V().boxOpen);
    EXPECT_FALSE(XtIsManaged(V().parityBox));
    EXPECT_TRUE(XtIsManaged(V().toolbar));
    EXPECT_EQ(LabelText(V().mode[0]), "S");
    EXPECT_EQ(Row(0).record.mode, 'S');
    EXPECT_FALSE(Row(0).confirmed);
    open();
    expectShown("B9600 ", "CS8", "001001", "L330", true);
    edit();
    Press(V().pase); // back to serial
    Press(V().boxOk);
    EXPECT_FALSE(V().boxOpen);
    EXPECT_TRUE(XtIsManaged(V().toolbar));
    EXPECT_EQ(EncodeCflag(Row(0).committed), 0x148); // B600 CS5 CSTOPB PARENB
    EXPECT_TRUE(Row(0).confirmed);
    open();
    expectShown("B600  ", "CS5", "101000", "L330", true);
    Press(V().pase);
    Press(V().boxOk);
    EXPECT_EQ(LabelText(V().mode[0]), "P");
    EXPECT_EQ(Row(0).record.mode, 'P');
    // The rows wait while a box is open.
    open();
    Press(V().mode[1]);
    Press(V().device[1]);
    EXPECT_EQ(V().current, 0);
    EXPECT_FALSE(V().pickerOpen);
    Press(V().boxEscape);
}

// In both boxes the title stands above OK, and OK above Escape, all within
// the box.
TEST_F(PortConfigTest, TheBoxTitlesLeaveTheirButtonsWhole) {
    Open();
    auto check = [](Widget box, Widget title, Widget ok, Widget escape) {
        const WidgetBox t = Geometry(title), o = Geometry(ok), e = Geometry(escape);
        EXPECT_LE(t.y + t.height, o.y) << t << " " << o;
        EXPECT_LE(o.y + o.height, e.y) << o << " " << e;
        EXPECT_LE(e.y + e.height, Geometry(box).height) << e;
        EXPECT_EQ(o.height, 54);
        EXPECT_EQ(e.height, 54);
    };
    Press(V().mode[0]);
    ASSERT_TRUE(V().boxOpen);
    check(V().parityBox, V().boxTitle, V().boxOk, V().boxEscape);
    Press(V().boxEscape);
    Press(V().device[1]);
    ASSERT_TRUE(V().pickerOpen);
    check(V().deviceFrame, V().pickerTitle, V().pickerOk, V().pickerEscape);
    Press(V().pickerEscape);
}

TEST_F(PortConfigTest, TheBoxOfAModeWithoutLineSettings) {
    Box().WriteUart({Entry("SERVO", 'I', 0, "/dev/imbed", "TORVI", "board")});
    Open();
    Press(V().mode[0]);
    EXPECT_EQ(LabelText(V().pase), "I");
    EXPECT_FALSE(XtIsManaged(V().baudFrame));
    Press(V().pase); // to serial
    EXPECT_EQ(LabelText(V().pase), "L330");
    EXPECT_TRUE(XtIsManaged(V().baudFrame));
    Press(V().boxOk);
    EXPECT_EQ(LabelText(V().mode[0]), "S");
}

TEST_F(PortConfigTest, ThePickerTakesItsSelection) {
    Open();
    Press(V().device[1]);
    ASSERT_TRUE(V().pickerOpen);
    EXPECT_TRUE(XtIsManaged(V().deviceFrame));
    EXPECT_FALSE(XtIsManaged(V().toolbar));
    EXPECT_EQ(ListItems(V().deviceList),
              (Texts{"Laser printer A4", "PostScript printer", "Matrix printer"}));
    // The current device is preselected, and OK without a click keeps it.
    EXPECT_EQ(SelectedPositions(V().deviceList), std::vector<int>{3});
    Press(V().pickerOk);
    EXPECT_FALSE(V().pickerOpen);
    EXPECT_TRUE(XtIsManaged(V().toolbar));
    EXPECT_EQ(PortField(Row(1).record.type), "mxdrv");
    EXPECT_EQ(PortField(Row(1).record.description), "Matrix printer");
    // A click, then Escape: nothing changes.
    Press(V().device[1]);
    XmListSelectPos(V().deviceList, 1, True);
    Press(V().pickerEscape);
    EXPECT_EQ(PortField(Row(1).record.type), "mxdrv");
    // A click, then OK.
    Press(V().device[1]);
    XmListSelectPos(V().deviceList, 1, True);
    Press(V().pickerOk);
    EXPECT_EQ(PortField(Row(1).record.type), "lpdrv");
    EXPECT_EQ(PortField(Row(1).record.description), "Laser printer A4");
    EXPECT_EQ(LabelText(V().device[1]), "Laser printer");
    EXPECT_TRUE(Messages.empty());
}

TEST_F(PortConfigTest, ThePickerPreselectsTheFirstEntryForAnUnlistedDevice) {
    Box().WriteUart({Entry("PRINTER", 'P', 0, "/dev/M_PRINTER", "old", "Old printer")});
    Open();
    Press(V().device[1]);
    EXPECT_EQ(SelectedPositions(V().deviceList), std::vector<int>{1});
    Press(V().pickerOk);
    EXPECT_EQ(PortField(Row(1).record.type), "lpdrv");
}

TEST_F(PortConfigTest, AMissingOrEmptyListOpensNoPicker) {
    Box().Remove("/u/qel/def_data/printers/SERVO");
    Open();
    Press(V().device[0]);
    EXPECT_FALSE(V().pickerOpen);
    EXPECT_EQ(Messages, Texts{"L316\n\nL100"});
    EXPECT_TRUE(XtIsManaged(V().toolbar));
    // A user copy comes first; one without a valid line shows nothing.
    Box().Write("/u/qel/usr_data/printers/SERVO", "! nothing here\nno quotes\n");
    Messages.clear();
    Press(V().device[0]);
    EXPECT_FALSE(V().pickerOpen);
    EXPECT_TRUE(Messages.empty());
    Box().Write("/u/qel/usr_data/printers/SERVO", "\"user's controller\" Ondry\n");
    Press(V().device[0]);
    EXPECT_TRUE(V().pickerOpen);
    EXPECT_EQ(ListItems(V().deviceList), Texts{"user's controller"});
}

// Ten rows are spaced closer, so that the tenth stays above the toolbar;
// an eleventh is left out.
TEST_F(PortConfigTest, TenRowsStandAboveTheToolbar) {
    std::string txt;
    for (int i = 1; i <= 11; ++i) txt += "PORT" + std::to_string(i) + " -NONE-\n";
    Box().Write("/u/qel/database/uart.txt", txt);
    Open();
    ASSERT_EQ(V().rows->size(), 10u);
    const WidgetBox bar = Geometry(V().toolbar);
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        for (Widget w : {V().label[i], V().field[i], V().mode[i]}) {
            const WidgetBox b = Geometry(w);
            EXPECT_EQ(b.y, 100 + 26 * i);
            EXPECT_LE(b.y + b.height, bar.y);
        }
    }
    EXPECT_EQ(Geometry(V().mode[9]).y, 334);
    EXPECT_EQ(LabelText(V().label[9]), "L329");
}

TEST_F(PortConfigTest, AMissingPortListOpensNothing) {
    Box().Remove("/u/qel/database/uart.txt");
    testing::internal::CaptureStdout();
    ShowPortConfig();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(V().window, nullptr);
    EXPECT_EQ(ShownScreen, nullptr);
    EXPECT_NE(out.find("ShowPortConfig: unable to open /u/qel/database/uart.txt\n"),
              std::string::npos)
        << out;
    // Once the list is there, the next entry builds the screen.
    Box().Write("/u/qel/database/uart.txt", "SERVO SERVO\n");
    Open();
    EXPECT_EQ(V().rows->size(), 1u);
}

TEST_F(PortConfigTest, CancelAsksAndSavesNothing) {
    Open();
    const std::string before = Box().Read(kUart);
    Press(V().device[1]);
    XmListSelectPos(V().deviceList, 1, True);
    Press(V().pickerOk);
    MessageAnswer = 0;
    Press(V().cancel);
    EXPECT_EQ(Messages, Texts{"L108"});
    EXPECT_TRUE(Shown());
    EXPECT_TRUE(XtIsSensitive(V().ok));
    EXPECT_TRUE(XtIsSensitive(V().cancel));
    MessageAnswer = 1;
    Press(V().cancel);
    EXPECT_FALSE(Shown());
    EXPECT_EQ(ShownScreen, nullptr);
    EXPECT_EQ(Box().Read(kUart), before);
    EXPECT_TRUE(Requests().empty());
    // The next entry loads the table again.
    Open();
    EXPECT_EQ(LabelText(V().device[1]), "Matrix printer");
}

// --- the save ----------------------------------------------------------------------

class PortSaveTest : public PortConfigTest {
  protected:
    std::unique_ptr<FakeServer> Server(std::vector<int> stopValues) {
        return std::make_unique<FakeServer>(queue_, MsgKey, OwnPid, std::move(stopValues),
                                            [this] { return Box().Read(kUart); });
    }
    static std::vector<int> Codes(const std::vector<FakeServer::Seen>& log) {
        std::vector<int> codes;
        for (const auto& s : log) codes.push_back(s.code);
        return codes;
    }
};

TEST_F(PortSaveTest, TheTableIsWrittenWhileTheDriversAreStopped) {
    Open();
    const std::string before = Box().Read(kUart);
    Press(V().device[1]);
    XmListSelectPos(V().deviceList, 2, True);
    Press(V().pickerOk);
    XmTextFieldSetString(V().field[2], const_cast<char*>("/dev/ttyS9"));
    auto server = Server({0});
    Press(V().ok);
    EXPECT_EQ(Messages, Texts{"L107"});
    EXPECT_FALSE(Shown());
    EXPECT_EQ(ShownScreen, nullptr);
    const std::string after = Box().Read(kUart);
    ASSERT_EQ(after.size(), 1680u);
    EXPECT_EQ(Field(after, 1, 88), "psdrv");
    EXPECT_EQ(Field(after, 1, 128), "PostScript printer");
    EXPECT_EQ(Cflag(after, 0), 0x93Du);
    EXPECT_EQ(Field(after, 2, 48), "/dev/ttyS9");
    // 39 and 49 with the old table, 38 with the new one and its driver.
    const auto log = server->Log();
    ASSERT_EQ(Codes(log), (std::vector<int>{39, 49, 38}));
    EXPECT_EQ(log[0].table, before);
    EXPECT_EQ(log[1].table, before);
    EXPECT_EQ(log[2].table, after);
    EXPECT_EQ(log[2].types[0], "psdrv");
    EXPECT_EQ(log[2].types[1], "");
    const Texts started{"psdrv 0 " + Box().Path("/dev/M_PRINTER") + " P 0 PostScript printer"};
    EXPECT_TRUE(WaitUntil([&] { return Box().ScriptsLog() == started; }, 5000))
        << Box().Read("/sim/scripts.log");
    // Three seconds after request 39 and after request 38.
    EXPECT_EQ(std::count(Naps.begin(), Naps.end(), 3000), 2);
}

TEST_F(PortSaveTest, DriversThatDoNotStopLeaveTheTableAsItWas) {
    Open();
    const std::string before = Box().Read(kUart);
    Press(V().device[1]);
    XmListSelectPos(V().deviceList, 2, True);
    Press(V().pickerOk);
    auto server = Server({1, 1, 1, 1, 1, 1});
    Press(V().ok);
    EXPECT_EQ(Messages, (Texts{"L107", "L236 \nL100"}));
    EXPECT_FALSE(Shown());
    EXPECT_EQ(ShownScreen, nullptr);
    EXPECT_EQ(Box().Read(kUart), before);
    EXPECT_EQ(Codes(server->Log()), (std::vector<int>{39, 49}));
    EXPECT_TRUE(Box().ScriptsLog().empty());
}

TEST_F(PortSaveTest, ATableThatCannotBeWrittenKeepsTheScreenAndTheDrivers) {
    Open();
    Box().Remove(kUart);
    auto server = Server({0});
    Press(V().ok);
    EXPECT_EQ(Messages, (Texts{"L107", "L163 \nL100"}));
    EXPECT_TRUE(Shown());
    EXPECT_EQ(ShownScreen, V().window);
    EXPECT_TRUE(XtIsSensitive(V().ok));
    EXPECT_TRUE(XtIsSensitive(V().cancel));
    EXPECT_FALSE(Box().Exists(kUart));
    // The drivers are started again.
    EXPECT_EQ(Codes(server->Log()), (std::vector<int>{39, 49, 38}));
}

TEST_F(PortSaveTest, OkAnsweredCancelSavesNothing) {
    Open();
    MessageAnswer = 0;
    Press(V().ok);
    EXPECT_EQ(Messages, Texts{"L107"});
    EXPECT_TRUE(Shown());
    EXPECT_TRUE(XtIsSensitive(V().ok));
    EXPECT_TRUE(Requests().empty());
}

} // namespace
