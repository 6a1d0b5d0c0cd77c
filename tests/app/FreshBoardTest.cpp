// The connection workflow against a freshly powered board: nothing answers until the FPGA is
// configured. Each such attempt waits out the name query's time limit once; the substitute clock
// moves on with every reading, so that the limit passes after a known number of reads of the link.
// Every test runs with our virtual editions of the maker's libraries and again with the hardware
// editions (through the Quartus stand-ins).
#include "pages/PageForm.h"
#include "tests/support/FakeClock.h"
#include "tests/support/PanelFixture.h"

using testsupport::Editions;
using testsupport::PanelFixture;

namespace {

class FreshBoardTest : public PanelFixture, public ::testing::WithParamInterface<Editions> {
protected:
    FreshBoardTest() : PanelFixture(GetParam()) {}

    std::vector<std::string> BoardOptions() const override { return {}; }

    // 2 ms a reading: a 3000 ms limit is 1500 reads of the link, each waiting briefly for bytes, so
    // that an answer has time to arrive once the firmware runs.
    testsupport::FakeClock clock{0, 2};
};

INSTANTIATE_TEST_SUITE_P(Editions, FreshBoardTest, ::testing::Values(Editions::Virtual, Editions::Hardware),
                         testsupport::EditionsName);

} // namespace

TEST_P(FreshBoardTest, IsConfiguredQuietlyAndConnectedOnTheLedPage) {
    ASSERT_EQ(BoardState("configured"), "0");
    ASSERT_TRUE(Connect());
    EXPECT_TRUE(notes.messages.empty());
    EXPECT_EQ(BoardState("configured"), "1");
    EXPECT_EQ(BoardState("link"), "open");
    EXPECT_EQ(form->LabelConnectStatus->text(), "Connected");
    EXPECT_EQ(form->LabelConnectStatus->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    EXPECT_TRUE(form->LabelInfo->text().isEmpty());
    EXPECT_EQ(form->CurrentPage(), 0);
    EXPECT_TRUE(form->Page(0)->isVisible());
    EXPECT_TRUE(form->Page(0)->IsActive());
    EXPECT_TRUE(form->TabButtons()->IsChecked(0));
    EXPECT_FALSE(form->CGaugeConfig->isVisible());

    // The reopened link carries the firmware's answers.
    std::string name;
    EXPECT_TRUE(form->Board().QueryBoardName(name));
    EXPECT_EQ(name, "TZ8");
}

TEST_P(FreshBoardTest, AFailedSecondProbeShowsItsBoxAndEndsDisconnected) {
    // The bitstream is accepted, but the firmware stays silent.
    board->Control("fault silent on");
    EXPECT_FALSE(Connect());
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Failed to query board name."});
    EXPECT_EQ(BoardState("link"), "closed");
    EXPECT_EQ(form->LabelConnectStatus->text(), "Disconnected");
    EXPECT_EQ(form->LabelInfo->text(), "Failed to query board name.");
    EXPECT_EQ(form->CurrentPage(), TFormMain::WELCOME_PAGE);
}
