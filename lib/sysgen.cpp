// Configuration store.
#include "sysgen.h"

#include "le.h"
#include "paths.h"
#include "test_hooks.h"
#include "zalloc.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>

namespace {

unsigned char* gStore = nullptr; // the file's bytes
long long gStoreSize = 0;        // size the store was loaded with
int gRecordCount = 0;            // whole records; 0 until the first load
char gDefaultText[40];           // shared buffer of the string defaults
char gEmptyText[1] = {0};
// Size of the file whose faults were last reported: a file is reported once,
// not at each of the many loads.
long long gReportedSize = -1;

// Defaults of the items that lie beyond the end of a short file.
struct IntDefaultRow {
    int item, value;
};
const IntDefaultRow kIntDefaults[] = {
    {53, 4}, {58, 4}, {60, 2}, {67, 2}, {68, 2}, {72, 2}, {73, 2}, {77, 2}, {78, 2},
    {84, 2}, {85, 2}, {59, 1}, {65, 1}, {81, 1}, {82, 1}, {83, 1}, {95, 1},
};
struct StrDefaultRow {
    int item;
    const char* text;
};
const StrDefaultRow kStrDefaults[] = {
    {56, "14"},    {69, "A"},      {74, "A"},         {79, "A"},     {87, "BLACK"},
    {88, "WHITE"}, {89, "GREEN"},  {90, "RED"},       {91, "GREEN"}, {92, "WHITE"},
    {93, "RED"},   {94, "YELLOW"}, {96, "colors.RI"},
};

int IntDefault(int item) {
    for (const IntDefaultRow& row : kIntDefaults)
        if (row.item == item) return row.value;
    return 0;
}

const char* StrDefault(int item) {
    for (const StrDefaultRow& row : kStrDefaults)
        if (row.item == item) return row.text;
    return nullptr;
}

// Records needed to hold every item that has a default: a shorter file
// leaves some of them to their defaults.
int ItemsWithDefaults() {
    int last = 0;
    for (const IntDefaultRow& row : kIntDefaults) last = row.item > last ? row.item : last;
    for (const StrDefaultRow& row : kStrDefaults) last = row.item > last ? row.item : last;
    return last + 1;
}

// One console line for each fault of a file of that size (real size on disk).
void ReportSize(long long fileSize) {
    if (fileSize == gReportedSize) return;
    gReportedSize = fileSize;
    if (fileSize > kSysgenMaxBytes)
        std::printf("InitConfigure: %s is %lld bytes, only the first %d (%d records) are read\n",
                    kSysgenPath, fileSize, kSysgenMaxBytes, kSysgenMaxBytes / kSysgenRecordSize);
    const long long size = fileSize > kSysgenMaxBytes ? kSysgenMaxBytes : fileSize;
    if (size % kSysgenRecordSize != 0)
        std::printf("InitConfigure: %s is %lld bytes, not a whole number of %d-byte records\n",
                    kSysgenPath, size, kSysgenRecordSize);
    const int records = static_cast<int>(size / kSysgenRecordSize);
    if (records < ItemsWithDefaults())
        std::printf("InitConfigure: %s holds %d records, items from %d take their defaults\n",
                    kSysgenPath, records, records);
    std::fflush(stdout);
}

// Every whole record ends with a NUL, so that no text read from the store
// runs past its record, however long a caller holds it.
void BoundRecords(unsigned char* store, long long size) {
    for (long long end = kSysgenRecordSize; end <= size; end += kSysgenRecordSize)
        store[end - 1] = 0;
}

unsigned char* Record(int item) {
    return gStore + static_cast<long long>(item) * kSysgenRecordSize;
}

bool InStore(int item) {
    return item >= 0 && item < gRecordCount;
}

} // namespace

int InitConfigure() {
    struct stat st {};
    if (f_Stat(kSysgenPath, &st) != 0 || st.st_size <= 0) return kSysgenMissing;
    // A file far beyond every item in use is read only up to the limit.
    const long long size = st.st_size > kSysgenMaxBytes ? kSysgenMaxBytes : st.st_size;
    FILE* f = f_Fopen(kSysgenPath, "r");
    if (!f) {
        std::printf("InitConfigure: unable to read %s\n", kSysgenPath);
        return kSysgenCannotOpen;
    }
    auto* fresh = static_cast<unsigned char*>(zmalloc("InitConfigure", "conf", size));
    if (!fresh) {
        std::fclose(f);
        return kSysgenNoMemory;
    }
    size_t got = std::fread(fresh, 1, static_cast<size_t>(size), f);
    std::fclose(f);
    if (got != static_cast<size_t>(size)) {
        zfree("InitConfigure", "conf", fresh);
        std::printf("InitConfigure: unable to read %s\n", kSysgenPath);
        return kSysgenCannotRead;
    }
    BoundRecords(fresh, size);
    ReportSize(st.st_size);
    if (gStore && gStoreSize == size) {
        // Same size: refill the held block, so pointers callers hold stay valid.
        std::memcpy(gStore, fresh, static_cast<size_t>(size));
        zfree("InitConfigure", "conf", fresh);
    } else {
        zfree("InitConfigure", "conf", gStore);
        gStore = fresh;
    }
    gStoreSize = size;
    gRecordCount = static_cast<int>(size / kSysgenRecordSize);
    return 0;
}

void CloseSysgen() {
    if (!gStore) return;
    zfree("CloseSysgen", "conf", gStore);
    gStore = nullptr;
    gStoreSize = 0;
    gRecordCount = 0;
}

int GetSysgenInt(int item) {
    if (!InStore(item)) return IntDefault(item);
    int value = GetLeI32(Record(item));
    if (item != 0 || value == 0) return value;
    // A language counts only when it is one of the nine and its switch texts exist.
    if (value < 0 || value > 8) return 0;
    std::string sw =
        std::string("/u/qel/database/") + static_cast<char>('e' + value) + "switch.data";
    struct stat st {};
    if (f_Stat(sw, &st) != 0 || st.st_size <= 0) return 0;
    return value;
}

double GetSysgenReal(int item) {
    return InStore(item) ? GetLeDouble(Record(item)) : 0.0;
}

const char* GetSysgenStr(int item) {
    if (InStore(item)) {
        char* text = reinterpret_cast<char*>(Record(item)); // NUL-ended at load
        for (size_t n = std::strlen(text); n > 1 && text[n - 1] == ' '; --n) text[n - 1] = '\0';
        return text[0] ? text : gEmptyText;
    }
    const char* def = StrDefault(item);
    if (!def) return nullptr;
    std::snprintf(gDefaultText, sizeof gDefaultText, "%s", def);
    return gDefaultText;
}

int SysgenRecordCount() {
    return gRecordCount;
}

int LibLanguage() {
    if (gRecordCount == 0) InitConfigure();
    return GetSysgenInt(0);
}

void SysgenResetForTest() {
    CloseSysgen();
    gReportedSize = -1;
}
