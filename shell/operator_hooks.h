// The shell's side of the controller link's operator interface.
#pragma once

// Installs the shell's dialogs, home boxes, loading notice, event pump,
// command runner, label texts and operating mode as the controller link's
// operator hooks. Start-up calls it once, before anything reaches the link.
void InstallOperatorHooks();
