// The fake controller on a pseudo-terminal.
#include <gtest/gtest.h>

#include "fake_controller.h"

#include "virtual_clock.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace {

bool IsLineControl(unsigned char b) {
    return b == 0x11 || b == 0x13 || b == 0x1A || b == 0x1C || b == 0xFF;
}

} // namespace

FakeReply Line(const std::string& text, long delayMs) {
    return {text + "\r\n", delayMs};
}

FakeReply Partial(const std::string& text, long delayMs) {
    return {text, delayMs};
}

FakeController::FakeController() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
        throw std::runtime_error("no pseudo-terminal");
    char name[128];
    if (ptsname_r(master_, name, sizeof name) != 0) throw std::runtime_error("no pty name");
    slavePath_ = name;
    slave_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) throw std::runtime_error("cannot open " + slavePath_);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
}

FakeController::~FakeController() {
    if (slave_ >= 0) close(slave_);
    if (master_ >= 0) close(master_);
}

void FakeController::On(const std::string& command, std::vector<std::vector<FakeReply>> replies) {
    scripts_[command] = std::move(replies);
}

void FakeController::Send(const std::string& bytes) {
    for (unsigned char b : bytes)
        if (IsLineControl(b)) {
            ADD_FAILURE() << "a reply may not carry byte 0x" << std::hex << int(b);
            return;
        }
    WriteMaster(bytes);
}

void FakeController::SendRaw(const std::string& bytes) {
    WriteMaster(bytes);
}

void FakeController::WriteMaster(const std::string& bytes) {
    size_t done = 0;
    int idle = 0;
    while (done < bytes.size()) {
        ssize_t w = write(master_, bytes.data() + done, bytes.size() - done);
        if (w > 0) {
            done += static_cast<size_t>(w);
            idle = 0;
            continue;
        }
        if (w < 0 && errno != EAGAIN && errno != EINTR) break;
        if (++idle > 100) break; // the program reads nothing: drop the rest
        pollfd p{master_, POLLOUT, 0};
        poll(&p, 1, 10);
    }
    if (done < bytes.size()) ADD_FAILURE() << "the fake controller could not send its reply";
}

void FakeController::Pump(long now) {
    unsigned char buf[512];
    for (;;) {
        ssize_t n = read(master_, buf, sizeof buf);
        if (n <= 0) break;
        for (ssize_t i = 0; i < n; ++i) Frame(buf[i], now);
    }
    std::stable_sort(pending_.begin(), pending_.end(),
                     [](const Pending& a, const Pending& b) { return a.due < b.due; });
    size_t sent = 0;
    while (sent < pending_.size() && pending_[sent].due <= now) Send(pending_[sent++].bytes);
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(sent));
}

void FakeController::Attach(VirtualClock& clock) {
    clock.OnNap([this](long now) { Pump(now); });
}

void FakeController::Frame(unsigned char b, long now) {
    received_.push_back({now, b});
    switch (b) {
    case '\r':
    case 0x13:
    case 0x06:
    case 0x11:
        return;
    case 0x02:
    case 0x03:
    case 0x19:
        Command(std::string(1, static_cast<char>(b)), now);
        return;
    case '\n':
        if (!line_.empty()) Command(line_, now);
        line_.clear();
        return;
    default:
        line_ += static_cast<char>(b);
    }
}

void FakeController::Command(const std::string& command, long now) {
    commands_.push_back(command);
    commandTimes_.push_back(now);
    int nth = seen_[command]++;
    if (silent_) return;
    std::vector<FakeReply> replies;
    auto script = scripts_.find(command);
    if (script != scripts_.end()) {
        if (!script->second.empty())
            replies =
                script
                    ->second[std::min<size_t>(static_cast<size_t>(nth), script->second.size() - 1)];
    } else if (responder_) {
        replies = responder_(command, nth);
    }
    for (const FakeReply& r : replies)
        if (!r.bytes.empty()) pending_.push_back({now + r.delayMs, r.bytes});
}

std::string FakeController::ReceivedBytes() const {
    std::string s;
    for (const Byte& b : received_) s += static_cast<char>(b.value);
    return s;
}

int FakeController::Count(const std::string& command) const {
    auto it = seen_.find(command);
    return it == seen_.end() ? 0 : it->second;
}

void FakeController::Flush() {
    tcflush(slave_, TCIOFLUSH);
    unsigned char buf[512];
    while (read(master_, buf, sizeof buf) > 0) {
    }
    line_.clear();
    received_.clear();
    commands_.clear();
    commandTimes_.clear();
    seen_.clear();
    pending_.clear();
}
