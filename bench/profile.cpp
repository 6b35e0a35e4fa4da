// Start-up profile of the benchmark, loaded into a program with LD_PRELOAD:
// times the calls that do the start-up's work (colours allocated, icon files
// loaded, fonts and font sets opened, cursors made from the cursor font),
// the time spent starting and waiting for child processes (the scripts),
// and the synchronous section of the display, from the library's load to
// the entry of the toolkit's main loop.
// On that entry it writes one line of figures to the file named by
// QEL_BENCH_PROFILE:
//
//   total=<ms> cpu=<ms> sync=<ms> scripts=<ms>/<n> colours=<ms>/<n>
//   icons=<ms>/<n> fonts=<ms>/<n>
//
// cpu is the processor time of the process itself up to that point, which
// other work on the machine disturbs less than the wall-clock figures.
// Only the outermost timed call counts, so a font loaded inside a font set
// or a colour allocated inside an icon load is not counted twice.
#include <X11/Intrinsic.h>
#include <X11/Xlib.h>
#include <Xm/Xm.h>
#include <dlfcn.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

using Clock = std::chrono::steady_clock;

const Clock::time_point gLoaded = Clock::now();

struct Kind {
    double ms = 0;
    int calls = 0;
};
Kind gScripts, gColours, gIcons, gFonts;
double gSyncMs = 0;
Clock::time_point gSyncFrom;
bool gSync = false;
int gDepth = 0;
bool gWritten = false;

double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double Since(Clock::time_point from) {
    return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

// Runs the real function and adds its time to the kind, when no other timed
// call is running around it.
template <typename F> auto Timed(Kind& kind, F call) {
    const bool outer = gDepth++ == 0;
    const Clock::time_point start = Clock::now();
    auto result = call();
    --gDepth;
    if (outer) {
        kind.ms += Since(start);
        ++kind.calls;
    }
    return result;
}

template <typename T> T Next(const char* name) {
    return reinterpret_cast<T>(dlsym(RTLD_NEXT, name));
}

void Write() {
    if (gWritten) return;
    gWritten = true;
    if (gSync) gSyncMs += Since(gSyncFrom);
    const char* path = std::getenv("QEL_BENCH_PROFILE");
    if (!path || !*path) return;
    std::FILE* f = std::fopen(path, "a");
    if (!f) return;
    std::fprintf(f,
                 "total=%.1f cpu=%.1f sync=%.1f scripts=%.1f/%d colours=%.1f/%d icons=%.1f/%d "
                 "fonts=%.1f/%d\n",
                 Since(gLoaded), CpuMs(), gSyncMs, gScripts.ms, gScripts.calls, gColours.ms,
                 gColours.calls, gIcons.ms, gIcons.calls, gFonts.ms, gFonts.calls);
    std::fclose(f);
}

} // namespace

extern "C" {

Status XAllocNamedColor(Display* d, Colormap c, const char* name, XColor* screen, XColor* exact) {
    static auto real =
        Next<Status (*)(Display*, Colormap, const char*, XColor*, XColor*)>("XAllocNamedColor");
    return Timed(gColours, [&] { return real(d, c, name, screen, exact); });
}

Status XAllocColor(Display* d, Colormap c, XColor* color) {
    static auto real = Next<Status (*)(Display*, Colormap, XColor*)>("XAllocColor");
    return Timed(gColours, [&] { return real(d, c, color); });
}

Pixmap XmGetPixmap(Screen* screen, char* name, Pixel fg, Pixel bg) {
    static auto real = Next<Pixmap (*)(Screen*, char*, Pixel, Pixel)>("XmGetPixmap");
    return Timed(gIcons, [&] { return real(screen, name, fg, bg); });
}

XFontStruct* XLoadQueryFont(Display* d, const char* name) {
    static auto real = Next<XFontStruct* (*)(Display*, const char*)>("XLoadQueryFont");
    return Timed(gFonts, [&] { return real(d, name); });
}

XFontSet XCreateFontSet(Display* d, const char* names, char*** missing, int* count,
                        char** defaultText) {
    static auto real =
        Next<XFontSet (*)(Display*, const char*, char***, int*, char**)>("XCreateFontSet");
    return Timed(gFonts, [&] { return real(d, names, missing, count, defaultText); });
}

Cursor XCreateFontCursor(Display* d, unsigned int shape) {
    static auto real = Next<Cursor (*)(Display*, unsigned int)>("XCreateFontCursor");
    return Timed(gFonts, [&] { return real(d, shape); });
}

int posix_spawn(pid_t* pid, const char* path, const posix_spawn_file_actions_t* actions,
                const posix_spawnattr_t* attr, char* const argv[], char* const envp[]) {
    static auto real =
        Next<int (*)(pid_t*, const char*, const posix_spawn_file_actions_t*,
                     const posix_spawnattr_t*, char* const*, char* const*)>("posix_spawn");
    const Clock::time_point start = Clock::now();
    const int r = real(pid, path, actions, attr, argv, envp);
    gScripts.ms += Since(start);
    ++gScripts.calls;
    return r;
}

pid_t waitpid(pid_t pid, int* status, int options) {
    static auto real = Next<pid_t (*)(pid_t, int*, int)>("waitpid");
    const Clock::time_point start = Clock::now();
    const pid_t r = real(pid, status, options);
    gScripts.ms += Since(start);
    return r;
}

int (*XSynchronize(Display* d, Bool on))(Display*) {
    static auto real = Next<int (*(*)(Display*, Bool))(Display*)>("XSynchronize");
    if (on && !gSync) gSyncFrom = Clock::now();
    if (!on && gSync) gSyncMs += Since(gSyncFrom);
    gSync = on;
    return real(d, on);
}

void XtAppMainLoop(XtAppContext app) {
    static auto real = Next<void (*)(XtAppContext)>("XtAppMainLoop");
    Write();
    real(app);
}

} // extern "C"
