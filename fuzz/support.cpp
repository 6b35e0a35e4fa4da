// Shared set-up of the fuzz targets.
#include "support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

const std::string& FuzzRoot() {
    static const std::string root = [] {
        char tmpl[] = "/tmp/qel-fuzz-XXXXXX";
        std::string r = mkdtemp(tmpl) ? tmpl : "/tmp";
        setenv("QEL_SANDBOX", r.c_str(), 1);
        for (const char* d : {"/u/qel/sys_data/files", "/u/qel/database", "/u/qel/usr_data/misc",
                              "/u/qel/def_data/misc", "/u/tmp"})
            std::filesystem::create_directories(r + d);
        return r;
    }();
    return root;
}

void FuzzWrite(const std::string& logical, const unsigned char* data, size_t size) {
    FILE* f = std::fopen((FuzzRoot() + logical).c_str(), "wb");
    if (!f) return;
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
}
