#include "cli/MessageRoute.h"

#include "platform/Notify.h"

#include <algorithm>
#include <ostream>
#include <utility>

namespace cli {

MessageRoute::MessageRoute(std::ostream& err) : err(err) {
    platform::SetMessageHandler([this](platform::MessageKind, const std::string& text) { Show(text); });
}

MessageRoute::~MessageRoute() {
    platform::SetMessageHandler({});
}

void MessageRoute::Hold() {
    holding = true;
}

std::vector<std::string> MessageRoute::Release() {
    holding = false;
    return std::exchange(held, {});
}

void MessageRoute::Show(const std::string& text) {
    std::string line = text;
    std::replace(line.begin(), line.end(), '\n', ' ');
    if (holding)
        held.push_back(line);
    else
        err << "qx7mb: " << line << '\n' << std::flush;
}

} // namespace cli
