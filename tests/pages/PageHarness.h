#pragma once

#include "board/Board.h"
#include "pages/PageForm.h"
#include "tests/support/Recorders.h"
#include "tests/support/VBoardProcess.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pagetest {

struct StatusLine {
    QString text;
    QColor colour;
};

// One page test: a headless board of its own, a board object connected to it, a plain host widget for
// the page, and a record of every status text, box and board error.
class PageHarness : public ::testing::Test {
protected:
    PageHarness();
    ~PageHarness() override;

    // Raises OnBoardError into the record; like the main window, the handler closes the link.
    void Watch(TPageForm& page);
    // A press and release at one point, with a move there first, as a user's click arrives.
    static void Click(QWidget& page, int x, int y);
    static void Press(QWidget& page, int x, int y);
    static void Release(QWidget& page, int x, int y);
    static void Move(QWidget& page, int x, int y);
    // Saves the page as it is shown into the build's screenshots folder.
    static void SaveScreenshot(QWidget& page, const QString& name);
    // The board's state dump field, as a number.
    uint32_t BoardNumber(const std::string& field) { return vboard.Number(field); }
    std::string Control(const std::string& line) { return vboard.Control(line); }

    testsupport::VBoardProcess vboard;
    testsupport::NotifyRecorder notes;
    TBoard board;
    QWidget host;
    bool connected = false;
    std::vector<StatusLine> status;
    int boardErrors = 0;
    TPageForm* errorSender = nullptr;
};

// Face `face` (0 normal, 1 disabled, 2 hot, 3 pressed) of a four-face skin picture.
QImage Face(const QString& name, int face);
// Whether `picture` lies at (x, y) on `image`. With `transparent` the pixels of the picture's
// transparent colour (its bottom-left pixel) are not compared, as they were never painted.
bool ShowsPicture(const QImage& image, int x, int y, const QImage& picture, bool transparent);
QColor PixelColour(const QImage& image, int x, int y);

} // namespace pagetest
