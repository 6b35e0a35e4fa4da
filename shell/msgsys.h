// Message system: the System V queue shared with the message server, the one
// outgoing and one incoming record, the slot of the one tracked task, the
// once-a-second poll of the server's replies with the run request that
// follows a task's creation, and the start and stop of the printer drivers.
#pragma once

#include "msgrecord.h"

#include <X11/Intrinsic.h>

#include <string>
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
// Task id of the last reply 14 with status 0; 0 when none.
extern int CurrentTaskId;
// Request code that came with that reply; -1 when none.
extern int PendingRunCode;
// 1 while a run request waits for the task to report ready.
extern int RunPending;

// Finds the server's queue, starting the server when there is none (its
// queue is then looked for every 50 ms, for at most 2 s), and greets it: 0
// when the queue is there, -1 otherwise.
int OpenMessageSystem();
// Completes the type, argument word and sender of MsgOut and sends it
// without waiting: 0 sent, -1 not sent. A request that went onto the queue
// while the server that reads it has gone (killed, its queue left behind)
// counts as not sent: the server is then taken as stopped, as when its queue
// is removed (MessageQueueGone).
int SendMessage(int arg);
// One receive into MsgIn (IPC_NOWAIT or 0): the reply's status, or -1 when
// nothing came or on an error. A reply with status -1 reads as nothing; it
// is reported on the console.
int ReceiveMessage(int flags);

// Moves the replies waiting in the queue into the backlog, in order. Every
// wait of the program calls it (the poll's tick, the dialogs' and the pumps'
// passes), so that the queue, which holds few replies, does not fill while
// the program waits and the server's next replies and our own requests
// still fit. The backlog is bounded only by memory.
void DrainReplies();
// The poll, a toolkit timer procedure with MainForm as closure: one tick,
// then it arms itself again for 1000 ms.
void CheckMess(XtPointer closure, XtIntervalId* id);
// One tick of the poll without the timer: drains the queue, then handles the
// waiting replies in order, up to kRepliesPerTick of them or up to the first
// whose handling showed a message, whichever comes first; the others wait
// for the next tick. Then, with no reply left, tells the operator once that
// the queue is gone; and ends the loading notice's wait when the server
// stays silent. Answers the number of replies handled.
int PollTick();
inline constexpr int kRepliesPerTick = 32;
// Takes the oldest waiting reply (a reply with status -1 is reported and
// skipped) and handles it. false when there was none.
bool PollOnce();
// What the poll does with one reply.
void HandleReply(const MsgRecord& reply);
// Sends the run (codes 4, 114) or the learn, append or inspect (100, 101,
// 102) of the task that the server has created.
void SendRunRequest(int code);

// The loading notice (shown for a task request: run, learn, append,
// inspect) waits for the server's answer: when the server says nothing about
// the task for ServerAnswerBoundMs after a tick found the notice up, the
// poll hides the notice, tells the operator that the server does not answer
// and gives the main menu back. A late answer is handled as usual.
inline constexpr long kServerAnswerMs = 60000;
// kServerAnswerMs, scaled like the program's pauses (QEL_NAP_PERCENT).
long ServerAnswerBoundMs();
// True once a receive or a send found the queue removed, or a send found
// that the server which read the queue no longer runs (the server has
// stopped). From then on nothing is sent or received; the next tick tells the
// operator once, frees the task slot, hides the loading notice and gives
// the main menu back as the machine state allows.
bool MessageQueueGone();

// What the reply handling and the run request do on the operator's screen.
// The main menu's enable flags are plain data (MainMenuTable) and are set
// directly; the sensitivity is applied only while no screen is open
// (ActiveMenuButton 0 and ShownScreen none), as every screen applies the
// flags itself when it closes.
class ReplyUi {
  public:
    virtual ~ReplyUi() = default;
    // Light index of MainMenuIndicators on or off.
    virtual void Light(int index, bool on) = 0;
    virtual void UpdateMenu() = 0; // UpdateMainMenu
    virtual void ApplyMenu() = 0;  // ApplyMainMenu
    // A modal message: MessageDialog(text, 0).
    virtual void Message(const std::string& text) = 0;
    virtual bool LoadingShown() const = 0;
    virtual void HideLoading() = 0;
    virtual void RaiseMainWindow() = 0;
    // Closes the exit screen: ExitScreenCancel with null arguments.
    virtual void CloseExitScreen() = 0;
};
// Test seam: the interface that the poll uses; null restores the main
// window's. Answers the one used before.
ReplyUi* SetReplyUi(ReplyUi* ui);
// The screen side of the main window's interface: what closes the exit
// screen, which the program's top sets at start-up. Unset, closing it prints
// a console line and closes nothing. MsgsysResetForTest leaves it as it is.
using ExitScreenCloser = void (*)();
void SetExitScreenCloser(ExitScreenCloser close);

// Request 16 for the tracked task (CurrentTaskId) with a task flag as its
// data word and the argument word: 0 sent, -1 not.
int SendTaskControl(int flag, int arg);

int GetTaskState(int id);
// The name goes in as a bounded copy (39 characters, a console line when it
// is cut), as in RecordTask.
void SetTaskState(int id, const char* name, int state, int value);
int RecordTask(int id, const char* name, int state, int flags, int kind, int code, int value);
int AnyTaskActive();
int TaskRunning();
// Up to tries rounds of ProcessEventsFor(1), each followed by a look at the
// task slot: 0 once no task is active, -82 when the tries are used up.
int WaitTasksEnd(int tries);

// Sends the driver types of PRINTER, PLOTTER and PENPLOTTER (request 38),
// removes the spool files /u/tmp/P1 to P3 and starts the driver of each port
// whose program is installed.
void StartPrinterDrivers();
// 0 when the server reports the drivers stopped, -1 otherwise. Waits at most
// kStopReplyWaitMs for each reply; the replies it reads that are not its own
// go to the backlog, in order, for the poll.
int StopPrinterDrivers();
inline constexpr int kStopReplyWaitMs = 10000;
// Request 39 (the port table changes), then 3 s.
void SendCommand39();
// Sends MsgOut with the request code, the sub-state word 0 and the argument
// word 0; text and extra are not used. Answers 0.
int SendCommand(const char* text, int code, int extra);
// Puts the path of a print request (9 or 10) into MsgOut. A path that does
// not fit its field is refused with a console line: false.
bool SetPrintPath(const std::string& path);

// The print request (9) of a file: its path, the words at 108 and 112 set
// to 0, sent with argument 0. 0 sent; -1 when the path does not fit its
// field (console line) or the send failed.
int SendPrintRequest(const std::string& path);

// Waits up to seconds for the server's last message (status 99): 0 when it
// came, -1 when a receive failed or the queue is known to be gone, -82 when
// the time ran out.
int WaitForShutdownMessage(int seconds);

// Test seams. The hook runs in the toolkit's thread at the end of every
// CheckMess, before the timer is armed again.
void SetPollHookForTest(void (*hook)());
// Slot, tracking state, records and kept replies back to their start.
void MsgsysResetForTest();
