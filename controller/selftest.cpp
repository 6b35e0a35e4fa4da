// The controller self test without X.
#include "selftest.h"

#include "dbservo.h"
#include "nap.h"
#include "ports.h"
#include "serial_line.h"
#include "zalloc.h"

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr const char* kServoDevice = "/dev/M_SERVO";
// Always the English texts: "/u/qel/database/e" + "stest.data".
constexpr const char* kStestFile = "/u/qel/database/estest.data";
constexpr long kStestRecordSize = 80;
constexpr size_t kStestTextSize = 79;
constexpr size_t kLineMax = 79;
constexpr size_t kHPrefixMax = 30; // characters before the 'H'
constexpr size_t kHexMax = 30;     // hex digits after it
constexpr size_t kTypedMax = 50;

constexpr char kAck = 0x06;
constexpr char kXon = 0x11;
constexpr char kXoff = 0x13;
constexpr char kEsc = 0x1B;

constexpr int kLabelNoServoRecord = 87;
constexpr int kLabelNoServoDb = 88;
constexpr int kLabelNormal = 51;
constexpr int kLabelDebug = 53;
constexpr int kLabelDebugOn = 91;
constexpr int kLabelDebugOff = 92;

// Read time-outs: 0.2 s, 0.5 s while the prompt is entered; reads wait in
// slices of 10 ms.
constexpr int kReadTenths = 2;
constexpr int kPromptTenths = 5;
constexpr long kSliceMs = 10;
// Each read loop of the prompt's entry, and each read pass, ends after
// this, whatever comes: a controller that streams bytes without a line end
// holds neither the screen nor its exit.
constexpr long kReadLoopMs = 2000;
constexpr int kReadLoopBytes = 512;
constexpr int kExitPasses = 20;

constexpr const char* kStatusQuery = "NAD80m80\r\n";
// The queries of the error groups of status bits 8 to 12.
constexpr const char* kGroupQueries[5] = {"NAD81m81\r\n", "NAD83m83\r\n", "NAD84m84\r\n",
                                          "NAD85m85\r\n", "NAD86m86\r\n"};

struct SelfTest {
    SelfTestSink* sink = nullptr;
    int fd = -1;
    int state = kStestNormal;
    // Set when nothing may be read: estest.data missing, the line closed.
    int failure = 0;
    bool dbLoaded = false;
    FILE* stest = nullptr;
    long readTimeoutMs = kReadTenths * 100;
    std::string line; // the reply line being assembled
    int listed = 0;   // lines in the reply list
    unsigned pending = 0;
    int group = 0;
    int base = 0;
};

SelfTest T;

void Console(const std::string& text) {
    std::printf("%s", text.c_str());
    std::fflush(stdout);
}

void Write(const std::string& bytes) {
    if (T.fd < 0) return;
    if (!WriteBounded(T.fd, bytes)) std::perror("SendServoLine");
}

void SetTimeout(int tenths) {
    if (T.fd >= 0) IOCTLtimeout(T.fd, tenths);
    T.readTimeoutMs = tenths * 100L;
}

// One byte within the read time-out (0: none came), adding the time
// waited to *waited.
int ReadServoByte(int fd, long* waited) {
    for (long slept = 0;; slept += kSliceMs) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 0) > 0 && (p.revents & POLLIN)) {
            unsigned char b = 0;
            if (read(fd, &b, 1) == 1) return b;
        }
        if (slept >= T.readTimeoutMs) return 0;
        nap(kSliceMs);
        *waited += kSliceMs;
    }
}

// Reads until a byte whose low seven bits are end, a time-out, 2 s or 512
// bytes: true when the byte came.
bool ReadUntil(unsigned char end) {
    long waited = 0;
    for (int n = 0; n < kReadLoopBytes && waited < kReadLoopMs; ++n) {
        const int b = ReadServoByte(T.fd, &waited);
        if ((b & 0x7F) == end) return true;
        if (b == 0) return false; // silence: the time-out
    }
    return false;
}

// The number of an up to 8-digit hex field.
uint32_t HexValue(const std::string& digits) {
    uint32_t v = 0;
    for (char c : digits) {
        const int d = std::isdigit(static_cast<unsigned char>(c))
                          ? c - '0'
                          : std::toupper(static_cast<unsigned char>(c)) - 'A' + 10;
        v = (v << 4) | static_cast<uint32_t>(d);
    }
    return v;
}

// Digits [from, to) of the field, counted from its end: the last 8 are
// 0..8, the 8 before them 8..16.
std::string FromEnd(const std::string& digits, size_t from, size_t to) {
    if (digits.size() <= from) return "";
    const size_t end = digits.size() - from;
    const size_t start = digits.size() > to ? digits.size() - to : 0;
    return digits.substr(start, end - start);
}

void ShowMode() {
    if (T.state == kStestDebug)
        T.sink->ShowMode(kLabelDebug, true);
    else
        T.sink->ShowMode(kLabelNormal, false);
}

} // namespace

int OpenServoPort(SelfTestSink* sink) {
    CloseServoPort();
    T = SelfTest{};
    T.sink = sink;
    PortRecord record;
    if (GetPortCodes("SERVO", &record) < 0) {
        sink->Message(kLabelNoServoRecord);
        return -1;
    }
    T.state = kStestNormal;
    T.fd = OpenSerialDevice(kServoDevice);
    if (T.fd < 0 && errno == ENOENT) {
        const std::string path = PortField(record.path);
        Console(std::string("OpenServoPort: ") + kServoDevice + " not found, opening " + path +
                "\n");
        T.fd = OpenSerialDevice(path);
    }
    if (T.fd < 0) {
        std::perror("OpenServoPort");
    } else {
        IOCTLrawmode(T.fd, 1);
        IOCTLcflag(T.fd, record.cflag);
        SetTimeout(kReadTenths);
    }
    if (InitServoErrorDb() != 0) {
        CloseServoPort();
        sink->Message(kLabelNoServoDb);
        return -1;
    }
    T.dbLoaded = true;
    return 0;
}

void CloseServoPort() {
    if (T.dbLoaded) FreeServoData();
    T.dbLoaded = false;
    if (T.stest) zfclose("OpenStestData", T.stest);
    T.stest = nullptr;
    if (T.fd >= 0) close(T.fd);
    T.fd = -1;
    T.failure = 1;
}

void OpenStestData() {
    T.failure = 0;
    T.stest = zfopen("OpenStestData", kStestFile, "rb");
    if (!T.stest) T.failure = 1;
}

void StartSelfTest() {
    OpenStestData();
    EnterServoPrompt();
    ShowMode();
}

void EnterServoPrompt() {
    if (T.fd < 0) return;
    SetTimeout(kPromptTenths);
    Write({kAck, kXon});
    ReadUntil(0); // what the controller still had to say
    Write("\r\n");
    if (ReadUntil('.')) T.state = kStestDebug;
    SetTimeout(kReadTenths);
}

bool TakeServoByte(int b) {
    if (b > 0x7F) {
        std::perror("inecho:");
        return false;
    }
    if (b == 0) return false;
    if (b == '\r') return true;
    if (b == '\n') {
        if (T.line.empty()) return true;
        const std::string line = T.line;
        T.line.clear();
        if (T.state == kStestStatus)
            ParseStatusReply(line);
        else
            AddStestLine(line);
        return false;
    }
    if (T.line.empty() && b == '.') return true; // the prompt
    if (T.line.size() >= kLineMax) T.line.clear();
    T.line += static_cast<char>(b);
    return true;
}

bool inecho() {
    if (T.failure || T.fd < 0) return false;
    if (T.state != kStestDebug) Write({kAck, kXon});
    // A pass that reaches its bound ends as a time-out does: the line so far
    // waits for the next pass.
    long waited = 0;
    for (int n = 0; n < kReadLoopBytes && waited < kReadLoopMs; ++n)
        if (!TakeServoByte(ReadServoByte(T.fd, &waited))) break;
    if (T.state != kStestDebug) Write({kXoff});
    return true;
}

void SendServoLine(const std::string& text) {
    if (T.state == kStestStatus) {
        Write(kStatusQuery);
        T.group = 0;
        T.line.clear();
        return;
    }
    if (text.empty()) return;
    Write(text + "\r\n");
    if (T.state == kStestDebug) Write({kXon});
}

void StestStatusQuery() {
    if (T.state != kStestNormal && T.state != kStestStatus) return;
    T.state = kStestStatus;
    SendServoLine("");
}

void StestDebugOn() {
    if (T.state != kStestNormal && T.state != kStestStatus) return;
    T.state = kStestDebug;
    SendServoLine(std::string(1, kEsc) + "DEBUG");
    T.sink->ShowMode(kLabelDebugOn, true);
}

void StestDebugOff() {
    if (T.state == kStestNormal) return;
    const int was = T.state;
    T.state = kStestNormal;
    if (was == kStestDebug) SendServoLine("EXIT");
    T.sink->ShowMode(kLabelDebugOff, false);
}

std::string StestTypedLine(const std::string& entry) {
    std::string text = entry.substr(0, kTypedMax);
    text = text.substr(0, text.find_first_of("\r\n"));
    std::string sent = text;
    for (char& c : sent)
        if (c == '~') c = kEsc;
    if (T.state == kStestStatus) {
        SendServoLine(sent);
    } else if (sent.empty()) {
        // An empty entry: the line end alone.
        Write("\r\n");
        if (T.state == kStestDebug) Write({kXon});
    } else {
        SendServoLine(sent);
    }
    return text;
}

void ParseStatusReply(const std::string& line) {
    const size_t h = line.find('H');
    if (h == std::string::npos || h > kHPrefixMax) {
        AddStestLine(line);
        AddStestLine("This is not a status message since there is no H.");
        if (T.group == 0) {
            T.state = kStestNormal;
            return;
        }
        NextStatusGroup();
        return;
    }
    std::string digits;
    for (size_t i = h + 1; i < line.size() && digits.size() < kHexMax; ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(line[i]))) break;
        digits += line[i];
    }
    if (T.group == 0) {
        if (digits.empty()) {
            AddStestLine("Status: clear.");
            T.state = kStestNormal;
            return;
        }
        if (digits.size() > 8)
            Console("ParseStatusReply: status of " + std::to_string(digits.size()) +
                    " hex digits, only the last 8 taken\n");
        const uint32_t word = HexValue(FromEnd(digits, 0, 8));
        for (int bit = 0; bit < 8; ++bit)
            if (word & (1u << bit)) ShowStestRecord(24 + bit);
        T.pending = word & 0xFF00u;
    } else {
        if (digits.size() > 16)
            Console("ParseStatusReply: error group of " + std::to_string(digits.size()) +
                    " hex digits, only the last 16 taken\n");
        const uint32_t low = HexValue(FromEnd(digits, 0, 8));
        const uint32_t high = HexValue(FromEnd(digits, 8, 16));
        for (int j = 0; j < 32; ++j)
            if (low & (1u << j)) ShowServoError(T.base + j);
        for (int j = 0; j < 32; ++j)
            if (high & (1u << j)) ShowServoError(T.base + 32 + j);
    }
    NextStatusGroup();
}

void NextStatusGroup() {
    if (T.pending == 0) {
        T.state = kStestNormal;
        return;
    }
    int b = 8;
    while (!(T.pending & (1u << b))) ++b;
    if (b >= 13) {
        // Bits 13 to 15 send nothing: each pending one shows its text.
        for (; b <= 15; ++b)
            if (T.pending & (1u << b)) ShowStestRecord(b + 24);
        T.pending = 0;
        T.state = kStestNormal;
        return;
    }
    T.pending &= ~(1u << b);
    ShowStestRecord(b + 24);
    T.base = (b - 8) * 64;
    T.group = b - 7;
    T.line.clear();
    Write(kGroupQueries[b - 8]);
}

void ShowStestRecord(int n) {
    if (!T.stest || n < 0) return;
    char text[kStestTextSize];
    if (std::fseek(T.stest, n * kStestRecordSize, SEEK_SET) != 0 ||
        std::fread(text, 1, sizeof text, T.stest) != sizeof text)
        return;
    std::string s(text, sizeof text);
    s = s.substr(0, s.find('\0'));
    while (!s.empty() && (s.back() == ' ' || s.back() == '\r' || s.back() == '\n')) s.pop_back();
    AddStestLine(s);
}

void ShowServoError(int n) {
    char text[256];
    int proc = 0, disp = 0;
    if (GetServoError(n, 1, &proc, &disp, text, sizeof text) == 0) AddStestLine(text);
}

void AddStestLine(const std::string& text) {
    if (text.empty() || text == "." || !T.sink) return;
    T.sink->AddLine(text);
    if (T.listed < kStestListLines)
        ++T.listed;
    else
        T.sink->DropOldest();
}

void StestExitQueries() {
    if (T.state == kStestDebug) {
        T.state = kStestNormal;
        SendServoLine("EXIT");
        T.sink->EventPass();
    }
    inecho();
    T.sink->EventPass();
    T.state = kStestStatus;
    SendServoLine("");
    T.sink->EventPass();
    for (int i = 0; i < kExitPasses; ++i) {
        inecho();
        T.sink->EventPass();
    }
    Write({kAck, kXon});
}

void StestExitClose() {
    Write({kXon, '\r', '\n'});
    CloseServoPort();
    T.listed = 0;
}

int StestState() {
    return T.state;
}
