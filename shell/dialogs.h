// Dialogs, the cursor and the local event loops (pumps).
#pragma once

#include <X11/X.h>

#include <string>

void ChangeCursor(Cursor cursor);
// One pass of queued events without key and button input, repeated for the
// given seconds (one pass for 0).
void WaitSeconds(int seconds);
void FlushEventsNoInput();
// Serves events and timers for the given seconds, dropping keys and buttons.
int ProcessEventsFor(int seconds);
// Up to tries rounds of ProcessEventsFor(1) until no task is active.
int WaitTasksEnd(int tries);
int MessageDialog(const std::string& text, int withCancel);
