// Demo servo error database from its readable source: demo/servo.txt ->
// database/DBservo.data and database/<letter>servo.data, in ISO 8859-1.
//
// Lines ('#' starts a comment):
//   error <number> <display m> <display a> <process m> <process a> <TF> <B> <axis> <line>
//   text <line> <letter> <text>
// Error numbers without a line get zero records; text lines without a text
// are empty; line 0 of a text file is never used by a record.
#include "generators.h"
#include "records.h"
#include "records_text.h"

#include <map>
#include <sstream>

namespace {

bool Fail(std::string* error, int lineNo, const char* what) {
    *error = "demo/servo.txt line " + std::to_string(lineNo) + ": " + what;
    return false;
}

bool ParseServoText(const std::string& text, std::map<int, ServoRecord>* records,
                    SwitchTexts* texts, std::string* error) {
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::string kind;
        if (!(words >> kind) || kind[0] == '#') continue;
        if (kind == "error") {
            int n = -1;
            int f[8];
            words >> n;
            for (int& v : f) words >> v;
            if (!words || n < 0 || n > 32767) return Fail(error, lineNo, "error and nine numbers");
            (*records)[n] = ServoRecord{static_cast<int16_t>(f[0]), static_cast<int16_t>(f[1]),
                                        static_cast<int16_t>(f[2]), static_cast<int16_t>(f[3]),
                                        static_cast<int16_t>(f[4]), static_cast<int16_t>(f[5]),
                                        static_cast<int16_t>(f[6]), static_cast<int16_t>(f[7])};
        } else if (kind == "text") {
            int n = -1;
            std::string letter, rest;
            words >> n >> letter;
            std::getline(words, rest);
            if (!words || n < 0 || n > 32767 || letter.size() != 1)
                return Fail(error, lineNo, "text, a line number, a letter and the text");
            (*texts)[n][letter[0]] = rest.empty() ? "" : rest.substr(1);
        } else {
            return Fail(error, lineNo, "error or text expected");
        }
    }
    return true;
}

} // namespace

bool GenerateServo(const std::string& source, const std::string& root, std::string* error) {
    std::string text;
    if (!ReadFileBytes(source + "/servo.txt", &text)) return true;
    std::map<int, ServoRecord> records;
    SwitchTexts texts;
    if (!ParseServoText(text, &records, &texts, error)) return false;
    const std::string db = root + "/u/qel/database/";
    std::vector<ServoRecord> table(records.empty() ? 0 : records.rbegin()->first + 1);
    for (const auto& [n, r] : records) table[n] = r;
    bool ok = WriteFileBytes(db + "DBservo.data", ServoRecordBytes(table));
    std::map<char, std::map<int, std::string>> byLetter;
    for (const auto& [n, perLetter] : texts)
        for (const auto& [letter, t] : perLetter) byLetter[letter][n] = Utf8ToLatin1(t);
    for (const auto& [letter, lines] : byLetter) {
        const int count = lines.rbegin()->first + 1;
        std::string body;
        for (int n = 0; n < count; ++n) {
            auto it = lines.find(n);
            body += (it != lines.end() ? it->second : "") + "\n";
        }
        ok = ok && WriteFileBytes(db + letter + "servo.data", CountedLineFileBytes(count, body));
    }
    if (!ok) *error = "cannot write the servo error database under " + db;
    return ok;
}
