// The simulated controller's family B model, fed bytes directly: its
// answers, the motion, the relays, the error that stands after the motion
// and the constants listing, with and without end.
#include <gtest/gtest.h>

#include "controller_sim.h"

namespace {

std::string Feed(ControllerSim& sim, const std::string& bytes, long now = 0) {
    sim.Receive(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), now);
    return sim.TakeDue(now);
}

TEST(ControllerSimB, FamilyBModel) {
    struct Case {
        const char* what;
        FamilyBKnobs knobs;
        std::string sent;
        std::string replies;
    };
    FamilyBKnobs homed;
    homed.homed = true;
    FamilyBKnobs after2;
    after2.homeAfter = 2;
    FamilyBKnobs stayOn;
    stayOn.relaysStayOn = true;
    FamilyBKnobs error1, error2;
    error1.errorText = error2.errorText = "axis X limit";
    error2.errorForm = 2;
    FamilyBKnobs five;
    five.constsLines = 2;
    const Case cases[] = {
        {"status and home state", {}, "\x02SHOW AUTZER\r\n", "%\r\nDISABLED\r\n"},
        {"homed", homed, "SHOW AUTZER\r\n", "ENABLED\r\n"},
        {"unanswered",
         {},
         "\x03\x19\x11"
         "ENABLE RELAYS\r\nAUTZER\r\nSHOW RELAYS\r\n",
         ""},
        {"the relays",
         {},
         "ESTATUS\r\nDISABLE RELAYS\r\nESTATUS\r\nENABLE RELAYS\r\nESTATUS\r\n",
         "ONLIN\r\nESTOP\r\nONLIN\r\n"},
        {"relays that stay on", stayOn, "DISABLE RELAYS\r\nESTATUS\r\n", "ONLIN\r\n"},
        {"the prompts",
         {},
         "SET_PAR FILE_RED\r\nENABLE ABOUT\r\nDISABLE ABOUT\r\nPRBTYP TP2\r\nPRBTYP NUL\r\n"
         "ENABLE KAMIKAZE\r\nDISABLE KAMIKAZE\r\n",
         "%\r\n%\r\n%\r\n%\r\n%\r\n%\r\n%\r\n"},
        {"parameters echoed",
         {},
         "SET_PAR HAVE_PH9,1\r\nSET_PAR JSTK_SGN,-1,1,1\r\n",
         "HAVE_PH9,1\r\nJSTK_SGN,-1,1,1\r\n"},
        {"the motion: BUSY twice, then homed", after2,
         "AUTZER\r\n\x02\x02SHOW AUTZER\r\n\x02\x02SHOW AUTZER\r\n",
         "BUSY\r\nBUSY\r\nDISABLED\r\n%\r\n%\r\nENABLED\r\n"},
        {"EM stops the motion", after2, "AUTZER\r\n\x02\x19\x02SHOW AUTZER\r\n",
         "BUSY\r\n%\r\nDISABLED\r\n"},
        {"an error after the motion stands until ETX", error1,
         "\x02"
         "AUTZER\r\n\x02\x02\x03\x02",
         "%\r\nERROR,17,3,axis X limit\r\nERROR,17,3,axis X limit\r\n%\r\n"},
        {"the second error form", error2, "AUTZER\r\n\x02",
         "\x8F\x50\x8F\x55"
         "ERROR,17,3,axis X limit\r\n"},
        {"a listing", five, "SHOW CONSTS,2\r\n", "PARAM_1 = 7\r\nPARAM_2 = 14\r\n%\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ControllerSim sim;
        sim.UseFamilyB(c.knobs);
        EXPECT_EQ(Feed(sim, c.sent), c.replies);
    }
}

TEST(ControllerSimB, TheDefaultListingHas300Lines) {
    ControllerSim sim;
    sim.UseFamilyB();
    std::string all;
    sim.Receive(reinterpret_cast<const unsigned char*>("SHOW CONSTS,2\n"), 14, 0);
    for (std::string chunk; !(chunk = sim.TakeDue(0)).empty();) {
        EXPECT_LE(chunk.size(), ControllerSim::kPumpBytes);
        all += chunk;
    }
    EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 301);
    EXPECT_EQ(all.rfind("PARAM_300 = 100\r\n%\r\n"), all.size() - 20);
}

TEST(ControllerSimB, AListingWithoutEnd) {
    FamilyBKnobs endless;
    endless.constsLines = -1;
    ControllerSim sim;
    sim.UseFamilyB(endless);
    std::string first = Feed(sim, "SHOW CONSTS,2\r\n");
    EXPECT_EQ(first.rfind("PARAM_1 = 7\r\nPARAM_2 = 14\r\n", 0), 0u);
    EXPECT_GE(first.size(), ControllerSim::kPumpBytes - 32) << "a pump's worth";
    EXPECT_EQ(first.back(), '\n') << "whole lines";
    for (int i = 0; i < 50; ++i) {
        const std::string more = sim.TakeDue(0);
        ASSERT_FALSE(more.empty()) << "it keeps sending";
        EXPECT_EQ(more.back(), '\n');
    }
    sim.SetSilent(true);
    EXPECT_EQ(sim.TakeDue(0), "") << "until told to be silent";
    sim.SetSilent(false);
    sim.Clear();
    EXPECT_EQ(sim.TakeDue(0), "") << "or cleared";
}

} // namespace
