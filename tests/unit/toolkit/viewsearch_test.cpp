// The viewer's search without X: where each search starts, the wrap to the
// beginning, and the positions of a multi-byte text.
#include <gtest/gtest.h>

#include "viewsearch.h"

#include <clocale>
#include <string>

namespace {

constexpr size_t npos = std::string::npos;

TEST(ViewerSearch, StepsWrapsAndRestartsAfterScrolling) {
    //                       0         1         2         3
    //                       0123456789012345678901234567890123
    const std::string text = "one abc two abc three abc four";
    struct Step {
        const char* name;
        const char* what;
        size_t top;    // first visible byte at the press
        size_t found;  // npos: nothing
        size_t topNow; // first visible byte after the match is shown
    };
    const Step steps[] = {
        {"first at or after the top", "abc", 0, 4, 0},
        {"next", "abc", 0, 12, 0},
        {"next again", "abc", 0, 22, 0},
        {"wraps to the first", "abc", 0, 4, 0},
        {"empty finds nothing", "", 0, npos, 0},
        {"empty left the last match", "abc", 0, 12, 0},
        {"scrolled since: starts at the top", "abc", 20, 22, 20},
        {"a new string starts at the top", "t", 10, 16, 10},
        {"none after the last: wraps", "t", 10, 8, 10},
        {"and steps on", "t", 10, 16, 10},
        {"not found", "xyz", 10, npos, 10},
        {"top beyond the text counts as 0", "one", 999, 0, 0},
    };
    ViewerSearch st;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        const size_t found = NextMatch(st, text, s.what, s.top);
        EXPECT_EQ(found, s.found);
        if (found != npos) st.top = s.topNow;
    }
}

TEST(ViewerSearch, LastByteMatchWrapsOnTheNext) {
    const std::string text = "xa";
    ViewerSearch st;
    EXPECT_EQ(NextMatch(st, text, "a", 0), 1u);
    EXPECT_EQ(NextMatch(st, text, "a", 0), 1u); // from the start again
    EXPECT_EQ(NextMatch(st, text, "x", 0), 0u);
}

TEST(ViewerSearch, BytesAndCharactersOfAMultiByteText) {
    const char* old = std::setlocale(LC_CTYPE, nullptr);
    const std::string saved = old ? old : "C";
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    // "a", e-acute (2 bytes), "b", a three-byte character, "c".
    const std::string text = "a\xc3\xa9"
                             "b\xe2\x82\xac"
                             "c";
    const struct {
        size_t bytes, chars;
    } pairs[] = {{0, 0}, {1, 1}, {3, 2}, {4, 3}, {7, 4}, {8, 5}};
    for (const auto& p : pairs) {
        EXPECT_EQ(CharsInBytes(text, p.bytes), p.chars) << p.bytes;
        EXPECT_EQ(BytesOfChars(text, p.chars), p.bytes) << p.chars;
    }
    EXPECT_EQ(BytesOfChars(text, 99), text.size());
    // A byte that starts no character counts as one.
    EXPECT_EQ(CharsInBytes(std::string("\xff") + "a", 2), 2u);
    std::setlocale(LC_CTYPE, saved.c_str());
    // In the C locale bytes and characters are the same.
    EXPECT_EQ(CharsInBytes(text, 7), 7u);
}

} // namespace
