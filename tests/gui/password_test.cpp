// The password dialog under a private X server: what each level shows and
// accepts, the ask-once memory across PasswordInit, typed keys and the
// field's length, the pointer confined while it waits, the eyes button, and
// every showing laid out as the first.
// Each test runs in a child process, which builds the dialog once; timers
// answer the dialog, since its loop serves them.
#include <gtest/gtest.h>

#include "ospath.h"
#include "password.h"
#include "proc.h"
#include "records_password.h"
#include "sandbox.h"
#include "startup.h"
#include "vok.h"
#include "xmwrap.h"
#include "xvfb.h"

#include <X11/extensions/XTest.h>
#include <Xm/Form.h>
#include <Xm/Text.h>

#include <functional>
#include <sys/wait.h>

namespace {

const char* const kIcons[] = {"OK.VOK", "CANCEL.VOK", "OEYES.VOK", "CEYES.VOK"};

// A sandbox with the icons, a prompt file and a password file.
void PrepareInstall(const Sandbox& box, const PasswordFileData& data) {
    for (const char* icon : kIcons) {
        std::string bytes;
        ASSERT_TRUE(ReadFileBytes(std::string(QEL_SOURCE_DIR) + "/demo/tree/def_data/icon/" + icon,
                                  &bytes));
        box.Write(std::string("/u/qel/def_data/icon/") + icon, bytes);
    }
    box.Write("/u/qel/database/epwprompt.txt",
              "0  Operator word\n1  Programmer word\n2  Manager word\n3  Service word\n");
    box.Write("/u/qel/sys_data/files/password.bin", EncodePasswordFile(data));
}

PasswordFileData DemoData() {
    PasswordFileData data;
    data.slot[0] = "oper1";
    data.slot[1] = "prog2";
    data.slot[2] = "boss3";
    data.mask[30] = 3, data.ask[30] = 2;
    data.mask[31] = 8, data.ask[31] = 2;
    data.mask[32] = 4, data.ask[32] = 2;
    data.mask[33] = 0, data.ask[33] = 2;
    data.mask[34] = 1, data.ask[34] = 0;
    data.mask[35] = 1, data.ask[35] = 1;
    return data;
}

// Runs body in a child with its own toolkit and the dialog built.
void InChild(const PasswordFileData& data, const std::function<void()>& body) {
    XvfbServer x;
    ASSERT_TRUE(x.ok());
    Sandbox box;
    PrepareInstall(box, data);
    int status = RunInChild(
        [&] {
            static char name[] = "vok";
            static char* argv[] = {name, nullptr};
            InitToolkit(1, argv);
            MainForm = XmCreateForm(TopShell, XtRes("VOK"), nullptr, 0);
            XtVaSetValues(MainForm, XmNwidth, 770, XmNheight, 560, nullptr);
            XtManageChild(MainForm);
            XtRealizeWidget(TopShell);
            TopWindow = XtWindow(TopShell);
            PasswordInit("vok", MainForm, 0, AppContext);
            body();
            std::fflush(stdout);
            _exit(testing::Test::HasFailure() ? 1 : 0);
        },
        90000);
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

Widget Part(const char* name) {
    return XtNameToWidget(PasswordDialogWidget(), name);
}

std::string LabelText(Widget w) {
    XmString s = nullptr;
    XtVaGetValues(w, XmNlabelString, &s, nullptr);
    char* t = static_cast<char*>(
        XmStringUnparse(s, nullptr, XmCHARSET_TEXT, XmCHARSET_TEXT, nullptr, 0, XmOUTPUT_ALL));
    std::string out = t ? t : "";
    XtFree(t);
    XmStringFree(s);
    return out;
}

std::string FieldText() {
    char* t = XmTextGetString(Part("*text"));
    std::string out = t;
    XtFree(t);
    return out;
}

void Press(const char* button) {
    XtCallCallbacks(Part(button), XmNactivateCallback, nullptr);
}

// Runs fn from a timer after ms milliseconds.
XtIntervalId After(unsigned long ms, std::function<void()> fn) {
    auto* f = new std::function<void()>(std::move(fn));
    return XtAppAddTimeOut(
        AppContext, ms,
        [](XtPointer p, XtIntervalId*) {
            auto* g = static_cast<std::function<void()>*>(p);
            (*g)();
            delete g;
        },
        f);
}

// Presses abort when the check still waits after 5 s, so that lost input
// fails the test instead of hanging it.
class Guard {
  public:
    Guard() {
        id_ = After(5000, [this] {
            fired_ = true;
            Press("*abort");
        });
    }
    ~Guard() {
        if (!fired_) XtRemoveTimeOut(id_);
    }
    bool fired() const { return fired_; }

  private:
    XtIntervalId id_ = 0;
    bool fired_ = false;
};

// What the dialog showed during one check.
struct Shown {
    bool asked = false;
    std::string prompt;
};

// One check answered from a timer: the entry typed into the field, then the
// button (or Return in the field, "*text") pressed. A check that opens no
// dialog returns before the timer, which is then dropped.
int Check(int item, const std::string& entry, Shown* shown, const char* button = "*ok") {
    *shown = Shown();
    bool fired = false;
    XtIntervalId id = After(150, [&] {
        fired = true;
        shown->asked = XtIsManaged(PasswordDialogWidget());
        shown->prompt = LabelText(Part("*label"));
        XmTextSetString(Part("*text"), const_cast<char*>(entry.c_str()));
        Press(button);
    });
    int answer = CheckPassword(item);
    if (!fired) XtRemoveTimeOut(id);
    EXPECT_FALSE(XtIsManaged(PasswordDialogWidget())) << "item " << item;
    return answer;
}

TEST(PasswordDialog, EachLevelShowsItsPromptAndTakesItsPasswords) {
    InChild(DemoData(), [] {
        struct Case {
            int item;
            const char* entry;
            const char* button;
            int answer;
            const char* prompt; // nullptr: no dialog
        };
        const Case cases[] = {
            {30, "prog2", "*ok", 1, "Programmer word"},
            {30, "boss3", "*ok", 1, "Programmer word"},
            {30, "oper1", "*ok", 0, "Programmer word"},
            {31, "boss3", "*ok", 1, "Service word"},
            {31, "TRAVOLMIX", "*text", 1, "Service word"},
            {31, "prog2", "*ok", 0, "Service word"},
            {32, "BOSS3", "*ok", 0, "Manager word"},
            {32, "boss3", "*abort", 0, "Manager word"},
            {21, "TRAVOLMIX", "*text", 1, "Service word"},
            {12, "boss3", "*ok", 1, "Manager word"},
            {0, "", "*ok", 1, nullptr},
            {70, "", "*ok", 1, nullptr},
            {33, "", "*ok", 1, nullptr},
            {34, "", "*ok", 1, nullptr},
        };
        for (const Case& c : cases) {
            Shown shown;
            EXPECT_EQ(Check(c.item, c.entry, &shown, c.button), c.answer)
                << "item " << c.item << " " << c.entry << " " << c.button;
            EXPECT_EQ(shown.asked, c.prompt != nullptr) << "item " << c.item;
            if (c.prompt) {
                EXPECT_EQ(shown.prompt, c.prompt) << "item " << c.item;
            }
        }
    });
}

TEST(PasswordDialog, AskOnceItemIsAskedAgainAfterPasswordInit) {
    InChild(DemoData(), [] {
        Widget dialog = PasswordDialogWidget();
        Shown shown;
        EXPECT_EQ(Check(35, "wrong", &shown), 0);
        EXPECT_TRUE(shown.asked);
        EXPECT_EQ(Check(35, "oper1", &shown), 1);
        EXPECT_TRUE(shown.asked);
        EXPECT_EQ(Check(35, "", &shown), 1);
        EXPECT_FALSE(shown.asked);
        PasswordInit("vok", MainForm, 0, AppContext);
        EXPECT_EQ(PasswordDialogWidget(), dialog);
        EXPECT_EQ(Check(35, "wrong", &shown), 0);
        EXPECT_TRUE(shown.asked);
    });
}

TEST(PasswordDialog, TypedKeysGoToTheFieldWhichHoldsTenCharacters) {
    InChild(DemoData(), [] {
        auto type = [](const std::string& keys) {
            for (char ch : keys) {
                KeyCode code =
                    XKeysymToKeycode(TheDisplay, XStringToKeysym(std::string(1, ch).c_str()));
                XTestFakeKeyEvent(TheDisplay, code, True, CurrentTime);
                XTestFakeKeyEvent(TheDisplay, code, False, CurrentTime);
            }
            XFlush(TheDisplay);
        };
        auto pressReturn = [] {
            KeyCode code = XKeysymToKeycode(TheDisplay, XStringToKeysym("Return"));
            XTestFakeKeyEvent(TheDisplay, code, True, CurrentTime);
            XTestFakeKeyEvent(TheDisplay, code, False, CurrentTime);
            XFlush(TheDisplay);
        };
        std::string held;
        {
            Guard guard;
            After(300, [&] { type("abcdefghijklm"); });
            After(800, [&] {
                held = FieldText();
                pressReturn();
            });
            EXPECT_EQ(CheckPassword(32), 0);
            EXPECT_FALSE(guard.fired());
            EXPECT_EQ(held, "abcdefghij");
        }
        // The second showing takes keys as well.
        Guard guard;
        After(300, [&] { type("boss3"); });
        After(800, [&] { pressReturn(); });
        EXPECT_EQ(CheckPassword(32), 1);
        EXPECT_FALSE(guard.fired());
    });
}

TEST(PasswordDialog, PointerStaysInTheDialogWhileItWaits) {
    InChild(DemoData(), [] {
        Window root = DefaultRootWindow(TheDisplay);
        auto pointerAfterMoveToCorner = [&] {
            XTestFakeMotionEvent(TheDisplay, -1, 0, 0, CurrentTime);
            XSync(TheDisplay, False);
            Window r, child;
            int rx = -1, ry = -1, wx, wy;
            unsigned int mask;
            XQueryPointer(TheDisplay, root, &r, &child, &rx, &ry, &wx, &wy, &mask);
            return std::make_pair(rx, ry);
        };
        std::pair<int, int> during{-1, -1};
        int fx = 0, fy = 0;
        XWindowAttributes form{};
        After(300, [&] {
            Window child;
            Window inner = XtWindow(Part("*form"));
            XTranslateCoordinates(TheDisplay, inner, root, 0, 0, &fx, &fy, &child);
            XGetWindowAttributes(TheDisplay, inner, &form);
            during = pointerAfterMoveToCorner();
            Press("*abort");
        });
        EXPECT_EQ(CheckPassword(32), 0);
        EXPECT_GT(form.width, 0);
        EXPECT_GE(during.first, fx);
        EXPECT_LT(during.first, fx + form.width);
        EXPECT_GE(during.second, fy);
        EXPECT_LT(during.second, fy + form.height);
        EXPECT_EQ(pointerAfterMoveToCorner(), std::make_pair(0, 0));
    });
}

TEST(PasswordDialog, CheckFromInsideACheckIsRefused) {
    InChild(DemoData(), [] {
        int inner = -1;
        After(200, [&] { inner = CheckPassword(30); });
        After(400, [&] {
            XmTextSetString(Part("*text"), const_cast<char*>("boss3"));
            Press("*ok");
        });
        EXPECT_EQ(CheckPassword(32), 1);
        EXPECT_EQ(inner, 0);
    });
}

TEST(PasswordDialog, EyesHideAndShowTheTypedText) {
    InChild(DemoData(), [] {
        Screen* screen = XtScreen(MainForm);
        Colormap cmap = DefaultColormapOfScreen(screen);
        XColor green, yellow, exact;
        ASSERT_TRUE(XAllocNamedColor(TheDisplay, cmap, "forest green", &green, &exact));
        ASSERT_TRUE(XAllocNamedColor(TheDisplay, cmap, "yellow", &yellow, &exact));
        auto icon = [&](const char* name) {
            return GetPixmapFile(screen, OsPath(std::string("/u/qel/def_data/icon/") + name),
                                 WhitePixelOfScreen(screen), green.pixel);
        };
        auto look = [](Pixel* fg, Pixel* bg, Pixmap* eyes) {
            XtVaGetValues(Part("*text"), XmNforeground, fg, XmNbackground, bg, nullptr);
            XtVaGetValues(Part("*eyes"), XmNlabelPixmap, eyes, nullptr);
        };
        Pixmap ok = XmUNSPECIFIED_PIXMAP, cancel = XmUNSPECIFIED_PIXMAP;
        XtVaGetValues(Part("*ok"), XmNlabelPixmap, &ok, nullptr);
        XtVaGetValues(Part("*abort"), XmNlabelPixmap, &cancel, nullptr);
        EXPECT_NE(ok, XmUNSPECIFIED_PIXMAP);
        EXPECT_NE(cancel, XmUNSPECIFIED_PIXMAP);
        const Pixmap open = icon("OEYES.VOK"), closed = icon("CEYES.VOK");
        ASSERT_NE(open, XmUNSPECIFIED_PIXMAP);
        ASSERT_NE(closed, XmUNSPECIFIED_PIXMAP);
        ASSERT_NE(open, closed);

        Pixel fg = 0, bg = 0;
        Pixmap eyes = 0;
        look(&fg, &bg, &eyes);
        EXPECT_EQ(eyes, open);
        EXPECT_EQ(fg, BlackPixelOfScreen(screen));
        EXPECT_EQ(bg, yellow.pixel);
        Press("*eyes");
        look(&fg, &bg, &eyes);
        EXPECT_EQ(eyes, closed);
        EXPECT_EQ(fg, yellow.pixel);
        EXPECT_EQ(bg, yellow.pixel);
        Press("*eyes");
        look(&fg, &bg, &eyes);
        EXPECT_EQ(eyes, open);
        EXPECT_EQ(fg, BlackPixelOfScreen(screen));
        EXPECT_EQ(bg, yellow.pixel);
    });
}

// What a showing of the dialog looked like once drawn: where its parts lay,
// and the colour of the screen where the abort button lay at the first
// showing.
struct Layout {
    std::vector<std::pair<int, int>> places; // x, y of each part
    std::vector<std::pair<int, int>> sizes;
    unsigned long pixel = 0;
    bool ok() const { return !places.empty(); }
};

// Lets every event that the showing caused be handled, so that the dialog
// is drawn as it stays.
void Settle() {
    for (int pass = 0; pass < 3; ++pass) {
        XSync(TheDisplay, False);
        while (XtAppPending(AppContext) & XtIMXEvent) XtAppProcessEvent(AppContext, XtIMXEvent);
    }
}

Layout LookAtDialog(int spotX, int spotY) {
    Layout l;
    Settle();
    for (const char* name :
         {"*frame", "*form", "*label", "*text", "*sep", "*abort", "*ok", "*eyes"}) {
        Position x = 0, y = 0;
        Dimension w = 0, h = 0;
        XtVaGetValues(Part(name), XmNx, &x, XmNy, &y, XmNwidth, &w, XmNheight, &h, nullptr);
        l.places.emplace_back(x, y);
        l.sizes.emplace_back(w, h);
    }
    XImage* image = XGetImage(TheDisplay, XtWindow(PasswordDialogWidget()), spotX, spotY, 1, 1,
                              AllPlanes, ZPixmap);
    if (image) {
        l.pixel = XGetPixel(image, 0, 0);
        XDestroyImage(image);
    }
    return l;
}

// The middle of the abort button in the dialog's window.
std::pair<int, int> AbortSpot() {
    Window child = 0;
    int x = 0, y = 0;
    XTranslateCoordinates(TheDisplay, XtWindow(Part("*abort")), XtWindow(PasswordDialogWidget()),
                          30, 30, &x, &y, &child);
    return {x, y};
}

// Each check shows the one dialog again, with the prompt of its level.
TEST(PasswordDialog, EveryShowingIsLaidOutAsTheFirst) {
    InChild(DemoData(), [] {
        std::pair<int, int> spot{-1, -1};
        std::vector<Layout> seen;
        for (int item : {32, 30, 32, 31}) {
            Guard guard;
            After(150, [&] {
                if (spot.first < 0) spot = AbortSpot();
                seen.push_back(LookAtDialog(spot.first, spot.second));
                Press("*abort");
            });
            EXPECT_EQ(CheckPassword(item), 0);
            EXPECT_FALSE(guard.fired());
        }
        ASSERT_EQ(seen.size(), 4u);
        ASSERT_TRUE(seen[0].ok());
        EXPECT_EQ(seen[0].sizes[0], std::make_pair(595, 195)) << "the frame";
        EXPECT_GT(seen[0].places[5].second, seen[0].places[3].second) << "abort below the field";
        for (size_t i = 1; i < seen.size(); ++i) {
            SCOPED_TRACE("showing " + std::to_string(i + 1));
            EXPECT_EQ(seen[i].places, seen[0].places);
            EXPECT_EQ(seen[i].sizes, seen[0].sizes);
            EXPECT_EQ(seen[i].pixel, seen[0].pixel);
        }
    });
}

} // namespace
