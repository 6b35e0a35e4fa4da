// Main-menu state without an X server: which rows the machine state makes
// active, the machine-state check against a controller double, the current
// part from the partname file, and the icon-button grid.
#include <gtest/gtest.h>

#include "controller.h"
#include "labels.h"
#include "mainmenu.h"
#include "sandbox.h"
#include "settings.h"

#include <string>
#include <vector>

namespace {

const char* const kPartname = "/u/qel/sys_data/files/partname";

using Rows = std::vector<int>;

Rows ActiveRows() {
    Rows rows;
    for (int i = 0; i < kMainMenuRows; ++i)
        if (MainMenuTable[i].enabled) rows.push_back(i + 1);
    return rows;
}

void SetAllFlags(int enabled) {
    for (MainMenuEntry& row : MainMenuTable) row.enabled = enabled;
}

TEST(MainMenuState, ActiveRowsFollowTheMachineState) {
    Sandbox box;
    box.Write("/u/qel/part/DEMO/.keep", "");
    struct Case {
        int servo, homed;
        bool partFile; // partname names the DEMO folder
        Rows active;
        int partValid; // after; 7 = left as it was
    };
    const Case cases[] = {
        {0, 0, false, {1, 5, 6, 7, 8, 9, 10}, 7},      {0, 0, true, {1, 5, 6, 7, 8, 9, 10}, 7},
        {1, 0, true, {2, 5, 6, 7, 8, 9, 10}, 7},       {1, 1, false, {2, 3, 5, 6, 7, 8, 9, 10}, 0},
        {1, 1, true, {2, 3, 4, 5, 6, 7, 8, 9, 10}, 1}, {0, 1, true, {1, 3, 5, 6, 7, 8, 9, 10}, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("servo " + std::to_string(c.servo) + " homed " + std::to_string(c.homed) +
                     (c.partFile ? " part" : " no part"));
        if (c.partFile)
            box.Write(kPartname, "DEMO");
        else
            box.Remove(kPartname);
        for (int before : {0, 1}) { // every flag is written, whatever it held
            SetAllFlags(before);
            ServoOn = c.servo;
            MachineHomed = c.homed;
            PartValid = 7;
            UpdateMainMenu(); // the lights are null here: IndicatorOn/Off skip them
            EXPECT_EQ(ActiveRows(), c.active) << "flags before: " << before;
            EXPECT_EQ(PartValid, c.partValid);
        }
    }
}

// A controller double for every family: it logs each operation and answers
// from the fields below.
struct Double {
    std::string calls;
    int open = 1, ping = 0, status = 0;
};
Double gDouble;

void Log(const char* op) {
    if (!gDouble.calls.empty()) gDouble.calls += ' ';
    gDouble.calls += op;
}
const ControllerDriver kDouble = {
    [] {
        Log("open");
        return gDouble.open;
    },
    [](int) {
        Log("home");
        return 0;
    },
    [] {
        Log("close");
        return 1;
    },
    [] {
        Log("abort");
        return 0;
    },
    [] {
        Log("ping");
        return gDouble.ping;
    },
    [] {
        Log("status");
        return gDouble.status;
    },
    [] {
        Log("param");
        return 1;
    },
};

class MachineStateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int f = kFamilyA; f <= kFamilyB; ++f) SetControllerDriverForTest(f, &kDouble);
        gDouble = Double{};
    }
    void TearDown() override {
        for (int f = kFamilyA; f <= kFamilyB; ++f) SetControllerDriverForTest(f, nullptr);
        OnlineItem = -1;
    }
    Sandbox box;
};

TEST_F(MachineStateTest, AsksTheControllerOfItsFamily) {
    struct Case {
        const char* what;
        const char* servoType; // null: no SERVO record
        int onlineItem;
        int open, ping, status;
        int servo, homed, online, family;
        const char* calls;
    };
    const Case cases[] = {
        {"no SERVO record", nullptr, 0, 1, 0, 0, 0, 0, 0, 1, ""},
        {"offline, item 2", "Ondry", 2, 1, 0, 0, 1, 1, 0, 1, ""},
        {"offline, item -1", "KROMI", -1, 1, 0, 0, 1, 1, 0, 3, ""},
        {"line does not open", "Ondry", 0, 0, 0, 0, 0, 0, 1, 1, "param open"},
        {"silent", "Ondry", 0, 1, -82, 0, 0, 0, 1, 1, "param open ping close"},
        {"not homed", "Ondry", 0, 1, 0, 1, 1, 0, 1, 1, "param open ping status close"},
        {"homed, item -2 online", "Ondry", -2, 1, 0, 0, 1, 1, 1, 1, "param open ping status close"},
        {"family B error status", "KROMI", 0, 1, 0, 2, 1, 0, 1, 3, "param open ping status close"},
        {"family B homed", "KROMI", 0, 1, 0, 0, 1, 1, 1, 3, "param open ping status close"},
        {"board present, homed", "TORVI", 0, 1, 1, 1, 1, 1, 1, 2, "param ping status"},
        {"board absent", "TORVI", 0, 1, 0, 1, 0, 0, 1, 2, "param ping"},
        {"other controller type", "OTHER", 0, 1, 0, 0, 0, 0, 1, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.servoType)
            box.WriteUart({ServoEntry(c.servoType)});
        else
            box.Remove("/u/qel/sys_data/files/uart.bin");
        OnlineItem = c.onlineItem;
        gDouble = Double{};
        gDouble.open = c.open;
        gDouble.ping = c.ping;
        gDouble.status = c.status;
        ServoOn = MachineHomed = OnlineMode = 9;
        ControllerFamily = 9;
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        MachineState();
        const std::string out = testing::internal::GetCapturedStdout();
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(out.rfind("\nPlease wait ... checking the controller ...\n", 0), 0u) << out;
        EXPECT_EQ(ServoOn, c.servo);
        EXPECT_EQ(MachineHomed, c.homed);
        EXPECT_EQ(OnlineMode, c.online);
        EXPECT_EQ(ControllerFamily, c.family);
        EXPECT_EQ(gDouble.calls, c.calls);
        EXPECT_EQ(err.find("defaulting to offline vantor control!\n") != std::string::npos,
                  c.servoType == nullptr)
            << err;
    }
}

TEST_F(MachineStateTest, ATableWithoutServoCountsAsNoRecord) {
    UartEntry printer;
    printer.name = "PRINTER";
    printer.mode = 'P';
    printer.type = "Ondry";
    box.WriteUart({printer});
    OnlineItem = 2; // offline, but the missing record is decided first
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    MachineState();
    testing::internal::GetCapturedStdout();
    EXPECT_NE(testing::internal::GetCapturedStderr().find("defaulting to offline vantor control!"),
              std::string::npos);
    EXPECT_EQ(ServoOn, 0);
    EXPECT_EQ(MachineHomed, 0);
    EXPECT_EQ(OnlineMode, 0);
    EXPECT_EQ(ControllerFamily, 1);
    EXPECT_EQ(gDouble.calls, "");
}

TEST(CurrentPart, ReadsTheNameOfAPartFolder) {
    Sandbox box;
    const std::string long79(79, 'L');
    box.Write("/u/qel/part/DEMO/.keep", "");
    box.Write("/u/qel/part/" + long79 + "/.keep", "");
    box.Write("/u/qel/part/PLAIN", "a file, not a folder");
    struct Case {
        const char* what;
        bool exists;
        std::string bytes;
        int valid;
        std::string name;
    };
    const Case cases[] = {
        {"plain name", true, "DEMO", 1, "DEMO"},
        {"line end of an editor", true, "DEMO\n", 1, "DEMO"},
        {"CR LF", true, "DEMO\r\n", 1, "DEMO"},
        {"only the first line", true, "DEMO\nOTHER\n", 1, "DEMO"},
        {"a plain file", true, "PLAIN", 0, ""},
        {"no such folder", true, "NOPE", 0, ""},
        {"empty file", true, "", 0, ""},
        {"only a line end", true, "\n", 0, ""},
        {"no file", false, "", 0, ""},
        {"cut at 79 characters", true, long79 + "XYZ", 1, long79},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.exists)
            box.Write(kPartname, c.bytes);
        else
            box.Remove(kPartname);
        CurrentPart = "OLD";
        EXPECT_EQ(ReadCurrentPart(), c.valid);
        EXPECT_EQ(CurrentPart, c.name);
    }
}

TEST(CurrentPart, FolderIsLookedUpUnderThePartRoot) {
    Sandbox box;
    ScopedEnv part("QELPART", "/u/parts/");
    box.Write("/u/parts/MOVED/.keep", "");
    box.Write(kPartname, "MOVED");
    EXPECT_EQ(ReadCurrentPart(), 1);
    EXPECT_EQ(CurrentPart, "MOVED");
}

TEST(Grid, FollowsTheWorkArea) {
    ScreenWidth = ScreenHeight = 0;
    ScreenDimensions();
    EXPECT_EQ(ScreenWidth, 800);
    EXPECT_EQ(ScreenHeight, 600);
    EXPECT_EQ(std::vector<int>(GridX, GridX + 7),
              (std::vector<int>{17, 94, 171, 248, 325, 402, 479}));
    EXPECT_EQ(std::vector<int>(GridY, GridY + 7),
              (std::vector<int>{67, 108, 149, 190, 231, 272, 313}));
}

} // namespace
