// Fuzz target: the password file and the prompt file. The input is cut into
// the language, password.bin (or none) and the prompt file of the language
// (or none). Every slot holds only letters and digits within its 11 bytes,
// every prompt at most 70 characters, the Service password and (with a file)
// the fixed items stand whatever the file says, and the levels asked are
// levels.
#include "pwcore.h"
#include "support.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

bool LettersAndDigits(const char* slot) {
    for (const char* p = slot; *p; ++p)
        if (!((*p >= 'A' && *p <= 'Z') || (*p >= 'a' && *p <= 'z') || (*p >= '0' && *p <= '9')))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A missing password file is reported on the console at each load.
    static std::FILE* const quiet = std::freopen("/dev/null", "w", stdout);
    (void)quiet;
    FuzzedDataProvider in(data, size);
    const int language = in.ConsumeIntegralInRange(-1, 9);
    const bool withFile = in.ConsumeBool();
    const bool withPrompts = in.ConsumeBool();
    const std::string file = in.ConsumeRandomLengthString(1000);
    const std::string prompts = in.ConsumeRemainingBytesAsString();

    const std::string promptFile =
        std::string("/u/qel/database/") +
        static_cast<char>('e' + (language >= 0 && language <= 6 ? language : 0)) + "pwprompt.txt";
    FuzzRoot();
    unlink((FuzzRoot() + kPwFileName).c_str());
    unlink((FuzzRoot() + promptFile).c_str());
    if (withFile)
        FuzzWrite(kPwFileName, reinterpret_cast<const uint8_t*>(file.data()), file.size());
    if (withPrompts)
        FuzzWrite(promptFile, reinterpret_cast<const uint8_t*>(prompts.data()), prompts.size());

    PwCoreResetForTest();
    PwLoad(language);
    const PasswordRecord& rec = PwRecord();
    for (int s = 0; s < kPwSlots; ++s) {
        if (std::memchr(rec.slot[s], 0, kPwSlotBytes) == nullptr) std::abort();
        if (!LettersAndDigits(rec.slot[s])) std::abort();
    }
    if (std::strcmp(rec.slot[PW_SERVICE], kServicePassword) != 0) std::abort();
    // The fixed items come with a file; without one no item asks.
    if (withFile && (rec.mask[12] != 4 || rec.ask[12] != 2)) std::abort();
    for (int item = 21; item <= 24; ++item)
        if (withFile && (rec.mask[item] != 8 || rec.ask[item] != 2)) std::abort();
    for (int item = 0; item < kPwItems; ++item)
        if (!withFile && (rec.mask[item] != 0 || rec.ask[item] != 0)) std::abort();
    for (int level = -1; level <= kPwPrompts; ++level)
        if (PwPrompt(level).size() > static_cast<size_t>(kPwPromptLength)) std::abort();
    if (PwLanguage() < 0 || PwLanguage() > 6) std::abort();
    for (int item = -1; item <= kPwItems; ++item) {
        const int level = PwLevelToAsk(item);
        if (level < -1 || level > PW_SERVICE) std::abort();
    }
    if (!PwAcceptEntry(0, PW_SERVICE, kServicePassword)) std::abort();
    for (int s = 0; s < kPwSlots; ++s) PwAcceptEntry(s, s % 4, rec.slot[s]);
    return 0;
}
