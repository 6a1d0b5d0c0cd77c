#include "tests/support/VBoardProcess.h"

#include "platform/Files.h"
#include "vboard/BoardFolder.h"
#include "vboard/ControlClient.h"

#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace testsupport {

namespace {

constexpr auto START_LIMIT = std::chrono::seconds(5);
constexpr auto STOP_LIMIT = std::chrono::seconds(5);
constexpr int CONTROL_LIMIT_MS = 5000;

// Beside the test program itself, even while a test points the program's folder elsewhere.
std::string ServerProgram() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return (error ? std::filesystem::path(platform::ProgramFolder()) : self.parent_path()) / "qx7mb-vboard";
}

bool Accepts(const std::string& path) {
    const int fd = vboard::ConnectUnixSocket(path);
    if (fd < 0)
        return false;
    close(fd);
    return true;
}

// Waits for the child to end; false when it is still running after the limit.
bool Reap(int pid, std::chrono::steady_clock::duration limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid || (done < 0 && errno != EINTR))
            return true;
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

} // namespace

VBoardProcess::VBoardProcess(std::vector<std::string> options) : folder(std::in_place), path(folder->Path()) {
    env.emplace("QX7MB_VBOARD", path.c_str());
    options.insert(options.begin(), {"--dir", path});
    Start(options);
}

VBoardProcess::VBoardProcess(int device, std::vector<std::string> options) : path(vboard::DefaultBoardFolder(device)) {
    // Without a test's board 0 the folder would be the user's own board N's.
    if (std::getenv("QX7MB_VBOARD") == nullptr) {
        ADD_FAILURE() << "board " << device << " needs the test's board 0 first";
        folder.emplace();
        return;
    }
    options.insert(options.begin(), {"--device", std::to_string(device)});
    Start(options);
}

void VBoardProcess::Start(const std::vector<std::string>& options) {
    const std::string program = ServerProgram();
    std::vector<std::string> args = {program, "--headless"};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (auto& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    pid = fork();
    if (pid == 0) {
        // Only what is safe between fork and exec: the server's one-line greeting is not wanted.
        const int devNull = open("/dev/null", O_WRONLY);
        if (devNull >= 0)
            dup2(devNull, STDOUT_FILENO);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    if (pid < 0) {
        ADD_FAILURE() << "cannot start " << program;
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + START_LIMIT;
    while (!Accepts(path + "/" + vboard::JTAG_SOCKET_NAME) || !Accepts(path + "/" + vboard::CONTROL_SOCKET_NAME)) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            ADD_FAILURE() << program << " ended before serving " << path;
            pid = -1;
            return;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            ADD_FAILURE() << program << " does not serve " << path;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

VBoardProcess::~VBoardProcess() {
    if (pid > 0) {
        kill(pid, SIGTERM);
        if (!Reap(pid, STOP_LIMIT)) {
            ADD_FAILURE() << "the board server did not end on SIGTERM";
            kill(pid, SIGKILL);
            Reap(pid, STOP_LIMIT);
        }
    }
    // Board N's folder was made by its server, not by the test: it goes with the board.
    if (!folder) {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
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
