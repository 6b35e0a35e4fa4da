// The service tools end to end: the real program on the demo station with
// the simulated message server, driven by pointer clicks. Utilities opens
// the service menu; the port configuration (its password typed) shows the
// demo's ports; the printer gets another device from its list; OK and the
// confirmation save the port table while the printer drivers are stopped:
// uart.bin holds the new device, the server logs 39, 49 and 38 with the new
// driver, and the new driver's stand-in logs its start. Then the service
// screen's system backup runs through the starter.
//
// On the online demo station with the controller simulator, the service
// screen's self test (its password typed) sends the status query; its
// Cancel gives the service screen back with the main menu still dead, and
// the Cancels after it give the service menu and then the main menu back.
//
// The test saves screenshots of the service menu (service-menu.png) and of
// the port configuration with its device list open (port-config.png) in
// QEL_SCREENSHOT_DIR, or in its working folder when that is not set.
#include <gtest/gtest.h>

#include "clicker.h"
#include "online.h"
#include "proc.h"
#include "sandbox.h"
#include "station.h"
#include "vok_run.h"
#include "xutil.h"
#include "xvfb.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr Place kUtilitiesMenu = {690, 248};
// On the service menu's work window.
constexpr Place kPortsChoice = {402, 108};
constexpr Place kServiceChoice = {3 + 248, 365 + 5}; // on the toolbar
constexpr Place kMediaChoice = {402, 190};
// On the service screen.
constexpr Place kSelfTestChoice = {94, 108};
constexpr Place kBackupChoice = {248, 108};
constexpr Place kServiceScriptChoice = {248, 272};
// On the self test's toolbar: the status and debug-mode buttons.
constexpr Place kStestStatus = {3 + 248, 365 + 5};
constexpr Place kStestDebugOn = {3 + 325, 365 + 5};
// The port configuration: the printer's row (the fifth) and its device
// button, and the device list's box over the toolbar with its OK.
constexpr int kPrinterRowY = 100 + 30 * 4;
constexpr Place kPrinterDevice = {385 + 90, kPrinterRowY + 11};
constexpr Place kBox = {3, 450 - 143};
constexpr Place kBoxOk = {kBox.x + 559 - 60 + 27, kBox.y + 12 + 27};

std::string Field(const std::string& bytes, size_t record, size_t at) {
    if (bytes.size() < (record + 1) * 168) return "?";
    const std::string f = bytes.substr(record * 168 + at, 40);
    return f.substr(0, f.find('\0'));
}

// The record of a port in uart.bin; -1 when there is none.
int RecordOf(const std::string& bytes, const std::string& port) {
    for (size_t i = 0; i < 10; ++i)
        if (Field(bytes, i, 0) == port) return static_cast<int>(i);
    return -1;
}

class ServiceStation {
  public:
    ServiceStation(const XClient& x, const Station& st) : x_(x), st_(st) {}
    void ClickWork(Place p) const { st_.Click({kWork.x + p.x, kWork.y + p.y}); }
    void Ok() const { st_.Click({kWork.x + kOk.x + 33, kWork.y + kOk.y + 33}); }
    // Types the password into the dialog that asks for it.
    bool Password(const std::string& word) const { return TypePassword(x_, word); }
    // Answers the next message box with OK.
    bool Confirm() const {
        const TopWindowInfo box = x_.WaitForTopWindow(575, 175, kBusyMs);
        if (box.id == 0) return false;
        XWindowId ok = 0;
        if (!WaitUntil([&] { return (ok = DialogButton(x_, box, true)) != 0; }, kBusyMs))
            return false;
        x_.ClickWindow(ok);
        return x_.WaitUntilGone(box.id, kBusyMs);
    }

  private:
    const XClient& x_;
    const Station& st_;
};

TEST(ServiceE2E, ThePrinterGetsAnotherDriverThenTheSystemIsBackedUp) {
    XvfbServer xvfb(800, 600);
    ASSERT_TRUE(xvfb.ok());
    Sandbox box;
    std::string error;
    ASSERT_TRUE(box.LayOutDemo(&error)) << error;
    const std::string before = box.Read("/u/qel/sys_data/files/uart.bin");
    ASSERT_EQ(Field(before, RecordOf(before, "PRINTER"), 88), "lpdrv");
    VokRun run(box);
    ChildProcess& vok = run.child();
    ASSERT_TRUE(vok.WaitForOutput("ChangeCursor\n", kStartupMs)) << vok.Output();
    XClient x;
    ASSERT_TRUE(x.ok());
    Station st(x);
    ASSERT_TRUE(st.ok());
    ServiceStation service(x, st);

    // ---- the service menu ----
    st.ClickButton(kUtilitiesMenu);
    ASSERT_TRUE(WaitUntil([&] { return st.ChoiceShown(kPortsChoice); }, kBusyMs)) << st.Layout();
    ASSERT_TRUE(st.Choose(kPortsChoice)) << st.Layout();
    const std::string menuShot = ScreenshotPath("service-menu.png");
    EXPECT_TRUE(xvfb.Screenshot(menuShot));
    std::printf("service menu: %s\n", menuShot.c_str());
    service.Ok();
    ASSERT_TRUE(service.Password("manager")) << vok.Output();

    // ---- the port configuration: the printer's device ----
    ASSERT_TRUE(
        WaitUntil([&] { return st.Find(kWork.x + 385, kWork.y + kPrinterRowY, 180).id; }, kBusyMs))
        << st.Layout();
    ServiceStation(x, st).ClickWork(kPrinterDevice);
    // The list: its second entry, a PostScript printer.
    TopWindowInfo list;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (const TopWindowInfo& d : x.Descendants(x.FindTopWindow(770, 560).id))
                if (d.viewable && d.y >= kWork.y + kBox.y + 28 && d.height > 60 && d.width > 300 &&
                    d.width <= 450)
                    list = d;
            return list.id != 0;
        },
        kBusyMs))
        << st.Layout();
    const int rowHeight = (list.height - 12) / 5;
    st.Click({list.x + 60, list.y + 6 + rowHeight + rowHeight / 2});
    Pause(300);
    const std::string portShot = ScreenshotPath("port-config.png");
    EXPECT_TRUE(xvfb.Screenshot(portShot));
    std::printf("port configuration: %s\n", portShot.c_str());
    service.ClickWork(kBoxOk);
    Pause(300);
    service.Ok();
    ASSERT_TRUE(service.Confirm()) << vok.Output();

    // ---- the save ----
    // The table is written in the order of uart.txt: the printer's record
    // is the fifth.
    ASSERT_TRUE(WaitUntil(
        [&] { return Field(box.Read("/u/qel/sys_data/files/uart.bin"), 4, 88) == "psdrv"; },
        kBusyMs))
        << vok.Output();
    const std::string after = box.Read("/u/qel/sys_data/files/uart.bin");
    EXPECT_EQ(after.size(), 1680u);
    EXPECT_EQ(RecordOf(after, "PRINTER"), 4);
    EXPECT_EQ(Field(after, 4, 128), "PostScript printer A4");
    std::vector<int> codes;
    ASSERT_TRUE(WaitUntil(
        [&] {
            codes.clear();
            for (const std::string& line : box.ServerLog()) {
                const long code = JsonInt(line, "code");
                if (code == 38 || code == 39 || code == 49) codes.push_back(static_cast<int>(code));
            }
            return !codes.empty() && codes.back() == 38 && codes.size() >= 4;
        },
        kBusyMs))
        << vok.Output();
    // Start-up sent the first 38; the save sends 39, 49, then 38.
    EXPECT_EQ(std::vector<int>(codes.end() - 3, codes.end()), (std::vector<int>{39, 49, 38}));
    const std::vector<std::string> types = RequestsOf(box, 38);
    EXPECT_NE(types.back().find("\"types\":[\"psdrv\",\"hpgl\",\"hpgl\"]"), std::string::npos)
        << types.back();
    const std::string started =
        "psdrv [0] [" + box.Path("/dev/M_PRINTER") + "] [P] [0] [PostScript printer A4]";
    EXPECT_TRUE(WaitUntil(
        [&] {
            const auto log = box.ScriptsLog();
            return std::find(log.begin(), log.end(), started) != log.end();
        },
        kBusyMs))
        << box.Read("/sim/scripts.log");
    ASSERT_TRUE(WaitUntil([&] { return st.ChoiceShown(kPortsChoice); }, kBusyMs)) << st.Layout();

    // ---- the service screen: system backup ----
    ASSERT_TRUE(st.Choose(kServiceChoice)) << st.Layout();
    service.Ok();
    ASSERT_TRUE(WaitUntil([&] { return st.ChoiceShown(kBackupChoice); }, kBusyMs)) << st.Layout();
    ASSERT_TRUE(st.Choose(kBackupChoice)) << st.Layout();
    service.Ok();
    ASSERT_TRUE(service.Password("TRAVOLMIX")) << vok.Output();
    EXPECT_TRUE(WaitUntil(
        [&] {
            const auto log = box.ScriptsLog();
            return std::find(log.begin(), log.end(), "SYS.BACKUP -VANTOR") != log.end();
        },
        kBusyMs))
        << box.Read("/sim/scripts.log");
    const auto log = box.ScriptsLog();
    EXPECT_NE(std::find(log.begin(), log.end(), "start.exe sh SYS.BACKUP -VANTOR"), log.end());
}

TEST(ServiceE2E, TheSelfTestRunsFromTheServiceScreen) {
    XvfbServer xvfb(800, 600);
    ASSERT_TRUE(xvfb.ok());
    OnlineRun run({"--homed"});
    ASSERT_TRUE(run.ok());
    ChildProcess& vok = run.vok();
    ASSERT_TRUE(vok.WaitForOutput("ChangeCursor\n", kStartupMs)) << vok.Output();
    XClient x;
    ASSERT_TRUE(x.ok());
    Station st(x);
    ASSERT_TRUE(st.ok());
    ServiceStation service(x, st);
    const auto serviceScreenShown = [&] { return st.ChoiceShown(kServiceScriptChoice); };
    const auto selfTestShown = [&] {
        return st.Shows(kWork.x + kStestDebugOn.x, kWork.y + kStestDebugOn.y, 66, 66);
    };
    const auto statusQueries = [&] {
        const std::vector<std::string> log = ControllerLog(run.box());
        return std::count(log.begin(), log.end(), "NAD80m80");
    };

    // Utilities, the service screen, the self test and its password.
    st.ClickButton(kUtilitiesMenu);
    ASSERT_TRUE(WaitUntil([&] { return st.ChoiceShown(kPortsChoice); }, kBusyMs)) << st.Layout();
    ASSERT_TRUE(st.Choose(kServiceChoice)) << st.Layout();
    service.Ok();
    ASSERT_TRUE(WaitUntil(serviceScreenShown, kBusyMs)) << st.Layout();
    ASSERT_TRUE(st.Choose(kSelfTestChoice)) << st.Layout();
    service.Ok();
    ASSERT_TRUE(service.Password("TRAVOLMIX")) << vok.Output();
    ASSERT_TRUE(WaitUntil(selfTestShown, kBusyMs)) << st.Layout() << vok.Output();

    // The status query goes out on the line.
    Pause(500);
    ASSERT_EQ(statusQueries(), 0);
    service.ClickWork({kStestStatus.x + 33, kStestStatus.y + 33});
    ASSERT_TRUE(WaitUntil([&] { return statusQueries() == 1; }, kBusyMs))
        << run.box().Read("/sim/controller.log");

    // Cancel reads a last status and gives the service screen back; the
    // main menu stays dead under it, also after a task of the server ended.
    service.ClickWork({kToolbarCancel.x + 33, kToolbarCancel.y + 33});
    ASSERT_TRUE(WaitUntil([&] { return !selfTestShown(); }, kBusyMs)) << st.Layout();
    EXPECT_TRUE(serviceScreenShown()) << st.Layout();
    EXPECT_EQ(statusQueries(), 2) << "the query and Cancel's";
    Inject(run.box(), vok.pid(), "--code 14 --status 8 --task 101");
    ASSERT_TRUE(AllRepliesHandled(run.box(), vok, 77)) << vok.Output();
    st.ClickButton(kFileUtilMenu);
    Pause(500);
    // The file menu's text edit: neither the service menu nor the service
    // screen has a choice there.
    EXPECT_FALSE(st.ChoiceShown(kTextEditChoice)) << "the file menu opened";

    // The service screen's Cancel gives the service menu back, whose Cancel
    // gives the main menu back.
    service.ClickWork({kToolbarCancel.x + 33, kToolbarCancel.y + 33});
    ASSERT_TRUE(WaitUntil([&] { return !serviceScreenShown(); }, kBusyMs)) << st.Layout();
    EXPECT_TRUE(st.ChoiceShown(kMediaChoice)) << st.Layout();
    service.ClickWork({kToolbarCancel.x + 33, kToolbarCancel.y + 33});
    ASSERT_TRUE(WaitUntil([&] { return !st.WorkWindowShown(); }, kBusyMs)) << st.Layout();
    st.ClickButton(kFileUtilMenu);
    EXPECT_TRUE(WaitUntil([&] { return st.ChoiceShown(kTextEditChoice); }, kBusyMs)) << st.Layout();
}

} // namespace
