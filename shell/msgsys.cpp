// Message system: queue, records and task slot.
#include "msgsys.h"

#include "launch.h"
#include "ospath.h"
#include "nap.h"
#include "vok.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <sys/msg.h>
#include <unistd.h>

MsgRecord MsgOut{};
MsgRecord MsgIn{};
key_t MsgKey = -1;
int MsgQueueId = -1;
pid_t OwnPid = 0;

TaskRecord TaskSlot{};
int CurrentTaskId = 0;
int PendingRunCode = -1;
int RunPending = 0;

namespace {

const char* const kKeyFile = "/usr/bin/XSRVR";

void ClearSlot() {
    std::memset(&TaskSlot, 0, sizeof TaskSlot);
    TaskSlot.state = SLOT_FREE;
    TaskSlot.id = -1;
}

void CopyName(const char* name) {
    std::snprintf(TaskSlot.name, sizeof TaskSlot.name, "%s", name);
}

// One receive. Returns true when a reply was taken; errno tells otherwise.
bool Receive(int flags) {
    ssize_t n = msgrcv(MsgQueueId, &MsgIn, kMsgTextSize, OwnPid, flags | MSG_NOERROR);
    return n >= 0;
}

} // namespace

int OpenMessageSystem() {
    ClearSlot();
    SystemCmd("/usr/bin/KILL_XSERVER");
    MsgKey = os_ftok(kKeyFile, 'q');
    if (MsgKey == -1) {
        std::printf("Unable to create XSERVER msg key from %s\n", kKeyFile);
        return -1;
    }
    OwnPid = getpid();
    const std::string serverCommand = "/usr/bin/xserver " + std::to_string(OwnPid) + "&";
    MsgQueueId = msgget(MsgKey, 0);
    if (MsgQueueId == -1) {
        SystemCmd(serverCommand);
        nap(2000);
        MsgQueueId = msgget(MsgKey, 0);
        if (MsgQueueId == -1) return -1;
        SystemCmd("/u/qel/xeq/errwin&");
        StartPrinterDrivers();
    } else {
        std::printf("\nError:  Could Not Start XServer.  After VOK comes up, manually start\n");
        std::printf("/usr/bin/xserver.exe and then quit and restart the vok.exe.  This will\n");
        std::printf("often happen directly after an QEL crash, and should be fine next time\n");
        std::printf("vok is started, or the computer rebooted.\n");
    }
    MsgSetInt(MsgOut, kMsgCode, MSG_HELLO);
    SendMessage(0);
    CurrentTaskId = 0;
    return 0;
}

int SendMessage(int arg) {
    MsgOut.mtype = MsgKey;
    MsgSetInt(MsgOut, kMsgArg, arg);
    MsgSetInt(MsgOut, kMsgSender, OwnPid);
    if (msgsnd(MsgQueueId, &MsgOut, kMsgTextSize, IPC_NOWAIT) != 0) return -1;
    return 0;
}

int ReceiveMessage(int flags) {
    if (!Receive(flags)) return -1;
    return MsgGetInt(MsgIn, kMsgStatus);
}

void CheckMess(XtPointer closure, XtIntervalId*) {
    XtAppAddTimeOut(AppContext, 1000, CheckMess, closure);
}

int GetTaskState(int id) {
    return TaskSlot.id == id ? TaskSlot.state : -1;
}

void SetTaskState(int id, const char* name, int state, int value) {
    if (TaskSlot.id != id) return;
    if (name) CopyName(name);
    TaskSlot.state = state;
    TaskSlot.value = value;
}

int RecordTask(int id, const char* name, int state, int flags, int kind, int code, int value) {
    if (TaskSlot.state != SLOT_READY && TaskSlot.state != SLOT_FREE) return -1;
    CopyName(name ? name : "");
    TaskSlot.id = id;
    TaskSlot.state = state;
    TaskSlot.flags = flags;
    TaskSlot.kind = kind;
    TaskSlot.code = code;
    TaskSlot.value = value;
    return -1;
}

int AnyTaskActive() {
    return TaskSlot.state != SLOT_FREE;
}
int TaskRunning() {
    return TaskSlot.state == SLOT_RUNNING || TaskSlot.state == SLOT_HELD;
}

void StartPrinterDrivers() {}

int WaitForShutdownMessage(int seconds) {
    const time_t end = std::time(nullptr) + seconds;
    for (;;) {
        if (Receive(IPC_NOWAIT)) {
            if (MsgGetInt(MsgIn, kMsgStatus) == STATUS_SHUTDOWN) return 0;
            continue;
        }
        if (errno == EINTR) continue;
        if (errno != ENOMSG) return -1;
        if (std::time(nullptr) >= end) {
            std::printf("ExitVok: no last message from the message server within %d s\n", seconds);
            return -82;
        }
        nap(50);
    }
}
