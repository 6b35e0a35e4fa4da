// Shared fixture of the family B driver tests: a fake controller on a pty
// whose slave is the SERVO record's device (a KROMI record), answering as
// the family B model, the virtual clock, the operator hooks recorded, and
// the line opened and woken as the driver opens it (the wake-up's traffic
// thrown away).
#pragma once

#include <gtest/gtest.h>

#include "fake_controller.h"
#include "family_b.h"
#include "operator_ui_recorder.h"
#include "ports.h"
#include "records_uart.h"
#include "sandbox.h"
#include "serial_line.h"
#include "sysgen.h"
#include "test_hooks.h"
#include "virtual_clock.h"

#include <map>
#include <string>
#include <vector>

using Lines = std::vector<std::string>;

class FamilyBTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Reset();
        ServoLine = SerialLine{};
        box.Write(kUartPath, EncodeUartFile({ServoEntry("KROMI", fake.SlavePath())}));
        fake.Attach(clock);
        model = &fake.FamilyB();
        ASSERT_EQ(FamilyB::ServoOpen(), 1);
        fake.Flush();
    }
    void TearDown() override {
        ServoClose();
        Reset();
    }
    static void Reset() {
        SysgenResetForTest();
        HomeResult = 0;
        FamilyB::SavedErrorLine.clear();
        FamilyB::ServoStateFlag = 0;
    }
    // The store with these items, loaded.
    void Items(const std::map<int, SysgenItem>& items) {
        box.WriteSysgen(items, 100);
        ASSERT_EQ(InitConfigure(), 0);
    }
    // The commands since the last Flush, STX, ETX and EM by their names.
    Lines Commands() {
        fake.Pump(clock.Now());
        Lines named;
        for (const std::string& c : fake.Commands()) {
            if (c == "\x02")
                named.push_back("STX");
            else if (c == "\x03")
                named.push_back("ETX");
            else if (c == "\x19")
                named.push_back("EM");
            else
                named.push_back(c);
        }
        return named;
    }

    Sandbox box;
    FakeController fake;
    VirtualClock clock;
    OperatorUiRecorder ui;
    FamilyBModel* model = nullptr;
};
