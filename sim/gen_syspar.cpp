// Demo system parameters from their readable source: demo/syspar.txt ->
// sys_data/files/syspar.bin. Lines "<word> <value>" (value in C notation,
// negative values allowed; '#' starts a comment); words without a line are
// 0, and the file ends after the highest word given.
#include "generators.h"
#include "records.h"

#include <cstdint>
#include <map>
#include <sstream>

bool GenerateSysPar(const std::string& source, const std::string& root, std::string* error) {
    std::string text;
    if (!ReadFileBytes(source + "/syspar.txt", &text)) return true;
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    std::map<int, int32_t> words;
    while (std::getline(in, line)) {
        ++lineNo;
        const size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        std::istringstream fields(line);
        std::string word, value;
        if (!(fields >> word)) continue;
        fields >> value;
        try {
            const int n = std::stoi(word);
            const long long v = std::stoll(value, nullptr, 0);
            if (n < 0 || n >= 600 || v < INT32_MIN || v > UINT32_MAX) throw 0;
            words[n] = static_cast<int32_t>(static_cast<uint32_t>(v));
        } catch (...) {
            *error = "demo/syspar.txt line " + std::to_string(lineNo) +
                     ": a word number (0 to 599) and a 32-bit value expected";
            return false;
        }
    }
    std::vector<int32_t> table(words.empty() ? 0 : words.rbegin()->first + 1);
    for (const auto& [n, v] : words) table[n] = v;
    const std::string path = root + "/u/qel/sys_data/files/syspar.bin";
    if (!WriteFileBytes(path, SysParBytes(table))) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}
