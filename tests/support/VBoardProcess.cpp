#include "tests/support/VBoardProcess.h"

#include "platform/Files.h"
#include "vboard/BoardFolder.h"
#include "vboard/ControlClient.h"

#include <cerrno>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <poll.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

namespace {

constexpr int START_LIMIT_MS = 5000;
constexpr int STOP_LIMIT_MS = 5000;
constexpr int CONTROL_LIMIT_MS = 5000;

// Beside the test program itself, even while a test points the program's folder elsewhere.
std::string ServerProgram() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return (error ? std::filesystem::path(platform::ProgramFolder()) : self.parent_path()) / "qx7mb-vboard";
}

// Milliseconds left until the deadline, 0 when it has passed.
int LeftUntil(std::chrono::steady_clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace

bool ReadLine(int fd, std::string& line, int limitMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    line.clear();
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        const int ready = poll(&p, 1, LeftUntil(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        char c = 0;
        const ssize_t n = read(fd, &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        if (c == '\n')
            return true;
        line += c;
    }
}

bool WaitForExit(int pid, int limitMs, int& status) {
    // The process's own descriptor becomes readable when it ends.
    const int handle = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (handle >= 0) {
        pollfd p{handle, POLLIN, 0};
        int ready;
        do {
            ready = poll(&p, 1, limitMs);
        } while (ready < 0 && errno == EINTR);
        close(handle);
        if (ready == 0)
            return false;
    }
    pid_t done;
    do {
        done = waitpid(pid, &status, handle >= 0 ? WNOHANG : 0);
    } while (done < 0 && errno == EINTR);
    return done == pid || done < 0;
}

VBoardProcess::VBoardProcess(std::vector<std::string> options)
    : folder(std::in_place), path(folder->Path()), options(std::move(options)) {
    env.emplace("QX7MB_VBOARD", path.c_str());
    this->options.insert(this->options.begin(), {"--dir", path});
    Start();
}

VBoardProcess::VBoardProcess(int device, std::vector<std::string> options)
    : path(vboard::DefaultBoardFolder(device)), options(std::move(options)) {
    // Without a test's board 0 the folder would be the user's own board N's.
    if (std::getenv("QX7MB_VBOARD") == nullptr) {
        ADD_FAILURE() << "board " << device << " needs the test's board 0 first";
        folder.emplace();
        return;
    }
    this->options.insert(this->options.begin(), {"--device", std::to_string(device)});
    Start();
}

VBoardProcess::~VBoardProcess() {
    Stop(SIGTERM);
    // Board N's folder was made by its server, not by the test: it goes with the board.
    if (!folder) {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
}

void VBoardProcess::Kill() {
    Stop(SIGKILL);
}

void VBoardProcess::Restart() {
    Stop(SIGTERM);
    Start();
}

void VBoardProcess::Start() {
    const std::string program = ServerProgram();
    std::vector<std::string> args = {program, "--headless"};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (auto& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "no pipe for the board server's output";
        return;
    }
    const pid_t parent = getpid();
    pid = fork();
    if (pid == 0) {
        // Only what is safe between fork and exec: the server's output goes to the pipe, and it ends
        // with the test program, also one that crashed.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent)
            _exit(127);
        dup2(pipeEnds[1], STDOUT_FILENO);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    output = pipeEnds[0];
    if (pid < 0) {
        ADD_FAILURE() << "cannot start " << program;
        return;
    }
    // The server says it serves once both of its sockets listen.
    std::string line;
    if (!ReadLine(output, line, START_LIMIT_MS) || line.rfind("qx7mb-vboard: serving ", 0) != 0) {
        ADD_FAILURE() << program << " does not serve " << path << " (" << line << ")";
        Stop(SIGKILL);
    }
}

void VBoardProcess::Stop(int signal) {
    if (pid > 0) {
        kill(pid, signal);
        int status = 0;
        if (!WaitForExit(pid, STOP_LIMIT_MS, status)) {
            ADD_FAILURE() << "the board server did not end on signal " << signal;
            kill(pid, SIGKILL);
            WaitForExit(pid, STOP_LIMIT_MS, status);
        }
    }
    pid = -1;
    if (output >= 0)
        close(output);
    output = -1;
}

std::string VBoardProcess::Control(const std::string& line) {
    vboard::ControlClient client;
    std::string reply;
    if (!client.Connect(path) || !client.Request(line, reply, CONTROL_LIMIT_MS))
        return "error: no reply from the board server";
    return reply;
}

std::string VBoardProcess::Field(const std::string& name) {
    std::istringstream words(Control("state"));
    std::string word;
    while (words >> word) {
        if (word.compare(0, name.size() + 1, name + "=") == 0)
            return word.substr(name.size() + 1);
    }
    return std::string();
}

uint32_t VBoardProcess::Number(const std::string& name) {
    const std::string text = Field(name);
    const bool hex = text.compare(0, 2, "0x") == 0;
    const char* first = text.data() + (hex ? 2 : 0);
    const char* last = text.data() + text.size();
    uint32_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value, hex ? 16 : 10);
    if (first == last || error != std::errc() || end != last)
        ADD_FAILURE() << "the state dump has no number " << name << ": '" << text << "'";
    return value;
}

} // namespace testsupport
