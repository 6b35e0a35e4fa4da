// Benchmark of the copy screen (not a timed test), at 10,000 and at 100,000
// files: a folder of that many files listed in the copy screen, from the OK
// on the folder to the filled list, against ls -1 of the folder and a list
// fill of the same names in a bare Motif program; and a pattern walk over
// that many files (folders of 100) against find with the same match. Each as
// a ratio of medians taken in one run, the rounds of the program and of its
// yardstick taking turns, on a private X server and sandbox.
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
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kSizes[] = {10000, 100000};
constexpr int kPerFolder = 100; // files in each folder of the walk
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

// The bare program, asked for one round at a time.
class BareList {
  public:
    explicit BareList(const std::string& folder) {
        int in[2], out[2];
        if (pipe(in) != 0 || pipe(out) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(in[0], 0);
            dup2(out[1], 1);
            close(in[1]);
            close(out[0]);
            const std::string most = std::to_string(kShown);
            execl(QEL_BARE_LIST_PATH, QEL_BARE_LIST_PATH, folder.c_str(), most.c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        to_ = fdopen(in[1], "w");
        from_ = fdopen(out[0], "r");
    }
    ~BareList() {
        if (to_) std::fclose(to_);
        if (from_) std::fclose(from_);
        if (pid_ > 0) waitpid(pid_, nullptr, 0);
    }
    BareList(const BareList&) = delete;
    BareList& operator=(const BareList&) = delete;
    double Round() {
        double ms = -1;
        if (!to_ || !from_) return ms;
        std::fputs("go\n", to_);
        std::fflush(to_);
        if (std::fscanf(from_, "%lf", &ms) != 1) return -1;
        return ms;
    }

  private:
    pid_t pid_ = -1;
    FILE* to_ = nullptr;
    FILE* from_ = nullptr;
};

// The copy screen in the current part's folder; OK on stat/ lists its
// files, and up one leaves it again. Each of its rounds is followed
// by one of the bare program, so that both meet the same load.
void ListingRounds(int rounds, int files, BareList& bare, std::vector<double>* ours,
                   std::vector<double>* theirs) {
    FileCopy();
    const FileScreen& s = *CopyState().frame;
    Press(s.ok); // the current part's folder
    for (int r = 0; r <= rounds; ++r) {
        XmListSelectPos(s.list, Position("stat/"), False);
        XSync(XtDisplay(s.list), False);
        const Clock::time_point t0 = Clock::now();
        Press(s.ok);
        XmUpdateDisplay(s.list);
        XSync(XtDisplay(s.list), False);
        const Clock::time_point t1 = Clock::now();
        if (CopyState().names->size() != static_cast<size_t>(files)) {
            std::fprintf(stderr, "the copy screen listed %zu names\n", CopyState().names->size());
            std::exit(1);
        }
        Press(s.upOne);
        const double bareMs = bare.Round();
        if (bareMs < 0) {
            std::fprintf(stderr, "the bare program gave no time\n");
            std::exit(1);
        }
        // The first round of each warms the caches.
        if (r == 0) continue;
        ours->push_back(Ms(t0, t1));
        theirs->push_back(bareMs);
    }
    Press(s.cancel);
}

// The pattern walk as the copy screen does it, each round followed by one
// of find.
void WalkRounds(int rounds, const std::string& root, const std::string& osRoot, size_t* found,
                std::vector<double>* ours, std::vector<double>* theirs) {
    PathPattern pattern;
    MakePathPattern(root + "/*.NOM", "", &pattern);
    const std::string find = "find '" + osRoot + "' -type f -name '*.NOM' > /dev/null";
    for (int r = 0; r <= rounds; ++r) {
        const Clock::time_point t0 = Clock::now();
        // The matches kept, the rest passed over.
        std::vector<std::string> matches;
        f_Walk(pattern.root, [&](const std::string& path, WalkKind kind) {
            if (kind == WalkKind::kFile && PathMatches(pattern, path)) matches.push_back(path);
        });
        const Clock::time_point t1 = Clock::now();
        if (std::system(find.c_str()) != 0) std::exit(1);
        const Clock::time_point t2 = Clock::now();
        *found = matches.size();
        if (r == 0) continue;
        ours->push_back(Ms(t0, t1));
        theirs->push_back(Ms(t1, t2));
    }
}

void Report(const std::string& what, const char* yardstick, const std::vector<double>& ours,
            const std::vector<double>& theirs) {
    const double a = Median(ours), b = Median(theirs);
    std::printf("%s: vok %.1f ms, %s %.1f ms, ratio %.2f (goal <= 1.25)\n", what.c_str(), a,
                yardstick, b, b > 0 ? a / b : 0.0);
}

// The part BIG<files> with a stat/ folder of that many files, and the part
// WALK<files> with folders of kPerFolder files, one in ten *.NOM.
void MakeParts(const Sandbox& box, int files) {
    const std::string n = std::to_string(files);
    const std::string big = box.Path("/u/qel/part/BIG" + n + "/stat");
    box.Write("/u/qel/part/BIG" + n + "/program/llf", "x\n");
    char name[32];
    for (int i = 0; i < files; ++i) {
        std::snprintf(name, sizeof name, "/R%06d.DAT", i);
        if (i == 0) box.Write("/u/qel/part/BIG" + n + "/stat" + std::string(name), "x\n");
        Touch(big + name);
    }
    const std::string walk = "/u/qel/part/WALK" + n;
    for (int d = 0; d < files / kPerFolder; ++d)
        for (int f = 0; f < kPerFolder; ++f) {
            std::snprintf(name, sizeof name, "/d%04d/f%03d.%s", d, f, f % 10 ? "DAT" : "NOM");
            if (f == 0) box.Write(walk + name, "x\n");
            Touch(box.Path(walk) + name);
        }
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
    for (const int files : kSizes) {
        MakeParts(box, files);
        const std::string n = std::to_string(files);
        CurrentPart = "BIG" + n;
        std::vector<double> screen, bare, walk, find;
        {
            BareList bareList(box.Path("/u/qel/part/BIG" + n + "/stat"));
            ListingRounds(rounds, files, bareList, &screen, &bare);
        }
        size_t found = 0;
        const std::string root = "/u/qel/part/WALK" + n;
        WalkRounds(rounds, root, box.Path(root), &found, &walk, &find);
        if (found != static_cast<size_t>(files / 10)) {
            std::fprintf(stderr, "the walk found %zu files\n", found);
            return 1;
        }
        Report("folder of " + n + " files in the copy screen", "ls -1 + XmList", screen, bare);
        Report("pattern walk over " + n + " files", "find", walk, find);
        std::fflush(stdout);
    }
    return 0;
}
