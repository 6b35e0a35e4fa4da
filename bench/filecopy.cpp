// Benchmark of the copy screen (not a timed test): a folder of 10,000 files
// listed in the copy screen, from the OK on the folder to the filled list,
// against ls -1 of the folder and a list fill of the same names in a bare
// Motif program; and a pattern walk over 10,000 files against find with the
// same match. Both as ratios of medians taken in one run, on a private X
// server and sandbox.
//
//   bench_filecopy [ROUNDS]
#include "filecopy.h"
#include "filematch.h"
#include "filescreen.h"
#include "gui.h"
#include "mainmenu.h"
#include "walk.h"

#include <Xm/List.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kFiles = 10000;
constexpr size_t kShown = 5000; // the most names a list shows

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void Touch(const std::string& path) {
    std::ofstream(path) << "x\n";
}

int Position(const std::string& name) {
    const std::vector<std::string>& names = *CopyState().names;
    auto it = std::find(names.begin(), names.end(), name);
    return it == names.end() ? 0 : static_cast<int>(it - names.begin()) + 1;
}

// The copy screen in the current part's folder; OK on stat/ lists the
// 10,000 files. Each round goes up again first.
std::vector<double> CopyScreenRounds(int rounds) {
    FileCopy();
    const FileScreen& s = *CopyState().frame;
    Press(s.ok); // the current part's folder
    std::vector<double> ms;
    for (int r = 0; r <= rounds; ++r) {
        XmListSelectPos(s.list, Position("stat/"), False);
        XSync(XtDisplay(s.list), False);
        const Clock::time_point t0 = Clock::now();
        Press(s.ok);
        XmUpdateDisplay(s.list);
        XSync(XtDisplay(s.list), False);
        const Clock::time_point t1 = Clock::now();
        if (CopyState().names->size() != static_cast<size_t>(kFiles)) {
            std::fprintf(stderr, "the copy screen listed %zu names\n", CopyState().names->size());
            std::exit(1);
        }
        if (r > 0) ms.push_back(Ms(t0, t1)); // the first round warms the caches
        Press(s.upOne);
    }
    return ms;
}

std::vector<double> BareListRounds(const std::string& folder, int rounds) {
    const std::string cmd = std::string(QEL_BARE_LIST_PATH) + " '" + folder + "' " +
                            std::to_string(rounds + 1) + " " + std::to_string(kShown);
    std::vector<double> ms;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return ms;
    double v = 0;
    for (int r = 0; std::fscanf(p, "%lf", &v) == 1; ++r)
        if (r > 0) ms.push_back(v);
    pclose(p);
    return ms;
}

std::vector<double> WalkRounds(int rounds, size_t* found) {
    PathPattern pattern;
    MakePathPattern("/u/qel/part/WALK/*.NOM", "", &pattern);
    std::vector<double> ms;
    for (int r = 0; r <= rounds; ++r) {
        const Clock::time_point t0 = Clock::now();
        // As the copy screen walks: the matches kept, the rest passed over.
        std::vector<std::string> matches;
        f_Walk(pattern.root, [&](const std::string& path, WalkKind kind) {
            if (kind == WalkKind::kFile && PathMatches(pattern, path)) matches.push_back(path);
        });
        const Clock::time_point t1 = Clock::now();
        *found = matches.size();
        if (r > 0) ms.push_back(Ms(t0, t1));
    }
    return ms;
}

std::vector<double> FindRounds(const std::string& root, int rounds) {
    std::vector<double> ms;
    const std::string cmd = "find '" + root + "' -type f -name '*.NOM' > /dev/null";
    for (int r = 0; r <= rounds; ++r) {
        const Clock::time_point t0 = Clock::now();
        if (std::system(cmd.c_str()) != 0) std::exit(1);
        const Clock::time_point t1 = Clock::now();
        if (r > 0) ms.push_back(Ms(t0, t1));
    }
    return ms;
}

void Report(const char* what, const char* yardstick, const std::vector<double>& ours,
            const std::vector<double>& theirs) {
    const double a = Median(ours), b = Median(theirs);
    std::printf("%s: vok %.1f ms, %s %.1f ms, ratio %.2f (goal <= 2)\n", what, a, yardstick, b,
                b > 0 ? a / b : 0.0);
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    GuiSession gui;
    if (!gui.ok()) {
        std::fprintf(stderr, "no X server\n");
        return 1;
    }
    const Sandbox& box = gui.box();
    const std::string big = box.Path("/u/qel/part/BIG/stat");
    box.Write("/u/qel/part/BIG/program/llf", "x\n");
    char name[32];
    for (int i = 0; i < kFiles; ++i) {
        std::snprintf(name, sizeof name, "/R%05d.DAT", i);
        if (i == 0) box.Write("/u/qel/part/BIG/stat" + std::string(name), "x\n");
        Touch(big + name);
    }
    for (int d = 0; d < 100; ++d)
        for (int f = 0; f < 100; ++f) {
            std::snprintf(name, sizeof name, "/d%02d/f%03d.%s", d, f, f % 10 ? "DAT" : "NOM");
            if (f == 0) box.Write("/u/qel/part/WALK" + std::string(name), "x\n");
            Touch(box.Path("/u/qel/part/WALK") + name);
        }
    CurrentPart = "BIG";

    const std::vector<double> screen = CopyScreenRounds(rounds);
    const std::vector<double> bare = BareListRounds(big, rounds);
    size_t found = 0;
    const std::vector<double> walk = WalkRounds(rounds, &found);
    const std::vector<double> find = FindRounds(box.Path("/u/qel/part/WALK"), rounds);
    if (found != static_cast<size_t>(kFiles / 10)) {
        std::fprintf(stderr, "the walk found %zu files\n", found);
        return 1;
    }
    Report("folder of 10000 files in the copy screen", "ls -1 + XmList", screen, bare);
    Report("pattern walk over 10000 files", "find", walk, find);
    return 0;
}
