// The text viewer's search, without X: where a search starts, forward with
// wrap-around, and the conversion between byte offsets of the text and the
// character positions of the text widget (they differ under the Japanese
// language, whose texts are multi-byte EUC).
#pragma once

#include <cstddef>
#include <string>

// What the last search found: the string searched for, where it matched
// (the next search of the same string starts after it) and the text's first
// visible position right after the match.
struct ViewerSearch {
    std::string text;
    size_t pos = 0;
    size_t top = 0;
};

// Searches what for the next time in buffer, top being the text's first
// visible byte now. A new string starts at top; the same string again starts
// after the last match, or at top when the text was scrolled since. A match
// is looked for from the start to the end of the text, then once more from
// its beginning. Answers the match's offset (st.pos and st.text updated) or
// npos (st.pos kept). An empty what finds nothing and changes nothing.
size_t NextMatch(ViewerSearch& st, const std::string& buffer, const std::string& what, size_t top);

// The number of characters in the first bytes of text, as the locale's
// character type counts them (an invalid byte counts as one character).
size_t CharsInBytes(const std::string& text, size_t bytes);
// The byte offset at which character position chars of text starts (the
// text's length when chars lies beyond its end).
size_t BytesOfChars(const std::string& text, size_t chars);
