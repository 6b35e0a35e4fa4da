// Install files that are missing, unreadable, empty or of a bad size: each is
// named in one console line (icons and the configuration store once, however
// often they are loaded), and the program goes on as without the fault.
#include <gtest/gtest.h>

#include "colors.h"
#include "gui.h"
#include "labels.h"
#include "password.h"
#include "sysgen.h"
#include "test_hooks.h"
#include "vok.h"

#include <functional>
#include <string>

namespace {

const char* const kSysgen = "/u/qel/sys_data/files/sysgen.bin";

int Occurrences(const std::string& text, const std::string& line) {
    int n = 0;
    for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) ++n;
    return n;
}

TEST(InstallFiles, BadFilesAreNamedOnTheConsole) {
    GuiSession gui;
    ASSERT_TRUE(gui.ok());
    const Sandbox& box = gui.box();
    box.Write("/u/qel/def_data/icon/BROKEN.VOK", "this is no bitmap\n");
    box.Remove("/u/qel/usr_data/misc/colors.QEL");
    box.Remove("/u/qel/def_data/misc/colors.QEL");
    auto sysgenOfSize = [&](size_t bytes) {
        return [&box, bytes] {
            SysgenResetForTest();
            box.Write(kSysgen, std::string(bytes, ' '));
        };
    };
    auto nothing = [] {};
    auto load = [] { EXPECT_EQ(InitConfigure(), 0); };
    struct Case {
        const char* fault;
        std::function<void()> setUp;
        std::function<void()> act; // run twice
        std::string line;
        int times; // how often the line shows for the two runs
    };
    const Case cases[] = {
        {"missing icon", nothing, [] { SetWidgetIcon(nullptr, "X", "NOPE.ICN", 0, 0, 4); },
         "LoadIcon: no icon file NOPE.ICN in /u/qel/usr_data/icon/ or /u/qel/def_data/icon/\n", 1},
        {"unreadable icon", nothing, [] { SetWidgetIcon(nullptr, "X", "BROKEN.VOK", 0, 7, 3); },
         "LoadIcon: unable to read icon file /u/qel/def_data/icon/BROKEN.VOK\n", 1},
        {"missing icon of the password dialog",
         [&] {
             for (const char* icon : {"OK.VOK", "CANCEL.VOK", "OEYES.VOK"}) {
                 std::string bytes;
                 ASSERT_TRUE(ReadFileBytes(
                     std::string(QEL_SOURCE_DIR) + "/demo/tree/def_data/icon/" + icon, &bytes));
                 box.Write(std::string("/u/qel/def_data/icon/") + icon, bytes);
             }
             box.Remove("/u/qel/def_data/icon/CEYES.VOK");
         },
         [] { PasswordInit("vok", MainForm, 0, AppContext); },
         "PwInitResources: unable to read icon file /u/qel/def_data/icon/CEYES.VOK\n", 1},
        {"every colour file missing", nothing, [] { UpdateQELColors("colors.NONE"); },
         "ReadColorFile: no colour file colors.NONE or colors.QEL in /u/qel/usr_data/misc/ or "
         "/u/qel/def_data/misc/, no colour scheme\n",
         2},
        {"empty label file", [&] { box.Write(LabelFileName(0), ""); },
         [] { EXPECT_EQ(InitVok(), 0); },
         "InitVok: label file /u/qel/database/evok.data is empty\n", 2},
        {"store of a partial record", sysgenOfSize(100 * 64 + 10), load,
         "InitConfigure: /u/qel/sys_data/files/sysgen.bin is 6410 bytes, not a whole number of "
         "64-byte records\n",
         1},
        {"store one record short of the defaults", sysgenOfSize(96 * 64), load,
         "InitConfigure: /u/qel/sys_data/files/sysgen.bin holds 96 records, items from 96 take "
         "their defaults\n",
         1},
        {"store over 64 KiB", sysgenOfSize(70000), load,
         "InitConfigure: /u/qel/sys_data/files/sysgen.bin is 70000 bytes, only the first 65536 "
         "(1024 records) are read\n",
         1},
    };
    for (const Case& c : cases) {
        c.setUp();
        testing::internal::CaptureStdout();
        c.act();
        c.act();
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(Occurrences(out, c.line), c.times) << c.fault << ":\n" << out;
    }
    EXPECT_EQ(SysgenRecordCount(), 1024); // the 64 KiB file, read up to the limit

    // The icons named once are named again after a new start of the scheme.
    ResourcePaletteCreate("colors.NONE");
    testing::internal::CaptureStdout();
    SetWidgetIcon(nullptr, "X", "NOPE.ICN", 0, 0, 4);
    EXPECT_EQ(Occurrences(testing::internal::GetCapturedStdout(), "NOPE.ICN"), 1);

    // A store that covers every item with a default, in whole records, is
    // not reported.
    sysgenOfSize(97 * 64)();
    testing::internal::CaptureStdout();
    EXPECT_EQ(InitConfigure(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

} // namespace
