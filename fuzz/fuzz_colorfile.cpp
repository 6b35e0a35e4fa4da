// Fuzz target: the colour-file reader. The input is a colour file in the
// default data; the scheme must stay within its limits, every override must
// be found by its style, and the base colours keep their names and take
// only whole words as values.
#include "colorfile.h"
#include "support.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

ColorPixel Pixel(const std::string& name) {
    return name.size();
}

bool IsWord(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c == '\0' || std::isspace(static_cast<unsigned char>(c))) return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::FILE* const quiet = std::fopen("/dev/null", "w");
    FuzzWrite("/u/qel/def_data/misc/colors.FUZZ", data, size);
    std::string name = "colors.FUZZ";
    BaseColorTable base = InitialBaseColors();
    const BaseColorTable start = base;
    ColorScheme scheme;
    if (!LoadColorScheme(&name, Pixel, &base, &scheme, quiet)) std::abort();
    if (scheme.pairs.size() > static_cast<size_t>(kMaxColorPairs)) std::abort();
    if (scheme.overrides.size() > static_cast<size_t>(kMaxColorOverrides)) std::abort();
    for (const WidgetColorOverride& o : scheme.overrides) {
        const WidgetColorOverride* found = scheme.FindOverride(o.style);
        if (!found || found->style != o.style || !IsWord(o.style)) std::abort();
        if (!o.icon.empty() && !IsWord(o.icon)) std::abort();
    }
    for (const ColorPair& p : scheme.pairs)
        if (!IsWord(p.name) || scheme.FindPair(p.name)->name != p.name) std::abort();
    for (int i = 0; i < kBaseColorCount; ++i)
        if (base[i].name != start[i].name || !IsWord(base[i].value)) std::abort();
    for (int i = -1; i <= kColorIndexCount; ++i) {
        const int row = BaseRowOfColorIndex(i);
        if (row < 0 || row >= kBaseColorCount) std::abort();
    }
    return 0;
}
