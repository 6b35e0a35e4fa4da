// Binary file writers for the demo tree and the test fixtures.
#include "records.h"

#include "sim_bytes.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

bool WriteFileBytes(const std::string& osPath, const std::string& bytes) {
    std::ofstream out(osPath, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool ReadFileBytes(const std::string& osPath, std::string* bytes) {
    std::ifstream in(osPath, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    *bytes = s.str();
    return true;
}

bool WriteSysgenFile(const std::string& osPath, const std::map<int, SysgenItem>& items, int records,
                     int extraBytes) {
    int count = records;
    if (count == 0 && !items.empty()) count = items.rbegin()->first + 1;
    std::string bytes(static_cast<size_t>(count) * 64 + static_cast<size_t>(extraBytes), '\0');
    for (const auto& [n, item] : items) {
        if (n < 0 || n >= count) continue;
        auto* rec = reinterpret_cast<unsigned char*>(&bytes[static_cast<size_t>(n) * 64]);
        switch (item.kind) {
        case SysgenItem::Int:
            SimPutLe(rec, static_cast<uint64_t>(item.i), 4);
            break;
        case SysgenItem::Real:
            SimPutDouble(rec, item.r);
            break;
        case SysgenItem::Str: {
            // Blank-padded, NUL-ended within the record (a 64-character text
            // is written without its NUL, as a damaged file would hold it).
            std::memset(rec, ' ', 64);
            size_t len = item.s.size() < 64 ? item.s.size() : 64;
            std::memcpy(rec, item.s.data(), len);
            if (len < 64) rec[63] = '\0';
            break;
        }
        }
    }
    return WriteFileBytes(osPath, bytes);
}

bool ParseSysgenText(const std::string& text, std::map<int, SysgenItem>* items, int* records,
                     std::string* error) {
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::string first, kind;
        if (!(words >> first)) continue;
        if (first == "records") {
            if (!(words >> *records)) {
                *error = "line " + std::to_string(lineNo) + ": records needs a count";
                return false;
            }
            continue;
        }
        SysgenItem item;
        int n = 0;
        try {
            n = std::stoi(first);
        } catch (...) {
            *error = "line " + std::to_string(lineNo) + ": item number expected";
            return false;
        }
        words >> kind;
        std::string rest;
        std::getline(words, rest);
        size_t b = rest.find_first_not_of(" \t");
        rest = b == std::string::npos ? "" : rest.substr(b);
        while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t' || rest.back() == '\r'))
            rest.pop_back();
        if (kind == "int") {
            item.kind = SysgenItem::Int;
            item.i = std::stoll(rest, nullptr, 0);
        } else if (kind == "real") {
            item.kind = SysgenItem::Real;
            item.r = std::stod(rest);
        } else if (kind == "str") {
            item.kind = SysgenItem::Str;
            item.s = rest;
        } else {
            *error = "line " + std::to_string(lineNo) + ": kind must be int, real or str";
            return false;
        }
        (*items)[n] = item;
    }
    return true;
}

std::string SysParBytes(const std::vector<int32_t>& words) {
    std::string out(words.size() * 4, '\0');
    for (size_t i = 0; i < words.size(); ++i)
        SimPutLe(reinterpret_cast<unsigned char*>(&out[4 * i]), static_cast<uint32_t>(words[i]), 4);
    return out;
}
