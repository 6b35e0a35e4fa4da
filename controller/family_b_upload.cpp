// Family B: the constants upload. The controller prints its machine
// constants; the listing is captured into /u/tmp/constant.upload and, when
// it is complete enough, copied over constant.asc for the operator to edit.
#include "family_b.h"

#include "nap.h"
#include "operator_ui.h"
#include "process.h"
#include "serial_line.h"
#include "zalloc.h"

#include <chrono>
#include <cstdio>
#include <sys/wait.h>

namespace {

using namespace FamilyB;

constexpr const char* kCapture = "/u/tmp/constant.upload";
constexpr const char* kConstants = "/u/qel/sys_data/files/constant.asc";
constexpr const char* kShowConsts = "SHOW CONSTS,2";
constexpr const char* kStars = "*************************"; // 25

constexpr int kLabelDone = 1, kLabelCopied = 100, kLabelSilent = 104;
constexpr int kLabelUploaded = 161, kLabelReading = 342;

constexpr int kStop = -1, kFailed = -2;
constexpr long kMinLines = 250;       // a listing with fewer lines is not copied
constexpr int kSilentPolls = 4;       // empty polls in a row that end the listing
constexpr long kPollPauseMs = 500;    // between empty polls
constexpr long kMaxLinesRead = 10000; // a listing that does not end is cut here
constexpr auto kMaxCaptureTime = std::chrono::minutes(10);

struct Capture {
    long kept = 0;
    bool writeFailed = false;
};

// Reads the listing until the controller is silent for about 2 s. Kept: each
// line read whole that is longer than two characters (line end included)
// and does not begin with '%', exactly as received.
Capture CaptureListing(FILE* file) {
    Capture c;
    long lines = 0;
    int silence = 0;
    const auto start = std::chrono::steady_clock::now();
    while (silence < kSilentPolls) {
        char byte;
        if (ServoReadByte(ServoLine.fd, &byte) != 1) {
            nap(kPollPauseMs);
            ++silence;
            continue;
        }
        silence = 0;
        ++lines;
        if (readline() == 0 && ServoLine.replyLen > 2 && ServoLine.replyLine[0] != '%') {
            if (std::fputs(ServoLine.replyLine, file) == EOF) c.writeFailed = true;
            ++c.kept;
        }
        if (lines >= kMaxLinesRead || std::chrono::steady_clock::now() - start >= kMaxCaptureTime) {
            std::printf("ServoUploadConstants: the controller keeps sending, capture ended "
                        "after %ld lines\n",
                        lines);
            std::fflush(stdout);
            break;
        }
    }
    return c;
}

// The exit status of a wait status, or the wait status itself when the
// command did not end by itself.
int ExitCode(int status) {
    return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : status;
}

} // namespace

int ServoUploadConstants(int family) {
    // The listing's commands are this family's; no other controller gets them.
    if (family != kFamilyB) return kFailed;
    if (UiOnlineMode() == 0) return kStop;
    if (UiConfirmStopTasks() == 0) return kStop;
    if (!ServoOpenDisp(family)) return kFailed;
    ServoSend(kWaitStatus, ServoKeyword(kStx));
    // An error reply is an answer too.
    if (ServoWaitReply(10, kWaitStatus) == kServoTimeout) {
        UiMessageDialog(UiLabText(kLabelSilent), 0);
        ServoCloseDisp(family);
        return kFailed;
    }
    // Made before the relays are switched off, so that a refusal leaves
    // the machine as it was.
    FILE* file = zfopen("ServoUploadConstants", kCapture, "w");
    if (!file) {
        std::perror(kCapture);
        ServoCloseDisp(family);
        return kFailed;
    }
    ServoSend(kWaitRelays, ServoKeyword(kDisableRelays));
    ServoDrain(2);
    UiShowLoading(UiLabText(kLabelReading));
    ServoSend(kWaitRelays, kShowConsts);
    const Capture c = CaptureListing(file);
    UiHideLoading();
    const bool written = zfclose("ServoUploadConstants", file) == 0 && !c.writeFailed;
    if (!written) std::perror(kCapture);
    ServoSend(kWaitRelays, ServoKeyword(kEnableRelays));
    ServoDrain(2);
    UiMessageDialog(
        std::string(" ") + kStars + " \n" + UiLabText(kLabelDone) + " \n " + kStars + " \n", 0);
    if (!written || c.kept < kMinLines) {
        ServoCloseDisp(family);
        return kFailed;
    }
    const int status = UiSystemCmd("cp " + ShellQuote(kCapture) + " " + ShellQuote(kConstants));
    ServoCloseDisp(family);
    if (status != 0) {
        std::printf("ServoUploadConstants: copy failed (%d)\n", ExitCode(status));
        std::fflush(stdout);
        return kFailed;
    }
    UiMessageDialog(UiLabText(kLabelUploaded) + "\n" + UiLabText(kLabelCopied), 0);
    return 0;
}
