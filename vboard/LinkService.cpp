#include "vboard/LinkService.h"

#include "vboard/BoardFolder.h"
#include "vboard/JtagConnect.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace vboard {

namespace {

constexpr std::size_t READ_CHUNK = 256 * 1024;
// A client that stops reading its replies is not read from until it catches up, so that it cannot
// make the server hoard replies without end.
constexpr std::size_t MAX_PENDING_OUT = 16u << 20;
// Requests reach the firmware this many bytes at a time, so that the cap is looked at between them:
// a memory read of a few bytes asks for a reply of 32 KiB.
constexpr std::size_t FEED_SLICE = 1024;

short Events(std::size_t unsent) {
    short events = unsent < MAX_PENDING_OUT ? POLLIN : 0;
    if (unsent != 0)
        events |= POLLOUT;
    return events;
}

int Listen(const std::string& path, std::string& error) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        error = "socket path too long: " + path;
        return -1;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = std::string("socket: ") + std::strerror(errno);
        return -1;
    }
    unlink(path.c_str());
    // Only the user may connect, as only the user may enter the folder; the socket is closed to group
    // and others before it takes a connection.
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || chmod(path.c_str(), 0600) != 0 ||
        listen(fd, 16) != 0) {
        error = "cannot listen on " + path + ": " + std::strerror(errno);
        close(fd);
        return -1;
    }
    return fd;
}

int Accept(int listener) {
    for (;;) {
        const int fd = accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0 || errno != EINTR)
            return fd;
    }
}

// Sends what it can without blocking; false when the peer is gone.
bool SendSome(int fd, const uint8_t* data, std::size_t count, std::size_t& sent) {
    while (sent < count) {
        const ssize_t n = send(fd, data + sent, count - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
    return true;
}

// Serves the links polled from fds[index] on, in the order they were polled: reads what came, sends
// what it can, and closes and drops a link whose connection has ended. A link accepted in this round
// was not polled, and is left for the next one. index ends past the last link served.
template <typename Link, typename Read, typename Flush>
void ServePolled(std::list<Link>& links, const std::vector<pollfd>& fds, std::size_t& index, Read read, Flush flush) {
    for (auto it = links.begin(); it != links.end() && index < fds.size(); ++index) {
        if (it->fd != fds[index].fd)
            break;
        const short revents = fds[index].revents;
        bool alive = true;
        if (revents & (POLLIN | POLLHUP | POLLERR))
            alive = read(*it);
        if (alive && (revents & POLLOUT))
            alive = flush(*it);
        if (!alive) {
            close(it->fd);
            it = links.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace

LinkService::LinkService(VirtualBoard& board, std::string folder)
    : board(board), protocol(board), folder(std::move(folder)) {}

LinkService::~LinkService() {
    Stop();
}

bool LinkService::Start(std::string& error) {
    wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd < 0) {
        error = std::string("eventfd: ") + std::strerror(errno);
        return false;
    }
    jtagListener = Listen(folder + "/" + JTAG_SOCKET_NAME, error);
    if (jtagListener >= 0)
        controlListener = Listen(folder + "/" + CONTROL_SOCKET_NAME, error);
    if (controlListener < 0) {
        Stop();
        return false;
    }
    readBuffer.resize(READ_CHUNK);
    listenerId = board.AddListener([this] { Wake(); });
    thread = std::thread([this] { Loop(); });
    return true;
}

void LinkService::Stop() {
    if (listenerId >= 0) {
        board.RemoveListener(listenerId);
        listenerId = -1;
    }
    if (thread.joinable()) {
        stopping = true;
        Wake();
        thread.join();
    }
    for (auto& link : jtagLinks)
        close(link.fd);
    jtagLinks.clear();
    for (auto& link : controlLinks)
        close(link.fd);
    controlLinks.clear();
    if (jtagListener >= 0) {
        close(jtagListener);
        unlink((folder + "/" + JTAG_SOCKET_NAME).c_str());
        jtagListener = -1;
    }
    if (controlListener >= 0) {
        close(controlListener);
        unlink((folder + "/" + CONTROL_SOCKET_NAME).c_str());
        controlListener = -1;
    }
    if (wakeFd >= 0) {
        close(wakeFd);
        wakeFd = -1;
    }
}

void LinkService::Wake() {
    const uint64_t one = 1;
    if (wakeFd >= 0 && write(wakeFd, &one, sizeof one) < 0) {
        // The counter is already nonzero: the loop wakes anyway.
    }
}

void LinkService::Loop() {
    std::vector<pollfd> fds;
    while (!stopping) {
        if (board.TakeDropRequest())
            DropJtagLinks();
        const auto now = Clock::now();
        for (auto& link : jtagLinks)
            ReleaseDue(link, now);

        fds.clear();
        fds.push_back({wakeFd, POLLIN, 0});
        fds.push_back({jtagListener, POLLIN, 0});
        fds.push_back({controlListener, POLLIN, 0});
        for (auto& link : jtagLinks) {
            // Held requests go on once the client has read enough of the replies.
            if (!link.in.empty())
                link.in.erase(link.in.begin(), link.in.begin() + static_cast<std::ptrdiff_t>(
                                                                     FeedJtag(link, link.in.data(), link.in.size())));
            // Delayed replies count against the cap but wait for their time, not for room to send.
            short events = link.in.empty() && Unsent(link) < MAX_PENDING_OUT ? POLLIN : 0;
            if (link.sent != link.out.size())
                events |= POLLOUT;
            fds.push_back({link.fd, events, 0});
        }
        for (const auto& link : controlLinks)
            fds.push_back({link.fd, Events(link.out.size() - link.sent), 0});

        if (poll(fds.data(), fds.size(), PollTimeout(now)) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[0].revents & POLLIN) {
            uint64_t count = 0;
            if (read(wakeFd, &count, sizeof count) < 0) {
                // Nothing to clear: another wake-up was consumed already.
            }
        }
        if (fds[1].revents & POLLIN)
            AcceptJtag();
        if (fds[2].revents & POLLIN)
            AcceptControl();

        std::size_t index = 3;
        ServePolled(
            jtagLinks, fds, index, [this](JtagLink& link) { return ReadJtag(link); },
            [this](JtagLink& link) { return FlushJtag(link); });
        // Before any control line of this round, so that a state dump sees the links as they are now.
        LetGoOfHungUpLinks();
        board.SetLinksOpen(static_cast<int>(jtagLinks.size()));
        ServePolled(
            controlLinks, fds, index, [this](ControlLink& link) { return ReadControl(link); },
            [this](ControlLink& link) { return FlushControl(link); });
    }
}

void LinkService::AcceptJtag() {
    const int fd = Accept(jtagListener);
    if (fd < 0)
        return;
    // A program that closes its link and opens another at once (the panel does, after configuring)
    // hung up before it connected again: its old link goes first, so a reopen is never "in use".
    LetGoOfHungUpLinks();
    const uint8_t greeting = jtagLinks.empty() ? LINK_GRANTED : LINK_IN_USE;
    std::size_t sent = 0;
    // A program that gave up before it was served is no link either.
    if (!SendSome(fd, &greeting, 1, sent) || sent != 1 || greeting == LINK_IN_USE) {
        close(fd);
        return;
    }
    jtagLinks.emplace_back();
    jtagLinks.back().fd = fd;
}

void LinkService::LetGoOfHungUpLinks() {
    for (auto it = jtagLinks.begin(); it != jtagLinks.end();) {
        pollfd p{it->fd, POLLIN, 0};
        if (poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR))) {
            // What it sent before hanging up still reaches the firmware, as on the loop's own path.
            while (ReadJtag(*it)) {
            }
            close(it->fd);
            it = jtagLinks.erase(it);
        } else {
            ++it;
        }
    }
}

void LinkService::AcceptControl() {
    const int fd = Accept(controlListener);
    if (fd < 0)
        return;
    controlLinks.emplace_back();
    controlLinks.back().fd = fd;
}

bool LinkService::ReadJtag(JtagLink& link) {
    const ssize_t n = recv(link.fd, readBuffer.data(), readBuffer.size(), MSG_DONTWAIT);
    if (n < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    if (n == 0)
        return false;
    const auto count = static_cast<std::size_t>(n);
    const std::size_t taken = link.in.empty() ? FeedJtag(link, readBuffer.data(), count) : 0;
    link.in.insert(link.in.end(), readBuffer.begin() + static_cast<std::ptrdiff_t>(taken),
                   readBuffer.begin() + static_cast<std::ptrdiff_t>(count));
    return FlushJtag(link);
}

std::size_t LinkService::FeedJtag(JtagLink& link, const uint8_t* data, std::size_t count) {
    std::size_t taken = 0;
    while (taken < count && Unsent(link) < MAX_PENDING_OUT) {
        if (link.sent == link.out.size()) {
            link.out.clear();
            link.sent = 0;
        }
        const std::size_t slice = std::min(FEED_SLICE, count - taken);
        const std::size_t before = link.out.size();
        uint32_t delayMs = 0;
        board.ReceiveJtag(link.parser, data + taken, slice, link.out, delayMs);
        taken += slice;
        if ((delayMs != 0 || !link.delayed.empty()) && link.out.size() > before) {
            // A slow firmware: these replies wait their time, behind any that wait already.
            const auto from = link.out.begin() + static_cast<std::ptrdiff_t>(before);
            link.delayed.push_back({Clock::now() + std::chrono::milliseconds(delayMs), {from, link.out.end()}});
            link.delayedBytes += link.delayed.back().bytes.size();
            link.out.erase(from, link.out.end());
        }
    }
    return taken;
}

std::size_t LinkService::Unsent(const JtagLink& link) {
    return link.out.size() - link.sent + link.delayedBytes;
}

bool LinkService::FlushJtag(JtagLink& link) {
    if (!SendSome(link.fd, link.out.data(), link.out.size(), link.sent))
        return false;
    if (link.sent == link.out.size()) {
        link.out.clear();
        link.sent = 0;
    }
    return true;
}

void LinkService::ReleaseDue(JtagLink& link, Clock::time_point now) {
    // Sent by the poll round that follows, which waits for room in the socket.
    while (!link.delayed.empty() && link.delayed.front().due <= now) {
        auto& bytes = link.delayed.front().bytes;
        link.out.insert(link.out.end(), bytes.begin(), bytes.end());
        link.delayedBytes -= bytes.size();
        link.delayed.pop_front();
    }
}

bool LinkService::ReadControl(ControlLink& link) {
    char buffer[4096];
    const ssize_t n = recv(link.fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    if (n == 0)
        return false;
    for (ssize_t i = 0; i < n; ++i) {
        const char c = buffer[i];
        if (c != '\n') {
            if (link.discarding)
                continue;
            if (link.in.size() >= ControlProtocol::MAX_LINE_LEN + 1) {
                // Over-long: answered once now, the rest of the line is skipped.
                link.out += "error: line longer than 8192 characters\n";
                link.in.clear();
                link.discarding = true;
                continue;
            }
            link.in.push_back(c);
            continue;
        }
        if (link.discarding) {
            link.discarding = false;
            continue;
        }
        if (!link.in.empty() && link.in.back() == '\r')
            link.in.pop_back();
        link.out += protocol.Execute(link.in) + "\n";
        link.in.clear();
        if (board.TakeDropRequest())
            DropJtagLinks();
    }
    return FlushControl(link);
}

bool LinkService::FlushControl(ControlLink& link) {
    if (!SendSome(link.fd, reinterpret_cast<const uint8_t*>(link.out.data()), link.out.size(), link.sent))
        return false;
    if (link.sent == link.out.size()) {
        link.out.clear();
        link.sent = 0;
    }
    return true;
}

void LinkService::DropJtagLinks() {
    for (auto& link : jtagLinks) {
        shutdown(link.fd, SHUT_RDWR);
        close(link.fd);
    }
    jtagLinks.clear();
    board.SetLinksOpen(0);
}

int LinkService::PollTimeout(Clock::time_point now) const {
    auto earliest = Clock::time_point::max();
    for (const auto& link : jtagLinks) {
        if (!link.delayed.empty())
            earliest = std::min(earliest, link.delayed.front().due);
    }
    if (earliest == Clock::time_point::max())
        return -1;
    if (earliest <= now)
        return 0;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(earliest - now).count() + 1;
    return static_cast<int>(std::min<long long>(ms, 60000));
}

} // namespace vboard
