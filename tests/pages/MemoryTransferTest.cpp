#include "core/MemoryImage.h"
#include "tests/pages/MemoryBoardHarness.h"
#include "tests/support/FileContent.h"

#include <QMetaObject>
#include <QRegularExpression>
#include <QTimer>
#include <filesystem>

namespace {

using memorytest::BoardPageTest;
using memorytest::CountingAccess;
using testsupport::RandomBytes;
using testsupport::ReadFile;
using testsupport::WriteFile;

const QColor GREEN(0, 128, 0);
const QColor RED(255, 0, 0);
constexpr uint32_t MIB = 1024 * 1024;

std::string Text(const std::vector<uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

struct MemoryTransferTest : BoardPageTest {
    TFormMemory& page = *harness.page;
    testsupport::TempFolder folder;

    void WriteFileToMemory(const std::string& path, const QString& address, const QString& length) {
        page.CheckBoxMemWriteFileLen->setChecked(length.isEmpty());
        page.EditMemWriteAddr->setText(address);
        page.EditMemWriteLen->setText(length);
        harness.dialogs.answers.push_back(QString::fromStdString(path));
        harness.Click(3);
    }
    void ReadMemoryToFile(const std::string& path, const QString& address, const QString& length) {
        page.CheckBoxMemReadEntireMem->setChecked(false);
        page.EditMemReadAddr->setText(address);
        page.EditMemReadLen->setText(length);
        harness.dialogs.answers.push_back(QString::fromStdString(path));
        harness.Click(4);
    }
    bool LastStatusMatches(const char* pattern, const QColor& colour) {
        const memorytest::StatusLine& last = harness.status.Last();
        EXPECT_EQ(last.colour, colour) << last.text.toStdString();
        return QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(last.text).hasMatch();
    }
};

TEST_F(MemoryTransferTest, ARawFileGoesToMemoryAndComesBackByteIdentical) {
    ASSERT_TRUE(connected);
    const std::vector<uint8_t> image = RandomBytes(MIB, 8);
    WriteFile(folder / "image.bin", Text(image));

    WriteFileToMemory(folder / "image.bin", "10000", "80000");
    EXPECT_TRUE(LastStatusMatches(R"(Write a File to SDRAM Success\.\[\d+[.,]\dsec\])", GREEN));
    EXPECT_EQ(BoardBytes(0x20000 + MIB - 16, 16), std::vector<uint8_t>(image.end() - 16, image.end()));
    EXPECT_EQ(BoardBytes(0x20000 + MIB, 2), std::vector<uint8_t>(2, 0)) << "nothing past the length";

    ReadMemoryToFile(folder / "back.bin", "10000", "80000");
    EXPECT_TRUE(LastStatusMatches(R"(Load SDRAM Content to a File Success\. \(\d+[.,]\dsec\))", GREEN));
    EXPECT_EQ(ReadFile(folder / "back.bin"), Text(image));
    EXPECT_TRUE(harness.notes.messages.empty());
    EXPECT_EQ(harness.dialogs.filters.front(), "All files (*.*)|*.*|Hex files (*.HEX)|*.hex");
    EXPECT_EQ(harness.dialogs.extensions.front(), "bin");
    EXPECT_EQ(harness.dialogs.cursors.back(), Qt::ArrowCursor);
}

TEST_F(MemoryTransferTest, AHexFileGoesToMemoryAndComesBackAsTheSameText) {
    ASSERT_TRUE(connected);
    const std::vector<uint8_t> image = RandomBytes(MIB, 9);
    const std::string text = BytesToHex(image.data(), image.size());
    WriteFile(folder / "image.hex", text);

    WriteFileToMemory(folder / "image.hex", "0", "");
    EXPECT_TRUE(LastStatusMatches(R"(Write a File to SDRAM Success\.\[.*\])", GREEN));
    EXPECT_EQ(page.EditMemWriteLen->text(), "80000");
    EXPECT_EQ(BoardBytes(0, 16), std::vector<uint8_t>(image.begin(), image.begin() + 16));

    ReadMemoryToFile(folder / "back.HEX", "0", "80000");
    EXPECT_EQ(ReadFile(folder / "back.HEX"), text);
    EXPECT_TRUE(harness.notes.messages.empty());
}

TEST_F(MemoryTransferTest, FileLengthTakesTheWholeFileAndShowsTheWordsWritten) {
    ASSERT_TRUE(connected);
    WriteFile(folder / "eleven.bin", "ABCDEFGHIJK");
    WriteFileToMemory(folder / "eleven.bin", "0", "");
    EXPECT_EQ(page.EditMemWriteLen->text(), "6");
    EXPECT_EQ(Text(BoardBytes(0, 12)), std::string("ABCDEFGHIJK") + '\0');

    WriteFile(folder / "abc.hex", "ABC");
    WriteFileToMemory(folder / "abc.hex", "100", "");
    EXPECT_EQ(page.EditMemWriteLen->text(), "1");
    EXPECT_EQ(BoardBytes(0x200, 3), (std::vector<uint8_t>{0xAB, 0xC0, 0x00}));
    EXPECT_TRUE(harness.notes.messages.empty());
}

TEST_F(MemoryTransferTest, AFileShorterThanTheLengthIsReportedOnce) {
    ASSERT_TRUE(connected);
    const std::string path = folder / "short.bin";
    WriteFile(path, std::string(31, 'x'));
    WriteFileToMemory(path, "0", "10");
    EXPECT_EQ(harness.Boxes(), std::vector<std::string>{"File(" + path + ") size is less than the specified length."});
    EXPECT_EQ(harness.notes.messages[0].kind, platform::MessageKind::Warning);
    EXPECT_TRUE(LastStatusMatches(R"(Write a File to SDRAM Fail\.\[.*\])", RED));
    EXPECT_EQ(BoardBytes(0, 2), std::vector<uint8_t>(2, 0));
    EXPECT_TRUE(harness.boardErrors.empty());
}

TEST_F(MemoryTransferTest, AHexFileWithALineBreakAtItsEndDecodesOnlyUpToAGivenLength) {
    ASSERT_TRUE(connected);
    const std::string path = folder / "edited.hex";
    WriteFile(path, "0011223344556677\n");
    WriteFileToMemory(path, "0", "");
    ASSERT_EQ(harness.Boxes().size(), 2u);
    EXPECT_EQ(harness.Boxes()[0], "invalid hex file.");
    EXPECT_EQ(harness.notes.messages[1].kind, platform::MessageKind::Error);
    EXPECT_EQ(QString::fromStdString(harness.Boxes()[1]), harness.status.Last().text);
    EXPECT_TRUE(LastStatusMatches(R"(Write a File to SDRAM Fail\.\[.*\])", RED));
    EXPECT_EQ(BoardBytes(0, 2), std::vector<uint8_t>(2, 0));

    WriteFileToMemory(path, "0", "4");
    EXPECT_TRUE(LastStatusMatches(R"(Write a File to SDRAM Success\.\[.*\])", GREEN));
    EXPECT_EQ(BoardBytes(0, 9), (std::vector<uint8_t>{0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x00}));
}

TEST_F(MemoryTransferTest, CancellingTheOpenDialogAbortsWithoutTouchingTheBoard) {
    ASSERT_TRUE(connected);
    CountingAccess counter(nullptr);
    page.SetMemoryAccess(&counter);
    page.CheckBoxMemWriteFileLen->setChecked(true);
    harness.dialogs.answers.push_back(std::nullopt);
    harness.Click(3);
    EXPECT_EQ(harness.dialogs.openCalls, 1);
    EXPECT_EQ(harness.status.Last().text, "Write a File to SDRAM Aborted.");
    EXPECT_EQ(harness.status.Last().colour, RED);
    EXPECT_TRUE(harness.notes.messages.empty());
    EXPECT_EQ(counter.keepAlives, 0);
    EXPECT_TRUE(counter.chunks.empty());
}

TEST_F(MemoryTransferTest, InvalidFieldsStopBothTransfersBeforeAnyDialog) {
    ASSERT_TRUE(connected);
    WriteFileToMemory(folder / "none.bin", "2000000", "1");
    EXPECT_EQ(harness.status.Last().text, "Invalud Input Data.");
    ReadMemoryToFile(folder / "none.bin", "1FFFFFF", "2");
    EXPECT_EQ(harness.status.Last().text, "Invalid Input Data.");
    EXPECT_EQ(harness.status.Last().colour, RED);
    EXPECT_EQ(harness.Boxes().size(), 2u) << "only the field boxes";
    EXPECT_EQ(harness.dialogs.openCalls + harness.dialogs.saveCalls, 0);
}

TEST_F(MemoryTransferTest, AbortAfterTheFirstChunkKeepsWhatWasWritten) {
    ASSERT_TRUE(connected);
    const std::vector<uint8_t> image = RandomBytes(MIB, 10);
    WriteFile(folder / "image.bin", Text(image));
    CountTransfers([this](size_t chunk) {
        if (chunk == 1) {
            auto* dialog = page.findChild<TFormProgress*>();
            ASSERT_NE(dialog, nullptr);
            // Pressed while the chunk is under way: seen when the loop next lets events run.
            QMetaObject::invokeMethod(dialog->ButtonAbort, "click", Qt::QueuedConnection);
        }
    });

    WriteFileToMemory(folder / "image.bin", "0", "80000");
    EXPECT_EQ(counter.chunks.size(), 1u);
    EXPECT_EQ(harness.status.Last().text, "Write a File to SDRAM Aborted.");
    EXPECT_EQ(harness.status.Last().colour, RED);
    EXPECT_TRUE(harness.notes.messages.empty());
    EXPECT_TRUE(harness.boardErrors.empty());
    EXPECT_EQ(page.findChild<TFormProgress*>(), nullptr);
    const uint32_t first = counter.chunks[0].count;
    EXPECT_EQ(BoardBytes(first - 8, 8), std::vector<uint8_t>(image.begin() + first - 8, image.begin() + first));
    EXPECT_EQ(BoardBytes(first, 8), std::vector<uint8_t>(8, 0));
}

TEST_F(MemoryTransferTest, ALinkDroppedMidWriteFailsAndRaisesBoardError) {
    ASSERT_TRUE(connected);
    WriteFile(folder / "image.bin", Text(RandomBytes(200000, 11)));
    CountTransfers([this](size_t chunk) {
        if (chunk == 2)
            vboard.Control("fault drop");
    });

    WriteFileToMemory(folder / "image.bin", "0", "");
    EXPECT_EQ(counter.chunks.size(), 2u);
    EXPECT_TRUE(LastStatusMatches(R"(Write a File to SDRAM Fail\.\[.*\])", RED));
    EXPECT_EQ(harness.Boxes(), std::vector<std::string>{harness.status.Last().text.toStdString()});
    EXPECT_EQ(harness.boardErrors, std::vector<TPageForm*>{&page});
    EXPECT_EQ(page.EditMemWriteLen->text(), "") << "no length after a failed write";
}

TEST_F(MemoryTransferTest, ALinkDroppedMidReadLeavesTheEarlierFileAsItWas) {
    ASSERT_TRUE(connected);
    const std::string path = folder / "dump.bin";
    WriteFile(path, "earlier dump");
    CountTransfers([this](size_t chunk) {
        if (chunk == 3)
            vboard.Control("fault drop");
    });

    ReadMemoryToFile(path, "0", "80000");
    EXPECT_EQ(counter.chunks.size(), 3u);
    EXPECT_TRUE(LastStatusMatches(R"(Load SDRAM Content to a File Fail\. \(.*\))", RED));
    EXPECT_EQ(harness.Boxes(), std::vector<std::string>{harness.status.Last().text.toStdString()});
    EXPECT_TRUE(harness.boardErrors.empty());
    EXPECT_EQ(ReadFile(path), "earlier dump");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

TEST_F(MemoryTransferTest, APageLeftDuringATransferStopsSendingWithoutBlamingTheBoard) {
    ASSERT_TRUE(connected);
    WriteFile(folder / "image.bin", Text(RandomBytes(MIB, 12)));
    bool reactivatedEnabled = true;
    // Runs while the transfer lets events through: the user shows another page, comes back, leaves again.
    harness.dialogs.onAsk = [&] {
        QTimer::singleShot(0, &page, [&] {
            page.Deactivate();
            page.Activate(board);
            reactivatedEnabled = page.Buttons()->FindById(3)->GetEnabled();
            page.Deactivate();
        });
    };
    WriteFileToMemory(folder / "image.bin", "0", "");

    EXPECT_FALSE(reactivatedEnabled) << "no second transfer can start inside the first";
    EXPECT_TRUE(LastStatusMatches(R"(Write a File to SDRAM Fail\.\[.*\])", RED));
    EXPECT_TRUE(harness.boardErrors.empty());
    EXPECT_FALSE(page.Buttons()->FindById(3)->GetEnabled()) << "an inactive page keeps its buttons disabled";
    const std::vector<uint8_t> tail = BoardBytes(MIB - 32, 32);
    EXPECT_EQ(tail, std::vector<uint8_t>(32, 0)) << "nothing sent after the page was left";

    page.Activate(board);
    EXPECT_TRUE(page.Buttons()->FindById(3)->GetEnabled());
}

TEST_F(MemoryTransferTest, ASaveIntoAMissingFolderFailsWithTheErrorBoxOnly) {
    ASSERT_TRUE(connected);
    ReadMemoryToFile(folder / "missing/dump.bin", "0", "10");
    EXPECT_TRUE(LastStatusMatches(R"(Load SDRAM Content to a File Fail\. \(.*\))", RED));
    EXPECT_EQ(harness.Boxes(), std::vector<std::string>{harness.status.Last().text.toStdString()});
}

} // namespace
