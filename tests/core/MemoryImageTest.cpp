#include "core/MemoryImage.h"

#include "tests/support/FileContent.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/Recorders.h"

#include <cctype>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

using testsupport::NotifyRecorder;
using testsupport::RandomBytes;
using testsupport::ReadFile;
using testsupport::TempFolder;
using testsupport::WriteFile;

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<uint8_t> bytes;
    for (int v : values)
        bytes.push_back(static_cast<uint8_t>(v));
    return bytes;
}

size_t FilesIn(const std::string& folder) {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

TEST(MemoryImageFormat, ChoosesHexByTheLastExtensionOfTheFileNameIgnoringCase) {
    EXPECT_TRUE(IsHexImageName("dump.hex"));
    EXPECT_TRUE(IsHexImageName("/tmp/DUMP.HEX"));
    EXPECT_TRUE(IsHexImageName("dump.Hex"));
    EXPECT_TRUE(IsHexImageName(".hex"));
    EXPECT_FALSE(IsHexImageName("dump.bin"));
    EXPECT_FALSE(IsHexImageName("dump.hex.bin"));
    EXPECT_FALSE(IsHexImageName("dump"));
    EXPECT_FALSE(IsHexImageName("dump.hexa"));
    EXPECT_FALSE(IsHexImageName("/data.hex/dump"));
}

TEST(MemoryImageHex, WritesTwoUppercaseDigitsPerByteAndReadsEitherCase) {
    EXPECT_EQ(BytesToHex(Bytes({0x00, 0xAB, 0x5F}).data(), 3), "00AB5F");

    std::string text = "00ab5F";
    NotifyRecorder notes;
    ASSERT_TRUE(HexToBytes(reinterpret_cast<uint8_t*>(text.data()), text.size()));
    EXPECT_EQ(std::vector<uint8_t>(text.begin(), text.begin() + 3), Bytes({0x00, 0xAB, 0x5F}));
    EXPECT_TRUE(notes.messages.empty());
}

TEST(MemoryImageHex, EveryByteValueSurvivesTheRoundTripInPlace) {
    std::vector<uint8_t> bytes(256 * 40 + 7);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i * 7 + i / 256);
    std::string text = BytesToHex(bytes.data(), bytes.size());
    ASSERT_EQ(text.size(), 2 * bytes.size());
    ASSERT_TRUE(HexToBytes(reinterpret_cast<uint8_t*>(text.data()), text.size()));
    EXPECT_EQ(std::vector<uint8_t>(text.begin(), text.begin() + static_cast<long>(bytes.size())), bytes);
}

TEST(MemoryImageHex, AnOddCountEndsWithAHighHalfWhoseLowHalfIsZero) {
    std::string text = "ABC";
    ASSERT_TRUE(HexToBytes(reinterpret_cast<uint8_t*>(text.data()), 3));
    EXPECT_EQ(static_cast<uint8_t>(text[0]), 0xAB);
    EXPECT_EQ(static_cast<uint8_t>(text[1]), 0xC0);
}

TEST(MemoryImageHex, AnyOtherCharacterIsRefusedWithOneWarning) {
    // A stray character early, far into the text, as the odd last digit, and the line break an editor adds.
    std::string far(20000, 'f');
    far[17001] = 'g';
    for (std::string text : {std::string("0G"), std::string(" 0"), std::string("-1"), far, std::string("ABC\n"),
                             std::string("AB\n"), std::string("ABCDEF\r\n")}) {
        NotifyRecorder notes;
        EXPECT_FALSE(HexToBytes(reinterpret_cast<uint8_t*>(text.data()), text.size())) << text.substr(0, 8);
        ASSERT_EQ(notes.messages.size(), 1u);
        EXPECT_EQ(notes.messages[0].kind, platform::MessageKind::Warning);
        EXPECT_EQ(notes.messages[0].text, "invalid hex file.");
    }
}

TEST(MemoryImageHex, EveryCharacterValueIsJudgedAloneWhereverItStands) {
    // Positions inside the blocks decoded together and in the rest decoded one by one.
    for (size_t position : {size_t{0}, size_t{5}, size_t{15}, size_t{16}, size_t{31}, size_t{32}, size_t{33}}) {
        for (int c = 0; c < 256; ++c) {
            std::string text(34, '0');
            text[position] = static_cast<char>(c);
            const bool digit = std::isxdigit(c) != 0;
            NotifyRecorder notes;
            ASSERT_EQ(HexToBytes(reinterpret_cast<uint8_t*>(text.data()), text.size()), digit)
                << "character " << c << " at " << position;
            if (digit) {
                const int value = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
                EXPECT_EQ(static_cast<uint8_t>(text[position / 2]), position % 2 == 0 ? value << 4 : value);
            }
        }
    }
}

TEST(MemoryImageLoad, TakesTheWholeFileOrExactlyTheGivenLength) {
    TempFolder folder;
    std::vector<uint8_t> data;

    WriteFile(folder / "eleven.bin", "0123456789A");
    ASSERT_EQ(LoadMemoryImage(folder / "eleven.bin", true, 0, 0x4000000, data), TImageLoadResult::Ok);
    EXPECT_EQ(std::string(data.begin(), data.end()), "0123456789A");

    ASSERT_EQ(LoadMemoryImage(folder / "eleven.bin", false, 4, 0x4000000, data), TImageLoadResult::Ok);
    EXPECT_EQ(std::string(data.begin(), data.end()), "0123");

    WriteFile(folder / "abc.hex", "ABC");
    ASSERT_EQ(LoadMemoryImage(folder / "abc.hex", true, 0, 0x4000000, data), TImageLoadResult::Ok);
    EXPECT_EQ(data, Bytes({0xAB, 0xC0}));

    // Length 10h words is 32 bytes: 64 characters of a longer .HEX file.
    const std::vector<uint8_t> image = RandomBytes(40, 1);
    WriteFile(folder / "long.HEX", BytesToHex(image.data(), image.size()));
    ASSERT_EQ(LoadMemoryImage(folder / "long.HEX", false, 32, 0x4000000, data), TImageLoadResult::Ok);
    EXPECT_EQ(data, std::vector<uint8_t>(image.begin(), image.begin() + 32));
}

TEST(MemoryImageLoad, AWholeFileIsCutToTheRoomLeftInMemory) {
    TempFolder folder;
    std::vector<uint8_t> data;
    WriteFile(folder / "big.bin", "0123456789");
    ASSERT_EQ(LoadMemoryImage(folder / "big.bin", true, 0, 6, data), TImageLoadResult::Ok);
    EXPECT_EQ(std::string(data.begin(), data.end()), "012345");

    WriteFile(folder / "big.hex", "00112233445566");
    ASSERT_EQ(LoadMemoryImage(folder / "big.hex", true, 0, 3, data), TImageLoadResult::Ok);
    EXPECT_EQ(data, Bytes({0x00, 0x11, 0x22}));
}

TEST(MemoryImageLoad, ATrailingLineBreakSpoilsOnlyTheWholeFile) {
    TempFolder folder;
    std::vector<uint8_t> data;
    WriteFile(folder / "edited.hex", "00AB5F\n");
    {
        NotifyRecorder notes;
        EXPECT_EQ(LoadMemoryImage(folder / "edited.hex", true, 0, 0x4000000, data), TImageLoadResult::InvalidHex);
        ASSERT_EQ(notes.messages.size(), 1u);
        EXPECT_EQ(notes.messages[0].text, "invalid hex file.");
    }
    ASSERT_EQ(LoadMemoryImage(folder / "edited.hex", false, 2, 0x4000000, data), TImageLoadResult::Ok);
    EXPECT_EQ(data, Bytes({0x00, 0xAB}));
}

TEST(MemoryImageLoad, ReportsAShortOrMissingFile) {
    TempFolder folder;
    std::vector<uint8_t> data;
    WriteFile(folder / "short.bin", std::string(31, 'x'));
    EXPECT_EQ(LoadMemoryImage(folder / "short.bin", false, 32, 0x4000000, data), TImageLoadResult::ShorterThanLength);
    WriteFile(folder / "short.hex", std::string(63, 'a'));
    EXPECT_EQ(LoadMemoryImage(folder / "short.hex", false, 32, 0x4000000, data), TImageLoadResult::ShorterThanLength);
    EXPECT_EQ(LoadMemoryImage(folder / "absent.bin", true, 0, 0x4000000, data), TImageLoadResult::OpenFailed);
}

TEST(MemoryImageSave, WritesRawAndHexImagesAndReplacesAnEarlierFile) {
    TempFolder folder;
    const std::vector<uint8_t> image = RandomBytes(100000, 2);
    WriteFile(folder / "dump.bin", "earlier content");

    ASSERT_EQ(SaveMemoryImage(folder / "dump.bin", image.data(), image.size()), TImageSaveResult::Ok);
    ASSERT_EQ(SaveMemoryImage(folder / "dump.Hex", image.data(), image.size()), TImageSaveResult::Ok);

    EXPECT_EQ(ReadFile(folder / "dump.bin"), std::string(image.begin(), image.end()));
    EXPECT_EQ(ReadFile(folder / "dump.Hex"), BytesToHex(image.data(), image.size()));
    EXPECT_EQ(FilesIn(folder.Path()), 2u) << "no temporary file stays behind";
}

TEST(MemoryImageSave, AFailedSaveLeavesTheEarlierFileAsItWas) {
    TempFolder folder;
    const std::vector<uint8_t> image = RandomBytes(300000, 3);
    WriteFile(folder / "keep.bin", "earlier content");

    EXPECT_EQ(SaveMemoryImage(folder / "missing/keep.bin", image.data(), image.size()), TImageSaveResult::Failed);

    // A file-size limit makes the file take fewer bytes than given, as a full disk would.
    TImageSaveResult raw = TImageSaveResult::Ok;
    TImageSaveResult hex = TImageSaveResult::Ok;
    {
        testsupport::FileSizeLimit limit(200000);
        raw = SaveMemoryImage(folder / "keep.bin", image.data(), image.size());
        hex = SaveMemoryImage(folder / "keep.hex", image.data(), 150000);
    }

    EXPECT_EQ(raw, TImageSaveResult::ShortWrite);
    EXPECT_EQ(hex, TImageSaveResult::ShortWrite);
    EXPECT_EQ(ReadFile(folder / "keep.bin"), "earlier content");
    EXPECT_FALSE(std::filesystem::exists(folder / "keep.hex"));
    EXPECT_EQ(FilesIn(folder.Path()), 1u) << "no temporary file stays behind";
}

} // namespace
