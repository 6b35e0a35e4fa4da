// Event pumps under a private X server, where they go past the plain loop:
// a timed pump run from a timer inside another leaves the outer one its own
// end, and the wait for an Expose does not wait on what has no window.
#include <gtest/gtest.h>

#include "dialogs.h"
#include "gui.h"
#include "vok.h"

#include <Xm/LabelG.h>

#include <chrono>
#include <string>

namespace {

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(Pumps, ATimedPumpNestedInATimerLeavesTheOuterItsEnd) {
    GuiSession gui;
    ASSERT_TRUE(gui.ok());
    int inner = 0;
    // Ends at once, as its time is up when it starts.
    After(200, [&] { inner = ProcessEventsFor(0); });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ProcessEventsFor(2), -82);
    const double wall = Seconds(start);
    EXPECT_EQ(inner, -82); // the inner pump ran inside the outer one
    // Two seconds counted in whole seconds: more than one, at most two.
    EXPECT_GT(wall, 1.0);
    EXPECT_LE(wall, 2.3);
}

TEST(Pumps, WaitForExposeAnswersAtOnceWithoutAWindow) {
    GuiSession gui;
    ASSERT_TRUE(gui.ok());
    Widget gadget = XmCreateLabelGadget(MainForm, const_cast<char*>("g"), nullptr, 0);
    XtManageChild(gadget);
    for (Widget w : {static_cast<Widget>(nullptr), gadget}) {
        SCOPED_TRACE(w ? "gadget" : "null widget");
        testing::internal::CaptureStdout();
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(WaitForExpose(w), -82);
        EXPECT_LT(Seconds(start), 0.5);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "WaitForExpose: no window to wait for\n");
    }
}

} // namespace
