#pragma once

#include "tests/support/Recorders.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// A headless board server (build/bin/qx7mb-vboard) on a private folder for one test, stopped and
// cleaned up on destruction. While it lives, $QX7MB_VBOARD names its folder, so that the program's
// VELDARA_JTAG.DLL and VELDARA_DOWNLOAD.DLL reach this board.
class VBoardProcess {
public:
    // The options after --headless --dir FOLDER; by default the board starts configured, its firmware
    // answering at once.
    explicit VBoardProcess(std::vector<std::string> options = {"--configured"});
    // Board `device` (N >= 1) beside the test's board 0, whose folder $QX7MB_VBOARD names: started with
    // --device N instead of a folder, so that it serves the folder it finds for itself. Its folder is
    // removed on destruction.
    VBoardProcess(int device, std::vector<std::string> options);
    ~VBoardProcess();
    VBoardProcess(const VBoardProcess&) = delete;
    VBoardProcess& operator=(const VBoardProcess&) = delete;

    // One line of the control protocol; returns the reply line without its line end.
    std::string Control(const std::string& line);
    // A field of the state dump, e.g. Field("leds") -> "0x201".
    std::string Field(const std::string& name);
    // A numeric field of the state dump (0x... or decimal).
    uint32_t Number(const std::string& name);
    const std::string& Folder() const { return path; }
    int Pid() const { return pid; }

    // Ends the server at once, as a crash or a pulled plug would: SIGKILL, no cleaning up.
    void Kill();
    // Starts the server again on the same folder, with the same options; a fresh board.
    void Restart();

private:
    void Start();
    void Stop(int signal);

    std::optional<TempFolder> folder;
    std::optional<ScopedEnv> env;
    std::string path;
    std::vector<std::string> options;
    int pid = -1;
    int output = -1; // the server's standard output, which says when it serves
};

// Waits for a line on fd, up to limitMs; false when none comes (the writer ended or the time passed).
bool ReadLine(int fd, std::string& line, int limitMs);
// Waits for the child process to end, up to limitMs; false when it still runs.
bool WaitForExit(int pid, int limitMs, int& status);

} // namespace testsupport
