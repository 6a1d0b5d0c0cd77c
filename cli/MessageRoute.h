#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

// Where the boxes of the lower layers go while the tool runs (the library loaders' errors, the
// Quartus warning, "invalid hex file."): one line each on standard error. While held, they are kept
// for the caller to word into a message of its own.
class MessageRoute {
public:
    explicit MessageRoute(std::ostream& err);
    ~MessageRoute();
    MessageRoute(const MessageRoute&) = delete;
    MessageRoute& operator=(const MessageRoute&) = delete;

    void Hold();
    // Ends the hold and hands over what was kept.
    std::vector<std::string> Release();

private:
    void Show(const std::string& text);

    std::ostream& err;
    bool holding = false;
    std::vector<std::string> held;
};

} // namespace cli
