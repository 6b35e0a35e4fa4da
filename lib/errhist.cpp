// Error history and result-code texts.
#include "errhist.h"

#include "dbservo.h"
#include "ramdb.h"
#include "test_hooks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kNewestHistoryCode = -200;

struct HistoryEntry {
    int code = 0;
    char text[kErrHistTextSize] = {};
};

HistoryEntry ErrorHistory[kErrHistEntries];
int ErrHistCt = 0; // the slot the next entry goes into

// The error-message database; nothing loads it, so every line is "".
RamDb ErrorMessageDb;

} // namespace

void ErrHistAdd(int code, const char* detail) {
    if (code == 0 || code == kNewestHistoryCode) return;
    HistoryEntry& e = ErrorHistory[ErrHistCt];
    e.code = code;
    const std::string message = GetErrorText(code);
    if (detail)
        std::snprintf(e.text, sizeof e.text, "%s: %s", message.c_str(), detail);
    else
        std::snprintf(e.text, sizeof e.text, "%s", message.c_str());
    ErrHistCt = (ErrHistCt + 1) % kErrHistEntries;
}

std::string ErrHistGet(int* code) {
    const HistoryEntry& e = ErrorHistory[ErrHistCt == 0 ? kErrHistEntries - 1 : ErrHistCt - 1];
    if (code) *code = e.code;
    return e.text;
}

std::string GetErrorText(int code) {
    int c = static_cast<int16_t>(code);
    if (c <= -1000) c += 1000;
    if (c == kNewestHistoryCode) return ErrHistGet(nullptr);
    if (c == -128 || c == -139) return LastServoText();
    return GetRamText(ErrorMessageDb, std::abs(c));
}

void ErrHistResetForTest() {
    for (HistoryEntry& e : ErrorHistory) e = HistoryEntry{};
    ErrHistCt = 0;
}
