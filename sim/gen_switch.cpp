// Demo switch database from its readable source: demo/switch.txt ->
// database/DBswitch.data and database/<letter>switch.data, in ISO 8859-1.
#include "generators.h"
#include "records.h"
#include "records_text.h"

bool GenerateSwitch(const std::string& source, const std::string& root, std::string* error) {
    std::string text;
    if (!ReadFileBytes(source + "/switch.txt", &text)) return true;
    SwitchTexts texts;
    if (!ParseSwitchText(text, &texts, error)) {
        *error = source + "/switch.txt: " + *error;
        return false;
    }
    for (auto& perNumber : texts)
        for (auto& perLetter : perNumber.second) perLetter.second = Utf8ToLatin1(perLetter.second);
    std::string index;
    std::map<char, std::string> records;
    BuildSwitchFiles(texts, &index, &records);
    const std::string db = root + "/u/qel/database/";
    bool ok = WriteFileBytes(db + "DBswitch.data", index);
    for (const auto& [letter, bytes] : records)
        ok = ok && WriteFileBytes(db + letter + "switch.data", bytes);
    if (!ok) *error = "cannot write the switch database under " + db;
    return ok;
}
