#include "shell/StatusInfo.h"
#include "pages/Unitsdcard.h"
#include "tests/pages/PageHarness.h"

namespace {

const char* const ACCESS_FAILED = "Failed to access SDCARD.";

class SdcardPageTest : public pagetest::PageHarness {
protected:
    SdcardPageTest() {
        Watch(page);
        host.show();
    }

    void ClickRead() { Click(page, 288 + 32, 226 + 8); }
    void ExpectValuesEmpty() {
        EXPECT_EQ(page.LabelSDCARD_CID->text(), "");
        EXPECT_EQ(page.LabelSDCARD_CSD->text(), "");
        EXPECT_EQ(page.LabelSDCARD_FAT->text(), "");
    }
    void ExpectLastStatus(const QString& text, const QColor& colour) {
        ASSERT_FALSE(status.empty());
        EXPECT_EQ(status.back().text, text);
        EXPECT_EQ(status.back().colour, colour);
    }

    TFormSDCARD page{&host};
};

TEST_F(SdcardPageTest, BuiltWithHeadingsEmptyValuesAndReadDisabled) {
    EXPECT_EQ(page.LabelCID->text(), "Card Identification");
    EXPECT_EQ(page.LabelCSD->text(), "Card Specific Data");
    EXPECT_EQ(page.LabelFAT->text(), "File System:");
    EXPECT_EQ(page.LabelSDCARD_CSD->geometry(), QRect(32, 132, 272, 89));
    EXPECT_TRUE(page.LabelSDCARD_CID->wordWrap());
    ExpectValuesEmpty();
    EXPECT_FALSE(page.ReadEnabled());
    EXPECT_TRUE(page.ButtonSDCARD->isHidden());
    ClickRead();
    EXPECT_TRUE(status.empty());
    EXPECT_TRUE(notes.messages.empty());
}

TEST_F(SdcardPageTest, ActivationFollowsTheLink) {
    board.Disconnect();
    page.Activate(board);
    EXPECT_FALSE(page.ReadEnabled());
    ASSERT_EQ(status.size(), 1u);
    EXPECT_EQ(status[0].text, "");
    EXPECT_EQ(status[0].colour, statuscolour::GREEN);
}

TEST_F(SdcardPageTest, ReadShowsTheReportsOfEachCard) {
    page.Activate(board);
    ASSERT_TRUE(page.ReadEnabled());

    ASSERT_EQ(Control("sd sdsc").substr(0, 2), "ok");
    ClickRead();
    EXPECT_TRUE(page.LabelSDCARD_CSD->text().startsWith("-CSD Version 1.0\n"));
    EXPECT_TRUE(page.LabelSDCARD_CID->text().startsWith("-Manufacturer ID:"));
    EXPECT_EQ(page.LabelSDCARD_FAT->text(), "FAT16");
    ExpectLastStatus("Read SDCARD read successfully", statuscolour::GREEN);
    EXPECT_TRUE(page.ReadEnabled());

    Control("sd unformatted");
    ClickRead();
    EXPECT_EQ(page.LabelSDCARD_FAT->text(), "NA");

    Control("sd sdhc");
    ClickRead();
    EXPECT_TRUE(page.LabelSDCARD_CSD->text().startsWith("-CSD Version 2.0\n"));
    EXPECT_EQ(page.LabelSDCARD_FAT->text(), "FAT32");
    EXPECT_TRUE(notes.messages.empty());
    EXPECT_EQ(boardErrors, 0);
    SaveScreenshot(page, "sdcard");

    // The report stays through a deactivation.
    page.Deactivate();
    EXPECT_FALSE(page.ReadEnabled());
    page.Activate(board);
    EXPECT_EQ(page.LabelSDCARD_FAT->text(), "FAT32");
}

TEST_F(SdcardPageTest, NoCardWarnsAndKeepsTheLink) {
    page.Activate(board);
    ClickRead();
    ASSERT_EQ(page.LabelSDCARD_FAT->text(), "FAT32");

    Control("sd none");
    ClickRead();
    ExpectValuesEmpty();
    ExpectLastStatus(ACCESS_FAILED, statuscolour::RED);
    ASSERT_EQ(notes.messages.size(), 1u);
    EXPECT_EQ(notes.messages[0].kind, platform::MessageKind::Warning);
    EXPECT_EQ(notes.messages[0].text, "Failed to access the SDCARD.\nPlease make sure a SDCARD is pluged into the "
                                      "Cyclone V Vantrel Board.");
    EXPECT_EQ(boardErrors, 0);
    EXPECT_TRUE(board.IsConnected());
    EXPECT_TRUE(page.ReadEnabled());

    Control("sd sdsc");
    ClickRead();
    EXPECT_EQ(page.LabelSDCARD_FAT->text(), "FAT16");
}

TEST_F(SdcardPageTest, LinkFailureEmptiesReportsAndRaisesBoardError) {
    page.Activate(board);
    ClickRead();
    ASSERT_EQ(page.LabelSDCARD_FAT->text(), "FAT32");

    ASSERT_EQ(Control("fault drop").substr(0, 2), "ok");
    ClickRead();
    ExpectValuesEmpty();
    ExpectLastStatus(ACCESS_FAILED, statuscolour::RED);
    ASSERT_EQ(notes.messages.size(), 1u);
    EXPECT_EQ(notes.messages[0].kind, platform::MessageKind::Error);
    EXPECT_EQ(notes.messages[0].text, ACCESS_FAILED);
    EXPECT_EQ(boardErrors, 1);
    EXPECT_EQ(errorSender, &page);
    EXPECT_TRUE(page.ReadEnabled());
}

// The page stays active with Read enabled after the link is closed; a Read then must not reach for
// the link, and reports the failure as a link failure.
TEST_F(SdcardPageTest, ReadAfterLinkLossTouchesNoLink) {
    page.Activate(board);
    Control("fault drop");
    ClickRead();
    ASSERT_EQ(boardErrors, 1);
    ASSERT_FALSE(board.IsConnected());
    const int beeps = notes.beeps;

    ClickRead();
    EXPECT_EQ(boardErrors, 2);
    EXPECT_EQ(notes.beeps, beeps);
    ASSERT_EQ(notes.messages.size(), 2u);
    EXPECT_EQ(notes.messages[1].kind, platform::MessageKind::Error);
    ExpectLastStatus(ACCESS_FAILED, statuscolour::RED);
    ExpectValuesEmpty();
}

} // namespace
