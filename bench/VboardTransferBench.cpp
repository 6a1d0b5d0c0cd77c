// Writes 64 MiB into the virtual board's SDRAM and reads it back through TBoard and a headless board
// server, once through our virtual VELDARA_JTAG.DLL and once through the hardware edition with the
// relay stand-in of libjtag_atlantic.so, then moves the same frames through a plain Unix socket pair as
// the baseline. Reports MiB/s, exchanges, the time in the input drains (the one-byte reads before
// every exchange), the time outside them for each edition, and the board server's resident memory.
#include "bench/MeteredJtag.h"
#include "bench/RandomImage.h"
#include "board/Board.h"
#include "platform/Files.h"
#include "vboard/BoardFolder.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr uint32_t TOTAL = 64u << 20;
constexpr int ROUNDS = 4;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// A "Name:   value kB" line of a /proc file of the process.
long ProcKiB(int pid, const char* file, const std::string& name) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/" + file);
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(name + ":", 0) == 0)
            return std::strtol(line.c_str() + name.size() + 1, nullptr, 10);
    }
    return -1;
}

long ResidentKiB(int pid) {
    return ProcKiB(pid, "status", "VmRSS");
}

int StartServer(const std::string& folder) {
    const std::string program = platform::ProgramFolder() + "qx7mb-vboard";
    const int pid = fork();
    if (pid == 0) {
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDOUT_FILENO);
        execl(program.c_str(), program.c_str(), "--headless", "--configured", "--dir", folder.c_str(), nullptr);
        _exit(127);
    }
    for (int i = 0; i < 2500; ++i) {
        const int fd = vboard::ConnectUnixSocket(folder + "/" + vboard::JTAG_SOCKET_NAME);
        if (fd >= 0) {
            close(fd);
            return pid;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    kill(pid, SIGKILL);
    return -1;
}

bool ReadAll(int fd, uint8_t* buffer, std::size_t count) {
    while (count != 0) {
        const ssize_t n = recv(fd, buffer, count, 0);
        if (n <= 0)
            return false;
        buffer += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

bool WriteAll(int fd, const uint8_t* bytes, std::size_t count) {
    while (count != 0) {
        const ssize_t n = send(fd, bytes, count, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        bytes += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

// The same frame sizes as the board link over a bare socket pair, with the board's side in another
// process as the board server is: requests of requestLen, replies of replyLen, read as a head and a
// rest like the panel does. Returns the time taken.
Clock::duration Baseline(const std::vector<std::pair<uint32_t, uint32_t>>& exchanges) {
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0)
        return {};
    const pid_t peer = fork();
    if (peer == 0) {
        close(fds[0]);
        std::vector<uint8_t> request(PKT_PC2NIOS_MAX_PL_LEN + PKT_OVERHEAD);
        std::vector<uint8_t> reply(PKT_PC2NIOS_MAX_PL_LEN + PKT_OVERHEAD, 0x5A);
        for (const auto& [requestLen, replyLen] : exchanges) {
            if (!ReadAll(fds[1], request.data(), requestLen) || !WriteAll(fds[1], reply.data(), replyLen))
                _exit(1);
        }
        _exit(0);
    }
    close(fds[1]);
    std::vector<uint8_t> request(PKT_PC2NIOS_MAX_PL_LEN + PKT_OVERHEAD, 0xA5);
    std::vector<uint8_t> reply(PKT_PC2NIOS_MAX_PL_LEN + PKT_OVERHEAD);
    const auto start = Clock::now();
    for (const auto& [requestLen, replyLen] : exchanges) {
        if (!WriteAll(fds[0], request.data(), requestLen) || !ReadAll(fds[0], reply.data(), PKT_HEAD_LEN) ||
            !ReadAll(fds[0], reply.data() + PKT_HEAD_LEN, replyLen - PKT_HEAD_LEN))
            break;
    }
    const auto elapsed = Clock::now() - start;
    close(fds[0]);
    waitpid(peer, nullptr, 0);
    return elapsed;
}

std::vector<std::pair<uint32_t, uint32_t>> Exchanges(uint32_t chunk, uint32_t requestExtra, uint32_t replyExtra,
                                                     bool dataInRequest) {
    std::vector<std::pair<uint32_t, uint32_t>> list;
    for (uint32_t done = 0; done < TOTAL; done += chunk) {
        const uint32_t n = std::min(chunk, TOTAL - done);
        list.emplace_back(PKT_OVERHEAD + requestExtra + (dataInRequest ? n : 0),
                          PKT_OVERHEAD + replyExtra + (dataInRequest ? 0 : n));
    }
    return list;
}

// The outcome of one timed transfer.
struct Measured {
    bool ok = false;
    double outside = 0.0; // seconds outside the drains
};

// One timed transfer through the board, with its exchanges and drain time, against its baseline.
template <typename Transfer>
Measured Measure(const char* what, const char* edition, int round, std::size_t expected, Clock::duration base,
                 double mib, Transfer transfer) {
    MeteredJtag::Reset();
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    const auto start = Clock::now();
    const bool ok = transfer();
    const auto total = Clock::now() - start;
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    const uint64_t writes = MeteredJtag::Exchanges();
    const auto drainTime = MeteredJtag::DrainTime();
    const double outside = Seconds(total - drainTime);
    std::printf("round %d %-5s %-8s %6.1f MiB/s  %5llu exchanges%s  total %6.3f s  drains %6.3f s (%6.1f us each)  "
                "outside drains %6.3f s  baseline %6.3f s  ratio %5.2f  (panel: %ld page faults, %ld waits)\n",
                round, what, edition, mib / Seconds(total), static_cast<unsigned long long>(writes),
                writes == expected ? "" : " (UNEXPECTED)", Seconds(total), Seconds(drainTime),
                1e6 * Seconds(drainTime) / static_cast<double>(writes), outside, Seconds(base), outside / Seconds(base),
                after.ru_minflt - before.ru_minflt, after.ru_nvcsw - before.ru_nvcsw);
    return {ok && writes == expected, outside};
}

// One edition of VELDARA_JTAG.DLL, loaded behind the counting entry points.
struct Edition {
    const char* name;
    MeteredJtag metered;
    double outside[2] = {0.0, 0.0}; // summed over the rounds: write, read
};

} // namespace

int main() {
    char pattern[] = "/tmp/qx7mb-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        return 1;
    const std::string folder = pattern;
    setenv("QX7MB_VBOARD", folder.c_str(), 1);
    const int pid = StartServer(folder);
    if (pid < 0) {
        std::fprintf(stderr, "the board server did not start\n");
        return 1;
    }

    // The hardware edition finds the stand-in of Quartus's JTAG library, which relays to the same server.
    setenv("QUARTUS_ROOTDIR", QX7MB_FAKE_QUARTUS_DIR, 1);
    Edition editions[2] = {{"virtual", {}, {}}, {"hardware", {}, {}}};
    std::string loadError;
    if (!editions[0].metered.Load(loadError) ||
        !editions[1].metered.Load(std::string(QX7MB_HARDWARE_DIR) + "/" + JTAG_LIBRARY_NAME, loadError)) {
        std::fprintf(stderr, "%s\n", loadError.c_str());
        return 1;
    }
    const TJtagApi wrapped = MeteredJtag::Api();

    const std::vector<uint8_t> data = RandomImage(TOTAL);
    std::vector<uint8_t> back(TOTAL);

    const long idleKiB = ResidentKiB(pid);
    const auto writeExchanges = Exchanges(MEM_WRITE_CHUNK_MAX, MEM_WRITE_HEADER_LEN, 1, true);
    const auto readExchanges = Exchanges(MEM_READ_CHUNK_MAX, MEM_READ_REQUEST_LEN, 1, false);
    const double mib = TOTAL / 1048576.0;
    std::printf("64 MiB through TBoard, each edition of VELDARA_JTAG.DLL and qx7mb-vboard; baseline: the same frames "
                "through a socket pair to another process\n");
    // The first write of all pays for the board's memory being taken: done once before the rounds.
    editions[0].metered.Select();
    long linkedKiB = 0;
    {
        TBoard board(wrapped);
        std::string error;
        if (!board.Connect(error, 0) || !board.Ping()) {
            std::fprintf(stderr, "no working link to the board server %s\n", error.c_str());
            return 1;
        }
        linkedKiB = ResidentKiB(pid);
        board.MemoryWrite(MEM_TYPE_SDRAM, 0, data.data(), TOTAL);
    }
    const long writtenKiB = ResidentKiB(pid);
    const long hugeKiB = ProcKiB(pid, "smaps_rollup", "AnonHugePages");

    // The machine is shared: several rounds, each direction next to its baseline, the editions taking
    // turns at going first, one link at a time as a board allows.
    bool ok = true;
    for (int round = 1; round <= ROUNDS; ++round) {
        const auto writeBase = Baseline(writeExchanges);
        const auto readBase = Baseline(readExchanges);
        for (int turn = 0; turn < 2; ++turn) {
            Edition& edition = editions[(round + turn) % 2];
            edition.metered.Select();
            TBoard board(wrapped);
            std::string error;
            if (!board.Connect(error, 0) || !board.Ping()) {
                std::fprintf(stderr, "no working link to the board server through the %s edition %s\n", edition.name,
                             error.c_str());
                return 1;
            }
            // After the baselines' fork every page is copy-on-write: written once more here, so that the
            // timed read does not pay for the bench's own fork.
            std::fill(back.begin(), back.end(), 0xEE);
            const Measured written = Measure("write", edition.name, round, writeExchanges.size(), writeBase, mib,
                                             [&] { return board.MemoryWrite(MEM_TYPE_SDRAM, 0, data.data(), TOTAL); });
            const Measured read = Measure("read", edition.name, round, readExchanges.size(), readBase, mib,
                                          [&] { return board.MemoryRead(MEM_TYPE_SDRAM, 0, back.data(), TOTAL); });
            ok = written.ok && read.ok && back == data && ok;
            edition.outside[0] += written.outside;
            edition.outside[1] += read.outside;
        }
    }
    std::printf("data %s\n", ok ? "verified" : "WRONG");
    for (int direction = 0; direction < 2; ++direction) {
        std::printf("%-5s outside the drains over %d rounds: virtual %6.3f s, hardware %6.3f s, hardware / virtual "
                    "%5.3f\n",
                    direction == 0 ? "write" : "read", ROUNDS, editions[0].outside[direction],
                    editions[1].outside[direction], editions[1].outside[direction] / editions[0].outside[direction]);
    }
    std::printf("board server resident: idle %ld KiB, idle with the link open %ld KiB, after the first write %ld KiB "
                "(+%ld KiB over idle, %ld KiB in huge pages), at the end %ld KiB\n",
                idleKiB, linkedKiB, writtenKiB, writtenKiB - idleKiB, hugeKiB, ResidentKiB(pid));

    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    rmdir(folder.c_str());

    return ok ? 0 : 1;
}
