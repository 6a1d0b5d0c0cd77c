#pragma once

#include <QColor>
#include <QString>
#include <functional>

// The status-information line of the main window, reached by every page. The main window installs
// itself as the sink when it is created and removes itself when it is destroyed; without a sink the
// text goes nowhere.
namespace statuscolour {
inline const QColor RED{255, 0, 0};
inline const QColor GREEN{0, 128, 0};
inline const QColor YELLOW{255, 246, 0};
} // namespace statuscolour

void ShowStatusInfo(const QString& text, const QColor& colour);

using StatusInfoSink = std::function<void(const QString&, const QColor&)>;
void SetStatusInfoSink(StatusInfoSink sink);
