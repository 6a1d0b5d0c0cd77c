// The memory page's field check without Qt: the verdicts that the page's boxes are chosen by.
#include "core/HexField.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(HexField, OnlyAsciiDigitsCountAndLeadingZerosCostNothing) {
    uint32_t value = 7;
    // Digits of other scripts, a full-width digit and a lone surrogate are not hexadecimal digits.
    const std::u16string loneSurrogate = {u'1', static_cast<char16_t>(0xD800)};
    for (const std::u16string& text :
         {std::u16string(u"\u0661"), std::u16string(u"\uFF11"), loneSurrogate, std::u16string(u"\u00BD")}) {
        EXPECT_EQ(CheckHexField(text, 0, 0xFFFF, value), THexFieldCheck::Invalid);
        EXPECT_EQ(value, 7u);
    }
    EXPECT_EQ(CheckHexField(u"000000000000000000000000ABCD", 0, 0xFFFF, value), THexFieldCheck::Ok);
    EXPECT_EQ(value, 0xABCDu);
    // Seventeen significant digits are no number; sixteen are one above every bound.
    EXPECT_EQ(CheckHexField(u"10000000000000000", 0, 0xFFFF, value), THexFieldCheck::Invalid);
    EXPECT_EQ(CheckHexField(u"F000000000000000", 0, 0xFFFF, value), THexFieldCheck::AboveMaximum);
    EXPECT_EQ(CheckHexField(u"0", 1, 0xFFFF, value), THexFieldCheck::BelowMinimum);
    EXPECT_EQ(value, 0xABCDu);
}

} // namespace
