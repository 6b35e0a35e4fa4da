// The head of a text file shown to the operator: the first lines that hold
// text, as a tool left them in a scratch file (the library generator's
// /u/tmp/lib.out, the backup's member list). No X in the text itself; the
// message goes through ScreenMessage.
#pragma once

#include <string>

// The head shows at most this many lines.
inline constexpr int kFileHeadLines = 2;
// The label under the head.
inline constexpr int kFileHeadClosingLabel = 100;

// The first kFileHeadLines lines of the file (opened through the install
// tree's translation) that have text (HasText), each whole, without its
// line end, followed by "\n"; then closing. "" when the file cannot be
// opened or no line has text.
std::string FileHeadText(const std::string& path, const std::string& closing);

// Shows the head of the file with label 100 under it in a message; shows
// nothing when the file is missing or no line has text.
void ShowFileHead(const std::string& path);
