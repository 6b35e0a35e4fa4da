// Fuzz target: the partname file that names the current part. The input is
// cut into the name of a part folder that exists (letters, digits, '_', '-'
// and '.') and the file's bytes. A part is taken only when its folder
// exists; its name is then not empty, at most 79 characters, without a NUL
// or a line end.
#include "mainmenu.h"
#include "support.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string FolderName(const std::string& raw) {
    std::string name;
    for (char c : raw)
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            c == '_' || c == '-' || c == '.')
            name += c;
    return name == "." || name == ".." ? "" : name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string folder = FolderName(in.ConsumeRandomLengthString(90));
    const std::string file = in.ConsumeRemainingBytesAsString();

    const std::string parts = FuzzRoot() + "/u/qel/part";
    std::error_code ec;
    std::filesystem::remove_all(parts, ec);
    std::filesystem::create_directories(parts, ec);
    if (!folder.empty()) std::filesystem::create_directory(parts + "/" + folder, ec);
    FuzzWrite("/u/qel/sys_data/files/partname", reinterpret_cast<const uint8_t*>(file.data()),
              file.size());

    const int valid = ReadCurrentPart();
    if (valid != 0 && valid != 1) std::abort();
    if (valid == 0) {
        if (!CurrentPart.empty()) std::abort();
        return 0;
    }
    if (CurrentPart.empty() || CurrentPart.size() > 79) std::abort();
    if (CurrentPart.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) std::abort();
    if (!std::filesystem::is_directory(parts + "/" + CurrentPart)) std::abort();
    return 0;
}
