// Shared set-up of the fuzz targets.
#include "support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

std::string gRoot;

void RemoveRoot() {
    std::error_code ec;
    if (!gRoot.empty()) std::filesystem::remove_all(gRoot, ec);
}

} // namespace

const std::string& FuzzRoot() {
    static const std::string root = [] {
        // Under $TMPDIR when set, so that a run that dies before its exit
        // handlers leaves its scratch where the runner removes it.
        const char* tmp = std::getenv("TMPDIR");
        std::string tmpl = std::string(tmp && *tmp ? tmp : "/tmp") + "/qel-fuzz-XXXXXX";
        if (!mkdtemp(tmpl.data())) {
            std::perror("FuzzRoot: mkdtemp");
            std::abort();
        }
        gRoot = tmpl;
        std::atexit(RemoveRoot);
        setenv("QEL_SANDBOX", tmpl.c_str(), 1);
        for (const char* d : {"/u/qel/sys_data/files", "/u/qel/database", "/u/qel/usr_data/misc",
                              "/u/qel/def_data/misc", "/u/qel/part", "/u/tmp"})
            std::filesystem::create_directories(tmpl + d);
        return tmpl;
    }();
    return root;
}

void FuzzWrite(const std::string& logical, const unsigned char* data, size_t size) {
    FILE* f = std::fopen((FuzzRoot() + logical).c_str(), "wb");
    if (!f) return;
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
}
