// The memory page's file transfers where they go wrong: aborts, cancelled dialogs, files that cannot
// be written or read, and the whole memory read through the page.
#include "core/MemoryImage.h"
#include "tests/pages/MemoryBoardHarness.h"
#include "tests/support/FileContent.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/OrdinaryUser.h"

#include <QMetaObject>
#include <filesystem>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using memorytest::BoardPageTest;
using memorytest::CountingAccess;
using testsupport::ReadFile;
using testsupport::WriteFile;

const QColor RED(255, 0, 0);
const QColor GREEN(0, 128, 0);
constexpr uint32_t SDRAM_BYTES = 0x4000000;

size_t EntriesIn(const std::string& folder) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), {}));
}

// A memory whose every byte tells its address: byte a holds (a ^ a >> 8 ^ a >> 16) & 0xFF.
uint8_t PatternByte(uint32_t address) {
    return static_cast<uint8_t>(address ^ address >> 8 ^ address >> 16);
}

class PatternMemory : public TMemoryAccess {
public:
    bool KeepAlive() override { return true; }
    bool MemoryWrite(uint8_t, uint32_t, const uint8_t*, uint32_t) override { return false; }
    bool MemoryRead(uint8_t, uint32_t address, uint8_t* destination, uint32_t count) override {
        for (uint32_t i = 0; i < count; ++i)
            destination[i] = PatternByte(address + i);
        return true;
    }
};

struct MemoryFileFailureTest : BoardPageTest {
    TFormMemory& page = *harness.page;
    testsupport::TempFolder folder;

    void Load(const std::optional<QString>& answer, const QString& length = "8000") {
        page.CheckBoxMemReadEntireMem->setChecked(false);
        page.EditMemReadAddr->setText("0");
        page.EditMemReadLen->setText(length);
        harness.dialogs.answers.push_back(answer);
        harness.Click(4);
    }
    void Write(const std::string& path) {
        page.CheckBoxMemWriteFileLen->setChecked(true);
        page.EditMemWriteAddr->setText("0");
        harness.dialogs.answers.push_back(QString::fromStdString(path));
        harness.Click(3);
    }
    // The result text of a failed transfer, and the error box repeating it, and no other box.
    void ExpectFailedWithTheErrorBoxOnly(const char* start) {
        EXPECT_EQ(harness.status.Last().colour, RED);
        EXPECT_TRUE(harness.status.Last().text.startsWith(start)) << harness.status.Last().text.toStdString();
        ASSERT_EQ(harness.notes.messages.size(), 1u);
        EXPECT_EQ(harness.notes.messages[0].kind, platform::MessageKind::Error);
        EXPECT_EQ(harness.notes.messages[0].text, harness.status.Last().text.toStdString());
    }
};

TEST_F(MemoryFileFailureTest, AbortDuringALoadCreatesNoFileAndKeepsTheEarlierOne) {
    ASSERT_TRUE(connected);
    const std::string path = folder / "dump.bin";
    WriteFile(path, "earlier dump");
    CountTransfers([this](size_t chunk) {
        if (chunk == 2)
            QMetaObject::invokeMethod(page.findChild<TFormProgress*>()->ButtonAbort, "click", Qt::QueuedConnection);
    });

    Load(QString::fromStdString(path), "80000");
    EXPECT_EQ(counter.chunks.size(), 2u) << "the chunk under way when Abort was pressed ends the read";
    EXPECT_EQ(harness.status.Last().text, "Load SDRAM Content to a File Aborted.");
    EXPECT_EQ(harness.status.Last().colour, RED);
    EXPECT_TRUE(harness.notes.messages.empty());
    EXPECT_EQ(ReadFile(path), "earlier dump");
    EXPECT_EQ(EntriesIn(folder.Path()), 1u);

    counter.chunks.clear();
    Load(QString::fromStdString(folder / "new.bin"), "80000");
    EXPECT_FALSE(fs::exists(folder / "new.bin"));
    EXPECT_EQ(EntriesIn(folder.Path()), 1u);
}

TEST_F(MemoryFileFailureTest, ACancelledSaveDialogIsAnAbortWithoutABox) {
    ASSERT_TRUE(connected);
    CountingAccess counter(nullptr);
    page.SetMemoryAccess(&counter);
    Load(std::nullopt);
    EXPECT_EQ(harness.dialogs.saveCalls, 1);
    EXPECT_EQ(harness.status.Last().text, "Load SDRAM Content to a File Aborted.");
    EXPECT_EQ(harness.status.Last().colour, RED);
    EXPECT_TRUE(harness.notes.messages.empty());
    EXPECT_EQ(counter.keepAlives + static_cast<int>(counter.chunks.size()), 0) << "the board was not asked";
    EXPECT_TRUE(page.Buttons()->FindById(4)->GetEnabled());
}

TEST_F(MemoryFileFailureTest, AShortWriteOfTheOutputFileIsWarnedThenBoxedAndLosesNothing) {
    ASSERT_TRUE(connected);
    const std::string path = folder / "dump.hex";
    WriteFile(path, "earlier dump");
    {
        // 0x8000 words: 0x10000 bytes, twice as many characters of text; the file may take a third.
        testsupport::FileSizeLimit limit(0x8000);
        Load(QString::fromStdString(path));
    }
    ASSERT_EQ(harness.notes.messages.size(), 2u);
    EXPECT_EQ(harness.notes.messages[0].kind, platform::MessageKind::Warning);
    EXPECT_EQ(harness.notes.messages[0].text, "Write file(" + path + ") error.");
    EXPECT_EQ(harness.notes.messages[1].kind, platform::MessageKind::Error);
    EXPECT_EQ(harness.notes.messages[1].text, harness.status.Last().text.toStdString());
    EXPECT_TRUE(harness.status.Last().text.startsWith("Load SDRAM Content to a File Fail. ("));
    EXPECT_EQ(ReadFile(path), "earlier dump");
    EXPECT_EQ(EntriesIn(folder.Path()), 1u) << "no part of the new file stays behind";
}

TEST_F(MemoryFileFailureTest, AFolderOrAPipeChosenAsTheFileToWriteFailsToOpen) {
    ASSERT_TRUE(connected);
    CountingAccess counter(nullptr);
    page.SetMemoryAccess(&counter);
    fs::create_directory(folder / "image.bin");
    Write(folder / "image.bin");
    ExpectFailedWithTheErrorBoxOnly("Write a File to SDRAM Fail.[");
    // A pipe without a writer would hold the window's thread for good.
    harness.notes.messages.clear();
    ASSERT_EQ(mkfifo((folder / "pipe.bin").c_str(), 0600), 0);
    Write(folder / "pipe.bin");
    ExpectFailedWithTheErrorBoxOnly("Write a File to SDRAM Fail.[");
    EXPECT_TRUE(counter.chunks.empty());
    EXPECT_TRUE(harness.boardErrors.empty());
}

// Saving over a pipe that nobody reads fails at once instead of waiting for a reader.
TEST_F(MemoryFileFailureTest, ALoadIntoAPipeWithoutAReaderFails) {
    ASSERT_TRUE(connected);
    PatternMemory memory;
    CountingAccess counter(&memory);
    page.SetMemoryAccess(&counter);
    ASSERT_EQ(mkfifo((folder / "dump.bin").c_str(), 0600), 0);
    Load(QString::fromStdString(folder / "dump.bin"));
    ExpectFailedWithTheErrorBoxOnly("Load SDRAM Content to a File Fail. (");
    EXPECT_TRUE(fs::is_fifo(folder / "dump.bin"));
}

TEST_F(MemoryFileFailureTest, AFileWithoutReadPermissionFailsToOpen) {
    ASSERT_TRUE(connected);
    CountingAccess counter(nullptr);
    page.SetMemoryAccess(&counter);
    const std::string path = folder / "image.bin";
    WriteFile(path, "0123456789");
    ASSERT_EQ(chmod(path.c_str(), 0200), 0);
    testsupport::OrdinaryUser::HandOver(folder.Path());
    testsupport::OrdinaryUser::HandOver(path);
    {
        testsupport::OrdinaryUser user;
        Write(path);
    }
    ExpectFailedWithTheErrorBoxOnly("Write a File to SDRAM Fail.[");
    EXPECT_TRUE(counter.chunks.empty());
    EXPECT_TRUE(harness.boardErrors.empty());
}

TEST_F(MemoryFileFailureTest, EntireMemoryLoadsAllOfItWhateverTheFieldsSay) {
    ASSERT_TRUE(connected);
    PatternMemory memory;
    CountingAccess counter(&memory);
    page.SetMemoryAccess(&counter);
    page.CheckBoxMemReadEntireMem->setChecked(true);
    // Not read while the box is checked.
    page.EditMemReadAddr->setText("zz");
    page.EditMemReadLen->setText("");
    const std::string path = folder / "sdram.bin";
    harness.dialogs.answers.push_back(QString::fromStdString(path));
    harness.Click(4);

    EXPECT_TRUE(harness.status.Last().text.startsWith("Load SDRAM Content to a File Success. ("));
    EXPECT_EQ(harness.status.Last().colour, GREEN);
    EXPECT_TRUE(harness.notes.messages.empty());
    ASSERT_EQ(counter.chunks.size(), 21u);
    EXPECT_EQ(counter.chunks[20].address, 20u * 3355443u);
    EXPECT_EQ(counter.chunks[20].count, 4u);
    const std::string image = ReadFile(path);
    ASSERT_EQ(image.size(), SDRAM_BYTES);
    for (const uint32_t address : {0u, 1u, 3355442u, 3355443u, 0x1234567u, 67108859u, SDRAM_BYTES - 1})
        EXPECT_EQ(static_cast<uint8_t>(image[address]), PatternByte(address)) << address;
}

} // namespace
