// Shared fixture of the family A driver tests: a fake controller on a pty
// whose slave is the SERVO record's device, the virtual clock, the
// operator hooks recorded, and the line opened and woken as the driver
// opens it (the wake-up's traffic thrown away).
#pragma once

#include <gtest/gtest.h>

#include "dbservo.h"
#include "errhist.h"
#include "fake_controller.h"
#include "family_a.h"
#include "operator_ui_recorder.h"
#include "ports.h"
#include "records_text.h"
#include "records_uart.h"
#include "sandbox.h"
#include "serial_line.h"
#include "sysgen.h"
#include "test_hooks.h"
#include "virtual_clock.h"

#include <map>
#include <string>
#include <vector>

class FamilyATest : public ::testing::Test {
  protected:
    void SetUp() override {
        Reset();
        ServoLine = SerialLine{};
        box.Write(kUartPath, EncodeUartFile({ServoEntry("Ondry", fake.SlavePath())}));
        fake.Attach(clock);
        model = &fake.FamilyA();
        ASSERT_EQ(FamilyA::ServoOpen(), 1);
        fake.Flush();
    }
    void TearDown() override {
        FamilyA::ServoCmd(' ', 0, FamilyA::kCmdStart);
        ServoClose();
        Reset();
    }
    static void Reset() {
        ServoErrorDbResetForTest();
        ErrHistResetForTest();
        SysgenResetForTest();
        HomeResult = 0;
    }
    // The store with these items, loaded.
    void Items(const std::map<int, SysgenItem>& items) {
        box.WriteSysgen(items, 100);
        ASSERT_EQ(InitConfigure(), 0);
    }
    // Servo errors 0 to count - 1, error n with the text "E<n>".
    void WriteServoDb(int count = 320) {
        std::string text = "unused\n";
        std::vector<ServoRecord> records(count);
        for (int n = 0; n < count; ++n) {
            text += "E" + std::to_string(n) + "\n";
            records[n].line = static_cast<int16_t>(n + 1);
        }
        box.Write("/u/qel/database/eservo.data", CountedLineFileBytes(count + 1, text));
        box.Write("/u/qel/database/DBservo.data", ServoRecordBytes(records));
    }
    // The commands since the last Flush.
    std::vector<std::string> Commands() const { return fake.Commands(); }

    Sandbox box;
    FakeController fake;
    VirtualClock clock;
    OperatorUiRecorder ui;
    FamilyAModel* model = nullptr;
};
