// The simulated controller that the pty fake and qel-ctlsim share: its
// framing, the family A model's answers, and the knobs that make it
// misbehave, fed bytes directly.
#include <gtest/gtest.h>

#include "controller_sim.h"

namespace {

using Lines = std::vector<std::string>;

std::string Feed(ControllerSim& sim, const std::string& bytes, long now = 0) {
    sim.Receive(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), now);
    return sim.TakeDue(now);
}

TEST(ControllerSim, FramesCommandsAndControlBytes) {
    ControllerSim sim;
    std::vector<std::string> framed;
    sim.OnFramed([&](long, const FramedByte& f) {
        framed.push_back((f.kind == FramedByte::Control ? "ctl:" : "cmd:") + f.text);
    });
    Feed(sim, "\r\n\x13\x06\x11NF6m42\r\r\n\r\nNF1\x02M80\n");
    EXPECT_EQ(framed,
              (Lines{"ctl:DC3", "ctl:ACK", "ctl:DC1", "cmd:NF6m42", "cmd:\x02", "cmd:NF1M80"}));
    EXPECT_EQ(sim.Commands(), (Lines{"NF6m42", "\x02", "NF1M80"}));
}

TEST(ControllerSim, FamilyAModel) {
    struct Case {
        const char* what;
        FamilyAKnobs knobs;
        Lines commands;
        std::string replies;
    };
    FamilyAKnobs homed;
    homed.homed = true;
    FamilyAKnobs class1;
    class1.errorClass = 1;
    class1.f4Mask = "00000005";
    FamilyAKnobs class4;
    class4.errorClass = 4;
    FamilyAKnobs fault;
    fault.faultByte = 0x12;
    FamilyAKnobs all;
    all.answerAll = true;
    FamilyAKnobs never;
    never.homeAfter = -1;
    FamilyAKnobs after2;
    after2.homeAfter = 2;
    const Case cases[] = {
        {"queries",
         {},
         {"NF1M80", "NF2m85", "NF3M80", "NF4M81"},
         "NF1o00200000\r\nNF2o00200000\r\nNF3o00200000\r\nNF4H00000000\r\n"},
        {"only F1 to F4", {}, {"NF6m42", "NFFm95", "NF8S1XYZW", "NF5G5XYZ", "NF7S24", "X1"}, ""},
        {"homed", homed, {"NF2m85"}, "NF2o00000000\r\n"},
        {"homed after 2",
         after2,
         {"NF5G5XYZW", "NF2m85", "NF2m85", "NF2m85", "NF2m85"},
         "NF2o00200000\r\nNF2o00200000\r\nNF2o00000000\r\nNF2o00000000\r\n"},
        {"stopped",
         {},
         {"NF5G5XYZ", "NF2m85", "NFFm40", "NF2m85", "NF2m85", "NF2m85"},
         "NF2o00200000\r\nNF2o00200000\r\nNF2o00200000\r\nNF2o00200000\r\n"},
        {"never homed",
         never,
         {"NF5G5XYZ", "NF2m85", "NF2m85", "NF2m85", "NF2m85"},
         "NF2o00200000\r\nNF2o00200000\r\nNF2o00200000\r\nNF2o00200000\r\n"},
        {"class 1",
         class1,
         {"NF1M80", "NF2m85", "NF3M80", "NF4M81"},
         "nF1H00200100\r\nnF2H00200100\r\nNF3o00200100\r\nNF4H00000005\r\n"},
        {"class 4 is no error reply",
         class4,
         {"NF1M80", "NF3M85"},
         "NF1o00200800\r\nNF3o00200800\r\n"},
        {"fault", fault, {"NF2m85"}, "NF2o12200000\r\n"},
        {"answer all", all, {"NF6m42", "NF8S1XYZW", "NFFS60X1"}, "NF6\r\nNF8\r\nNFF\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ControllerSim sim;
        sim.UseFamilyA(c.knobs);
        std::string replies;
        for (const std::string& command : c.commands) replies += Feed(sim, command + "\r\n");
        EXPECT_EQ(replies, c.replies);
    }
}

TEST(ControllerSim, Knobs) {
    struct Case {
        const char* what;
        void (*set)(ControllerSim&);
        std::string replies;
    };
    const Case cases[] = {
        {"silent from the 2nd command", [](ControllerSim& s) { s.SetSilentFrom(2); },
         "NF1o00200000\r\n"},
        {"partial", [](ControllerSim& s) { s.SetPartial("NF2m85"); },
         "NF1o00200000\r\nNF2o00200000NF1o00200000\r\n"},
        {"garbage", [](ControllerSim& s) { s.SetGarbage("NF2m85"); },
         "NF1o00200000\r\n?#garbage#?\r\nNF2o00200000\r\nNF1o00200000\r\n"},
        {"a script", [](ControllerSim& s) { s.On("NF2m85", {{SimLine("NF2o01000000")}}); },
         "NF1o00200000\r\nNF2o01000000\r\nNF1o00200000\r\n"},
        {"a silent script", [](ControllerSim& s) { s.On("NF2m85", {{}}); },
         "NF1o00200000\r\nNF1o00200000\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ControllerSim sim;
        sim.UseFamilyA();
        c.set(sim);
        std::string replies;
        for (const char* command : {"NF1M80", "NF2m85", "NF1M80"})
            replies += Feed(sim, std::string(command) + "\r\n");
        EXPECT_EQ(replies, c.replies);
    }
}

TEST(ControllerSim, RepliesGoOutInWholeLinesOfAbout4KPerPump) {
    ControllerSim sim;
    sim.UseFamilyA();
    std::string commands;
    for (int i = 0; i < 1000; ++i) commands += "NF1M80\r\n"; // 14 bytes a reply
    sim.Receive(reinterpret_cast<const unsigned char*>(commands.data()), commands.size(), 0);
    size_t total = 0;
    int pumps = 0;
    while (sim.HasPending()) {
        const std::string out = sim.TakeDue(0);
        ASSERT_LE(out.size(), ControllerSim::kPumpBytes);
        ASSERT_EQ(out.size() % 14, 0u) << "whole lines";
        total += out.size();
        ++pumps;
    }
    EXPECT_EQ(total, 14000u);
    EXPECT_EQ(pumps, 4);

    // Delayed replies wait for their time.
    ControllerSim later;
    later.On("Q", {{SimLine("A", 500), SimLine("B", 100)}});
    EXPECT_EQ(Feed(later, "Q\n", 1000), "");
    EXPECT_EQ(later.TakeDue(1100), "B\r\n");
    EXPECT_EQ(later.TakeDue(1499), "");
    EXPECT_EQ(later.TakeDue(1500), "A\r\n");
}

TEST(ControllerSim, StreamsWithoutLineEnds) {
    ControllerSim sim;
    sim.UseFamilyA();
    sim.SetStreamFrom(2);
    EXPECT_EQ(Feed(sim, "NF1M80\r\n"), "NF1o00200000\r\n");
    const std::string stream = Feed(sim, "NF1M80\r\n");
    EXPECT_FALSE(stream.empty());
    EXPECT_EQ(stream.find_first_not_of('x'), std::string::npos) << "no reply, no line end";
    EXPECT_FALSE(sim.TakeDue(10).empty()) << "every pump";
}

TEST(ControllerSim, SelfTestTrafficOfTheFamilyAModel) {
    struct Step {
        const char* bytes;
        const char* replies;
    };
    ControllerSim sim;
    sim.UseFamilyA();
    const Step steps[] = {
        {"\x06\x11\r\n", ""}, // the prompt probe, in normal mode
        {"NAD80m80\r\n", "NADH00000001\r\n"},
        {"NAD81m81\r\n", "NADH00000000\r\n"},
        {"\x1b"
         "DEBUG\r\n",
         ".\r\n"},
        {"\r\n", ".\r\n"},
        {"NAD80m80\r\n", "NADH00000081\r\n.\r\n"},
        {"HELLO\r\n", "? HELLO\r\n.\r\n"},
        {"EXIT\r\n", ""},
        {"\r\n", ""},
        {"HELLO\r\n", ""},
    };
    for (const Step& s : steps) EXPECT_EQ(Feed(sim, s.bytes), s.replies) << s.bytes;

    FamilyAKnobs class3;
    class3.homed = true;
    class3.errorClass = 3;
    class3.f4Mask = "00000005";
    ControllerSim errors;
    errors.UseFamilyA(class3);
    EXPECT_EQ(Feed(errors, "NAD80m80\r\n"), "NADH00000403\r\n");
    EXPECT_EQ(Feed(errors, "NAD84m84\r\n"), "NADH00000005\r\n");
    EXPECT_EQ(Feed(errors, "NAD83m83\r\n"), "NADH00000000\r\n");

    // A script for the empty lines comes before the model; streaming starts
    // at once, the bytes asked for with every pump.
    ControllerSim scripted;
    scripted.UseFamilyA();
    scripted.OnEmptyLine({{SimPartial("\r\n.")}, {}});
    EXPECT_EQ(Feed(scripted, "\r\n"), "\r\n.");
    EXPECT_EQ(Feed(scripted, "\r\n"), "");
    EXPECT_TRUE(scripted.Commands().empty()) << "empty lines are no commands";
    scripted.SetStreaming(3);
    EXPECT_EQ(scripted.TakeDue(0), "xxx");
    scripted.SetStreaming(0);
    EXPECT_EQ(scripted.TakeDue(0), "");
}

} // namespace
