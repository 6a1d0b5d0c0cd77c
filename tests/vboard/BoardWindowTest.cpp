// The board window's controls: mouse on keys and switches, the SD card and fault menus, and the
// window following changes made on the control socket.
#include "tests/vboard/WindowFixture.h"
#include "vboard/window/BoardLayout.h"

#include <QAction>
#include <QMenu>

using vboardtest::At;
using vboardtest::WindowFixture;
namespace layout = vboard::layout;

namespace {

QAction* FindAction(QMenu* menu, const QString& start) {
    for (QAction* action : menu->actions()) {
        if (action->menu() != nullptr) {
            if (QAction* inner = FindAction(action->menu(), start))
                return inner;
        }
        if (action->text().remove(QLatin1Char('&')).startsWith(start))
            return action;
    }
    return nullptr;
}

// A point on a switch's lever when it stands up (off): bright metal there when off, the dark slot
// when on.
QPoint LeverTop(int j) {
    return layout::Switch(j).topLeft() + QPoint(9, 15);
}

struct BoardWindowTest : WindowFixture {
    QWidget* View() { return window.View(); }
    uint32_t Keys() { return board.Snapshot().keys; }
};

TEST_F(BoardWindowTest, AClickFlipsASwitchOnTheBoard) {
    QTest::mouseClick(View(), Qt::LeftButton, {}, layout::Switch(3).center());
    EXPECT_EQ(Field("switches"), "0x008");
    QTest::mouseClick(View(), Qt::LeftButton, {}, layout::Switch(9).center());
    EXPECT_EQ(Field("switches"), "0x208");
    EXPECT_LT(At(Picture(), LeverTop(3)).lightness(), 40);
    EXPECT_GT(At(Picture(), LeverTop(2)).lightness(), 150);

    QTest::mouseClick(View(), Qt::LeftButton, {}, layout::Switch(3).center());
    EXPECT_EQ(Field("switches"), "0x200");
    EXPECT_GT(At(Picture(), LeverTop(3)).lightness(), 150);
}

TEST_F(BoardWindowTest, AKeyIsDownWhileTheMouseHoldsIt) {
    QTest::mousePress(View(), Qt::LeftButton, {}, layout::Key(2).center());
    EXPECT_EQ(Keys(), 0x4u);
    EXPECT_EQ(Field("keys"), "0x4");
    // Let go away from the key: it comes up all the same.
    QTest::mouseRelease(View(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(Keys(), 0u);

    QTest::mousePress(View(), Qt::LeftButton, {}, layout::Key(0).center());
    EXPECT_EQ(Keys(), 0x1u);
    QTest::mouseRelease(View(), Qt::LeftButton, {}, layout::Key(0).center());
    EXPECT_EQ(Field("keys"), "0x0");
}

TEST_F(BoardWindowTest, OnlyLeftClicksOnThePartsChangeTheBoard) {
    const std::string before = Control("state");
    QTest::mouseClick(View(), Qt::LeftButton, {}, layout::Chip().center());
    QTest::mouseClick(View(), Qt::LeftButton, {}, layout::Screen().center());
    QTest::mouseClick(View(), Qt::RightButton, {}, layout::Switch(0).center());
    QTest::mousePress(View(), Qt::RightButton, {}, layout::Key(1).center());
    QTest::mouseRelease(View(), Qt::RightButton, {}, layout::Key(1).center());
    EXPECT_EQ(Control("state"), before);

    // The view does take clicks: the left button on the same switch and key.
    QTest::mouseClick(View(), Qt::LeftButton, {}, layout::Switch(0).center());
    EXPECT_EQ(Field("switches"), "0x001");
    QTest::mousePress(View(), Qt::LeftButton, {}, layout::Key(1).center());
    EXPECT_EQ(Field("keys"), "0x2");
    QTest::mouseRelease(View(), Qt::LeftButton, {}, layout::Key(1).center());
}

TEST_F(BoardWindowTest, ChangesOnTheControlSocketShowAtOnce) {
    Control("switch 5 on");
    Control("key 3 down");
    EXPECT_TRUE(WaitFor([&] { return window.View()->State().switches == 0x20 && window.View()->State().keys == 0x8; }));
    EXPECT_LT(At(Picture(), LeverTop(5)).lightness(), 40);

    Control("sd unformatted");
    EXPECT_TRUE(WaitFor([&] { return FindAction(window.SdMenu(), "Unformatted")->isChecked(); }));
    EXPECT_FALSE(FindAction(window.SdMenu(), "SDHC")->isChecked());

    Control("fault silent on");
    Control("fault delay 1000");
    EXPECT_TRUE(WaitFor([&] { return FindAction(window.FaultMenu(), "Answer nothing")->isChecked(); }));
    EXPECT_TRUE(FindAction(window.FaultMenu(), "1000 ms")->isChecked());
    EXPECT_EQ(window.FaultText(), "Faults: answers nothing, replies 1000 ms late");
    Control("fault clear");
    EXPECT_TRUE(WaitFor([&] { return !FindAction(window.FaultMenu(), "Answer nothing")->isChecked(); }));
    EXPECT_TRUE(FindAction(window.FaultMenu(), "No delay")->isChecked());
    EXPECT_EQ(window.FaultText(), "No faults");

    Control("fault sdram stuck 5 1");
    Control("fault sdram alias 20");
    EXPECT_TRUE(WaitFor([&] { return window.FaultText().contains("address"); }));
    EXPECT_EQ(window.FaultText(), "Faults: SDRAM data bit 5 stuck at 1, SDRAM address bit 20 ignored");
}

TEST_F(BoardWindowTest, TheSdMenuInsertsAndRemovesCards) {
    EXPECT_EQ(Field("sd"), "sdhc");
    EXPECT_TRUE(FindAction(window.SdMenu(), "SDHC")->isChecked());
    const QPoint cardFace = layout::SdSlot().center() + QPoint(0, 10);
    EXPECT_EQ(At(Picture(), cardFace), QColor(40, 70, 160));

    // A click on the slot opens the same menu.
    QTest::mouseClick(View(), Qt::LeftButton, {}, layout::SdSlot().center());
    EXPECT_TRUE(WaitFor([&] { return window.SdMenu()->isVisible(); }));
    window.SdMenu()->close();
    EXPECT_EQ(Field("sd"), "sdhc");

    FindAction(window.SdMenu(), "SDSC")->trigger();
    EXPECT_EQ(Field("sd"), "sdsc");
    FindAction(window.SdMenu(), "No card")->trigger();
    EXPECT_EQ(Field("sd"), "none");
    EXPECT_TRUE(FindAction(window.SdMenu(), "No card")->isChecked());
    EXPECT_GT(At(Picture(), cardFace).red(), 120);
    SaveScreenshot("no-card");
    FindAction(window.SdMenu(), "Unformatted")->trigger();
    EXPECT_EQ(Field("sd"), "unformatted");
}

TEST_F(BoardWindowTest, TheFaultMenuSetsAndClearsFaults) {
    FindAction(window.FaultMenu(), "Answer nothing")->trigger();
    FindAction(window.FaultMenu(), "5000 ms")->trigger();
    FindAction(window.FaultMenu(), "Refuse the VGA")->trigger();
    FindAction(window.FaultMenu(), "64 stale bytes")->trigger();
    vboard::Faults faults;
    board.Inspect([&](const vboard::Firmware& f) { faults = f.faults; });
    EXPECT_TRUE(faults.silent);
    EXPECT_EQ(faults.delayMs, 5000u);
    EXPECT_TRUE(faults.refuseVgaProbe);
    EXPECT_EQ(faults.floodBytes, 64u);

    FindAction(window.FaultMenu(), "Answer nothing")->trigger();
    board.Inspect([&](const vboard::Firmware& f) { faults = f.faults; });
    EXPECT_FALSE(faults.silent);
    EXPECT_TRUE(faults.refuseVgaProbe);

    FindAction(window.FaultMenu(), "Clear every fault")->trigger();
    board.Inspect([&](const vboard::Firmware& f) { faults = f.faults; });
    EXPECT_FALSE(faults.refuseVgaProbe);
    EXPECT_EQ(faults.delayMs, 0u);
    EXPECT_EQ(faults.floodBytes, 0u);
    EXPECT_FALSE(FindAction(window.FaultMenu(), "Refuse the VGA")->isChecked());
}

} // namespace
