// What opening and closing a screen costs, measured on 200 openings of each
// screen (every screen that opens without a controller; each case in a
// program of its own): the X server holds as many of the program's pixmaps,
// and resources of any kind, after the 200th as after the fifth, and the
// program's heap, once the toolkit's own tables have settled, grows by no
// more than those tables take. Closing presses Cancel through its callbacks
// (the home dialog closes as the homing closes it).
#include <gtest/gtest.h>

#include "choice_fixture.h"

#include "entries.h"
#include "filebackup.h"
#include "filebe.h"
#include "filecopy.h"
#include "filedel.h"
#include "fileedit.h"
#include "fileprint.h"
#include "filerestore.h"
#include "filescreen.h"
#include "homedialog.h"
#include "mediaedit.h"
#include "mediaselect.h"
#include "nap.h"
#include "portconfig.h"
#include "servicescreen.h"
#include "viewer.h"
#include "xres.h"

#include <X11/StringDefs.h>

#include <cstdlib>
#include <functional>
#include <ostream>
#include <string>

namespace {

constexpr int kOpenings = 200;

struct ScreenCase {
    const char* name;
    std::function<void()> open;
    std::function<void()> close;
};

// Widgets made since the count was last reset.
long WidgetsMade = 0;
void CountWidgetCB(Widget, XtPointer, XtPointer) {
    ++WidgetsMade;
}

void PrintTo(const ScreenCase& screen, std::ostream* os) {
    *os << screen.name;
}

void Activate(Widget w) {
    if (w) XtCallCallbacks(w, XmNactivateCallback, nullptr);
}

// Handles every event that the last step caused.
void Settle() {
    for (int pass = 0; pass < 3; ++pass) {
        XSync(TheDisplay, False);
        while (XtAppPending(AppContext) & XtIMXEvent) XtAppProcessEvent(AppContext, XtIMXEvent);
    }
}

const ScreenCase kScreens[] = {
    {"Copy", FileCopy, [] { Activate(CopyState().frame->cancel); }},
    {"Delete", FileDelete, [] { Activate(DelState().frame->cancel); }},
    {"Backup", FileBackup, [] { Activate(BackupState().frame->cancel); }},
    {"Restore",
     [] {
         // The media dialog's OK, from the wait for its answer.
         After(0, [] { Activate(MediaSelectState().ok); });
         FileRestore();
     },
     [] { Activate(RestoreState().frame->cancel); }},
    {"Print", FilePrint, [] { Activate(PrtState().frame->cancel); }},
    {"TextEdit", FileEdit, [] { Activate(EditState().frame->cancel); }},
    {"BlockEdit", FileBe, [] { Activate(PartEditState().frame->cancel); }},
    {"ContourEdit", FileCe, [] { Activate(PartEditState().frame->cancel); }},
    {"MediaDialog", [] { ShowMediaSelect(kMediaForBackup); },
     [] { Activate(MediaSelectState().cancel); }},
    {"MediaEditor", ShowMediaEditor, [] { Activate(MediaEditorState().cancel); }},
    {"Ports", ShowPortConfig, [] { Activate(PortConfigState().cancel); }},
    {"PartSelection", ShowPartSelect, [] { Activate(PartSelectState().frame->cancel); }},
    {"Execute", ShowExecuteScreen, [] { Activate(ExecuteScreenState().cancel); }},
    {"Exit", ShowExitScreen, [] { Activate(ExitScreenState().cancel); }},
    {"PartProgram", ShowPartProgMenu, [] { Activate(PartProgState().frame->cancel); }},
    {"FileMenu", ShowFileMenu, [] { Activate(FileMenuState().frame->cancel); }},
    {"ServiceMenu", ShowServiceMenu, [] { Activate(ServiceMenuState().frame->cancel); }},
    {"ServiceScreen", ShowServiceScreen, [] { Activate(ServiceScreenState().frame->cancel); }},
    {"Information", ShowInfoScreen, [] { Activate(InfoScreenState().cancel); }},
    {"HomeDialog", [] { ShowHomeDialog("homing"); }, CloseHomeDialog},
    {"HelpViewer", [] { ShowHelpText(nullptr, 1); }, [] { Activate(ViewerOKButton); }},
};

class ScreenOpeningsTest : public ChoiceFixture, public testing::WithParamInterface<ScreenCase> {
  protected:
    void TearDown() override {
        SetNapHook(nullptr);
        ChoiceFixture::TearDown();
    }
    void SetUp() override {
        ChoiceFixture::SetUp();
        // The short pauses that let a window appear cost time, nothing else.
        SetNapHook([](long) {});
        std::string error;
        ASSERT_TRUE(gui_.box().LayOutDemo(&error)) << error;
        CurrentPart = "P1";
        // An archive on the diskette, for the restore.
        const std::string cmd = "tar -C '" + gui_.box().root() + "' -cf '" +
                                gui_.box().Path("/dev/fd0") + "' -- u/qel/part/P1";
        ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    }
};

// The heap's growth per opening that is not the screen's: Motif keeps a
// record of each widget that it ever made (its class's key bindings, by the
// widget's address), a record that the next widget made at that address
// takes over; and a little more for whatever the pumps or the allocator
// keep in reserve. Under the address sanitizer, which gives no address out
// twice, those records add up over the openings; without it they settle
// within the first hundred.
constexpr long kPerWidgetMade = 40;
constexpr long kPerOpening = 256;

TEST_P(ScreenOpeningsTest, CostsNothingThatStays) {
    const ScreenCase& screen = GetParam();
    XtAddCallback(XtHooksOfDisplay(TheDisplay), XtNcreateHook, CountWidgetCB, nullptr);
    constexpr int kWarmUp = 5;
    constexpr int kSettled = kOpenings / 2;
    ServerCost first;
    size_t heapSettled = 0;
    for (int i = 1; i <= kOpenings; ++i) {
        screen.open();
        Settle();
        screen.close();
        Settle();
        if (i == kWarmUp) {
            first = ClientServerCost(TheDisplay, TopWindow);
            ASSERT_TRUE(first.ok) << "the X server tells no resources";
        }
        if (i == kSettled) {
            heapSettled = HeapInUse();
            WidgetsMade = 0;
        }
    }
    const ServerCost last = ClientServerCost(TheDisplay, TopWindow);
    EXPECT_EQ(last.pixmaps, first.pixmaps);
    EXPECT_EQ(last.pixmapBytes, first.pixmapBytes);
    EXPECT_EQ(last.total, first.total) << "X resources of every kind";
    const long grown = static_cast<long>(HeapInUse()) - static_cast<long>(heapSettled);
    const long openings = kOpenings - kSettled;
    EXPECT_LE(grown, WidgetsMade * kPerWidgetMade + openings * kPerOpening)
        << "the heap grew " << grown / openings << " bytes an opening; " << WidgetsMade / openings
        << " widgets made an opening";
}

INSTANTIATE_TEST_SUITE_P(Screens, ScreenOpeningsTest, testing::ValuesIn(kScreens),
                         [](const testing::TestParamInfo<ScreenCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
