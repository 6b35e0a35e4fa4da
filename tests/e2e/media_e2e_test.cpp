// Backup and restore end to end: the real program on the demo station,
// driven by pointer and keys. The file menu's backup takes the current
// part DEMO's folder whole and writes it to the diskette (a file under the
// sandbox's dev/) after the estimate and the media dialog; then one of its
// files is deleted and another changed; the restore reads the diskette
// back, takes every member, and the changed file is removed from the ones
// to overwrite: the deleted file is back and the change is kept.
//
// The test saves screenshots of the backup screen with its set
// (backup-screen.png), the media dialog over it (media-dialog.png) and the
// restore screen's existing files (restore-existing.png) in
// QEL_SCREENSHOT_DIR, or in its working folder when that is not set.
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
#include <string>
#include <vector>

namespace {

constexpr Place kFileUtilMenu = {690, 344};
// The file menu's choices, on its work window.
constexpr Place kBackupChoice = {94, 272};
constexpr Place kRestoreChoice = {402, 272};
// The file screens cover the main window.
constexpr Place kBigOk = {655 + 33, 437 + 33};
constexpr Place kBigCancel = {45 + 33, 437 + 33};
constexpr Place kWholeFolder = {285 + 33, 437 + 33};
constexpr Place kRemove = {215 + 33, 437 + 33};
constexpr Place kPrint = {355 + 33, 437 + 33};
constexpr Place kPartPlus = {355 + 33, 437 + 33};
constexpr Place kRestoreAll = {425 + 33, 437 + 33};
constexpr Place kBackupButton = {410 + 175, 355 + 15};
constexpr Place kFileList = {10, 110};
constexpr int kFileListWidth = 350, kFileListRows = 9;
constexpr Place kMemberList = {30, 110};
constexpr int kMemberListWidth = 700, kMemberListRows = 14;
constexpr int kDialogWidth = 575, kDialogHeight = 175;
constexpr int kPasswordWidth = 615, kPasswordHeight = 215;

const char* const kLlf = "/u/qel/part/DEMO/program/llf";
const char* const kRun = "/u/qel/part/DEMO/stat/RUN1.DAT";

std::vector<std::string> Lines(const std::string& command) {
    FILE* p = popen(command.c_str(), "r");
    std::string out;
    char buf[4096];
    size_t n;
    while (p && (n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    if (p) pclose(p);
    return SplitLines(out);
}

class MediaStation {
  public:
    MediaStation(const XClient& x, const Station& st) : x_(x), st_(st) {}

    // Clicks a row (1-based) of the list at p of that width, seen rows.
    void ClickRow(Place p, int width, int rows, int row) const {
        const TopWindowInfo list = st_.Find(p.x, p.y, width);
        ASSERT_NE(list.id, 0u) << st_.Layout();
        st_.Click({list.x + 60, list.y + list.height * (2 * row - 1) / (2 * rows)});
        // Longer than the lists' double-click time: two clicks are never one
        // double click.
        Pause(600);
    }
    bool ListShown(Place p, int width) const { return st_.Find(p.x, p.y, width).id != 0; }
    // Answers the message dialog on top with OK.
    void AnswerOk() const {
        const TopWindowInfo top = x_.WaitForTopWindow(kDialogWidth, kDialogHeight, 5000);
        ASSERT_NE(top.id, 0u);
        XWindowId ok = 0;
        ASSERT_TRUE(WaitUntil([&] { return (ok = DialogButton(x_, top, true)) != 0; }, 5000));
        Pause(200);
        x_.ClickWindow(ok);
        x_.WaitUntilGone(top.id, 5000);
    }
    void Password(const std::string& word) const {
        ASSERT_NE(x_.WaitForTopWindow(kPasswordWidth, kPasswordHeight, 5000).id, 0u);
        Pause(300);
        x_.Type(word);
        x_.Key("Return");
    }
    // The file menu's choice, then its OK.
    void Open(Place choice) const {
        st_.ClickButton(kFileUtilMenu);
        ASSERT_TRUE(WaitUntil([&] { return st_.ChoiceShown(choice); }, 5000)) << st_.Layout();
        st_.ClickOnWork(choice);
        Pause(300);
        st_.Click({kWork.x + kOk.x + 33, kWork.y + kOk.y + 33});
    }
    // The media dialog's first medium, OK.
    void ChooseFirstMedium() const {
        ASSERT_TRUE(WaitUntil([&] { return st_.WorkWindowShown(); }, 5000)) << st_.Layout();
        Pause(300);
        st_.Click({kWork.x + kOk.x + 33, kWork.y + kOk.y + 33});
    }

  private:
    const XClient& x_;
    const Station& st_;
};

TEST(MediaE2E, BackUpDemoThenRestoreAllButTheChangedFile) {
    XvfbServer xvfb(800, 600);
    ASSERT_TRUE(xvfb.ok());
    Sandbox box;
    std::string error;
    ASSERT_TRUE(box.LayOutDemo(&error)) << error;
    box.Write(kRun, "run 1: 12.004 12.003\n");
    const std::string program = box.Read(kLlf);
    ASSERT_FALSE(program.empty());
    VokRun run(box);
    ChildProcess& vok = run.child();
    ASSERT_TRUE(vok.WaitForOutput("ChangeCursor\n", kStartupMs)) << vok.Output();
    XClient x;
    ASSERT_TRUE(x.ok());
    Station st(x);
    ASSERT_TRUE(st.ok());
    MediaStation media(x, st);
    Pause(300);

    // ---- the backup: DEMO's folder, whole ----
    media.Open(kBackupChoice);
    media.Password("program");
    ASSERT_TRUE(WaitUntil([&] { return media.ListShown(kFileList, kFileListWidth); }, 5000))
        << st.Layout();
    Pause(300);
    // The top list: the current part DEMO first (a click on the row that is
    // selected would take the selection off); the whole-folder button.
    media.ClickRow(kFileList, kFileListWidth, kFileListRows, 2);
    media.ClickRow(kFileList, kFileListWidth, kFileListRows, 1);
    st.Click(kWholeFolder);
    Pause(500);
    const std::string backupShot = ScreenshotPath("backup-screen.png");
    EXPECT_TRUE(xvfb.Screenshot(backupShot));
    std::printf("backup screen: %s\n", backupShot.c_str());
    st.Click(kBackupButton);
    // The estimate, then the media dialog.
    media.AnswerOk();
    ASSERT_TRUE(WaitUntil([&] { return st.WorkWindowShown(); }, 5000)) << st.Layout();
    Pause(300);
    const std::string dialogShot = ScreenshotPath("media-dialog.png");
    EXPECT_TRUE(xvfb.Screenshot(dialogShot));
    std::printf("media dialog: %s\n", dialogShot.c_str());
    media.ChooseFirstMedium();
    ASSERT_TRUE(vok.WaitForOutput("cmdstring = tar -C " + box.root() +
                                      " -cvf /dev/fd0 --no-unquote -- u/qel/part/DEMO",
                                  10000))
        << vok.Output();
    const std::string tf = "tar --quoting-style=literal -tf '" + box.Path("/dev/fd0") + "'";
    ASSERT_TRUE(WaitUntil([&] { return Lines(tf).size() >= 3; }, 10000)) << vok.Output();
    const std::vector<std::string> members = Lines(tf);
    EXPECT_NE(std::find(members.begin(), members.end(), "u/qel/part/DEMO/program/llf"),
              members.end());
    EXPECT_NE(std::find(members.begin(), members.end(), "u/qel/part/DEMO/stat/RUN1.DAT"),
              members.end());
    Pause(300);
    st.Click(kBigCancel);
    Pause(500);

    // ---- one file deleted, another changed ----
    box.Remove(kLlf);
    box.Write(kRun, "run 1: changed since the backup\n");

    // ---- the restore: everything but the changed file ----
    media.Open(kRestoreChoice);
    media.Password("manager");
    media.ChooseFirstMedium();
    ASSERT_TRUE(WaitUntil([&] { return media.ListShown(kMemberList, kMemberListWidth); }, 5000))
        << st.Layout();
    Pause(300);
    // The member list printed through the message server.
    st.Click(kPrint);
    ASSERT_TRUE(WaitUntil([&] { return !RequestsOf(box, 9).empty(); }, 5000)) << vok.Output();
    EXPECT_EQ(JsonStr(RequestsOf(box, 9).back(), "path"), "/u/tmp/prt.out");
    EXPECT_EQ(SplitLines(box.Read("/u/tmp/prt.out")), members);
    Pause(300);
    st.Click(kRestoreAll);
    Pause(500);
    // The existing members, in the archive's order: all but the deleted.
    std::vector<std::string> existing;
    for (const std::string& m : members)
        if (m != "u/qel/part/DEMO/program/llf") existing.push_back(m);
    const auto changed =
        std::find(existing.begin(), existing.end(), "u/qel/part/DEMO/stat/RUN1.DAT");
    ASSERT_NE(changed, existing.end());
    media.ClickRow(kMemberList, kMemberListWidth, kMemberListRows,
                   static_cast<int>(changed - existing.begin()) + 1);
    const std::string existingShot = ScreenshotPath("restore-existing.png");
    EXPECT_TRUE(xvfb.Screenshot(existingShot));
    std::printf("restore, existing files: %s\n", existingShot.c_str());
    st.Click(kRemove);
    Pause(300);
    st.Click(kBigOk);

    ASSERT_TRUE(WaitUntil([&] { return box.Exists(kLlf); }, 10000)) << vok.Output();
    EXPECT_EQ(box.Read(kLlf), program);
    EXPECT_EQ(box.Read(kRun), "run 1: changed since the backup\n");
    const std::string out = vok.Output();
    EXPECT_NE(out.find("-xvf /dev/fd0 --no-recursion --no-unquote --verbatim-files-from -T "
                       "/u/tmp/res.out"),
              std::string::npos)
        << out;
    const std::vector<std::string> restored = SplitLines(box.Read("/u/tmp/res.out"));
    EXPECT_EQ(std::count(restored.begin(), restored.end(), "u/qel/part/DEMO/stat/RUN1.DAT"), 0);
    EXPECT_EQ(std::count(restored.begin(), restored.end(), "u/qel/part/DEMO/program/llf"), 1);
}

// The backup's part plus on the demo: the files that the demo's
// files4part.exe names for a part go into the set and onto the medium; a run
// that names nothing says so.
TEST(MediaE2E, ThePartPlusBacksUpWhatFiles4PartNames) {
    XvfbServer xvfb(800, 600);
    ASSERT_TRUE(xvfb.ok());
    Sandbox box;
    std::string error;
    ASSERT_TRUE(box.LayOutDemo(&error)) << error;
    VokRun run(box);
    ChildProcess& vok = run.child();
    ASSERT_TRUE(vok.WaitForOutput("ChangeCursor\n", kStartupMs)) << vok.Output();
    XClient x;
    ASSERT_TRUE(x.ok());
    Station st(x);
    ASSERT_TRUE(st.ok());
    MediaStation media(x, st);
    FileScreenStation files(x, st, box);
    Pause(300);

    media.Open(kBackupChoice);
    media.Password("program");
    ASSERT_TRUE(WaitUntil([&] { return media.ListShown(kFileList, kFileListWidth); }, 5000))
        << st.Layout();
    Pause(300);
    // The top list: the current part DEMO, then "part/".
    media.ClickRow(kFileList, kFileListWidth, kFileListRows, 2);
    st.Click(kBigOk);
    ASSERT_TRUE(WaitUntil([&] { return files.RowOf("P1") > 0; }, 5000)) << vok.Output();
    Pause(300);
    media.ClickRow(kFileList, kFileListWidth, kFileListRows, files.RowOf("P1"));
    st.Click(kPartPlus);
    ASSERT_TRUE(WaitUntil(
        [&] {
            const std::vector<std::string> log = box.ScriptsLog();
            return std::find(log.begin(), log.end(), "files4part.exe [P1]") != log.end();
        },
        5000))
        << vok.Output();
    Pause(300);
    st.Click(kBackupButton);
    media.AnswerOk();
    EXPECT_EQ(SplitLines(box.Read("/u/tmp/bck.out")),
              std::vector<std::string>{"/u/qel/part/P1/program/llf"});
    media.ChooseFirstMedium();
    ASSERT_TRUE(vok.WaitForOutput("cmdstring = tar -C " + box.root() +
                                      " -cvf /dev/fd0 --no-unquote -- u/qel/part/P1/program/llf",
                                  10000))
        << vok.Output();
    const std::string tf = "tar --quoting-style=literal -tf '" + box.Path("/dev/fd0") + "'";
    ASSERT_TRUE(WaitUntil([&] { return !Lines(tf).empty(); }, 10000)) << vok.Output();
    EXPECT_EQ(Lines(tf), std::vector<std::string>{"u/qel/part/P1/program/llf"});
    EXPECT_EQ(vok.Output().find("names no file"), std::string::npos) << vok.Output();

    // files4part.exe names nothing: the operator is told.
    box.Write("/sim/files4part.status", "0");
    ASSERT_TRUE(WaitUntil([&] { return media.ListShown(kFileList, kFileListWidth); }, 5000))
        << st.Layout();
    Pause(300);
    media.ClickRow(kFileList, kFileListWidth, kFileListRows, 2);
    st.Click(kBigOk);
    Pause(500);
    ASSERT_GT(files.RowOf("P1"), 0);
    media.ClickRow(kFileList, kFileListWidth, kFileListRows, files.RowOf("P1"));
    st.Click(kPartPlus);
    media.AnswerOk();
    EXPECT_TRUE(vok.WaitForOutput(
        "BuPlusCB: /u/qel/xeq/files4part.exe names no file for P1 (status 0): nothing added", 5000))
        << vok.Output();
    Pause(300);
    st.Click(kBigCancel);
}

} // namespace
