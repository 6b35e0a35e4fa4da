// Switch database, plot-colour names and paper sizes.
#include "switchdb.h"

#include "le.h"
#include "linereader.h"
#include "names.h"
#include "paths.h"
#include "sysgen.h"
#include "test_hooks.h"
#include "zalloc.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

int PlotColorFromEnglish = 0;

SwitchNameList::~SwitchNameList() {
    Release();
}

bool SwitchNameList::Allocate(const char* tag, int capacity) {
    Release();
    block_ = static_cast<char*>(
        zmalloc(tag, "names", static_cast<long long>(capacity) * kSwitchTextSize));
    if (!block_) return false;
    tag_ = tag;
    capacity_ = capacity;
    return true;
}

void SwitchNameList::Add(const std::string& name) {
    if (count_ >= capacity_) return;
    char* entry = block_ + static_cast<size_t>(count_) * kSwitchTextSize;
    size_t n = std::min(name.size(), static_cast<size_t>(kSwitchTextSize - 1));
    std::memcpy(entry, name.data(), n);
    entry[n] = '\0';
    ++count_;
}

const char* SwitchNameList::Entry(int k) const {
    if (k < 0 || k >= count_) return "";
    return block_ + static_cast<size_t>(k) * kSwitchTextSize;
}

void SwitchNameList::Release() {
    zfree(tag_, "names", block_);
    block_ = nullptr;
    capacity_ = 0;
    count_ = 0;
}

namespace {

constexpr const char* kTag = "InitSwitchDb";

// A file read whole into one zmalloc block.
class FileBlock {
  public:
    ~FileBlock() { Release(); }
    void Release() {
        zfree(kTag, name_, data_);
        data_ = nullptr;
        size_ = 0;
    }
    // 0 (loaded, or unreadable: left empty with a console line), or -22.
    int Load(const std::string& path, const char* name) {
        Release();
        name_ = name;
        struct stat st {};
        if (f_Stat(path, &st) != 0 || st.st_size <= 0 || S_ISDIR(st.st_mode))
            return Unreadable(path);
        auto* data = static_cast<unsigned char*>(zmalloc(kTag, name, st.st_size));
        if (!data) return -22;
        UniqueFile f(zfopen(kTag, path, "rb"));
        size_t size = static_cast<size_t>(st.st_size);
        if (!f || std::fread(data, 1, size, f.get()) != size) {
            zfree(kTag, name, data);
            return Unreadable(path);
        }
        data_ = data;
        size_ = size;
        return 0;
    }
    unsigned char* data() const { return data_; }
    size_t size() const { return size_; }

  private:
    static int Unreadable(const std::string& path) {
        std::printf("InitSwitchDb: unable to read %s\n", path.c_str());
        return 0;
    }
    unsigned char* data_ = nullptr;
    size_t size_ = 0;
    const char* name_ = "";
};

// Text records of 25 bytes; byte 24 of each is forced to NUL at load, so a
// record reads as at most 24 characters.
struct TextRecords {
    FileBlock file;
    int count = 0;
    int Load(const std::string& path, const char* name) {
        count = 0;
        int r = file.Load(path, name);
        if (r != 0) return r;
        count = static_cast<int>(file.size() / kSwitchTextSize);
        for (int i = 0; i < count; ++i)
            file.data()[static_cast<size_t>(i) * kSwitchTextSize + kSwitchTextSize - 1] = 0;
        return 0;
    }
    const char* Record(int r) const { // r from 1
        if (r < 1 || r > count) return "";
        return reinterpret_cast<const char*>(file.data()) +
               static_cast<size_t>(r - 1) * kSwitchTextSize;
    }
    void Release() {
        file.Release();
        count = 0;
    }
};

struct Tables {
    TextRecords text;
    SwitchNameList plot, paper;
    void Release() {
        text.Release();
        plot.Release();
        paper.Release();
    }
};

FileBlock gIndex; // DBswitch.data: int16 record numbers
int gSwitchCount = 0;
Tables gLang, gEng;
bool gEnglish = false; // the English tables are loaded (language not 0)
bool gLoaded = false;

void ReleaseAll() {
    gIndex.Release();
    gSwitchCount = 0;
    gLang.Release();
    gEng.Release();
    gEnglish = false;
    gLoaded = false;
}

const char* Lookup(const Tables& t, int n) {
    if (n >= 1 && n <= gSwitchCount)
        return t.text.Record(GetLeI16(gIndex.data() + static_cast<size_t>(n - 1) * 2));
    if (n >= kPlotColorSwitchBase && n < kPlotColorSwitchBase + t.plot.count())
        return t.plot.Entry(n - kPlotColorSwitchBase);
    if (n >= kPaperSwitchBase && n < kPaperSwitchBase + t.paper.count())
        return t.paper.Entry(n - kPaperSwitchBase);
    return "";
}

int Find(const SwitchNameList& list, const std::string& name) {
    for (int k = 0; k < list.count(); ++k)
        if (name == list.Entry(k)) return k;
    return -1;
}

int Load() {
    if (gLang.text.Load(DefDbPath("_switch.data"), "swtext") != 0) return -22;
    if (gIndex.Load("/u/qel/database/DBswitch.data", "sw") != 0) return -22;
    gSwitchCount = static_cast<int>(gIndex.size() / 2);
    const int language = LibLanguage();
    gEnglish = language != 0;
    if (gEnglish && gEng.text.Load("/u/qel/database/eswitch.data", "swtextENG") != 0) return -22;
    const std::string letter(1, GetLanguageLetter());
    if (ReadPlotColorSwitches(&gLang.plot, letter + "plotcolors", GetSwitchText(318)) != 0)
        return -22;
    if (gEnglish && ReadPlotColorSwitches(&gEng.plot, "eplotcolors", GetSwitchTextEng(318)) != 0)
        return -22;
    if (ReadPaperSizeSwitches(&gLang.paper) != 0) return -22;
    if (gEnglish && ReadPaperSizeSwitches(&gEng.paper) != 0) return -22;
    return 0;
}

} // namespace

int InitSwitchDb() {
    if (gLoaded) return 0;
    if (Load() != 0) {
        ReleaseAll();
        return -22;
    }
    gLoaded = true;
    return 0;
}

const char* GetSwitchText(int n) {
    return Lookup(gLang, n);
}

const char* GetSwitchTextEng(int n) {
    return gEnglish ? Lookup(gEng, n) : "";
}

int FindPlotColor(const std::string& name) {
    PlotColorFromEnglish = 0;
    int k = Find(gLang.plot, name);
    if (k >= 0) return k;
    if (gEnglish) {
        k = Find(gEng.plot, name);
        if (k >= 0) {
            PlotColorFromEnglish = 1;
            return k;
        }
    }
    return kPlotColorNotFound;
}

int ReadPlotColorSwitches(SwitchNameList* list, const std::string& fileName,
                          const std::string& entry0) {
    const char* tag = "ReadPlotColorSwitches";
    UniqueFile f = OpenUserOrDefault("misc", fileName);
    if (!f) {
        const int defaults = 9;
        if (!list->Allocate(tag, defaults)) return -22;
        for (int n = kPlotColorFirstSwitch; n < kPlotColorFirstSwitch + defaults; ++n)
            list->Add(GetSwitchText(n));
        return 0;
    }
    if (!list->Allocate(tag, kPlotColorEntries)) return -22;
    list->Add(entry0);
    for (const PlotColorLine& line : ReadPlotColorLines(f.get())) list->Add(line.name);
    return 0;
}

int ReadPaperSizeSwitches(SwitchNameList* list) {
    const char* tag = "ReadPaperSizeSwitches";
    UniqueFile f = OpenUserOrDefault("printers", "PAPER");
    if (!f) {
        if (!list->Allocate(tag, 1)) return -22;
        list->Add("A");
        return 0;
    }
    if (!list->Allocate(tag, kPaperEntries)) return -22;
    std::string line;
    while (list->count() < kPaperEntries && ReadCutLine(f.get(), kPlotColorPiece, &line)) {
        if (line.empty() || line[0] == '!') continue;
        size_t b = 0;
        while (b < line.size() && std::isspace(static_cast<unsigned char>(line[b]))) ++b;
        size_t e = b;
        while (e < line.size() && !std::isspace(static_cast<unsigned char>(line[e]))) ++e;
        if (e > b) list->Add(line.substr(b, e - b));
    }
    return 0;
}

void SwitchDbResetForTest() {
    ReleaseAll();
    PlotColorFromEnglish = 0;
}
