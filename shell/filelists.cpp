// File-list loaders.
#include "filelists.h"

#include "launch.h"
#include "linereader.h"
#include "listreader.h"
#include "ospath.h"
#include "paths.h"
#include "process.h"

#include <cstdio>
#include <dirent.h>
#include <new>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unordered_set>

namespace {

constexpr const char* kListScript = "/u/qel/shell/dols";

// Runs the listing script for the folder into the scratch file. The file of
// an earlier listing goes first, so that a script that writes nothing
// leaves nothing to be read as this folder's names.
void RunListScript(const std::string& folder) {
    os_remove(kListOut);
    SystemCmd(std::string(kListScript) + " " + ShellQuote(ModifyPath(folder)) + " " +
              ShellQuote(kListOut));
}

// One console line.
void Say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// What the folder's own entries say about the names of a listing: which
// are folders, and which (links, entries of a kind the folder cannot tell)
// must be looked at one by one. One read of the folder in place of a look
// at each name; a name the folder does not hold is no folder.
struct FolderKinds {
    std::unordered_set<std::string> folders;
    std::unordered_set<std::string> unsure;
    bool read = false;
};

FolderKinds ReadFolderKinds(const std::string& folder) {
    FolderKinds kinds;
    DIR* d = os_opendir(ModifyPath(folder));
    if (!d) return kinds;
    kinds.read = true;
    while (const dirent* e = readdir(d)) {
        if (e->d_type == DT_DIR) kinds.folders.insert(e->d_name);
        if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) kinds.unsure.insert(e->d_name);
    }
    closedir(d);
    return kinds;
}

bool NamesFolder(const std::string& folder, const std::string& name, const FolderKinds& kinds) {
    if (!kinds.read || kinds.unsure.count(name)) return FileType(folder + name) == 1;
    return kinds.folders.count(name) > 0;
}

std::vector<std::string> ReadLinesOf(const std::string& path) {
    UniqueFile f(f_Fopen(path, "r"));
    return ReadListLines(f.get());
}

} // namespace

int FileType(const std::string& path) {
    struct stat st {};
    if (f_Stat(path, &st) != 0) return 0;
    switch (st.st_mode & S_IFMT) {
    case S_IFDIR:
        return 1;
    case S_IFREG:
    case 0:
        return 2;
    case S_IFCHR:
        return 3;
    case S_IFBLK:
        return 4;
    case S_IFIFO:
        return 5;
    default:
        return 0;
    }
}

long FileSize(const std::string& path) {
    struct stat st {};
    if (f_Stat(path, &st) != 0) return 0;
    return static_cast<long>(st.st_size);
}

int ReadDirList(const std::string& folder, std::vector<std::string>* names) {
    names->clear();
    RunListScript(folder);
    struct stat st {};
    UniqueFile f(f_Stat(kListOut, &st) == 0 ? f_Fopen(kListOut, "r") : nullptr);
    if (!f) {
        Say("ReadDirList: no listing of " + folder);
        return kListUnreadableLabel;
    }
    try {
        *names = ReadListLines(f.get());
    } catch (const std::bad_alloc&) {
        names->clear();
        return kListNoMemoryLabel;
    }
    if (names->empty()) return kListEmptyLabel;
    f.reset();
    os_remove(kListOut);
    return 0;
}

int ReadPartList(const std::string& listFile, std::vector<std::string>* names) {
    names->clear();
    UniqueFile f(f_Fopen(listFile, "r"));
    if (!f) {
        Say("ReadPartList: unable to open " + listFile);
        return kListUnreadableLabel;
    }
    try {
        for (const std::string& line : ReadListLines(f.get()))
            if (HasText(line) && FileType(kPartRoot + line) == 1) names->push_back(line);
    } catch (const std::bad_alloc&) {
        names->clear();
        return kListNoMemoryLabel;
    }
    return 0;
}

bool ListFolder(const std::string& folder, ListRule rule, std::vector<std::string>* names,
                bool* hasSubfolder) {
    names->clear();
    *hasSubfolder = false;
    RunListScript(folder);
    UniqueFile f(f_Fopen(kListOut, "r"));
    if (!f) {
        Say("ListFolder: no listing of " + folder);
        return false;
    }
    const FolderKinds kinds = ReadFolderKinds(folder);
    for (const std::string& name : ReadListLines(f.get())) {
        const bool isFolder = NamesFolder(folder, name, kinds);
        if (isFolder) *hasSubfolder = true;
        const bool hidden = rule == ListRule::kDir ? HiddenInDirList(name) : HiddenInEditList(name);
        if (!hidden) names->push_back(isFolder ? name + "/" : name);
    }
    return true;
}

std::vector<std::string> TopListNames(const std::string& key, const std::string& currentPart) {
    std::vector<std::string> names;
    if (!currentPart.empty()) names.push_back(currentPart + "/");
    names.push_back("part/");
    if (key.empty()) return names;
    UniqueFile f = OpenUserOrDefault("misc", key);
    // A line that names its folder with the "/" already gets no second one.
    for (const std::string& line : ReadListLines(f.get()))
        names.push_back(line.back() == '/' ? line : line + "/");
    return names;
}

bool ListArchive(const std::string& device, std::vector<ArchiveMember>* members, int* status) {
    members->clear();
    os_remove(kTarOut);
    // Each member with its type, one a line, whatever its name holds.
    const int result = SystemCmd(std::string(kTarVerboseList) + " " + ShellQuote(device) + " >" +
                                 ShellQuote(kTarOut));
    if (status) *status = result;
    // What tar listed before a failure is kept.
    size_t number = 0;
    for (const std::string& line : ReadLinesOf(kTarOut)) {
        ++number;
        ArchiveMember m;
        if (ParseListingLine(line, &m))
            members->push_back(std::move(m));
        else
            Say("ListArchive: line " + std::to_string(number) + " names no member");
    }
    if (result != 0) {
        const int code = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
        Say("ListArchive: tar ended with status " + std::to_string(code));
        return false;
    }
    return true;
}
