#include "tests/pages/MemoryPageHarness.h"

#include <QProgressBar>
#include <fstream>
#include <memory>

namespace {

using memorytest::CountingAccess;
using memorytest::PageHarness;

constexpr uint32_t SDRAM_BYTES = 0x4000000;

// Watches the progress dialog of one transfer: every value its bar takes, and the status text it
// shows whenever the board is asked for the next chunk.
struct ProgressWatch {
    explicit ProgressWatch(TFormMemory* page, CountingAccess& access) {
        access.beforeKeepAlive = [this, page](int) { Look(page); };
        access.beforeChunk = [this, page](size_t) { Look(page); };
    }
    void Look(TFormMemory* page) {
        auto* dialog = page->findChild<TFormProgress*>();
        ASSERT_NE(dialog, nullptr);
        if (dialog != watched) {
            watched = dialog;
            QObject::connect(dialog->ProgressBar, &QProgressBar::valueChanged,
                             [this](int value) { percents.push_back(value); });
        }
        if (texts.empty() || texts.back() != dialog->LabelStatus->text())
            texts.push_back(dialog->LabelStatus->text());
    }

    TFormProgress* watched = nullptr;
    std::vector<int> percents;
    std::vector<QString> texts;
};

TEST(MemoryProgress, ReadingTheEntireMemoryTakesTwentyChunksAndARemainder) {
    PageHarness h;
    CountingAccess access;
    ProgressWatch watch(h.page, access);
    h.page->SetMemoryAccess(&access);
    // Never touched: the stand-in moves no data.
    const auto buffer = std::make_unique_for_overwrite<uint8_t[]>(SDRAM_BYTES);
    bool ok = false;
    bool aborted = true;

    h.page->ReadWithProgress(MEM_TYPE_SDRAM, 0, SDRAM_BYTES, buffer.get(), ok, aborted);
    EXPECT_TRUE(ok);
    EXPECT_FALSE(aborted);
    EXPECT_EQ(access.keepAlives, 1) << "reading asks for no keep-alive per chunk";
    ASSERT_EQ(access.chunks.size(), 21u);
    for (size_t i = 0; i < 20; ++i) {
        EXPECT_EQ(access.chunks[i].address, i * 3355443);
        EXPECT_EQ(access.chunks[i].count, 3355443u);
    }
    EXPECT_EQ(access.chunks[20].count, 4u);
    std::vector<int> expected;
    for (int p = 4; p <= 99; p += 5)
        expected.push_back(p);
    expected.push_back(100);
    EXPECT_EQ(watch.percents, expected);
    ASSERT_GE(watch.texts.size(), 3u);
    EXPECT_EQ(watch.texts[0], "Process...");
    EXPECT_EQ(watch.texts[1], "Finish Percentage: 4%");
    EXPECT_EQ(h.page->findChild<TFormProgress*>(), nullptr) << "the dialog goes with the transfer";
}

TEST(MemoryProgress, WritingTheEntireMemoryKeepsEveryChunkWithinOneExchange) {
    PageHarness h;
    CountingAccess access;
    ProgressWatch watch(h.page, access);
    h.page->SetMemoryAccess(&access);
    const auto data = std::make_unique_for_overwrite<uint8_t[]>(SDRAM_BYTES);
    bool ok = false;
    bool aborted = true;

    h.page->WriteWithProgress(MEM_TYPE_SDRAM, 0, SDRAM_BYTES, data.get(), ok, aborted);
    EXPECT_TRUE(ok);
    ASSERT_EQ(access.chunks.size(), 2050u);
    EXPECT_EQ(access.keepAlives, 2051) << "one before the loop and one before every chunk";
    for (size_t i = 0; i < 2049; ++i)
        ASSERT_EQ(access.chunks[i].count, 32743u) << i;
    EXPECT_EQ(access.chunks[2049].count, 18457u);
    EXPECT_EQ(access.chunks[2049].address, 2049u * 32743);
    std::vector<QString> expected{"Process..."};
    for (int p = 0; p < 100; ++p)
        expected.push_back(QString("Finish Percentage: %1%").arg(p));
    EXPECT_EQ(watch.texts, expected);
    ASSERT_FALSE(watch.percents.empty());
    EXPECT_EQ(watch.percents.back(), 100);
}

TEST(MemoryProgress, NothingToMoveSucceedsOnTheFirstKeepAliveAlone) {
    PageHarness h;
    CountingAccess access;
    h.page->SetMemoryAccess(&access);
    uint8_t byte = 0;
    bool ok = false;
    bool aborted = true;
    h.page->WriteWithProgress(MEM_TYPE_SDRAM, 0, 0, &byte, ok, aborted);
    EXPECT_TRUE(ok);
    EXPECT_FALSE(aborted);
    EXPECT_EQ(access.keepAlives, 1);
    EXPECT_TRUE(access.chunks.empty());

    access.keepAliveResult = false;
    h.page->ReadWithProgress(MEM_TYPE_SDRAM, 0, 0, &byte, ok, aborted);
    EXPECT_FALSE(ok);
}

TEST(MemoryProgress, AFailingFirstKeepAliveFailsTheWriteWithoutBoardError) {
    PageHarness h;
    testsupport::TempFolder folder;
    std::ofstream(folder / "data.bin", std::ios::binary) << "0123456789";
    CountingAccess access;
    access.keepAliveResult = false;
    h.page->SetMemoryAccess(&access);
    h.page->CheckBoxMemWriteFileLen->setChecked(true);
    h.dialogs.answers.push_back(QString::fromStdString(folder / "data.bin"));

    h.page->ButtonMemWrite2FMemClick();
    EXPECT_TRUE(access.chunks.empty());
    ASSERT_EQ(h.notes.messages.size(), 1u);
    EXPECT_EQ(h.notes.messages[0].kind, platform::MessageKind::Error);
    EXPECT_EQ(QString::fromStdString(h.notes.messages[0].text), h.status.Last().text);
    EXPECT_TRUE(h.status.Last().text.startsWith("Write a File to SDRAM Fail.["));
    EXPECT_TRUE(h.boardErrors.empty());
}

TEST(MemoryProgress, AnEmptyFileWithFileLengthWritesNothingAndShowsLengthZero) {
    PageHarness h;
    testsupport::TempFolder folder;
    std::ofstream(folder / "empty.bin", std::ios::binary).flush();
    CountingAccess access;
    h.page->SetMemoryAccess(&access);
    h.page->CheckBoxMemWriteFileLen->setChecked(true);
    h.page->EditMemWriteLen->setText("77");
    h.dialogs.answers.push_back(QString::fromStdString(folder / "empty.bin"));

    h.page->ButtonMemWrite2FMemClick();
    EXPECT_EQ(access.keepAlives, 1);
    EXPECT_TRUE(access.chunks.empty());
    EXPECT_EQ(h.page->EditMemWriteLen->text(), "0");
    EXPECT_TRUE(h.status.Last().text.startsWith("Write a File to SDRAM Success.["));
}

TEST(MemoryProgress, ALargeFileIsCutToTheRoomLeftInMemory) {
    PageHarness h;
    testsupport::TempFolder folder;
    std::ofstream(folder / "big.bin", std::ios::binary) << std::string(100, 'z');
    CountingAccess access;
    h.page->SetMemoryAccess(&access);
    h.page->CheckBoxMemWriteFileLen->setChecked(true);
    h.page->EditMemWriteAddr->setText("1FFFFE0");
    h.dialogs.answers.push_back(QString::fromStdString(folder / "big.bin"));

    h.page->ButtonMemWrite2FMemClick();
    ASSERT_FALSE(access.chunks.empty());
    EXPECT_EQ(access.chunks.front().address, 0x3FFFFC0u);
    EXPECT_EQ(access.chunks.back().address + access.chunks.back().count, 0x4000000u) << "up to the end, not past it";
    EXPECT_EQ(h.page->EditMemWriteLen->text(), "20");
    EXPECT_TRUE(h.notes.messages.empty());
}

} // namespace
