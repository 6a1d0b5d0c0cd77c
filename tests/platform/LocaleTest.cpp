#include "platform/Locale.h"

#include "tests/support/Recorders.h"

#include <gtest/gtest.h>
#include <limits>

using testsupport::ScopedEnv;

namespace {

struct PointLocaleTest : ::testing::Test {
    ScopedEnv locale{"LC_ALL", "C"};
};

TEST_F(PointLocaleTest, WholeTextsConvert) {
    EXPECT_EQ(platform::DecimalSeparator(), ".");
    const std::pair<const char*, double> cases[] = {
        {"13.1", 13.1}, {"15", 15.0},  {" 13.1\t", 13.1}, {"-0.5", -0.5},    {"+2", 2.0},
        {".5", 0.5},    {"13.", 13.0}, {"1e3", 1000.0},   {"1.5E-2", 0.015}, {"007", 7.0},
    };
    for (const auto& [text, expected] : cases) {
        double value = -1.0;
        EXPECT_TRUE(platform::TextToFloat(text, value)) << text;
        EXPECT_EQ(value, expected) << text;
    }
}

TEST_F(PointLocaleTest, AnythingElseDoesNotConvertAndLeavesTheOutputAlone) {
    for (const char* text : {"", "  ", ".", "-", "13,1", "1,000.5", "13.1.2", "13.1 SP1", "v13", "1e", "1e+", "0x10",
                             "inf", "nan", "1e999", "1 2", "--1"}) {
        double value = 42.0;
        EXPECT_FALSE(platform::TextToFloat(text, value)) << text;
        EXPECT_EQ(value, 42.0) << text;
    }
}

TEST_F(PointLocaleTest, NumbersInTheShortestGeneralForm) {
    const std::pair<double, const char*> cases[] = {
        {0.0, "0"},
        {-0.0, "0"},
        {13.1, "13.1"},
        {13.0, "13"},
        {-0.5, "-0.5"},
        {0.1 + 0.2, "0.3"},
        {123456789012345.0, "123456789012345"},
        {1e15, "1E15"},
        {1234567890123456.0, "1.23456789012346E15"},
        {0.00001, "0.00001"},
        {0.0000015, "1.5E-6"},
        {1e300, "1E300"},
        {2.0 / 3.0, "0.666666666666667"},
        {999999999999999.9, "1E15"},
        {std::numeric_limits<double>::infinity(), "INF"},
        {-std::numeric_limits<double>::infinity(), "-INF"},
        {std::numeric_limits<double>::quiet_NaN(), "NAN"},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(platform::FloatToText(value), expected) << value;
}

TEST(CommaLocaleTest, CommaIsTheSeparatorBothWays) {
    ScopedEnv locale("LC_ALL", "de_DE.UTF-8");
    ASSERT_EQ(platform::DecimalSeparator(), ",") << "locale de_DE.UTF-8 missing: run scripts/install-deps.sh";
    double value = 0.0;
    EXPECT_TRUE(platform::TextToFloat("13,1", value));
    EXPECT_EQ(value, 13.1);
    value = 0.0;
    EXPECT_FALSE(platform::TextToFloat("13.1", value));
    EXPECT_FALSE(platform::TextToFloat("1.000,5", value));
    EXPECT_EQ(value, 0.0);
    EXPECT_EQ(platform::FloatToText(13.1), "13,1");
    EXPECT_EQ(platform::FloatToText(-0.00002), "-0,00002");
    EXPECT_EQ(platform::FloatToText(1.5e20), "1,5E20");
    EXPECT_EQ(platform::FloatToText(0.0), "0");
}

TEST(LocaleFallbackTest, AnUninstalledLocaleReadsAsThePoint) {
    ScopedEnv locale("LC_ALL", "xx_NOWHERE.UTF-8");
    EXPECT_EQ(platform::DecimalSeparator(), ".");
}

} // namespace
