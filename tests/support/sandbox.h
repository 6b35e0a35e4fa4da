// Test fixtures: a sandbox root per test, laid out like the demo tree but
// small, with helpers to write install files and read the peers' logs.
#pragma once

#include "records.h"
#include "records_uart.h"
#include "sandbox_tree.h"

#include <map>
#include <string>
#include <vector>

// Sets or unsets an environment variable for a scope.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    std::string name_;
    bool had_;
    std::string old_;
};

class Sandbox {
  public:
    explicit Sandbox(SandboxOptions options = DefaultOptions());
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    static SandboxOptions DefaultOptions();
    // The default options with the stand-ins of the suite's tools
    // (LayOutSuiteTools).
    static SandboxOptions WithSuiteTools();
    // PATH with the sandbox's tools (files4part) in front.
    std::string ToolsOnPath() const;

    const std::string& root() const { return root_; }
    // The real path of a logical one: root + path.
    std::string Path(const std::string& logical) const { return root_ + logical; }

    void Write(const std::string& logical, const std::string& bytes) const;
    std::string Read(const std::string& logical) const;
    bool Exists(const std::string& logical) const;
    void Remove(const std::string& logical) const;
    void WriteSysgen(const std::map<int, SysgenItem>& items, int records = 0, int extra = 0) const;
    // Lays the demo install tree (demo/ of the sources) into the sandbox, as
    // the demo does (online: as demo/run.sh does, for the controller
    // simulator; family 'B': a family B station); false with a message when
    // the tree generator fails.
    bool LayOutDemo(std::string* error, bool online = false, char family = 'A') const;
    // The port table uart.bin: the entries, then empty records up to records.
    void WriteUart(const std::vector<UartEntry>& entries, int records = 10) const;
    // Options for the simulated message server of this sandbox.
    void SetServerArgs(const std::string& args) const;

    std::vector<std::string> ScriptsLog() const;
    // The server's request log, one JSON line per request.
    std::vector<std::string> ServerLog() const;
    // Prints the consoles in the sandbox (the program's, the simulators'):
    // done when a sandbox of a failed test ends.
    void PrintConsoles() const;

  private:
    std::string root_;
    ScopedEnv env_;
};

// A SERVO port record of the controller type ("Ondry", "TORVI", "KROMI" ...)
// on the device path.
UartEntry ServoEntry(const std::string& type = "Ondry", const std::string& path = "/dev/M_SERVO");

SysgenItem IntItem(long long v);
SysgenItem RealItem(double v);
SysgenItem StrItem(const std::string& v);

std::vector<std::string> SplitLines(const std::string& text);
// The integer of "key":<n> in a JSON line, or def.
long JsonInt(const std::string& line, const std::string& key, long def = -999999);
std::string JsonStr(const std::string& line, const std::string& key);
