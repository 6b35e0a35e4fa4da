// A register model of the counter board behind the bus seam
// (platform/busio.h), for the tests and the fuzz target of the board
// driver. No test framework here.
//
// A write to +0 selects the page (its low three bits: 1-3 an axis, 4 the
// status, 0 none) and sets the mode bit (8). A read of +0 gives, with no
// page selected, the identity complemented: 'M' while the mode bit is set,
// else 'E' (or a fixed byte, for a device that is no board); on page 4 the
// next status byte of the script (the last one repeats; 0 when there is
// none). The other registers read as a value of their own. Every access is
// traced ("W300=4", "R318"), and the open and close ("open /dev/imbed",
// "close").
#pragma once

#include <string>
#include <vector>

class BoardModel {
  public:
    BoardModel(); // installs itself behind the bus seam; one model at a time
    ~BoardModel();
    BoardModel(const BoardModel&) = delete;
    BoardModel& operator=(const BoardModel&) = delete;

    // The board's state.
    int page = 0;
    bool mode = false;                   // the mode bit: identity 'M'
    int fixedIdentity = -1;              // 0-255: +0 reads ~this with no page, whatever the mode
    std::vector<unsigned char> statuses; // the status bytes read on page 4, in turn
    size_t statusReads = 0;
    int control = 0; // the last control value
    int acks = 0;

    // Faults.
    bool failOpen = false;     // ENOENT
    long failSeekAt = -1;      // this address, or -2 every seek (ESPIPE)
    bool readsNothing = false; // reads give 0 bytes
    bool failWrites = false;   // writes give -1 (EIO)

    std::vector<std::string> trace;
    bool open = false;
    int opens = 0;
    // A seek outside the board's 32 addresses from 0x300 was made.
    bool strayAccess = false;

    static constexpr int kFd = 57; // the descriptor the model gives out

    // Back to the board's state at power-on, without faults, trace or opens.
    void Reset();
    // The identity a read of +0 with no page gives, before the complement.
    unsigned char Identity() const;
    // The trace since the last call.
    std::vector<std::string> TakeTrace();

    // Access of the bus seam.
    int Open(const std::string& path);
    long Seek(int fd, long address);
    int Read(int fd, unsigned char* byte);
    int Write(int fd, unsigned char byte);
    int Close(int fd);

  private:
    long at_ = 0;
};
