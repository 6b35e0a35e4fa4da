// The probe changer's letters.
#include "probe_changer.h"

#include "linereader.h"
#include "nap.h"
#include "paths.h"
#include "ports.h"
#include "serial_line.h"

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

constexpr const char* kToolInvList = "/u/qel/run_data/toolchange/ToolInvList";
constexpr const char* kTilAcr1 = "/u/qel/run_data/toolchange/TIL.ACR1";
constexpr long kLetterPauseMs = 2000;

void Console(const char* text) {
    std::printf("%s", text);
    std::fflush(stdout);
}

// The inventory's first word, at most 83 characters; false when the file
// does not open or holds no word.
bool InventoryWord(const char* path, std::string* word) {
    UniqueFile f(f_Fopen(path, "r"));
    char buf[84] = {};
    if (!f || std::fscanf(f.get(), "%83s", buf) != 1) return false;
    *word = buf;
    return true;
}

bool StartsWith(const std::string& word, const char* prefix) {
    return word.compare(0, std::string(prefix).size(), prefix) == 0;
}

} // namespace

void SendChangerState(int changerType, int beforeHoming) {
    if (changerType != 1 && changerType != 2 && changerType != 4 && changerType != 6) return;
    PortRecord record;
    if (GetPortCodes("PCHANGER", &record) < 0) {
        Console("ERROR: PCHANGER not in GetPortCodes\n");
        return;
    }
    const int fd = OpenSerialDevice(PortField(record.path));
    if (fd < 0) {
        std::printf("ERROR: %s not available\n", "/dev/M_PCHANGER");
        std::fflush(stdout);
        return;
    }
    IOCTLrawmode(fd, 1);
    IOCTLcflag(fd, record.cflag);
    std::string word;
    if (!InventoryWord(changerType <= 2 ? kToolInvList : kTilAcr1, &word)) {
        Console("ERROR: Inventory file not available\n");
        close(fd);
        return;
    }
    const bool noProbe =
        StartsWith(word, "NONE") || StartsWith(word, "EMPTY") || StartsWith(word, "NOTOOL");
    const char* letters = noProbe ? (beforeHoming ? "DI" : "DJ") : "KJ";
    for (const char* l = letters; *l; ++l) {
        if (!WriteBounded(fd, std::string(1, *l) + "\r")) std::perror("SendChangerState()");
        nap(kLetterPauseMs);
    }
    close(fd);
}
