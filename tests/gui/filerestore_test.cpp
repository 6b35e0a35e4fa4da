// The restore screen in widgets, with the real media dialog (answered from
// toolkit timers), the real tar and the sandbox's diskette: the entry and
// its refusals, the archive's members, the two phases and their buttons,
// the existing files removed and left as they are, the same medium listed
// again and another one chosen, the print request on the queue, and the
// screen closed as Cancel closes it.
#include <gtest/gtest.h>

#include "choice_fixture.h"

#include "filerestore.h"
#include "filescreen.h"
#include "mediaselect.h"
#include "process.h"
#include "records_media.h"
#include "ustar.h"

#include <Xm/BulletinB.h>
#include <Xm/List.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <utime.h>
#include <vector>

namespace {

using Names = std::vector<std::string>;

class FileRestoreTest : public ChoiceFixture {
  protected:
    void SetUp() override {
        ChoiceFixture::SetUp();
        menu_ = XmCreateBulletinBoard(MainForm, const_cast<char*>("menu"), nullptr, 0);
        ShownScreen = menu_;
        Box().Write(kMediaFile, MediaTableBytes({{1, "Diskette", "/dev/fd0"}}));
        Box().Write("/u/qel/part/a/x", "archived x");
        Box().Write("/u/qel/part/a/y", "archived y");
        Box().Write("/u/qel/part/b/z", "archived z");
        MakeArchive("/dev/fd0", {"u/qel/part/a/x", "u/qel/part/a/y", "u/qel/part/b/z"});
        Box().Remove("/u/qel/part/a/y");
        Box().Remove("/u/qel/part/b");
        Box().Write("/u/qel/part/a/x", "changed x");
    }
    const Sandbox& Box() const { return gui_.box(); }
    void MakeArchive(const std::string& device, const Names& files) const {
        std::string cmd = "tar -C '" + Box().root() + "' -cf '" + Box().Path(device) + "' --";
        for (const std::string& f : files) cmd += " " + ShellQuote(f);
        ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    }
    RestoreView V() const { return RestoreState(); }
    const FileScreen& F() const { return *V().frame; }
    bool Managed(Widget w) const { return w && XtIsManaged(w); }
    // Opens the screen; a timer answers the media dialog with OK (or
    // Cancel).
    void Open(bool ok = true) const {
        After(100, [ok] { Press(ok ? MediaSelectState().ok : MediaSelectState().cancel); });
        FileRestore();
    }
    void Cancel() const { Press(F().cancel); }
    void Select(const Names& members) const {
        XmListDeselectAllItems(F().list);
        const Names items = ListItems(F().list);
        for (const std::string& m : members)
            for (size_t i = 0; i < items.size(); ++i)
                if (items[i] == m) XmListSelectPos(F().list, static_cast<int>(i) + 1, False);
    }
    std::string Shown() const {
        std::string s;
        if (Managed(F().upOne)) s += 'u';
        if (Managed(V().removeButton)) s += 'r';
        if (Managed(V().printButton)) s += 'p';
        if (Managed(V().restoreButton)) s += 'd';
        return s;
    }
    long Mtime(const std::string& logical) const {
        struct stat st {};
        stat(Box().Path(logical).c_str(), &st);
        return static_cast<long>(st.st_mtime);
    }

    Widget menu_ = nullptr;
};

TEST_F(FileRestoreTest, EntryRefusals) {
    // A cancelled choice: nothing is built.
    const size_t children = Children(MainForm).size();
    Open(false);
    EXPECT_EQ(F().window, nullptr);
    EXPECT_EQ(ShownScreen, menu_);
    Serve(50);
    EXPECT_EQ(Children(MainForm).size(), children);

    // A medium whose device cannot be used: said, no tar, no screen.
    Box().Write(kMediaFile, MediaTableBytes({{1, "No NUL", std::string(26, 'd')}}));
    testing::internal::CaptureStdout();
    Open();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(F().window, nullptr);
    EXPECT_EQ(Messages, (Names{"/u/qel/sys_data/files/media.bin L155\nL100"}));
    EXPECT_EQ(out.find("SYSTEM('tar"), std::string::npos) << out;
}

TEST_F(FileRestoreTest, SplitThenExtract) {
    Open();
    ASSERT_NE(F().window, nullptr);
    EXPECT_TRUE(XtIsManaged(F().window));
    EXPECT_EQ(ShownScreen, F().window);
    EXPECT_EQ(ActiveMenuButton, 9);
    EXPECT_EQ(LabelText(F().title), "L185");
    EXPECT_EQ(LabelText(F().status), "L278");
    EXPECT_EQ(LabelText(V().listTitle), "L266");
    EXPECT_EQ(Geometry(XtParent(F().list)).x, 30);
    EXPECT_EQ(ListItems(F().list), (Names{"u/qel/part/a/x", "u/qel/part/a/y", "u/qel/part/b/z"}));
    EXPECT_TRUE(SelectedPositions(F().list).empty());
    EXPECT_EQ(Shown(), "upd");

    // A second entry while it is shown opens nothing.
    FileRestore();
    EXPECT_EQ(MediaSelectState().window, nullptr);

    // OK with nothing chosen changes nothing.
    Press(F().ok);
    EXPECT_EQ(V().model->phase, kRestoreMembers);
    EXPECT_EQ(Shown(), "upd");

    Select({"u/qel/part/a/x", "u/qel/part/b/z"});
    Press(F().ok);
    EXPECT_EQ(V().model->phase, kRestoreExisting);
    EXPECT_EQ(LabelText(F().status), "L279");
    EXPECT_EQ(LabelText(V().listTitle), "L267");
    EXPECT_EQ(ListItems(F().list), (Names{"u/qel/part/a/x"}));
    EXPECT_EQ(Shown(), "ur");
    EXPECT_EQ(Box().Read("/u/tmp/res.out"), "u/qel/part/b/z\n");

    // The existing one removed: left as it is; the button goes with it.
    utimbuf old{1000000000, 1000000000};
    utime(Box().Path("/u/qel/part/a/x").c_str(), &old);
    Select({"u/qel/part/a/x"});
    Press(V().removeButton);
    EXPECT_TRUE(ListItems(F().list).empty());
    EXPECT_EQ(Shown(), "u");
    Press(F().ok);
    EXPECT_EQ(Box().Read("/u/qel/part/b/z"), "archived z");
    EXPECT_FALSE(Box().Exists("/u/qel/part/a/y"));
    EXPECT_EQ(Box().Read("/u/qel/part/a/x"), "changed x");
    EXPECT_EQ(Mtime("/u/qel/part/a/x"), 1000000000);
    // Closed: the file menu beneath is shown again.
    EXPECT_EQ(F().window, nullptr);
    EXPECT_EQ(ShownScreen, menu_);
}

TEST_F(FileRestoreTest, EverythingAtOnceAndTheSameMediumAgain) {
    Open();
    Press(V().restoreButton);
    EXPECT_EQ(V().model->phase, kRestoreExisting);
    EXPECT_EQ(LabelText(F().status), "L278"); // as the button leaves it
    EXPECT_EQ(ListItems(F().list), (Names{"u/qel/part/a/x"}));
    EXPECT_EQ(Shown(), "ur");

    // Up one in phase 1: the same medium listed again.
    Press(F().upOne);
    EXPECT_EQ(V().model->phase, kRestoreMembers);
    EXPECT_EQ(LabelText(F().status), "L278");
    EXPECT_EQ(LabelText(V().listTitle), "L266");
    EXPECT_EQ(ListItems(F().list).size(), 3u);
    EXPECT_EQ(Shown(), "upd");
    EXPECT_EQ(ShownScreen, F().window);

    // All restored, the existing one overwritten.
    Press(V().restoreButton);
    Press(F().ok);
    EXPECT_EQ(Box().Read("/u/qel/part/a/x"), "archived x");
    EXPECT_EQ(Box().Read("/u/qel/part/a/y"), "archived y");
    EXPECT_EQ(Box().Read("/u/qel/part/b/z"), "archived z");
    EXPECT_EQ(F().window, nullptr);
}

TEST_F(FileRestoreTest, EveryChosenMemberKeptRunsNoTar) {
    Open();
    Select({"u/qel/part/a/x"});
    Press(F().ok);
    EXPECT_EQ(ListItems(F().list), (Names{"u/qel/part/a/x"}));
    Select({"u/qel/part/a/x"});
    Press(V().removeButton);
    testing::internal::CaptureStdout();
    Press(F().ok);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.find("SYSTEM('tar -C"), std::string::npos) << out;
    EXPECT_EQ(Box().Read("/u/tmp/res.out"), "");
    EXPECT_EQ(Box().Read("/u/qel/part/a/x"), "changed x");
    EXPECT_EQ(F().window, nullptr);
    EXPECT_EQ(ShownScreen, menu_);
}

TEST_F(FileRestoreTest, AnotherMedium) {
    Box().Write(kMediaFile,
                MediaTableBytes({{1, "Diskette", "/dev/fd0"}, {1, "Tape", "/dev/st0"}}));
    Box().Write("/u/qel/part/t/w", "on tape");
    MakeArchive("/dev/st0", {"u/qel/part/t/w"});
    Open();
    // Up one in phase 0: the tape chosen and listed.
    After(100, [] {
        Press(MediaSelectState().buttons[1]);
        Press(MediaSelectState().ok);
    });
    Press(F().upOne);
    EXPECT_EQ(ListItems(F().list), (Names{"u/qel/part/t/w"}));
    EXPECT_TRUE(XtIsManaged(F().window));
    EXPECT_EQ(ShownScreen, F().window);
    EXPECT_EQ(Shown(), "upd");

    // A cancelled change closes the screen as Cancel does.
    After(100, [] { Press(MediaSelectState().cancel); });
    Press(F().upOne);
    EXPECT_EQ(F().window, nullptr);
    EXPECT_EQ(ShownScreen, menu_);
}

TEST_F(FileRestoreTest, ANonArchiveMediumAndAFailedExtraction) {
    Box().Write("/dev/fd0", std::string(4096, 'j'));
    Open();
    ASSERT_NE(F().window, nullptr);
    EXPECT_TRUE(ListItems(F().list).empty());
    EXPECT_EQ(Messages, (Names{"tar: exit status 2 \nL100"}));

    // The medium changes under the screen: the extraction fails, is
    // reported, and the screen closes.
    Cancel();
    Box().Write("/u/qel/part/a/y", "archived y");
    MakeArchive("/dev/fd0", {"u/qel/part/a/y"});
    Box().Remove("/u/qel/part/a/y");
    Messages.clear();
    Open();
    Press(V().restoreButton);
    Box().Write("/dev/fd0", std::string(4096, 'j'));
    Press(F().ok);
    EXPECT_EQ(Messages, (Names{"tar: exit status 2 \nL100"}));
    EXPECT_EQ(F().window, nullptr);
}

TEST_F(FileRestoreTest, WhatIsNotWrittenIsNamedToTheOperator) {
    Box().Write("/dev/fd0", UstarArchive({{"u/qel/part/a/x", '0', "archived x"},
                                          {"u/qel/part/a/s", '2', "", "/etc"},
                                          {"u/qel/part/a/p", '6'}}));
    Open();
    EXPECT_EQ(ListItems(F().list), (Names{"u/qel/part/a/x", "u/qel/part/a/s", "u/qel/part/a/p"}));
    EXPECT_TRUE(Messages.empty());
    Press(V().restoreButton);
    EXPECT_EQ(Messages, (Names{"\"u/qel/part/a/s\": a symbolic link to /etc\n"
                               "\"u/qel/part/a/p\": a FIFO\nL70 \nL100"}));
    EXPECT_EQ(ListItems(F().list), (Names{"u/qel/part/a/x"}));
    Press(F().ok);
    EXPECT_EQ(Box().Read("/u/qel/part/a/x"), "archived x");
    struct stat st {};
    EXPECT_NE(lstat(Box().Path("/u/qel/part/a/s").c_str(), &st), 0);
    EXPECT_NE(lstat(Box().Path("/u/qel/part/a/p").c_str(), &st), 0);
    EXPECT_EQ(F().window, nullptr);
}

TEST_F(FileRestoreTest, ThePrintRequest) {
    Open();
    Requests();
    Press(V().printButton);
    const std::vector<wire::Msg> sent = Requests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(wire::Int(sent[0], wire::kCode), 9);
    EXPECT_EQ(wire::Text(sent[0], wire::kPath, wire::kPathWidth), "/u/tmp/prt.out");
    EXPECT_EQ(wire::Int(sent[0], wire::kSubState), 0);
    EXPECT_EQ(wire::Int(sent[0], wire::kExit), 0);
    EXPECT_EQ(wire::Int(sent[0], wire::kArg), 0);
    EXPECT_EQ(Box().Read("/u/tmp/prt.out"), "u/qel/part/a/x\nu/qel/part/a/y\nu/qel/part/b/z\n");
    EXPECT_TRUE(Messages.empty());

    // A send that fails is said.
    msgctl(queue_, IPC_RMID, nullptr);
    queue_ = -1;
    Press(V().printButton);
    EXPECT_EQ(Messages, (Names{"L186 \nL100"}));
    EXPECT_TRUE(XtIsSensitive(F().ok) && XtIsSensitive(F().cancel));
}

} // namespace
