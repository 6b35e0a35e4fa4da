// The port configuration's model without X: the control-word codec and the
// baud and size cycles, the repairs made on entry, the readers of uart.txt
// and of the printers lists, and the table that a save writes, read back
// as the bytes of uart.bin.
#include <gtest/gtest.h>

#include "linereader.h"
#include "paths.h"
#include "portmodel.h"
#include "sandbox.h"
#include "sim_bytes.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

// The open text, as the readers get it from a file.
struct TextFile {
    explicit TextFile(const std::string& text) : bytes(text) {
        f = fmemopen(bytes.data(), bytes.size() ? bytes.size() : 1, "r");
        if (bytes.empty()) std::fgetc(f);
    }
    ~TextFile() { std::fclose(f); }
    std::string bytes;
    FILE* f;
};

std::vector<PortRow> Rows(const std::string& text, std::string* console = nullptr) {
    TextFile file(text);
    testing::internal::CaptureStdout();
    std::vector<PortRow> rows = ReadPortRows(file.f);
    const std::string out = testing::internal::GetCapturedStdout();
    if (console) *console = out;
    return rows;
}

std::vector<DeviceEntry> Devices(const std::string& text, std::string* console = nullptr) {
    TextFile file(text);
    testing::internal::CaptureStdout();
    std::vector<DeviceEntry> list = ReadDeviceList(file.f);
    const std::string out = testing::internal::GetCapturedStdout();
    if (console) *console = out;
    return list;
}

std::string Flags(const LineSettings& s) {
    std::string out;
    for (bool f : s.flags) out += f ? '1' : '0';
    return out;
}

PortRow Row(const std::string& port, char mode, int32_t cflag, const std::string& path,
            const std::string& type = "", const std::string& description = "") {
    PortRow row;
    row.port = port;
    row.listWord = "LIST";
    SetPortField(row.record.name, port);
    row.record.mode = mode;
    row.record.cflag = cflag;
    SetPortField(row.record.path, path);
    SetPortField(row.record.type, type);
    SetPortField(row.record.description, description);
    row.storedMode = mode;
    row.storedCflag = cflag;
    row.committed = row.edit = DecodeCflag(cflag);
    return row;
}

// --- line settings -----------------------------------------------------------------

TEST(PortSettings, TheTablesCodes) {
    const int32_t baud[] = {8, 9, 10, 11, 12, 13, 14};
    const char* const baudNames[] = {"B600  ", "B1200 ", "B1800 ", "B2400 ",
                                     "B4800 ", "B9600 ", "B19200"};
    for (int i = 0; i < 7; ++i) {
        LineSettings s;
        s.baud = i;
        EXPECT_EQ(EncodeCflag(s), baud[i]) << i;
        EXPECT_STREQ(kBaudTable[i].name, baudNames[i]);
    }
    const int32_t size[] = {0x00, 0x10, 0x20, 0x30};
    for (int i = 0; i < 4; ++i) {
        LineSettings s;
        s.size = i;
        EXPECT_EQ(EncodeCflag(s), 8 | size[i]) << i;
    }
    const int32_t flag[] = {0x040, 0x080, 0x100, 0x200, 0x400, 0x800};
    const char* const flagNames[] = {"CSTOPB", "CREAD ", "PARENB", "PARODD", "HUPCL ", "CLOCAL"};
    for (int n = 1; n <= 6; ++n) {
        LineSettings s;
        s.flags[n - 1] = true;
        EXPECT_EQ(EncodeCflag(s), 8 | flag[n - 1]) << n;
        EXPECT_STREQ(kFlagTable[n].name, flagNames[n - 1]);
    }
}

TEST(PortSettings, ControlWordsDecode) {
    const struct {
        int32_t cflag;
        int baud, size;
        const char* flags;
        bool known;
        int32_t again; // encoded from what was read
    } cases[] = {
        {0x93D, 5, 3, "001001", true, 0x93D},  // B9600 CS8 PARENB CLOCAL
        {0x8BD, 5, 3, "010001", true, 0x8BD},  // B9600 CS8 CREAD CLOCAL
        {0x8BE, 6, 3, "010001", true, 0x8BE},  // a stored B19200
        {0x030, 0, 3, "000000", false, 0x038}, // baud bits 0: B600
        {0, 0, 0, "000000", false, 8},         // a record that is not serial
        {0xFCF, 0, 0, "111111", false, 0xFC8}, // baud code 15
        {static_cast<int32_t>(0x80000000 | 0x93D), 5, 3, "001001", true, 0x93D},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cflag);
        bool known = !c.known;
        const LineSettings s = DecodeCflag(c.cflag, &known);
        EXPECT_EQ(s.baud, c.baud);
        EXPECT_EQ(s.size, c.size);
        EXPECT_EQ(Flags(s), c.flags);
        EXPECT_EQ(known, c.known);
        EXPECT_EQ(EncodeCflag(s), c.again);
    }
}

TEST(PortSettings, TheButtonsCycle) {
    // Six rates, B9600 back to B600; a stored B19200 goes on to B600.
    std::vector<int> seen;
    int baud = 0;
    for (int i = 0; i < 7; ++i) seen.push_back(baud = NextBaud(baud));
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 5, 0, 1}));
    EXPECT_EQ(NextBaud(5), 0);
    EXPECT_EQ(NextBaud(6), 0);
    EXPECT_EQ(NextSize(0), 1);
    EXPECT_EQ(NextSize(2), 3);
    EXPECT_EQ(NextSize(3), 0); // CS8 to CS5
}

// --- repairs on entry ------------------------------------------------------------

TEST(PortRepairs, ByPortAndType) {
    const struct {
        const char* what;
        PortRow row;
        char mode;
        const char* path;
    } cases[] = {
        {"counter board on a serial line", Row("SERVO", 'S', 0x8BD, "/dev/tty1", "TORVI"), 'I',
         "/dev/imbed"},
        {"counter board elsewhere", Row("SERVO", 'I', 0, "/dev/imbed2", "TORVI"), 'I',
         "/dev/imbed2"},
        {"family A not on a device", Row("SERVO", 'P', 0, "COM1", "Ondry"), 'S', "/dev/null"},
        {"family A on its device", Row("SERVO", 'S', 0x8BD, "/dev/M_SERVO", "Ondry"), 'S',
         "/dev/M_SERVO"},
        {"family B on COM2", Row("SERVO", 'S', 0x8BD, "COM2", "KROMI"), 'S', "COM2"},
        {"family B on com3", Row("SERVO", 'S', 0x8BD, "com3", "KROMI"), 'S', "com3"},
        {"family B on /tty", Row("SERVO", 'S', 0x8BD, "/tty", "KROMI"), 'S', "/dev/null"},
        {"family B as a printer", Row("SERVO", 'P', 0, "/tty", "KROMI"), 'N', "/tty"},
        {"family B on the network", Row("SERVO", 'N', 0, "10.0.0.7", "KROMI"), 'N', "10.0.0.7"},
        {"another controller type", Row("SERVO", 'P', 0, "/tmp/x", "VANTOR"), 'P', "/tmp/x"},
        {"printer on the network", Row("PRINTER", 'N', 0, "/tmp/x", "lpdrv"), 'P', "/dev/null"},
        {"printer into a file", Row("PRINTER", 'P', 0, "/temp/out", "lpdrv"), 'P', "/temp/out"},
        {"plotter on a board", Row("PLOTTER", 'I', 0, "/dev/M_PLOTTER"), 'P', "/dev/M_PLOTTER"},
        {"serial pen plotter", Row("PENPLOTTER", 'S', 0x8BD, "lpt1"), 'S', "/dev/null"},
        {"terminal without a path", Row("OIT", 'P', 0, "", "VT100"), 'S', ""},
        {"probe changer off /dev", Row("PCHANGER", 'S', 0x8BD, "/tmp/p"), 'S', "/dev/null"},
        {"second terminal", Row("STERMINAL", 'N', 0, "/dev/ttyS1"), 'S', "/dev/ttyS1"},
        {"a port of its own", Row("SCANNER", 'X', 0, "nowhere"), 'X', "nowhere"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<PortRow> rows{c.row};
        CheckPortRecords(rows);
        EXPECT_EQ(rows[0].record.mode, c.mode);
        EXPECT_EQ(PortField(rows[0].record.path), c.path);
    }
}

// --- uart.txt ----------------------------------------------------------------------

TEST(PortRows, ReadFromUartTxt) {
    std::string console;
    const std::vector<PortRow> rows = Rows("# the ports of the station\n"
                                           "SERVO servo\n"
                                           "\n"
                                           "  OIT\tterminals  extra words\r\n"
                                           "PCHANGER -NONE-\n"
                                           "SCANNER\n"
                                           " # not a comment\n"
                                           "PRINTER printers",
                                           &console);
    const struct {
        const char* port;
        const char* word;
        bool device;
    } expected[] = {{"SERVO", "servo", true},     {"", "", true},
                    {"OIT", "terminals", true},   {"PCHANGER", "-NONE-", false},
                    {"SCANNER", "", true},        {"#", "not", true},
                    {"PRINTER", "printers", true}};
    ASSERT_EQ(rows.size(), std::size(expected));
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].port, expected[i].port) << i;
        EXPECT_EQ(rows[i].listWord, expected[i].word) << i;
        EXPECT_EQ(rows[i].HasDevice(), expected[i].device) << i;
    }
    EXPECT_EQ(console, "");
}

TEST(PortRows, LimitsAreKeptAndReported) {
    std::string text;
    for (int i = 1; i <= 11; ++i) text += "PORT" + std::to_string(i) + " list\n";
    std::string console;
    std::vector<PortRow> rows = Rows(text, &console);
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_EQ(rows[9].port, "PORT10");
    EXPECT_EQ(console, "ReadPortRows: more than 10 ports: line 11 ('PORT11') and the rows after "
                       "it left out, 1 in all\n");

    // However many rows follow, one line counts them; comments are no rows.
    text.clear();
    for (int i = 1; i <= 200000; ++i) {
        if (i == 12) text += "# no row\n";
        text += "PORT" + std::to_string(i) + " list\n";
    }
    rows = Rows(text, &console);
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_EQ(console, "ReadPortRows: more than 10 ports: line 11 ('PORT11') and the rows after "
                       "it left out, 199990 in all\n");

    const std::string name(45, 'N'), word(50, 'w');
    // A line over 498 characters: its rest is dropped, not read as a row.
    const std::string longLine = "LONG " + std::string(493, 'x') + "TAIL more\n";
    rows = Rows(name + " " + word + "\nSERVO a\nSERVO b\n" + longLine, &console);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].port, std::string(38, 'N'));
    EXPECT_EQ(rows[0].listWord, std::string(39, 'w'));
    EXPECT_EQ(rows[2].listWord, "b");
    EXPECT_EQ(rows[3].port, "LONG");
    EXPECT_EQ(rows[3].listWord, std::string(39, 'x'));
    EXPECT_EQ(console, "ReadPortRows: port name '" + name + "' cut to 38 characters\n" +
                           "ReadPortRows: list word '" + word + "' cut to 39 characters\n" +
                           "ReadPortRows: port 'SERVO' is listed twice\n" +
                           "ReadPortRows: list word '" + std::string(493, 'x') +
                           "' cut to 39 characters\n");
}

// --- printers lists ----------------------------------------------------------------

TEST(DeviceLists, LinesAndTheirEntries) {
    std::string console;
    const std::string longType(40, 't');
    const std::vector<DeviceEntry> list =
        Devices("! the printers of the station\n"
                "\"Laser printer A4\" lpdrv -x 3\n"
                "\n"
                "\r\n"
                "no quotes lpdrv\n"
                "\"only one quote lpdrv\n"
                "\"Matrix printer\"\tmxdrv\r\n"
                "\"No driver\"\n"
                "\"Too long\" " +
                    longType +
                    "\n"
                    "  \"Indented\"psdrv\n"
                    "!\"Old printer\" olddrv\n"
                    "\"Just fits\" " +
                    std::string(39, 'u') +
                    "\n"
                    "\"" +
                    std::string(80, 'd') + "\" ok\n" + "\"Last line\" hpgl",
                &console);
    const struct {
        std::string description;
        std::string type;
    } expected[] = {{"Laser printer A4", "lpdrv"},
                    {"Matrix printer", "mxdrv"},
                    {"No driver", ""},
                    {"Indented", "psdrv"},
                    {"Just fits", std::string(39, 'u')},
                    {std::string(71, 'd'), "ok"},
                    {"Last line", "hpgl"}};
    ASSERT_EQ(list.size(), std::size(expected));
    for (size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i].description, expected[i].description) << i;
        EXPECT_EQ(list[i].type, expected[i].type) << i;
    }
    EXPECT_EQ(console, "ParseDeviceLine: type word '" + longType +
                           "' longer than 39 characters, line left out\n");
}

TEST(DeviceLists, AnOverLongLineLosesItsRestOnly) {
    // 98 characters are kept: the closing quote past them makes no entry,
    // and the rest of the line is no entry of its own.
    const std::string line = "\"" + std::string(97, 'a') + "\" \"tail\" drv\n";
    const std::vector<DeviceEntry> list = Devices(line + "\"Next\" nx\n");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].description, "Next");
}

// A line past its 98 characters is kept when its type word ends within
// them, and left out, with a console line, when the cut reaches the word.
TEST(DeviceLists, ALineCutWhereItsTypeWordIs) {
    const std::string cutLine =
        "ReadDeviceList: line 1 is cut at 98 characters before its type word ends, line left "
        "out\n";
    auto line = [](size_t description, size_t type, const std::string& rest) {
        return "\"" + std::string(description, 'd') + "\" " + std::string(type, 't') + rest;
    };
    const struct {
        const char* name;
        std::string text;
        bool kept;
    } cases[] = {
        // Quote, 60 characters, quote, blank: the type word begins at 63.
        {"the word ends at the cut, a blank after it", line(60, 35, " -x 3"), true},
        {"the word ends the line at 98", line(60, 35, ""), true},
        {"the word runs one past the cut", line(60, 36, ""), false},
        {"the word runs far past the cut", line(60, 35, "xyz -x 3"), false},
        {"only blanks up to the cut", line(60, 0, std::string(40, ' ') + "drv"), false},
        {"the word begins at the cut", line(95, 4, ""), false},
        {"the closing quote past the cut", line(97, 3, ""), false},
        {"a short word, then a long rest", line(10, 5, " " + std::string(100, 'a')), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string console;
        const std::vector<DeviceEntry> list = Devices(c.text + "\n", &console);
        if (!c.kept) {
            EXPECT_TRUE(list.empty());
            EXPECT_EQ(console, cutLine);
            continue;
        }
        ASSERT_EQ(list.size(), 1u);
        EXPECT_EQ(list[0].type.substr(0, 1), "t");
        EXPECT_EQ(list[0].type.find_first_not_of('t'), std::string::npos);
        EXPECT_EQ(console, "");
    }
}

// The user's copy of a list comes first, the default one else; a copy that
// is no plain file is passed over, and a list without a usable line is
// named on the console.
TEST(DeviceLists, TheListOfAPortAndWhatTheConsoleSays) {
    Sandbox box;
    const std::string user = "/u/qel/usr_data/printers/LASERS";
    const std::string def = "/u/qel/def_data/printers/LASERS";
    auto load = [](const std::string& word, std::vector<DeviceEntry>* list) {
        testing::internal::CaptureStdout();
        const bool loaded = LoadDeviceList(word, list);
        return std::make_pair(loaded, testing::internal::GetCapturedStdout());
    };
    std::vector<DeviceEntry> list;
    EXPECT_EQ(load("LASERS", &list),
              std::make_pair(false, std::string("LoadDeviceList: no printers list 'LASERS'\n")));
    EXPECT_EQ(load("", &list),
              std::make_pair(false, std::string("LoadDeviceList: no printers list ''\n")));

    box.Write(def, "\"Default laser\" dlas\n");
    EXPECT_EQ(load("LASERS", &list), std::make_pair(true, std::string()));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].type, "dlas");

    box.Write(user, "! none yet\n\"no type word\" " + std::string(40, 'x') + "\n");
    const auto [loaded, console] = load("LASERS", &list);
    EXPECT_TRUE(loaded);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(console, "ParseDeviceLine: type word '" + std::string(40, 'x') +
                           "' longer than 39 characters, line left out\n"
                           "LoadDeviceList: printers list /u/qel/usr_data/printers/LASERS has "
                           "no usable line\n");

    box.Remove(user);
    ASSERT_EQ(mkfifo(box.Path(user).c_str(), 0600), 0);
    EXPECT_EQ(load("LASERS", &list),
              std::make_pair(true, std::string("LoadDeviceList: /u/qel/usr_data/printers/LASERS "
                                               "is not a plain file, not read\n")));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].type, "dlas");
}

TEST(DeviceLists, TheDeviceButtonsText) {
    const struct {
        const char* text;
        const char* shown;
    } cases[] = {{"Laser printer A4", "Laser printer"},
                 {"Laser printer", "Laser printer"},
                 {"Laser", "Laser"},
                 {"", ""},
                 {"a  b", "a "},
                 {" lead two", " lead"}};
    for (const auto& c : cases) EXPECT_EQ(CutAtSecondBlank(c.text), c.shown) << c.text;
}

TEST(DeviceLists, PreselectionAndTheRecordsCopy) {
    const std::vector<DeviceEntry> list = {
        {"Laser printer A4", "lpdrv"},
        {std::string(45, 'L'), "psdrv"},
        {"Matrix printer", "mxdrv"},
    };
    PortRecord r{};
    SetPortField(r.description, "Matrix printer");
    EXPECT_EQ(PreselectedDevice(list, r), 2u);
    SetPortField(r.description, "gone");
    EXPECT_EQ(PreselectedDevice(list, r), 0u);
    // A long description is kept cut, and found again as kept.
    TakeDevice(r, list[1]);
    EXPECT_EQ(PortField(r.description), std::string(39, 'L'));
    EXPECT_EQ(PortField(r.type), "psdrv");
    EXPECT_EQ(PreselectedDevice(list, r), 1u);
}

// --- the saved table ---------------------------------------------------------------

std::string Field(const std::string& bytes, size_t record, size_t at) {
    const std::string f = bytes.substr(record * 168 + at, 40);
    return f.substr(0, f.find('\0'));
}
int32_t Cflag(const std::string& bytes, size_t record) {
    return static_cast<int32_t>(
        SimGetLe(reinterpret_cast<const unsigned char*>(bytes.data()) + record * 168 + 44, 4));
}

TEST(PortTable, ASaveWritesTheRowsThenEmptyRecords) {
    Sandbox box;
    box.WriteUart({{"SERVO", 'S', 0x8BD, "/dev/M_SERVO", "Ondry", "controller"},
                   {"PRINTER", 'P', 0x8BD, "/dev/lp0", "lpdrv", "Laser printer"},
                   {"OIT", 'S', 0x93D, "/dev/M_OIT", "VT100", "terminal"},
                   {"OLD", 'S', 0x8BD, "/dev/old", "x", "kept before"}});
    TextFile txt("SERVO servo\nPRINTER printers\nOIT terminals\n");
    std::vector<PortRow> rows = ReadPortRows(txt.f);
    LoadPortRecords(rows);
    CheckPortRecords(rows);
    for (PortRow& row : rows) PreparePortRow(row);
    // The operator sets the servo line to B1200 with CSTOPB and empties the
    // terminal's path.
    rows[0].committed.baud = 1;
    rows[0].committed.flags[0] = true;
    rows[0].confirmed = true;
    SetPortField(rows[2].record.path, "");
    PortRecord table[kUartRecords];
    BuildPortTable(rows, table);
    ASSERT_EQ(WriteUartFile(table), 0);

    const std::string bytes = box.Read("/u/qel/sys_data/files/uart.bin");
    ASSERT_EQ(bytes.size(), 1680u);
    EXPECT_EQ(Field(bytes, 0, 0), "SERVO");
    EXPECT_EQ(bytes[40], 'S');
    EXPECT_EQ(Cflag(bytes, 0), 0x8F9); // 9 | 0x30 | 0x40 | 0x80 | 0x800
    EXPECT_EQ(Field(bytes, 0, 48), "/dev/M_SERVO");
    EXPECT_EQ(Field(bytes, 0, 88), "Ondry");
    EXPECT_EQ(Field(bytes, 0, 128), "controller");
    EXPECT_EQ(Field(bytes, 1, 0), "PRINTER");
    EXPECT_EQ(bytes[168 + 40], 'P');
    EXPECT_EQ(Cflag(bytes, 1), 0); // not serial
    EXPECT_EQ(Field(bytes, 1, 88), "lpdrv");
    EXPECT_EQ(Field(bytes, 2, 0), "OIT");
    EXPECT_EQ(bytes[2 * 168 + 40], '\0');
    EXPECT_EQ(Cflag(bytes, 2), 0);
    EXPECT_EQ(Field(bytes, 2, 48), "");
    EXPECT_EQ(Field(bytes, 2, 88), "");
    EXPECT_EQ(Field(bytes, 2, 128), "");
    // The port that uart.txt does not list is gone with the rest.
    EXPECT_EQ(bytes.substr(3 * 168), std::string(7 * 168, '\0'));
}

TEST(PortTable, ASerialRowKeepsAStoredWordItsBoxDidNotConfirm) {
    const struct {
        const char* what;
        PortRow row;
        bool confirmed;
        int32_t saved;
    } cases[] = {
        {"unknown baud code", Row("OIT", 'S', 0x8BF, "/dev/o"), false, 0x8BF},
        {"bits above the table",
         Row("OIT", 'S', static_cast<int32_t>(0x80000000 | 0x8BD), "/dev/o"), false,
         static_cast<int32_t>(0x80000000 | 0x8BD)},
        {"confirmed", Row("OIT", 'S', 0x8BF, "/dev/o"), true, 0x8B8},
        {"stored as a printer", Row("OIT", 'P', 0x8BF, "/dev/o"), false, 0x8B8},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.what);
        c.row.record.mode = 'S';
        c.row.confirmed = c.confirmed;
        PortRecord table[kUartRecords];
        BuildPortTable({c.row}, table);
        EXPECT_EQ(table[0].cflag, c.saved);
    }
}

// The repairs run on entry only: a path typed against the rules is saved as
// typed and repaired when the screen is entered again.
TEST(PortTable, RepairsComeWithTheNextEntry) {
    Sandbox box;
    box.WriteUart({{"PRINTER", 'P', 0, "/dev/lp0", "lpdrv", "Laser"}});
    TextFile txt("PRINTER printers\n");
    std::vector<PortRow> rows = ReadPortRows(txt.f);
    LoadPortRecords(rows);
    CheckPortRecords(rows);
    SetPortField(rows[0].record.path, "/tmp/x");
    PortRecord table[kUartRecords];
    BuildPortTable(rows, table);
    ASSERT_EQ(WriteUartFile(table), 0);
    EXPECT_EQ(Field(box.Read("/u/qel/sys_data/files/uart.bin"), 0, 48), "/tmp/x");
    LoadPortRecords(rows);
    EXPECT_EQ(PortField(rows[0].record.path), "/tmp/x");
    CheckPortRecords(rows);
    EXPECT_EQ(PortField(rows[0].record.path), "/dev/null");
}

TEST(PortTable, LoadingTheRecords) {
    Sandbox box;
    box.WriteUart({{"SERVO", 'S', 0x8BE, "/dev/M_SERVO", "Ondry", "controller"},
                   {"PRINTER", 'P', 0x8BD, "", "lpdrv", "Laser"},
                   {"OIT", 'S', 0x8B1, "/dev/o", "VT100", "terminal"}});
    TextFile txt("SERVO s\nPRINTER p\nOIT o\nPCHANGER -NONE-\n");
    std::vector<PortRow> rows = ReadPortRows(txt.f);
    testing::internal::CaptureStdout();
    LoadPortRecords(rows);
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(console, "LoadPortRecords: OIT: baud code 1 is not in the table, shown as B600\n");
    EXPECT_EQ(rows[0].committed.baud, 6); // B19200
    EXPECT_EQ(rows[0].edit.baud, 6);
    // No path: a serial port with control word 0.
    EXPECT_EQ(rows[1].record.mode, 'S');
    EXPECT_EQ(rows[1].record.cflag, 0);
    EXPECT_EQ(rows[1].storedMode, 'P');
    PreparePortRow(rows[1]);
    EXPECT_EQ(PortField(rows[1].record.type), "");
    EXPECT_EQ(PortField(rows[1].record.description), "");
    EXPECT_EQ(rows[2].committed.baud, 0);
    // A port missing from uart.bin: an empty record with its name.
    EXPECT_EQ(PortField(rows[3].record.name), "PCHANGER");
    EXPECT_EQ(rows[3].record.mode, 'S');
    EXPECT_EQ(EncodeCflag(rows[3].committed), 8);
    EXPECT_EQ(rows[3].storedMode, 0);
}

// The demo station: every port of its uart.txt has its record, the entry's
// repairs leave them alone, and each device list preselects the record's
// own device, for both controller families.
TEST(DemoPorts, EveryPortHasItsRecordAndItsDevice) {
    for (char family : {'A', 'B'}) {
        SCOPED_TRACE(family);
        Sandbox box;
        std::string error;
        ASSERT_TRUE(box.LayOutDemo(&error, false, family)) << error;
        UniqueFile txt(f_Fopen(kPortListPath, "r"));
        ASSERT_TRUE(txt);
        std::vector<PortRow> rows = ReadPortRows(txt.get());
        Texts ports;
        for (const PortRow& row : rows) ports.push_back(row.port);
        EXPECT_EQ(ports, (Texts{"SERVO", "OIT", "PCHANGER", "STERMINAL", "PRINTER", "PLOTTER",
                                "PENPLOTTER"}));
        LoadPortRecords(rows);
        std::vector<PortRow> repaired = rows;
        CheckPortRecords(repaired);
        for (size_t i = 0; i < rows.size(); ++i) {
            const PortRow& row = rows[i];
            SCOPED_TRACE(row.port);
            EXPECT_EQ(row.storedMode, row.record.mode);
            EXPECT_EQ(std::memcmp(&repaired[i].record, &row.record, sizeof row.record), 0);
            if (!row.HasDevice()) continue;
            UniqueFile list = OpenUserOrDefault("printers", row.listWord);
            ASSERT_TRUE(list);
            const std::vector<DeviceEntry> devices = ReadDeviceList(list.get());
            ASSERT_FALSE(devices.empty());
            const DeviceEntry& chosen = devices[PreselectedDevice(devices, row.record)];
            EXPECT_EQ(chosen.description, PortField(row.record.description));
            EXPECT_EQ(chosen.type, PortField(row.record.type));
        }
    }
}

} // namespace
