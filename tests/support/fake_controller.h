// A fake controller on the master side of a pseudo-terminal. The program
// opens the slave side (its path goes into the SERVO record of a fixture
// uart.bin) as it would open the controller's serial line.
//
// The fake logs every byte it receives with the time of the pump that read
// it, drops CR, frames commands at LF (empty lines are no commands), takes
// the wake-up bytes DC3, ACK and DC1 as bytes only, and takes STX, ETX and EM
// as commands of their own. It answers each command from a script per
// command, or from a responder, with whole lines ending in CR LF; replies
// may be delayed, silent, partial or garbage. A reply never carries DC1,
// DC3, SUB, FS or 0xFF: the line takes those as flow control or signals.
//
// Pumping reads what the program wrote and writes the replies that are due;
// attached to a VirtualClock it pumps after every pause of the program, all
// in the test's one thread.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

class VirtualClock;

// One reply: bytes sent delayMs after the command came.
struct FakeReply {
    std::string bytes;
    long delayMs = 0;
};
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
    const std::string& SlavePath() const { return slavePath_; }
    // The fake's own descriptor of the slave, kept open so that the line and
    // its settings survive the program's opens and closes.
    int SlaveFd() const { return slave_; }

    // The n-th arrival of the command (0-based) gets replies[n]; the last
    // entry repeats. An empty list, or an entry with no bytes, is silence.
    void On(const std::string& command, std::vector<std::vector<FakeReply>> replies);
    // Answers the commands that have no script: (command, how many times it
    // came before) -> replies.
    using Responder = std::function<std::vector<FakeReply>(const std::string&, int)>;
    void SetResponder(Responder responder) { responder_ = std::move(responder); }
    // Answers nothing at all while set.
    void SetSilent(bool silent) { silent_ = silent; }

    // Writes bytes to the program now; checked as replies are.
    void Send(const std::string& bytes);
    // Writes bytes unchecked (flow-control bytes on purpose).
    void SendRaw(const std::string& bytes);

    // Reads what the program wrote and sends the replies due at now.
    void Pump(long now);
    // Pumps after every pause of the clock's program.
    void Attach(VirtualClock& clock);

    struct Byte {
        long at;
        unsigned char value;
    };
    const std::vector<Byte>& Received() const { return received_; }
    // Every byte received, in order.
    std::string ReceivedBytes() const;
    // The framed commands, in order, and the time each was complete.
    const std::vector<std::string>& Commands() const { return commands_; }
    const std::vector<long>& CommandTimes() const { return commandTimes_; }
    // How often a command came.
    int Count(const std::string& command) const;

    // Throws away what is queued on the line both ways and clears the logs.
    void Flush();

  private:
    void Frame(unsigned char b, long now);
    void Command(const std::string& command, long now);
    void WriteMaster(const std::string& bytes);

    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    std::string line_;
    std::vector<Byte> received_;
    std::vector<std::string> commands_;
    std::vector<long> commandTimes_;
    std::map<std::string, std::vector<std::vector<FakeReply>>> scripts_;
    std::map<std::string, int> seen_;
    Responder responder_;
    bool silent_ = false;
    struct Pending {
        long due;
        std::string bytes;
    };
    std::vector<Pending> pending_;
};
