#pragma once

#include <string>

namespace vboard {

// A connection to a board server's control socket: one text line out, one reply line back.
class ControlClient {
public:
    ControlClient() = default;
    ~ControlClient();
    ControlClient(const ControlClient&) = delete;
    ControlClient& operator=(const ControlClient&) = delete;

    // Connects to FOLDER/control; false when no board server listens there or the folder is not to
    // be trusted (ConnectToBoard).
    bool Connect(const std::string& folder);
    void Close();
    bool IsConnected() const { return fd >= 0; }
    // Sends one line (without its line end) and waits up to limitMs for the reply line, returned
    // without its line end. False when the line cannot be sent or no whole reply arrives in time;
    // the connection is closed then, since a late reply would be taken for the next one's.
    bool Request(const std::string& line, std::string& reply, int limitMs);

private:
    int fd = -1;
    std::string received;
};

} // namespace vboard
