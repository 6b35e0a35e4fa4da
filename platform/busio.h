// Byte-wise access to the I/O addresses of a bus device, as the counter
// board's device offers it: the device opened through the path seam, a seek
// to a register's address, one byte read or written. Tests put a register
// model behind it (SetBusIoHook), as they put a clock behind nap().
#pragma once

#include <string>

// Each answers as its system call does, errno set on failure: a descriptor
// or -1; the new offset or -1; the count of bytes moved (1, 0 or -1); 0 or -1.
int BusOpen(const std::string& path); // read and write, not passed to children
long BusSeek(int fd, long address);
int BusRead(int fd, unsigned char* byte);
int BusWrite(int fd, unsigned char byte);
int BusClose(int fd);

// Test seam: while set, every call above goes to the hook's routine.
struct BusIo {
    int (*open)(const std::string& path);
    long (*seek)(int fd, long address);
    int (*read)(int fd, unsigned char* byte);
    int (*write)(int fd, unsigned char byte);
    int (*close)(int fd);
};
void SetBusIoHook(const BusIo* io);
