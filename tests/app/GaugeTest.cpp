// The connection gauge: a time-based estimate that never passes its end value.
#include "tests/support/FakeClock.h"
#include "tests/support/PanelFixture.h"

using testsupport::FakeClock;
using testsupport::PanelFixture;

namespace {

class GaugeTest : public PanelFixture {
protected:
    int StepAt(uint32_t now) {
        clock.Set(now);
        form->TimerProgressTimer();
        return form->CGaugeConfig->value();
    }

    FakeClock clock{1000};
};

} // namespace

TEST_F(GaugeTest, TheProbeEstimateGrowsWithTimeUpToFive) {
    form->StartProgress(5000, 0, 5);
    EXPECT_TRUE(form->CGaugeConfig->isVisible());
    EXPECT_EQ(form->CGaugeConfig->value(), 0);
    EXPECT_EQ(form->TimerProgress->interval(), 50);
    EXPECT_TRUE(form->TimerProgress->isActive());

    EXPECT_EQ(StepAt(1000 + 999), 0);
    EXPECT_EQ(StepAt(1000 + 2000), 2);
    EXPECT_EQ(StepAt(1000 + 5000), 5);
    EXPECT_EQ(StepAt(1000 + 60000), 5);
    EXPECT_EQ(StepAt(1000 + 4000000000u), 5);
    EXPECT_TRUE(form->TimerProgress->isActive()) << "each step starts the timer again";
}

TEST_F(GaugeTest, TheConfigurationEstimateRunsFromFiveToNinetyFiveAndStartsAtZero) {
    form->StartProgress(5000, 0, 5);
    StepAt(1000 + 5000);
    clock.Set(20000);
    form->StartProgress(10000, 5, 95);
    EXPECT_EQ(form->CGaugeConfig->value(), 0);
    EXPECT_EQ(form->TimerProgress->interval(), 100);
    EXPECT_EQ(StepAt(20000), 5);
    EXPECT_EQ(StepAt(25000), 50);
    EXPECT_EQ(StepAt(30000), 95);
    EXPECT_EQ(StepAt(90000), 95);
}

TEST_F(GaugeTest, TheEstimateSurvivesTheTickCounterWrapping) {
    clock.Set(0xFFFFF000u);
    form->StartProgress(10000, 5, 95);
    EXPECT_EQ(StepAt(0xFFFFF000u + 5000), 50) << "4096 ms before the wrap and 904 after it";
    EXPECT_EQ(StepAt(0xFFFFF000u + 20000), 95);
}

TEST_F(GaugeTest, HoldKeepsTheGaugeStillAndStopHidesIt) {
    form->StartProgress(10000, 5, 95);
    StepAt(1000 + 2000);
    form->HoldProgress();
    EXPECT_FALSE(form->TimerProgress->isActive());
    EXPECT_TRUE(form->CGaugeConfig->isVisible());
    EXPECT_EQ(form->CGaugeConfig->value(), 23);
    form->StopProgress();
    EXPECT_FALSE(form->TimerProgress->isActive());
    EXPECT_FALSE(form->CGaugeConfig->isVisible());
}

TEST_F(GaugeTest, AnEstimateOfNoLengthStandsAtItsEnd) {
    form->StartProgress(0, 5, 95);
    EXPECT_EQ(StepAt(1000), 95);
}
