// Writer of uart.bin.
#include "records_uart.h"

#include "sim_bytes.h"

#include <cstdlib>
#include <cstring>
#include <sstream>

namespace {

void PutText(std::string& rec, size_t at, const std::string& text) {
    rec.replace(at, text.size() < 40 ? text.size() : 40, text.substr(0, 40));
}

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

} // namespace

std::string EncodeUartRecord(const UartEntry& entry) {
    std::string rec(168, '\0');
    PutText(rec, 0, entry.name);
    rec[40] = entry.mode;
    unsigned char word[4];
    SimPutLe(word, entry.cflag, 4);
    rec.replace(44, 4, reinterpret_cast<const char*>(word), 4);
    PutText(rec, 48, entry.path);
    PutText(rec, 88, entry.type);
    PutText(rec, 128, entry.description);
    return rec;
}

std::string EncodeUartFile(const std::vector<UartEntry>& entries, int records, int extraBytes) {
    std::string bytes;
    for (int i = 0; i < records; ++i)
        bytes += EncodeUartRecord(i < static_cast<int>(entries.size()) ? entries[i] : UartEntry{});
    bytes += std::string(static_cast<size_t>(extraBytes), 'x');
    return bytes;
}

bool ParseUartText(const std::string& text, std::vector<UartEntry>* entries, std::string* error) {
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    entries->clear();
    while (std::getline(in, line)) {
        ++lineNo;
        if (Trim(line).empty() || Trim(line)[0] == '#') continue;
        std::vector<std::string> f;
        std::istringstream fields(line);
        std::string field;
        while (std::getline(fields, field, '|')) f.push_back(Trim(field));
        char* end = nullptr;
        unsigned long cflag = f.size() == 6 ? std::strtoul(f[2].c_str(), &end, 0) : 0;
        if (f.size() != 6 || f[1].size() > 1 || f[2].empty() || *end) {
            *error = "uart line " + std::to_string(lineNo) + ": expected " +
                     "name | mode | cflag | path | type | description";
            return false;
        }
        if (entries->size() == 10) {
            *error = "uart line " + std::to_string(lineNo) + ": more than ten ports";
            return false;
        }
        UartEntry e;
        e.name = f[0];
        e.mode = f[1].empty() ? '\0' : f[1][0];
        e.cflag = static_cast<uint32_t>(cflag);
        e.path = f[3];
        e.type = f[4];
        e.description = f[5];
        entries->push_back(e);
    }
    return true;
}
