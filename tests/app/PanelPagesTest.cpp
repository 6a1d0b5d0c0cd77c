// Each page driven through the real main window: tab click, then clicks on the page. Every test runs
// with our virtual editions of the maker's libraries and again with the hardware editions (through the
// Quartus stand-ins), which must serve the pages alike.
#include "pages/UnitMemory.h"
#include "pages/UnitVGA.h"
#include "pages/Unitbutton.h"
#include "pages/Unitsdcard.h"
#include "pages/Unitseg7.h"
#include "tests/support/PanelFixture.h"

#include <QTest>

namespace {

using testsupport::Editions;

class PanelPagesTest : public testsupport::PanelFixture, public ::testing::WithParamInterface<Editions> {
protected:
    PanelPagesTest() : PanelFixture(GetParam()) {}

    void SetUp() override {
        PanelFixture::SetUp();
        ASSERT_TRUE(Connect());
    }

    template <class Page> Page& Shown(int index) {
        if (form->CurrentPage() != index)
            ClickTab(index);
        EXPECT_EQ(form->CurrentPage(), index);
        return *dynamic_cast<Page*>(form->Page(index));
    }
    QString Info() const { return form->LabelInfo->text(); }
};

INSTANTIATE_TEST_SUITE_P(Editions, PanelPagesTest, ::testing::Values(Editions::Virtual, Editions::Hardware),
                         testsupport::EditionsName);

TEST_P(PanelPagesTest, LedPageLightsTheBoard) {
    QWidget* page = form->Page(0);
    ASSERT_TRUE(page->isVisible());
    ClickAt(page, 250, 251); // Unlight All
    EXPECT_EQ(BoardState("leds"), "0x000");
    ClickAt(page, 343, 133); // lamp 0
    ClickAt(page, 46, 133);  // lamp 9
    EXPECT_EQ(BoardState("leds"), "0x201");

    board->Control("fault drop");
    ClickAt(page, 145, 133); // lamp 6
    EXPECT_FALSE(form->Board().IsConnected());
    EXPECT_EQ(form->LabelConnectStatus->text(), "Disconnected");
}

TEST_P(PanelPagesTest, Seg7PageStepsADigit) {
    auto& page = Shown<TFormSeg7>(1);
    ClickAt(&page, 330 + 10, 178); // HEX0 up
    EXPECT_EQ(board->Number("hex"), 0x888889u);
    ClickAt(&page, 55 - 22 + 10, 178); // HEX5 down
    EXPECT_EQ(board->Number("hex"), 0x788889u);
}

TEST_P(PanelPagesTest, SwitchesPageFollowsTheBoard) {
    auto& page = Shown<TFormButton>(2);
    EXPECT_EQ(Info(), "Monitor Switches and Pushbuttons...");
    board->Control("switch 4 on");
    board->Control("key 1 down");
    EXPECT_TRUE(QTest::qWaitFor([&] { return page.m_nInputs == 0x0102u; }, 3000));
    ClickTab(0);
    EXPECT_FALSE(page.TimerPolling->isActive());
}

TEST_P(PanelPagesTest, MemoryPageWritesAndReadsAWord) {
    auto& page = Shown<TFormMemory>(3);
    const auto click = [&](int id) {
        const skin::TCustomButton* button = page.Buttons()->FindById(id);
        ClickAt(&page, button->GetLeft() + button->GetWidth() / 2, button->GetTop() + button->GetHeight() / 2);
    };
    page.EditMemRdmAddr->setText("1FFFFFF");
    page.EditMemRdmWrite->setText("ABCD");
    click(1); // Random Write
    EXPECT_EQ(board->Control("mem read 3FFFFFE 2"), "ok CDAB");
    EXPECT_EQ(Info(), "SDRAM Random Write Success");

    board->Control("mem write 3FFFFFE 3412");
    click(0); // Random Read
    EXPECT_EQ(page.EditMemRdmRead->text(), "1234");
    EXPECT_EQ(Info(), "SDRAM Random Read Success");
}

TEST_P(PanelPagesTest, SdcardPageReadsTheCard) {
    auto& page = Shown<TFormSDCARD>(4);
    ClickAt(&page, 320, 234);
    EXPECT_EQ(Info(), "Read SDCARD read successfully");
    EXPECT_EQ(page.LabelSDCARD_FAT->text(), "FAT32");
}

TEST_P(PanelPagesTest, VgaPageSendsOnShowAndOnChoice) {
    auto& page = Shown<TFormVGA>(5);
    EXPECT_EQ(BoardState("vga"), "0");
    EXPECT_EQ(Info(), "Set VGA-OUT Success");
    page.ComboBoxVGA->setCurrentIndex(3);
    EXPECT_EQ(BoardState("vga"), "3");
    SaveScreenshot("panel-vga");
}

} // namespace
