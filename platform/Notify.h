#pragma once

#include <functional>
#include <string>

// The two ways the lower layers reach the user: the simple beep of a failed exchange, and the modal
// boxes of the library loaders. The program routes them to Qt; tests record them.
namespace platform {

enum class MessageKind { Information, Warning, Error };

void Beep();
void ShowMessage(MessageKind kind, const std::string& text);

// An empty handler restores the default: a beep does nothing, a box is written to standard error.
using BeepHandler = std::function<void()>;
using MessageHandler = std::function<void(MessageKind, const std::string&)>;
void SetBeepHandler(BeepHandler handler);
void SetMessageHandler(MessageHandler handler);

} // namespace platform
