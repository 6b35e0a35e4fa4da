// Counted line files.
#include "ramdb.h"

#include "errhist.h"
#include "le.h"
#include "linereader.h"
#include "names.h"
#include "paths.h"
#include "zalloc.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

namespace {

constexpr const char* kOpenTag = "OpenRamDb";

bool IsLineEnd(char c) {
    return c == '\0' || c == '\n' || c == '\r';
}

// Lines in text[0, size): every line end ends one, and a last line without
// its end counts too.
long LinesIn(const char* text, long size) {
    long lines = 0;
    for (long i = 0; i < size; ++i) lines += IsLineEnd(text[i]);
    if (size > 0 && !IsLineEnd(text[size - 1])) ++lines;
    return lines;
}

int Missing(const std::string& path) {
    ErrHistAdd(kRamDbMissing, path.c_str());
    return kRamDbMissing;
}

} // namespace

int OpenRamDb(RamDb* db, const std::string& name) {
    CloseRamDb(db);
    const std::string path = DefDbPath(name);
    struct stat st {};
    if (f_Stat(path, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 4) return Missing(path);
    UniqueFile f(zfopen(kOpenTag, path, "rb"));
    if (!f) return Missing(path);
    unsigned char head[4];
    if (std::fread(head, 1, 4, f.get()) != 4) return Missing(path);
    const int32_t declared = GetLeI32(head);

    const long size = static_cast<long>(st.st_size - 4);
    char* text = static_cast<char*>(zmalloc(kOpenTag, "raminfo->text", size + 1L));
    if (!text) return kRamDbNoMemory;
    if (std::fread(text, 1, static_cast<size_t>(size), f.get()) != static_cast<size_t>(size)) {
        zfree(kOpenTag, "raminfo->text", text);
        return Missing(path);
    }
    const long count =
        declared <= 0 ? 0 : std::min<long>({declared, LinesIn(text, size), kRamDbMaxLines});
    int32_t* offsets = nullptr;
    if (count > 0) {
        offsets = static_cast<int32_t*>(
            zmalloc(kOpenTag, "raminfo->arr", count * static_cast<long>(sizeof(int32_t))));
        if (!offsets) {
            zfree(kOpenTag, "raminfo->text", text);
            return kRamDbNoMemory;
        }
    }
    // Each counted line ends at its first NUL, LF or CR; the byte after the
    // text ends the last one when it has no line end of its own.
    long p = 0;
    for (long line = 0; line < count; ++line) {
        offsets[line] = static_cast<int32_t>(p);
        while (p < size && !IsLineEnd(text[p])) ++p;
        text[p++] = '\0';
    }
    db->text = text;
    db->offsets = offsets;
    db->count = static_cast<int16_t>(count);
    return 0;
}

void CloseRamDb(RamDb* db) {
    zfree("CloseRamDb", "raminfo->text", db->text);
    zfree("CloseRamDb", "raminfo->arr", db->offsets);
    *db = RamDb{};
}

const char* GetRamText(const RamDb& db, int n) {
    const int line = std::abs(static_cast<int>(static_cast<int16_t>(n)));
    if (line >= db.count || !db.text) return "";
    return db.text + db.offsets[line];
}
