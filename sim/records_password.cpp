// Password file writer for the demo tree and the test fixtures.
#include "records_password.h"

#include "sim_bytes.h"

#include <sstream>

std::string EncodePasswordFile(const PasswordFileData& data) {
    std::string bytes(672, '\0');
    auto* raw = reinterpret_cast<unsigned char*>(&bytes[0]);
    for (int s = 0; s < 10; ++s) {
        unsigned char* slot = raw + 11 * s;
        for (int i = 0; i < 10; ++i) {
            unsigned char c = i < static_cast<int>(data.slot[s].size())
                                  ? static_cast<unsigned char>(data.slot[s][i])
                                  : 0;
            slot[i] = static_cast<unsigned char>(c + i);
        }
        slot[10] = 0;
    }
    for (int n = 0; n < 70; ++n) {
        SimPutLe(raw + 112 + 4 * n, static_cast<uint32_t>(data.mask[n]), 4);
        SimPutLe(raw + 392 + 4 * n, static_cast<uint32_t>(data.ask[n]), 4);
    }
    return bytes;
}

bool ParsePasswordText(const std::string& text, PasswordFileData* data, std::string* error) {
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::string kind;
        if (!(words >> kind)) continue;
        const std::string where = "line " + std::to_string(lineNo) + ": ";
        int n = -1;
        if (kind == "slot") {
            std::string word;
            if (!(words >> n >> word) || n < 0 || n >= 10 || word.size() > 10) {
                *error = where + "slot <0-9> <word of at most 10 characters> expected";
                return false;
            }
            data->slot[n] = word;
        } else if (kind == "item") {
            int mask = 0, ask = 0;
            if (!(words >> n >> mask >> ask) || n < 0 || n >= 70) {
                *error = where + "item <0-69> <mask> <ask> expected";
                return false;
            }
            data->mask[n] = mask;
            data->ask[n] = ask;
        } else {
            *error = where + "slot or item expected";
            return false;
        }
    }
    return true;
}
