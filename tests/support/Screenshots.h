#pragma once

#include <QDir>
#include <QString>

// Where the tests leave their screenshots: the build's screenshots folder (build/screenshots), whatever
// the working folder. QX7MB_SCREENSHOT_DIR is defined for every test by tests/CMakeLists.txt.
namespace testsupport {

inline QString ScreenshotPath(const QString& name) {
    QDir().mkpath(QStringLiteral(QX7MB_SCREENSHOT_DIR));
    return QStringLiteral(QX7MB_SCREENSHOT_DIR) + "/" + name + ".png";
}

} // namespace testsupport
