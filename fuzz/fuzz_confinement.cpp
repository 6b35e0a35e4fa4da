// Fuzz target: what the delete screen may remove. Input: a scope byte, then
// the path. Nothing outside the install tree is ever accepted: a path
// accepted, resolved lexically by the file-system library, lies strictly
// below /u/qel/; a whole folder two levels below it at least; a part
// directly in /u/qel/part/.
#include "delplan.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const DelScope scopes[] = {DelScope::kFile, DelScope::kWalk, DelScope::kFolder,
                               DelScope::kPart};
    const DelScope scope = scopes[data[0] % 4];
    const std::string path(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (!DeletionAllowed(path, scope)) return 0;
    Check(path.find('\0') == std::string::npos);
    std::vector<std::string> parts;
    for (const auto& p : std::filesystem::path(path).lexically_normal())
        if (!p.empty() && p != "/") parts.push_back(p.string());
    Check(!path.empty() && path[0] == '/');
    Check(parts.size() >= 3 && parts[0] == "u" && parts[1] == "qel");
    for (const std::string& p : parts) Check(p != ".." && p != ".");
    if (scope == DelScope::kFolder) Check(parts.size() >= 4);
    if (scope == DelScope::kPart) Check(parts.size() == 4 && parts[2] == "part");
    return 0;
}
