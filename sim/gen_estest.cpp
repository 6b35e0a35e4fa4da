// The self test's status texts of the demo tree from their readable source:
// demo/estest.txt ("<record> <text>" lines) -> database/estest.data, fixed
// records of 80 bytes (always English).
#include "generators.h"
#include "records.h"
#include "records_text.h"

bool GenerateStest(const std::string& source, const std::string& root, std::string* error) {
    const std::string from = source + "/estest.txt";
    std::string text;
    if (!ReadFileBytes(from, &text)) return true;
    std::map<int, std::string> records;
    if (!ParseNumberedText(text, &records, error)) {
        *error = from + ": " + *error;
        return false;
    }
    const std::string to = root + "/u/qel/database/estest.data";
    if (!WriteFileBytes(to, StestFileBytes(records))) {
        *error = "cannot write " + to;
        return false;
    }
    return true;
}
