// Shared pieces of the end-to-end tests: the real program run in a sandbox,
// and the offline station that most of them use.
#pragma once

#include "proc.h"
#include "sandbox.h"

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

// How long a start-up may take, up to its "ChangeCursor" step.
inline constexpr int kStartupMs = 30000;

// The program's fixed pauses (start-up, the server's start, the printer
// drivers) at a tenth of their length, for tests that do not look at them.
inline std::map<std::string, std::string> ShortPauses() {
    return {{"QEL_NAP_PERCENT", "10"}};
}

// The program with the arguments, its console in the sandbox's vok.out; env
// is added to this process's environment.
class VokRun {
  public:
    explicit VokRun(const Sandbox& box, std::vector<std::string> args = {},
                    const std::map<std::string, std::string>& env = ShortPauses())
        : child_(Argv(std::move(args)), env, box.root() + "/vok.out") {}
    ChildProcess& child() { return child_; }

  private:
    static std::vector<std::string> Argv(std::vector<std::string> args) {
        args.insert(args.begin(), QEL_VOK_PATH);
        return args;
    }
    ChildProcess child_;
};

// Store items of a station that runs without a controller attached.
inline std::map<int, SysgenItem> OfflineStation() {
    return {{0, IntItem(0)}, {3, IntItem(2)}, {96, StrItem("colors.QEL")}};
}

// The store of the offline station and a port table with its SERVO record:
// with a record, the machine-state check takes the station as offline and
// start-up shows no message about a controller.
inline void WriteOfflineStation(const Sandbox& box) {
    box.WriteSysgen(OfflineStation(), 100);
    box.WriteUart({ServoEntry()});
}
