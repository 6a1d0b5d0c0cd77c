#include "platform/Notify.h"

#include <cstdio>
#include <utility>

namespace platform {

namespace {
BeepHandler& BeepSink() {
    static BeepHandler handler;
    return handler;
}
MessageHandler& MessageSink() {
    static MessageHandler handler;
    return handler;
}
const char* KindName(MessageKind kind) {
    switch (kind) {
    case MessageKind::Information:
        return "Information";
    case MessageKind::Warning:
        return "Warning";
    case MessageKind::Error:
        return "Error";
    }
    return "";
}
} // namespace

void Beep() {
    if (const BeepHandler& handler = BeepSink())
        handler();
}

void ShowMessage(MessageKind kind, const std::string& text) {
    if (const MessageHandler& handler = MessageSink()) {
        handler(kind, text);
        return;
    }
    std::fprintf(stderr, "%s: %s\n", KindName(kind), text.c_str());
}

void SetBeepHandler(BeepHandler handler) {
    BeepSink() = std::move(handler);
}
void SetMessageHandler(MessageHandler handler) {
    MessageSink() = std::move(handler);
}

} // namespace platform
