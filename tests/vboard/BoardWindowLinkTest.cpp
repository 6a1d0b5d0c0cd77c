// The board window beside a running link: the panel's board object drives the board through our
// VELDARA_JTAG.DLL while the window shows it, and reads what a person does in the window.
#include "board/Board.h"
#include "tests/support/Recorders.h"
#include "tests/support/VBoardProcess.h"
#include "tests/vboard/WindowFixture.h"
#include "vboard/LinkService.h"
#include "vboard/window/BoardLayout.h"

using vboardtest::At;
using vboardtest::WindowFixture;
namespace layout = vboard::layout;

namespace {

struct BoardWindowLinkTest : WindowFixture {
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(service.Start(error)) << error;
        ASSERT_EQ(Control("configure QX7MB_ControlPanel.sof"), "ok configured QX7MB_ControlPanel");
        ASSERT_TRUE(link.Connect(error, 0)) << error;
    }

    testsupport::TempFolder folder;
    testsupport::ScopedEnv env{"QX7MB_VBOARD", folder.Path().c_str()};
    vboard::LinkService service{board, folder.Path()};
    testsupport::NotifyRecorder notes;
    TBoard link;
};

// The board's replies come from the link's own thread while this (the window's) thread waits in the
// exchange, so the window's refreshes never stand in the link's way.
TEST_F(BoardWindowLinkTest, LedsAndDigitsFromTheLinkLightTheWindow) {
    EXPECT_TRUE(WaitFor([&] { return window.View()->State().linkOpen; }));
    ASSERT_TRUE(link.SetLeds(0x0F0));
    ASSERT_TRUE(link.SetSevenSegment(0x888889, 0));
    ASSERT_TRUE(WaitFor([&] { return At(Picture(), layout::Led(4).center()) == QColor(255, 36, 36); }));
    const QImage picture = Picture();
    EXPECT_EQ(At(picture, layout::Led(7).center()), QColor(255, 36, 36));
    EXPECT_EQ(At(picture, layout::Led(3).center()), QColor(70, 18, 18));
    EXPECT_EQ(At(picture, layout::Led(8).center()), QColor(70, 18, 18));
    // HEX0 shows 9: its lower left segment is dark; HEX1 shows 8: lit.
    const QPoint lowerLeft(6, 40);
    EXPECT_LT(At(picture, layout::Digit(0).topLeft() + lowerLeft).red(), 100);
    EXPECT_GT(At(picture, layout::Digit(1).topLeft() + lowerLeft).red(), 200);

    bool accepted = false;
    ASSERT_TRUE(link.SendControl(accepted, 4, 2, 3));
    EXPECT_TRUE(accepted);
    EXPECT_TRUE(WaitFor([&] { return At(Picture(), layout::Screen().center()) == QColor(0, 0, 255); }));
    SaveScreenshot("running");
}

TEST_F(BoardWindowLinkTest, TheFirmwareReadsWhatIsDoneInTheWindow) {
    QTest::mouseClick(window.View(), Qt::LeftButton, {}, layout::Switch(0).center());
    QTest::mousePress(window.View(), Qt::LeftButton, {}, layout::Key(0).center());
    uint32_t inputs = 0;
    ASSERT_TRUE(link.ReadKeysAndSwitches(inputs));
    EXPECT_EQ(inputs, 0x0011u);
    QTest::mouseRelease(window.View(), Qt::LeftButton, {}, layout::Key(0).center());
    ASSERT_TRUE(link.ReadKeysAndSwitches(inputs));
    EXPECT_EQ(inputs, 0x0010u);
}

TEST_F(BoardWindowLinkTest, ADroppedLinkShowsClosed) {
    EXPECT_TRUE(WaitFor([&] { return window.View()->State().linkOpen; }));
    Control("fault drop");
    EXPECT_TRUE(WaitFor([&] { return !window.View()->State().linkOpen; }));
}

// A headless board needs no display: with nothing in the environment that names one, it serves.
TEST(HeadlessBoardTest, ServesWithoutADisplay) {
    testsupport::ScopedEnv display("DISPLAY", nullptr);
    testsupport::ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    testsupport::ScopedEnv platform("QT_QPA_PLATFORM", nullptr);
    testsupport::VBoardProcess server;
    EXPECT_EQ(server.Field("configured"), "1");
    EXPECT_EQ(server.Control("switch 1 on"), "ok switch 1 on");
}

} // namespace
