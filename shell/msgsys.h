// Message system: the System V queue shared with the message server, the one
// outgoing and one incoming record, and the slot of the one tracked task.
#pragma once

#include "msgrecord.h"

#include <X11/Intrinsic.h>
#include <sys/types.h>

extern MsgRecord MsgOut;
extern MsgRecord MsgIn;
extern key_t MsgKey;
extern int MsgQueueId;
extern pid_t OwnPid;

// Slot states.
inline constexpr int SLOT_RUNNING = 1;
inline constexpr int SLOT_HELD = 2;
inline constexpr int SLOT_READY = 4;
inline constexpr int SLOT_FREE = 5;

struct TaskRecord {
    char name[40];
    int32_t id;
    int32_t flags;
    int32_t kind;
    int32_t state;
    int32_t code;
    int32_t value;
};
static_assert(sizeof(TaskRecord) == 64, "task record layout");

extern TaskRecord TaskSlot;
extern int CurrentTaskId;
extern int PendingRunCode;
extern int RunPending;

int OpenMessageSystem();
int SendMessage(int arg);
int ReceiveMessage(int flags);
void CheckMess(XtPointer closure, XtIntervalId* id);

int GetTaskState(int id);
void SetTaskState(int id, const char* name, int state, int value);
int RecordTask(int id, const char* name, int state, int flags, int kind, int code, int value);
int AnyTaskActive();
int TaskRunning();

void StartPrinterDrivers();

// Waits up to seconds for the server's last message (status 99): 0 when it
// came, -1 when a receive failed, -82 when the time ran out.
int WaitForShutdownMessage(int seconds);
