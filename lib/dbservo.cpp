// Servo error database.
#include "dbservo.h"

#include "errhist.h"
#include "le.h"
#include "linereader.h"
#include "paths.h"
#include "ramdb.h"
#include "test_hooks.h"
#include "zalloc.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>

namespace {

constexpr const char* kRecordsPath = "/u/qel/database/DBservo.data";
constexpr const char* kTextName = "_servo.data";
constexpr const char* kAxisPrefix[] = {"", "X ", "Y ", "Z ", "W "};

RamDb ServoTextDb;
unsigned char* ServoErrorTable = nullptr; // the records as read
int ServoRecordCount = 0;
int Users = 0; // loads not yet freed; loaded while above 0
char LastText[kLastServoTextMax + 1] = {};
int LastNumber = -1;

int Field(int record, int index) {
    return GetLeI16(ServoErrorTable + static_cast<size_t>(record) * kServoRecordSize + 2 * index);
}

// Reads the records; 0 or the failure code, nothing kept after a failure.
int LoadRecords() {
    struct stat st {};
    if (f_Stat(kRecordsPath, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < kServoRecordSize) {
        ErrHistAdd(-90, kRecordsPath);
        return -90;
    }
    auto* block = static_cast<unsigned char*>(zmalloc("InitServoErrorDb", "servodata", st.st_size));
    if (!block) return -22;
    UniqueFile f(zfopen("InitServoErrorDb", kRecordsPath, "rb"));
    const size_t got = f ? std::fread(block, 1, static_cast<size_t>(st.st_size), f.get()) : 0;
    const long records = static_cast<long>(got / kServoRecordSize);
    if (records < 1) {
        zfree("InitServoErrorDb", "servodata", block);
        ErrHistAdd(-90, kRecordsPath);
        return -90;
    }
    ServoErrorTable = block;
    ServoRecordCount = static_cast<int>(records);
    return 0;
}

} // namespace

int InitServoErrorDb() {
    if (Users > 0) {
        ++Users;
        return 0;
    }
    int r = OpenRamDb(&ServoTextDb, kTextName);
    if (r != 0) return r;
    r = LoadRecords();
    if (r != 0) {
        CloseRamDb(&ServoTextDb);
        return r;
    }
    Users = 1;
    return 0;
}

void FreeServoData() {
    if (Users == 0 || --Users > 0) return;
    CloseRamDb(&ServoTextDb);
    zfree("FreeServoData", "servodata", ServoErrorTable);
    ServoErrorTable = nullptr;
    ServoRecordCount = 0;
}

int GetServoError(int n, int manual, int* proc, int* disp, char* text, size_t size) {
    if (Users == 0 || n < 0 || n >= ServoRecordCount) return -1;
    *disp = Field(n, manual ? 0 : 1);
    *proc = Field(n, manual ? 2 : 3);
    const int axis = Field(n, 6);
    const int line = Field(n, 7);
    std::string built;
    if (line < 1) {
        char tf[32];
        std::snprintf(tf, sizeof tf, "TF%02d B%d", Field(n, 4), Field(n, 5));
        built = tf;
    } else {
        if (axis >= 1 && axis <= 4) built = kAxisPrefix[axis];
        built += GetRamText(ServoTextDb, line);
        if (axis < 0) built += " " + std::to_string(std::abs(axis));
    }
    if (size > 0) std::snprintf(text, size, "%s", built.c_str());
    std::snprintf(LastText, sizeof LastText, "%s", built.c_str());
    LastNumber = n;
    return 0;
}

const char* LastServoText() {
    return LastText;
}

int LastServoError() {
    return LastNumber;
}

int ServoErrorCount() {
    return ServoRecordCount;
}

void ServoErrorDbResetForTest() {
    while (Users > 0) FreeServoData();
    LastText[0] = '\0';
    LastNumber = -1;
}
