// Fuzz target: the list of the files a part needs, as files4part writes
// it. Every name read is one whole line that begins with "/", without a line
// end, a NUL or "//"; the reader says there is a list exactly when it read a
// name, and reads no more than its bound.
#include "delplan.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    FILE* f = fmemopen(bytes.empty() ? nullptr : &bytes[0], bytes.size(), "r");
    if (!f) return 0;
    std::set<std::string> needed;
    const NeededList list = ReadNeededFiles(f, &needed);
    std::fclose(f);
    Check((list == NeededList::kListed) == !needed.empty());
    Check(list != NeededList::kTooLong || size > kNeededListMax);
    for (const std::string& name : needed) {
        Check(name[0] == '/');
        Check(name.find('\0') == std::string::npos);
        Check(name.find('\n') == std::string::npos);
        Check(name.find("//") == std::string::npos);
        Check(name.back() != '\r');
    }
    return 0;
}
