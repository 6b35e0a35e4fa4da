// Tagged file and memory layer.
#include "zalloc.h"

#include "paths.h"

#include <cstdlib>

FILE* zfopen(const char* /*tag*/, const std::string& path, const char* mode) {
    return f_Fopen(path, mode);
}

int zfclose(const char* /*tag*/, FILE* file) {
    if (!file) return EOF;
    return std::fclose(file);
}

void* zmalloc(const char* /*tag*/, const char* /*name*/, long long size) {
    if (size < 0 || static_cast<unsigned long long>(size) > static_cast<size_t>(-1) / 2)
        return nullptr;
    return std::calloc(1, static_cast<size_t>(size));
}

void zfree(const char* /*tag*/, const char* /*name*/, void* block) {
    std::free(block);
}
