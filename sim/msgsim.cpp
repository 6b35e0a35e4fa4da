// Simulated message server for the tests and the demo.
//
// It owns the queue, as the suite's server does: it creates it from the key
// file, reads only the requests (message type = the key; never type 0, which
// would take the client's replies), logs every request as one JSON line and
// answers with scripted replies addressed to the client's pid. On "stop" (the
// stop script) it sends the client its last message, status 99, removes the
// queue and ends.
//
//   qel-msgsim serve --key-file F --log F [--client PID] [options]
//   qel-msgsim send  --key-file F --to PID [--code C] [--status S] [--task T]
//                    [--substate X] [--value V] [--exit E] [--size N]
//   qel-msgsim stop  --key-file F
//   qel-msgsim remove --key-file F
//
// Answers of serve (times in ms), and the options that change them:
//   14     after --create-delay (0; -1 never) reply 14 with --create-status
//          (0) for task --task-id (101), value = the request's argument; after
//          status 0 and --ready-after-create (0; -1 never) more, reply 17
//          sub-state 20.
//   16     run or learn: reply 17 sub-state 21 at once, then after --run-delay
//          (500) by --run-end: "ended" reply 14 status 8 with --exit-value (0),
//          "ready" reply 17 sub-state 20, "never" nothing. Hold: 17 sub-state
//          22. Abort: 14 status 8, none with --abort-end never.
//   18, 27 the same code with --datapage-status / --contour-status (0).
//   49     one reply 49 per value of --stop-values (a comma list, each
//          --stop-gap after the one before), else one with --stop-value (0).
//   9, 10  with --printed DIR, the file the request names is copied into DIR
//          as <n>-<name> (n counting the print requests from 1); a path of
//          the install tree or the scratch folder is read under --root.
//   others logged only (38, 39, 48).
// On stop: a last message with status 99 (none with --no-final), then the
// queue is removed after --linger-ms (300; ended early when someone else
// removes it); --ignore-stop ignores it. The server also ends when its queue
// is removed under it, and, with --owner PID, removes its queue and ends
// when that process (the test that made it) has gone, however it ended.
// send injects one reply of any content; --size other than 224 makes a
// shorter or an oversized message. Each request's log line names the serving
// process ("server").
#include "wire.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <map>
#include <string>
#include <sys/ipc.h>
#include <sys/msg.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace wire;

// Control request of the stop stand-in; no client request uses this code.
constexpr int kSimStop = 9999;

using Clock = std::chrono::steady_clock;

struct Options {
    std::map<std::string, std::string> values;
    std::string Get(const std::string& k, const std::string& def = "") const {
        auto it = values.find(k);
        return it == values.end() ? def : it->second;
    }
    long Int(const std::string& k, long def) const {
        auto it = values.find(k);
        return it == values.end() ? def : std::strtol(it->second.c_str(), nullptr, 0);
    }
    bool Has(const std::string& k) const { return values.count(k) != 0; }
};

Options ParseOptions(int argc, char** argv, int first) {
    Options o;
    for (int i = first; i < argc; ++i) {
        std::string a = argv[i];
        if (a.rfind("--", 0) != 0) continue;
        std::string key = a.substr(2);
        if (i + 1 < argc && std::string(argv[i + 1]).rfind("--", 0) != 0)
            o.values[key] = argv[++i];
        else
            o.values[key] = "1";
    }
    return o;
}

key_t KeyOf(const Options& o) {
    std::string file = o.Get("key-file");
    key_t key = ftok(file.c_str(), 'q');
    if (key == -1)
        std::fprintf(stderr, "qel-msgsim: no key from %s: %s\n", file.c_str(),
                     std::strerror(errno));
    return key;
}

std::string JsonText(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7f) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

// Ends the server, queue and all, when the owner has gone: a process that
// is neither there nor a zombie. Waits on a descriptor of the owner where
// the system has one, else looks every 200 ms.
void WatchOwner(pid_t owner, int qid) {
    auto gone = [owner] {
        if (kill(owner, 0) != 0) return errno == ESRCH;
        std::ifstream stat("/proc/" + std::to_string(owner) + "/stat");
        std::string line;
        std::getline(stat, line);
        const size_t close = line.rfind(')');
        return close != std::string::npos && line.compare(close + 1, 3, " Z ") == 0;
    };
    std::thread([owner, qid, gone] {
        const int fd = static_cast<int>(syscall(SYS_pidfd_open, owner, 0));
        while (!gone()) {
            if (fd >= 0) {
                pollfd p{fd, POLLIN, 0};
                poll(&p, 1, 1000);
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
            }
        }
        msgctl(qid, IPC_RMID, nullptr);
        _exit(0);
    }).detach();
}

struct Pending {
    Clock::time_point due;
    Msg msg;
};

class Server {
  public:
    explicit Server(const Options& o) : opt_(o) {}

    int Run() {
        key_ = KeyOf(opt_);
        if (key_ == -1) return 2;
        qid_ = msgget(key_, IPC_CREAT | IPC_EXCL | 0600);
        if (qid_ == -1 && errno == EEXIST) {
            int stale = msgget(key_, 0);
            std::fprintf(stderr, "qel-msgsim: removing a stale queue\n");
            msgctl(stale, IPC_RMID, nullptr);
            qid_ = msgget(key_, IPC_CREAT | IPC_EXCL | 0600);
        }
        if (qid_ == -1) {
            std::fprintf(stderr, "qel-msgsim: cannot create the queue: %s\n", std::strerror(errno));
            return 2;
        }
        if (opt_.Int("owner", 0) > 0) WatchOwner(static_cast<pid_t>(opt_.Int("owner", 0)), qid_);
        client_ = opt_.Int("client", 0);
        log_ = std::fopen(opt_.Get("log", "/dev/null").c_str(), "a");
        struct sigaction sa {};
        sa.sa_handler = OnSignal;
        sigaction(SIGTERM, &sa, nullptr);
        sigaction(SIGUSR1, &sa, nullptr);
        while (!gStop) {
            // Block while nothing is scheduled; poll briefly while replies are due.
            const int flags = pending_.empty() ? 0 : IPC_NOWAIT;
            Msg m{};
            ssize_t n = msgrcv(qid_, &m, kTextSize, key_, flags | MSG_NOERROR);
            if (n >= 0) {
                if (Int(m, kCode) == kSimStop) {
                    if (opt_.Has("ignore-stop")) continue;
                    break;
                }
                Handle(m);
                continue;
            }
            if (errno == EIDRM || errno == EINVAL) return 0; // queue removed under us
            if (errno == EINTR) continue;
            SendDue();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        Shutdown();
        return 0;
    }

  private:
    static void OnSignal(int) { gStop = 1; }

    void Log(const Msg& m) {
        if (!log_) return;
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::system_clock::now().time_since_epoch())
                      .count();
        std::fprintf(log_,
                     "{\"time_ms\":%lld,\"server\":%d,\"code\":%d,\"arg\":%d,\"sender\":%d,"
                     "\"task\":%d,\"data\":%d,\"part\":%s,\"type\":%s,\"runmode\":%d,\"opmode\":%d,"
                     "\"family\":%d,\"substate\":%d,\"exit\":%d,\"path\":%s,"
                     "\"types\":[%s,%s,%s]}\n",
                     static_cast<long long>(ms), static_cast<int>(getpid()), Int(m, kCode),
                     Int(m, kArg), Int(m, kSender), Int(m, kTask), Int(m, kData),
                     JsonText(Text(m, kPart, kPartWidth)).c_str(),
                     JsonText(Text(m, kType, kTypeWidth)).c_str(), Int(m, kRunMode),
                     Int(m, kOpMode), Int(m, kFamily), Int(m, kSubState), Int(m, kExit),
                     JsonText(Text(m, kPath, kPathWidth)).c_str(),
                     JsonText(Text(m, kDriverType[0], kDriverTypeWidth)).c_str(),
                     JsonText(Text(m, kDriverType[1], kDriverTypeWidth)).c_str(),
                     JsonText(Text(m, kDriverType[2], kDriverTypeWidth)).c_str());
        std::fflush(log_);
    }

    Msg Reply(int code, int status, int task) const {
        Msg r{};
        r.mtype = client_;
        SetInt(r, kCode, code);
        SetInt(r, kStatus, status);
        SetInt(r, kTask, task);
        return r;
    }

    void Later(long ms, const Msg& r) {
        pending_.push_back({Clock::now() + std::chrono::milliseconds(ms), r});
    }

    void SendNow(Msg r) {
        if (client_ <= 0) return;
        r.mtype = client_;
        msgsnd(qid_, &r, kTextSize, IPC_NOWAIT);
    }

    void SendDue() {
        const auto now = Clock::now();
        for (auto it = pending_.begin(); it != pending_.end();) {
            if (it->due <= now) {
                SendNow(it->msg);
                it = pending_.erase(it);
            } else {
                ++it;
            }
        }
    }

    void Handle(const Msg& m) {
        Log(m);
        const int code = Int(m, kCode);
        const int task = static_cast<int>(opt_.Int("task-id", 101));
        const long delay = opt_.Int("run-delay", 500);
        if (code == kHello && client_ <= 0) client_ = Int(m, kSender);
        switch (code) {
        case kStartTask: {
            const long created = opt_.Int("create-delay", 0);
            if (created < 0) break; // a server that never answers
            Msg r = Reply(kStartTask, static_cast<int>(opt_.Int("create-status", 0)), task);
            SetInt(r, kArg, Int(m, kArg));
            if (created == 0)
                SendNow(r);
            else
                Later(created, r);
            long ready = opt_.Int("ready-after-create", 0);
            if (ready >= 0 && opt_.Int("create-status", 0) == 0) {
                Msg s = Reply(kTaskState, 0, task);
                SetInt(s, kSubState, kReady);
                Later(created + ready, s);
            }
            break;
        }
        case kTaskControl: {
            const int flag = Int(m, kData);
            const int id = Int(m, kTask);
            if (flag == kRun || flag == kLearn) {
                Msg s = Reply(kTaskState, 0, id);
                SetInt(s, kSubState, kRunning);
                SendNow(s);
                if (opt_.Get("run-end", "ended") == "ready") {
                    SetInt(s, kSubState, kReady);
                    Later(delay, s);
                } else if (opt_.Get("run-end") != "never") {
                    Msg e = Reply(kStartTask, kEnded, id);
                    SetInt(e, kExit, static_cast<int>(opt_.Int("exit-value", 0)));
                    Later(delay, e);
                }
            } else if (flag == kHold) {
                Msg s = Reply(kTaskState, 0, id);
                SetInt(s, kSubState, kHeld);
                SendNow(s);
            } else if (flag == kAbort && opt_.Get("abort-end") != "never") {
                SendNow(Reply(kStartTask, kEnded, id));
            }
            break;
        }
        case kDataPage:
            SendNow(Reply(kDataPage, static_cast<int>(opt_.Int("datapage-status", 0)), 0));
            break;
        case kContour:
            SendNow(Reply(kContour, static_cast<int>(opt_.Int("contour-status", 0)), 0));
            break;
        case kStopDrivers: {
            const std::string values =
                opt_.Get("stop-values", std::to_string(opt_.Int("stop-value", 0)));
            const long gap = opt_.Int("stop-gap", 0);
            long at = 0;
            for (size_t start = 0; start <= values.size();) {
                size_t end = values.find(',', start);
                if (end == std::string::npos) end = values.size();
                Msg r = Reply(kStopDrivers, 0, 0);
                const std::string v = values.substr(start, end - start);
                SetInt(r, kArg, static_cast<int>(std::strtol(v.c_str(), nullptr, 0)));
                Later(at, r);
                at += gap;
                start = end + 1;
            }
            break;
        }
        case kPrint:
        case kPrintCopy:
            KeepPrinted(Text(m, kPath, kPathWidth));
            break;
        default:
            break; // 38, 39, 48: logged only
        }
    }

    // What the printer would print: a copy of the file as it is now.
    void KeepPrinted(std::string path) {
        const std::string dir = opt_.Get("printed");
        if (dir.empty()) return;
        ++printed_;
        if (path.size() >= 2 && path[1] == ':') path.erase(0, 2);
        std::string from = path;
        if (path.rfind("/u/", 0) == 0 || path.rfind("/temp/", 0) == 0)
            from = opt_.Get("root") + path;
        mkdir(dir.c_str(), 0777);
        const std::string name = path.substr(path.rfind('/') + 1);
        const std::string to = dir + "/" + std::to_string(printed_) + "-" + name;
        std::ifstream in(from, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "qel-msgsim: nothing to print at %s\n", from.c_str());
            return;
        }
        std::ofstream(to, std::ios::binary) << in.rdbuf();
    }

    void Shutdown() {
        if (!opt_.Has("no-final")) {
            Msg r = Reply(0, kShutdown, 0);
            SendNow(r);
        }
        const auto end = Clock::now() + std::chrono::milliseconds(opt_.Int("linger-ms", 300));
        msqid_ds ds{};
        while (Clock::now() < end && msgctl(qid_, IPC_STAT, &ds) == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        msgctl(qid_, IPC_RMID, nullptr);
        if (log_) std::fclose(log_);
    }

    static volatile std::sig_atomic_t gStop;
    Options opt_;
    key_t key_ = -1;
    int qid_ = -1;
    long client_ = 0;
    FILE* log_ = nullptr;
    std::deque<Pending> pending_;
    int printed_ = 0;
};

volatile std::sig_atomic_t Server::gStop = 0;

int Send(const Options& o) {
    key_t key = KeyOf(o);
    int qid = key == -1 ? -1 : msgget(key, 0);
    if (qid == -1) {
        std::fprintf(stderr, "qel-msgsim: no queue\n");
        return 2;
    }
    long size = o.Int("size", static_cast<long>(kTextSize));
    std::vector<unsigned char> buf(sizeof(long) + static_cast<size_t>(size < 224 ? 224 : size));
    Msg m{};
    m.mtype = o.Int("to", 0);
    SetInt(m, kCode, static_cast<int>(o.Int("code", 0)));
    SetInt(m, kStatus, static_cast<int>(o.Int("status", 0)));
    SetInt(m, kTask, static_cast<int>(o.Int("task", 0)));
    SetInt(m, kSubState, static_cast<int>(o.Int("substate", 0)));
    SetInt(m, kArg, static_cast<int>(o.Int("value", 0)));
    SetInt(m, kExit, static_cast<int>(o.Int("exit", 0)));
    std::memcpy(buf.data(), &m, sizeof m);
    if (msgsnd(qid, buf.data(), static_cast<size_t>(size), IPC_NOWAIT) != 0) {
        std::fprintf(stderr, "qel-msgsim: send failed: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}

int Stop(const Options& o) {
    key_t key = KeyOf(o);
    int qid = key == -1 ? -1 : msgget(key, 0);
    if (qid == -1) return 0; // no server
    Msg m{};
    m.mtype = key;
    SetInt(m, kCode, kSimStop);
    return msgsnd(qid, &m, kTextSize, IPC_NOWAIT) == 0 ? 0 : 1;
}

int Remove(const Options& o) {
    key_t key = KeyOf(o);
    int qid = key == -1 ? -1 : msgget(key, 0);
    if (qid != -1) msgctl(qid, IPC_RMID, nullptr);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: qel-msgsim serve|send|stop|remove --key-file F ...\n");
        return 2;
    }
    const std::string cmd = argv[1];
    Options o = ParseOptions(argc, argv, 2);
    if (cmd == "serve") return Server(o).Run();
    if (cmd == "send") return Send(o);
    if (cmd == "stop") return Stop(o);
    if (cmd == "remove") return Remove(o);
    std::fprintf(stderr, "qel-msgsim: unknown command %s\n", cmd.c_str());
    return 2;
}
