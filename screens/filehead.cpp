// The head of a text file shown to the operator.
#include "filehead.h"

#include "choice.h"
#include "labels.h"
#include "linereader.h"
#include "listreader.h"
#include "paths.h"

namespace {

// The next line whole, without LF or CR LF (a lone CR at its end too).
// False at end of file.
bool NextLine(FILE* f, std::string* line) {
    line->clear();
    int c;
    bool any = false;
    while ((c = std::fgetc(f)) != EOF) {
        any = true;
        if (c == '\n') break;
        line->push_back(static_cast<char>(c));
    }
    if (!line->empty() && line->back() == '\r') line->pop_back();
    return any;
}

} // namespace

std::string FileHeadText(const std::string& path, const std::string& closing) {
    UniqueFile f(f_Fopen(path, "r"));
    if (!f) return "";
    std::string text, line;
    int found = 0;
    while (found < kFileHeadLines && NextLine(f.get(), &line)) {
        if (!HasText(line)) continue;
        text += line + "\n";
        ++found;
    }
    return found == 0 ? "" : text + closing;
}

void ShowFileHead(const std::string& path) {
    const std::string text = FileHeadText(path, LabText(kFileHeadClosingLabel));
    if (!text.empty()) ScreenMessage(text);
}
