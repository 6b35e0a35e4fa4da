// The one bounded line reader of the installed text files, and the rule by
// which a line of a plot-colour file counts.
//
// Two ways to read a text file:
//   - pieces: at most `limit` characters at a time, the line end included
//     when it fits. A line longer than the limit gives two or more pieces
//     (the label file and the plot-colour files are read this way);
//   - whole lines: read to the line end, keep the first `keep` characters
//     without CR or LF, drop the rest (font list, title file).
//
// Plot colours: the names (switch database) and the pixels (colour scheme)
// are both read from <letter>plotcolors, and name k must stand for pixel
// row k. Both readers therefore read the file through ReadPlotColorLines:
// the same pieces (kPlotColorPiece), the same rule (ParsePlotColorLine) and
// the same cap (kPlotColorMaxLines), and open it through the path
// translation (OpenUserOrDefault).
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

// Closes a file of zfopen/f_Fopen when it goes out of scope.
struct FileCloser {
    void operator()(FILE* f) const;
};
using UniqueFile = std::unique_ptr<FILE, FileCloser>;

// The next piece: at most limit characters (limit >= 1), ending after the
// first line feed when that comes within the limit. False at end of file.
bool ReadPiece(FILE* f, size_t limit, std::string* piece);

// The next whole line, without its CR or LF: the first keep characters up to
// the first CR or LF; the rest of the line is read and dropped. False at end
// of file.
bool ReadCutLine(FILE* f, size_t keep, std::string* line);

// The next whole line, of any length, without its LF and the CRs before it
// (a CR inside the line stays). False at end of file.
bool ReadWholeLine(FILE* f, std::string* line);

// The text up to its first CR or LF.
std::string CutAtLineEnd(const std::string& text);

// Opens /u/qel/usr_data/<subdir>/<name> (through QELUSER), else
// /u/qel/def_data/<subdir>/<name>, for reading. Null when neither opens;
// *opened (when given) gets the path that opened.
UniqueFile OpenUserOrDefault(const std::string& subdir, const std::string& name,
                             std::string* opened = nullptr);

// Plot-colour files: /u/qel/{usr,def}_data/misc/<letter>plotcolors.
inline constexpr size_t kPlotColorPiece = 198; // characters per piece
inline constexpr int kPlotColorMaxLines = 149; // counted lines taken

// One counted line: "<number> <NAME> <xcolour> [<fallback>]".
struct PlotColorLine {
    int number = 0;
    std::string name;     // plot-colour name
    std::string xcolor;   // X colour name
    std::string fallback; // X colour tried when xcolor fails; "*" = none
};

// A piece counts when it does not begin with '!', LF or CR and reads as an
// integer followed by at least two words; a missing fallback word reads as
// "*". Words are separated by white space.
bool ParsePlotColorLine(const std::string& piece, PlotColorLine* out);

// The counted lines of an open plot-colour file, in file order, at most
// kPlotColorMaxLines of them.
std::vector<PlotColorLine> ReadPlotColorLines(FILE* f);
