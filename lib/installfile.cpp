// Install files taken only as plain files.
#include "installfile.h"

#include "ospath.h"
#include "paths.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void Say(const char* who, const std::string& path, const char* what) {
    std::printf("%s: %s %s\n", who, path.c_str(), what);
    std::fflush(stdout);
}

void SayNotPlain(const char* who, const std::string& path, int flags) {
    Say(who, path,
        (flags & O_ACCMODE) == O_RDONLY ? "is not a plain file, not read"
                                        : "is not a plain file, not written");
}

// A descriptor closed when it goes out of scope.
class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

} // namespace

int OpenPlainFile(const char* who, const std::string& path, int flags, bool* refused) {
    if (refused) *refused = false;
    const std::string os = ModifyPath(path);
    // A device is not even opened: opening some has effects of its own.
    struct stat st {};
    if (os_stat(os, &st) != 0) return -1;
    if (!S_ISREG(st.st_mode)) {
        SayNotPlain(who, path, flags);
        if (refused) *refused = true;
        return -1;
    }
    // Without waiting, and checked again on what was opened: the path may
    // have been replaced since the look.
    const int fd = os_open(os, flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -1;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        SayNotPlain(who, path, flags);
        if (refused) *refused = true;
        return -1;
    }
    const int fl = ::fcntl(fd, F_GETFL);
    if (fl >= 0) ::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK);
    return fd;
}

InstallFile ReadInstallFile(const char* who, const std::string& path, size_t limit, bool wholeLines,
                            std::string* bytes) {
    bytes->clear();
    bool refused = false;
    Fd fd(OpenPlainFile(who, path, O_RDONLY, &refused));
    if (fd.get() < 0) return refused ? InstallFile::kRefused : InstallFile::kMissing;
    // One byte past the bound tells whether there is more.
    bytes->resize(limit + 1);
    size_t got = 0;
    while (got < bytes->size()) {
        const ssize_t n = ::read(fd.get(), &(*bytes)[got], bytes->size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            bytes->clear();
            Say(who, path, (std::string("cannot be read: ") + std::strerror(errno)).c_str());
            return InstallFile::kRefused;
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    if (got <= limit) {
        bytes->resize(got);
        return InstallFile::kRead;
    }
    bytes->resize(limit);
    if (wholeLines) {
        const size_t end = bytes->rfind('\n');
        bytes->resize(end == std::string::npos ? 0 : end + 1);
    }
    std::printf("%s: %s is longer than %zu bytes, only its first %zu are read\n", who, path.c_str(),
                limit, bytes->size());
    std::fflush(stdout);
    return InstallFile::kCut;
}

InstallText::InstallText(const char* who, const std::string& path, size_t limit)
    : state_(ReadInstallFile(who, path, limit, true, &bytes_)) {
    if (state_ != InstallFile::kRead && state_ != InstallFile::kCut) return;
    stream_ = fmemopen(bytes_.data(), bytes_.size(), "r");
    // No stream (no memory): taken as a file that cannot be opened.
    if (!stream_) state_ = InstallFile::kMissing;
}

InstallText::~InstallText() {
    if (stream_) std::fclose(stream_);
}
