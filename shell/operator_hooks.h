// The shell's side of the controller link's operator interface.
#pragma once

// Installs the shell's dialogs, home boxes, loading notice, event pump,
// command runner, label texts and operating mode as the controller link's
// operator hooks. Start-up calls it once, before anything reaches the link.
void InstallOperatorHooks();

// The question whether the running task may be stopped (ConfirmStopTasks of
// the service screen), which the program's top sets at start-up: 1 yes and
// the task has ended, else 0. Unset, the link's question prints a console
// line and declines.
using StopTasksQuestion = int (*)();
void SetStopTasksQuestion(StopTasksQuestion ask);
