// Port records and serial line settings.
#include "ports.h"

#include "installfile.h"
#include "le.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Reads up to n bytes, as many as the file gives; -1 on a read error.
ssize_t ReadUpTo(int fd, unsigned char* buf, size_t n) {
    size_t got = 0;
    while (got < n) {
        ssize_t r = read(fd, buf + got, n - got);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return -1;
        if (r == 0) break;
        got += static_cast<size_t>(r);
    }
    return static_cast<ssize_t>(got);
}

bool WriteAll(int fd, const unsigned char* buf, size_t n) {
    size_t done = 0;
    while (done < n) {
        ssize_t w = write(fd, buf + done, n - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        done += static_cast<size_t>(w);
    }
    return true;
}

// The port's name compared within the 40 bytes of the field.
bool NameMatches(const unsigned char* field, const std::string& port) {
    return port.size() <= kPortFieldSize && GetField(field, kPortFieldSize) == port;
}

void CopyField(char (&to)[kPortFieldSize], const unsigned char* from) {
    std::memset(to, 0, kPortFieldSize);
    for (size_t i = 0; i < kPortFieldSize && from[i]; ++i) to[i] = static_cast<char>(from[i]);
}

void PutRecordField(unsigned char* to, const char (&from)[kPortFieldSize]) {
    std::memcpy(to, from, kPortFieldSize);
}

using Step = termios (*)(const termios&, int);

// TCGETS, the step, TCSETS; 1 done, 0 failed.
int ApplyStep(int fd, const char* name, Step step, int arg) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) {
        std::perror((std::string(name) + "() ioctl(tcgets) failed").c_str());
        return 0;
    }
    termios changed = step(t, arg);
    if (tcsetattr(fd, TCSANOW, &changed) != 0) {
        std::perror((std::string(name) + "() ioctl(tcsets) failed").c_str());
        return 0;
    }
    return 1;
}

} // namespace

std::string PortField(const char (&field)[kPortFieldSize]) {
    return GetField(reinterpret_cast<const unsigned char*>(field), kPortFieldSize);
}

void SetPortField(char (&field)[kPortFieldSize], const std::string& text) {
    std::memset(field, 0, kPortFieldSize);
    std::memcpy(field, text.data(), text.size() < kPortFieldSize ? text.size() : kPortFieldSize);
}

void DecodePortRecord(const unsigned char* bytes, PortRecord* out) {
    std::memset(out, 0, sizeof *out);
    CopyField(out->name, bytes);
    out->mode = static_cast<char>(bytes[40]);
    out->cflag = GetLeI32(bytes + 44);
    CopyField(out->path, bytes + 48);
    CopyField(out->type, bytes + 88);
    CopyField(out->description, bytes + 128);
}

void EncodePortRecord(const PortRecord& record, unsigned char* bytes) {
    std::memset(bytes, 0, kPortRecordSize);
    PutRecordField(bytes, record.name);
    bytes[40] = static_cast<unsigned char>(record.mode);
    PutLe32(bytes + 44, static_cast<uint32_t>(record.cflag));
    PutRecordField(bytes + 48, record.path);
    PutRecordField(bytes + 88, record.type);
    PutRecordField(bytes + 128, record.description);
}

int GetPortCodes(const std::string& port, PortRecord* out) {
    std::memset(out, 0, sizeof *out);
    bool refused = false;
    int fd = OpenPlainFile("GetPortCodes", kUartPath, O_RDONLY, &refused);
    if (fd < 0) {
        if (refused) return -1;
        std::printf("ERROR OPENING FOR READ: (%s)\n", kUartPath);
        std::fflush(stdout);
        return -1;
    }
    unsigned char buf[kPortRecordSize];
    int result = -1;
    for (int i = 0; i < kUartRecords; ++i) {
        ssize_t n = ReadUpTo(fd, buf, sizeof buf);
        if (n < 0) {
            std::printf("ERROR READING: (%s) %d\n", kUartPath, i);
            std::fflush(stdout);
            break;
        }
        // The end of the file, or a partial last record: not found.
        if (static_cast<size_t>(n) < sizeof buf) break;
        if (NameMatches(buf, port)) {
            DecodePortRecord(buf, out);
            result = i;
            break;
        }
    }
    close(fd);
    return result;
}

int WriteUartFile(const PortRecord (&records)[kUartRecords]) {
    bool refused = false;
    int fd = OpenPlainFile("WriteUartFile", kUartPath, O_WRONLY, &refused);
    if (fd < 0) {
        if (refused) return -1;
        std::printf("ERROR OPENING FOR WRITE: (%s)\n", kUartPath);
        std::fflush(stdout);
        return -1;
    }
    unsigned char buf[kPortRecordSize];
    for (int i = 0; i < kUartRecords; ++i) {
        EncodePortRecord(records[i], buf);
        if (!WriteAll(fd, buf, sizeof buf)) {
            std::printf("ERROR WRITING: (%s) %d\n", kUartPath, i);
            std::fflush(stdout);
            close(fd);
            return -1;
        }
    }
    close(fd);
    return 0;
}

int GetPortType(const std::string& port) {
    struct TypeName {
        const char* type;
        int value;
    };
    static const TypeName kServo[] = {{"Ondry", 1}, {"TORVI", 2}, {"KROMI", 3}};
    static const TypeName kOit[] = {{"GEOIT", 1}, {"JOGBOX", 2}, {"V2100", 3}, {"VT100", 4}};
    const TypeName* table;
    size_t count;
    if (port == "OIT") {
        table = kOit;
        count = sizeof kOit / sizeof kOit[0];
    } else if (port == "SERVO") {
        table = kServo;
        count = sizeof kServo / sizeof kServo[0];
    } else {
        return -1;
    }
    PortRecord record;
    if (GetPortCodes(port, &record) < 0) return -1;
    const std::string type = PortField(record.type);
    for (size_t i = 0; i < count; ++i)
        if (type == table[i].type) return table[i].value;
    return 0;
}

termios RawModeSettings(const termios& in, int raw) {
    termios t = in;
    if (raw == 1) {
        t.c_cc[VINTR] = _POSIX_VDISABLE;
        t.c_cc[VMIN] = 1;
        t.c_lflag |= ISIG;
        t.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
        t.c_iflag &= ~static_cast<tcflag_t>(ICRNL);
        // The wire carries the bytes as written: no CR added before LF.
        t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    } else {
        t.c_cc[VINTR] = 0x7F;
        t.c_lflag |= ICANON | ECHO;
        t.c_iflag |= ICRNL;
        // Output processing back, which raw mode took away.
        t.c_oflag |= OPOST;
    }
    return t;
}

termios TimeoutSettings(const termios& in, int tenths) {
    termios t = in;
    const unsigned char low = static_cast<unsigned char>(tenths & 0xFF);
    t.c_cc[VMIN] = low == 0 ? 1 : 0;
    t.c_cc[VTIME] = low;
    return t;
}

termios CflagSettings(const termios& in, int cflag) {
    termios t = in;
    t.c_cflag = static_cast<tcflag_t>(cflag);
    const speed_t speed = static_cast<speed_t>(cflag & 0xF);
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    return t;
}

termios IflagSettings(const termios& in) {
    termios t = in;
    t.c_iflag |= IXON | IXOFF;
    return t;
}

int IOCTLrawmode(int fd, int raw) {
    return ApplyStep(fd, "IOCTLrawmode", RawModeSettings, raw);
}

int IOCTLtimeout(int fd, int tenths) {
    return ApplyStep(fd, "IOCTLtimeout", TimeoutSettings, tenths);
}

int IOCTLcflag(int fd, int cflag) {
    return ApplyStep(fd, "IOCTLcflag", CflagSettings, cflag);
}

int IOCTLiflag(int fd) {
    return ApplyStep(
        fd, "IOCTLiflag", [](const termios& t, int) { return IflagSettings(t); }, 0);
}
