#include "platform/ProgramRun.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

// An output longer than this keeps only its end (half this much): the end is what explains a failure.
constexpr std::size_t OUTPUT_KEEP = 1 << 20;
// While the program runs its output is awaited in slices this long, so that a program that left its
// output open to a process of its own (a server it started) is still seen ending.
constexpr int OUTPUT_SLICE_MS = 50;
// Once its output has ended, the program's end is looked for this often.
constexpr auto EXIT_SLICE = std::chrono::milliseconds(2);

// Appends what the pipe holds now; false once the pipe has ended.
bool ReadAvailable(int fd, std::string& output) {
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0) {
            output.append(buffer, static_cast<std::size_t>(n));
            if (output.size() > OUTPUT_KEEP)
                output.erase(0, output.size() - OUTPUT_KEEP / 2);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
}

// The signals that end a program when a person or the system asks (Ctrl-C, a closed terminal, a
// stop): a run first ends what it started, then hands the signal on to the caller.
constexpr int ENDING_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};
std::atomic<int> endingSignal = 0;

void OnEndingSignal(int signal) {
    endingSignal = signal;
}

// The process's signal handling for the time of one run: the program's end is always collected, even
// when this process was started with SIGCHLD ignored (the kernel would then collect it, status and
// all), and an ending signal is noted instead of ending this process at once. The caller's handling
// is back when the run ends.
class RunSignals {
public:
    RunSignals() {
        endingSignal = 0;
        sigaction(SIGCHLD, nullptr, &childBefore);
        if (childBefore.sa_handler == SIG_IGN || (childBefore.sa_flags & SA_NOCLDWAIT) != 0) {
            struct sigaction collect {};
            collect.sa_handler = SIG_DFL;
            sigaction(SIGCHLD, &collect, nullptr);
            childTaken = true;
        }
        struct sigaction noting {};
        noting.sa_handler = OnEndingSignal;
        sigemptyset(&noting.sa_mask);
        for (std::size_t i = 0; i < std::size(ENDING_SIGNALS); ++i) {
            sigaction(ENDING_SIGNALS[i], nullptr, &endingBefore[i]);
            // A signal the caller ignores stays ignored.
            if (endingBefore[i].sa_handler != SIG_IGN)
                sigaction(ENDING_SIGNALS[i], &noting, nullptr);
        }
    }

    // Restores the caller's handling, then hands on an ending signal that came during the run.
    ~RunSignals() {
        if (childTaken)
            sigaction(SIGCHLD, &childBefore, nullptr);
        for (std::size_t i = 0; i < std::size(ENDING_SIGNALS); ++i) {
            if (endingBefore[i].sa_handler != SIG_IGN)
                sigaction(ENDING_SIGNALS[i], &endingBefore[i], nullptr);
        }
        if (const int signal = endingSignal.exchange(0); signal != 0)
            raise(signal);
    }

    RunSignals(const RunSignals&) = delete;
    RunSignals& operator=(const RunSignals&) = delete;

private:
    struct sigaction childBefore {};
    bool childTaken = false;
    struct sigaction endingBefore[std::size(ENDING_SIGNALS)]{};
};

int WaitForEnd(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

// Starts the program with its output into writeFd; the pid, or -1 with errno's word in failure.
pid_t Spawn(const std::string& program, const std::vector<std::string>& arguments, int writeFd, std::string& failure) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, writeFd, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, writeFd, STDERR_FILENO);

    // A new process group, no blocked signals, and the signals a caller may ignore back at their
    // defaults, so the program stops on the signals it expects to stop on.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    for (int signal : {SIGPIPE, SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGCHLD})
        sigaddset(&signals, signal);
    posix_spawnattr_setsigdefault(&attributes, &signals);

    pid_t pid = -1;
    const int error = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        failure = std::strerror(error);
        return -1;
    }
    return pid;
}

} // namespace

bool RunProgram(const std::string& program, const std::vector<std::string>& arguments, uint32_t limitMs,
                ProgramOutcome& outcome, std::string& failure) {
    // The signal handling is the process's: one run at a time.
    static std::mutex running;
    const std::lock_guard<std::mutex> one(running);
    const RunSignals signals;
    outcome = ProgramOutcome{};
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        failure = std::strerror(errno);
        return false;
    }
    const int readFd = fds[0];
    fcntl(readFd, F_SETFL, fcntl(readFd, F_GETFL) | O_NONBLOCK);
    const pid_t pid = Spawn(program, arguments, fds[1], failure);
    close(fds[1]);
    if (pid < 0) {
        close(readFd);
        return false;
    }

    const auto deadline = Clock::now() + std::chrono::milliseconds(limitMs);
    bool outputOpen = true;
    int status = 0;
    bool collected = true;
    for (;;) {
        const pid_t ended = waitpid(pid, &status, WNOHANG);
        if (ended == pid)
            break;
        // Collected elsewhere: its group's number may be anybody's now, so nothing is signalled.
        if (ended < 0 && errno == ECHILD) {
            collected = false;
            break;
        }
        const auto now = Clock::now();
        const bool ending = endingSignal != 0;
        if (ending || now >= deadline) {
            // Not collected yet, so the group's number is still the program's.
            kill(-pid, SIGKILL);
            status = WaitForEnd(pid);
            outcome.timedOut = !ending;
            break;
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
        if (outputOpen) {
            pollfd waiting{readFd, POLLIN, 0};
            if (poll(&waiting, 1, static_cast<int>(std::min<long long>(left, OUTPUT_SLICE_MS))) > 0)
                outputOpen = ReadAvailable(readFd, outcome.output);
        } else {
            std::this_thread::sleep_for(EXIT_SLICE);
        }
    }
    if (outputOpen)
        ReadAvailable(readFd, outcome.output);
    close(readFd);
    if (collected && !outcome.timedOut && WIFEXITED(status))
        outcome.exitCode = WEXITSTATUS(status);
    return true;
}

} // namespace platform
