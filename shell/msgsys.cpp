// Message system: queue, records, task slot, poll and printer drivers.
#include "msgsys.h"

#include "dialogs.h"
#include "labels.h"
#include "launch.h"
#include "mainmenu.h"
#include "makers.h"
#include "nap.h"
#include "ospath.h"
#include "partsel.h"
#include "ports.h"
#include "process.h"
#include "vok.h"

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <deque>
#include <initializer_list>
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
constexpr int kPollMs = 1000;
constexpr long kReceivePauseMs = 50;
// The server's start: its queue is looked for every kQueueLookMs, for at
// most kServerStartMs.
constexpr long kServerStartMs = 2000;
constexpr long kQueueLookMs = 50;
constexpr int kStopReplies = 6;
// Label texts of the messages about the server itself.
constexpr int kLabelNotSent = 300;
constexpr int kLabelNoAnswer = 307;
constexpr int kLabelContinue = 100;

using Clock = std::chrono::steady_clock;

// The backlog: replies taken off the queue (by the drain of every wait and
// by StopPrinterDrivers) that the poll has not handled yet, oldest first.
std::deque<MsgRecord> KeptReplies;
void (*PollHook)() = nullptr;
ExitScreenCloser CloseExit = nullptr;

// The queue was found removed, or the server that read it has gone: noted
// once on the console when it is found, told to the operator once by the
// next tick.
bool QueueGone = false;
bool QueueGoneTold = false;
// The server: the last process other than this one that was seen reading
// the queue (0 while none was). The reader that an old queue names when it is
// opened is not taken for it: that may be an earlier run of this program.
pid_t ServerReader = 0;
pid_t ReaderAtOpen = 0;
// The loading notice waits for the server's answer since this time (the
// tick that found it up, or the server's last reply about the task).
bool AwaitingAnswer = false;
Clock::time_point AnswerSince;
// Messages shown by the reply handling, so that a tick stops after a reply
// that opened one.
int MessagesShown = 0;

// The main window's side of the poll.
class MainWindowUi : public ReplyUi {
  public:
    void Light(int index, bool on) override {
        if (index < 0 || index >= 5) return;
        if (on)
            IndicatorOn(MainMenuIndicators[index]);
        else
            IndicatorOff(MainMenuIndicators[index]);
    }
    void UpdateMenu() override { UpdateMainMenu(); }
    void ApplyMenu() override { ApplyMainMenu(); }
    void Message(const std::string& text) override { MessageDialog(text, 0); }
    bool LoadingShown() const override { return LoadMessageShown == 1; }
    void HideLoading() override { HideLoadMessage(); }
    void RaiseMainWindow() override { RaiseTopWindow(); }
    void CloseExitScreen() override {
        if (CloseExit) {
            CloseExit();
            return;
        }
        std::printf("CheckMess: exit screen not wired\n");
        std::fflush(stdout);
    }
};

MainWindowUi TheMainWindowUi;
ReplyUi* Ui = &TheMainWindowUi;

void Tell(const std::string& text) {
    ++MessagesShown;
    Ui->Message(text);
}

void ClearSlot() {
    std::memset(&TaskSlot, 0, sizeof TaskSlot);
    TaskSlot.state = SLOT_FREE;
    TaskSlot.id = -1;
}

void CopyName(const char* name) {
    const size_t width = sizeof TaskSlot.name;
    const size_t n = strnlen(name, width);
    if (n >= width)
        std::printf("Task slot: part name '%s' cut to %zu characters\n", name, width - 1);
    const size_t keep = n < width ? n : width - 1;
    std::memset(TaskSlot.name, 0, width);
    std::memcpy(TaskSlot.name, name, keep);
}

void ReportDropped(const MsgRecord& m) {
    std::printf("ReceiveMessage: reply %d for task %d with status -1 dropped\n",
                MsgGetInt(m, kMsgCode), MsgGetInt(m, kMsgTaskId));
    std::fflush(stdout);
}

bool IsQueueRemoved(int error) {
    return error == EIDRM || error == EINVAL;
}

// A queue that the server removed (or that went with it) answers every
// receive and send with EIDRM or EINVAL from then on.
void NoteQueueGone(const char* where, int error) {
    if (QueueGone) return;
    QueueGone = true;
    std::printf("Message System: the message queue is gone (%s: %s), "
                "the message server has stopped\n",
                where, std::strerror(error));
    std::fflush(stdout);
}

// The queue's last reader, when it is neither this program nor the one the
// queue named when it was opened, is the server.
void NoteReader() {
    msqid_ds ds{};
    if (MsgQueueId == -1 || msgctl(MsgQueueId, IPC_STAT, &ds) != 0) return;
    const pid_t reader = ds.msg_lrpid;
    if (reader > 0 && reader != OwnPid && reader != getpid() && reader != ReaderAtOpen)
        ServerReader = reader;
}

// After a request went onto the queue: true when the server that reads it
// has gone (killed, its queue left behind), so that nothing will ever read
// it. Before the server's first read nothing is known, and nothing is said.
bool NoteServerGone(int code) {
    if (QueueGone) return true;
    NoteReader();
    if (ServerReader == 0 || !ProcessGone(ServerReader)) return false;
    QueueGone = true;
    std::printf("Message System: the message server (process %d) has stopped, "
                "request %d stays unread\n",
                static_cast<int>(ServerReader), code);
    std::fflush(stdout);
    return true;
}

// One receive into m. true when a reply was taken; errno tells otherwise. A
// longer message is cut to the record, so that it cannot stay at the head of
// the queue; a shorter one leaves zeros, not the last reply, in the rest.
bool ReceiveInto(MsgRecord& m, int flags) {
    if (QueueGone) {
        errno = EIDRM;
        return false;
    }
    ssize_t n = msgrcv(MsgQueueId, &m, kMsgTextSize, OwnPid, flags | MSG_NOERROR);
    if (n < 0) return false;
    const auto got = static_cast<size_t>(n);
    if (got < kMsgTextSize) std::memset(m.text + got, 0, kMsgTextSize - got);
    return true;
}

bool Receive(int flags) {
    return ReceiveInto(MsgIn, flags);
}

// Waits up to ms for a reply with a status other than -1 (those are reported
// and skipped). false on a receive error or when the time ran out.
bool ReceiveWithin(long ms) {
    long waited = 0;
    for (;;) {
        if (Receive(IPC_NOWAIT)) {
            if (MsgGetInt(MsgIn, kMsgStatus) != -1) return true;
            ReportDropped(MsgIn);
            continue;
        }
        if (errno == EINTR) continue;
        if (errno != ENOMSG) {
            if (IsQueueRemoved(errno)) NoteQueueGone("receive", errno);
            return false;
        }
        if (waited >= ms) {
            errno = ETIMEDOUT;
            return false;
        }
        PeerNap(kReceivePauseMs);
        waited += kReceivePauseMs;
    }
}

// Main-menu rows are numbered 1 to 10.
void SetRows(std::initializer_list<int> rows, int enabled) {
    for (int row : rows) MainMenuTable[row - 1].enabled = enabled;
}

void SetAllRows(int enabled) {
    for (MainMenuEntry& row : MainMenuTable) row.enabled = enabled;
}

// The flags take effect only while no screen is open; the screen applies
// them when it closes.
void ApplyMenuUnlessScreen() {
    if (ActiveMenuButton == 0 && ShownScreen == nullptr) Ui->ApplyMenu();
}

std::string TwoLabels(int first, int second) {
    return LabText(first) + "\n" + LabText(second);
}

// The fields of request 16 for the run of the created task.
void FillRunRequest(int flag, const char* type, int runMode) {
    MsgSetInt(MsgOut, kMsgTaskId, CurrentTaskId);
    MsgSetInt(MsgOut, kMsgCode, MSG_TASK_CONTROL);
    MsgSetInt(MsgOut, kMsgData, flag);
    if (!MsgSetText(MsgOut, kMsgPart, kMsgPartWidth, CurrentPart))
        std::printf("SendRunRequest: part name '%s' cut to %zu characters\n", CurrentPart.c_str(),
                    kMsgPartWidth - 1);
    MsgSetText(MsgOut, kMsgType, kMsgTypeWidth, type);
    MsgSetInt(MsgOut, kMsgRunMode, runMode);
}

void HandleTaskReply(int status, int task, int value, int exitValue) {
    if (status == STATUS_TASK_CREATED) {
        CurrentTaskId = task;
        PendingRunCode = value;
        if (GetTaskState(task) == SLOT_READY)
            SendRunRequest(PendingRunCode);
        else
            RunPending = 1;
    } else if (status >= 1 && status <= 3) {
        SetTaskState(task, nullptr, SLOT_FREE, status);
        if (Ui->LoadingShown()) {
            Ui->HideLoading();
            Tell(TwoLabels(214, kLabelContinue));
        }
        Tell(LabText(kLabelNotSent));
        SetAllRows(0);
        SetRows({5}, 1);
        ApplyMenuUnlessScreen();
    } else if (status == STATUS_TASK_ENDED) {
        SetTaskState(task, nullptr, SLOT_FREE, exitValue);
        Ui->UpdateMenu();
        CurrentTaskId = 0;
        RunPending = 0;
        ApplyMenuUnlessScreen();
        Ui->Light(3, false);
        Ui->Light(4, false);
        Ui->RaiseMainWindow();
        Ui->HideLoading();
    }
}

void HandleStateReply(int subState, int task, int exitValue) {
    switch (subState) {
    case SUBSTATE_READY:
        if (RunPending) {
            SendRunRequest(PendingRunCode);
            RunPending = 0;
            PendingRunCode = -1;
            return;
        }
        SetTaskState(task, nullptr, SLOT_READY, exitValue);
        Ui->UpdateMenu();
        ApplyMenuUnlessScreen();
        Ui->Light(3, false);
        Ui->Light(4, false);
        Ui->RaiseMainWindow();
        Ui->HideLoading();
        return;
    case SUBSTATE_RUNNING:
    case SUBSTATE_RUNNING_24:
        SetTaskState(task, nullptr, SLOT_RUNNING, 0);
        Ui->Light(4, true);
        if (ActiveMenuButton == 5) Ui->CloseExitScreen();
        return;
    case SUBSTATE_HELD:
        SetTaskState(task, nullptr, SLOT_HELD, 0);
        Ui->Light(4, false);
        if (ActiveMenuButton == 5) Ui->CloseExitScreen();
        return;
    default:
        return;
    }
}

// Printer drivers: a type names a program under /u/qel/xeq, so it is taken
// only as a plain file name.
bool IsDriverType(const std::string& type) {
    if (type.empty()) return false;
    for (unsigned char c : type)
        if (!std::isalnum(c) && c != '_' && c != '.' && c != '-') return false;
    return type != "." && type != "..";
}

std::string DriverCommand(const std::string& type, int number, const std::string& port,
                          const PortRecord& record) {
    return "/u/qel/xeq/" + type + " " + std::to_string(number) + " /dev/M_" + port + " " +
           ShellQuote(std::string(1, record.mode)) + " " + std::to_string(record.cflag) + " \"" +
           ShellEscapeInDoubleQuotes(PortField(record.description)) + "\" &";
}

// The server is gone, and its tasks with it: the operator is told once, the
// loading notice goes and the main menu follows the machine state again.
void TellQueueGone() {
    if (!QueueGone || QueueGoneTold) return;
    QueueGoneTold = true;
    AwaitingAnswer = false;
    TaskSlot.state = SLOT_FREE;
    Ui->UpdateMenu();
    CurrentTaskId = 0;
    RunPending = 0;
    PendingRunCode = -1;
    ApplyMenuUnlessScreen();
    Ui->Light(3, false);
    Ui->Light(4, false);
    Ui->HideLoading();
    Tell(TwoLabels(kLabelNotSent, kLabelContinue));
}

// The loading notice waits for the server's answer at most
// ServerAnswerBoundMs from the tick that first finds it up; then it goes and
// the menu is live again. A late answer is handled as any.
void CheckAnswerBound() {
    if (!Ui->LoadingShown()) {
        AwaitingAnswer = false;
        return;
    }
    if (!AwaitingAnswer) {
        AwaitingAnswer = true;
        AnswerSince = Clock::now();
        return;
    }
    const long bound = ServerAnswerBoundMs();
    const auto waited =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - AnswerSince).count();
    if (waited < bound) return;
    AwaitingAnswer = false;
    std::printf("CheckMess: no answer from the message server within %ld s\n", bound / 1000);
    std::fflush(stdout);
    Ui->HideLoading();
    Ui->UpdateMenu();
    ApplyMenuUnlessScreen();
    Tell(TwoLabels(kLabelNoAnswer, kLabelContinue));
}

} // namespace

long ServerAnswerBoundMs() {
    return ScaledBoundMs(kServerAnswerMs);
}

bool MessageQueueGone() {
    return QueueGone;
}

void DrainReplies() {
    if (MsgQueueId == -1 || QueueGone) return;
    // Before this program's receive takes the place of the last reader.
    NoteReader();
    for (;;) {
        MsgRecord m;
        if (ReceiveInto(m, IPC_NOWAIT)) {
            KeptReplies.push_back(m);
            continue;
        }
        if (errno == EINTR) continue;
        if (IsQueueRemoved(errno)) NoteQueueGone("receive", errno);
        return;
    }
}

void SetExitScreenCloser(ExitScreenCloser close) {
    CloseExit = close;
}

ReplyUi* SetReplyUi(ReplyUi* ui) {
    ReplyUi* old = Ui;
    Ui = ui ? ui : &TheMainWindowUi;
    return old;
}

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
    ServerReader = 0;
    ReaderAtOpen = 0;
    if (MsgQueueId == -1) {
        SystemCmd(serverCommand);
        // The server makes the queue when it is up: the start goes on as
        // soon as it is there.
        for (long waited = 0; MsgQueueId == -1 && waited < kServerStartMs; waited += kQueueLookMs) {
            PeerNap(kQueueLookMs);
            MsgQueueId = msgget(MsgKey, 0);
        }
        if (MsgQueueId == -1) return -1;
        SystemCmd("/u/qel/xeq/errwin&");
        StartPrinterDrivers();
    } else {
        msqid_ds ds{};
        if (msgctl(MsgQueueId, IPC_STAT, &ds) == 0) ReaderAtOpen = ds.msg_lrpid;
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
    if (QueueGone) return -1;
    if (msgsnd(MsgQueueId, &MsgOut, kMsgTextSize, IPC_NOWAIT) != 0) {
        if (MsgQueueId != -1 && IsQueueRemoved(errno)) NoteQueueGone("send", errno);
        return -1;
    }
    // On the queue, but nobody left to read it: not done.
    if (NoteServerGone(MsgGetInt(MsgOut, kMsgCode))) return -1;
    return 0;
}

int ReceiveMessage(int flags) {
    if (!Receive(flags)) return -1;
    const int status = MsgGetInt(MsgIn, kMsgStatus);
    if (status == -1) ReportDropped(MsgIn);
    return status;
}

bool PollOnce() {
    DrainReplies();
    while (!KeptReplies.empty()) {
        MsgIn = KeptReplies.front();
        KeptReplies.pop_front();
        // A status of -1 reads as nothing received.
        if (MsgGetInt(MsgIn, kMsgStatus) == -1) {
            ReportDropped(MsgIn);
            continue;
        }
        HandleReply(MsgIn);
        return true;
    }
    return false;
}

int PollTick() {
    DrainReplies();
    int handled = 0;
    while (handled < kRepliesPerTick) {
        const int shown = MessagesShown;
        if (!PollOnce()) break;
        ++handled;
        // The replies after one that opened a message wait for the next tick.
        if (MessagesShown != shown) break;
    }
    // What the server said before it went is handled first.
    if (KeptReplies.empty()) TellQueueGone();
    CheckAnswerBound();
    return handled;
}

void CheckMess(XtPointer closure, XtIntervalId*) {
    PollTick();
    if (PollHook) PollHook();
    XtAppAddTimeOut(AppContext, kPollMs, CheckMess, closure);
}

void HandleReply(const MsgRecord& reply) {
    // Copied first, so that nothing the handling runs can change it under us.
    const MsgRecord r = reply;
    const int task = MsgGetInt(r, kMsgTaskId);
    const int status = MsgGetInt(r, kMsgStatus);
    const int code = MsgGetInt(r, kMsgCode);
    // The server speaks about the task: the notice's wait starts again.
    if (code == MSG_START_TASK || code == MSG_TASK_STATE) AnswerSince = Clock::now();
    switch (code) {
    case MSG_START_TASK:
        HandleTaskReply(status, task, MsgGetInt(r, kMsgArg), MsgGetInt(r, kMsgExit));
        break;
    case MSG_TASK_STATE:
        HandleStateReply(MsgGetInt(r, kMsgSubState), task, MsgGetInt(r, kMsgExit));
        break;
    case MSG_DATAPAGE:
        if (status != 0) Tell(TwoLabels(103, kLabelContinue));
        break;
    case MSG_REPLY_24:
        if (status != 0) Tell(TwoLabels(132, kLabelContinue));
        break;
    case MSG_CONTOUR:
        if (status != 0) Tell(TwoLabels(217, kLabelContinue));
        break;
    default:
        break;
    }
}

void SendRunRequest(int code) {
    bool sent = false;
    if (code == 4 || code == 114) {
        FillRunRequest(TASK_RUN, "llf", code == 114 ? 11 : 3);
        if (SendMessage(code) == -1) {
            SetAllRows(0);
        } else {
            sent = true;
            RecordTask(CurrentTaskId, CurrentPart.c_str(), SLOT_RUNNING, 0x1000, 1, code, 0x10000);
            SetRows({2, 3, 4}, 0);
            SetRows({10}, 1);
            Ui->Light(3, true);
        }
    } else if (code >= 100 && code <= 102) {
        const int runMode = code == 100 ? 3 : code == 101 ? 7 : 0x1003;
        FillRunRequest(TASK_LEARN, code == 102 ? "INSPECT" : "llf", runMode);
        if (SendMessage(code) == -1) {
            SetAllRows(0);
        } else {
            sent = true;
            RecordTask(CurrentTaskId, CurrentPart.c_str(), SLOT_RUNNING, 0, 1, code, 14);
            SetRows({2, 3, 4}, 0);
            SetRows({10}, 1);
        }
        Ui->Light(3, false);
    } else if (code > 102) {
        SetAllRows(0);
    }
    SetRows({5}, 1);
    // Light 4 says that a task is running: only when a request went out.
    if (sent) Ui->Light(4, true);
    ApplyMenuUnlessScreen();
    Ui->HideLoading();
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

int SendTaskControl(int flag, int arg) {
    MsgSetInt(MsgOut, kMsgTaskId, CurrentTaskId);
    MsgSetInt(MsgOut, kMsgCode, MSG_TASK_CONTROL);
    MsgSetInt(MsgOut, kMsgData, flag);
    return SendMessage(arg);
}

int AnyTaskActive() {
    return TaskSlot.state != SLOT_FREE;
}
int TaskRunning() {
    return TaskSlot.state == SLOT_RUNNING || TaskSlot.state == SLOT_HELD;
}

int WaitTasksEnd(int tries) {
    for (int i = 0; i < tries; ++i) {
        ProcessEventsFor(1);
        if (!AnyTaskActive()) return 0;
    }
    return -82;
}

void StartPrinterDrivers() {
    std::printf("\nPlease wait ... starting the printer drivers ...\n");
    std::fflush(stdout);
    const char* const ports[3] = {"PRINTER", "PLOTTER", "PENPLOTTER"};
    PortRecord records[3];
    for (int i = 0; i < 3; ++i) {
        // A port without a record reads as an empty record: no driver type.
        GetPortCodes(ports[i], &records[i]);
        MsgSetText(MsgOut, kMsgDriverType[i], kMsgDriverTypeWidth, PortField(records[i].type));
    }
    MsgSetInt(MsgOut, kMsgCode, MSG_DRIVER_TYPES);
    SendMessage(-1);
    nap(3000);

    int number = 0;
    for (int n = 1; n <= 3; ++n) {
        const PortRecord& record = records[n - 1];
        const std::string port = ports[n - 1];
        os_unlink("/u/tmp/P" + std::to_string(n));
        const std::string type = PortField(record.type);
        if (type.empty()) continue;
        if (!IsDriverType(type)) {
            std::printf("StartPrinterDrivers: driver type '%s' of %s refused\n", type.c_str(),
                        port.c_str());
            continue;
        }
        if (!FileExists("/u/qel/xeq/" + type + ".exe")) continue;
        if (!std::isprint(static_cast<unsigned char>(record.mode))) {
            std::printf("StartPrinterDrivers: %s has no printable mode character (code %d), "
                        "driver %s not started\n",
                        port.c_str(), static_cast<unsigned char>(record.mode), type.c_str());
            continue;
        }
        SystemCmd(DriverCommand(type, number, port, record));
        ++number;
    }
    std::printf("\nComplete.\n");
    std::fflush(stdout);
}

int StopPrinterDrivers() {
    MsgSetInt(MsgOut, kMsgCode, MSG_STOP_DRIVERS);
    SendMessage(-1);
    for (int i = 0; i < kStopReplies; ++i) {
        if (!ReceiveWithin(kStopReplyWaitMs)) {
            if (errno == ETIMEDOUT)
                std::printf("StopPrinterDrivers: no reply within %d s\n", kStopReplyWaitMs / 1000);
            return -1;
        }
        if (MsgGetInt(MsgIn, kMsgCode) != MSG_STOP_DRIVERS) {
            KeptReplies.push_back(MsgIn);
            continue;
        }
        if (MsgGetInt(MsgIn, kMsgArg) == 0) return 0;
        nap(3000);
    }
    return -1;
}

void SendCommand39() {
    MsgSetInt(MsgOut, kMsgCode, MSG_PORT_CHANGE);
    SendMessage(-1);
    nap(3000);
}

int SendCommand(const char*, int code, int) {
    MsgSetInt(MsgOut, kMsgCode, code);
    MsgSetInt(MsgOut, kMsgSubState, 0);
    SendMessage(0);
    return 0;
}

bool SetPrintPath(const std::string& path) {
    if (MsgSetPath(MsgOut, path)) return true;
    std::printf("SetPrintPath: path of %zu characters refused (at most %zu): %s\n", path.size(),
                kMsgPathWidth - 1, path.c_str());
    return false;
}

int SendPrintRequest(const std::string& path) {
    if (!SetPrintPath(path)) return -1;
    MsgSetInt(MsgOut, kMsgCode, MSG_PRINT);
    MsgSetInt(MsgOut, kMsgSubState, 0);
    MsgSetInt(MsgOut, kMsgExit, 0);
    return SendMessage(0);
}

int WaitForShutdownMessage(int seconds) {
    // A last message already taken off the queue counts as well.
    for (const MsgRecord& m : KeptReplies) {
        if (MsgGetInt(m, kMsgStatus) == STATUS_SHUTDOWN) {
            KeptReplies.clear();
            return 0;
        }
    }
    KeptReplies.clear();
    if (QueueGone) return -1;
    const time_t end = std::time(nullptr) + seconds;
    for (;;) {
        if (Receive(IPC_NOWAIT)) {
            const int status = MsgGetInt(MsgIn, kMsgStatus);
            if (status == STATUS_SHUTDOWN) return 0;
            if (status == -1) ReportDropped(MsgIn);
            continue;
        }
        if (errno == EINTR) continue;
        if (errno != ENOMSG) return -1;
        if (std::time(nullptr) >= end) {
            std::printf("ExitVok: no last message from the message server within %d s\n", seconds);
            return -82;
        }
        PeerNap(50);
    }
}

void SetPollHookForTest(void (*hook)()) {
    PollHook = hook;
}

void MsgsysResetForTest() {
    ClearSlot();
    CurrentTaskId = 0;
    PendingRunCode = -1;
    RunPending = 0;
    KeptReplies.clear();
    std::memset(&MsgOut, 0, sizeof MsgOut);
    std::memset(&MsgIn, 0, sizeof MsgIn);
    Ui = &TheMainWindowUi;
    PollHook = nullptr;
    QueueGone = false;
    QueueGoneTold = false;
    ServerReader = 0;
    ReaderAtOpen = 0;
    AwaitingAnswer = false;
    MessagesShown = 0;
}
