// The print screen's model on a sandbox tree, without X: the listing
// script, sh.exe, dodumper and the word processor are the sandbox's
// stand-ins, and the print requests come off a real private queue in the
// server's own layout (wire.h). Which files are dumped and how, what a
// request carries, a batch with a dump of its own per file, failures that
// must print nothing stale or cut, several selected files in turn, the
// hotkey, typed names and patterns, and view mode.
#include <gtest/gtest.h>

#include "filelists.h"
#include "msgsys.h"
#include "prtmodel.h"
#include "sandbox.h"
#include "wire.h"

#include <algorithm>
#include <deque>
#include <string>
#include <sys/ipc.h>
#include <sys/msg.h>
#include <unistd.h>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

constexpr long kKey = 0x71000043;

TEST(PrintDumper, KindByPath) {
    const struct {
        const char* target;
        int kind;
        const char* partArg;
    } cases[] = {
        {"/u/qel/run_data/tip/T1", 2, "system"},
        {"/u/qel/run_data/alignment/A1", 3, "system"},
        {"/u/qel/part/A/buffer/B1", 16, "___"},
        {"/u/qel/part/A/feature/F1", 17, "___"},
        {"/u/qel/part/A/formraw/R1", 19, "___"},
        {"/u/qel/part/A/stat/S1", 21, "___"},
        {"/u/qel/part/A/program/llf", 0, ""},
        // The tests go in the table's order; only the run data's own
        // folders count as such.
        {"/u/qel/run_data/tip/stat/x", 2, "system"},
        {"/u/qel/part/A/stat/buffer/x", 16, "___"},
        {"/u/qel/part/run_data/tip/x", 0, ""},
        {"/u/qel/part/A/statistics/x", 0, ""},
    };
    for (const auto& c : cases) {
        const DumperChoice d = DumperKind(c.target);
        EXPECT_EQ(d.kind, c.kind) << c.target;
        EXPECT_EQ(d.partArg, c.partArg) << c.target;
    }
}

struct Request {
    int code, arg, subState, exit;
    std::string path;
};

class PrintTest : public testing::Test {
  protected:
    PrintTest() : box_(Sandbox::WithSuiteTools()) {}

    void SetUp() override {
        for (const char* f :
             {"/u/qel/run_data/tip/T1", "/u/qel/part/A/stat/S1", "/u/qel/part/A/stat/S2",
              "/u/qel/part/A/stat/S3", "/u/qel/part/A/buffer/B1", "/u/qel/part/A/program/llf",
              "/u/qel/part/A/sub/x.E", "/u/qel/part/A/sub/deeper/y.E", "/u/qel/part/B/program/llf",
              "/u/qel/part/B/old/program/llf"})
            box_.Write(f, std::string("text of ") + f + "\n");
        MsgsysResetForTest();
        qid_ = msgget(IPC_PRIVATE, IPC_CREAT | 0600);
        ASSERT_NE(qid_, -1);
        MsgQueueId = qid_;
        MsgKey = kKey;
        OwnPid = getpid();
    }
    void TearDown() override {
        msgctl(qid_, IPC_RMID, nullptr);
        MsgQueueId = -1;
    }

    // The requests that the program sent, taken off the queue.
    std::vector<Request> Requests() {
        std::vector<Request> out;
        wire::Msg m;
        while (msgrcv(qid_, &m, wire::kTextSize, kKey, IPC_NOWAIT | MSG_NOERROR) >= 0)
            out.push_back({wire::Int(m, 20), wire::Int(m, 8), wire::Int(m, 112), wire::Int(m, 116),
                           wire::Text(m, 32, 80)});
        return out;
    }
    Texts Paths() {
        Texts out;
        for (const Request& r : Requests()) out.push_back(r.path);
        return out;
    }

    NavIo Io() {
        return {[this](const std::string& folder) {
                    if (folder.empty()) {
                        names_ = TopListNames("fu.pr", part_);
                        return 1;
                    }
                    bool sub = false;
                    ListFolder(folder, ListRule::kDir, &names_, &sub);
                    return sub ? 1 : 0;
                },
                [](const std::string& path) { return FileType(path) == 2; }};
    }
    FileUi Ui() {
        return {[](int n) { return "L" + std::to_string(n); },
                [this](const std::string& text) {
                    messages_.push_back(text);
                    return 1;
                },
                [](const std::string&) { return -1; }, [](bool) {}};
    }
    void Open(const std::string& part = "") {
        part_ = part;
        PrtOpen(m_, part, Io());
    }
    ListSelection Sel(const Texts& entries) {
        ListSelection sel;
        for (const std::string& e : entries) {
            auto it = std::find(names_.begin(), names_.end(), e);
            EXPECT_NE(it, names_.end()) << e;
            if (it == names_.end()) continue;
            if (sel.names.empty()) sel.firstPosition = static_cast<int>(it - names_.begin()) + 1;
            sel.names.push_back(e);
        }
        return sel;
    }
    void Choose(const Texts& entries) { PrtOk(m_, Sel(entries), "", Io(), Ui()); }
    void Path(const Texts& entries) {
        for (const std::string& e : entries) Choose({e});
    }
    void Ok(const std::string& text = "") { PrtOk(m_, {}, text, Io(), Ui()); }
    // The print button, then OK.
    void Print() {
        m_.mode = kPrtPrint;
        Ok();
    }
    Texts Log() {
        Texts log = box_.ScriptsLog();
        log.erase(std::remove_if(log.begin(), log.end(),
                                 [](const std::string& l) { return l.rfind("dols", 0) == 0; }),
                  log.end());
        box_.Remove("/sim/scripts.log");
        return log;
    }
    Texts Take(Texts& v) {
        Texts out;
        out.swap(v);
        return out;
    }

    Sandbox box_;
    int qid_ = -1;
    PrtModel m_;
    std::string part_;
    Texts names_;
    Texts messages_;
};

TEST_F(PrintTest, ADataFileIsDumpedThenPrinted) {
    Open();
    Path({"part/", "A/", "stat/", "S1"});
    EXPECT_EQ(m_.nav.state, kNavTargetPart);
    EXPECT_EQ(m_.target, "/u/qel/part/A/stat/S1");
    EXPECT_EQ(m_.mode, kPrtView);
    EXPECT_EQ(PrtTargetText(m_, Ui()), "L176 part/A/stat/S1");
    box_.Write("/u/tmp/prt.out", "an earlier dump\n");
    Print();
    EXPECT_EQ(Log(), (Texts{"sh.exe [/u/qel/shell/dodumper] [21] [/u/qel/part/A/stat/S1] [___] "
                            "[/u/tmp/prt.out]",
                            "dodumper [21] [/u/qel/part/A/stat/S1] [___] [/u/tmp/prt.out]"}));
    const std::vector<Request> sent = Requests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].code, 9);
    EXPECT_EQ(sent[0].path, "/u/tmp/prt.out");
    EXPECT_EQ(sent[0].arg, 0);
    EXPECT_EQ(sent[0].subState, 0);
    EXPECT_EQ(sent[0].exit, 0);
    EXPECT_EQ(box_.Read("/u/tmp/prt.out"),
              "dump of /u/qel/part/A/stat/S1 (kind 21, part ___)\ntext of /u/qel/part/A/stat/S1\n");
    EXPECT_TRUE(messages_.empty());
    // Back to the folder, the keyin field as if it had the focus.
    EXPECT_EQ(m_.nav.state, kNavPartBelow);
    EXPECT_TRUE(m_.focusKeyin);
}

TEST_F(PrintTest, FilesAsTheyStandAndFromTheRunData) {
    Open();
    Ok("/u/qel/part/A/program/llf");
    Print();
    Ok("/u/qel/run_data/tip/T1");
    Print();
    EXPECT_EQ(Paths(), (Texts{"/u/qel/part/A/program/llf", "/u/tmp/prt.out"}));
    EXPECT_EQ(Log(), (Texts{"sh.exe [/u/qel/shell/dodumper] [2] [/u/qel/run_data/tip/T1] [system] "
                            "[/u/tmp/prt.out]",
                            "dodumper [2] [/u/qel/run_data/tip/T1] [system] [/u/tmp/prt.out]"}));
}

TEST_F(PrintTest, ABatchGivesEachFileItsOwnDump) {
    Open();
    Ok("/u/qel/part/A/stat/*");
    EXPECT_EQ(m_.nav.state, kNavTargetTop);
    EXPECT_TRUE(m_.pattern);
    Print();
    Texts paths = Paths();
    EXPECT_EQ(paths, (Texts{"/u/tmp/prt1.out", "/u/tmp/prt2.out", "/u/tmp/prt3.out"}));
    Texts dumped;
    for (const std::string& p : paths) dumped.push_back(box_.Read(p).substr(0, 32));
    std::sort(dumped.begin(), dumped.end());
    EXPECT_EQ(dumped, (Texts{"dump of /u/qel/part/A/stat/S1 (k", "dump of /u/qel/part/A/stat/S2 (k",
                             "dump of /u/qel/part/A/stat/S3 (k"}));
    EXPECT_EQ(m_.nav.state, kNavTop);
    // Through the sub folders: every .E at any depth, as it stands.
    Ok("/u/qel/part/A/*.E");
    Print();
    paths = Paths();
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (Texts{"/u/qel/part/A/sub/deeper/y.E", "/u/qel/part/A/sub/x.E"}));
    // The whole-folder button on A: every file below it.
    Choose({"part/"});
    PrtWholeFolder(m_, Sel({"A/"}), Ui());
    EXPECT_EQ(m_.nav.state, kNavTargetPart);
    EXPECT_EQ(m_.target, "/u/qel/part/A/*");
    Print();
    EXPECT_EQ(Paths().size(), 7u);
    EXPECT_EQ(m_.nav.state, kNavPartList);
    // A name typed in the part list: the part programs, and only those.
    Ok("llf");
    EXPECT_EQ(m_.target, "/u/qel/part/*/program/llf");
    Print();
    paths = Paths();
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (Texts{"/u/qel/part/A/program/llf", "/u/qel/part/B/old/program/llf",
                            "/u/qel/part/B/program/llf"}));
}

TEST_F(PrintTest, NothingStaleNothingCut) {
    Open();
    // dodumper fails: the earlier dump is not printed.
    box_.Write("/sim/dodumper.mode", "fail");
    box_.Write("/u/tmp/prt.out", "an earlier dump\n");
    testing::internal::CaptureStdout();
    Ok("/u/qel/part/A/stat/S1");
    Print();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("PrintIt: dodumper made no text of /u/qel/part/A/stat/S1\n"),
              std::string::npos);
    EXPECT_TRUE(Requests().empty());
    EXPECT_FALSE(box_.Exists("/u/tmp/prt.out"));
    EXPECT_EQ(Take(messages_), Texts{"L186 \nL100"});
    // In a batch the console alone says so.
    Ok("/u/qel/part/A/stat/*");
    Print();
    EXPECT_TRUE(Requests().empty());
    EXPECT_TRUE(messages_.empty());
    box_.Remove("/sim/dodumper.mode");

    // A path longer than the request's 79 characters is refused, not cut.
    Log();
    const std::string long80 = "/u/qel/part/A/program/" + std::string(80 - 22, 'p');
    ASSERT_EQ(long80.size(), 80u);
    box_.Write(long80, "p");
    Ok(long80);
    Print();
    EXPECT_TRUE(Requests().empty());
    EXPECT_EQ(Take(messages_), Texts{"L186 \nL100"});
    const std::string long79 = long80.substr(0, 79);
    box_.Write(long79, "p");
    Ok(long79);
    Print();
    EXPECT_EQ(Paths(), Texts{long79});
    // One that does not fit dodumper's argument row.
    const std::string stat80 = "/u/qel/part/A/stat/" + std::string(80 - 19, 's');
    box_.Write(stat80, "s");
    Ok(stat80);
    Print();
    EXPECT_EQ(Take(messages_), Texts{stat80 + "\nL70\nL100"});
    EXPECT_TRUE(Log().empty());
    EXPECT_TRUE(Requests().empty());

    // No queue: the send fails.
    MsgQueueId = -1;
    Ok("/u/qel/part/A/program/llf");
    Print();
    EXPECT_EQ(Take(messages_), Texts{"L186 \nL100"});
}

TEST_F(PrintTest, SeveralSelectedFilesOneAfterAnother) {
    Open();
    Path({"part/", "A/", "stat/"});
    ASSERT_TRUE(m_.nav.multiple);
    Choose({"S1", "S2", "S3"});
    EXPECT_EQ(m_.target, "/u/qel/part/A/stat/S1");
    Print();
    EXPECT_EQ(m_.nav.state, kNavTargetPart);
    EXPECT_EQ(m_.target, "/u/qel/part/A/stat/S2");
    EXPECT_EQ(m_.mode, kPrtView); // each new target in view mode again
    Print();
    EXPECT_EQ(m_.target, "/u/qel/part/A/stat/S3");
    Print();
    EXPECT_EQ(Paths(), (Texts{"/u/tmp/prt.out", "/u/tmp/prt.out", "/u/tmp/prt.out"}));
    EXPECT_EQ(m_.nav.state, kNavPartBelow);
    EXPECT_EQ(m_.nav.folder, "/u/qel/part/A/stat/");
    EXPECT_TRUE(m_.nav.multiple);
    EXPECT_TRUE(m_.nav.list);
}

TEST_F(PrintTest, TheHotkeyAndTypedNames) {
    Open("A");
    NavHotkey(m_.nav, kPrtCurLlfHotkey);
    Ok();
    EXPECT_EQ(m_.nav.state, kNavTargetTop);
    EXPECT_EQ(m_.target, "/u/qel/part/A/program/llf");
    EXPECT_EQ(m_.nav.parentState, kNavTop);
    PrtUpOne(m_, Io());
    EXPECT_EQ(m_.nav.state, kNavTop);
    NavKeyinFocus(m_.nav);
    // A relative name at the top.
    Ok("part/A/program/llf");
    EXPECT_EQ(Take(messages_), Texts{"L70"});
    EXPECT_EQ(m_.nav.state, kNavTop);
    // Relative to the folder listed.
    Choose({"part/"});
    Ok("A/program/llf");
    EXPECT_EQ(m_.nav.state, kNavTargetFolder);
    EXPECT_EQ(m_.target, "/u/qel/part/A/program/llf");
    PrtUpOne(m_, Io());
    EXPECT_EQ(m_.nav.state, kNavPartList);
}

TEST_F(PrintTest, ViewMode) {
    ScopedEnv wordpad("QEL_WORDPAD_DIR", "/C=/u/qel/xeq/wordpad.exe");
    Open();
    Ok("/u/qel/part/A/stat/S1");
    Ok();
    Ok("/u/qel/part/A/program/llf");
    Ok();
    Texts log = Log();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[2], "wordpad.exe [/u/tmp/prt.out]");
    EXPECT_EQ(log[3], "wordpad.exe [/u/qel/part/A/program/llf]");
    EXPECT_TRUE(Requests().empty());
    // A pattern is not walked, and a missing file opens nothing.
    testing::internal::CaptureStdout();
    Ok("/u/qel/part/A/program/*");
    Ok();
    Ok("/u/qel/part/A/program/gone");
    Ok();
    PrtWholeFolder(m_, Sel({"part/"}), Ui()); // nothing at the top
    Choose({"part/"});
    PrtWholeFolder(m_, Sel({"A/"}), Ui());
    Ok();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("\n\n\nError: required file /u/qel/part/A/program/* missing\n"
                       "Verify environment variable: 'QEL_Win_Install_Drive' is set to 'C:', "
                       "'D:', etc.\n\n\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("Error: required file /u/qel/part/A/program/gone missing\n"),
              std::string::npos);
    EXPECT_NE(out.find("Error: required file /u/qel/part/A/* missing\n"), std::string::npos);
    EXPECT_TRUE(Log().empty());
    EXPECT_TRUE(messages_.empty());
    // A pattern of record files: dodumper finds no such file.
    Ok("/u/qel/part/A/stat/*");
    Ok();
    EXPECT_EQ(Log().size(), 2u); // sh.exe and dodumper, no word processor
    EXPECT_EQ(Take(messages_), Texts{"L186 \nL100"});
    // With the install drive named, the file is looked for there.
    ScopedEnv drive("QEL_Win_Install_Drive", "D:");
    testing::internal::CaptureStdout();
    Ok("/u/qel/part/A/program/llf");
    Ok();
    EXPECT_NE(testing::internal::GetCapturedStdout().find("opening D:/u/qel/part/A/program/llf"),
              std::string::npos);
}

// With the part tree elsewhere (QELPART, no install drive named), view mode
// opens the part's file of that tree, and one left only in the install
// tree's own part folder is missing.
TEST_F(PrintTest, ViewModeInAMovedPartTree) {
    ScopedEnv wordpad("QEL_WORDPAD_DIR", "/C=/u/qel/xeq/wordpad.exe");
    const std::string parts = box_.root() + "/parts";
    ScopedEnv p("QELPART", parts.c_str());
    ScopedEnv d("QEL_Win_Install_Drive", nullptr);
    box_.Write("/parts/A/program/moved", "moved\n");
    box_.Write("/u/qel/part/A/program/left", "left\n");
    Open();
    Ok("/u/qel/part/A/program/moved");
    Ok();
    EXPECT_EQ(Log(), Texts{"wordpad.exe [" + parts + "/A/program/moved]"});
    testing::internal::CaptureStdout();
    Ok("/u/qel/part/A/program/left");
    Ok();
    EXPECT_NE(testing::internal::GetCapturedStdout().find(
                  "Error: required file /u/qel/part/A/program/left missing\n"),
              std::string::npos);
    EXPECT_TRUE(Log().empty());
    EXPECT_TRUE(Requests().empty());
}

} // namespace
