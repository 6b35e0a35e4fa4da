// Demo label files from their numbered sources: demo/labels/<letter>.txt ->
// database/<letter>vok.data (line n = label n), in ISO 8859-1.
#include "generators.h"
#include "records.h"
#include "records_text.h"

bool GenerateLabels(const std::string& source, const std::string& root, std::string* error) {
    for (char letter = 'e'; letter <= 'm'; ++letter) {
        const std::string from = source + "/labels/" + letter + ".txt";
        std::string text;
        if (!ReadFileBytes(from, &text)) continue;
        std::map<int, std::string> labels;
        if (!ParseNumberedText(text, &labels, error)) {
            *error = from + ": " + *error;
            return false;
        }
        for (auto& entry : labels) entry.second = Utf8ToLatin1(entry.second);
        const std::string to = root + "/u/qel/database/" + letter + "vok.data";
        if (!WriteFileBytes(to, LabelFileBytes(labels))) {
            *error = "cannot write " + to;
            return false;
        }
    }
    return true;
}
