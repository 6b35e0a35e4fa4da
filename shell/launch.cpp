// Program and editor launchers.
#include "launch.h"

#include "process.h"

#include <cstdio>

int SystemCmd(const std::string& command) {
    std::printf("SYSTEM('%s')\n", command.c_str());
    std::fflush(stdout);
    return RunShellCommand(command);
}
