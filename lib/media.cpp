// The media table's records, and reading and replacing the file.
#include "media.h"

#include "ospath.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A field's text up to its NUL; the whole field when it holds none.
std::string FieldText(const MediaRecord& r, size_t at, size_t width) {
    const char* p = reinterpret_cast<const char*>(r.bytes + at);
    return std::string(p, strnlen(p, width));
}

void Say(const std::string& text) {
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
}

// A descriptor closed when it goes out of scope, unless closed before.
class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int Close() {
        const int r = ::close(fd_);
        fd_ = -1;
        return r;
    }

  private:
    int fd_;
};

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

int32_t MediaEnable(const MediaRecord& r) {
    const unsigned char* p = r.bytes + kMediaEnableAt;
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 |
                                static_cast<uint32_t>(p[3]) << 24);
}

void SetMediaEnable(MediaRecord& r, int32_t enable) {
    const uint32_t v = static_cast<uint32_t>(enable);
    for (int i = 0; i < 4; ++i)
        r.bytes[kMediaEnableAt + i] = static_cast<unsigned char>(v >> (8 * i));
}

std::string MediaLabel(const MediaRecord& r) {
    return FieldText(r, kMediaLabelAt, kMediaLabelWidth);
}

std::string MediaDevice(const MediaRecord& r) {
    const std::string device = FieldText(r, kMediaDeviceAt, kMediaDeviceWidth);
    return device.size() < kMediaDeviceWidth ? device : "";
}

void ClearMediaDevice(MediaRecord& r) {
    r.bytes[kMediaDeviceAt] = 0;
}

bool MediaDeviceUsable(const std::string& device) {
    if (device.empty()) return false;
    return SandboxRoot().empty() || IsRerootedPath(device);
}

std::string RefusedMediumText(const std::string& notFoundText, const std::string& continueText) {
    return std::string(kMediaFile) + " " + notFoundText + "\n" + continueText;
}

std::vector<MediaRecord> SelectableMedia(const std::string& fileBytes) {
    std::vector<MediaRecord> media;
    for (size_t at = 0; at + kMediaRecordSize <= fileBytes.size(); at += kMediaRecordSize) {
        MediaRecord r;
        std::memcpy(r.bytes, fileBytes.data() + at, kMediaRecordSize);
        if (MediaEnable(r) == 0) continue;
        media.push_back(r);
        if (static_cast<int>(media.size()) == kMediaMax) break;
    }
    return media;
}

MediaTable ParseMediaTable(const std::string& fileBytes) {
    MediaTable table;
    size_t at = 0;
    while (static_cast<int>(table.records.size()) < kMediaMax &&
           at + kMediaRecordSize <= fileBytes.size()) {
        MediaRecord r;
        std::memcpy(r.bytes, fileBytes.data() + at, kMediaRecordSize);
        table.records.push_back(r);
        at += kMediaRecordSize;
    }
    table.rest = fileBytes.substr(at);
    return table;
}

std::string MediaTableBytes(const MediaTable& table) {
    std::string bytes;
    bytes.reserve(table.records.size() * kMediaRecordSize + table.rest.size());
    for (const MediaRecord& r : table.records)
        bytes.append(reinterpret_cast<const char*>(r.bytes), kMediaRecordSize);
    bytes += table.rest;
    return bytes;
}

InstallFile ReadMediaFile(const char* who, const std::string& path, std::string* bytes) {
    return ReadInstallFile(who, path, kMediaFileMax, false, bytes);
}

bool WriteMediaFile(const std::string& path, const std::string& bytes) {
    const std::string temp = path + ".new";
    mode_t mode = 0644;
    struct stat st {};
    if (os_stat(path, &st) == 0) mode = st.st_mode & 07777;
    Fd fd(os_open(temp, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, mode));
    if (fd.get() < 0) {
        Say("WriteMediaFile: cannot create " + temp + ": " + std::strerror(errno));
        return false;
    }
    const char* failed = nullptr;
    if (::fchmod(fd.get(), mode) != 0)
        failed = "set the permission of";
    else if (!WriteAll(fd.get(), bytes))
        failed = "write";
    else if (::fsync(fd.get()) != 0)
        failed = "sync";
    else if (fd.Close() != 0)
        failed = "close";
    else if (os_rename(temp, path) != 0)
        failed = "rename";
    if (!failed) return true;
    Say(std::string("WriteMediaFile: cannot ") + failed + " " + temp + ": " + std::strerror(errno));
    os_unlink(temp);
    return false;
}
