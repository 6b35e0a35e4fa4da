// Program and editor launchers: the argument vectors of each start type, the
// editor chooser, real children (stand-in scripts in the sandbox that record
// their arguments and working folder), the folder change around the editor
// and the quoting of the carriage-return strip command.
#include <gtest/gtest.h>

#include "labels.h"
#include "launch.h"
#include "ospath.h"
#include "proc.h"
#include "process.h"
#include "sandbox.h"
#include "settings.h"

#include <array>
#include <csignal>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Args = std::vector<std::string>;

// A stand-in program that appends "cwd=<folder>" and one "[arg]" line per
// argument after argv[0] to ROOT/sim/<log>.
void WriteRecorder(const Sandbox& box, const std::string& logical, const std::string& log,
                   bool slow = false) {
    box.Write(logical, std::string("#!/bin/sh\n") + (slow ? "sleep 0.3\n" : "") +
                           "{ echo \"cwd=$(pwd -P)\"; for a in \"$@\"; do printf '[%s]\\n' \"$a\"; "
                           "done; } >> \"$QEL_SANDBOX/sim/" +
                           log + "\"\n");
    ASSERT_EQ(chmod(box.Path(logical).c_str(), 0755), 0);
}

std::string Recorded(const std::string& cwd, const Args& args) {
    std::string out = "cwd=" + cwd + "\n";
    for (const std::string& a : args) out += "[" + a + "]\n";
    return out;
}

std::string Canonical(const std::string& path) {
    return std::filesystem::canonical(path).string();
}

// The working folder of the test, restored when the scope ends.
class CwdGuard {
  public:
    CwdGuard() : saved_(std::filesystem::current_path()) {}
    ~CwdGuard() { std::filesystem::current_path(saved_); }
    CwdGuard(const CwdGuard&) = delete;
    CwdGuard& operator=(const CwdGuard&) = delete;

  private:
    std::filesystem::path saved_;
};

// Rows of the callers' 80-character argument form.
std::vector<std::array<char, kArgRowSize>> MakeRows(const Args& texts) {
    std::vector<std::array<char, kArgRowSize>> rows(texts.size());
    for (size_t i = 0; i < texts.size(); ++i) PutArgRow(rows[i].data(), texts[i]);
    return rows;
}
const ArgRow* RowPtr(const std::vector<std::array<char, kArgRowSize>>& rows) {
    return rows.empty() ? nullptr : reinterpret_cast<const ArgRow*>(rows.data());
}

// The terminal and drive variables unset for a test.
struct CleanEnv {
    ScopedEnv t{"XXTERM", nullptr}, p{"XXTERMPATH", nullptr}, s{"XXTERMSWITCH", nullptr};
    ScopedEnv d{"QEL_Win_Install_Drive", nullptr}, w{"QEL_WORDPAD_DIR", nullptr};
    ScopedEnv part{"QELPART", nullptr}, user{"QELUSER", nullptr};
};

bool HostHasScoEditor() {
    struct stat st {};
    return ::stat("/usr/bin/X11/scoedit", &st) == 0;
}

TEST(Launch, ForkArgvOfEachStartType) {
    const std::string savedPath = XtermPath, savedName = XtermName, savedSwitch = XtermSwitch;
    XtermPath = "/opt/term/bin/rxvt";
    XtermName = "rxvt";
    struct Case {
        int type;
        const char* text;
        const char* sw;
        Args extras;
        const char* program;
        Args argv;
    };
    const Case cases[] = {
        {1, "x", "-ls", {}, "/opt/term/bin/rxvt", {"rxvt", "-title", "x", "-ls", "-e", "x"}},
        {1, "x", "", {"a"}, "/opt/term/bin/rxvt", {"rxvt", "-title", "x", "-e", "x", "a"}},
        {2,
         "/u/qel/shell/dodumper",
         "",
         {"3", "f"},
         "/u/qel/bin/bin/sh.exe",
         {"sh", "/u/qel/shell/dodumper", "3", "f"}},
        {3, "SYS.BACKUP", "", {"-v"}, "/u/qel/xeq/start.exe", {"start", "sh", "SYS.BACKUP", "-v"}},
        {7, "/bin/true", "", {}, "/bin/true", {"/bin/true"}},
        {0,
         "/u/qel/xeq/sysgen.exe",
         "",
         {"-k"},
         "/u/qel/xeq/sysgen.exe",
         {"/u/qel/xeq/sysgen.exe", "-k"}},
    };
    for (const Case& c : cases) {
        XtermSwitch = c.sw;
        ChildCommand cmd = BuildForkArgv(c.type, c.text, c.extras);
        EXPECT_EQ(cmd.program, c.program) << c.type << " " << c.text;
        EXPECT_EQ(cmd.argv, c.argv) << c.type << " " << c.text;
    }
    XtermPath = savedPath;
    XtermName = savedName;
    XtermSwitch = savedSwitch;
}

// The callers' argument array: rows of 80 bytes, one after the other.
TEST(Launch, ArgumentRowsAreReadWithinTheirWidth) {
    // A full row has no terminator: it must not run on into the next row.
    unsigned char block[3 * 80 + 1];
    std::memset(block, 0, sizeof block);
    std::memset(block, 'a', 80);
    std::memcpy(block + 80, "second", 6);
    block[3 * 80] = 'Z'; // beyond the last row
    const auto* rows = reinterpret_cast<const ArgRow*>(block);
    EXPECT_EQ(RowTexts(rows, 3), (Args{std::string(80, 'a'), "second", ""}));
    EXPECT_TRUE(RowTexts(rows, 0).empty());
    EXPECT_TRUE(RowTexts(nullptr, 2).empty());

    // A text that does not fit keeps 79 characters and its NUL, and the
    // row's neighbour is left alone.
    std::memset(block, '-', sizeof block);
    auto* row = reinterpret_cast<ArgRow*>(block);
    EXPECT_FALSE(PutArgRow(*row, std::string(100, 'b')));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block), 79), std::string(79, 'b'));
    EXPECT_EQ(block[79], '\0');
    EXPECT_EQ(block[80], '-');
    EXPECT_TRUE(PutArgRow(*row, "short"));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block), 80), "short" + std::string(75, '\0'));
    EXPECT_EQ(block[80], '-');
}

TEST(Launch, ForkExecTracesStartsAndWaits) {
    Sandbox box;
    CleanEnv env;
    WriteRecorder(box, "/u/qel/bin/bin/sh.exe", "sh.log", true);
    const std::string cwd = Canonical(std::filesystem::current_path().string());
    auto rows = MakeRows({"one", "two words"});

    // The program start ignores SIGCHLD as the running program does.
    auto old = std::signal(SIGCHLD, SIG_IGN);
    testing::internal::CaptureStdout();
    ForkExec(2, "/u/qel/shell/doit", RowPtr(rows), 2);
    std::string out = testing::internal::GetCapturedStdout();
    // Written after the child's pause: present only if ForkExec waited.
    std::string log = box.Read("/sim/sh.log");
    testing::internal::CaptureStdout();
    ForkExec(7, "/u/qel/xeq/none", nullptr, 0);
    std::string missing = testing::internal::GetCapturedStdout();
    std::signal(SIGCHLD, old);

    EXPECT_EQ(out, "FORKEXEC(2, '/u/qel/shell/doit', ..., 2)\n"
                   "       0: 'sh'\n"
                   "       1: '/u/qel/shell/doit'\n"
                   "       2: 'one'\n"
                   "       3: 'two words'\n"
                   "       4: '(null)'\n");
    EXPECT_EQ(log, Recorded(cwd, {"/u/qel/shell/doit", "one", "two words"}));
    EXPECT_EQ(missing, "FORKEXEC(7, '/u/qel/xeq/none', ..., 0)\n"
                       "       0: '/u/qel/xeq/none'\n"
                       "       1: '(null)'\n");
}

// The detached start (type 3) through the sandbox's starter: the script
// named bare is found in /u/qel/shell/, one named by its full path (with the
// blank that the vi script's name carries) is taken there, and each runs to
// its end before ForkExec returns.
TEST(Launch, TheStarterRunsTheNamedScript) {
    Sandbox box;
    CleanEnv env;
    WriteRecorder(box, "/u/qel/shell/dovi", "dovi.log");
    const std::string cwd = Canonical(std::filesystem::current_path().string());
    auto old = std::signal(SIGCHLD, SIG_IGN);
    testing::internal::CaptureStdout();
    ForkExec(3, "SYS.BACKUP", RowPtr(MakeRows({"-VANTOR"})), 1);
    ForkExec(3, "/u/qel/shell/dovi ", RowPtr(MakeRows({"/u/qel/part/A/f1"})), 1);
    ForkExec(3, "SYS.NONE", nullptr, 0);
    const std::string out = testing::internal::GetCapturedStdout();
    std::signal(SIGCHLD, old);

    EXPECT_EQ(box.ScriptsLog(), (Args{"start.exe sh SYS.BACKUP -VANTOR", "SYS.BACKUP -VANTOR",
                                      "start.exe sh /u/qel/shell/dovi  /u/qel/part/A/f1",
                                      "start.exe sh SYS.NONE", "start.exe: no script SYS.NONE"}));
    EXPECT_EQ(box.Read("/sim/dovi.log"), Recorded(cwd, {"/u/qel/part/A/f1"}));
    EXPECT_NE(out.find("FORKEXEC(3, 'SYS.BACKUP', ..., 1)\n"
                       "       0: 'start'\n"
                       "       1: 'sh'\n"
                       "       2: 'SYS.BACKUP'\n"
                       "       3: '-VANTOR'\n"
                       "       4: '(null)'\n"),
              std::string::npos)
        << out;
}

TEST(Launch, EditorCommandByTypeAndTerminal) {
    Sandbox box;
    CleanEnv env;
    box.Write("/u/qel/xeq/EDITOR", "");
    struct Case {
        const char* xterm;
        const char* xpath;
        const char* xswitch;
        int language;
        int type;
        bool siteEditor;
        Args files;
        const char* program;
        Args argv;
    };
    const Args one{"/u/qel/part/A/f1"};
    const Args two{"/u/qel/part/A/f1", "/u/qel/part/A/f2"};
    const Case cases[] = {
        {nullptr,
         nullptr,
         "-ls",
         0,
         5,
         true,
         two,
         "/u/qel/xeq/sh.exe",
         {"xterm", "-title", "EDITOR", "-e", "/usr/bin/vi", two[0], two[1]}},
        {"rxvt",
         "/opt/rxvt",
         "-ls",
         6,
         5,
         true,
         one,
         "/opt/rxvt",
         {"rxvt", "-title", one[0], "-ls", "-e", "/usr/bin/jvi", one[0]}},
        {"rxvt",
         "/opt/rxvt",
         "",
         0,
         5,
         true,
         one,
         "/opt/rxvt",
         {"rxvt", "-title", one[0], "-e", "/usr/bin/vi", one[0]}},
        // One of the two unset or empty: the defaults, the switch ignored.
        {"rxvt",
         "",
         "-ls",
         0,
         5,
         true,
         one,
         "/u/qel/xeq/sh.exe",
         {"xterm", "-title", one[0], "-e", "/usr/bin/vi", one[0]}},
        {"",
         "/opt/rxvt",
         "-ls",
         0,
         5,
         true,
         one,
         "/u/qel/xeq/sh.exe",
         {"xterm", "-title", one[0], "-e", "/usr/bin/vi", one[0]}},
        {nullptr,
         nullptr,
         nullptr,
         0,
         2,
         true,
         two,
         "/bin/sh",
         {"/bin/sh", "/u/qel/xeq/EDITOR", two[0], two[1]}},
        {nullptr,
         nullptr,
         nullptr,
         0,
         2,
         false,
         one,
         "/u/qel/xeq/sh.exe",
         {"xterm", "-title", one[0], "-e", "/usr/bin/vi", one[0]}},
        {nullptr,
         nullptr,
         nullptr,
         0,
         1,
         true,
         one,
         "/u/qel/xeq/sh.exe",
         {"xterm", "-title", one[0], "-e", "/usr/bin/vi", one[0]}},
    };
    for (const Case& c : cases) {
        if (c.type == 1 && HostHasScoEditor()) continue;
        ScopedEnv t("XXTERM", c.xterm), p("XXTERMPATH", c.xpath), s("XXTERMSWITCH", c.xswitch);
        if (c.siteEditor)
            box.Write("/u/qel/xeq/EDITOR", "");
        else
            box.Remove("/u/qel/xeq/EDITOR");
        ChildCommand cmd = BuildEditorCommand(c.language, c.type, ReadEditorTerminal(), c.files);
        EXPECT_EQ(cmd.program, c.program) << c.type << " " << (c.xterm ? c.xterm : "-");
        EXPECT_EQ(cmd.argv, c.argv) << c.type << " " << (c.xterm ? c.xterm : "-");
    }
}

TEST(Launch, EditorRunsInTheFilesFolderAndTheFolderIsRestored) {
    Sandbox box;
    CleanEnv env;
    CwdGuard guard;
    WriteRecorder(box, "/u/qel/xeq/wordpad", "wordpad.log");
    box.Write("/u/qel/part/A/prog", "text\n");
    ScopedEnv w("QEL_WORDPAD_DIR", "/u/qel/xeq/wordpad");

    // Started from a folder far deeper than any fixed buffer would hold.
    char tmpl[] = "/tmp/qel-launch-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    std::string deep = tmpl;
    for (int i = 0; i < 6; ++i) deep += "/" + std::string(40, static_cast<char>('a' + i));
    std::filesystem::create_directories(deep);
    std::filesystem::current_path(deep);
    deep = Canonical(deep);

    auto rows = MakeRows({"/u/qel/part/A/prog"});
    testing::internal::CaptureStdout();
    EXPECT_EQ(LaunchEditor(0, 0, RowPtr(rows), 1), 1);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(Canonical(std::filesystem::current_path().string()), deep);
    EXPECT_EQ(box.Read("/sim/wordpad.log"),
              Recorded(Canonical(box.Path("/u/qel/part/A")), {"/u/qel/part/A/prog"}));
    EXPECT_NE(out.find("old dir= (" + os_getcwd() + ")\nnew dir= (/u/qel/part/A)\n"),
              std::string::npos)
        << out;

    // A first file without a folder changes no folder.
    box.Remove("/sim/wordpad.log");
    auto bare = MakeRows({"prog"});
    testing::internal::CaptureStdout();
    LaunchEditor(0, 0, RowPtr(bare), 1);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(box.Read("/sim/wordpad.log"), Recorded(deep, {"prog"}));
    EXPECT_EQ(Canonical(std::filesystem::current_path().string()), deep);

    std::filesystem::current_path("/");
    std::filesystem::remove_all(tmpl);
}

TEST(Launch, WordpadProgramAndFile) {
    Sandbox box;
    CleanEnv env;
    WriteRecorder(box, "/u/qel/xeq/wordpad", "wordpad.log");
    const std::string cwd = Canonical(std::filesystem::current_path().string());
    const std::string notFound =
        "Wordpad not found in it's usual location.  Trying environment variable...\n";
    const std::string help =
        "\n\nWordpad.exe could not be opened.  This is probably because it is not at its \n"
        "default location:  C:\\Program Files\\Windows NT\\Accessories\\Wordpad.exe.  \n"
        "To be able to run Wordpad, set the system user environment variable \n"
        "QEL_WORDPAD_DIR appropriatly.\n\n"
        "ex. 'QEL_WORDPAD_DIR'  --> 'C:\\WINNT\\Wordpad.exe'\n\n\n";
    struct Case {
        const char* wordpadDir;
        const char* drive;
        const char* file;
        std::string out;
        const char* opened; // the file the stand-in received, or null; also
                            // what RunWordpad answers
    };
    const Case cases[] = {
        {"/u/qel/xeq/wordpad", nullptr, "/u/qel/part/A/prog",
         notFound + "/u/qel/xeq/wordpad opening /u/qel/part/A/prog.\n", "/u/qel/part/A/prog"},
        // The drive form is rewritten on a copy; the drive goes in front of the file.
        {"/C=/u/qel/xeq/wordpad", "D:", "/u/qel/part/A/prog",
         notFound + "C:/u/qel/xeq/wordpad opening D:/u/qel/part/A/prog.\n", "D:/u/qel/part/A/prog"},
        {"/u/qel/xeq/wordpad", "D:", "E:/x", notFound + "/u/qel/xeq/wordpad opening E:/x.\n",
         "E:/x"},
        {nullptr, nullptr, "/u/qel/part/A/prog", notFound + help, nullptr},
        {"/u/qel/xeq/missing", nullptr, "/u/x",
         notFound + "/u/qel/xeq/missing opening /u/x.\n" + help, nullptr},
    };
    for (const Case& c : cases) {
        box.Remove("/sim/wordpad.log");
        ScopedEnv w("QEL_WORDPAD_DIR", c.wordpadDir), d("QEL_Win_Install_Drive", c.drive);
        testing::internal::CaptureStdout();
        EXPECT_EQ(RunWordpad(c.file), c.opened != nullptr) << c.file;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.out) << c.file;
        EXPECT_EQ(box.Read("/sim/wordpad.log"), c.opened ? Recorded(cwd, {c.opened}) : "")
            << c.file;
        const char* after = std::getenv("QEL_WORDPAD_DIR");
        EXPECT_EQ(after ? std::string(after) : "(unset)", c.wordpadDir ? c.wordpadDir : "(unset)");
    }
}

TEST(Launch, ViScriptOpensTheFirstFileAndTheTraceListsAll) {
    if (HostHasScoEditor()) GTEST_SKIP() << "the host has its own editor of type 1";
    Sandbox box;
    CleanEnv env;
    CwdGuard guard;
    WriteRecorder(box, "/u/qel/xeq/start.exe", "start.log");
    box.Write("/u/qel/part/A/f1", "");
    box.Write("/u/qel/part/A/f2", "");
    const std::string oldDir = os_getcwd();
    auto rows = MakeRows({"/u/qel/part/A/f1", "/u/qel/part/A/f2"});
    testing::internal::CaptureStdout();
    EXPECT_EQ(LaunchEditor(0, 1, RowPtr(rows), 2), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "\n"
              "xterm  = (xterm)\n"
              "xpath  = (/u/qel/xeq/sh.exe)\n"
              "xswit  = ((null))\n"
              "prog   = (/u/qel/xeq/sh.exe)\n"
              "type   =  1\n"
              "v[  0] = (xterm)\n"
              "v[  1] = (-title)\n"
              "v[  2] = (EDITOR)\n"
              "v[  3] = (-e)\n"
              "v[  4] = (/usr/bin/vi)\n"
              "v[  5] = (/u/qel/part/A/f1)\n"
              "v[  6] = (/u/qel/part/A/f2)\n"
              "v[  7] = ((null))\n"
              "old dir= (" +
                  oldDir +
                  ")\n"
                  "new dir= (/u/qel/part/A)\n"
                  "\n"
                  "FORKEXEC(3, '/u/qel/shell/dovi ', ..., 1)\n"
                  "       0: 'start'\n"
                  "       1: 'sh'\n"
                  "       2: '/u/qel/shell/dovi '\n"
                  "       3: '/u/qel/part/A/f1'\n"
                  "       4: '(null)'\n");
    EXPECT_EQ(box.Read("/sim/start.log"),
              Recorded(Canonical(box.Path("/u/qel/part/A")),
                       {"sh", "/u/qel/shell/dovi ", "/u/qel/part/A/f1"}));
    EXPECT_EQ(os_getcwd(), oldDir);
}

TEST(Launch, UserEditorThenCarriageReturnStrip) {
    Sandbox box;
    CleanEnv env;
    WriteRecorder(box, "/u/qel/xeq/myedit", "edit.log");
    WriteRecorder(box, "/u/qel/xeq/StripCr.exe", "strip.log");
    box.Write("/u/qel/part/A/prog", "text\r\n");
    const std::string folder = Canonical(box.Path("/u/qel/part/A"));
    struct Case {
        const char* drive;
        const char* userEdit;
        std::string out;    // after the LaunchEditor trace
        const char* edited; // the file the editor and the strip received, or null:
                            // LaunchEditor's answer 1 or 0
    };
    const Case cases[] = {
        {nullptr, "/u/qel/xeq/myedit\r\n# rest ignored\n",
         "/u/qel/xeq/myedit opening /u/qel/part/A/prog.\n"
         "SYSTEM('/u/qel/xeq/StripCr.exe \"/u/qel/part/A/prog\"')\n",
         "/u/qel/part/A/prog"},
        {"D:", "/u/qel/xeq/myedit",
         "/u/qel/xeq/myedit opening D:/u/qel/part/A/prog.\n"
         "SYSTEM('D:/u/qel/xeq/StripCr.exe \"D:/u/qel/part/A/prog\"')\n",
         "D:/u/qel/part/A/prog"},
        {nullptr, "/u/qel/xeq/absent\n",
         "/u/qel/xeq/absent opening /u/qel/part/A/prog.\npid = [-2]\n", nullptr},
    };
    for (const Case& c : cases) {
        box.Remove("/sim/edit.log");
        box.Remove("/sim/strip.log");
        box.Write("/u/qel/shell/UserEdit", c.userEdit);
        ScopedEnv d("QEL_Win_Install_Drive", c.drive);
        auto rows = MakeRows({"/u/qel/part/A/prog"});
        testing::internal::CaptureStdout();
        EXPECT_EQ(LaunchEditor(0, 5, RowPtr(rows), 1), c.edited ? 1 : 0);
        std::string out = testing::internal::GetCapturedStdout();
        const std::string afterTrace = "new dir= (/u/qel/part/A)\n\n";
        size_t at = out.find(afterTrace);
        ASSERT_NE(at, std::string::npos) << out;
        EXPECT_EQ(out.substr(at + afterTrace.size()), c.out) << c.userEdit;
        EXPECT_EQ(box.Read("/sim/edit.log"), c.edited ? Recorded(folder, {c.edited}) : "");
        // The strip stand-in sees the path as the seam maps it for the OS.
        EXPECT_EQ(box.Read("/sim/strip.log"),
                  c.edited ? Recorded(folder, {box.Path("/u/qel/part/A/prog")}) : "");
    }
}

TEST(Launch, NothingHappensWithoutAnEditorOrAFile) {
    Sandbox box;
    CleanEnv env;
    WriteRecorder(box, "/u/qel/xeq/StripCr.exe", "strip.log");
    for (const char* userEdit : {static_cast<const char*>(nullptr), "ab", "ab\n", "\n", ""}) {
        if (userEdit)
            box.Write("/u/qel/shell/UserEdit", userEdit);
        else
            box.Remove("/u/qel/shell/UserEdit");
        testing::internal::CaptureStdout();
        EXPECT_FALSE(RunUserEditor("/u/qel/part/A/prog"));
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << (userEdit ? userEdit : "none");
    }
    testing::internal::CaptureStdout();
    EXPECT_EQ(LaunchEditor(0, 0, nullptr, 0), 1);
    auto rows = MakeRows({"/u/qel/part/A/prog"});
    EXPECT_EQ(LaunchEditor(0, 0, RowPtr(rows), 0), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_FALSE(box.Exists("/sim/strip.log"));
}

TEST(Launch, StripCrKeepsAHostileFileNameOneWord) {
    Sandbox box;
    CleanEnv env;
    CwdGuard guard;
    WriteRecorder(box, "/u/qel/xeq/StripCr.exe", "strip.log");
    std::filesystem::current_path(box.root());
    const std::string name = "/u/tmp/a\"$(touch pwned)\" `touch pwned2` \\ b";
    testing::internal::CaptureStdout();
    EXPECT_EQ(StripCr(name), 1);
    EXPECT_EQ(
        testing::internal::GetCapturedStdout(),
        "SYSTEM('/u/qel/xeq/StripCr.exe \"/u/tmp/a\\\"\\$(touch pwned)\\\" \\`touch pwned2\\` "
        "\\\\ b\"')\n");
    EXPECT_EQ(box.Read("/sim/strip.log"),
              Recorded(Canonical(box.root()), {box.Path("/u/tmp/a\"$(touch pwned)\" `touch "
                                                        "pwned2` \\ b")}));
    EXPECT_FALSE(box.Exists("/pwned"));
    EXPECT_FALSE(box.Exists("/pwned2"));
}

// Each row: the arguments as the command holds them, and the words that the
// program must receive, "{R}" standing for the sandbox folder (nothing
// without a sandbox). Only the start of a word is mapped; quoted names and
// texts arrive as the console echo shows them.
TEST(Launch, CommandsRunAsEchoedLessTheMappedWordStarts) {
    Sandbox box;
    CleanEnv env;
    CwdGuard guard;
    std::filesystem::current_path(box.root());
    const std::string program = "/u/qel/xeq/words";
    const std::string log = box.Path("/sim/words.log");
    box.Write(program, "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > " +
                           ShellQuote(log) + "\n");
    ASSERT_EQ(chmod(box.Path(program).c_str(), 0755), 0);
    struct Case {
        std::string args;
        Args words;
    };
    const Case cases[] = {
        {"/u/qel/part/A/x", {"{R}/u/qel/part/A/x"}},
        {ShellQuote("/u/qel/part/a b"), {"{R}/u/qel/part/a b"}},
        {"\"/u/tmp/x y\" /u/tmp/a\\ b", {"{R}/u/tmp/x y", "{R}/u/tmp/a b"}},
        {"C:/u/tmp/x \"D:/u/tmp/y\" /C=/u/tmp/z 'E:/temp'",
         {"{R}/u/tmp/x", "{R}/u/tmp/y", "{R}/u/tmp/z", "{R}/temp"}},
        {"C:/other/x C:/ C:x", {"/other/x", "/", "C:x"}},
        {"\"queue C:/spool\" " + ShellQuote("queue C:/spool"),
         {"queue C:/spool", "queue C:/spool"}},
        {ShellQuote("/u/qel/part/x /u/y") + " \"name /u/tmp\" name\\ /u/tmp",
         {"{R}/u/qel/part/x /u/y", "name /u/tmp", "name /u/tmp"}},
        {ShellQuote("it's /u/x") + " \"'/u/tmp/x'\" \"\"/u/tmp/x",
         {"it's /u/x", "'/u/tmp/x'", "{R}/u/tmp/x"}},
        {ShellQuote("a$(touch pwned) C:/x") + " \"$(printf %s C:/u/x)\"",
         {"a$(touch pwned) C:/x", "C:/u/x"}},
        {"-C:/u/x --out=/u/tmp/x -f x/u/qel", {"-C:/u/x", "--out=/u/tmp/x", "-f", "x/u/qel"}},
    };
    for (const bool sandboxed : {true, false}) {
        ScopedEnv sb("QEL_SANDBOX", sandboxed ? box.root().c_str() : nullptr);
        const std::string root = sandboxed ? box.root() : "";
        for (const Case& c : cases) {
            const std::string command = (sandboxed ? program : box.Path(program)) + " " + c.args;
            std::string expect;
            for (std::string w : c.words) {
                if (w.compare(0, 3, "{R}") == 0) w = root + w.substr(3);
                expect += "[" + w + "]\n";
            }
            std::filesystem::remove(log);
            testing::internal::CaptureStdout();
            EXPECT_EQ(SystemCmd(command), 0) << command;
            EXPECT_EQ(testing::internal::GetCapturedStdout(), "SYSTEM('" + command + "')\n");
            std::string got;
            ReadFileBytes(log, &got);
            EXPECT_EQ(got, expect) << command << (sandboxed ? " in the sandbox" : "");
        }
    }
    EXPECT_FALSE(box.Exists("/pwned"));
}

// A Ctrl-C or a quit at the console reaches the whole process group: while
// a shell command runs, it ends the command and the caller goes on.
TEST(Launch, ConsoleSignalsEndTheShellCommandNotTheCaller) {
    Sandbox box;
    for (const int sig : {SIGINT, SIGQUIT}) {
        const std::string marker = box.Path("/sim/running");
        std::filesystem::remove(marker);
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        const pid_t caller = fork();
        ASSERT_GE(caller, 0);
        if (caller == 0) {
            close(fds[0]);
            setpgid(0, 0);
            const rlimit noCore{0, 0};
            setrlimit(RLIMIT_CORE, &noCore);
            std::signal(sig, SIG_DFL);
            const int status = SystemCmd("touch " + ShellQuote(marker) + "; sleep 2");
            struct sigaction after {};
            sigaction(sig, nullptr, &after);
            const int report[2] = {status, after.sa_handler == SIG_DFL};
            _exit(write(fds[1], report, sizeof report) == sizeof report ? 0 : 2);
        }
        close(fds[1]);
        setpgid(caller, caller);
        const bool running = WaitUntil([&] { return std::filesystem::exists(marker); }, 10000);
        if (running) kill(-caller, sig);
        int callerStatus = -1;
        const bool ended =
            WaitUntil([&] { return waitpid(caller, &callerStatus, WNOHANG) == caller; }, 10000);
        if (!ended) {
            kill(-caller, SIGKILL);
            waitpid(caller, &callerStatus, 0);
        }
        int report[2] = {-1, 0};
        const ssize_t got = read(fds[0], report, sizeof report);
        close(fds[0]);
        ASSERT_TRUE(running) << strsignal(sig);
        ASSERT_TRUE(ended) << strsignal(sig);
        EXPECT_TRUE(WIFEXITED(callerStatus) && WEXITSTATUS(callerStatus) == 0)
            << strsignal(sig) << ": the caller did not survive (status " << callerStatus << ")";
        ASSERT_EQ(got, static_cast<ssize_t>(sizeof report));
        EXPECT_TRUE(WIFSIGNALED(report[0]) && WTERMSIG(report[0]) == sig)
            << strsignal(sig) << ": command status " << report[0];
        EXPECT_EQ(report[1], 1) << strsignal(sig) << ": disposition not restored";
    }
}

} // namespace
