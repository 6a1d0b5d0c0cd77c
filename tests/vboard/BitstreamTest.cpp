// The virtual board's bitstream files.
#include "vboard/Bitstream.h"

#include "tests/support/Recorders.h"

#include <fstream>
#include <gtest/gtest.h>

using vboard::Bitstream;

namespace {

Bitstream Sample() {
    Bitstream b;
    b.design = "QX7MB_ControlPanel";
    b.payload = {1, 2, 3, 4, 5};
    return b;
}

TEST(BitstreamTest, LayoutIsMagicNamePayloadHash) {
    const std::vector<uint8_t> bytes = Sample().Encode();
    ASSERT_EQ(bytes.size(), 8u + 2 + 18 + 4 + 5 + 4);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 8), "QX7MBSOF");
    EXPECT_EQ(bytes[8], 18);
    EXPECT_EQ(bytes[9], 0);
    EXPECT_EQ(std::string(bytes.begin() + 10, bytes.begin() + 28), "QX7MB_ControlPanel");
    EXPECT_EQ(bytes[28], 5);
    // FNV-1a of the empty text is its offset basis.
    EXPECT_EQ(Bitstream::Hash(nullptr, 0), 2166136261u);
    EXPECT_EQ(Bitstream::Hash(reinterpret_cast<const uint8_t*>("a"), 1), 0xE40C292Cu);

    Bitstream back;
    std::string error;
    ASSERT_TRUE(Bitstream::Decode(bytes, back, error)) << error;
    EXPECT_EQ(back.design, "QX7MB_ControlPanel");
    EXPECT_EQ(back.payload, (std::vector<uint8_t>{1, 2, 3, 4, 5}));
}

TEST(BitstreamTest, EveryDamageIsFound) {
    const std::vector<uint8_t> good = Sample().Encode();
    Bitstream back;
    std::string error;
    for (std::size_t i = 0; i < good.size(); ++i) {
        std::vector<uint8_t> bad = good;
        bad[i] ^= 0x10;
        EXPECT_FALSE(Bitstream::Decode(bad, back, error)) << "byte " << i;
    }
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_FALSE(Bitstream::Decode({good.begin(), good.begin() + static_cast<long>(n)}, back, error)) << n;
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    EXPECT_FALSE(Bitstream::Decode(longer, back, error));
    EXPECT_EQ(back.design, "");
}

TEST(BitstreamTest, NamesMustBePrintable) {
    Bitstream b = Sample();
    b.design = "two words";
    Bitstream back;
    std::string error;
    EXPECT_FALSE(Bitstream::Decode(b.Encode(), back, error));
    b.design = "";
    EXPECT_FALSE(Bitstream::Decode(b.Encode(), back, error));
}

TEST(BitstreamTest, LoadReportsMissingAndForeignFiles) {
    testsupport::TempFolder folder;
    Bitstream back;
    std::string error;
    EXPECT_FALSE(Bitstream::Load(folder / "none.sof", back, error));
    EXPECT_NE(error.find("none.sof"), std::string::npos);
    EXPECT_FALSE(Bitstream::Load(folder.Path(), back, error));
    {
        std::ofstream out(folder / "text.sof");
        out << "SOF file of another tool";
    }
    EXPECT_FALSE(Bitstream::Load(folder / "text.sof", back, error));
    EXPECT_EQ(error, "not a QX7-MB bitstream");
    {
        const auto bytes = Sample().Encode();
        std::ofstream out(folder / "good.sof", std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    ASSERT_TRUE(Bitstream::Load(folder / "good.sof", back, error)) << error;
    EXPECT_EQ(back.design, "QX7MB_ControlPanel");
}

} // namespace
