// A fake controller on the master side of a pseudo-terminal. The program
// opens the slave side (its path goes into the SERVO record of a fixture
// uart.bin) as it would open the controller's serial line.
//
// The controller itself is the simulated one of sim/ (controller_sim.h):
// it logs every byte it receives with the time of the pump that read it,
// frames the commands, and answers each from a script per command, from a
// responder, or from the family A model, with whole lines ending in CR LF;
// replies may be delayed, silent, partial or garbage. A reply never
// carries DC1, DC3, SUB, FS or 0xFF: the line takes those as flow control
// or signals, and the fake fails the test that tries.
//
// Pumping reads what the program wrote and writes the replies that are due;
// attached to a VirtualClock it pumps after every pause of the program, all
// in the test's one thread.
#pragma once

#include "controller_sim.h"

#include <string>
#include <vector>

class VirtualClock;

using FakeReply = SimReply;
// A whole reply line: text + CR LF.
FakeReply Line(const std::string& text, long delayMs = 0);
// Bytes without a line end (a line the controller does not finish).
FakeReply Partial(const std::string& text, long delayMs = 0);

class FakeController {
  public:
    FakeController();
    ~FakeController();
    FakeController(const FakeController&) = delete;
    FakeController& operator=(const FakeController&) = delete;

    // The slave device the program opens.
    const std::string& SlavePath() const { return pty_.slavePath; }
    // The fake's own descriptor of the slave, kept open so that the line and
    // its settings survive the program's opens and closes.
    int SlaveFd() const { return pty_.slave; }

    // The simulated controller, for its model and knobs.
    ControllerSim& sim() { return sim_; }
    // Answers from the family A model from now on (what no script answers).
    FamilyAModel& FamilyA(const FamilyAKnobs& knobs = {}) { return sim_.UseFamilyA(knobs); }
    // Or from the family B model.
    FamilyBModel& FamilyB(const FamilyBKnobs& knobs = {}) { return sim_.UseFamilyB(knobs); }

    // The n-th arrival of the command (0-based) gets replies[n]; the last
    // entry repeats. An empty list, or an entry with no bytes, is silence.
    void On(const std::string& command, std::vector<std::vector<FakeReply>> replies) {
        sim_.On(command, std::move(replies));
    }
    using Responder = ControllerSim::Responder;
    void SetResponder(Responder responder) { sim_.SetResponder(std::move(responder)); }
    // Answers nothing at all while set.
    void SetSilent(bool silent) { sim_.SetSilent(silent); }

    // Writes bytes to the program now; checked as replies are.
    void Send(const std::string& bytes);
    // Writes bytes unchecked (flow-control bytes on purpose).
    void SendRaw(const std::string& bytes);

    // Reads what the program wrote and sends the replies due at now.
    void Pump(long now);
    // Pumps after every pause of the clock's program.
    void Attach(VirtualClock& clock);

    using Byte = ControllerSim::Byte;
    const std::vector<Byte>& Received() const { return sim_.Received(); }
    // Every byte received, in order.
    std::string ReceivedBytes() const { return sim_.ReceivedBytes(); }
    // The framed commands, in order, and the time each was complete.
    const std::vector<std::string>& Commands() const { return sim_.Commands(); }
    const std::vector<long>& CommandTimes() const { return sim_.CommandTimes(); }
    // How often a command came.
    int Count(const std::string& command) const { return sim_.Count(command); }

    // Throws away what is queued on the line both ways and clears the logs.
    void Flush();

    // Closes the fake's own descriptor of the slave, so that the line ends
    // with the program's last close of it.
    void ReleaseSlave();
    // True once no one holds the slave open any more (the master reads EOF
    // or EIO); what the program wrote is taken in first.
    bool HungUp();

  private:
    void WriteMaster(const std::string& bytes);

    SimPty pty_;
    ControllerSim sim_;
};
