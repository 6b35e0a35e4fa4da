// Demo title files from their readable source: demo/title.txt, lines
// "<letter> <title line>" -> database/<letter>title.data, in ISO 8859-1.
#include "generators.h"
#include "records.h"
#include "records_text.h"

#include <sstream>
#include <vector>

bool GenerateTitles(const std::string& source, const std::string& root, std::string* error) {
    std::string text;
    if (!ReadFileBytes(source + "/title.txt", &text)) return true;
    std::map<char, std::vector<std::string>> lines;
    std::istringstream in(text);
    std::string line;
    for (int lineNo = 1; std::getline(in, line); ++lineNo) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        if (line[0] < 'e' || line[0] > 'm' || (line.size() > 1 && line[1] != ' ')) {
            *error = source + "/title.txt: line " + std::to_string(lineNo) +
                     ": \"<letter e..m> <title line>\" expected";
            return false;
        }
        std::vector<std::string>& list = lines[line[0]];
        if (list.empty()) list.push_back(std::string("! ") + line[0] + "title.data");
        list.push_back(Utf8ToLatin1(line.size() > 2 ? line.substr(2) : ""));
    }
    for (const auto& [letter, list] : lines) {
        const std::string to = root + "/u/qel/database/" + letter + "title.data";
        if (!WriteFileBytes(to, TitleFileBytes(list))) {
            *error = "cannot write " + to;
            return false;
        }
    }
    return true;
}
