// The online demo station of the end-to-end tests: the controller simulator
// qel-ctlsim on its lines (the controller and the probe changer) and the
// real program on it, and the simulator's log as lines.
#pragma once

#include "proc.h"
#include "sandbox.h"
#include "vok_run.h"

#include <gtest/gtest.h>

#include <csignal>
#include <map>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <vector>

// The simulator's log without its times.
inline std::vector<std::string> ControllerLog(const Sandbox& box) {
    std::vector<std::string> lines;
    for (const std::string& l : SplitLines(box.Read("/sim/controller.log"))) {
        const size_t at = l.find_first_not_of(' ');
        const size_t space = l.find(' ', at);
        lines.push_back(space == std::string::npos ? "" : l.substr(space + 1));
    }
    return lines;
}

// The online demo station with the simulator on its lines; family 'A' or
// 'B', simArgs added to the simulator's.
class OnlineRun {
  public:
    explicit OnlineRun(const std::vector<std::string>& simArgs, char family = 'A') {
        std::string error;
        ok_ = box_.LayOutDemo(&error, true, family);
        EXPECT_TRUE(ok_) << error;
        std::vector<std::string> argv = {QEL_CTLSIM_PATH, "--root",   box_.root(),
                                         "--changer",     "--family", std::string(1, family)};
        argv.insert(argv.end(), simArgs.begin(), simArgs.end());
        sim_ = std::make_unique<ChildProcess>(argv, std::map<std::string, std::string>{},
                                              box_.root() + "/sim/ctlsim.out");
        ok_ = ok_ && sim_->WaitForOutput("qel-ctlsim: /dev/M_SERVO", 5000);
        EXPECT_TRUE(ok_) << sim_->Output();
        if (ok_) vok_ = std::make_unique<VokRun>(box_);
    }
    ~OnlineRun() {
        vok_.reset();
        if (sim_) sim_->Kill();
    }
    bool ok() const { return ok_; }
    const Sandbox& box() const { return box_; }
    ChildProcess& vok() { return vok_->child(); }
    // Ends the simulator as demo/run.sh does: true when it ended with status
    // 0 and took its links away.
    bool StopSimulator() {
        kill(sim_->pid(), SIGTERM);
        int status = 0;
        if (!sim_->WaitExit(5000, &status)) return false;
        return WIFEXITED(status) && WEXITSTATUS(status) == 0 && !box_.Exists("/dev/M_SERVO") &&
               !box_.Exists("/dev/M_PCHANGER");
    }

  private:
    Sandbox box_;
    bool ok_ = false;
    std::unique_ptr<ChildProcess> sim_;
    std::unique_ptr<VokRun> vok_;
};
