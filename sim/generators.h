// Generators of the demo tree's binary files, each from its readable source
// in the demo folder. Each takes the demo source folder and the sandbox root;
// a missing source is no error (the file is simply not made).
#pragma once

#include <string>

using TreeGenerator = bool (*)(const std::string& source, const std::string& root,
                               std::string* error);

// demo/sysgen.txt -> sys_data/files/sysgen.bin and Dsysgen.bin
bool GenerateSysgen(const std::string& source, const std::string& root, std::string* error);
