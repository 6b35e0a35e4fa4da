// Fuzz target: the server's replies. The input is cut into messages of 224
// bytes (the last one shorter), each sent to the program on a private queue
// and taken by the poll. The task slot, the tracking state and the main
// menu's flags stay within their values, only the message system's two
// lights move, every request sent is a run request of the current task, and
// no reply stays behind in the queue.
#include "labels.h"
#include "mainmenu.h"
#include "msgsys.h"
#include "support.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/ipc.h>
#include <sys/msg.h>
#include <unistd.h>

namespace {

class CheckingUi : public ReplyUi {
  public:
    void Light(int index, bool) override {
        if (index != 3 && index != 4) std::abort();
    }
    void UpdateMenu() override {}
    void ApplyMenu() override {}
    void Message(const std::string& text) override {
        if (text.empty()) std::abort();
    }
    bool LoadingShown() const override { return false; }
    void HideLoading() override {}
    void RaiseMainWindow() override {}
    void CloseExitScreen() override {}
};

CheckingUi TheUi;
int Queue = -1;
constexpr long kKey = 0x71000077;

void RemoveQueue() {
    if (Queue != -1) msgctl(Queue, IPC_RMID, nullptr);
}

void SetUpOnce() {
    static bool done = false;
    if (done) return;
    done = true;
    std::string labels;
    for (int n = 1; n <= 320; ++n) labels += "L" + std::to_string(n) + "\n";
    FuzzWrite(LabelFileName(0), reinterpret_cast<const unsigned char*>(labels.data()),
              labels.size());
    Language = 0;
    InitVok();
    Queue = msgget(IPC_PRIVATE, IPC_CREAT | 0600);
    std::atexit(RemoveQueue);
}

void CheckState() {
    const int s = TaskSlot.state;
    if (s != SLOT_RUNNING && s != SLOT_HELD && s != SLOT_READY && s != SLOT_FREE) std::abort();
    if (RunPending != 0 && RunPending != 1) std::abort();
    if (strnlen(TaskSlot.name, sizeof TaskSlot.name) >= sizeof TaskSlot.name) std::abort();
    for (const MainMenuEntry& row : MainMenuTable)
        if (row.enabled != 0 && row.enabled != 1) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SetUpOnce();
    if (Queue == -1) return 0;
    MsgsysResetForTest();
    SetReplyUi(&TheUi);
    MsgQueueId = Queue;
    MsgKey = kKey;
    OwnPid = getpid();
    CurrentPart = "FUZZPART";
    for (MainMenuEntry& row : MainMenuTable) row.enabled = 0;

    for (size_t at = 0; at < size; at += kMsgTextSize) {
        const size_t n = size - at < kMsgTextSize ? size - at : kMsgTextSize;
        struct {
            long mtype;
            unsigned char text[kMsgTextSize];
        } m{};
        m.mtype = OwnPid;
        std::memcpy(m.text, data + at, n);
        if (msgsnd(Queue, &m, n, IPC_NOWAIT) != 0) break;
        while (PollOnce()) CheckState();
        // The requests the program sent go to the server, not back to it.
        MsgRecord out{};
        while (msgrcv(Queue, &out, kMsgTextSize, kKey, IPC_NOWAIT | MSG_NOERROR) >= 0) {
            if (MsgGetInt(out, kMsgCode) != MSG_TASK_CONTROL) std::abort();
            if (MsgGetInt(out, kMsgTaskId) != CurrentTaskId) std::abort();
        }
    }
    // Nothing addressed to the program is left behind.
    MsgRecord rest{};
    if (msgrcv(Queue, &rest, kMsgTextSize, OwnPid, IPC_NOWAIT | MSG_NOERROR) >= 0) std::abort();
    SetReplyUi(nullptr);
    return 0;
}
