// The fake controller on a pseudo-terminal.
#include <gtest/gtest.h>

#include "fake_controller.h"

#include "virtual_clock.h"

#include <cerrno>
#include <poll.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

FakeReply Line(const std::string& text, long delayMs) {
    return SimLine(text, delayMs);
}

FakeReply Partial(const std::string& text, long delayMs) {
    return SimPartial(text, delayMs);
}

FakeController::FakeController() {
    if (!OpenSimPty(&pty_)) throw std::runtime_error("no pseudo-terminal");
}

FakeController::~FakeController() {
    CloseSimPty(&pty_);
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
        ssize_t w = write(pty_.master, bytes.data() + done, bytes.size() - done);
        if (w > 0) {
            done += static_cast<size_t>(w);
            idle = 0;
            continue;
        }
        if (w < 0 && errno != EAGAIN && errno != EINTR) break;
        if (++idle > 100) break; // the program reads nothing: drop the rest
        pollfd p{pty_.master, POLLOUT, 0};
        poll(&p, 1, 10);
    }
    if (done < bytes.size()) ADD_FAILURE() << "the fake controller could not send its reply";
}

void FakeController::Pump(long now) {
    unsigned char buf[512];
    for (;;) {
        ssize_t n = read(pty_.master, buf, sizeof buf);
        if (n <= 0) break;
        sim_.Receive(buf, static_cast<size_t>(n), now);
    }
    const std::string due = sim_.TakeDue(now);
    if (!due.empty()) Send(due);
}

void FakeController::Attach(VirtualClock& clock) {
    clock.OnNap([this](long now) { Pump(now); });
}

void FakeController::Flush() {
    tcflush(pty_.slave, TCIOFLUSH);
    unsigned char buf[512];
    while (read(pty_.master, buf, sizeof buf) > 0) {
    }
    sim_.Clear();
}

void FakeController::ReleaseSlave() {
    if (pty_.slave >= 0) close(pty_.slave);
    pty_.slave = -1;
}

bool FakeController::HungUp() {
    unsigned char buf[512];
    for (;;) {
        const ssize_t n = read(pty_.master, buf, sizeof buf);
        if (n > 0) {
            sim_.Receive(buf, static_cast<size_t>(n), 0);
            continue;
        }
        return n == 0 || errno == EIO;
    }
}
