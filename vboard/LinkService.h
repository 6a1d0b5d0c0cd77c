#pragma once

#include "vboard/ControlProtocol.h"
#include "vboard/FrameParser.h"
#include "vboard/VirtualBoard.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <list>
#include <string>
#include <thread>
#include <vector>

namespace vboard {

// Serves the board on two Unix stream sockets in a folder: "jtag" carries the raw bytes of the JTAG
// link (one link at a time), "control" the text commands. It runs its own poll loop on its own thread
// and touches the board only through VirtualBoard, so a window can run beside it on another thread.
class LinkService {
public:
    LinkService(VirtualBoard& board, std::string folder);
    ~LinkService();
    LinkService(const LinkService&) = delete;
    LinkService& operator=(const LinkService&) = delete;

    // Binds both sockets (replacing stale socket files) and starts the loop; false with a reason.
    // The caller makes sure that no other server uses the folder.
    bool Start(std::string& error);
    // Ends the loop, closes every connection and removes both sockets.
    void Stop();

private:
    using Clock = std::chrono::steady_clock;

    struct Delayed {
        Clock::time_point due;
        std::vector<uint8_t> bytes;
    };
    struct JtagLink {
        int fd = -1;
        FrameParser parser;
        std::vector<uint8_t> out;
        std::size_t sent = 0;
        std::deque<Delayed> delayed;
        std::size_t delayedBytes = 0;
        // Requests read but not yet given to the firmware, held while the replies are over the cap.
        std::vector<uint8_t> in;
    };
    struct ControlLink {
        int fd = -1;
        std::string in;
        std::string out;
        std::size_t sent = 0;
        bool discarding = false;
    };

    void Loop();
    void Wake();
    // Grants a new JTAG connection the link, or tells it that the board is in use and closes it.
    void AcceptJtag();
    void LetGoOfHungUpLinks();
    void AcceptControl();
    // False when the connection has ended.
    bool ReadJtag(JtagLink& link);
    // Gives the firmware the bytes, slice by slice, while the link's replies stay under the cap; the
    // number of bytes it took.
    std::size_t FeedJtag(JtagLink& link, const uint8_t* data, std::size_t count);
    static std::size_t Unsent(const JtagLink& link);
    bool FlushJtag(JtagLink& link);
    bool ReadControl(ControlLink& link);
    bool FlushControl(ControlLink& link);
    void ReleaseDue(JtagLink& link, Clock::time_point now);
    void DropJtagLinks();
    int PollTimeout(Clock::time_point now) const;

    VirtualBoard& board;
    ControlProtocol protocol;
    std::string folder;
    int jtagListener = -1;
    int controlListener = -1;
    int wakeFd = -1;
    std::atomic<bool> stopping = false;
    int listenerId = -1;
    std::list<JtagLink> jtagLinks;
    std::list<ControlLink> controlLinks;
    std::vector<uint8_t> readBuffer;
    std::thread thread;
};

} // namespace vboard
