// Demo configuration store from its readable description.
#include "generators.h"
#include "records.h"

bool GenerateSysgen(const std::string& source, const std::string& root, std::string* error) {
    return GenerateSysgenWith(source, root, {}, error);
}

bool GenerateSysgenWith(const std::string& source, const std::string& root,
                        const std::map<int, SysgenItem>& replaced, std::string* error) {
    std::string text;
    if (!ReadFileBytes(source + "/sysgen.txt", &text)) return true;
    std::map<int, SysgenItem> items;
    int records = 0;
    if (!ParseSysgenText(text, &items, &records, error)) return false;
    for (const auto& [n, item] : replaced) items[n] = item;
    const std::string files = root + "/u/qel/sys_data/files/";
    if (!WriteSysgenFile(files + "sysgen.bin", items, records) ||
        !WriteSysgenFile(files + "Dsysgen.bin", items, records)) {
        *error = "cannot write " + files + "sysgen.bin";
        return false;
    }
    return true;
}
