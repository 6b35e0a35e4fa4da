// What the delete screen may remove and the commands it removes it with. No
// X. Every target is an install-tree path as the screen names it; the
// commands run on the translated path (QELPART, QELUSER), every operand
// quoted for the shell.
#pragma once

#include <cstdio>
#include <set>
#include <string>
#include <vector>

// What a deletion takes away.
enum class DelScope {
    kFile,   // one file
    kWalk,   // the files below a walk root that a pattern names
    kFolder, // a folder with everything below it
    kPart,   // a whole part folder
};

// Whether the deletion may go ahead. The path, with "//" and "." taken out,
// must be absolute, hold no ".." (a linked folder makes its lexical and its
// real parent differ) and lie strictly below /u/qel/: a file with a name;
// a walk root below /u/qel/ itself; a whole folder two levels below it at
// least (never /u/qel/part/ or /u/qel/usr_data/ whole); a part a direct child
// of /u/qel/part/.
bool DeletionAllowed(const std::string& path, DelScope scope);

// "rm <path>" on the translated path.
std::string RmCommand(const std::string& path);
// The companions of a file in the user's or the default data's sub folders
// (usr_data/sub/, def_data/sub/): "rm -f <path>.[ELRT]" on the translated
// path, the class left to the shell; "" for any other file.
std::string CompanionCommand(const std::string& path);
// "rm -r <folder>" on the translated path, less one trailing "/".
std::string RemoveDirCommand(const std::string& folder);

// The list of the files a part needs, which files4part writes.
inline constexpr const char* kNeededList = "/u/tmp/lst1.out";
// "files4part <part> > /u/tmp/lst1.out".
std::string Files4PartCommand(const std::string& part);
// What files4part's output is.
enum class NeededList {
    kListed,   // one path a line: each line with text begins with "/"
    kEmpty,    // no path at all
    kNotAList, // a line that is no path here (an error text, binary bytes,
               // a relative or drive path), or one holding a NUL
    kTooLong,  // longer than kNeededListMax bytes
};
// The most of files4part's output that is read: a part's list of paths is far
// shorter; anything longer is no list.
inline constexpr size_t kNeededListMax = 1 << 20;
// The files a part needs, from files4part's list: whole lines, without
// their line ends (LF, and every CR before it), "//" collapsed to "/". Empty
// lines and lines of blanks name nothing; every other line must begin with
// "/". needed holds the paths only for kListed.
NeededList ReadNeededFiles(FILE* f, std::set<std::string>* needed);
