// Little-endian field access for the binary files and messages of the system.
// Fields are read and written byte by byte, never by casting a struct over a
// buffer, so the layout holds whatever the host.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

inline uint16_t GetLe16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t GetLe32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline uint64_t GetLe64(const unsigned char* p) {
    return static_cast<uint64_t>(GetLe32(p)) | (static_cast<uint64_t>(GetLe32(p + 4)) << 32);
}
inline int16_t GetLeI16(const unsigned char* p) {
    return static_cast<int16_t>(GetLe16(p));
}
inline int32_t GetLeI32(const unsigned char* p) {
    return static_cast<int32_t>(GetLe32(p));
}
inline double GetLeDouble(const unsigned char* p) {
    uint64_t bits = GetLe64(p);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

inline void PutLe16(unsigned char* p, uint16_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}
inline void PutLe32(unsigned char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
inline void PutLe64(unsigned char* p, uint64_t v) {
    PutLe32(p, static_cast<uint32_t>(v));
    PutLe32(p + 4, static_cast<uint32_t>(v >> 32));
}
inline void PutLeDouble(unsigned char* p, double d) {
    uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    PutLe64(p, bits);
}

// A NUL-ended text field of a fixed width: read within its width.
inline std::string GetField(const unsigned char* p, size_t width) {
    size_t n = 0;
    while (n < width && p[n]) ++n;
    return std::string(reinterpret_cast<const char*>(p), n);
}
// Writes text into a field of width bytes: at most width - 1 characters, the
// rest zero-filled. Returns false when the text had to be cut.
inline bool PutField(unsigned char* p, size_t width, const std::string& text) {
    size_t n = text.size() < width ? text.size() : width - 1;
    std::memset(p, 0, width);
    std::memcpy(p, text.data(), n);
    return n == text.size();
}
