// The head of a text file: which lines count, how many, whole lines without
// their line ends, and nothing at all for a missing file or one without
// text. Shown through the screens' message seam with the label file loaded.
#include <gtest/gtest.h>

#include "choice.h"
#include "filehead.h"
#include "labels.h"
#include "sandbox.h"

#include <string>
#include <vector>

namespace {

TEST(FileHead, TheFirstTwoLinesWithText) {
    Sandbox box;
    const std::string longLine = "L" + std::string(300, 'x');
    const struct {
        const char* name;
        std::string bytes;
        std::string head;
    } cases[] = {
        {"two of three", "first\nsecond\nthird\n", "first\nsecond\nL100"},
        {"blank, tab and high-byte lines have no text",
         "   \n\tindented by a tab\n\x80\xff high\n  kept as it is\n\nlast\n",
         "  kept as it is\nlast\nL100"},
        {"one line with text", "\n\nonly\n\n", "only\nL100"},
        {"no line with text", "\n  \n\t\n", ""},
        {"an empty file", "", ""},
        {"CR LF and a last line without its line end", "a\r\nb", "a\nb\nL100"},
        {"a line longer than any buffer stays whole", longLine + "\nnext\n",
         longLine + "\nnext\nL100"},
        {"a second line longer still", "one\n" + longLine + longLine + "\n",
         "one\n" + longLine + longLine + "\nL100"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        box.Write("/u/tmp/lib.out", c.bytes);
        EXPECT_EQ(FileHeadText("/u/tmp/lib.out", "L100"), c.head);
    }
    box.Remove("/u/tmp/lib.out");
    EXPECT_EQ(FileHeadText("/u/tmp/lib.out", "L100"), "");
}

std::vector<std::string> Shown;

int Record(const std::string& text) {
    Shown.push_back(text);
    return 1;
}

TEST(FileHead, ShownWithLabel100OrNotAtAll) {
    Sandbox box;
    std::string labels;
    for (int n = 1; n <= 120; ++n) labels += "L" + std::to_string(n) + "\n";
    box.Write(LabelFileName(0), labels);
    Language = 0;
    ASSERT_EQ(InitVok(), 0);
    SetScreenMessageHook(Record);
    Shown.clear();
    ShowFileHead("/u/tmp/lib.out"); // missing
    box.Write("/u/tmp/lib.out", "\n \n");
    ShowFileHead("/u/tmp/lib.out"); // no text
    EXPECT_TRUE(Shown.empty());
    box.Write("/u/tmp/lib.out", "library made\n12 entries\n\n");
    ShowFileHead("/u/tmp/lib.out");
    EXPECT_EQ(Shown, std::vector<std::string>{"library made\n12 entries\nL100"});
    SetScreenMessageHook(nullptr);
    FreeLabText();
}

} // namespace
