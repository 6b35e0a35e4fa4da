// Text database writers for the demo tree and the test fixtures.
#include "records_text.h"

#include "sim_bytes.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>

namespace {

// The leading number of a line and the position after it; false when the
// line does not begin with digits.
bool LeadingNumber(const std::string& line, long* number, size_t* after) {
    size_t i = 0;
    while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i]))) ++i;
    if (i == 0 || i > 9) return false;
    *number = std::strtol(line.substr(0, i).c_str(), nullptr, 10);
    *after = i;
    return true;
}

std::string LineError(int lineNo, const char* what) {
    return "line " + std::to_string(lineNo) + ": " + what;
}

} // namespace

bool ParseNumberedText(const std::string& source, std::map<int, std::string>* texts,
                       std::string* error) {
    std::istringstream in(source);
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        long n = 0;
        size_t at = 0;
        if (!LeadingNumber(line, &n, &at) || n < 1 || (at < line.size() && line[at] != ' ')) {
            *error = LineError(lineNo, "a number of 1 or more, then a blank, expected");
            return false;
        }
        (*texts)[static_cast<int>(n)] = at < line.size() ? line.substr(at + 1) : "";
    }
    return true;
}

std::string LabelFileBytes(const std::map<int, std::string>& labels) {
    std::string out;
    const int last = labels.empty() ? 0 : labels.rbegin()->first;
    for (int n = 1; n <= last; ++n) {
        auto it = labels.find(n);
        if (it != labels.end()) out += it->second;
        out += '\n';
    }
    return out;
}

std::string SwitchRecordBytes(const std::vector<std::string>& texts) {
    std::string out(texts.size() * 25, '\0');
    for (size_t i = 0; i < texts.size(); ++i)
        out.replace(i * 25, std::min<size_t>(texts[i].size(), 25), texts[i], 0, 25);
    return out;
}

std::string SwitchIndexBytes(const std::vector<int>& records) {
    std::string out(records.size() * 2, '\0');
    for (size_t i = 0; i < records.size(); ++i)
        SimPutLe(reinterpret_cast<unsigned char*>(&out[i * 2]), static_cast<uint16_t>(records[i]),
                 2);
    return out;
}

bool ParseSwitchText(const std::string& source, SwitchTexts* texts, std::string* error) {
    std::istringstream in(source);
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        long n = 0;
        size_t at = 0;
        const bool numbered = LeadingNumber(line, &n, &at) && n >= 1 && n <= 32767;
        const bool lettered = numbered && at + 1 < line.size() && line[at] == ' ' &&
                              line[at + 1] >= 'e' && line[at + 1] <= 'm' &&
                              (at + 2 == line.size() || line[at + 2] == ' ');
        if (!lettered) {
            *error = LineError(lineNo, "\"<number> <letter e..m> <text>\" expected");
            return false;
        }
        const char letter = line[at + 1];
        (*texts)[static_cast<int>(n)][letter] = at + 3 <= line.size() ? line.substr(at + 3) : "";
    }
    return true;
}

void BuildSwitchFiles(const SwitchTexts& texts, std::string* index,
                      std::map<char, std::string>* records) {
    std::vector<int> numbers(texts.empty() ? 0 : static_cast<size_t>(texts.rbegin()->first), 0);
    std::map<char, std::vector<std::string>> byLetter;
    for (const auto& [n, perLetter] : texts)
        for (const auto& entry : perLetter) byLetter[entry.first];
    int record = 0;
    for (const auto& [n, perLetter] : texts) {
        numbers[static_cast<size_t>(n - 1)] = ++record;
        for (auto& [letter, list] : byLetter) {
            auto it = perLetter.find(letter);
            list.push_back(it == perLetter.end() ? "" : it->second);
        }
    }
    *index = SwitchIndexBytes(numbers);
    records->clear();
    for (const auto& [letter, list] : byLetter) (*records)[letter] = SwitchRecordBytes(list);
}

std::string TitleFileBytes(const std::vector<std::string>& lines) {
    std::string header(4, '\0');
    SimPutLe(reinterpret_cast<unsigned char*>(&header[0]), lines.size(), 4);
    return TitleFileBytes(header, lines);
}

std::string TitleFileBytes(const std::string& header4, const std::vector<std::string>& lines) {
    std::string out = header4.substr(0, 4);
    out.resize(4, '\0');
    for (const std::string& line : lines) out += line + "\n";
    return out;
}

std::string Utf8ToLatin1(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        size_t extra = (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : 0;
        unsigned long code = extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
        bool ok = extra > 0 && i + extra < text.size();
        for (size_t k = 1; ok && k <= extra; ++k) {
            const unsigned char d = static_cast<unsigned char>(text[i + k]);
            if ((d & 0xC0) != 0x80) ok = false;
            code = (code << 6) | (d & 0x3F);
        }
        if (ok) i += extra;
        out += ok && code <= 0xFF ? static_cast<char>(code) : '?';
    }
    return out;
}

std::string CountedLineFileBytes(int32_t count, const std::string& text) {
    std::string out(4, '\0');
    SimPutLe(reinterpret_cast<unsigned char*>(&out[0]), static_cast<uint32_t>(count), 4);
    return out + text;
}

std::string ServoRecordBytes(const std::vector<ServoRecord>& records) {
    std::string out(records.size() * 16, '\0');
    auto* p = reinterpret_cast<unsigned char*>(&out[0]);
    for (const ServoRecord& r : records) {
        for (int16_t v :
             {r.dispManual, r.dispAuto, r.procManual, r.procAuto, r.tf, r.b, r.axis, r.line}) {
            SimPutLe(p, static_cast<uint16_t>(v), 2);
            p += 2;
        }
    }
    return out;
}

std::string StestFileBytes(const std::map<int, std::string>& texts, int records) {
    const int last = texts.empty() ? records - 1 : std::max(texts.rbegin()->first, records - 1);
    std::string bytes;
    for (int n = 0; n <= last; ++n) {
        auto it = texts.find(n);
        std::string text = it != texts.end() ? it->second.substr(0, 79) : "";
        text.resize(79, ' ');
        bytes += text + "\n";
    }
    return bytes;
}
