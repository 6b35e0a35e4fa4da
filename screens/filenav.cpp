// Folder navigation of the file screens.
#include "filenav.h"

#include "filelists.h"
#include "filematch.h"

namespace {

constexpr const char* kPartFolders = kPartRoot;

bool PartCurrent(const FileNav& nav) {
    return !nav.currentPart.empty();
}

bool HotkeysAtTop(const FileNav& nav) {
    return !nav.rules.hotkeysByMember && PartCurrent(nav);
}

void HideHotkeys(FileNav& nav) {
    if (!nav.rules.hotkeysByMember) nav.hotkeys = false;
}

void ListTop(FileNav& nav, const NavIo& io) {
    nav.state = kNavTop;
    nav.parentState = kNavTop;
    nav.depth = 0;
    nav.list = true;
    nav.header = false;
    nav.upOne = false;
    nav.wholeFolder = nav.rules.wholeFolderEverywhere;
    nav.hotkeys = HotkeysAtTop(nav);
    nav.multiple = false;
    nav.hasSubfolders = io.list("");
}

// A new listing starts with single selection.
void ListFolder(FileNav& nav, const std::string& folder, const NavIo& io) {
    nav.folder = folder;
    nav.list = true;
    nav.header = true;
    nav.upOne = true;
    nav.multiple = false;
    nav.hasSubfolders = io.list(folder);
}

std::string AsFolder(std::string path) {
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

// The folder above, cut after the "/" in front of the last folder name.
std::string ParentOf(const std::string& folder) {
    if (folder.size() < 2) return folder;
    const size_t slash = folder.rfind('/', folder.size() - 2);
    return slash == std::string::npos ? folder : folder.substr(0, slash + 1);
}

// Shown after going up or leaving the target phase into a folder with sub
// folders in a state below 20.
bool WholeFolderAfterReturn(const FileNav& nav) {
    return nav.rules.wholeFolderButton && nav.hasSubfolders == 1 &&
           (nav.state < kNavMisc || nav.rules.wholeFolderEverywhere);
}

NavOutcome EnterFromTop(FileNav& nav, int position, const std::string& entry, const NavIo& io) {
    const bool part = PartCurrent(nav);
    int state = kNavMisc;
    std::string folder;
    if (part && position == 1) {
        state = kNavCurPart;
        folder = kPartFolders + nav.currentPart + "/";
    } else if (position == (part ? 2 : 1)) {
        state = kNavPartList;
        folder = kPartFolders;
    } else {
        folder = AsFolder(kInstallRoot + entry);
    }
    if (folder.size() > kFilePathMax) return NavOutcome::kTooLong;
    nav.parentState = kNavTop;
    HideHotkeys(nav);
    nav.depth = 0;
    ListFolder(nav, folder, io);
    if (state == kNavMisc) {
        nav.state = nav.hasSubfolders == 1 ? kNavMisc : kNavMiscFlat;
        nav.wholeFolder = nav.rules.wholeFolderEverywhere && nav.hasSubfolders == 1;
    } else {
        nav.state = state;
        nav.wholeFolder = nav.rules.wholeFolderButton;
    }
    nav.multiple = nav.rules.multipleEverywhere && nav.hasSubfolders != 1;
    return NavOutcome::kListed;
}

// The state a folder entered from the state leads to.
int DeeperState(int state) {
    switch (state) {
    case kNavCurPart:
        return kNavCurPartBelow;
    case kNavPartList:
        return kNavPart;
    case kNavPart:
        return kNavPartBelow;
    case kNavMisc:
        return kNavMiscBelow;
    default: // 3, 5, 30, 31 stay, a level deeper
        return state;
    }
}

// The state going up from the first level below leads back to.
int ShallowerState(int state) {
    switch (state) {
    case kNavCurPartBelow:
        return kNavCurPart;
    case kNavPart:
        return kNavPartList;
    case kNavPartBelow:
        return kNavPart;
    default: // 30
        return kNavMisc;
    }
}

} // namespace

std::string PathTooLongText(const std::string& path, const std::string& badPathText,
                            const std::string& continueText) {
    return ShownPath(path) + "\n" + badPathText + "\n" + continueText;
}

void NavOpen(FileNav& nav, const NavRules& rules, const std::string& currentPart, const NavIo& io) {
    // currentPart may be nav's own, which the reset empties.
    std::string part = currentPart;
    nav = FileNav{};
    nav.rules = rules;
    nav.currentPart = std::move(part);
    nav.folder = kPartFolders;
    nav.hotkeyMode = 0;
    ListTop(nav, io);
}

NavOutcome NavChoose(FileNav& nav, int position, const std::string& entry, const NavIo& io) {
    if (InTargetPhase(nav.state)) return NavOutcome::kNone;
    if (nav.state == kNavTop) return EnterFromTop(nav, position, entry, io);
    if (io.isFile(nav.folder + entry)) {
        nav.parentState = nav.state;
        HideHotkeys(nav);
        return NavOutcome::kFile;
    }
    const std::string folder = AsFolder(nav.folder + entry);
    if (folder.size() > kFilePathMax) return NavOutcome::kTooLong;
    const int from = nav.state;
    nav.parentState = from;
    HideHotkeys(nav);
    nav.state = DeeperState(from);
    if (nav.state == from) ++nav.depth;
    ListFolder(nav, folder, io);
    if (nav.hasSubfolders == 1) return NavOutcome::kListed;
    // A folder without sub folders: multiple selection, and the
    // whole-folder button has nothing to act on.
    if (from == kNavPartList && !nav.rules.multipleEverywhere) return NavOutcome::kListed;
    nav.multiple = true;
    // A part's folder from the part list keeps the button.
    const bool keep = from == kNavPartList ||
                      (nav.rules.keepButtonBelowPart && (from == kNavCurPart || from == kNavPart));
    if (!keep) nav.wholeFolder = false;
    return NavOutcome::kListed;
}

NavOutcome NavUpOne(FileNav& nav, const NavIo& io) {
    switch (nav.state) {
    case kNavTop:
        return NavOutcome::kNone;
    case kNavCurPart:
    case kNavPartList:
    case kNavMisc:
    case kNavMiscFlat:
    case kNavTargetTop:
        ListTop(nav, io);
        return NavOutcome::kListed;
    case kNavCurPartBelow:
    case kNavPart:
    case kNavPartBelow:
    case kNavMiscBelow:
        if (nav.depth > 0)
            --nav.depth;
        else
            nav.state = ShallowerState(nav.state);
        ListFolder(nav, ParentOf(nav.folder), io);
        nav.wholeFolder = WholeFolderAfterReturn(nav);
        nav.multiple =
            (nav.rules.multipleOnParent || nav.rules.multipleEverywhere) && nav.hasSubfolders != 1;
        return NavOutcome::kListed;
    case kNavTargetFolder:
        nav.state = nav.parentState;
        ListFolder(nav, nav.folder, io);
        nav.wholeFolder = WholeFolderAfterReturn(nav);
        nav.multiple = nav.rules.multipleEverywhere && nav.hasSubfolders != 1;
        return NavOutcome::kListed;
    default: // 103, 105, 130
        nav.state = nav.parentState;
        ListFolder(nav, nav.folder, io);
        nav.wholeFolder = WholeFolderAfterReturn(nav);
        nav.multiple = nav.hasSubfolders != 1;
        return NavOutcome::kListed;
    }
}

void NavRelist(FileNav& nav, const NavIo& io) {
    if (InTargetPhase(nav.state)) return;
    if (nav.state == kNavTop) {
        ListTop(nav, io);
        return;
    }
    ListFolder(nav, nav.folder, io);
    const bool sub = nav.hasSubfolders == 1;
    nav.multiple = nav.rules.multipleEverywhere && !sub;
    if (!sub && nav.state != kNavCurPart && nav.state != kNavPartList) nav.wholeFolder = false;
}

int TargetForFile(int state) {
    switch (state) {
    case kNavCurPart:
    case kNavPartList:
    case kNavPart:
    case kNavMisc:
        return kNavTargetFolder;
    case kNavCurPartBelow:
        return kNavTargetCurPart;
    case kNavPartBelow:
        return kNavTargetPart;
    case kNavMiscBelow:
    case kNavMiscFlat:
        return kNavTargetMisc;
    default:
        return 0;
    }
}

int TargetForWholeFolder(int state) {
    switch (state) {
    case kNavCurPart:
        return kNavTargetCurPart;
    case kNavPartList:
    case kNavPart:
    case kNavPartBelow:
        return kNavTargetPart;
    default:
        return 0;
    }
}

void NavEnterTarget(FileNav& nav, int targetState) {
    nav.state = targetState;
    nav.list = false;
    nav.header = false;
    nav.hotkeys = false;
    nav.wholeFolder = false;
    nav.multiple = false;
    nav.upOne = true;
}

void NavHotkey(FileNav& nav, int which) {
    nav.hotkeyMode = which;
}

void NavKeyinFocus(FileNav& nav) {
    if (nav.state == kNavTop || nav.rules.focusClearsHotkeysEverywhere) nav.hotkeyMode = 0;
}

void NavListSelected(FileNav& nav, bool multiple) {
    if (!multiple || nav.rules.multipleSelectionClearsHotkeys) nav.hotkeyMode = 0;
}
