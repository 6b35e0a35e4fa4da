// The head of a text file shown to the operator.
#include "filehead.h"

#include "choice.h"
#include "labels.h"
#include "linereader.h"
#include "listreader.h"
#include "paths.h"

std::string FileHeadText(const std::string& path, const std::string& closing) {
    UniqueFile f(f_Fopen(path, "r"));
    if (!f) return "";
    std::string text, line;
    int found = 0;
    while (found < kFileHeadLines && ReadWholeLine(f.get(), &line)) {
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
