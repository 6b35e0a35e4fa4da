// Demo password file from its readable description.
#include "generators.h"
#include "records.h"
#include "records_password.h"

bool GeneratePassword(const std::string& source, const std::string& root, std::string* error) {
    std::string text;
    if (!ReadFileBytes(source + "/password.txt", &text)) return true;
    PasswordFileData data;
    if (!ParsePasswordText(text, &data, error)) {
        *error = "password.txt: " + *error;
        return false;
    }
    const std::string path = root + "/u/qel/sys_data/files/password.bin";
    if (!WriteFileBytes(path, EncodePasswordFile(data))) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}
