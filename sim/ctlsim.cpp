// Controller simulator for the demo and the end-to-end tests: a family A or
// family B controller (sim/controller_sim.h) on a pseudo-terminal, in real
// time.
//
//   qel-ctlsim [--root DIR] [--log FILE] [--changer] [--family A|B] [options]
//
// It links DIR/dev/M_SERVO (DIR: --root, else $QEL_SANDBOX) to the slave of
// its pty, keeps the slave open itself so that the line survives the
// program's opens and closes, answers each command as the model and the
// options say, and logs every command and control byte with the seconds
// since its start to FILE (default DIR/sim/controller.log). With --changer it
// also links DIR/dev/M_PCHANGER to a second pty and logs the probe changer's
// letters ("PCHANGER K"). SIGTERM or SIGINT ends it; it removes its links.
//
// Options (the defaults: family A, not homed at start, homed after 3 "not
// homed" (family B: BUSY) answers once the homing motion runs, no errors,
// family A: only F1 to F4 and the self test's traffic (its debug mode, the
// status word and the error groups) answered; family B: relays on at start,
// a listing of 300 constants):
//   --homed               homed at start
//   --home-after K|never  "not homed" (BUSY) answers before homed
//   family A:
//   --error-class C       an error of class 1 to 5 stands
//   --f4-mask HEX         the error-bit field of the F4 replies (00000000)
//   --fault BYTE          status byte 3, a fault when not 0
//   --answer-all          answer the F5 to FF lines too
//   family B:
//   --relays-stay-on      ESTATUS answers ONLIN even after DISABLE RELAYS
//   --error TEXT          the homing motion ends in "ERROR,17,3,TEXT"
//   --error-form 1|2      form 2 puts 0x8F 0x50 0x8F 0x55 before ERROR
//   --consts N|endless    lines of the constants listing, or no end
//   both:
//   --silent-from N       no answer from the N-th command on
//   --partial CMD         the replies to CMD go out without their line end
//   --garbage CMD         a garbage line goes out before each reply to CMD
//   --stream-from N       from the N-th command on, bytes without a line end
//   --script CMD=LINE[|LINE...]  CMD answered with these lines (none: silence)
#include "controller_sim.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

volatile std::sig_atomic_t Stop = 0;

void OnSignal(int) {
    Stop = 1;
}

int Usage(const char* why) {
    std::fprintf(stderr, "qel-ctlsim: %s\n", why);
    std::fprintf(stderr, "usage: qel-ctlsim [--root DIR] [--log FILE] [--changer] [--family A|B] "
                         "[--homed] [--home-after K|never] [--error-class C] [--f4-mask HEX] "
                         "[--fault BYTE] [--answer-all] [--relays-stay-on] [--error TEXT] "
                         "[--error-form 1|2] [--consts N|endless] [--silent-from N] "
                         "[--partial CMD] [--garbage CMD] [--stream-from N] "
                         "[--script CMD=LINE[|LINE...]]\n");
    return 2;
}

std::string LogName(const FramedByte& f) {
    if (f.kind == FramedByte::Control) return "<" + f.text + ">";
    if (f.text == "\x02") return "<STX>";
    if (f.text == "\x03") return "<ETX>";
    if (f.text == "\x19") return "<EM>";
    return f.text;
}

class Log {
  public:
    explicit Log(const std::string& path) : file_(std::fopen(path.c_str(), "w")) {}
    ~Log() {
        if (file_) std::fclose(file_);
    }
    bool ok() const { return file_ != nullptr; }
    void Line(long ms, const std::string& text) {
        std::fprintf(file_, "%8.3f %s\n", ms / 1000.0, text.c_str());
        std::fflush(file_);
    }

  private:
    FILE* file_;
};

bool Link(const std::string& target, const std::string& link) {
    unlink(link.c_str());
    if (symlink(target.c_str(), link.c_str()) == 0) return true;
    std::fprintf(stderr, "qel-ctlsim: cannot link %s: %s\n", link.c_str(), std::strerror(errno));
    return false;
}

// Writes what the line takes now; the rest stays in out.
void WriteSome(int fd, std::string* out) {
    while (!out->empty()) {
        ssize_t w = write(fd, out->data(), out->size());
        if (w <= 0) return;
        out->erase(0, static_cast<size_t>(w));
    }
}

// A reply text may not end its line early nor carry the line's control bytes.
bool ValidLine(const std::string& text) {
    for (unsigned char c : text)
        if (IsLineControl(c) || c == '\r' || c == '\n') return false;
    return true;
}

bool ParseScript(const std::string& option, ControllerSim* sim) {
    const size_t eq = option.find('=');
    if (eq == std::string::npos || eq == 0) return false;
    std::vector<SimReply> replies;
    std::string lines = option.substr(eq + 1);
    size_t start = 0;
    while (!lines.empty() && start <= lines.size()) {
        size_t bar = lines.find('|', start);
        if (bar == std::string::npos) bar = lines.size();
        const std::string line = lines.substr(start, bar - start);
        if (!ValidLine(line)) return false;
        replies.push_back(SimLine(line));
        start = bar + 1;
    }
    sim->On(option.substr(0, eq), {replies});
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const char* sandbox = std::getenv("QEL_SANDBOX");
    std::string root = sandbox ? sandbox : "";
    std::string logPath;
    bool withChanger = false;
    bool familyB = false;
    FamilyAKnobs knobs;
    FamilyBKnobs knobsB;
    ControllerSim sim;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        const std::string v = hasValue ? argv[i + 1] : "";
        auto number = [&](int* out) {
            char* end = nullptr;
            const long n = std::strtol(v.c_str(), &end, 0);
            if (!hasValue || v.empty() || *end) return false;
            *out = static_cast<int>(n);
            ++i;
            return true;
        };
        int n = 0;
        if (a == "--root" && hasValue) {
            root = v;
            ++i;
        } else if (a == "--log" && hasValue) {
            logPath = v;
            ++i;
        } else if (a == "--changer") {
            withChanger = true;
        } else if (a == "--family" && (v == "A" || v == "B")) {
            familyB = v == "B";
            ++i;
        } else if (a == "--homed") {
            knobs.homed = knobsB.homed = true;
        } else if (a == "--home-after" && v == "never") {
            knobs.homeAfter = knobsB.homeAfter = -1;
            ++i;
        } else if (a == "--home-after" && number(&n) && n >= 0) {
            knobs.homeAfter = knobsB.homeAfter = n;
        } else if (a == "--relays-stay-on") {
            knobsB.relaysStayOn = true;
        } else if (a == "--error" && hasValue && ValidLine(v)) {
            knobsB.errorText = v;
            ++i;
        } else if (a == "--error-form" && number(&n) && (n == 1 || n == 2)) {
            knobsB.errorForm = n;
        } else if (a == "--consts" && v == "endless") {
            knobsB.constsLines = -1;
            ++i;
        } else if (a == "--consts" && number(&n) && n >= 0) {
            knobsB.constsLines = n;
        } else if (a == "--error-class" && number(&n) && n >= 0 && n <= 5) {
            knobs.errorClass = n;
        } else if (a == "--f4-mask" && hasValue &&
                   v.find_first_not_of("0123456789ABCDEFabcdef") == std::string::npos) {
            knobs.f4Mask = v;
            ++i;
        } else if (a == "--fault" && number(&n) && n >= 0 && n <= 255) {
            knobs.faultByte = n;
        } else if (a == "--answer-all") {
            knobs.answerAll = true;
        } else if (a == "--silent-from" && number(&n) && n >= 0) {
            sim.SetSilentFrom(n);
        } else if (a == "--stream-from" && number(&n) && n >= 0) {
            sim.SetStreamFrom(n);
        } else if (a == "--partial" && hasValue) {
            sim.SetPartial(v);
            ++i;
        } else if (a == "--garbage" && hasValue) {
            sim.SetGarbage(v);
            ++i;
        } else if (a == "--script" && hasValue && ParseScript(v, &sim)) {
            ++i;
        } else {
            return Usage(("bad option " + a).c_str());
        }
    }
    if (root.empty()) return Usage("no sandbox: give --root or set QEL_SANDBOX");
    if (logPath.empty()) logPath = root + "/sim/controller.log";
    if (familyB)
        sim.UseFamilyB(knobsB);
    else
        sim.UseFamilyA(knobs);

    SimPty servo, changer;
    if (!OpenSimPty(&servo) || (withChanger && !OpenSimPty(&changer))) {
        std::fprintf(stderr, "qel-ctlsim: no pseudo-terminal: %s\n", std::strerror(errno));
        return 1;
    }
    Log log(logPath);
    if (!log.ok()) {
        std::fprintf(stderr, "qel-ctlsim: cannot write %s\n", logPath.c_str());
        return 1;
    }
    const std::string servoLink = root + "/dev/M_SERVO";
    const std::string changerLink = root + "/dev/M_PCHANGER";
    if (!Link(servo.slavePath, servoLink) || (withChanger && !Link(changer.slavePath, changerLink)))
        return 1;

    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);

    const auto start = std::chrono::steady_clock::now();
    auto now = [&] {
        return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now() - start)
                                     .count());
    };
    sim.OnFramed([&](long at, const FramedByte& f) { log.Line(at, LogName(f)); });
    std::printf("qel-ctlsim: /dev/M_SERVO -> %s", servo.slavePath.c_str());
    if (withChanger) std::printf(", /dev/M_PCHANGER -> %s", changer.slavePath.c_str());
    std::printf("; log %s\n", logPath.c_str());
    std::fflush(stdout);

    std::string out;     // replies the line has not taken yet
    std::string letters; // the changer's letters until their CR
    while (!Stop) {
        pollfd p[2] = {{servo.master, POLLIN, 0}, {changer.master, POLLIN, 0}};
        poll(p, withChanger ? 2 : 1, 10);
        unsigned char buf[512];
        ssize_t got;
        while ((got = read(servo.master, buf, sizeof buf)) > 0)
            sim.Receive(buf, static_cast<size_t>(got), now());
        if (withChanger) {
            while ((got = read(changer.master, buf, sizeof buf)) > 0) {
                for (ssize_t k = 0; k < got; ++k) {
                    if (buf[k] == '\r' || buf[k] == '\n') {
                        if (!letters.empty()) log.Line(now(), "PCHANGER " + letters);
                        letters.clear();
                    } else {
                        letters += static_cast<char>(buf[k]);
                    }
                }
            }
        }
        if (out.empty()) out = sim.TakeDue(now());
        WriteSome(servo.master, &out);
    }
    unlink(servoLink.c_str());
    if (withChanger) unlink(changerLink.c_str());
    CloseSimPty(&servo);
    CloseSimPty(&changer);
    return 0;
}
