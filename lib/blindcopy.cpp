// Blind copies.
#include "blindcopy.h"

#include "debug.h"
#include "paths.h"
#include "zalloc.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/stat.h>

namespace {

constexpr int kTrace = 0x400;
constexpr const char* kTag = "f_CopyBlind";
constexpr size_t kMarkerLength = sizeof kFormFeedMarker - 1;

constexpr int kCopied = 0;
constexpr int kNoMemory = -22;
constexpr int kMissing = -90;
constexpr int kWriteFailed = -98;
constexpr int kReadFailed = -131;
constexpr int kOpenFailed = -163;

struct CloseFile {
    const char* tag;
    void operator()(FILE* f) const { zfclose(tag, f); }
};
using File = std::unique_ptr<FILE, CloseFile>;

struct FreeBlock {
    void operator()(char* p) const { zfree(kTag, "ptr", p); }
};
using Block = std::unique_ptr<char, FreeBlock>;

File Open(const char* tag, const std::string& path, const char* mode) {
    return File(zfopen(tag, path, mode), CloseFile{tag});
}

void Say(const char* text) {
    std::printf("%s", text);
    std::fflush(stdout);
}

// The whole input into a new block: kCopied, kNoMemory or kReadFailed.
int ReadWhole(FILE* in, size_t size, Block* block) {
    block->reset(static_cast<char*>(zmalloc(kTag, "ptr", static_cast<long long>(size))));
    if (!*block) return kNoMemory;
    if (std::fread(block->get(), 1, size, in) != size) return kReadFailed;
    return kCopied;
}

// Writes the bytes and closes the file: a short write, or a flush or close
// that fails (a full disk shows only there), gives kWriteFailed.
int WriteAndClose(File out, const char* bytes, size_t length) {
    bool ok = length == 0 || std::fwrite(bytes, 1, length, out.get()) == length;
    ok = std::fflush(out.get()) == 0 && ok;
    ok = std::fclose(out.release()) == 0 && ok;
    return ok ? kCopied : kWriteFailed;
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

int Copy(const std::string& inPath, const std::string& outPath, unsigned int flags) {
    struct stat inStat {};
    if (f_Stat(inPath, &inStat) != 0 || inStat.st_size <= 0) return kMissing;
    if (static_cast<uintmax_t>(inStat.st_size) >= SIZE_MAX / 2) return kNoMemory;
    const size_t size = static_cast<size_t>(inStat.st_size);

    struct stat outStat {};
    const bool same = f_Stat(outPath, &outStat) == 0 && SameFile(inStat, outStat);
    File out;
    // A distinct output is made (or emptied) before the input is read; one
    // that is the input itself only after the input was read whole.
    if (!same) {
        out = Open("f_CopyBlind out", outPath, "w+");
        if (!out) return kOpenFailed;
    }
    File in = Open("f_CopyBlind in", inPath, "r");
    if (!in) return kOpenFailed;
    Block block;
    const int read = ReadWhole(in.get(), size, &block);
    if (read != kCopied) return read;
    in.reset();
    if (same) {
        out = Open("f_CopyBlind out", outPath, "w+");
        if (!out) return kOpenFailed;
    }

    const char* start = block.get();
    size_t length = size;
    if ((flags & kDropLeadingFF) && length >= kMarkerLength &&
        std::memcmp(start, kFormFeedMarker, kMarkerLength) == 0) {
        start += kMarkerLength;
        length -= kMarkerLength;
        Say("Skipping the initial FF\n");
    }
    if ((flags & kDropTrailingFF) && length >= kMarkerLength &&
        std::memcmp(start + length - kMarkerLength, kFormFeedMarker, kMarkerLength) == 0) {
        length -= kMarkerLength;
        Say("Skipping the trailing FF\n");
    }
    return WriteAndClose(std::move(out), start, length);
}

} // namespace

int f_CopyBlindFF(const std::string& in, const std::string& out, unsigned int flags) {
    DebugPrint(kTrace, 0, "%s: in = %s; out = %s\n", kTag, in.c_str(), out.c_str());
    const int result = Copy(in, out, flags);
    DebugPrint(kTrace, 0, "%s: RetVal = %d\n", kTag, result);
    return result;
}
