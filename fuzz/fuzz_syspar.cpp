// Fuzz target: syspar.bin and the configuration items the download reads.
// The table holds the file's whole words (at most 600), the rest 0, and the
// download builds its lines from any values, the scaled products included.
#include "family_a.h"
#include "le.h"
#include "serial_line.h"
#include "support.h"
#include "sysgen.h"
#include "test_hooks.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    std::vector<unsigned char> store(64 * 30, 0);
    for (int item : {7, 8, 9, 10, 21, 22, 25})
        PutLe32(&store[64 * item], in.ConsumeIntegralInRange<uint32_t>(0, 2));
    for (int item : {11, 12}) PutLeDouble(&store[64 * item], in.ConsumeFloatingPoint<double>());
    FuzzWrite("/u/qel/sys_data/files/sysgen.bin", store.data(), store.size());
    const std::vector<uint8_t> words = in.ConsumeRemainingBytes<uint8_t>();
    FuzzWrite("/u/qel/sys_data/files/syspar.bin", words.data(), words.size());

    if (FamilyA::ServoParam() != 1) std::abort();
    const size_t whole = words.size() / 4 < 600 ? words.size() / 4 : 600;
    for (size_t i = 0; i < 600; ++i) {
        const int32_t expect = i < whole ? GetLeI32(&words[4 * i]) : 0;
        if (FamilyA::SysParTable[i] != expect) std::abort();
    }
    SysgenResetForTest();
    if (InitConfigure() != 0) return 0;
    // The download's lines go to a line that takes everything.
    static const int sink = open("/dev/null", O_WRONLY | O_CLOEXEC);
    ServoLine.fd = sink;
    FamilyA::ServoDownloadParams();
    if (FamilyA::ServoCmdLine.rfind("N", 0) != 0) std::abort();
    return 0;
}
