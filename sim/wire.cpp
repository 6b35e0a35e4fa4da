// Field access of the server's record.
#include "wire.h"

#include "sim_bytes.h"

#include <cstring>

namespace wire {

namespace {
// Where a record offset lies in the text that travels.
unsigned char* At(Msg& m, size_t at) {
    return m.text + (at - kTypeWord);
}
const unsigned char* At(const Msg& m, size_t at) {
    return m.text + (at - kTypeWord);
}
size_t Fit(size_t at, size_t width) {
    return at + width > kRecordSize ? kRecordSize - at : width;
}
} // namespace

int32_t Int(const Msg& m, size_t at) {
    return static_cast<int32_t>(static_cast<uint32_t>(SimGetLe(At(m, at), 4)));
}

void SetInt(Msg& m, size_t at, int32_t value) {
    SimPutLe(At(m, at), static_cast<uint32_t>(value), 4);
}

std::string Text(const Msg& m, size_t at, size_t width) {
    width = Fit(at, width);
    const unsigned char* p = At(m, at);
    size_t n = 0;
    while (n < width && p[n]) ++n;
    return std::string(reinterpret_cast<const char*>(p), n);
}

void SetText(Msg& m, size_t at, size_t width, const std::string& text) {
    width = Fit(at, width);
    unsigned char* p = At(m, at);
    std::memset(p, 0, width);
    std::memcpy(p, text.data(), text.size() < width ? text.size() : width - 1);
}

} // namespace wire
