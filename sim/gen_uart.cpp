// Demo port table from its readable description.
#include "generators.h"
#include "records.h"
#include "records_uart.h"

bool GenerateUart(const std::string& source, const std::string& root, std::string* error) {
    std::string text;
    if (!ReadFileBytes(source + "/uart.txt", &text)) return true;
    std::vector<UartEntry> entries;
    if (!ParseUartText(text, &entries, error)) return false;
    const std::string path = root + "/u/qel/sys_data/files/uart.bin";
    if (!WriteFileBytes(path, EncodeUartFile(entries))) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}
