// The readers of the install's own tables (media.bin, uart.bin, uart.txt, a
// printers list, DOSHELLS) with something else in a table's place: a FIFO
// and a link to /dev/zero are refused, a 64 MiB file is read only as far as
// its format can hold; each time the reader returns and the console names
// the file. Each reader runs in a child, so that one that would wait in
// open or read without end is ended at a generous bound instead of holding
// the test.
#include <gtest/gtest.h>

#include "editmodel.h"
#include "media.h"
#include "portmodel.h"
#include "ports.h"
#include "proc.h"
#include "records.h"
#include "sandbox.h"

#include <fcntl.h>
#include <functional>
#include <signal.h>
#include <string>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// Far above what reading 64 KiB takes on a busy machine.
constexpr int kReaderBoundMs = 20000;
constexpr off_t kLongFile = 64L << 20;

enum class Kind { kFifo, kZeroLink, kLong };
const char* KindName(Kind k) {
    return k == Kind::kFifo ? "a FIFO" : k == Kind::kZeroLink ? "a link to /dev/zero" : "64 MiB";
}

// What a reader did, as a short text, and the console it wrote.
struct Outcome {
    bool returned = false;
    std::string result;
    std::string console;
};

// Runs the reader in a child whose standard output goes to a file.
Outcome RunReader(const Sandbox& box, const std::function<std::string()>& reader) {
    const std::string console = box.Path("/reader.out");
    const std::string result = box.Path("/reader.result");
    unlink(result.c_str());
    const int status = RunInChild(
        [&] {
            // The child goes with the test, however the test ends.
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            const int fd = open(console.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(fd, 1);
            close(fd);
            WriteFileBytes(result, reader());
        },
        kReaderBoundMs);
    Outcome o;
    o.returned = status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    ReadFileBytes(result, &o.result);
    ReadFileBytes(console, &o.console);
    return o;
}

const char* StateName(InstallFile state) {
    switch (state) {
    case InstallFile::kRead:
        return "read";
    case InstallFile::kCut:
        return "cut";
    case InstallFile::kMissing:
        return "missing";
    case InstallFile::kRefused:
        return "refused";
    }
    return "?";
}

// Puts the kind of file in the place: for the long one the head, then
// zeros up to 64 MiB.
void Plant(const Sandbox& box, const std::string& logical, Kind kind, const std::string& head) {
    box.Write(logical, head);
    const std::string path = box.Path(logical);
    if (kind == Kind::kLong) {
        ASSERT_EQ(truncate(path.c_str(), kLongFile), 0);
        return;
    }
    ASSERT_EQ(unlink(path.c_str()), 0);
    if (kind == Kind::kFifo)
        ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    else
        ASSERT_EQ(symlink("/dev/zero", path.c_str()), 0);
}

std::string MediaRecordBytes(const char* label, const char* device) {
    std::string r(80, '\0');
    r[0] = 1; // enabled
    r.replace(4, std::string(label).size(), label);
    r.replace(54, std::string(device).size(), device);
    return r;
}

std::string ServoRecordBytes() {
    std::string r(168, '\0');
    r.replace(0, 5, "SERVO");
    r[40] = 'S';
    r.replace(88, 5, "Ondry");
    return r;
}

std::string Notice(const char* who, const char* path, const char* what) {
    return std::string(who) + ": " + path + " " + what + "\n";
}

TEST(PlainInstallFiles, EachReaderRefusesOrCutsAndSaysSo) {
    Sandbox box;
    std::vector<std::string> commands;
    const FileUi ui{[](int n) { return "L" + std::to_string(n); },
                    [](const std::string&) { return 1; },
                    [&commands](const std::string& c) {
                        commands.push_back(c);
                        return 0;
                    },
                    [](bool) {}};

    const char* const media = "/u/qel/sys_data/files/media.bin";
    const char* const uartBin = "/u/qel/sys_data/files/uart.bin";
    const char* const uartTxt = "/u/qel/database/uart.txt";
    const char* const printers = "/u/qel/usr_data/printers/PRINTER";
    const char* const doshells = "/u/qel/shell/DOSHELLS";
    const char* const notRead = "is not a plain file, not read";

    struct Reader {
        const char* name;
        const char* file;
        std::string head; // a valid start, for the long file
        std::function<std::string()> read;
        std::string refused; // the result for a FIFO or a link to /dev/zero
        std::string refusedLine;
        std::string cut; // the result for the long file
        std::string cutLine;
    };
    const Reader readers[] = {
        {"media.bin", media, MediaRecordBytes("Floppy", "/dev/fd0"),
         [&] {
             std::string bytes;
             const InstallFile state = ReadMediaFile("LoadMediaSelect", media, &bytes);
             return std::string(StateName(state)) + " " + std::to_string(bytes.size()) + " " +
                    std::to_string(SelectableMedia(bytes).size());
         },
         "refused 0 0", Notice("LoadMediaSelect", media, notRead), "cut 65536 1",
         Notice("LoadMediaSelect", media,
                "is longer than 65536 bytes, only its first 65536 are read")},
        {"uart.bin read", uartBin, ServoRecordBytes(),
         [] {
             PortRecord r;
             return std::to_string(GetPortCodes("SERVO", &r));
         },
         "-1", Notice("GetPortCodes", uartBin, notRead), "0", ""},
        {"uart.bin write", uartBin, ServoRecordBytes(),
         [] {
             PortRecord table[10] = {};
             return std::to_string(WriteUartFile(table));
         },
         "-1", Notice("WriteUartFile", uartBin, "is not a plain file, not written"), "0", ""},
        {"uart.txt", uartTxt, "# ports\nSERVO SERVO\n",
         [] {
             std::vector<PortRow> rows;
             const bool loaded = LoadPortList(&rows);
             return std::to_string(loaded) + " " + std::to_string(rows.size());
         },
         "0 0", Notice("ShowPortConfig", uartTxt, notRead), "1 1",
         Notice("ShowPortConfig", uartTxt,
                "is longer than 65536 bytes, only its first 20 are read")},
        {"a printers list", printers, "\"Laser printer\" lpdrv\n",
         [] {
             std::vector<DeviceEntry> list;
             const bool loaded = LoadDeviceList("PRINTER", &list);
             return std::to_string(loaded) + " " + std::to_string(list.size());
         },
         "0 0",
         Notice("LoadDeviceList", printers, notRead) +
             "LoadDeviceList: no printers list 'PRINTER'\n",
         "1 1",
         Notice("LoadDeviceList", printers,
                "is longer than 65536 bytes, only its first 22 are read")},
        {"DOSHELLS", doshells, "/lib/ dolib\n",
         [&] {
             commands.clear();
             RunPostEditShell("/u/qel/part/P1/lib/", "L1", ui);
             return std::to_string(commands.size());
         },
         "0", Notice("RunPostEditShell", doshells, notRead), "1",
         Notice("RunPostEditShell", doshells,
                "is longer than 65536 bytes, only its first 12 are read")},
    };
    for (const Reader& r : readers) {
        for (Kind kind : {Kind::kFifo, Kind::kZeroLink, Kind::kLong}) {
            SCOPED_TRACE(std::string(r.name) + " as " + KindName(kind));
            Plant(box, r.file, kind, r.head);
            const Outcome o = RunReader(box, r.read);
            EXPECT_TRUE(o.returned) << o.console;
            const bool longFile = kind == Kind::kLong;
            EXPECT_EQ(o.result, longFile ? r.cut : r.refused);
            EXPECT_EQ(o.console, longFile ? r.cutLine : r.refusedLine);
            box.Remove(r.file);
        }
    }
}

} // namespace
