// The media dialog, the media table editor and the readiness of a medium in
// widgets: the buttons of the enabled media and where they stand, the
// format button of a backup only, the chosen record copied whole, Cancel
// emptying the device alone, the screen beneath shown again, the format
// command with its device as one word and its failure reported, the
// editor's toggles, rewrite and refusals, and the question of a medium
// that is not ready (answered from outside, as that dialog takes no
// timers). The format and transmedia programs are the sandbox's stand-ins.
#include <gtest/gtest.h>

#include "choice_fixture.h"
#include "clicker.h"

#include "colors.h"
#include "dialogs.h"
#include "mediaedit.h"
#include "mediaselect.h"
#include "records_media.h"
#include "sim_bytes.h"

#include <Xm/BulletinB.h>

#include <chrono>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>
#include <string>
#include <thread>
#include <vector>

namespace {

using Entries = std::vector<MediaEntry>;
using Texts = std::vector<std::string>;

Entries Numbered(int n, int32_t enable = 1) {
    Entries e;
    for (int i = 1; i <= n; ++i)
        e.push_back({enable, "medium " + std::to_string(i), "/dev/fd" + std::to_string(i)});
    return e;
}

std::string Bytes(const MediaRecord& r) {
    return std::string(reinterpret_cast<const char*>(r.bytes), sizeof r.bytes);
}

class MediaTest : public ChoiceFixture {
  protected:
    void SetUp() override {
        ChoiceFixture::SetUp();
        beneath_ = XmCreateBulletinBoard(MainForm, const_cast<char*>("beneath"), nullptr, 0);
        ShownScreen = beneath_;
        ChosenMedium = MediaRecord{};
    }
    const Sandbox& Box() const { return gui_.box(); }
    void WriteTable(const Entries& entries, const std::string& tail = "") const {
        Box().Write(kMediaFile, MediaTableBytes(entries) + tail);
    }
    // The look of a button in the chosen and in the plain style.
    Pixel Look(bool chosen) {
        Widget& w = chosen ? on_ : off_;
        if (!w) {
            w = XmCreatePushButton(MainForm, const_cast<char*>("look"), nullptr, 0);
            SetWidgetColors(w, chosen ? "VokButtonON" : "VokButtonOFF", 0, chosen ? 0 : 3,
                            chosen ? 4 : 1);
        }
        return Background(w);
    }
    std::string Looks(const std::vector<Widget>& buttons) {
        std::string s;
        for (Widget b : buttons) s += Background(b) == Look(true) ? 'X' : '.';
        return s;
    }
    std::vector<int> Ys(const std::vector<Widget>& buttons) const {
        std::vector<int> ys;
        for (Widget b : buttons) ys.push_back(Geometry(b).y);
        return ys;
    }
    Texts FormatLog() const {
        Texts out;
        for (const std::string& line : SplitLines(Box().Read("/sim/scripts.log")))
            if (line.rfind("format", 0) == 0) out.push_back(line);
        return out;
    }

    Widget beneath_ = nullptr;
    Widget on_ = nullptr, off_ = nullptr;
};

// ---- the dialog ----

TEST_F(MediaTest, TheDialogOffersTheEnabledMedia) {
    WriteTable({{1, "Diskette", "/dev/fd0"}, {0, "Off", "/dev/fd1"}, {1, "Tape", "/dev/st0"}});
    ShowMediaSelect(kMediaForBackup);
    MediaSelectView v = MediaSelectState();
    ASSERT_NE(v.window, nullptr);
    EXPECT_EQ(ShownScreen, v.window);
    EXPECT_EQ(MediaReply, 0);
    EXPECT_TRUE(XtIsManaged(v.window));
    ASSERT_EQ(v.buttons.size(), 2u);
    EXPECT_EQ(LabelText(v.buttons[0]), "Diskette");
    EXPECT_EQ(LabelText(v.buttons[1]), "Tape");
    EXPECT_EQ(Geometry(v.buttons[0]), (WidgetBox{40, 90, 485, 30}));
    EXPECT_EQ(Geometry(v.buttons[1]), (WidgetBox{40, 125, 485, 30}));
    EXPECT_EQ(Looks(v.buttons), "X.");
    EXPECT_EQ(LabelText(v.row1), "L43");
    EXPECT_EQ(LabelText(v.row2), "L303");
    // Backup: the format button in the toolbar's middle column.
    ASSERT_NE(v.format, nullptr);
    EXPECT_EQ(XtParent(v.format), XtParent(v.ok));
    EXPECT_EQ(Geometry(v.format).x, GridX[3]);
    EXPECT_EQ(Geometry(v.format).y, 5);

    // A second opening while it is shown makes nothing new.
    ShowMediaSelect(kMediaForBackup);
    EXPECT_EQ(MediaSelectState().window, v.window);

    // OK untouched: the first medium, its 80 bytes whole; the screen beneath
    // is the one shown again.
    Press(v.ok);
    EXPECT_EQ(MediaReply, 1);
    EXPECT_EQ(Bytes(ChosenMedium), MediaRecordBytes({1, "Diskette", "/dev/fd0"}));
    EXPECT_EQ(ChosenDevice(), "/dev/fd0");
    EXPECT_EQ(ShownScreen, beneath_);
    EXPECT_EQ(MediaSelectState().window, nullptr);

    // Restore: no format button; the second medium chosen.
    ShowMediaSelect(kMediaForRestore);
    v = MediaSelectState();
    EXPECT_EQ(v.format, nullptr);
    EXPECT_EQ(LabelText(v.row1), "L44");
    Press(v.buttons[1]);
    EXPECT_EQ(Looks(v.buttons), ".X");
    Press(v.ok);
    EXPECT_EQ(Bytes(ChosenMedium), MediaRecordBytes({1, "Tape", "/dev/st0"}));
}

TEST_F(MediaTest, ButtonsOfEightAndOfNineMedia) {
    struct Case {
        int records;
        std::vector<int> ys;
        int height;
    };
    const Case cases[] = {
        {8, {90, 125, 160, 195, 230, 265, 300, 335}, 30},
        {9, {90, 120, 150, 180, 210, 240, 270, 300, 330}, 28},
        {12, {90, 120, 150, 180, 210, 240, 270, 300, 330}, 28},
    };
    for (const Case& c : cases) {
        WriteTable(Numbered(c.records));
        ShowMediaSelect(kMediaForBackup);
        const MediaSelectView v = MediaSelectState();
        EXPECT_EQ(Ys(v.buttons), c.ys) << c.records;
        EXPECT_EQ(LabelText(v.buttons.back()), "medium " + std::to_string(c.ys.size()));
        const WidgetBox last = Geometry(v.buttons.back());
        EXPECT_EQ(last.height, c.height);
        // The last button ends above the toolbar.
        EXPECT_LE(last.y + last.height, Geometry(XtParent(v.ok)).y) << c.records;
        Press(v.cancel);
    }
}

TEST_F(MediaTest, CancelEmptiesTheDeviceAlone) {
    WriteTable({{1, "Diskette", "/dev/fd0"}, {1, "Tape", "/dev/st0"}});
    ShowMediaSelect(kMediaForRestore);
    Press(MediaSelectState().buttons[1]);
    Press(MediaSelectState().ok);
    const std::string chosen = Bytes(ChosenMedium);

    ShowMediaSelect(kMediaForRestore);
    EXPECT_EQ(ChosenDevice(), ""); // emptied when the dialog opens
    Press(MediaSelectState().cancel);
    EXPECT_EQ(MediaReply, -1);
    EXPECT_EQ(ChosenDevice(), "");
    EXPECT_EQ(MediaLabel(ChosenMedium), "Tape");
    std::string expect = chosen;
    expect[54] = '\0';
    EXPECT_EQ(Bytes(ChosenMedium), expect);
    EXPECT_EQ(ShownScreen, beneath_);
}

TEST_F(MediaTest, NoMediumToOfferAnswersAtOnceWithoutADevice) {
    struct Case {
        const char* what;
        bool file;
        Entries entries;
        bool saysMissing;
    };
    const Case cases[] = {
        {"no media table", false, {}, true},
        {"none enabled", true, Numbered(3, 0), false},
        {"an empty table", true, {}, false},
    };
    for (const Case& c : cases) {
        Box().Remove(kMediaFile);
        if (c.file) WriteTable(c.entries);
        ChosenMedium = MediaRecord{};
        const std::string old = MediaRecordBytes({1, "Before", "/dev/fd0"});
        std::copy(old.begin(), old.end(), ChosenMedium.bytes);
        testing::internal::CaptureStdout();
        ShowMediaSelect(kMediaForBackup);
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(MediaSelectState().window, nullptr) << c.what;
        EXPECT_EQ(MediaReply, 1) << c.what;
        EXPECT_EQ(WaitMediaReply(), 1) << c.what;
        EXPECT_EQ(ChosenDevice(), "") << c.what;
        EXPECT_EQ(ShownScreen, beneath_) << c.what;
        EXPECT_EQ(out.find("error opening /u/qel/sys_data/files/media.bin") != std::string::npos,
                  c.saysMissing)
            << c.what << ": " << out;
    }
}

TEST_F(MediaTest, TheWaitTakesClicksAndTimersAndEndsWithTheWindow) {
    WriteTable(Numbered(3));
    ShowMediaSelect(kMediaForRestore);
    After(50, [] { Press(MediaSelectState().buttons[2]); });
    After(100, [] { Press(MediaSelectState().ok); });
    EXPECT_EQ(WaitMediaReply(), 1);
    EXPECT_EQ(ChosenDevice(), "/dev/fd3");

    // The window destroyed without an answer.
    ShowMediaSelect(kMediaForRestore);
    After(50, [] { XtDestroyWidget(MediaSelectState().window); });
    EXPECT_EQ(WaitMediaReply(), -1);
    EXPECT_EQ(MediaReply, -1);
    EXPECT_EQ(ChosenDevice(), "");
}

TEST_F(MediaTest, FormatTheChosenMediumWithItsDeviceAsOneWord) {
    WriteTable({{1, "Diskette", "/dev/fd0"}, {1, "Second", "/dev/fd0 b"}});
    Box().Write("/dev/fd0 b", "old archive");
    ShowMediaSelect(kMediaForBackup);
    MediaSelectView v = MediaSelectState();
    Press(v.buttons[1]);

    // Cancelling the question formats nothing.
    MessageAnswer = 0;
    Press(v.format);
    EXPECT_EQ(Messages, (Texts{"L47 \nL64"}));
    EXPECT_TRUE(FormatLog().empty());

    MessageAnswer = 1;
    Messages.clear();
    testing::internal::CaptureStdout();
    Press(v.format);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("SYSTEM('/bin/format -fv '/dev/fd0 b'')"), std::string::npos) << out;
    EXPECT_EQ(FormatLog(), (Texts{"format [-fv] [" + Box().root() + "/dev/fd0 b]"}));
    EXPECT_EQ(Box().Read("/dev/fd0 b"), "");
    EXPECT_EQ(Messages, (Texts{"L47 \nL64"}));
    // Back with the second medium still chosen and usable.
    v = MediaSelectState();
    EXPECT_TRUE(XtIsManaged(v.window));
    EXPECT_EQ(v.chosen, 1);
    EXPECT_EQ(Looks(v.buttons), ".X");
    EXPECT_TRUE(XtIsSensitive(v.ok) && XtIsSensitive(v.cancel) && XtIsSensitive(v.format));

    // A format that fails is reported.
    Box().Write("/sim/format.status", "3\n");
    Messages.clear();
    testing::internal::CaptureStdout();
    Press(v.format);
    const std::string failed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(Messages, (Texts{"L47 \nL64", "/bin/format: exit status 3 \nL100"}));
    EXPECT_NE(failed.find("FormatMedia: /bin/format: exit status 3"), std::string::npos) << failed;
    EXPECT_TRUE(XtIsManaged(MediaSelectState().window));
    Press(v.ok);
    EXPECT_EQ(ChosenDevice(), "/dev/fd0 b");
}

TEST_F(MediaTest, AMediumWithoutAUsableDeviceIsNeverFormatted) {
    WriteTable({{1, "No NUL", std::string(26, 'd')}, {1, "Outside", "/tmp/qel-medium"}});
    ShowMediaSelect(kMediaForBackup);
    for (int i = 0; i < 2; ++i) {
        Messages.clear();
        Press(MediaSelectState().buttons[i]);
        Press(MediaSelectState().format);
        EXPECT_EQ(Messages, (Texts{"L47 \nL64", "/u/qel/sys_data/files/media.bin L155\nL100"}));
    }
    EXPECT_TRUE(FormatLog().empty());
    EXPECT_TRUE(XtIsManaged(MediaSelectState().window));
}

// ---- the editor ----

TEST_F(MediaTest, TheEditorSwitchesMediaAndRewritesOnlyTheirEnableWords) {
    Entries entries = Numbered(12, 0);
    entries[1].enable = 5;
    const std::string file = MediaTableBytes(entries) + "short tail";
    Box().Write(kMediaFile, file);
    ShowMediaEditor();
    MediaEditorView v = MediaEditorState();
    ASSERT_NE(v.window, nullptr);
    EXPECT_EQ(ShownScreen, v.window);
    EXPECT_EQ(LabelText(v.row1), "L31");
    EXPECT_EQ(LabelText(v.row2), "L301");
    ASSERT_EQ(v.toggles.size(), 9u);
    EXPECT_EQ(Looks(v.toggles), ".X.......");
    EXPECT_EQ(LabelText(v.toggles[8]), "medium 9");

    // A 0 toggled twice is 0 again; the 5 toggled twice is written as 1.
    for (int i : {0, 0, 1, 1, 2}) Press(v.toggles[i]);
    EXPECT_EQ(Looks(v.toggles), ".XX......");
    Press(v.ok);
    EXPECT_EQ(Messages, (Texts{"L109"}));
    EXPECT_EQ(ShownScreen, beneath_);
    EXPECT_FALSE(XtIsManaged(v.window));
    const std::string written = Box().Read(kMediaFile);
    ASSERT_EQ(written.size(), file.size());
    std::string expect = file;
    auto* p = reinterpret_cast<unsigned char*>(&expect[0]);
    SimPutLe(p + 80, 1, 4);
    SimPutLe(p + 160, 1, 4);
    EXPECT_EQ(written, expect);
}

TEST_F(MediaTest, EditorQuestionsAnsweredCancelKeepItOpen) {
    WriteTable(Numbered(3, 0));
    const std::string file = Box().Read(kMediaFile);
    ShowMediaEditor();
    MediaEditorView v = MediaEditorState();
    Press(v.toggles[0]);
    MessageAnswer = 0;
    Press(v.ok);
    Press(v.cancel);
    EXPECT_EQ(Messages, (Texts{"L109", "L110"}));
    EXPECT_EQ(ShownScreen, v.window);
    EXPECT_TRUE(XtIsSensitive(v.ok) && XtIsSensitive(v.cancel));
    EXPECT_EQ(Box().Read(kMediaFile), file);

    // Cancel confirmed drops the change; the next showing reads the file.
    MessageAnswer = 1;
    Press(v.cancel);
    EXPECT_EQ(ShownScreen, beneath_);
    EXPECT_EQ(Box().Read(kMediaFile), file);
    ShowMediaEditor();
    EXPECT_EQ(Looks(MediaEditorState().toggles), "...");
}

TEST_F(MediaTest, TheEditorFollowsTheTableFromOneShowingToTheNext) {
    for (int count : {3, 9, 1, 0, 5}) {
        WriteTable(Numbered(count));
        ShowMediaEditor();
        const MediaEditorView v = MediaEditorState();
        ASSERT_EQ(v.toggles.size(), static_cast<size_t>(count));
        EXPECT_EQ(Looks(v.toggles), std::string(count, 'X'));
        if (count > 0) {
            EXPECT_EQ(LabelText(v.toggles.back()), "medium " + std::to_string(count));
        }
        Press(v.cancel);
    }
}

TEST_F(MediaTest, AMissingTableIsWrittenOnceByTheInstall) {
    // transmedia.exe has a table to write.
    Box().Write("/sim/media.bin", MediaTableBytes(Numbered(2)));
    ShowMediaEditor();
    EXPECT_EQ(MediaEditorState().toggles.size(), 2u);
    Press(MediaEditorState().cancel);

    // It has none: a message, no editor.
    Box().Remove(kMediaFile);
    Box().Remove("/sim/media.bin");
    Box().Remove("/sim/scripts.log");
    ShowMediaEditor();
    EXPECT_EQ(Messages, (Texts{"L110", "/u/qel/sys_data/files/media.bin L155\nL100"}));
    EXPECT_EQ(ShownScreen, beneath_);
    EXPECT_EQ(Box().ScriptsLog(), (Texts{"transmedia.exe "}));
}

// A table that is no plain file is neither read nor made anew by the
// install's program; one longer than what is read of it (64 KiB) is offered
// by the dialog from its start but not edited, as its rewrite would lose
// the rest.
TEST_F(MediaTest, ATableThatIsNoPlainFileOrTooLongIsNotEdited) {
    Box().Write("/sim/media.bin", MediaTableBytes(Numbered(2)));
    const std::string path = Box().Path(kMediaFile);
    const struct {
        const char* what;
        std::function<void()> plant;
        bool offered;
        std::string line;
    } cases[] = {
        {"a FIFO", [&] { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); }, false,
         "/u/qel/sys_data/files/media.bin is not a plain file, not read\n"},
        {"a link to /dev/zero", [&] { ASSERT_EQ(symlink("/dev/zero", path.c_str()), 0); }, false,
         "/u/qel/sys_data/files/media.bin is not a plain file, not read\n"},
        {"820 records", [&] { WriteTable(Numbered(820)); }, true,
         "/u/qel/sys_data/files/media.bin is longer than 65536 bytes, only its first 65536 are "
         "read\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Box().Remove(kMediaFile);
        Box().Remove("/sim/scripts.log");
        c.plant();
        testing::internal::CaptureStdout();
        ShowMediaSelect(kMediaForRestore);
        std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(out.rfind("LoadMediaSelect: " + c.line, 0), 0u) << out;
        EXPECT_EQ(MediaSelectState().window != nullptr, c.offered);
        if (c.offered) {
            EXPECT_EQ(MediaSelectState().buttons.size(), 9u);
            Press(MediaSelectState().cancel);
        }
        Messages.clear();
        testing::internal::CaptureStdout();
        ShowMediaEditor();
        out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(out.rfind("ShowMediaEditor: " + c.line, 0), 0u) << out;
        EXPECT_EQ(Messages, (Texts{"/u/qel/sys_data/files/media.bin L155\nL100"}));
        EXPECT_EQ(ShownScreen, beneath_);
        EXPECT_TRUE(Box().ScriptsLog().empty());
    }
    EXPECT_EQ(Box().Read(kMediaFile), MediaTableBytes(Numbered(820)));
}

TEST_F(MediaTest, ATableThatCannotBeReplacedStaysAsItWas) {
    WriteTable(Numbered(3, 0));
    const std::string file = Box().Read(kMediaFile);
    Box().Write(std::string(kMediaFile) + ".new/blocked", "");
    ShowMediaEditor();
    MediaEditorView v = MediaEditorState();
    Press(v.toggles[0]);
    Press(v.ok);
    EXPECT_EQ(Messages, (Texts{"L109", "L111L100"}));
    EXPECT_EQ(ShownScreen, v.window);
    EXPECT_TRUE(XtIsManaged(v.window));
    EXPECT_TRUE(XtIsSensitive(v.ok) && XtIsSensitive(v.cancel));
    EXPECT_EQ(Box().Read(kMediaFile), file);

    // Once the way is clear, OK writes.
    Box().Remove(std::string(kMediaFile) + ".new");
    Press(v.ok);
    EXPECT_EQ(ShownScreen, beneath_);
    EXPECT_NE(Box().Read(kMediaFile), file);
}

// ---- the readiness of a medium ----

TEST_F(MediaTest, WaitForMediaAsksUntilTheMediumIsThere) {
    Box().Write("/dev/fd0", "");
    EXPECT_EQ(WaitForMedia(0, "/dev/fd0"), 0);
    EXPECT_EQ(WaitForMedia(1, "/dev/fd0"), 0);
    EXPECT_EQ(MediaNotReady(1, "/dev/st0"), ENOENT);
    EXPECT_EQ(MediaNotReady(0, ""), ENOENT);

    // Missing, and the operator gives up.
    {
        OutsideClicker user([](const XClient& x) {
            const TopWindowInfo top = x.WaitForTopWindow(575, 175, 10000);
            ASSERT_NE(top.id, 0u);
            XWindowId cancel = 0;
            for (int i = 0; i < 200 && !cancel; ++i) {
                cancel = DialogButton(x, top, false);
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            ASSERT_NE(cancel, 0u);
            x.ClickWindow(cancel);
        });
        testing::internal::CaptureStdout();
        EXPECT_EQ(WaitForMedia(0, "/dev/st0"), -1);
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_NE(out.find("WaitForMedia: /dev/st0 not ready: No such file or directory"),
                  std::string::npos)
            << out;
    }
    EXPECT_FALSE(Box().Exists("/dev/st0")); // never created

    // Missing; the medium goes in, and OK finds it.
    const std::string tape = Box().Path("/dev/st0");
    OutsideClicker user([tape](const XClient& x) {
        const TopWindowInfo top = x.WaitForTopWindow(575, 175, 10000);
        ASSERT_NE(top.id, 0u);
        XWindowId ok = 0;
        for (int i = 0; i < 200 && !ok; ++i) {
            ok = DialogButton(x, top, true);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ASSERT_NE(ok, 0u);
        WriteFileBytes(tape, "");
        x.ClickWindow(ok);
    });
    EXPECT_EQ(WaitForMedia(1, "/dev/st0"), 0);
}

} // namespace
