// Counter-board driver: register access, identity, set-up, the homing
// event.
#include "imbed.h"

#include "busio.h"
#include "family_a.h"

#include <cstdio>

int ImbedFd = -1;
int ImbedError = 0;
int ImbedBaseWord = kImbedBase;
unsigned char ImbedBoardId = 0;
int ImbedHomedBit = 0;

namespace {

constexpr const char* kDevice = "/dev/imbed";

// Register offsets.
constexpr int kPage = 0, kControl = 2, kAck = 8;
constexpr int kCounter[] = {16, 18, 20, 22};
constexpr int kAxisFlags = 24, kAxisReg = 30;
// Pages written to +0, and the mode bit.
constexpr int kNoPage = 0, kStatusPage = 4, kModeHomed = 8;
// Status bits.
constexpr unsigned char kLatchEvent = 0x10, kEventA = 0x08, kEvents = 0x1C;

int OpenFlag = 0;
int OpenBase = 0;
// Set up during this open, and a page possibly still selected.
bool PageLeft = false;
// Event state, from one set-up to the next.
unsigned char PrevStatus = 0xFF;
unsigned char Edges = 0;
char Latched = 0;
char EventA = 0;

void Put(int offset, int byte) {
    WriteChan(ImbedBaseWord + offset, byte);
}

unsigned char Get(int offset) {
    return ReadChan(ImbedBaseWord + offset);
}

unsigned char Status() {
    Put(kPage, kStatusPage);
    return Get(kPage);
}

void Report(const char* what) {
    std::printf("%s error %d\n", what, ImbedError);
    std::fflush(stdout);
}

bool IsBoard(unsigned char id) {
    return id == 'E' || id == 'M';
}

} // namespace

int OpenImbed(int base) {
    if (OpenFlag) return base == OpenBase ? 0 : kImbedOtherBase;
    const int fd = BusOpen(kDevice);
    if (fd < 0) {
        std::perror("/dev/imbed open error");
        return kImbedNoDevice;
    }
    if (BusSeek(fd, base) < 0) {
        std::perror("/dev/imbed lseek error");
        BusClose(fd);
        return kImbedSeekFailed;
    }
    ImbedFd = fd;
    OpenFlag = 1;
    OpenBase = base;
    return 0;
}

void WriteChan(int address, int byte) {
    ImbedError = 0;
    if (!OpenFlag)
        ImbedError = kImbedNotOpen;
    else if (BusSeek(ImbedFd, address) < 0)
        ImbedError = kImbedSeekFailed;
    else if (BusWrite(ImbedFd, static_cast<unsigned char>(byte)) != 1)
        ImbedError = kImbedWriteFailed;
    if (ImbedError) Report("WriteChan");
}

unsigned char ReadChan(int address) {
    ImbedError = 0;
    unsigned char byte = 0;
    if (!OpenFlag)
        ImbedError = kImbedNotOpen;
    else if (BusSeek(ImbedFd, address) < 0)
        ImbedError = kImbedSeekFailed;
    else if (BusRead(ImbedFd, &byte) != 1)
        ImbedError = kImbedReadFailed;
    if (ImbedError) {
        Report("ReadChan");
        byte = 0;
    }
    return byte;
}

int CloseImbed() {
    // A cancelled homing wait leaves the status page selected; the next
    // identity read would take the status for the identity.
    if (OpenFlag && PageLeft) ImbedSetMode(ImbedStatus());
    if (ImbedFd >= 0) BusClose(ImbedFd);
    ImbedFd = -1;
    OpenFlag = 0;
    OpenBase = 0;
    PageLeft = false;
    ImbedError = 0;
    return 0;
}

unsigned char ImbedBoardType() {
    ImbedBaseWord = kImbedBase;
    const int r = OpenImbed(kImbedBase);
    if (r != 0) {
        std::printf("OpenImbed failed: %d\n", r);
        std::fflush(stdout);
        return 0;
    }
    const unsigned char id = static_cast<unsigned char>(~Get(kPage));
    return IsBoard(id) ? id : 0;
}

void ImbedInit() {
    ImbedBaseWord = kImbedBase;
    EventA = Latched = 0;
    Edges = 0;
    PrevStatus = 0xFF;
    PageLeft = true;
    for (int page = 1; page <= 3; ++page) {
        Put(kPage, page);
        Get(kAxisFlags);
    }
    Put(kPage, kNoPage);
    Put(kControl, 0);
    const unsigned char s = Status();
    Put(kControl, (s >> 5) | 6);
}

void ImbedSetMode(int flag) {
    Put(kPage, flag ? kModeHomed : 0);
    Put(kControl, 0);
    PageLeft = false;
}

int ImbedPing() {
    ImbedBoardId = ImbedBoardType();
    const bool present = IsBoard(ImbedBoardId);
    if (present) {
        ImbedInit();
        ImbedSetMode(ImbedStatus());
    }
    CloseImbed();
    return present ? 1 : 0;
}

int ImbedStatus() {
    ImbedHomedBit = (ImbedBoardId & 0x08) != 0;
    return ImbedHomedBit;
}

int ImbedServoOpen() {
    if (OpenImbed(kImbedBase) != 0) return 0;
    ImbedInit();
    EventA = Latched = 0;
    return 1;
}

int ImbedPollEvent() {
    bool stillUp = false;
    if (Edges & kEvents) {
        Put(kPage, kStatusPage);
        for (int i = 0; i < 3 && !stillUp; ++i) stillUp = (Get(kPage) & kEvents) != 0;
    }
    if (!stillUp) {
        const unsigned char s = Status();
        Edges = static_cast<unsigned char>((s ^ PrevStatus) & s);
        PrevStatus = s;
        if ((Edges & kLatchEvent) && !Latched) {
            const unsigned char latch = Status();
            Put(kControl, 1);
            Put(kControl, (latch >> 5) & 0xFE);
            for (int page = 1; page <= 3; ++page) {
                Put(kPage, page);
                for (int offset : kCounter) Get(offset);
            }
            Put(kPage, kNoPage);
            Put(kAck, 0);
            Latched = 1;
        }
        if (Edges & kEventA) EventA = 1;
    }
    if (!Latched && !EventA) return 0;
    for (int page = 1; page <= 3; ++page) {
        Put(kPage, page);
        Get(kAxisReg);
    }
    ImbedSetMode(1);
    ImbedBoardId = 'M';
    return 1;
}

namespace CounterBoard {
const ControllerDriver kDriver = {
    ImbedServoOpen, nullptr, CloseImbed, nullptr, ImbedPing, ImbedStatus, FamilyA::ServoParam,
};
} // namespace CounterBoard
