// The text viewer's search.
#include "viewsearch.h"

#include <cwchar>

size_t NextMatch(ViewerSearch& st, const std::string& buffer, const std::string& what, size_t top) {
    if (what.empty()) return std::string::npos;
    if (top > buffer.size()) top = 0;
    size_t start = top;
    if (what != st.text) {
        st.text = what;
    } else if (top == st.top) {
        start = st.pos + 1;
        if (start >= buffer.size()) start = 0;
    }
    size_t found = buffer.find(st.text, start);
    if (found == std::string::npos) found = buffer.find(st.text);
    if (found != std::string::npos) st.pos = found;
    return found;
}

namespace {

// Length of the character at text[at], at least 1.
size_t CharLength(const std::string& text, size_t at, std::mbstate_t* state) {
    const size_t n = std::mbrlen(text.data() + at, text.size() - at, state);
    if (n == 0 || n == static_cast<size_t>(-1) || n == static_cast<size_t>(-2)) {
        *state = std::mbstate_t{};
        return 1;
    }
    return n;
}

} // namespace

size_t CharsInBytes(const std::string& text, size_t bytes) {
    if (bytes > text.size()) bytes = text.size();
    std::mbstate_t state{};
    size_t chars = 0;
    for (size_t at = 0; at < bytes; ++chars) at += CharLength(text, at, &state);
    return chars;
}

size_t BytesOfChars(const std::string& text, size_t chars) {
    std::mbstate_t state{};
    size_t at = 0;
    for (size_t n = 0; n < chars && at < text.size(); ++n) at += CharLength(text, at, &state);
    return at < text.size() ? at : text.size();
}
