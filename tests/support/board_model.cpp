// The counter board's register model.
#include "board_model.h"

#include "busio.h"

#include <cerrno>
#include <cstdio>
#include <stdexcept>

namespace {

constexpr long kBase = 0x300;
constexpr long kSpan = 32;

BoardModel* gModel = nullptr;

const BusIo kHook = {
    [](const std::string& path) { return gModel->Open(path); },
    [](int fd, long address) { return gModel->Seek(fd, address); },
    [](int fd, unsigned char* byte) { return gModel->Read(fd, byte); },
    [](int fd, unsigned char byte) { return gModel->Write(fd, byte); },
    [](int fd) { return gModel->Close(fd); },
};

std::string Hex(long v) {
    char s[24];
    std::snprintf(s, sizeof s, "%lX", v);
    return s;
}

} // namespace

BoardModel::BoardModel() {
    if (gModel) throw std::logic_error("one board model at a time");
    gModel = this;
    SetBusIoHook(&kHook);
}

BoardModel::~BoardModel() {
    SetBusIoHook(nullptr);
    gModel = nullptr;
}

void BoardModel::Reset() {
    page = 0;
    mode = false;
    fixedIdentity = -1;
    statuses.clear();
    statusReads = 0;
    control = acks = 0;
    failOpen = readsNothing = failWrites = false;
    failSeekAt = -1;
    trace.clear();
    open = false;
    opens = 0;
    strayAccess = false;
    at_ = 0;
}

unsigned char BoardModel::Identity() const {
    if (fixedIdentity >= 0) return static_cast<unsigned char>(fixedIdentity);
    return mode ? 'M' : 'E';
}

std::vector<std::string> BoardModel::TakeTrace() {
    std::vector<std::string> t;
    t.swap(trace);
    return t;
}

int BoardModel::Open(const std::string& path) {
    trace.push_back("open " + path);
    if (failOpen) {
        errno = ENOENT;
        return -1;
    }
    open = true;
    ++opens;
    at_ = 0;
    return kFd;
}

long BoardModel::Seek(int fd, long address) {
    if (fd != kFd || !open) {
        errno = EBADF;
        return -1;
    }
    if (failSeekAt == -2 || address == failSeekAt) {
        errno = ESPIPE;
        return -1;
    }
    if (address < kBase || address >= kBase + kSpan) strayAccess = true;
    at_ = address;
    return address;
}

int BoardModel::Read(int fd, unsigned char* byte) {
    if (fd != kFd || !open) {
        errno = EBADF;
        return -1;
    }
    trace.push_back("R" + Hex(at_));
    if (readsNothing) return 0;
    const long offset = at_ - kBase;
    if (offset == 0 && page == 4) {
        const size_t i = statusReads++;
        *byte = statuses.empty() ? 0 : statuses[i < statuses.size() ? i : statuses.size() - 1];
    } else if (offset == 0) {
        *byte = static_cast<unsigned char>(~Identity());
    } else {
        *byte = static_cast<unsigned char>(offset * 16 + page); // a register's own value
    }
    return 1;
}

int BoardModel::Write(int fd, unsigned char byte) {
    if (fd != kFd || !open) {
        errno = EBADF;
        return -1;
    }
    trace.push_back("W" + Hex(at_) + "=" + Hex(byte));
    if (failWrites) {
        errno = EIO;
        return -1;
    }
    const long offset = at_ - kBase;
    if (offset == 0) {
        page = byte & 7;
        mode = (byte & 8) != 0;
    } else if (offset == 2) {
        control = byte;
    } else if (offset == 8) {
        ++acks;
    }
    return 1;
}

int BoardModel::Close(int fd) {
    trace.push_back("close");
    if (fd != kFd || !open) {
        errno = EBADF;
        return -1;
    }
    open = false;
    return 0;
}
