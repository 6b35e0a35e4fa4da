// Install files taken only as plain files.
//
// The install tree's own tables (media.bin, uart.bin, uart.txt, the printers
// lists, DOSHELLS) are read as files of a known, small form. In place of one
// of them a FIFO would hold the program in open for good, and a link to a
// device such as /dev/zero would feed a reader without end. Their readers
// therefore go through this module:
//   - a path that is not a plain file (its links followed) is refused, and a
//     device in its place is never opened; the open itself never waits;
//   - no more is read than the reader's format can hold: a longer file is
//     cut there (a text file at the last line end within the bound).
// A refusal and a cut are each one console line naming the file; a file that
// cannot be opened at all is left to the caller, which has its own line.
// Paths are the install's own: they are translated (ModifyPath) and reach
// the OS through the platform seam.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

enum class InstallFile {
    kRead,    // the whole file
    kCut,     // the file is longer than the bound; its first part was read
    kMissing, // it cannot be opened (errno tells why); nothing said
    kRefused, // not a plain file, or a read failed; said on the console
};

// Opens the file with flags (O_RDONLY or O_WRONLY, without O_CREAT) when it
// is a plain file: a descriptor in blocking mode, or -1. A path that is not
// a plain file gives -1, *refused (when given) true and a console line
// "<who>: <path> is not a plain file, not read" ("not written" for a write);
// any other failure leaves *refused false and errno as the system set it.
int OpenPlainFile(const char* who, const std::string& path, int flags, bool* refused = nullptr);

// Reads at most limit bytes of the plain file into *bytes. With wholeLines a
// cut keeps only the lines whose line end lies within the bound. A cut says
// "<who>: <path> is longer than <limit> bytes, only its first <n> are read".
InstallFile ReadInstallFile(const char* who, const std::string& path, size_t limit, bool wholeLines,
                            std::string* bytes);

// An install text file as a stream for the line readers: the whole lines
// that ReadInstallFile gives.
class InstallText {
  public:
    InstallText(const char* who, const std::string& path, size_t limit);
    ~InstallText();
    InstallText(const InstallText&) = delete;
    InstallText& operator=(const InstallText&) = delete;

    InstallFile state() const { return state_; }
    // The stream over what was read; null when the file was missing or
    // refused.
    FILE* stream() const { return stream_; }

  private:
    std::string bytes_;
    InstallFile state_;
    FILE* stream_ = nullptr;
};
