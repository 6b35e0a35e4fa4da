// Sandbox fixtures.
#include "sandbox.h"

#include "queues.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

#ifndef QEL_MSGSIM_PATH
#define QEL_MSGSIM_PATH "qel-msgsim"
#endif
#ifndef QEL_SOURCE_DIR
#define QEL_SOURCE_DIR "."
#endif

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name) {
    const char* old = std::getenv(name);
    had_ = old != nullptr;
    if (old) old_ = old;
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
}

ScopedEnv::~ScopedEnv() {
    if (had_)
        setenv(name_.c_str(), old_.c_str(), 1);
    else
        unsetenv(name_.c_str());
}

namespace {
std::string MakeRoot() {
    char tmpl[] = "/tmp/qel-test-XXXXXX";
    if (!mkdtemp(tmpl)) throw std::runtime_error("mkdtemp failed");
    return tmpl;
}
} // namespace

SandboxOptions Sandbox::DefaultOptions() {
    SandboxOptions o;
    o.msgsim = QEL_MSGSIM_PATH;
    // The server ends with the test, however the test ends.
    o.owner = static_cast<int>(getpid());
    return o;
}

SandboxOptions Sandbox::WithSuiteTools() {
    SandboxOptions o = DefaultOptions();
    o.suiteTools = true;
    return o;
}

std::string Sandbox::ToolsOnPath() const {
    const char* path = std::getenv("PATH");
    return SuiteToolsPath(root_) + ":" + (path ? path : "/usr/bin:/bin");
}

Sandbox::Sandbox(SandboxOptions options) : root_(MakeRoot()), env_("QEL_SANDBOX", root_.c_str()) {
    // The server's queue goes with the test, also when the test is killed.
    GuardKeyFileQueue(Path("/usr/bin/XSRVR"));
    std::string error;
    if (!LayOutSandbox(root_, options, &error)) throw std::runtime_error(error);
}

Sandbox::~Sandbox() {
    if (testing::Test::HasFailure()) PrintConsoles();
    std::string cmd = std::string("\"") + QEL_MSGSIM_PATH + "\" remove --key-file \"" + root_ +
                      "/usr/bin/XSRVR\" >/dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0) {
    }
    ReleaseKeyFileQueue(Path("/usr/bin/XSRVR"));
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
}

void Sandbox::PrintConsoles() const {
    for (const char* file : {"/vok.out", "/child.out", "/sim/msgserver.out", "/sim/ctlsim.out"}) {
        if (!Exists(file)) continue;
        std::printf("---- %s of the failed test ----\n%s---- end of %s ----\n", file,
                    Read(file).c_str(), file);
    }
    std::fflush(stdout);
}

void Sandbox::Write(const std::string& logical, const std::string& bytes) const {
    std::filesystem::path p(Path(logical));
    std::filesystem::create_directories(p.parent_path());
    if (!WriteFileBytes(p.string(), bytes)) throw std::runtime_error("cannot write " + p.string());
}

std::string Sandbox::Read(const std::string& logical) const {
    std::string bytes;
    ReadFileBytes(Path(logical), &bytes);
    return bytes;
}

bool Sandbox::Exists(const std::string& logical) const {
    struct stat st {};
    return lstat(Path(logical).c_str(), &st) == 0;
}

void Sandbox::Remove(const std::string& logical) const {
    std::error_code ec;
    std::filesystem::remove_all(Path(logical), ec);
}

void Sandbox::WriteSysgen(const std::map<int, SysgenItem>& items, int records, int extra) const {
    WriteSysgenFile(Path("/u/qel/sys_data/files/sysgen.bin"), items, records, extra);
}

bool Sandbox::LayOutDemo(std::string* error, bool online, char family) const {
    // The tree generator is built beside the message-server simulator.
    const std::string mktree =
        (std::filesystem::path(QEL_MSGSIM_PATH).parent_path() / "qel-mktree").string();
    const std::string cmd = "\"" + mktree + "\" --source \"" + std::string(QEL_SOURCE_DIR) +
                            "/demo\" --msgsim \"" + QEL_MSGSIM_PATH + "\" " +
                            (online ? "--online " : "") + (family == 'B' ? "--family B " : "") +
                            "--owner " + std::to_string(getpid()) + " " + "\"" + root_ +
                            "\" >/dev/null 2>\"" + root_ + "/sim/mktree.err\"";
    if (std::system(cmd.c_str()) == 0) return true;
    *error = "qel-mktree failed: " + Read("/sim/mktree.err");
    return false;
}

void Sandbox::WriteUart(const std::vector<UartEntry>& entries, int records) const {
    Write("/u/qel/sys_data/files/uart.bin", EncodeUartFile(entries, records));
}

UartEntry ServoEntry(const std::string& type, const std::string& path) {
    UartEntry e;
    e.name = "SERVO";
    e.mode = 'S';
    e.cflag = 0x8BD;
    e.path = path;
    e.type = type;
    e.description = "controller";
    return e;
}

void Sandbox::SetServerArgs(const std::string& args) const {
    Write("/sim/msgserver.args", args + "\n");
}

std::vector<std::string> Sandbox::ScriptsLog() const {
    return SplitLines(Read("/sim/scripts.log"));
}
std::vector<std::string> Sandbox::ServerLog() const {
    return SplitLines(Read("/sim/msgserver.jsonl"));
}

SysgenItem IntItem(long long v) {
    SysgenItem i;
    i.kind = SysgenItem::Int;
    i.i = v;
    return i;
}
SysgenItem RealItem(double v) {
    SysgenItem i;
    i.kind = SysgenItem::Real;
    i.r = v;
    return i;
}
SysgenItem StrItem(const std::string& v) {
    SysgenItem i;
    i.kind = SysgenItem::Str;
    i.s = v;
    return i;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

long JsonInt(const std::string& line, const std::string& key, long def) {
    std::string k = "\"" + key + "\":";
    size_t at = line.find(k);
    if (at == std::string::npos) return def;
    return std::strtol(line.c_str() + at + k.size(), nullptr, 10);
}

std::string JsonStr(const std::string& line, const std::string& key) {
    std::string k = "\"" + key + "\":\"";
    size_t at = line.find(k);
    if (at == std::string::npos) return "";
    size_t end = line.find('"', at + k.size());
    return line.substr(at + k.size(), end - at - k.size());
}
