// Fuzz target: the counter board's event detection over an arbitrary
// sequence of status bytes, against the board's register model: the
// identity stays 0, 'E' or 'M', every access stays within the board's
// addresses, an event once seen is reported on every later poll, and the
// device is closed with no page selected.
#include "board_model.h"
#include "imbed.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::FILE* const quiet = std::freopen("/dev/null", "w", stdout);
    (void)quiet;
    static BoardModel board;
    if (size == 0) return 0;
    board.Reset();
    board.mode = data[0] & 1;
    board.fixedIdentity = data[0] & 2 ? data[0] : -1;
    board.statuses.assign(data + 1, data + size);
    ImbedBoardId = 0;
    const int present = ImbedPing();
    if (ImbedBoardId != 0 && ImbedBoardId != 'E' && ImbedBoardId != 'M') std::abort();
    if (present != (ImbedBoardId != 0)) std::abort();
    if (ImbedServoOpen() != 1) std::abort();
    bool seen = false;
    for (size_t i = 1; i < size; ++i) {
        const int event = ImbedPollEvent();
        if (seen && !event) std::abort();
        seen = seen || event;
        if (ImbedBoardId != 0 && ImbedBoardId != 'E' && ImbedBoardId != 'M') std::abort();
    }
    if (seen && (ImbedBoardId != 'M' || ImbedStatus() != 1)) std::abort();
    CloseImbed();
    if (board.open || ImbedFd != -1 || board.page != 0 || board.strayAccess) std::abort();
    return 0;
}
