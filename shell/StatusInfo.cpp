#include "shell/StatusInfo.h"

#include <utility>

namespace {
StatusInfoSink& Sink() {
    static StatusInfoSink sink;
    return sink;
}
} // namespace

void ShowStatusInfo(const QString& text, const QColor& colour) {
    if (const StatusInfoSink& sink = Sink())
        sink(text, colour);
}

void SetStatusInfoSink(StatusInfoSink sink) {
    Sink() = std::move(sink);
}
