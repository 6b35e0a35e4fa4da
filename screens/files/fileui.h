// What the X-free models of the file screens (copy, delete, print, the edit
// screens) need from their screen: the label texts, the operator's dialogs,
// the shell and the busy cursor. The screen hands in the real ones; tests
// hand in recorders.
#pragma once

#include <functional>
#include <string>

struct FileUi {
    std::function<std::string(int label)> label;
    // A message or question to the operator: 1 OK, 0 Cancel.
    std::function<int(const std::string& text)> message;
    // Runs a shell command: its wait status.
    std::function<int(const std::string& command)> run;
    std::function<void(bool busy)> cursor;
};

// The answer that continues after a message.
inline constexpr int kContinueLabel = 100;
// A typed path that is no path here, or one too long.
inline constexpr int kBadPathLabel = 70;
