#include "skin/SkinForm.h"

#include "SkinTestUtil.h"
#include "skin/Animate.h"
#include "skin/Buttonmanager.h"
#include "skin/SkinResources.h"
#include "tests/support/Mouse.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace {

const QRgb GROUND = qRgb(40, 50, 60);

// A form with a plain background and one skinned button at (20, 10), which records what reaches it.
class TestForm : public skin::TSkinForm {
public:
    TestForm() : buttons(this, Canvas(), skin::gmPush) {
        buttons.AddButton(0, QString(), QStringLiteral("NORMAL_BTN"), 20, 10);
        SetClientSize(120, 60);
    }

    int paints = 0;      // FormPaint runs
    int paintEvents = 0; // paint events, each showing the canvas
    std::vector<QPoint> downs, moves, ups;
    skin::TButtonManager buttons;

protected:
    void paintEvent(QPaintEvent* event) override {
        ++paintEvents;
        skin::TSkinForm::paintEvent(event);
    }
    void FormPaint() override {
        ++paints;
        skintest::Fill(*Canvas(), QColor(GROUND));
        buttons.DrawAll();
    }
    void FormMouseDown(int x, int y) override { downs.emplace_back(x, y); }
    void FormMouseMove(int x, int y) override {
        moves.emplace_back(x, y);
        buttons.MouseMove(x, y, true);
    }
    void FormMouseUp(int x, int y) override { ups.emplace_back(x, y); }
};

QImage Shown(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

TEST(SkinForm, PaintsIntoTheCanvasOnlyWhenInvalidated) {
    TestForm form;
    EXPECT_EQ(form.size(), QSize(120, 60));
    EXPECT_EQ(form.Canvas()->Width(), 120);
    EXPECT_EQ(form.Canvas()->Height(), 60);
    const QImage first = Shown(form);
    EXPECT_EQ(form.paints, 1);
    EXPECT_EQ(first, form.Canvas()->Image());
    EXPECT_EQ(first.pixel(5, 5), GROUND);

    Shown(form);
    EXPECT_EQ(form.paints, 1) << "a paint without invalidation only shows the canvas";
    form.Invalidate();
    Shown(form);
    EXPECT_EQ(form.paints, 2);
}

TEST(SkinForm, ButtonDrawingBetweenPaintsIsShownWithoutARepaintOfTheWhole) {
    TestForm form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    ASSERT_TRUE(QTest::qWaitFor([&form] { return form.paints == 1; }));
    const QImage picture = skin::LoadSkinPicture(QStringLiteral("NORMAL_BTN"));

    const int events = form.paintEvents;
    testsupport::MouseMove(&form, QPoint(25, 12));
    EXPECT_EQ(form.moves.back(), QPoint(25, 12));
    EXPECT_TRUE(QTest::qWaitFor([&form, events] { return form.paintEvents > events; })) << "an update was asked";
    EXPECT_TRUE(skintest::ShowsFace(*form.Canvas(), picture, skin::faceHot, 20, 10));
    EXPECT_EQ(testsupport::ShownCursor(), Qt::PointingHandCursor);
    const QImage shown = Shown(form);
    EXPECT_EQ(shown, form.Canvas()->Image());
    EXPECT_EQ(form.paints, 1);

    // Leaving the window is a move to (-1, -1): the hot button rests again.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&form, &leave);
    EXPECT_EQ(form.moves.back(), QPoint(-1, -1));
    EXPECT_TRUE(skintest::ShowsFace(*form.Canvas(), picture, skin::faceNormal, 20, 10));
    EXPECT_EQ(testsupport::ShownCursor(), Qt::ArrowCursor);
}

TEST(SkinForm, AHotButtonRestsWhenThePointerMovesOntoAChildWidget) {
    TestForm form;
    // A child that takes the pointer's moves for itself, as a page or an edit does.
    QWidget child(&form);
    child.setGeometry(90, 0, 30, 60);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QImage picture = skin::LoadSkinPicture(QStringLiteral("NORMAL_BTN"));

    // Through the window system, so that the widget under the pointer gets the move and its enter.
    QTest::mouseMove(form.windowHandle(), QPoint(25, 12));
    ASSERT_EQ(form.buttons.HotId(), 0);
    ASSERT_EQ(testsupport::ShownCursor(), Qt::PointingHandCursor);
    QTest::mouseMove(form.windowHandle(), QPoint(100, 30));
    EXPECT_EQ(form.buttons.HotId(), -1);
    EXPECT_TRUE(skintest::ShowsFace(*form.Canvas(), picture, skin::faceNormal, 20, 10));
    EXPECT_EQ(testsupport::ShownCursor(), Qt::ArrowCursor);

    // Back on the button from the child: hot again.
    QTest::mouseMove(form.windowHandle(), QPoint(30, 14));
    EXPECT_EQ(form.buttons.HotId(), 0);
    QTest::mouseMove(form.windowHandle(), QPoint(100, 40));
    EXPECT_EQ(form.buttons.HotId(), -1);
}

TEST(SkinForm, MouseButtonsReachTheFormInClientCoordinates) {
    TestForm form;
    testsupport::MousePress(&form, QPoint(7, 8));
    testsupport::MouseRelease(&form, QPoint(70, 50));
    ASSERT_EQ(form.downs.size(), 1u);
    ASSERT_EQ(form.ups.size(), 1u);
    EXPECT_EQ(form.downs[0], QPoint(7, 8));
    EXPECT_EQ(form.ups[0], QPoint(70, 50));
    EXPECT_TRUE(form.hasMouseTracking()) << "moves arrive without a button held";
}

TEST(SkinForm, RepaintNowPaintsAtOnceEvenWhileHidden) {
    TestForm form;
    skintest::Fill(*form.Canvas(), Qt::red);
    form.RepaintNow();
    EXPECT_EQ(form.paints, 1);
    EXPECT_EQ(form.Canvas()->Pixel(5, 5), GROUND);
    Shown(form);
    EXPECT_EQ(form.paints, 1);
}

TEST(Animate, PlaysTwentySevenFramesAtTenPerSecondAndRepeats) {
    skin::TAnimate animate;
    EXPECT_EQ(animate.FrameCount(), 27);
    EXPECT_EQ(animate.size(), QSize(387, 296));
    EXPECT_FALSE(animate.Active());
    EXPECT_EQ(animate.CurrentFrame(), 0);
    EXPECT_EQ(Shown(animate), skin::LoadWelcomeClip()[0]);

    auto* timer = animate.findChild<QTimer*>();
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 100);
    // Run the clip fast and watch the frames go round once and on.
    timer->setInterval(1);
    std::vector<int> seen;
    QObject::connect(timer, &QTimer::timeout, [&] { seen.push_back(animate.CurrentFrame()); });
    animate.SetActive(true);
    EXPECT_TRUE(animate.Active());
    ASSERT_TRUE(QTest::qWaitFor([&seen] { return seen.size() >= 29; }, 5000));
    animate.SetActive(false);
    for (size_t i = 0; i < 29; ++i) {
        EXPECT_EQ(seen[i], static_cast<int>((i + 1) % 27)) << i;
    }
    EXPECT_FALSE(animate.Active());
    const int still = animate.CurrentFrame();
    QApplication::processEvents();
    EXPECT_EQ(animate.CurrentFrame(), still);
    EXPECT_EQ(Shown(animate), skin::LoadWelcomeClip()[static_cast<size_t>(still)]);
    animate.SetActive(true);
    animate.SetActive(true);
    EXPECT_TRUE(animate.Active());
}

} // namespace
