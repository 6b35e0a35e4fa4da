// The toolkit's hooks, built without the layers above it: unset, a hook does
// nothing but print its console line (the pumps' drain once); set, it is
// called where the toolkit reaches up.
#include <gtest/gtest.h>

#include "dialogs.h"
#include "makers.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace {

XtPointer HelpIndex(int index) {
    return reinterpret_cast<XtPointer>(static_cast<intptr_t>(index));
}

std::string Console(const std::function<void()>& fn) {
    testing::internal::CaptureStdout();
    fn();
    return testing::internal::GetCapturedStdout();
}

// The pump passes and dialog wait steps that run without a display.
void EveryPass() {
    FlushEventsNoKeys();
    FlushEventsNoInput();
    WaitSeconds(0);
    WaitSecondsAll(0);
    WaitSecondsNoKeys(0);
    ServeEverythingOnce(nullptr);
}

TEST(ToolkitHooks, UnsetHooksOnlyPrintTheirLine) {
    struct Case {
        const char* what;
        std::function<void()> call;
        const char* line;
    };
    const Case cases[] = {
        {"toolbar help", [] { ToolbarHelpCB(nullptr, HelpIndex(1), nullptr); },
         "ToolbarHelpCB: help viewer not wired\n"},
        {"toolbar help without a help file", [] { ToolbarHelpCB(nullptr, HelpIndex(-1), nullptr); },
         ""},
        {"pumps, first passes", [] { EveryPass(); }, "Pumps: message drain not wired\n"},
        {"pumps, later passes", [] { EveryPass(); }, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Console(c.call), c.line);
    }
}

std::vector<std::pair<Widget, int>> HelpCalls;
int Drains = 0;

TEST(ToolkitHooks, SetHooksAreCalled) {
    SetToolbarHelpViewer([](Widget w, int index) { HelpCalls.emplace_back(w, index); });
    SetPumpDrain([] { ++Drains; });
    Widget button = reinterpret_cast<Widget>(HelpIndex(0x1234));
    const std::string out = Console([&] {
        ToolbarHelpCB(button, HelpIndex(3), nullptr);
        ToolbarHelpCB(button, HelpIndex(-1), nullptr);
        EveryPass();
    });
    EXPECT_EQ(out, "");
    ASSERT_EQ(HelpCalls.size(), 1u);
    EXPECT_EQ(HelpCalls[0].first, button);
    EXPECT_EQ(HelpCalls[0].second, 3);
    // Each pass and each wait step drains first.
    EXPECT_EQ(Drains, 6);
    SetToolbarHelpViewer(nullptr);
    SetPumpDrain(nullptr);
}

} // namespace
