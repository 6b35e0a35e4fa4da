// Child processes: a command through the system shell, and a program started
// with an argument vector (the porting layer's fork-exec). Both give the child
// default signal dispositions and report the real wait status, even while the
// program ignores SIGCHLD (it does so from start-up on, so that finished
// children leave no zombies).
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// Runs the command with /bin/sh -c (paths mapped by OsCommand) and waits for
// it, ignoring SIGINT and SIGQUIT meanwhile as system() does (the shell keeps
// their defaults). Returns the wait status as system() does, or -1 when no
// shell started.
int RunShellCommand(const std::string& command);

// Starts the program (path mapped by OsPath) with the vector, environ passed
// on, and waits for it. Returns the child's pid with its wait status in
// *status, or -errno (status untouched) when it could not be started.
pid_t RunProgram(const std::string& path, const std::vector<std::string>& argv, int* status);

// A word as the shell must see it: unchanged when it holds only
// [A-Za-z0-9_./:@%+=,-], else in single quotes.
std::string ShellQuote(const std::string& word);

// Text put between double quotes of a shell command: \ " $ and ` escaped.
std::string ShellEscapeInDoubleQuotes(const std::string& text);

// True when no process of that id runs any more: none has it, or only a
// zombie that waits to be reaped. A process of another user counts as
// running.
bool ProcessGone(pid_t pid);
