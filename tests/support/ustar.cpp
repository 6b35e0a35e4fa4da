// ustar archives, written field by field.
#include "ustar.h"

#include <cstdio>
#include <stdexcept>

namespace {

constexpr size_t kBlock = 512;

void Put(std::string& header, size_t offset, const std::string& value, size_t width) {
    if (value.size() > width) throw std::length_error("ustar field too long: " + value);
    header.replace(offset, value.size(), value);
}

std::string Octal(unsigned long value, size_t width) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*lo", static_cast<int>(width - 1), value);
    return buf;
}

} // namespace

std::string UstarArchive(const std::vector<UstarEntry>& entries) {
    std::string out;
    for (const UstarEntry& e : entries) {
        std::string h(kBlock, '\0');
        Put(h, 0, e.name, 100);
        Put(h, 100, Octal(e.type == '5' ? 0755 : 0644, 8), 8);
        Put(h, 108, Octal(0, 8), 8);
        Put(h, 116, Octal(0, 8), 8);
        Put(h, 124, Octal(e.type == '0' ? e.body.size() : 0, 12), 12);
        Put(h, 136, Octal(1700000000, 12), 12);
        Put(h, 148, std::string(8, ' '), 8);
        h[156] = e.type;
        Put(h, 157, e.link, 100);
        Put(h, 257,
            std::string("ustar\0"
                        "00",
                        8),
            8);
        Put(h, 329, Octal(0, 8), 8);
        Put(h, 337, Octal(0, 8), 8);
        unsigned long sum = 0;
        for (unsigned char c : h) sum += c;
        Put(h, 148, Octal(sum, 7), 7);
        out += h;
        if (e.type == '0') {
            out += e.body;
            out.append((kBlock - e.body.size() % kBlock) % kBlock, '\0');
        }
    }
    out.append(2 * kBlock, '\0');
    return out;
}
