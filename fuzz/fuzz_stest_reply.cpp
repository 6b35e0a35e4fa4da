// Fuzz target: bytes from the controller through the self test's line
// assembly and status decoding, with the status query asked again whenever
// the last one ended. No line is open (nothing is written); the status
// texts and a servo error database of 320 errors are installed. Every line
// shown is non-empty, and holds at most 255 characters. Bytes above 0x7F
// only end a pass with a console line (tested elsewhere): they are taken
// without their high bit, so that the log stays small.
#include "selftest.h"
#include "support.h"
#include "test_hooks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

class CheckingSink : public SelfTestSink {
  public:
    void AddLine(const std::string& text) override {
        if (text.empty() || text == "." || text.size() > 255) std::abort();
        if (++listed > kStestListLines + 1) std::abort();
    }
    void DropOldest() override {
        if (--listed != kStestListLines) std::abort();
    }
    void ShowMode(int, bool) override {}
    void Message(int) override { std::abort(); }
    void EventPass() override {}
    int listed = 0;
};

void Put16(std::string* s, size_t at, int v) {
    (*s)[at] = static_cast<char>(v & 0xFF);
    (*s)[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

void Install(const std::string& logical, const std::string& bytes) {
    FuzzWrite(logical, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

bool SetUp() {
    std::freopen("/dev/null", "w", stdout);
    // uart.bin: a SERVO record (name, mode S, cflag, a device that is not there).
    std::string uart(10 * 168, '\0');
    uart.replace(0, 5, "SERVO");
    uart[40] = 'S';
    uart.replace(48, 11, "/dev/M_NONE");
    Install("/u/qel/sys_data/files/uart.bin", uart);
    // Errors 0 to 319, error n on text line n + 1.
    std::string records(320 * 16, '\0');
    std::string texts = "    unused\n";
    Put16(&texts, 0, 321);
    for (int n = 0; n < 320; ++n) {
        Put16(&records, static_cast<size_t>(n) * 16 + 14, n + 1);
        texts += "error text " + std::to_string(n) + "\n";
    }
    Install("/u/qel/database/DBservo.data", records);
    Install("/u/qel/database/eservo.data", texts);
    std::string stest;
    for (int n = 0; n < 40; ++n) {
        std::string line = n >= 24 ? "status text " + std::to_string(n) : "";
        line.resize(79, ' ');
        stest += line + "\n";
    }
    Install("/u/qel/database/estest.data", stest);
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = SetUp();
    (void)ready;
    CheckingSink sink;
    ServoErrorDbResetForTest();
    // The line's failed open is reported on stderr each time: not here.
    static const int quiet = open("/dev/null", O_WRONLY);
    const int saved = dup(2);
    dup2(quiet, 2);
    const int opened = OpenServoPort(&sink);
    dup2(saved, 2);
    close(saved);
    if (opened != 0) std::abort();
    StartSelfTest();
    StestStatusQuery();
    for (size_t i = 0; i < size; ++i) {
        TakeServoByte(data[i] & 0x7F);
        const int state = StestState();
        if (state != kStestNormal && state != kStestStatus) std::abort();
        if (state == kStestNormal) StestStatusQuery();
    }
    CloseServoPort();
    return 0;
}
