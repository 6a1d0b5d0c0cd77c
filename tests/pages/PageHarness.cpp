#include "tests/pages/PageHarness.h"

#include "shell/StatusInfo.h"
#include "skin/SkinResources.h"
#include "tests/support/Mouse.h"
#include "tests/support/Screenshots.h"

namespace pagetest {

PageHarness::PageHarness() {
    std::string error;
    connected = board.Connect(error, 0);
    host.resize(387, 276);
    SetStatusInfoSink([this](const QString& text, const QColor& colour) { status.push_back({text, colour}); });
}

PageHarness::~PageHarness() {
    SetStatusInfoSink({});
}

void PageHarness::Watch(TPageForm& page) {
    page.OnBoardError = [this](TPageForm* sender) {
        ++boardErrors;
        errorSender = sender;
        board.Disconnect();
    };
}

void PageHarness::Click(QWidget& page, int x, int y) {
    testsupport::MouseClick(&page, QPoint(x, y));
}

void PageHarness::Press(QWidget& page, int x, int y) {
    testsupport::MousePress(&page, QPoint(x, y));
}

void PageHarness::Release(QWidget& page, int x, int y) {
    testsupport::MouseRelease(&page, QPoint(x, y));
}

void PageHarness::Move(QWidget& page, int x, int y) {
    testsupport::MouseMove(&page, QPoint(x, y));
}

void PageHarness::SaveScreenshot(QWidget& page, const QString& name) {
    EXPECT_TRUE(page.grab().save(testsupport::ScreenshotPath(name))) << name.toStdString();
}

QImage Face(const QString& name, int face) {
    const QImage picture = skin::LoadSkinPicture(name);
    const int height = picture.height() / 4;
    return picture.copy(0, face * height, picture.width(), height);
}

bool ShowsPicture(const QImage& image, int x, int y, const QImage& picture, bool transparent) {
    const QRgb key = picture.pixel(0, picture.height() - 1) & 0xFFFFFF;
    for (int py = 0; py < picture.height(); ++py) {
        for (int px = 0; px < picture.width(); ++px) {
            const QRgb want = picture.pixel(px, py) & 0xFFFFFF;
            if (transparent && want == key)
                continue;
            if ((image.pixel(x + px, y + py) & 0xFFFFFF) != want)
                return false;
        }
    }
    return true;
}

QColor PixelColour(const QImage& image, int x, int y) {
    return QColor(image.pixel(x, y)).toRgb();
}

} // namespace pagetest
