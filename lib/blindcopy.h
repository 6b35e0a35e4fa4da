// Blind copies: a file copied byte for byte, whole, without a look at its
// content, but for a form-feed marker at its very start or end that the
// copy may leave out. The text viewer's print copy is made this way.
#pragma once

#include <string>

// The form-feed marker: backslash, '!', '2', 'F', 'F'.
inline constexpr const char kFormFeedMarker[] = "\\!2FF";
// Flags of f_CopyBlindFF.
inline constexpr unsigned int kDropLeadingFF = 1;
inline constexpr unsigned int kDropTrailingFF = 2;

// Copies in to out (both install-tree paths, translated). A marker counts
// only where at least its five bytes remain; the trailing one is looked for
// in what the leading cut left. Results: 0 copied; -90 the input is missing
// or empty (no output is made); -163 a file cannot be opened; -22 no memory
// for the input; -131 the input cannot be read whole; -98 the output cannot
// be written whole (its flush and close included). When in and out are one
// file, the input is read before the output is opened, so a failure leaves
// it as it was; otherwise the output is opened first and stays empty when
// the input cannot be opened or read.
int f_CopyBlindFF(const std::string& in, const std::string& out, unsigned int flags);
