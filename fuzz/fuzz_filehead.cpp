// Fuzz target: the head of a text file shown to the operator. Input: the
// file. The head is empty or at most two whole lines with text, each with
// its line end, and then the closing text.
#include "filehead.h"
#include "listreader.h"
#include "support.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzRoot();
    FuzzWrite("/u/tmp/lib.out", data, size);
    const std::string closing = "[closing]";
    const std::string head = FileHeadText("/u/tmp/lib.out", closing);
    if (head.empty()) return 0;
    Check(head.size() >= closing.size());
    Check(head.compare(head.size() - closing.size(), closing.size(), closing) == 0);
    const std::string lines = head.substr(0, head.size() - closing.size());
    Check(!lines.empty() && lines.back() == '\n');
    int count = 0;
    for (size_t start = 0; start < lines.size();) {
        const size_t end = lines.find('\n', start);
        const std::string line = lines.substr(start, end - start);
        Check(HasText(line));
        Check(line.find('\r') == std::string::npos || line.back() != '\r');
        ++count;
        start = end + 1;
    }
    Check(count >= 1 && count <= 2);
    Check(lines.size() <= size + 2);
    return 0;
}
