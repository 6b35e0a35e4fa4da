// Little-endian bytes as the install's binary files and the message queue
// hold them, put in and taken out by hand. The simulated peers and the
// fixture writers keep this copy of their own, apart from the program's
// readers, so that a fault in a reader cannot cancel itself out in a test.
#pragma once

#include <cstdint>
#include <cstring>

// The low `bytes` bytes of v at p, least significant first.
inline void SimPutLe(unsigned char* p, uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) p[i] = static_cast<unsigned char>((v >> (8 * i)) & 0xFF);
}

inline uint64_t SimGetLe(const unsigned char* p, int bytes) {
    uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

// An IEEE 754 double in its 8 bytes, least significant first.
inline void SimPutDouble(unsigned char* p, double d) {
    static_assert(sizeof(double) == 8, "IEEE 754 double");
    uint64_t bits = 0;
    std::memcpy(&bits, &d, sizeof bits);
    SimPutLe(p, bits, 8);
}
