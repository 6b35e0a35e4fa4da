// Port configuration's model.
#include "portmodel.h"

#include "installfile.h"
#include "linereader.h"

#include <algorithm>
#include <cctype>
#include <cstring>

const PortSetting kBaudTable[kBaudSettings] = {
    {"B600  ", 8},  {"B1200 ", 9},  {"B1800 ", 10}, {"B2400 ", 11},
    {"B4800 ", 12}, {"B9600 ", 13}, {"B19200", 14},
};
const PortSetting kSizeTable[kSizeSettings] = {
    {"CS5", 0x00},
    {"CS6", 0x10},
    {"CS7", 0x20},
    {"CS8", 0x30},
};
const PortSetting kFlagTable[kFlagSettings + 1] = {
    {"NONE  ", 0x000}, {"CSTOPB", 0x040}, {"CREAD ", 0x080}, {"PARENB", 0x100},
    {"PARODD", 0x200}, {"HUPCL ", 0x400}, {"CLOCAL", 0x800},
};

namespace {

constexpr int32_t kBaudBits = 0xF;
constexpr int32_t kSizeBits = 0x30;
// The last rate that the baud button offers (B9600).
constexpr int kLastOfferedBaud = 5;

bool IsBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// The next blank-separated word of text from *at; "" when there is none.
std::string NextWord(const std::string& text, size_t* at) {
    size_t i = *at;
    while (i < text.size() && IsBlank(text[i])) ++i;
    const size_t begin = i;
    while (i < text.size() && !IsBlank(text[i])) ++i;
    *at = i;
    return text.substr(begin, i - begin);
}

// A line up to its first NUL.
std::string UpToNul(const std::string& line) {
    return line.substr(0, line.find('\0'));
}

bool Begins(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

bool OneOf(const std::string& name, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (name == n) return true;
    return false;
}

// The word cut to max characters, reported when cut.
std::string Bounded(const std::string& word, size_t max, const char* what) {
    if (word.size() <= max) return word;
    std::printf("ReadPortRows: %s '%s' cut to %zu characters\n", what, word.c_str(), max);
    std::fflush(stdout);
    return word.substr(0, max);
}

// Whether the line's type word (the first word after its second double
// quote) ends within its first `kept` characters, a blank after it or the
// line's end included.
bool TypeWordEndsBefore(const std::string& line, size_t kept) {
    const std::string text = UpToNul(line);
    // A NUL ends what the line says before the cut does.
    if (text.size() <= kept) return true;
    const size_t open = text.find('"');
    if (open == std::string::npos || open >= kept) return false;
    const size_t close = text.find('"', open + 1);
    if (close == std::string::npos || close >= kept) return false;
    size_t at = close + 1;
    while (at < text.size() && IsBlank(text[at])) ++at;
    if (at >= kept) return false;
    while (at < text.size() && !IsBlank(text[at])) ++at;
    return at <= kept;
}

void RepairPath(PortRecord& r, bool ok, const char* replacement) {
    if (!ok) SetPortField(r.path, replacement);
}

} // namespace

bool LineSettings::operator==(const LineSettings& o) const {
    if (baud != o.baud || size != o.size) return false;
    for (int i = 0; i < kFlagSettings; ++i)
        if (flags[i] != o.flags[i]) return false;
    return true;
}

LineSettings DecodeCflag(int32_t cflag, bool* baudKnown) {
    LineSettings s;
    bool known = false;
    for (int i = 0; i < kBaudSettings; ++i)
        if (kBaudTable[i].code == (cflag & kBaudBits)) {
            s.baud = i;
            known = true;
        }
    for (int i = 0; i < kSizeSettings; ++i)
        if (kSizeTable[i].code == (cflag & kSizeBits)) s.size = i;
    for (int n = 1; n <= kFlagSettings; ++n) s.flags[n - 1] = (cflag & kFlagTable[n].code) != 0;
    if (baudKnown) *baudKnown = known;
    return s;
}

int32_t EncodeCflag(const LineSettings& s) {
    int32_t cflag = kBaudTable[s.baud].code | kSizeTable[s.size].code;
    for (int n = 1; n <= kFlagSettings; ++n)
        if (s.flags[n - 1]) cflag |= kFlagTable[n].code;
    return cflag;
}

int NextBaud(int index) {
    return index >= kLastOfferedBaud || index < 0 ? 0 : index + 1;
}

int NextSize(int index) {
    return index >= kSizeSettings - 1 || index < 0 ? 0 : index + 1;
}

std::vector<PortRow> ReadPortRows(FILE* f) {
    std::vector<PortRow> rows;
    std::string line;
    int number = 0;
    // The rows past the last: how many, and the first of them.
    long over = 0;
    int overLine = 0;
    std::string overName;
    while (ReadCutLine(f, kPortListLineMax, &line)) {
        ++number;
        line = UpToNul(line);
        if (!line.empty() && line[0] == '#') continue;
        size_t at = 0;
        const std::string name = NextWord(line, &at);
        const std::string word = NextWord(line, &at);
        if (static_cast<int>(rows.size()) == kPortRows) {
            if (over++ == 0) {
                overLine = number;
                overName = name.substr(0, kPortNameMax);
            }
            continue;
        }
        PortRow row;
        row.port = Bounded(name, kPortNameMax, "port name");
        row.listWord = Bounded(word, kListWordMax, "list word");
        for (const PortRow& earlier : rows)
            if (earlier.port == row.port) {
                std::printf("ReadPortRows: port '%s' is listed twice\n", row.port.c_str());
                std::fflush(stdout);
                break;
            }
        rows.push_back(row);
    }
    if (over > 0) {
        std::printf("ReadPortRows: more than %d ports: line %d ('%s') and the rows after it "
                    "left out, %ld in all\n",
                    kPortRows, overLine, overName.c_str(), over);
        std::fflush(stdout);
    }
    return rows;
}

bool LoadPortList(std::vector<PortRow>* rows) {
    InstallText txt("ShowPortConfig", kPortListPath, kPortListFileMax);
    if (!txt.stream()) {
        if (txt.state() == InstallFile::kMissing) {
            std::printf("ShowPortConfig: unable to open %s\n", kPortListPath);
            std::fflush(stdout);
        }
        return false;
    }
    *rows = ReadPortRows(txt.stream());
    return true;
}

void LoadPortRecords(std::vector<PortRow>& rows) {
    for (PortRow& row : rows) {
        PortRecord r{};
        GetPortCodes(row.port, &r);
        row.storedMode = r.mode;
        row.storedCflag = r.cflag;
        if (PortField(r.name).empty()) SetPortField(r.name, row.port);
        if (PortField(r.path).empty()) {
            r.mode = 'S';
            r.cflag = 0;
        }
        bool known = true;
        row.committed = row.edit = DecodeCflag(r.cflag, &known);
        if (!known && (r.cflag & kBaudBits) != 0) {
            std::printf("LoadPortRecords: %s: baud code %d is not in the table, shown as B600\n",
                        row.port.c_str(), static_cast<int>(r.cflag & kBaudBits));
            std::fflush(stdout);
        }
        row.record = r;
        row.workMode = r.mode;
        row.confirmed = false;
    }
}

void CheckPortRecords(std::vector<PortRow>& rows) {
    for (PortRow& row : rows) {
        PortRecord& r = row.record;
        const std::string type = PortField(r.type);
        const std::string path = PortField(r.path);
        if (row.port == "SERVO") {
            if (type == "Ondry") {
                r.mode = 'S';
                RepairPath(r, Begins(path, "/dev/"), "/dev/null");
            } else if (type == "KROMI") {
                if (r.mode == 'I' || r.mode == 'P') r.mode = 'N';
                // Mode N: a network address, taken as it stands.
                if (r.mode == 'S')
                    RepairPath(r,
                               Begins(path, "/dev/") || Begins(path, "com") || Begins(path, "COM"),
                               "/dev/null");
            } else if (type == "TORVI") {
                r.mode = 'I';
                RepairPath(r, Begins(path, "/dev/imbed"), "/dev/imbed");
            }
        } else if (OneOf(row.port, {"OIT", "PCHANGER", "STERMINAL"})) {
            r.mode = 'S';
            RepairPath(r, path.empty() || Begins(path, "/dev/"), "/dev/null");
        } else if (OneOf(row.port, {"PRINTER", "PLOTTER", "PENPLOTTER"})) {
            if (r.mode == 'I' || r.mode == 'N') r.mode = 'P';
            RepairPath(r, path.empty() || Begins(path, "/dev/") || Begins(path, "/temp/"),
                       "/dev/null");
        }
    }
}

void PreparePortRow(PortRow& row) {
    PortRecord& r = row.record;
    if (PortField(r.path).empty()) {
        r.mode = 'S';
        SetPortField(r.type, "");
        SetPortField(r.description, "");
    }
    row.workMode = r.mode;
}

std::string CutAtSecondBlank(const std::string& text) {
    const size_t first = text.find(' ');
    if (first == std::string::npos) return text;
    const size_t second = text.find(' ', first + 1);
    return second == std::string::npos ? text : text.substr(0, second);
}

bool ParseDeviceLine(const std::string& line, std::string* description, std::string* type) {
    const std::string text = UpToNul(line);
    const size_t open = text.find('"');
    if (open == std::string::npos) return false;
    const size_t close = text.find('"', open + 1);
    if (close == std::string::npos) return false;
    size_t at = close + 1;
    const std::string word = NextWord(text, &at);
    if (word.size() > kRecordTextMax) {
        std::printf("ParseDeviceLine: type word '%s' longer than %zu characters, line left out\n",
                    word.c_str(), kRecordTextMax);
        std::fflush(stdout);
        return false;
    }
    *description = text.substr(open + 1, std::min(close - open - 1, kDeviceTextMax));
    *type = word;
    return true;
}

std::vector<DeviceEntry> ReadDeviceList(FILE* f) {
    std::vector<DeviceEntry> list;
    std::string line;
    int number = 0;
    // One character past the kept ones tells whether a line was cut.
    while (ReadCutLine(f, kDeviceLineMax + 1, &line)) {
        ++number;
        if (line.empty() || line[0] == '!') continue;
        if (line.size() > kDeviceLineMax && !TypeWordEndsBefore(line, kDeviceLineMax)) {
            // A cut type word would name another driver.
            std::printf("ReadDeviceList: line %d is cut at %zu characters before its type word "
                        "ends, line left out\n",
                        number, kDeviceLineMax);
            std::fflush(stdout);
            continue;
        }
        line.resize(std::min(line.size(), kDeviceLineMax));
        DeviceEntry e;
        if (ParseDeviceLine(line, &e.description, &e.type)) list.push_back(e);
    }
    return list;
}

bool LoadDeviceList(const std::string& listWord, std::vector<DeviceEntry>* list) {
    list->clear();
    // An empty word names the folder, no list.
    for (const char* dir : {"/u/qel/usr_data/printers/", "/u/qel/def_data/printers/"}) {
        if (listWord.empty()) break;
        const std::string path = dir + listWord;
        InstallText text("LoadDeviceList", path, kDeviceListFileMax);
        if (!text.stream()) continue;
        *list = ReadDeviceList(text.stream());
        if (list->empty()) {
            std::printf("LoadDeviceList: printers list %s has no usable line\n", path.c_str());
            std::fflush(stdout);
        }
        return true;
    }
    std::printf("LoadDeviceList: no printers list '%s'\n", listWord.c_str());
    std::fflush(stdout);
    return false;
}

size_t PreselectedDevice(const std::vector<DeviceEntry>& list, const PortRecord& record) {
    const std::string current = PortField(record.description);
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].description.substr(0, kRecordTextMax) == current) return i;
    return 0;
}

void TakeDevice(PortRecord& record, const DeviceEntry& entry) {
    SetPortField(record.description, entry.description.substr(0, kRecordTextMax));
    SetPortField(record.type, entry.type.substr(0, kRecordTextMax));
}

void BuildPortTable(const std::vector<PortRow>& rows, PortRecord (&table)[kUartRecords]) {
    for (PortRecord& r : table) r = PortRecord{};
    for (size_t i = 0; i < rows.size() && i < static_cast<size_t>(kUartRecords); ++i) {
        const PortRow& row = rows[i];
        PortRecord r = row.record;
        SetPortField(r.name, row.port.substr(0, kPortNameMax));
        r.cflag = 0;
        if (PortField(r.path).empty()) {
            r.mode = 0;
            SetPortField(r.type, "");
            SetPortField(r.description, "");
        }
        if (r.mode == 'S')
            r.cflag = !row.confirmed && row.storedMode == 'S' ? row.storedCflag
                                                              : EncodeCflag(row.committed);
        table[i] = r;
    }
}
