// A simulated controller, shared by the tests' pty fake and the controller
// simulator qel-ctlsim: the framing of the bytes a controller receives, the
// family A and family B controller models, per-command scripts and the knobs that make a
// controller misbehave, and the queue of replies with their due times.
// Times are milliseconds on the caller's clock (virtual in the tests, real
// in the simulator). No test framework here.
//
// Framing: CR is dropped, LF ends a command line (an empty line is none:
// only a script for empty lines, or the family A model, answers it),
// DC3, ACK and DC1 are wake-up bytes (logged, never answered), STX, ETX and
// EM are commands of their own. Replies go out as whole lines, about 4 KB
// at most per pump and the rest on later pumps, and never carry DC1, DC3,
// SUB, FS or 0xFF: the line takes those as flow control or signals.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

// One reply: bytes sent delayMs after the command came.
struct SimReply {
    std::string bytes;
    long delayMs = 0;
};
// A whole reply line: text + CR LF.
SimReply SimLine(const std::string& text, long delayMs = 0);
// Bytes without a line end (a line the controller does not finish).
SimReply SimPartial(const std::string& text, long delayMs = 0);

// True for the bytes a reply may not carry.
bool IsLineControl(unsigned char b);

// What one received byte means.
struct FramedByte {
    enum Kind { Nothing, Command, Control, EmptyLine } kind = Nothing;
    std::string text; // the command, or the control byte's name ("DC3" ...)
};

class CommandFramer {
  public:
    FramedByte Feed(unsigned char b);
    void Reset() { line_.clear(); }

  private:
    std::string line_;
};

// The family A controller as the defaults of the simulator have it.
struct FamilyAKnobs {
    bool homed = false; // homed at start
    // "Not homed" answers to home-state queries once the homing motion runs,
    // then homed; -1: the machine never gets homed.
    int homeAfter = 3;
    int errorClass = 0;              // 0 none; 1 to 5: an error of that class stands
    std::string f4Mask = "00000000"; // the error-bit field of the F4 replies
    int faultByte = 0;               // status byte 3
    bool answerAll = false;          // also answer the F5 to FF lines ("N<code>")
};

// Answers the queries F1 to F4 with the status field, most significant byte
// first (NF2o00200000 not homed, NF2o00000000 homed); an error of class 1,
// 2, 3 or 5 makes the F1 and F2 replies error replies (n...H...). NF5G5XYZ
// and NF5G5XYZW start the homing motion, NFFm40 stops it. Other lines go
// unanswered unless answerAll.
//
// The self test's traffic: ESC DEBUG enters the debug mode, in which every
// line and every empty line is answered with the prompt "." (an unknown
// line with "? <line>" first) and EXIT leaves it; in normal mode an empty
// line goes unanswered. NAD80m80 answers the status word "NADH<8 digits>":
// bit 0 drives on, bit 1 homed, bit 7 debug mode, bit 7 + C for an error of
// class C; NAD81m81, NAD83m83, NAD84m84, NAD85m85 and NAD86m86 (the error
// groups of classes 1 to 5) answer "NADH" and the f4Mask for the class that
// stands, else eight zeros.
class FamilyAModel {
  public:
    explicit FamilyAModel(const FamilyAKnobs& knobs = {});
    // The reply lines (without their line ends) to one command.
    std::vector<std::string> Answer(const std::string& command);
    std::vector<std::string> AnswerEmptyLine() const;
    FamilyAKnobs& knobs() { return knobs_; }
    bool homed() const { return homed_; }
    bool moving() const { return moving_; }
    bool debug() const { return debug_; }
    // The self test's status word.
    unsigned StatusWord() const;
    // The status field: bytes 3 to 0, two upper-case hex digits each.
    std::string StatusField() const;

  private:
    std::vector<std::string> AnswerSelfTest(const std::string& command, bool* handled);

    FamilyAKnobs knobs_;
    bool homed_;
    bool moving_ = false;
    bool debug_ = false;
    int notHomedAnswers_ = 0;
};

// The family B controller as the defaults of the simulator have it.
struct FamilyBKnobs {
    bool homed = false; // homed at start
    // BUSY answers to STX once the homing motion runs, then "%" and homed;
    // -1: BUSY without end.
    int homeAfter = 3;
    bool relaysStayOn = false; // ESTATUS answers ONLIN even with the relays off
    // Not empty: the homing motion ends in the error "ERROR,17,3,<text>",
    // which stands until an ETX; form 2 puts 0x8F 0x50 0x8F 0x55 before it.
    std::string errorText;
    int errorForm = 1;
    int constsLines = 300; // lines of the constants listing; -1: no end
};

// Answers STX with "%" (after AUTZER, BUSY homeAfter times first, or the
// error), "SHOW AUTZER" with ENABLED or DISABLED, "ESTATUS" with ONLIN while
// the relays are on (they start on) else ESTOP, "SET_PAR FILE_RED", the
// ABOUT, PRBTYP and KAMIKAZE commands with "%", "SET_PAR HAVE_PH9,..." and
// "SET_PAR JSTK_SGN,..." with the parameter echoed without "SET_PAR ",
// "SHOW CONSTS,2" with the listing (FamilyBConstantLine 1 to N) and "%".
// ETX, EM, the RELAYS commands and AUTZER go unanswered; EM stops the
// motion.
class FamilyBModel {
  public:
    explicit FamilyBModel(const FamilyBKnobs& knobs = {});
    std::vector<std::string> Answer(const std::string& command);
    FamilyBKnobs& knobs() { return knobs_; }
    bool homed() const { return homed_; }
    bool moving() const { return moving_; }
    bool relaysOn() const { return relaysOn_; }
    // True once after a listing without end was asked for.
    bool TakeEndlessListing();
    std::string ErrorLine() const;

  private:
    FamilyBKnobs knobs_;
    bool homed_;
    bool moving_ = false;
    bool relaysOn_ = true;
    bool errorStands_ = false;
    bool endless_ = false;
    int busyAnswers_ = 0;
};

// Line k of the simulated constants listing, without its line end.
std::string FamilyBConstantLine(int k);

class ControllerSim {
  public:
    static constexpr size_t kPumpBytes = 4096;

    // The n-th arrival (0-based) of the command gets replies[n]; the last
    // entry repeats. An empty list, or an entry with no bytes, is silence.
    // A script comes before the responder, the responder before the model.
    void On(const std::string& command, std::vector<std::vector<SimReply>> replies);
    // The same for the n-th empty line; it comes before the model.
    void OnEmptyLine(std::vector<std::vector<SimReply>> replies) {
        emptyScript_ = std::move(replies);
        emptyScripted_ = true;
    }
    void ClearScripts() {
        scripts_.clear();
        emptyScript_.clear();
        emptyScripted_ = false;
    }
    // Answers the commands that have no script: (command, how many times it
    // came before) -> replies.
    using Responder = std::function<std::vector<SimReply>(const std::string&, int)>;
    void SetResponder(Responder responder) { responder_ = std::move(responder); }
    // The family A model answers what no script and no responder answers.
    FamilyAModel& UseFamilyA(const FamilyAKnobs& knobs = {});
    FamilyAModel* familyA() { return familyA_.get(); }
    // The family B model instead.
    FamilyBModel& UseFamilyB(const FamilyBKnobs& knobs = {});
    FamilyBModel* familyB() { return familyB_.get(); }

    // Knobs.
    void SetSilent(bool silent) { silent_ = silent; }
    // The n-th command (1-based) and every later one go unanswered; 0 never.
    void SetSilentFrom(int n) { silentFrom_ = n; }
    // The replies to the command go out without their line ends.
    void SetPartial(const std::string& command) { partial_.insert(command); }
    // A garbage line goes out before each reply to the command.
    void SetGarbage(const std::string& command) { garbage_.insert(command); }
    // From the n-th command (1-based) on, the controller sends a stream of
    // bytes without a line end, filling every pump; 0 never.
    void SetStreamFrom(int n) { streamFrom_ = n; }
    // From now on, bytes without a line end, this many with every pump
    // (about kPumpBytes at most); 0 stops it.
    void SetStreaming(size_t bytesPerPump) { streamAlways_ = bytesPerPump; }

    // Runs for every command and control byte received.
    using Listener = std::function<void(long now, const FramedByte&)>;
    void OnFramed(Listener listener) { listener_ = std::move(listener); }

    // Takes bytes the program wrote, at now: logs, frames and queues the
    // answers.
    void Receive(const unsigned char* data, size_t n, long now);
    // The bytes due at now, removed from the queue: whole replies, about
    // kPumpBytes at most (at least one reply), then stream bytes or the lines
    // of a listing without end.
    std::string TakeDue(long now);
    bool HasPending() const { return !pending_.empty(); }

    struct Byte {
        long at;
        unsigned char value;
    };
    const std::vector<Byte>& Received() const { return received_; }
    std::string ReceivedBytes() const;
    const std::vector<std::string>& Commands() const { return commands_; }
    const std::vector<long>& CommandTimes() const { return commandTimes_; }
    int Count(const std::string& command) const;
    // Forgets what came and what is queued (scripts and knobs stay).
    void Clear();

  private:
    void Command(const std::string& command, long now);
    void EmptyLine(long now);
    void Queue(const std::vector<SimReply>& replies, const std::string& command, long now);
    std::vector<SimReply> Answer(const std::string& command, int nth);

    CommandFramer framer_;
    std::vector<Byte> received_;
    std::vector<std::string> commands_;
    std::vector<long> commandTimes_;
    std::map<std::string, std::vector<std::vector<SimReply>>> scripts_;
    std::map<std::string, int> seen_;
    std::vector<std::vector<SimReply>> emptyScript_;
    bool emptyScripted_ = false;
    int emptyLines_ = 0;
    Responder responder_;
    std::unique_ptr<FamilyAModel> familyA_;
    std::unique_ptr<FamilyBModel> familyB_;
    int listingLine_ = 0; // the last line of an endless listing sent; 0 none
    bool silent_ = false;
    int silentFrom_ = 0;
    int streamFrom_ = 0;
    bool streaming_ = false;
    size_t streamAlways_ = 0;
    std::set<std::string> partial_;
    std::set<std::string> garbage_;
    Listener listener_;
    struct Queued {
        long due;
        std::string bytes;
    };
    std::vector<Queued> pending_;
};

// A pseudo-terminal whose slave side stands for the controller's device:
// the simulator keeps its own descriptor of the slave open, so that the
// line and its settings survive the program's opens and closes.
struct SimPty {
    int master = -1;
    int slave = -1;
    std::string slavePath;
};
// Opens one (master non-blocking, both close-on-exec); false with errno set.
bool OpenSimPty(SimPty* pty);
void CloseSimPty(SimPty* pty);
