#pragma once

#include "tests/support/Screenshots.h"
#include "vboard/ControlProtocol.h"
#include "vboard/VirtualBoard.h"
#include "vboard/window/BoardView.h"
#include "vboard/window/BoardWindow.h"

#include <QImage>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace vboardtest {

// A board with its window, and a second door to the same board: the control protocol, as a person
// at the control socket would use it.
struct WindowFixture : ::testing::Test {
    WindowFixture() { window.show(); }

    std::string Control(const std::string& line) { return control.Execute(line); }

    // A field of the state dump, e.g. Field("sd") -> "sdhc".
    std::string Field(const std::string& name) {
        const std::string state = Control("state");
        const std::string key = " " + name + "=";
        const std::size_t at = state.find(key);
        if (at == std::string::npos)
            return {};
        const std::size_t from = at + key.size();
        return state.substr(from, state.find(' ', from) - from);
    }

    // What the board view shows now.
    QImage Picture() { return window.View()->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    bool WaitFor(const std::function<bool()>& condition) { return QTest::qWaitFor(condition, 2000); }

    // Writes the whole window to vboard-NAME.png in the screenshots folder.
    void SaveScreenshot(const char* name) {
        EXPECT_TRUE(window.grab().save(testsupport::ScreenshotPath(QStringLiteral("vboard-%1").arg(name))));
    }

    vboard::VirtualBoard board{false};
    vboard::ControlProtocol control{board};
    vboard::BoardWindow window{board, QStringLiteral("/tmp/test-board")};
};

inline QColor At(const QImage& image, const QPoint& point) {
    return image.pixelColor(point);
}

} // namespace vboardtest
