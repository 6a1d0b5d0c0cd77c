// The board server as a process: its folder, its sockets, its options and its control socket.
#include "board/Protocol.h"
#include "platform/Files.h"
#include "platform/ProgramRun.h"
#include "tests/support/Recorders.h"
#include "tests/support/VBoardProcess.h"
#include "vboard/BoardFolder.h"
#include "vboard/ControlClient.h"
#include "vboard/JtagConnect.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

using testsupport::VBoardProcess;

namespace {

std::string Server() {
    return platform::ProgramFolder() + "qx7mb-vboard";
}

// Runs the server with these arguments to its end; its exit code, or -1 when it did not end by itself.
int RunServer(const std::vector<std::string>& args) {
    constexpr uint32_t LIMIT_MS = 10000;
    platform::ProgramOutcome outcome;
    std::string failure;
    if (!platform::RunProgram(Server(), args, LIMIT_MS, outcome, failure))
        return -1;
    return outcome.exitCode;
}

bool Exists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

TEST(ServerTest, SecondServerOnTheSameFolderIsRefused) {
    VBoardProcess server;
    EXPECT_EQ(RunServer({"--headless", "--dir", server.Folder()}), 1);
    // The first one serves on, undisturbed.
    EXPECT_EQ(server.Field("configured"), "1");
}

TEST(ServerTest, OptionsAreChecked) {
    EXPECT_EQ(RunServer({"--help"}), 0);
    EXPECT_EQ(RunServer({"--bogus"}), 2);
    EXPECT_EQ(RunServer({"--dir"}), 2);
    EXPECT_EQ(RunServer({"--device", "-1"}), 2);
    EXPECT_EQ(RunServer({"--device", "1x"}), 2);
    EXPECT_EQ(RunServer({"--device"}), 2);
}

TEST(ServerTest, FolderIsPrivateAndSocketsGoWhenTheServerEnds) {
    testsupport::TempFolder parent;
    const std::string folder = parent / "board";
    std::vector<std::string> args = {Server(), "--headless", "--dir", folder};
    std::vector<char*> argv;
    for (auto& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    int output[2];
    ASSERT_EQ(pipe2(output, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(output[1]);

    // The server's greeting comes once it serves.
    std::string greeting;
    ASSERT_TRUE(testsupport::ReadLine(output[0], greeting, 5000));
    close(output[0]);
    EXPECT_EQ(greeting, "qx7mb-vboard: serving " + folder + " (unconfigured)");
    vboard::ControlClient client;
    ASSERT_TRUE(client.Connect(folder));
    struct stat info {};
    ASSERT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_TRUE(Exists(folder + "/jtag"));

    kill(pid, SIGINT);
    int status = 0;
    ASSERT_TRUE(testsupport::WaitForExit(pid, 5000, status));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_FALSE(Exists(folder + "/jtag"));
    EXPECT_FALSE(Exists(folder + "/control"));
}

TEST(ServerTest, BadLinesGetAnErrorAndTheConnectionGoesOn) {
    VBoardProcess server;
    vboard::ControlClient client;
    ASSERT_TRUE(client.Connect(server.Folder()));
    std::string reply;
    ASSERT_TRUE(client.Request(std::string(9000, 'x'), reply, 5000));
    EXPECT_EQ(reply, "error: line longer than 8192 characters");
    ASSERT_TRUE(client.Request("key 9 down", reply, 5000));
    EXPECT_EQ(reply.rfind("error: ", 0), 0u);
    ASSERT_TRUE(client.Request("state", reply, 5000));
    EXPECT_EQ(reply.rfind("ok configured=1 ", 0), 0u);
    // A line of exactly the longest length is read as a line.
    ASSERT_TRUE(client.Request("mem write 0 " + std::string(8180, '0'), reply, 5000));
    EXPECT_EQ(reply, "ok wrote 4090");
}

// The server's resident memory in KiB.
long ResidentKiB(int pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string word;
    while (status >> word) {
        if (word == "VmRSS:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
    }
    return -1;
}

// A client that sends memory reads and leaves the replies unread for a while: the server stops taking
// its requests at a bound instead of growing, delayed replies included, and serves all of them once
// the client reads.
TEST(ServerTest, AClientThatDoesNotReadItsRepliesCostsTheServerBoundedMemory) {
    VBoardProcess server;
    ASSERT_EQ(server.Control("fault delay 1"), "ok fault delay 1");
    vboard::JtagConnectResult result;
    const int link = vboard::ConnectJtag(server.Folder(), 5000, result);
    ASSERT_GE(link, 0);
    // 12000 reads of 32747 bytes each: 393 MB of replies asked for in 180 KB of requests.
    constexpr int READS = 12000;
    constexpr uint32_t COUNT = 32747;
    std::vector<uint8_t> request = {PKT_START,    CMD_MEMORY_READ, 9, 0, MEM_TYPE_SDRAM, 0, 0, 0, 0,
                                    COUNT & 0xFF, COUNT >> 8,      0, 0};
    request.push_back(FrameSum(request.data() + 1, static_cast<uint32_t>(request.size() - 1)));
    request.push_back(PKT_END);
    std::vector<uint8_t> requests;
    for (int i = 0; i < READS; ++i)
        requests.insert(requests.end(), request.begin(), request.end());
    const long before = ResidentKiB(server.Pid());
    // In one piece: the socket's buffer takes it whole, however little the server reads.
    ASSERT_EQ(write(link, requests.data(), requests.size()), static_cast<ssize_t>(requests.size()));
    // Time for the server to take what it will.
    EXPECT_EQ(server.Control("state").rfind("ok ", 0), 0u);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    // The cap and what the allocator (or a sanitizer's) keeps around it.
    EXPECT_LT(ResidentKiB(server.Pid()) - before, 128 * 1024);

    uint64_t received = 0;
    std::vector<uint8_t> buffer(1 << 20);
    const uint64_t expected = uint64_t{READS} * (COUNT + 1 + PKT_OVERHEAD);
    while (received < expected) {
        pollfd waiting{link, POLLIN, 0};
        // Generous: the server sends 393 MB, slowly on a loaded machine or under a sanitizer.
        if (poll(&waiting, 1, 30000) <= 0)
            break;
        const ssize_t n = read(link, buffer.data(), buffer.size());
        if (n <= 0)
            break;
        received += static_cast<uint64_t>(n);
    }
    close(link);
    EXPECT_EQ(received, expected);
}

// A bitstream path that names a pipe is refused at once, and the server goes on serving.
TEST(ServerTest, ConfiguringFromAPipeIsRefusedWithoutHoldingUpTheServer) {
    VBoardProcess server;
    testsupport::TempFolder folder;
    const std::string pipe = folder / "design.sof";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    vboard::ControlClient client;
    ASSERT_TRUE(client.Connect(server.Folder()));
    std::string reply;
    ASSERT_TRUE(client.Request("configure " + pipe, reply, 5000));
    EXPECT_EQ(reply.rfind("error: ", 0), 0u) << reply;
    EXPECT_EQ(server.Control("state").rfind("ok configured=1 ", 0), 0u);
}

} // namespace
