// The simulated controller.
#include "controller_sim.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr const char* kGarbageLine = "?#garbage#?\r\n";
constexpr size_t kStreamChunk = 1024;

int ClassBit(int errorClass) {
    switch (errorClass) {
    case 1:
        return 0x01;
    case 2:
        return 0x02;
    case 3:
        return 0x04;
    case 4:
        return 0x08;
    case 5:
        return 0x10;
    default:
        return 0;
    }
}

std::string Hex2(int code) {
    char s[8];
    std::snprintf(s, sizeof s, "%02X", code & 0xFF);
    return s;
}

std::string WithoutLineEnd(std::string bytes) {
    while (!bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r')) bytes.pop_back();
    return bytes;
}

} // namespace

SimReply SimLine(const std::string& text, long delayMs) {
    return {text + "\r\n", delayMs};
}

SimReply SimPartial(const std::string& text, long delayMs) {
    return {text, delayMs};
}

bool IsLineControl(unsigned char b) {
    return b == 0x11 || b == 0x13 || b == 0x1A || b == 0x1C || b == 0xFF;
}

FramedByte CommandFramer::Feed(unsigned char b) {
    FramedByte f;
    switch (b) {
    case '\r':
        return f;
    case 0x13:
        return {FramedByte::Control, "DC3"};
    case 0x06:
        return {FramedByte::Control, "ACK"};
    case 0x11:
        return {FramedByte::Control, "DC1"};
    case 0x02:
        return {FramedByte::Command, "\x02"};
    case 0x03:
        return {FramedByte::Command, "\x03"};
    case 0x19:
        return {FramedByte::Command, "\x19"};
    case '\n':
        f = line_.empty() ? FramedByte{FramedByte::EmptyLine, ""}
                          : FramedByte{FramedByte::Command, line_};
        line_.clear();
        return f;
    default:
        line_ += static_cast<char>(b);
        return f;
    }
}

FamilyAModel::FamilyAModel(const FamilyAKnobs& knobs) : knobs_(knobs), homed_(knobs.homed) {}

std::string FamilyAModel::StatusField() const {
    return Hex2(knobs_.faultByte) + Hex2(homed_ ? 0 : 0x20) + Hex2(ClassBit(knobs_.errorClass)) +
           "00";
}

unsigned FamilyAModel::StatusWord() const {
    unsigned word = 0x01;
    if (homed_) word |= 0x02;
    if (debug_) word |= 0x80;
    if (knobs_.errorClass >= 1 && knobs_.errorClass <= 5) word |= 1u << (7 + knobs_.errorClass);
    return word;
}

std::vector<std::string> FamilyAModel::AnswerEmptyLine() const {
    if (debug_) return {"."};
    return {};
}

std::vector<std::string> FamilyAModel::AnswerSelfTest(const std::string& command, bool* handled) {
    static const char* const kGroups[5] = {"NAD81m81", "NAD83m83", "NAD84m84", "NAD85m85",
                                           "NAD86m86"};
    *handled = true;
    if (command == "\x1b"
                   "DEBUG") {
        debug_ = true;
        return {"."};
    }
    if (command == "EXIT" && debug_) {
        debug_ = false;
        return {};
    }
    std::vector<std::string> out;
    if (command == "NAD80m80") {
        char word[16];
        std::snprintf(word, sizeof word, "%08X", StatusWord());
        out.push_back(std::string("NADH") + word);
    }
    for (int c = 1; c <= 5; ++c)
        if (command == kGroups[c - 1])
            out.push_back("NADH" + (knobs_.errorClass == c ? knobs_.f4Mask : "00000000"));
    if (!debug_) {
        *handled = !out.empty();
        return out;
    }
    if (out.empty()) out.push_back("? " + command);
    out.push_back(".");
    return out;
}

std::vector<std::string> FamilyAModel::Answer(const std::string& command) {
    bool handled = false;
    std::vector<std::string> selfTest = AnswerSelfTest(command, &handled);
    if (handled) return selfTest;
    if (command.size() < 3 || command[0] != 'N') return {};
    char* end = nullptr;
    const std::string digits = command.substr(1, 2);
    const long code = std::strtol(digits.c_str(), &end, 16);
    if (*end != '\0') return {};
    const std::string hex = Hex2(static_cast<int>(code));
    const bool error = knobs_.errorClass >= 1 && knobs_.errorClass <= 5 && knobs_.errorClass != 4;
    switch (code) {
    case 0xF2:
        if (moving_) {
            if (knobs_.homeAfter < 0 || notHomedAnswers_ < knobs_.homeAfter) {
                ++notHomedAnswers_;
            } else {
                homed_ = true;
                moving_ = false;
            }
        }
        [[fallthrough]];
    case 0xF1:
        return {(error ? "n" + hex + "H" : "N" + hex + "o") + StatusField()};
    case 0xF3:
        return {"NF3o" + StatusField()};
    case 0xF4:
        return {"NF4H" + knobs_.f4Mask};
    case 0xF5:
        if (command == "NF5G5XYZ" || command == "NF5G5XYZW") {
            moving_ = true;
            homed_ = false;
            notHomedAnswers_ = 0;
        }
        break;
    case 0xFF:
        if (command == "NFFm40") moving_ = false;
        break;
    default:
        break;
    }
    if (knobs_.answerAll && code >= 0xF5 && code <= 0xFF) return {"N" + hex};
    return {};
}

FamilyBModel::FamilyBModel(const FamilyBKnobs& knobs) : knobs_(knobs), homed_(knobs.homed) {}

std::string FamilyBConstantLine(int k) {
    return "PARAM_" + std::to_string(k) + " = " + std::to_string(k * 7 % 1000);
}

std::string FamilyBModel::ErrorLine() const {
    return std::string(knobs_.errorForm == 2 ? "\x8F\x50\x8F\x55" : "") + "ERROR,17,3," +
           knobs_.errorText;
}

bool FamilyBModel::TakeEndlessListing() {
    const bool was = endless_;
    endless_ = false;
    return was;
}

std::vector<std::string> FamilyBModel::Answer(const std::string& command) {
    const std::string setPar = "SET_PAR ";
    if (command == "\x02") {
        if (moving_ && !knobs_.errorText.empty()) {
            moving_ = false;
            errorStands_ = true;
        }
        if (errorStands_) return {ErrorLine()};
        if (moving_) {
            if (knobs_.homeAfter < 0 || busyAnswers_ < knobs_.homeAfter) {
                ++busyAnswers_;
                return {"BUSY"};
            }
            moving_ = false;
            homed_ = true;
        }
        return {"%"};
    }
    if (command == "\x03") {
        errorStands_ = false;
        return {};
    }
    if (command == "\x19") {
        moving_ = false;
        return {};
    }
    if (command == "SHOW AUTZER") return {homed_ ? "ENABLED" : "DISABLED"};
    if (command == "ESTATUS") return {relaysOn_ || knobs_.relaysStayOn ? "ONLIN" : "ESTOP"};
    if (command == "ENABLE RELAYS" || command == "DISABLE RELAYS") {
        relaysOn_ = command[0] == 'E';
        return {};
    }
    if (command == "AUTZER") {
        moving_ = true;
        homed_ = false;
        busyAnswers_ = 0;
        return {};
    }
    if (command == "SET_PAR FILE_RED" || command == "ENABLE ABOUT" || command == "DISABLE ABOUT" ||
        command == "PRBTYP TP2" || command == "PRBTYP NUL" || command == "ENABLE KAMIKAZE" ||
        command == "DISABLE KAMIKAZE")
        return {"%"};
    if (command.rfind(setPar + "HAVE_PH9,", 0) == 0 || command.rfind(setPar + "JSTK_SGN,", 0) == 0)
        return {command.substr(setPar.size())};
    if (command == "SHOW CONSTS,2") {
        if (knobs_.constsLines < 0) {
            endless_ = true;
            return {};
        }
        std::vector<std::string> lines;
        for (int k = 1; k <= knobs_.constsLines; ++k) lines.push_back(FamilyBConstantLine(k));
        lines.push_back("%");
        return lines;
    }
    return {};
}

FamilyAModel& ControllerSim::UseFamilyA(const FamilyAKnobs& knobs) {
    familyB_.reset();
    familyA_ = std::make_unique<FamilyAModel>(knobs);
    return *familyA_;
}

FamilyBModel& ControllerSim::UseFamilyB(const FamilyBKnobs& knobs) {
    familyA_.reset();
    familyB_ = std::make_unique<FamilyBModel>(knobs);
    return *familyB_;
}

void ControllerSim::On(const std::string& command, std::vector<std::vector<SimReply>> replies) {
    scripts_[command] = std::move(replies);
}

void ControllerSim::Receive(const unsigned char* data, size_t n, long now) {
    for (size_t i = 0; i < n; ++i) {
        received_.push_back({now, data[i]});
        FramedByte f = framer_.Feed(data[i]);
        if (f.kind == FramedByte::EmptyLine) EmptyLine(now);
        if (f.kind == FramedByte::Nothing || f.kind == FramedByte::EmptyLine) continue;
        if (listener_) listener_(now, f);
        if (f.kind == FramedByte::Command) Command(f.text, now);
    }
}

std::vector<SimReply> ControllerSim::Answer(const std::string& command, int nth) {
    // The model follows every command, also one that a script answers.
    std::vector<SimReply> model;
    if (familyA_)
        for (const std::string& line : familyA_->Answer(command)) model.push_back(SimLine(line));
    if (familyB_) {
        for (const std::string& line : familyB_->Answer(command)) model.push_back(SimLine(line));
        if (familyB_->TakeEndlessListing()) listingLine_ = 1;
    }
    auto script = scripts_.find(command);
    if (script != scripts_.end()) {
        if (script->second.empty()) return {};
        return script
            ->second[std::min<size_t>(static_cast<size_t>(nth), script->second.size() - 1)];
    }
    if (responder_) return responder_(command, nth);
    return model;
}

void ControllerSim::Command(const std::string& command, long now) {
    commands_.push_back(command);
    commandTimes_.push_back(now);
    const int nth = seen_[command]++;
    const int number = static_cast<int>(commands_.size());
    if (streamFrom_ > 0 && number >= streamFrom_) streaming_ = true;
    std::vector<SimReply> replies = Answer(command, nth);
    if (silentFrom_ > 0 && number >= silentFrom_) return;
    Queue(replies, command, now);
}

void ControllerSim::EmptyLine(long now) {
    const int nth = emptyLines_++;
    std::vector<SimReply> replies;
    if (familyA_)
        for (const std::string& line : familyA_->AnswerEmptyLine())
            replies.push_back(SimLine(line));
    if (emptyScripted_) {
        if (emptyScript_.empty()) return;
        replies = emptyScript_[std::min<size_t>(static_cast<size_t>(nth), emptyScript_.size() - 1)];
    }
    Queue(replies, "", now);
}

void ControllerSim::Queue(const std::vector<SimReply>& replies, const std::string& command,
                          long now) {
    if (silent_ || streaming_) return;
    for (const SimReply& r : replies) {
        if (r.bytes.empty()) continue;
        if (garbage_.count(command)) pending_.push_back({now + r.delayMs, kGarbageLine});
        pending_.push_back(
            {now + r.delayMs, partial_.count(command) ? WithoutLineEnd(r.bytes) : r.bytes});
    }
}

std::string ControllerSim::TakeDue(long now) {
    std::stable_sort(pending_.begin(), pending_.end(),
                     [](const Queued& a, const Queued& b) { return a.due < b.due; });
    std::string out;
    size_t sent = 0;
    while (sent < pending_.size() && pending_[sent].due <= now &&
           (out.empty() || out.size() + pending_[sent].bytes.size() <= kPumpBytes))
        out += pending_[sent++].bytes;
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(sent));
    if (streaming_ && out.size() < kPumpBytes)
        out += std::string(std::min(kStreamChunk, kPumpBytes - out.size()), 'x');
    else if (streamAlways_ > 0 && out.size() < kPumpBytes)
        out += std::string(std::min(streamAlways_, kPumpBytes - out.size()), 'x');
    while (listingLine_ > 0 && !silent_ && out.size() < kPumpBytes)
        out += SimLine(FamilyBConstantLine(listingLine_++)).bytes;
    return out;
}

std::string ControllerSim::ReceivedBytes() const {
    std::string s;
    for (const Byte& b : received_) s += static_cast<char>(b.value);
    return s;
}

int ControllerSim::Count(const std::string& command) const {
    auto it = seen_.find(command);
    return it == seen_.end() ? 0 : it->second;
}

void ControllerSim::Clear() {
    framer_.Reset();
    received_.clear();
    commands_.clear();
    commandTimes_.clear();
    seen_.clear();
    emptyLines_ = 0;
    pending_.clear();
    streaming_ = false;
    listingLine_ = 0;
}

bool OpenSimPty(SimPty* pty) {
    pty->master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (pty->master < 0) return false;
    char name[128];
    if (grantpt(pty->master) != 0 || unlockpt(pty->master) != 0 ||
        ptsname_r(pty->master, name, sizeof name) != 0) {
        CloseSimPty(pty);
        return false;
    }
    pty->slavePath = name;
    pty->slave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (pty->slave < 0) {
        CloseSimPty(pty);
        return false;
    }
    fcntl(pty->master, F_SETFL, fcntl(pty->master, F_GETFL) | O_NONBLOCK);
    return true;
}

void CloseSimPty(SimPty* pty) {
    if (pty->slave >= 0) close(pty->slave);
    if (pty->master >= 0) close(pty->master);
    pty->slave = pty->master = -1;
}
