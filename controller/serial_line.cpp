// The serial line to the controller.
#include "serial_line.h"

#include "controller.h"
#include "nap.h"
#include "operator_ui.h"
#include "ospath.h"
#include "ports.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

SerialLine ServoLine;

namespace {

constexpr long kWriteWaitMs = 5000;
constexpr long kWriteSliceMs = 20;
constexpr long kDrainMaxBytes = 64 * 1024;
// A reply line still open after this many bytes or this long is given up.
constexpr long kLineMaxBytes = 64 * 1024;
constexpr auto kLineMaxTime = std::chrono::seconds(5);
constexpr int kWaitPauseMs = 250;

// Index of the last character readline may store before the terminator.
constexpr size_t kLastStored = kReplyLineSize - 2;

std::string OpenText(const SerialProtocol& protocol, const std::string& text,
                     const std::string& withPath) {
    return protocol.pathInOpenTexts ? withPath : text;
}

// One write of what the line takes now; the count, 0 when it takes nothing.
ssize_t WriteNow(int fd, const char* data, size_t n) {
    int flags = fcntl(fd, F_GETFL);
    if (flags != -1) fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    ssize_t w = write(fd, data, n);
    int saved = errno;
    if (flags != -1) fcntl(fd, F_SETFL, flags);
    errno = saved;
    if (w < 0 && (errno == EAGAIN || errno == EINTR)) return 0;
    return w;
}

} // namespace

int OpenSerialDevice(const std::string& path) {
    int fd = os_open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    int flags = fcntl(fd, F_GETFL);
    if (flags == -1 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1) {
        int saved = errno;
        close(fd);
        errno = saved;
        return -1;
    }
    return fd;
}

bool WriteBounded(int fd, const std::string& bytes) {
    if (fd < 0) {
        errno = EBADF;
        return false;
    }
    size_t done = 0;
    long waited = 0;
    while (done < bytes.size()) {
        pollfd p{fd, POLLOUT, 0};
        int ready = poll(&p, 1, 0);
        if (ready < 0 && errno != EINTR) return false;
        if (ready > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL))) {
            errno = EIO;
            return false;
        }
        if (ready > 0 && (p.revents & POLLOUT)) {
            ssize_t w = WriteNow(fd, bytes.data() + done, bytes.size() - done);
            if (w < 0) return false;
            done += static_cast<size_t>(w);
            if (w > 0) continue;
        }
        if (waited >= kWriteWaitMs) {
            errno = ETIMEDOUT;
            return false;
        }
        nap(kWriteSliceMs);
        waited += kWriteSliceMs;
    }
    return true;
}

int ServoOpenLine(const SerialProtocol& protocol) {
    PortRecord record;
    if (GetPortCodes("SERVO", &record) < 0) {
        UiMessageDialog("unable to find servo in config", 0);
        return 0;
    }
    const std::string path = PortField(record.path);
    const std::string tail = " [" + path + "]";
    int fd = OpenSerialDevice(path);
    if (fd == 0) { // descriptor 0 counts as failure
        close(fd);
        fd = -1;
    }
    if (fd < 0) {
        std::perror("ServoOpen()");
        UiMessageDialog(
            OpenText(protocol, "unable to open servo device", "unable to open servo device" + tail),
            0);
        return 0;
    }
    struct SetUp {
        int (*apply)(int fd, int arg);
        int arg;
        const char* text;
        const char* withPath;
    };
    const SetUp steps[] = {
        {IOCTLcflag, record.cflag, "unable to set servo baud rate",
         "unable to set servo baud rate for"},
        {IOCTLrawmode, 1, "unable to set servo in rawmode", "unable to set servo in rawmode"},
        {[](int line, int) { return IOCTLiflag(line); }, 0, "unable to set servo xon/xoff",
         "unable to set servo xon/xoff"},
        {IOCTLtimeout, 50, "unable to set servo timeout", "unable to set servo timeout"},
    };
    for (const SetUp& step : steps) {
        if (step.apply(fd, step.arg) == 0) {
            UiMessageDialog(OpenText(protocol, step.text, step.withPath + tail), 0);
            close(fd);
            return 0;
        }
    }
    ServoLine.fd = fd;
    ServoLine.protocol = protocol;
    return 1;
}

bool ServoWriteRaw(const std::string& bytes) {
    return WriteBounded(ServoLine.fd, bytes);
}

void writeservo(const std::string& text) {
    if (!ServoWriteRaw(text)) std::perror("writeservo()");
    if (ServoLine.protocol.singleCharAlone && text.size() == 1) return;
    if (!ServoWriteRaw("\r\n")) std::perror("writeservo(crlf)");
}

int ServoReadByte(int fd, char* c) {
    int flags = fcntl(fd, F_GETFL);
    if (flags == -1) {
        std::printf("Error on fcntl, GETFL\n");
        std::fflush(stdout);
        return -1;
    }
    if (fcntl(fd, F_SETFL, flags | O_NONBLOCK) == -1) {
        std::printf("Error on fcntl, F_SETFL");
        std::fflush(stdout);
        return -1;
    }
    char byte = 0;
    ssize_t n = read(fd, &byte, 1);
    int got = n == 1 ? 1 : (n == 0 ? 0 : -1);
    if (got == 1) {
        c[0] = byte;
        ServoLine.replyLine[0] = byte;
    }
    int now = fcntl(fd, F_GETFL);
    if (now == -1) {
        std::printf("Error on fcntl, GETFL");
        std::fflush(stdout);
        now = flags;
    }
    if (fcntl(fd, F_SETFL, now & ~O_NONBLOCK) == -1) {
        std::printf("Error on fcntl, F_SETFL");
        std::fflush(stdout);
    }
    return got;
}

int readline() {
    errno = 0;
    char* line = ServoLine.replyLine;
    size_t at = 1;
    long dropped = 0;
    long taken = 1; // the first byte came through ServoReadByte
    const auto start = std::chrono::steady_clock::now();
    ServoLine.replyLen = 0;
    for (;;) {
        // A line that does not end holds the program no longer than this.
        if (taken >= kLineMaxBytes || std::chrono::steady_clock::now() - start >= kLineMaxTime) {
            line[at] = '\0';
            ServoLine.replyLen = static_cast<int>(at);
            errno = taken >= kLineMaxBytes ? EMSGSIZE : ETIMEDOUT;
            std::perror("readline()");
            return -1;
        }
        char byte = 0;
        ssize_t n = read(ServoLine.fd, &byte, 1);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            line[at] = '\0';
            ServoLine.replyLen = static_cast<int>(at);
            std::perror("readline()");
            return -1;
        }
        ++taken;
        if (byte == '\n' || byte == '\0') {
            line[at++] = byte; // at is at most kLastStored here
            break;
        }
        // An overlong line keeps its first characters and its line end.
        if (at < kLastStored)
            line[at++] = byte;
        else
            ++dropped;
    }
    line[at] = '\0';
    ServoLine.replyLen = static_cast<int>(at);
    if (dropped > 0) {
        std::printf("readline(): reply line too long, %ld characters dropped\n", dropped);
        std::fflush(stdout);
    }
    return 0;
}

int ServoPoll() {
    if (ServoReadByte(ServoLine.fd, ServoLine.replyLine) != 1) return -1;
    if (readline() < 0) return -1;
    if (ServoLine.protocol.parse) ServoLine.protocol.parse();
    return 0;
}

int ServoWaitReply(int count, int code, int busyOk) {
    ServoLine.gotCode = 0;
    const int polls = 4 * count + 2;
    for (int i = 0; i < polls; ++i) {
        nap(kWaitPauseMs);
        ServoPoll();
        if (ServoLine.gotCode == code || ServoLine.errFlag) return 0;
        if (busyOk && ServoLine.gotCode == -1) return 0;
    }
    return kServoTimeout;
}

void ServoDrain(int n) {
    const auto start = std::chrono::steady_clock::now();
    const auto limit = std::chrono::seconds(n + 2);
    nap(1000L * n);
    char byte;
    long drained = 0;
    while (ServoReadByte(ServoLine.fd, &byte) > 0) {
        if (++drained >= kDrainMaxBytes || std::chrono::steady_clock::now() - start >= limit) {
            std::printf("ServoDrain(): the controller keeps sending, %ld bytes dropped\n", drained);
            std::fflush(stdout);
            return;
        }
    }
}

int ServoClose() {
    if (ServoLine.fd >= 0) close(ServoLine.fd);
    ServoLine.fd = -1;
    return 1;
}
