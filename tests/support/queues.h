// Message queues that a test makes go with the test, however it ends: a
// watcher process, started with the first queue, holds the list and removes
// what is still on it when the test process has gone (a normal end, a failed
// assertion, a crash, a kill from outside alike). A test that removes a
// queue itself takes it off the list first.
#pragma once

#include <string>

// A private queue (mode 0600) on the list; -1 when none could be made.
int MakePrivateQueue();
// Takes the queue off the list and removes it.
void RemovePrivateQueue(int msqid);

// The queue whose key the key file gives (a sandbox's /usr/bin/XSRVR),
// whichever queue that is when the test has gone; the file must still be
// there then (a sandbox removes both when it ends normally).
void GuardKeyFileQueue(const std::string& keyFile);
void ReleaseKeyFileQueue(const std::string& keyFile);
