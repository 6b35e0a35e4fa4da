// Family B constants upload, against the fake controller (the family B
// model unless a script says otherwise) on the virtual clock, with the copy
// run by the real shell.
#include "family_b_fixture.h"

#include "process.h"

#include <filesystem>
#include <unistd.h>

namespace {

using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;
using namespace FamilyB;

constexpr const char* kCapture = "/u/tmp/constant.upload";
constexpr const char* kConstants = "/u/qel/sys_data/files/constant.asc";
const std::string kStars = "*************************";
const std::string kCopy = "cp /u/tmp/constant.upload /u/qel/sys_data/files/constant.asc";

class UploadTest : public FamilyBTest {
  protected:
    void SetUp() override {
        FamilyBTest::SetUp();
        ServoClose(); // the upload opens the line itself
        fake.Flush();
        box.Write(kConstants, "OLD\r\n");
        ui.runCommand = [](const std::string& command) { return RunShellCommand(command); };
    }
};

// A listing of n constant lines among lines that are not kept: a prompt,
// an empty line, a line of two characters, a line that begins with '%';
// and a line of one character, kept. Its kept bytes go to *kept.
std::vector<FakeReply> OddListing(int n, std::string* kept) {
    std::vector<FakeReply> r = {Line("%"), Line(""), Partial("a\n")};
    kept->clear();
    for (int k = 1; k <= n; ++k) {
        const std::string line = "PARAM_" + std::to_string(k) + " = " + std::to_string(k % 13);
        r.push_back(Line(line));
        *kept += line + "\r\n";
        if (k == n / 2) {
            r.push_back(Line("b"));
            *kept += "b\r\n";
            r.push_back(Line("%PROMPT"));
        }
    }
    r.push_back(Line("%"));
    return r;
}

TEST_F(UploadTest, Upload) {
    std::string kept249, kept250;
    const std::vector<FakeReply> listing249 = OddListing(248, &kept249);
    const std::vector<FakeReply> listing250 = OddListing(249, &kept250);
    const std::string rule = " " + kStars + " \nL1 \n " + kStars + " \n";
    const Lines whole = {"STX", "DISABLE RELAYS", "SHOW CONSTS,2", "ENABLE RELAYS"};
    enum Setup { Plain, CaptureIsAFolder, DiskFull, CopyRefused };
    struct Case {
        const char* what;
        int family;
        int online;
        int confirm;
        std::vector<std::vector<FakeReply>> stx;
        std::vector<FakeReply> listing;
        Setup setup;
        int result;
        Lines commands;
        Lines dialogs;
        std::string capture; // "-" no capture file
        std::string constants;
        const char* console;
        const char* errors;
    };
    const Case cases[] = {
        {"family A", kFamilyA, 1, 1, {}, listing250, Plain, -2, {}, {}, "-", "OLD\r\n", "", ""},
        {"the counter board",
         kCounterBoard,
         1,
         1,
         {},
         listing250,
         Plain,
         -2,
         {},
         {},
         "-",
         "OLD\r\n",
         "",
         ""},
        {"offline", kFamilyB, 0, 1, {}, listing250, Plain, -1, {}, {}, "-", "OLD\r\n", "", ""},
        {"tasks may not stop",
         kFamilyB,
         1,
         0,
         {},
         listing250,
         Plain,
         -1,
         {},
         {},
         "-",
         "OLD\r\n",
         "",
         ""},
        {"a silent controller",
         kFamilyB,
         1,
         1,
         {{}},
         listing250,
         Plain,
         -2,
         {"STX"},
         {"L104"},
         "-",
         "OLD\r\n",
         "",
         ""},
        {"the capture cannot be made",
         kFamilyB,
         1,
         1,
         {},
         listing250,
         CaptureIsAFolder,
         -2,
         {"STX"},
         {},
         "-",
         "OLD\r\n",
         "",
         "/u/tmp/constant.upload: Is a directory\n"},
        {"249 lines",
         kFamilyB,
         1,
         1,
         {},
         listing249,
         Plain,
         -2,
         whole,
         {rule},
         kept249,
         "OLD\r\n",
         "",
         ""},
        {"250 lines",
         kFamilyB,
         1,
         1,
         {},
         listing250,
         Plain,
         0,
         whole,
         {rule, "L161\nL100"},
         kept250,
         kept250,
         "",
         ""},
        {"an error reply is an answer",
         kFamilyB,
         1,
         1,
         {{Line("ERROR,1,2,x")}},
         listing250,
         Plain,
         0,
         whole,
         {rule, "L161\nL100"},
         kept250,
         kept250,
         "",
         ""},
        {"the copy fails",
         kFamilyB,
         1,
         1,
         {},
         listing250,
         CopyRefused,
         -2,
         whole,
         {rule},
         kept250,
         "-",
         "ServoUploadConstants: copy failed (1)\n",
         nullptr},
        {"the capture cannot be written",
         kFamilyB,
         1,
         1,
         {},
         listing250,
         DiskFull,
         -2,
         whole,
         {rule},
         "-",
         "OLD\r\n",
         "",
         "/u/tmp/constant.upload: No space left on device\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fake.Flush();
        fake.sim().ClearScripts();
        model = &fake.FamilyB();
        if (!c.stx.empty()) fake.On("\x02", c.stx);
        fake.On("SHOW CONSTS,2", {c.listing});
        std::filesystem::remove_all(box.Path(kCapture));
        box.Write(kConstants, "OLD\r\n");
        if (c.setup == CaptureIsAFolder) std::filesystem::create_directories(box.Path(kCapture));
        if (c.setup == DiskFull) std::filesystem::create_symlink("/dev/full", box.Path(kCapture));
        if (c.setup == CopyRefused) {
            box.Remove(kConstants);
            std::filesystem::create_symlink(box.Path("/nowhere/constant.asc"),
                                            box.Path(kConstants));
        }
        ui.online = c.online;
        ui.confirmAnswer = c.confirm;
        ui.dialogs.clear();
        ui.commands.clear();
        ui.events.clear();
        CaptureStdout();
        CaptureStderr();
        EXPECT_EQ(ServoUploadConstants(c.family), c.result);
        const std::string console = GetCapturedStdout();
        const std::string errors = GetCapturedStderr();
        EXPECT_EQ(console, c.console);
        if (c.errors) {
            EXPECT_EQ(errors, c.errors);
        }
        EXPECT_EQ(Commands(), c.commands);
        if (c.commands.empty() && c.result != -2) {
            EXPECT_EQ(fake.ReceivedBytes(), "") << "the line is not opened";
        }
        EXPECT_EQ(ui.dialogs, c.dialogs);
        if (c.commands.size() > 1) {
            // The loading notice is up while the listing is read.
            ASSERT_GE(ui.events.size(), 4u);
            EXPECT_EQ(Lines(ui.events.begin(), ui.events.begin() + 4),
                      (Lines{"confirmStopTasks", "loading:L342", "hideLoading", "dialog:" + rule}));
        }
        const bool copied = c.result == 0 || c.setup == CopyRefused;
        EXPECT_EQ(ui.commands, copied ? Lines{kCopy} : Lines{});
        if (c.capture != "-") {
            EXPECT_TRUE(box.Read(kCapture) == c.capture) << "the capture, byte for byte";
        }
        if (c.constants != "-") {
            EXPECT_TRUE(box.Read(kConstants) == c.constants) << "constant.asc";
        }
        EXPECT_TRUE(model->relaysOn()) << "the relays are on again";
        EXPECT_EQ(ServoLine.fd, -1) << "the line is closed";
        if (c.setup == CopyRefused) box.Remove(kConstants);
    }
}

TEST_F(UploadTest, TheCaptureWaitsForTwoSecondsOfSilence) {
    // A listing with 1.5 s between its lines is read whole.
    std::vector<FakeReply> slow;
    std::string expect;
    for (int k = 0; k < 87; ++k) {
        const std::string line = "P" + std::to_string(k) + " = 1";
        slow.push_back(Line(line, 1500L * k));
        expect += line + "\r\n";
    }
    fake.On("SHOW CONSTS,2", {slow});
    CaptureStdout();
    EXPECT_EQ(ServoUploadConstants(kFamilyB), -2) << "87 lines";
    GetCapturedStdout();
    EXPECT_EQ(box.Read(kCapture), expect);
    EXPECT_EQ(clock.NapsOf(500), 1 + 3 * 86 + 4)
        << "one empty poll before the first line, three between the lines, four at the end";
}

TEST_F(UploadTest, AListingWithoutEndIsCut) {
    model->knobs().constsLines = -1;
    CaptureStdout();
    EXPECT_EQ(ServoUploadConstants(kFamilyB), 0);
    EXPECT_EQ(GetCapturedStdout(),
              "ServoUploadConstants: the controller keeps sending, capture ended after 10000 "
              "lines\n");
    const std::string capture = box.Read(kCapture);
    EXPECT_EQ(std::count(capture.begin(), capture.end(), '\n'), 10000);
    EXPECT_EQ(capture.rfind(FamilyBConstantLine(1) + "\r\n", 0), 0u);
    EXPECT_EQ(Commands(), (Lines{"STX", "DISABLE RELAYS", "SHOW CONSTS,2", "ENABLE RELAYS"}));
}

} // namespace
