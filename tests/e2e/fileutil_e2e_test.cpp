// Delete, print, text edit, block edit and contour edit end to end: the
// real program on the demo station with the simulated message server and
// the stand-ins of the suite's tools. A file of P1's stat folder deleted by
// pointer (the question answered from outside), a record file of it printed
// (its dump arrives in sim/printed), a library file edited through the
// stand-in editor with its post-edit command, and a part chosen from the
// part list for the block editor and the contour editor.
//
// The tests save screenshots of the delete screen (file-delete.png) and of
// the print screen's target phase (print-target.png) in
// QEL_SCREENSHOT_DIR, or in their working folder when that is not set.
#include <gtest/gtest.h>

#include "clicker.h"
#include "proc.h"
#include "sandbox.h"
#include "station.h"
#include "vok_run.h"
#include "xutil.h"
#include "xvfb.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

namespace {

// The print button of the target phase.
constexpr Place kPrintMode = {454 + 66, 320 + 16};

// The demo station with the program running on it, its file menu's choice
// made and confirmed.
class FileUtilRun {
  public:
    FileUtilRun() : xvfb_(800, 600) {
        std::string error;
        laidOut_ = xvfb_.ok() && box_.LayOutDemo(&error);
        if (!laidOut_) return;
        std::map<std::string, std::string> env = ShortPauses();
        env["PATH"] = box_.ToolsOnPath();
        env["QEL_WORDPAD_DIR"] = "/C=/u/qel/xeq/wordpad.exe";
        run_ = std::make_unique<VokRun>(box_, std::vector<std::string>{}, env);
    }
    bool Start() {
        if (!laidOut_ || !Vok().WaitForOutput("ChangeCursor\n", kStartupMs)) return false;
        x_ = std::make_unique<XClient>();
        if (!x_->ok()) return false;
        st_ = std::make_unique<Station>(*x_);
        screen_ = std::make_unique<FileScreenStation>(*x_, *st_, box_);
        Pause(300);
        return st_->ok();
    }
    // The file menu, the choice, OK; the password typed when one is asked.
    bool Open(Place choice, const char* password) {
        st_->ClickButton(kFileUtilMenu);
        if (!WaitUntil([&] { return st_->ChoiceShown(choice); }, 5000)) return false;
        st_->ClickOnWork(choice);
        Pause(300);
        st_->Click({kWork.x + kOk.x + 33, kWork.y + kOk.y + 33});
        if (password) {
            if (x_->WaitForTopWindow(615, 215, 5000).id == 0) return false;
            Pause(300);
            screen_->TypePath(password);
            x_->Key("Return");
        }
        return WaitUntil([&] { return screen_->List().id != 0; }, 5000);
    }
    // Chooses the named entries one after another.
    bool Walk(const std::vector<std::string>& names) {
        for (const std::string& name : names) {
            if (!WaitUntil([&] { return screen_->RowOf(name) != 0; }, 3000)) return false;
            screen_->Choose(screen_->RowOf(name));
        }
        return true;
    }

    const Sandbox& box() const { return box_; }
    ChildProcess& Vok() { return run_->child(); }
    const XClient& x() const { return *x_; }
    const Station& st() const { return *st_; }
    const FileScreenStation& screen() const { return *screen_; }
    const XvfbServer& xvfb() const { return xvfb_; }

  private:
    XvfbServer xvfb_;
    Sandbox box_;
    bool laidOut_ = false;
    std::unique_ptr<VokRun> run_;
    std::unique_ptr<XClient> x_;
    std::unique_ptr<Station> st_;
    std::unique_ptr<FileScreenStation> screen_;
};

TEST(FileUtilE2E, DeletesAFileByPointer) {
    FileUtilRun r;
    ASSERT_TRUE(r.Start());
    ASSERT_TRUE(r.box().Exists("/u/qel/part/P1/stat/RUN1.DAT"));
    // Delete asks for the programmer's password every time (item 43).
    ASSERT_TRUE(r.Open(kDeleteChoice, "program")) << r.st().Layout();
    // The top list: the current part DEMO, then part/.
    r.screen().Choose(2);
    ASSERT_TRUE(r.Walk({"P1", "stat"})) << r.Vok().Output();
    ASSERT_TRUE(WaitUntil([&] { return r.screen().RowOf("RUN1.DAT") != 0; }, 3000));
    r.screen().Select(r.screen().RowOf("RUN1.DAT"));
    Pause(300);
    const std::string shot = ScreenshotPath("file-delete.png");
    EXPECT_TRUE(r.xvfb().Screenshot(shot));
    std::printf("delete screen: %s\n", shot.c_str());
    {
        DialogAnswerer answer(true);
        r.st().Click(kBigOk);
        ASSERT_TRUE(
            WaitUntil([&] { return !r.box().Exists("/u/qel/part/P1/stat/RUN1.DAT"); }, 5000))
            << r.Vok().Output();
        EXPECT_TRUE(WaitUntil([&] { return answer.answered() == 1; }, 3000));
    }
    EXPECT_TRUE(r.box().Exists("/u/qel/part/P1/program/llf"));
    EXPECT_NE(r.Vok().Output().find("SYSTEM('rm /u/qel/part/P1/stat/RUN1.DAT')"),
              std::string::npos);
}

TEST(FileUtilE2E, PrintsARecordFile) {
    FileUtilRun r;
    ASSERT_TRUE(r.Start());
    // Print and view asks no password (item 42).
    ASSERT_TRUE(r.Open(kPrintChoice, nullptr)) << r.st().Layout();
    r.screen().Choose(2);
    ASSERT_TRUE(r.Walk({"P1", "stat", "RUN1.DAT"})) << r.Vok().Output();
    // The target phase: no list, the view and print buttons.
    ASSERT_TRUE(WaitUntil([&] { return r.screen().List().id == 0; }, 3000)) << r.st().Layout();
    r.st().Click(kPrintMode);
    Pause(300);
    const std::string shot = ScreenshotPath("print-target.png");
    EXPECT_TRUE(r.xvfb().Screenshot(shot));
    std::printf("print target: %s\n", shot.c_str());
    r.st().Click(kBigOk);
    ASSERT_TRUE(WaitUntil([&] { return r.box().Exists("/sim/printed/1-prt.out"); }, 5000))
        << r.Vok().Output();
    EXPECT_EQ(r.box().Read("/sim/printed/1-prt.out"),
              "dump of /u/qel/part/P1/stat/RUN1.DAT (kind 21, part ___)\n" +
                  r.box().Read("/u/qel/part/P1/stat/RUN1.DAT"));
    const std::vector<std::string> prints = RequestsOf(r.box(), 9);
    ASSERT_EQ(prints.size(), 1u);
    EXPECT_EQ(JsonStr(prints[0], "path"), "/u/tmp/prt.out");
    EXPECT_EQ(JsonInt(prints[0], "arg"), 0);
    // Back to the folder's list.
    EXPECT_TRUE(WaitUntil([&] { return r.screen().List().id != 0; }, 3000));
}

TEST(FileUtilE2E, EditsThroughTheStandInEditor) {
    FileUtilRun r;
    ASSERT_TRUE(r.Start());
    ASSERT_TRUE(r.Open(kTextEditChoice, "program")) << r.st().Layout();
    r.st().Click(kKeyin);
    r.screen().TypePath("/u/qel/part/P2/lib/L1");
    const std::string root = r.box().root();
    {
        // The post-edit command of the lib folder asks first, then shows
        // the head of the library generator's output.
        DialogAnswerer answer(true);
        r.x().Key("Return");
        ASSERT_TRUE(WaitUntil(
            [&] {
                const std::vector<std::string> log = r.box().ScriptsLog();
                return std::find(log.begin(), log.end(),
                                 "dolibgen [" + root + "/u/qel/part/P2/lib/L1]") != log.end();
            },
            8000))
            << r.Vok().Output();
        EXPECT_TRUE(WaitUntil([&] { return answer.answered() == 2; }, 5000));
    }
    const std::vector<std::string> log = r.box().ScriptsLog();
    EXPECT_NE(
        std::find(log.begin(), log.end(), "start.exe sh /u/qel/shell/dovi  /u/qel/part/P2/lib/L1"),
        log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), "dovi [/u/qel/part/P2/lib/L1]"), log.end());
}

TEST(FileUtilE2E, BlockAndContourEditStartTheirEditors) {
    FileUtilRun r;
    ASSERT_TRUE(r.Start());
    // Block edit asks for the programmer's password once (item 52);
    // contour edit asks none.
    const struct {
        Place choice;
        const char* password;
        const char* part;
        const char* started;
    } kEditors[] = {
        {kBlockEditChoice, "program", "P1", "be.exe [P1]"},
        {kContourEditChoice, nullptr, "P2", "xceditor.exe [/u/qel/part/P2/contour]"},
    };
    for (const auto& e : kEditors) {
        SCOPED_TRACE(e.started);
        ASSERT_TRUE(r.Open(e.choice, e.password)) << r.st().Layout();
        // The top list: the current part DEMO, then part/ with the parts.
        r.screen().Choose(2);
        ASSERT_TRUE(r.Walk({e.part})) << r.Vok().Output();
        EXPECT_TRUE(WaitUntil(
            [&] {
                const std::vector<std::string> log = r.box().ScriptsLog();
                return std::find(log.begin(), log.end(), e.started) != log.end();
            },
            5000))
            << r.box().Read("/sim/scripts.log");
        // The screen stays for the next part; its Cancel gives the file
        // menu back.
        EXPECT_TRUE(WaitUntil([&] { return r.screen().List().id != 0; }, 3000));
        r.st().Click(kBigCancel);
        ASSERT_TRUE(WaitUntil([&] { return r.screen().List().id == 0; }, 5000)) << r.st().Layout();
    }
    const std::vector<std::string> log = r.box().ScriptsLog();
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& l) {
                                return l.rfind("be.exe", 0) == 0 || l.rfind("xceditor.exe", 0) == 0;
                            }),
              2)
        << r.box().Read("/sim/scripts.log");
}

// A part name typed into the keyin field, after a click into it, is the
// part the editor gets, whatever row of the list was selected before; the
// name reaches the editor whole as its one argument.
TEST(FileUtilE2E, BlockAndContourEditTakeATypedPartName) {
    FileUtilRun r;
    const std::string hostile = "P 3;x'y";
    r.box().Write("/u/qel/part/" + hostile + "/contour/C1", "");
    ASSERT_TRUE(r.Start());
    const struct {
        Place choice;
        const char* password;
        bool inPartList; // P1 of the part list selected, else the current part
        bool pressOk;    // OK, else Return in the field
        std::string started;
    } kEditors[] = {
        {kBlockEditChoice, "program", true, false, "be.exe [" + hostile + "]"},
        {kContourEditChoice, nullptr, false, true,
         "xceditor.exe [/u/qel/part/" + hostile + "/contour]"},
    };
    for (const auto& e : kEditors) {
        SCOPED_TRACE(e.started);
        ASSERT_TRUE(r.Open(e.choice, e.password)) << r.st().Layout();
        if (e.inPartList) {
            r.screen().Choose(2);
            ASSERT_TRUE(WaitUntil([&] { return r.screen().RowOf("P1") > 1; }, 3000));
            r.screen().Select(r.screen().RowOf("P1"));
        } else {
            // The top list: part/, then the current part DEMO (a click on
            // the row selected would take its selection away).
            r.screen().Select(2);
            r.screen().Select(1);
        }
        // The click, the keys and Return reach the program in this order.
        r.st().Click(kKeyin);
        for (char c : hostile) {
            if (c == ' ')
                r.x().Key("space");
            else if (c == ';')
                r.x().Key("semicolon");
            else if (c == '\'')
                r.x().Key("apostrophe");
            else
                r.x().Type(std::string(1, c));
        }
        if (e.pressOk)
            r.st().Click(kBigOk);
        else
            r.x().Key("Return");
        EXPECT_TRUE(WaitUntil(
            [&] {
                const std::vector<std::string> log = r.box().ScriptsLog();
                return std::find(log.begin(), log.end(), e.started) != log.end();
            },
            5000))
            << r.box().Read("/sim/scripts.log") << r.Vok().Output();
        EXPECT_TRUE(WaitUntil([&] { return r.screen().List().id != 0; }, 3000));
        r.st().Click(kBigCancel);
        ASSERT_TRUE(WaitUntil([&] { return r.screen().List().id == 0; }, 5000)) << r.st().Layout();
    }
    // Each editor once, on the typed part only.
    const std::vector<std::string> log = r.box().ScriptsLog();
    std::vector<std::string> editors;
    std::copy_if(log.begin(), log.end(), std::back_inserter(editors), [](const std::string& l) {
        return l.rfind("be.exe", 0) == 0 || l.rfind("xceditor.exe", 0) == 0;
    });
    EXPECT_EQ(editors, (std::vector<std::string>{kEditors[0].started, kEditors[1].started}))
        << r.box().Read("/sim/scripts.log");
}

} // namespace
