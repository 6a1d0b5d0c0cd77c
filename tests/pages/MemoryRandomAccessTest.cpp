#include "tests/pages/MemoryBoardHarness.h"
#include "tests/support/Screenshots.h"

namespace {

using memorytest::BoardPageTest;

const QColor YELLOW(255, 246, 0);
const QColor GREEN(0, 128, 0);
const QColor RED(255, 0, 0);

TEST_F(BoardPageTest, ActivationEnablesEveryButtonButEraseAndDeactivationDisablesThem) {
    ASSERT_TRUE(connected);
    ASSERT_FALSE(harness.status.lines.empty());
    EXPECT_EQ(harness.status.Last().text, "");
    EXPECT_EQ(harness.status.Last().colour, GREEN);
    for (int id : {0, 1, 3, 4})
        EXPECT_TRUE(harness.page->Buttons()->FindById(id)->GetEnabled()) << id;
    EXPECT_FALSE(harness.page->Buttons()->FindById(2)->GetEnabled());
    EXPECT_EQ(harness.page->Buttons()->FindById(2)->GetCaption(), "Chip Erase (70 sec)");

    harness.page->Deactivate();
    for (int id = 0; id < 5; ++id)
        EXPECT_FALSE(harness.page->Buttons()->FindById(id)->GetEnabled()) << id;
}

TEST_F(BoardPageTest, RandomWriteAndReadReachTheWordAtTheLastAddress) {
    ASSERT_TRUE(connected);
    harness.page->EditMemRdmAddr->setText("1FFFFFF");
    harness.page->EditMemRdmWrite->setText("ABCD");
    harness.Click(1);
    EXPECT_EQ(vboard.Control("mem read 3FFFFFE 2"), "ok CDAB");
    ASSERT_GE(harness.status.lines.size(), 2u);
    EXPECT_EQ(harness.status.lines[harness.status.lines.size() - 2].text, "SDRAM Random Write...");
    EXPECT_EQ(harness.status.lines[harness.status.lines.size() - 2].colour, YELLOW);
    EXPECT_EQ(harness.status.Last().text, "SDRAM Random Write Success");
    EXPECT_EQ(harness.status.Last().colour, GREEN);

    ASSERT_EQ(vboard.Control("mem write 3FFFFFE 3412").rfind("ok", 0), 0u);
    harness.Click(0);
    EXPECT_EQ(harness.page->EditMemRdmRead->text(), "1234");
    EXPECT_EQ(harness.status.Last().text, "SDRAM Random Read Success");
    EXPECT_TRUE(harness.notes.messages.empty());
    EXPECT_TRUE(harness.page->Buttons()->FindById(1)->GetEnabled()) << "enabled again after the action";
}

TEST_F(BoardPageTest, AnAddressPastTheEndIsRefusedBeforeTheBoardIsAsked) {
    ASSERT_TRUE(connected);
    harness.page->EditMemRdmAddr->setText("2000000");
    harness.page->EditMemRdmWrite->setText("ABCD");
    harness.Click(1);
    EXPECT_EQ(harness.Boxes(), std::vector<std::string>{"The input value(2000000) for the field 'Address' is "
                                                        "expected to less or equal to 1FFFFFFh."});
    EXPECT_EQ(harness.status.Last().text, "SDRAM Random Write Fail");
    EXPECT_EQ(harness.status.Last().colour, RED);
    EXPECT_EQ(vboard.Control("mem read 0 2"), "ok 0000") << "the address did not wrap to 0";
}

TEST_F(BoardPageTest, ALostLinkFailsRandomReadWithoutABoxOrBoardError) {
    ASSERT_TRUE(connected);
    harness.page->EditMemRdmRead->setText("5A5A");
    vboard.Control("fault drop");
    harness.Click(0);
    EXPECT_EQ(harness.status.Last().text, "SDRAM Random Read Fail");
    EXPECT_EQ(harness.status.Last().colour, RED);
    EXPECT_EQ(harness.page->EditMemRdmRead->text(), "5A5A");
    EXPECT_TRUE(harness.notes.messages.empty());
    EXPECT_TRUE(harness.boardErrors.empty());
}

TEST_F(BoardPageTest, ALostLinkFailsRandomWriteWithoutABoxOrBoardError) {
    ASSERT_TRUE(connected);
    harness.page->EditMemRdmAddr->setText("10");
    harness.page->EditMemRdmWrite->setText("BEEF");
    vboard.Control("fault drop");
    harness.Click(1);
    EXPECT_EQ(harness.status.Last().text, "SDRAM Random Write Fail");
    EXPECT_EQ(harness.status.Last().colour, RED);
    EXPECT_TRUE(harness.notes.messages.empty());
    EXPECT_TRUE(harness.boardErrors.empty());
    EXPECT_EQ(vboard.Control("mem read 20 2"), "ok 0000");
    EXPECT_TRUE(harness.page->Buttons()->FindById(1)->GetEnabled()) << "the page stays usable";
}

TEST_F(BoardPageTest, Screenshot) {
    harness.page->EditMemRdmAddr->setText("1FFFFFF");
    harness.page->EditMemRdmRead->setText("ABCD");
    const QImage shot = harness.page->grab().toImage();
    ASSERT_EQ(shot.size(), QSize(387, 276));
    EXPECT_TRUE(shot.save(testsupport::ScreenshotPath("memory")));
}

} // namespace
