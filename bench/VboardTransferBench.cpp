// Writes 64 MiB into the virtual board's SDRAM and reads it back through TBoard, our
// VELDARA_JTAG.DLL and a headless board server, then moves the same frames through a plain Unix
// socket pair as the baseline. Reports MiB/s, exchanges, the time in the input drains (the one-byte
// reads before every exchange) and the board server's resident memory.
#include "board/Board.h"
#include "platform/DynamicLibrary.h"
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
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr uint32_t TOTAL = 64u << 20;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// The library's entry points, wrapped to count exchanges and to time the drain's one-byte reads.
TJtagApi library;
uint64_t writes = 0;
Clock::duration drainTime{};

uint32_t Open(int32_t index, const char* name) {
    return library.open(index, name);
}
void Close(uint32_t handle) {
    library.close(handle);
}
int32_t Write(uint32_t handle, const uint8_t* bytes, uint32_t count) {
    ++writes;
    return library.write(handle, bytes, count);
}
int32_t Read(uint32_t handle, uint8_t* buffer, uint32_t count) {
    if (count != 1)
        return library.read(handle, buffer, count);
    const auto start = Clock::now();
    const int32_t got = library.read(handle, buffer, count);
    drainTime += Clock::now() - start;
    return got;
}
int32_t GetInfo(uint32_t handle, uint8_t* info) {
    return library.getInfo(handle, info);
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

    platform::DynamicLibrary dll;
    const std::string path = platform::ProgramFolder() + JTAG_LIBRARY_NAME;
    if (!dll.Load(path)) {
        std::fprintf(stderr, "cannot load %s\n", path.c_str());
        return 1;
    }
    library.open = reinterpret_cast<VELDARA_JtagOpen_t>(dll.Symbol("VELDARA_JtagOpen"));
    library.close = reinterpret_cast<VELDARA_JtagClose_t>(dll.Symbol("VELDARA_JtagClose"));
    library.write = reinterpret_cast<VELDARA_JtagWrite_t>(dll.Symbol("VELDARA_JtagWrite"));
    library.read = reinterpret_cast<VELDARA_JtagRead_t>(dll.Symbol("VELDARA_JtagRead"));
    library.getInfo = reinterpret_cast<VELDARA_JtagGetInfo_t>(dll.Symbol("VELDARA_JtagGetInfo"));
    const TJtagApi wrapped{Open, Close, Write, Read, GetInfo};

    std::vector<uint8_t> data(TOTAL);
    uint64_t state = 88172645463325252ull;
    for (std::size_t i = 0; i < data.size(); i += 8) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        std::memcpy(&data[i], &state, 8);
    }
    std::vector<uint8_t> back(TOTAL);

    const long idleKiB = ResidentKiB(pid);
    TBoard board(wrapped);
    std::string error;
    if (!board.Connect(error, 0)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }

    auto start = Clock::now();
    const bool wrote = board.MemoryWrite(MEM_TYPE_SDRAM, 0, data.data(), TOTAL);
    const auto writeTime = Clock::now() - start;
    const auto writeDrain = drainTime;
    const uint64_t writeExchanges = writes;
    const long writtenKiB = ResidentKiB(pid);
    const long hugeKiB = ProcKiB(pid, "smaps_rollup", "AnonHugePages");

    drainTime = {};
    writes = 0;
    start = Clock::now();
    const bool read = board.MemoryRead(MEM_TYPE_SDRAM, 0, back.data(), TOTAL);
    const auto readTime = Clock::now() - start;
    const auto readDrain = drainTime;
    const uint64_t readExchanges = writes;
    const bool same = back == data;
    board.Disconnect();
    const long afterKiB = ResidentKiB(pid);

    const auto writeBase = Baseline(Exchanges(MEM_WRITE_CHUNK_MAX, MEM_WRITE_HEADER_LEN, 1, true));
    const auto readBase = Baseline(Exchanges(MEM_READ_CHUNK_MAX, MEM_READ_REQUEST_LEN, 1, false));

    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    rmdir(folder.c_str());

    const double mib = TOTAL / 1048576.0;
    std::printf("64 MiB through TBoard, VELDARA_JTAG.DLL and qx7mb-vboard (data %s)\n",
                wrote && read && same ? "verified" : "WRONG");
    const auto row = [&](const char* what, Clock::duration total, Clock::duration drain, uint64_t exchanges,
                         Clock::duration base) {
        const double outside = Seconds(total - drain);
        std::printf("%-6s %8.1f MiB/s  %5llu exchanges  total %6.3f s  drains %6.3f s (%5.1f us each)  "
                    "outside drains %6.3f s  baseline %6.3f s  ratio %4.2f\n",
                    what, mib / Seconds(total), static_cast<unsigned long long>(exchanges), Seconds(total),
                    Seconds(drain), 1e6 * Seconds(drain) / static_cast<double>(exchanges), outside, Seconds(base),
                    outside / Seconds(base));
    };
    row("write", writeTime, writeDrain, writeExchanges, writeBase);
    row("read", readTime, readDrain, readExchanges, readBase);
    std::printf("board server resident: idle %ld KiB, after the write %ld KiB (+%ld KiB, %ld KiB in huge pages), "
                "after the read %ld KiB\n",
                idleKiB, writtenKiB, writtenKiB - idleKiB, hugeKiB, afterKiB);
    return wrote && read && same ? 0 : 1;
}
