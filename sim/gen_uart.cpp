// Demo port table from its readable description.
#include "generators.h"
#include "records.h"
#include "records_uart.h"

namespace {

// The table, with the SERVO record's type and description replaced when
// servoType is set.
bool WriteUart(const std::string& source, const std::string& root, const std::string& servoType,
               const std::string& servoDescription, std::string* error) {
    std::string text;
    if (!ReadFileBytes(source + "/uart.txt", &text)) return true;
    std::vector<UartEntry> entries;
    if (!ParseUartText(text, &entries, error)) return false;
    if (!servoType.empty())
        for (UartEntry& e : entries)
            if (e.name == "SERVO") {
                e.type = servoType;
                e.description = servoDescription;
            }
    const std::string path = root + "/u/qel/sys_data/files/uart.bin";
    if (!WriteFileBytes(path, EncodeUartFile(entries))) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace

bool GenerateUart(const std::string& source, const std::string& root, std::string* error) {
    return WriteUart(source, root, "", "", error);
}

bool GenerateUartWithServo(const std::string& source, const std::string& root,
                           const std::string& type, const std::string& description,
                           std::string* error) {
    return WriteUart(source, root, type, description, error);
}
