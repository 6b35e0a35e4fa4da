// User levels without X: password file, prompt file and the check's decision.
#include "pwcore.h"

#include "le.h"
#include "paths.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

PasswordRecord gRecord{};
std::string gPrompts[kPwPrompts];
int gLanguage = 0;

const char* const kBuiltInPrompts[] = {"Operator?", "Programmer?", "Manager?", "Service?"};

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

// Letters and digits by their codes, whatever the locale says.
bool IsPasswordChar(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

void SetSlot(PasswordRecord* rec, int slot, const char* text) {
    std::memset(rec->slot[slot], 0, kPwSlotBytes);
    std::strncpy(rec->slot[slot], text, kPwSlotBytes - 1);
}

// One line without its line end; false at the end of the file.
bool ReadLine(FILE* f, std::string* line) {
    line->clear();
    int c;
    bool any = false;
    while ((c = std::fgetc(f)) != EOF) {
        any = true;
        if (c == '\n') break;
        line->push_back(static_cast<char>(c));
    }
    while (!line->empty() && (line->back() == '\r' || line->back() == '\n')) line->pop_back();
    return any;
}

} // namespace

void PwClearRecord(PasswordRecord* rec) {
    std::memset(rec, 0, sizeof *rec);
}

void PwUnscramble(char* slot) {
    for (int i = 0; i < kPwSlotBytes - 1; ++i) {
        unsigned char c = static_cast<unsigned char>(static_cast<unsigned char>(slot[i]) - i);
        slot[i] = IsPasswordChar(c) ? static_cast<char>(c) : '\0';
    }
    slot[kPwSlotBytes - 1] = '\0';
}

void PwForceDefaults(PasswordRecord* rec) {
    SetSlot(rec, PW_SERVICE, kServicePassword);
    rec->mask[12] = 4;
    rec->ask[12] = 2;
    for (int item = 21; item <= 24; ++item) {
        rec->mask[item] = 8;
        rec->ask[item] = 2;
    }
}

int PwReadFile(PasswordRecord* rec) {
    File f(f_Fopen(kPwFileName, "rb"));
    if (!f) {
        std::fputs("\nWARNING: BINARY PASSWORD FILE NOT FOUND!\n\n", stdout);
        std::fflush(stdout);
        for (int s = PW_OPERATOR; s <= PW_MANAGER; ++s) SetSlot(rec, s, kDefaultPassword);
        SetSlot(rec, PW_SERVICE, kServicePassword);
        return 0;
    }
    unsigned char raw[kPwFileBytes] = {};
    size_t got = std::fread(raw, 1, kPwFileBytes, f.get());
    f.reset();
    (void)got; // a short file leaves the rest zero
    for (int s = 0; s < kPwSlots; ++s) {
        std::memcpy(rec->slot[s], raw + static_cast<size_t>(s) * kPwSlotBytes, kPwSlotBytes);
        PwUnscramble(rec->slot[s]);
    }
    for (int n = 0; n < kPwItems; ++n) {
        rec->mask[n] = GetLeI32(raw + kPwMaskOffset + 4 * static_cast<size_t>(n));
        rec->ask[n] = GetLeI32(raw + kPwAskOffset + 4 * static_cast<size_t>(n));
    }
    PwForceDefaults(rec);
    return 1;
}

void PwReadPrompts(int language) {
    if (language < 0 || language > 6) language = 0;
    gLanguage = language;
    std::string name = "/u/qel/database/";
    name += static_cast<char>('e' + language);
    name += "pwprompt.txt";
    File f(f_Fopen(name, "r"));
    if (!f) {
        for (int k = 0; k < 4; ++k) gPrompts[k] = kBuiltInPrompts[k];
        return;
    }
    std::string line;
    for (int k = 0; k < kPwPrompts; ++k) {
        bool read = false;
        while (ReadLine(f.get(), &line)) {
            if (!line.empty() && line[0] == '#') continue;
            read = true;
            break;
        }
        if (!read) break;
        // A three-character lead, then the text.
        gPrompts[k] = line.size() > 3 ? line.substr(3, kPwPromptLength) : std::string();
    }
}

int PwMaskLevel(int32_t mask) {
    for (int bit = 3; bit >= 0; --bit)
        if (mask & (1 << bit)) return bit;
    return -1;
}

bool PwSlotAccepted(int level, int slot) {
    switch (level) {
    case PW_SERVICE:
        return slot == PW_MANAGER || slot == PW_SERVICE;
    case PW_MANAGER:
        return slot == PW_MANAGER;
    case PW_PROGRAMMER:
        return slot == PW_PROGRAMMER || slot == PW_MANAGER;
    case PW_OPERATOR:
        return slot >= PW_OPERATOR && slot <= PW_MANAGER;
    default:
        return false;
    }
}

void PwLoad(int language) {
    PwReadPrompts(language);
    PwClearRecord(&gRecord);
    PwReadFile(&gRecord);
}

const PasswordRecord& PwRecord() {
    return gRecord;
}

const std::string& PwPrompt(int level) {
    static const std::string none;
    return level >= 0 && level < kPwPrompts ? gPrompts[level] : none;
}

int PwLanguage() {
    return gLanguage;
}

int PwLevelToAsk(int item) {
    if (item < 1 || item >= kPwItems) return -1;
    int level = PwMaskLevel(gRecord.mask[item]);
    if (level < 0 || gRecord.ask[item] == 0) return -1;
    return level;
}

bool PwAcceptEntry(int item, int level, const char* entry) {
    if (!entry) entry = "";
    bool accepted = false;
    for (int s = 0; s < kPwSlots && !accepted; ++s)
        accepted = PwSlotAccepted(level, s) && std::strncmp(entry, gRecord.slot[s], 10) == 0;
    if (accepted && item >= 0 && item < kPwItems && gRecord.ask[item] == 1) gRecord.ask[item] = 0;
    return accepted;
}

void PwCoreResetForTest() {
    PwClearRecord(&gRecord);
    for (std::string& p : gPrompts) p.clear();
    gLanguage = 0;
}
