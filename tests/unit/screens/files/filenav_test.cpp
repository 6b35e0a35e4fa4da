// Folder navigation of the file screens, without X: from the top list into
// the current part, the part list and the misc folders, down and up with
// the depth and the state to go back to, into and out of the target phase,
// what the screen shows at each step (up-one, whole-folder button, hotkeys,
// selection policy, list), the hotkey modes, the path-length refusal, and
// the rules in which the other members differ.
#include <gtest/gtest.h>

#include "backupmodel.h"
#include "copymodel.h"
#include "filenav.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// A tree as the lister sees it: each folder and whether it holds a sub
// folder; the regular files.
struct FakeTree {
    std::map<std::string, int> folders = {
        {"/u/qel/part/", 1},
        {"/u/qel/part/P1/", 1},
        {"/u/qel/part/P1/contour/", 0},
        {"/u/qel/part/P1/sub/", 1},
        {"/u/qel/part/P1/sub/deeper/", 1},
        {"/u/qel/part/P1/sub/deeper/more/", 0},
        {"/u/qel/part/P3/", 0},
        {"/u/qel/usr_data/sub/", 1},
        {"/u/qel/usr_data/sub/x/", 0},
        {"/u/qel/flat/", 0},
    };
    std::set<std::string> files = {
        "/u/qel/part/P1/llf",     "/u/qel/part/P1/contour/A.NOM",
        "/u/qel/part/llf",        "/u/qel/part/P1/sub/deeper/more/m1",
        "/u/qel/part/P1/sub/s1",  "/u/qel/usr_data/sub/x/X1",
        "/u/qel/usr_data/sub/U1", "/u/qel/flat/F1",
    };
    std::vector<std::string> listed; // "" for the top list
    NavIo io() {
        return {[this](const std::string& folder) {
                    listed.push_back(folder);
                    if (folder.empty()) return 1;
                    auto it = folders.find(folder);
                    return it == folders.end() ? 0 : it->second;
                },
                [this](const std::string& path) { return files.count(path) > 0; }};
    }
};

// What the screen shows, one letter each: u up-one, w whole-folder button,
// h hotkeys, m multiple selection, l the list.
std::string Shown(const FileNav& nav) {
    std::string s;
    if (nav.upOne) s += 'u';
    if (nav.wholeFolder) s += 'w';
    if (nav.hotkeys) s += 'h';
    if (nav.multiple) s += 'm';
    if (nav.list) s += 'l';
    return s;
}

enum Action { kChoose, kUp, kFile, kWhole };

struct Step {
    Action action;
    int position;      // kChoose
    const char* entry; // kChoose, kFile, kWhole
    int state, depth, parent;
    const char* shown;
    const char* folder;
};

// Runs the steps from an opened screen and checks each.
void RunSteps(FileNav& nav, FakeTree& tree, const std::vector<Step>& steps) {
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step& st = steps[i];
        SCOPED_TRACE("step " + std::to_string(i + 1));
        const NavIo io = tree.io();
        switch (st.action) {
        case kChoose:
            EXPECT_EQ(NavChoose(nav, st.position, st.entry, io), NavOutcome::kListed);
            break;
        case kUp:
            NavUpOne(nav, io);
            break;
        case kFile:
            ASSERT_EQ(NavChoose(nav, 1, st.entry, io), NavOutcome::kFile);
            ASSERT_NE(TargetForFile(nav.state), 0);
            NavEnterTarget(nav, TargetForFile(nav.state));
            break;
        case kWhole: {
            const int target = TargetForWholeFolder(nav.state);
            if (target) {
                nav.parentState = nav.state;
                NavEnterTarget(nav, target);
            }
            break;
        }
        }
        EXPECT_EQ(nav.state, st.state);
        EXPECT_EQ(nav.depth, st.depth);
        EXPECT_EQ(nav.parentState, st.parent);
        EXPECT_EQ(Shown(nav), st.shown);
        if (st.folder) {
            EXPECT_EQ(nav.folder, st.folder);
        }
    }
}

const char* const P1 = "/u/qel/part/P1/";
const char* const kSub = "/u/qel/part/P1/sub/";
const char* const kDeeper = "/u/qel/part/P1/sub/deeper/";
const char* const kMore = "/u/qel/part/P1/sub/deeper/more/";
const char* const kParts = "/u/qel/part/";

struct NavCase {
    const char* name;
    const char* part;
    std::vector<Step> steps;
};

TEST(FileNav, DownAndUp) {
    const NavCase cases[] = {
        {"the current part's folder, three levels down and back",
         "P1",
         {{kChoose, 1, "P1/", 1, 0, 0, "uwl", P1},
          {kChoose, 0, "sub/", 3, 0, 1, "uwl", kSub},
          {kChoose, 0, "deeper/", 3, 1, 3, "uwl", kDeeper},
          {kChoose, 0, "more/", 3, 2, 3, "uml", kMore},
          {kUp, 0, "", 3, 1, 3, "uwl", kDeeper},
          {kUp, 0, "", 3, 0, 3, "uwl", kSub},
          {kUp, 0, "", 1, 0, 3, "uwl", P1},
          {kUp, 0, "", 0, 0, 0, "hl", nullptr},
          {kUp, 0, "", 0, 0, 0, "hl", nullptr}}},
        {"a part through the part list: five up-ones from state 5 at depth 2",
         "P1",
         {{kChoose, 2, "part/", 2, 0, 0, "uwl", kParts},
          {kChoose, 0, "P1/", 4, 0, 2, "uwl", P1},
          {kChoose, 0, "sub/", 5, 0, 4, "uwl", kSub},
          {kChoose, 0, "deeper/", 5, 1, 5, "uwl", kDeeper},
          {kChoose, 0, "more/", 5, 2, 5, "uml", kMore},
          {kUp, 0, "", 5, 1, 5, "uwl", kDeeper},
          {kUp, 0, "", 5, 0, 5, "uwl", kSub},
          {kUp, 0, "", 4, 0, 5, "uwl", P1},
          {kUp, 0, "", 2, 0, 5, "uwl", kParts},
          {kUp, 0, "", 0, 0, 0, "hl", nullptr}}},
        {"a part without sub folders keeps single selection and the button",
         "P1",
         {{kChoose, 2, "part/", 2, 0, 0, "uwl", kParts},
          {kChoose, 0, "P3/", 4, 0, 2, "uwl", "/u/qel/part/P3/"},
          {kUp, 0, "", 2, 0, 2, "uwl", kParts}}},
        {"a folder without sub folders below the current part",
         "P1",
         {{kChoose, 1, "P1/", 1, 0, 0, "uwl", P1},
          {kChoose, 0, "contour/", 3, 0, 1, "uml", "/u/qel/part/P1/contour/"},
          {kUp, 0, "", 1, 0, 1, "uwl", P1}}},
        {"no current part: position 1 is the part list, the misc lines follow",
         "",
         {{kChoose, 1, "part/", 2, 0, 0, "uwl", kParts},
          {kUp, 0, "", 0, 0, 0, "l", nullptr},
          {kChoose, 2, "usr_data/sub/", 20, 0, 0, "ul", "/u/qel/usr_data/sub/"},
          {kChoose, 0, "x/", 30, 0, 20, "uml", "/u/qel/usr_data/sub/x/"},
          {kUp, 0, "", 20, 0, 20, "ul", "/u/qel/usr_data/sub/"},
          {kUp, 0, "", 0, 0, 0, "l", nullptr},
          {kChoose, 3, "flat/", 31, 0, 0, "ul", "/u/qel/flat/"},
          {kUp, 0, "", 0, 0, 0, "l", nullptr}}},
        {"with a current part the misc lines start at position 3",
         "P1",
         {{kChoose, 3, "usr_data/sub/", 20, 0, 0, "ul", "/u/qel/usr_data/sub/"},
          {kUp, 0, "", 0, 0, 0, "hl", nullptr},
          {kChoose, 4, "flat/", 31, 0, 0, "ul", "/u/qel/flat/"}}},
    };
    for (const NavCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeTree tree;
        FileNav nav;
        NavOpen(nav, kCopyNavRules, c.part, tree.io());
        EXPECT_EQ(tree.listed, std::vector<std::string>{""});
        EXPECT_EQ(Shown(nav), std::string(*c.part ? "hl" : "l"));
        RunSteps(nav, tree, c.steps);
    }
}

TEST(FileNav, IntoAndOutOfTheTargetPhase) {
    const NavCase cases[] = {
        {"a file below the current part: 103, back with multiple selection",
         "P1",
         {{kChoose, 1, "P1/", 1, 0, 0, "uwl", P1},
          {kChoose, 0, "sub/", 3, 0, 1, "uwl", kSub},
          {kChoose, 0, "deeper/", 3, 1, 3, "uwl", kDeeper},
          {kChoose, 0, "more/", 3, 2, 3, "uml", kMore},
          {kFile, 0, "m1", 103, 2, 3, "u", kMore},
          {kUp, 0, "", 3, 2, 3, "uml", kMore}}},
        {"a file in the current part's folder: 902, back with single selection",
         "P1",
         {{kChoose, 1, "P1/", 1, 0, 0, "uwl", P1},
          {kFile, 0, "llf", 902, 0, 1, "u", P1},
          {kUp, 0, "", 1, 0, 1, "uwl", P1}}},
        {"a file in the part list and below a part's folder: 902 and 105",
         "",
         {{kChoose, 1, "part/", 2, 0, 0, "uwl", kParts},
          {kFile, 0, "llf", 902, 0, 2, "u", kParts},
          {kUp, 0, "", 2, 0, 2, "uwl", kParts},
          {kChoose, 0, "P1/", 4, 0, 2, "uwl", P1},
          {kChoose, 0, "sub/", 5, 0, 4, "uwl", kSub},
          {kFile, 0, "s1", 105, 0, 5, "u", kSub},
          {kUp, 0, "", 5, 0, 5, "uwl", kSub}}},
        {"files in the misc folders: 902 from 20, 130 from 30 and 31",
         "",
         {{kChoose, 2, "usr_data/sub/", 20, 0, 0, "ul", nullptr},
          {kFile, 0, "U1", 902, 0, 20, "u", nullptr},
          {kUp, 0, "", 20, 0, 20, "ul", "/u/qel/usr_data/sub/"},
          {kChoose, 0, "x/", 30, 0, 20, "uml", nullptr},
          {kFile, 0, "X1", 130, 0, 30, "u", nullptr},
          {kUp, 0, "", 30, 0, 30, "uml", "/u/qel/usr_data/sub/x/"},
          {kUp, 0, "", 20, 0, 30, "ul", nullptr},
          {kUp, 0, "", 0, 0, 0, "l", nullptr},
          {kChoose, 3, "flat/", 31, 0, 0, "ul", nullptr},
          {kFile, 0, "F1", 130, 0, 31, "u", nullptr},
          {kUp, 0, "", 31, 0, 31, "uml", "/u/qel/flat/"}}},
        {"whole folders: 103 from 1, 105 from 2, nothing in 3",
         "P1",
         {{kChoose, 1, "P1/", 1, 0, 0, "uwl", P1},
          {kWhole, 0, "sub/", 103, 0, 1, "u", P1},
          {kUp, 0, "", 1, 0, 1, "uwl", P1},
          {kChoose, 0, "sub/", 3, 0, 1, "uwl", kSub},
          {kWhole, 0, "deeper/", 3, 0, 1, "uwl", kSub},
          {kUp, 0, "", 1, 0, 1, "uwl", P1},
          {kUp, 0, "", 0, 0, 0, "hl", nullptr},
          {kChoose, 2, "part/", 2, 0, 0, "uwl", kParts},
          {kWhole, 0, "P1/", 105, 0, 2, "u", kParts},
          {kUp, 0, "", 2, 0, 2, "uwl", kParts}}},
    };
    for (const NavCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeTree tree;
        FileNav nav;
        NavOpen(nav, kCopyNavRules, c.part, tree.io());
        RunSteps(nav, tree, c.steps);
    }
}

// A hotkey's source at the top (901): going up keeps the hotkey on and
// shows the hotkeys again.
TEST(FileNav, HotkeysAndTheirModes) {
    FakeTree tree;
    FileNav nav;
    NavOpen(nav, kCopyNavRules, "P1", tree.io());
    NavHotkey(nav, kCurLlfHotkey);
    NavListSelected(nav, true); // a multiple selection leaves it on
    EXPECT_EQ(nav.hotkeyMode, kCurLlfHotkey);
    nav.parentState = kNavTop;
    NavEnterTarget(nav, kNavTargetTop);
    EXPECT_EQ(Shown(nav), "u");
    NavUpOne(nav, tree.io());
    EXPECT_EQ(nav.state, kNavTop);
    EXPECT_EQ(Shown(nav), "hl");
    EXPECT_EQ(nav.hotkeyMode, kCurLlfHotkey);
    NavHotkey(nav, kCurPartHotkey);
    EXPECT_EQ(nav.hotkeyMode, kCurPartHotkey);
    NavListSelected(nav, false);
    EXPECT_EQ(nav.hotkeyMode, 0);
    NavHotkey(nav, kCurPartHotkey);
    NavKeyinFocus(nav); // at the top the focus clears it
    EXPECT_EQ(nav.hotkeyMode, 0);
    // Entering a folder hides the hotkeys; the focus there leaves a mode on.
    NavHotkey(nav, kCurLlfHotkey);
    NavChoose(nav, 1, "P1/", tree.io());
    EXPECT_FALSE(nav.hotkeys);
    NavKeyinFocus(nav);
    EXPECT_EQ(nav.hotkeyMode, kCurLlfHotkey);
}

// A folder whose path would pass the limit is not entered: nothing changes.
TEST(FileNav, APathTooLongIsRefusedAndChangesNothing) {
    FakeTree tree;
    FileNav nav;
    NavOpen(nav, kCopyNavRules, "P1", tree.io());
    NavChoose(nav, 1, "P1/", tree.io());
    NavChoose(nav, 0, "sub/", tree.io());
    // Up to the limit folder by folder, then one name too many.
    std::string folder = nav.folder;
    const std::string name(40, 'd');
    int levels = 0;
    while (folder.size() + name.size() + 1 <= 255) {
        EXPECT_EQ(NavChoose(nav, 0, name + "/", tree.io()), NavOutcome::kListed);
        folder += name + "/";
        ++levels;
    }
    ASSERT_EQ(nav.folder, folder);
    const FileNav before = nav;
    tree.listed.clear();
    EXPECT_EQ(NavChoose(nav, 0, name + "/", tree.io()), NavOutcome::kTooLong);
    EXPECT_TRUE(tree.listed.empty());
    EXPECT_EQ(nav.folder, before.folder);
    EXPECT_EQ(nav.state, before.state);
    EXPECT_EQ(nav.depth, before.depth);
    EXPECT_EQ(nav.parentState, before.parentState);
    EXPECT_EQ(nav.depth, levels);
    // A misc line too long for a folder path is refused the same way.
    NavOpen(nav, kCopyNavRules, "", tree.io());
    EXPECT_EQ(NavChoose(nav, 2, std::string(250, 'm') + "/", tree.io()), NavOutcome::kTooLong);
    EXPECT_EQ(nav.state, kNavTop);
}

// The rules in which the other members differ from the copy screen.
TEST(FileNav, MemberRules) {
    FakeTree tree;
    FileNav nav;
    NavRules everywhere = kCopyNavRules;
    everywhere.multipleEverywhere = true;
    everywhere.focusClearsHotkeysEverywhere = true;
    everywhere.multipleSelectionClearsHotkeys = true;
    NavOpen(nav, everywhere, "P1", tree.io());
    RunSteps(nav, tree,
             {{kChoose, 2, "part/", 2, 0, 0, "uwl", kParts},
              // A part's folder from the part list keeps the whole-folder
              // button also when it lists only files.
              {kChoose, 0, "P3/", 4, 0, 2, "uwml", "/u/qel/part/P3/"},
              {kUp, 0, "", 2, 0, 2, "uwl", kParts},
              {kUp, 0, "", 0, 0, 0, "hl", nullptr},
              {kChoose, 4, "flat/", 31, 0, 0, "uml", nullptr}});
    NavHotkey(nav, 1);
    NavListSelected(nav, true);
    EXPECT_EQ(nav.hotkeyMode, 0);
    NavHotkey(nav, 1);
    NavKeyinFocus(nav);
    EXPECT_EQ(nav.hotkeyMode, 0);

    NavRules print = kCopyNavRules;
    print.keepButtonBelowPart = true;
    print.multipleOnParent = true;
    NavOpen(nav, print, "P1", tree.io());
    RunSteps(nav, tree,
             {{kChoose, 1, "P1/", 1, 0, 0, "uwl", P1},
              {kChoose, 0, "contour/", 3, 0, 1, "uwml", nullptr},
              {kUp, 0, "", 1, 0, 1, "uwl", P1}});
    // A parent without sub folders (one removed meanwhile) is listed with
    // multiple selection.
    NavChoose(nav, 0, "sub/", tree.io());
    NavChoose(nav, 0, "deeper/", tree.io());
    tree.folders[kSub] = 0;
    RunSteps(nav, tree, {{kUp, 0, "", 3, 0, 3, "uml", kSub}});

    // Backup: the whole-folder button at the top and in every folder with
    // sub folders, those of the top-list lines too.
    NavOpen(nav, kBackupNavRules, "P1", tree.io());
    EXPECT_EQ(Shown(nav), "wl");
    RunSteps(nav, tree,
             {{kChoose, 3, "usr_data/sub/", 20, 0, 0, "uwl", "/u/qel/usr_data/sub/"},
              {kChoose, 0, "x/", 30, 0, 20, "uml", "/u/qel/usr_data/sub/x/"},
              {kUp, 0, "", 20, 0, 20, "uwl", "/u/qel/usr_data/sub/"},
              {kUp, 0, "", 0, 0, 0, "wl", nullptr},
              {kChoose, 4, "flat/", 31, 0, 0, "ul", "/u/qel/flat/"},
              {kUp, 0, "", 0, 0, 0, "wl", nullptr},
              {kChoose, 2, "part/", 2, 0, 0, "uwl", kParts},
              {kChoose, 0, "P3/", 4, 0, 2, "uwl", "/u/qel/part/P3/"}});

    NavRules none = kCopyNavRules;
    none.wholeFolderButton = false;
    none.hotkeysByMember = true;
    NavOpen(nav, none, "P1", tree.io());
    RunSteps(nav, tree, {{kChoose, 1, "P1/", 1, 0, 0, "ul", P1}});
}

TEST(FileNav, TargetStates) {
    const int files[][2] = {{1, 902},  {2, 902},  {3, 103},  {4, 902}, {5, 105},
                            {20, 902}, {30, 130}, {31, 130}, {0, 0},   {902, 0}};
    for (const auto& f : files) EXPECT_EQ(TargetForFile(f[0]), f[1]) << f[0];
    const int folders[][2] = {{1, 103}, {2, 105}, {3, 0},  {4, 105},
                              {5, 105}, {20, 0},  {30, 0}, {31, 0}};
    for (const auto& f : folders) EXPECT_EQ(TargetForWholeFolder(f[0]), f[1]) << f[0];
}

} // namespace
