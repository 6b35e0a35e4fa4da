// Builds an install tree in a sandbox folder from the readable sources of
// the repository (demo/): text files are copied, binary files are generated
// from their descriptions, and the stand-ins of the suite's scripts are laid
// out around the simulated message server, with the stand-ins of the suite's
// tools that the file screens start (files4part in sim/bin, for PATH).
//
//   qel-mktree --source demo --msgsim /path/to/qel-msgsim [--online] [--family A|B]
//              [--keep-server] [--owner PID] ROOT
//
// --online makes the station run with its controller (configuration item 3
// set to 0) and a probe changer of type 1 (item 26): the controller
// simulator qel-ctlsim then serves its line. --family B makes its controller
// a family B one (the SERVO record's type KROMI, and the description that
// the SERVO device list gives it), for qel-ctlsim --family B. The printer
// drivers of demo/drivers.txt get stand-ins.
// --keep-server: the KILL_XSERVER stand-in leaves a running server and its
// queue alone (for a program started against a server started before it).
// --owner: the simulated server ends, with its queue, when that process (a
// test) has gone.
#include "generators.h"
#include "records.h"
#include "sandbox_tree.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

bool CopyTree(const fs::path& from, const fs::path& to, std::string* error) {
    std::error_code ec;
    if (!fs::exists(from)) return true;
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
    if (ec) *error = "cannot copy " + from.string() + ": " + ec.message();
    return !ec;
}

// Every binary file of the tree, in the order they are made.
const TreeGenerator kGenerators[] = {
    GenerateSysgen, GenerateLabels, GenerateSwitch, GenerateTitles, GeneratePassword, GenerateUart,
    GenerateServo,  GenerateSysPar, GenerateTools,  GenerateStest,  GenerateMedia,
};

// The driver names of demo/drivers.txt (comment lines begin with '#').
std::vector<std::string> DriverNames(const std::string& source) {
    std::vector<std::string> names;
    std::string text;
    if (!ReadFileBytes(source + "/drivers.txt", &text)) return names;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(at, end - at);
        if (!line.empty() && line[0] != '#') names.push_back(line);
        at = end + 1;
    }
    return names;
}

// The items of a station that works with its controller and probe changer.
std::map<int, SysgenItem> OnlineItems() {
    SysgenItem online, changer;
    online.i = 0;  // operating mode: online
    changer.i = 1; // probe changer type 1
    return {{3, online}, {26, changer}};
}

} // namespace

int main(int argc, char** argv) {
    std::string source, root;
    SandboxOptions options;
    options.suiteTools = true;
    bool online = false;
    bool familyB = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--online")
            online = true;
        else if (a == "--family" && i + 1 < argc &&
                 (std::string(argv[i + 1]) == "A" || std::string(argv[i + 1]) == "B"))
            familyB = std::string(argv[++i]) == "B";
        else if (a == "--source" && i + 1 < argc)
            source = argv[++i];
        else if (a == "--msgsim" && i + 1 < argc)
            options.msgsim = argv[++i];
        else if (a == "--keep-server")
            options.killServer = false;
        else if (a == "--owner" && i + 1 < argc)
            options.owner = std::atoi(argv[++i]);
        else
            root = a;
    }
    if (source.empty() || root.empty() || options.msgsim.empty()) {
        std::fprintf(stderr, "usage: qel-mktree --source DIR --msgsim PATH [--online] "
                             "[--family A|B] [--keep-server] [--owner PID] ROOT\n");
        return 2;
    }
    options.printerDrivers = DriverNames(source);
    root = fs::absolute(root).lexically_normal().string();
    while (root.size() > 1 && root.back() == '/') root.pop_back();
    options.msgsim = fs::absolute(options.msgsim).string();
    std::string error;
    bool ok = LayOutSandbox(root, options, &error) &&
              CopyTree(fs::path(source) / "tree", root + "/u/qel", &error);
    for (TreeGenerator generate : kGenerators) ok = ok && generate(source, root, &error);
    if (online) ok = ok && GenerateSysgenWith(source, root, OnlineItems(), &error);
    if (familyB)
        ok = ok && GenerateUartWithServo(source, root, "KROMI",
                                         "measuring machine controller (family B)", &error);
    if (!ok) {
        std::fprintf(stderr, "qel-mktree: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", root.c_str());
    return 0;
}
