// Bus device access on open, lseek, read and write.
#include "busio.h"

#include "ospath.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {
const BusIo* gHook = nullptr;
} // namespace

void SetBusIoHook(const BusIo* io) {
    gHook = io;
}

int BusOpen(const std::string& path) {
    if (gHook) return gHook->open(path);
    return os_open(path, O_RDWR | O_CLOEXEC);
}

long BusSeek(int fd, long address) {
    if (gHook) return gHook->seek(fd, address);
    return static_cast<long>(lseek(fd, static_cast<off_t>(address), SEEK_SET));
}

int BusRead(int fd, unsigned char* byte) {
    if (gHook) return gHook->read(fd, byte);
    ssize_t n;
    while ((n = read(fd, byte, 1)) < 0 && errno == EINTR) {
    }
    return static_cast<int>(n);
}

int BusWrite(int fd, unsigned char byte) {
    if (gHook) return gHook->write(fd, byte);
    ssize_t n;
    while ((n = write(fd, &byte, 1)) < 0 && errno == EINTR) {
    }
    return static_cast<int>(n);
}

int BusClose(int fd) {
    if (gHook) return gHook->close(fd);
    return close(fd);
}
