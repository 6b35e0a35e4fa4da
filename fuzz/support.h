// Shared set-up of the fuzz targets: a private sandbox root.
#pragma once

#include <string>

// Creates the sandbox once (QEL_SANDBOX set; under $TMPDIR when set,
// removed at exit) and answers its root.
const std::string& FuzzRoot();
// Writes bytes to a logical install path inside the sandbox.
void FuzzWrite(const std::string& logical, const unsigned char* data, size_t size);
