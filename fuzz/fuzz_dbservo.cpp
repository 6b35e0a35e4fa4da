// Fuzz target: the servo error database, DBservo.data and its counted text
// file cut from the input. Every lookup fits the caller's buffer, the last
// text stays within 255 characters, and a freed database answers nothing.
#include "dbservo.h"
#include "support.h"
#include "test_hooks.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const size_t buffer = in.ConsumeIntegralInRange<size_t>(1, 120);
    const std::string texts = in.ConsumeRandomLengthString(4000);
    const std::string records = in.ConsumeRemainingBytesAsString();
    FuzzWrite("/u/qel/database/eservo.data", reinterpret_cast<const unsigned char*>(texts.data()),
              texts.size());
    FuzzWrite("/u/qel/database/DBservo.data",
              reinterpret_cast<const unsigned char*>(records.data()), records.size());
    ServoErrorDbResetForTest();
    if (InitServoErrorDb() != 0) {
        if (ServoErrorCount() != 0) std::abort();
        return 0;
    }
    const int count = ServoErrorCount();
    if (count != static_cast<int>(records.size() / 16)) std::abort();
    std::vector<char> text(buffer + 1, '#');
    for (int n = -1; n <= count; ++n) {
        for (int manual : {0, 1}) {
            int proc = 0, disp = 0;
            text[buffer] = '#';
            const int r = GetServoError(n, manual, &proc, &disp, text.data(), buffer);
            if ((r == 0) != (n >= 0 && n < count)) std::abort();
            if (text[buffer] != '#') std::abort();
            if (r == 0 && std::strlen(text.data()) >= buffer) std::abort();
        }
    }
    if (std::strlen(LastServoText()) > 255) std::abort();
    FreeServoData();
    char one[8];
    int proc, disp;
    if (GetServoError(0, 1, &proc, &disp, one, sizeof one) != -1) std::abort();
    return 0;
}
