// Demo tool inventory of the probe changer from its readable source:
// demo/tools.txt, without its '#' lines -> run_data/toolchange/ToolInvList
// (changer types 1 and 2) and TIL.ACR1 (types 4 and 6).
#include "generators.h"
#include "records.h"
#include "sandbox_tree.h"

#include <sstream>

bool GenerateTools(const std::string& source, const std::string& root, std::string* error) {
    std::string text;
    if (!ReadFileBytes(source + "/tools.txt", &text)) return true;
    std::istringstream in(text);
    std::string line, inventory;
    while (std::getline(in, line))
        if (line.empty() || line[0] != '#') inventory += line + "\n";
    const std::string dir = root + "/u/qel/run_data/toolchange/";
    if (!MakeDirs(dir) || !WriteFileBytes(dir + "ToolInvList", inventory) ||
        !WriteFileBytes(dir + "TIL.ACR1", inventory)) {
        *error = "cannot write the tool inventory under " + dir;
        return false;
    }
    return true;
}
