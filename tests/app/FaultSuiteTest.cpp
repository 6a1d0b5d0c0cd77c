// Faults through the whole stack, the panel against a board server process: the server killed in the
// middle of a transfer, a disk that fills up under a save, a second program reaching for the board, a
// program folder that cannot be written.
#include "app/PanelEntry.h"
#include "pages/UnitMemory.h"
#include "platform/DynamicLibrary.h"
#include "platform/Files.h"
#include "platform/InstanceLock.h"
#include "shell/Unitprogress.h"
#include "tests/support/FileContent.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/OrdinaryUser.h"
#include "tests/support/PanelFixture.h"
#include "tests/support/StderrCapture.h"
#include "vboard/JtagConnect.h"

#include <QTimer>
#include <filesystem>
#include <sys/stat.h>

using testsupport::PanelFixture;
using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

namespace fs = std::filesystem;

const QColor RED(255, 0, 0);

size_t EntriesIn(const std::string& folder) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), {}));
}

// The panel connected and showing its memory page.
class MemoryFaultTest : public PanelFixture {
protected:
    void SetUp() override {
        PanelFixture::SetUp();
        ASSERT_TRUE(Connect());
        ClickTab(3);
        page = dynamic_cast<TFormMemory*>(form->Page(3));
        ASSERT_NE(page, nullptr);
        ASSERT_TRUE(page->IsActive());
    }

    void ClickButton(int id) {
        const skin::TCustomButton* button = page->Buttons()->FindById(id);
        ASSERT_NE(button, nullptr);
        ClickAt(page, button->GetLeft() + button->GetWidth() / 2, button->GetTop() + button->GetHeight() / 2);
    }
    void WriteToMemory(const std::string& path) {
        page->CheckBoxMemWriteFileLen->setChecked(true);
        page->EditMemWriteAddr->setText("0");
        dialogs.QueueOpen(QString::fromStdString(path));
        ClickButton(3);
    }
    void LoadFromMemory(const std::string& path, const QString& words) {
        page->CheckBoxMemReadEntireMem->setChecked(false);
        page->EditMemReadAddr->setText("0");
        page->EditMemReadLen->setText(words);
        dialogs.QueueSave(QString::fromStdString(path));
        ClickButton(4);
    }
    // Kills the board server the first time the transfer lets events through: after its first chunk.
    void KillTheBoardDuringTheNextTransfer() {
        QTimer::singleShot(0, form.get(), [this] { board->Kill(); });
    }
    // One error box with the failure's result text.
    void ExpectOneErrorBox(const std::string& start) {
        ASSERT_EQ(notes.messages.size(), 1u) << notes.messages.back().text;
        EXPECT_EQ(notes.messages[0].kind, platform::MessageKind::Error);
        EXPECT_EQ(notes.messages[0].text.rfind(start, 0), 0u) << notes.messages[0].text;
    }

    testsupport::TempFolder files;
    TFormMemory* page = nullptr;
};

TEST_F(MemoryFaultTest, TheBoardKilledDuringAWriteFailsItDropsTheLinkAndIsFoundAgainWhenBack) {
    const std::string image = files / "image.bin";
    const std::vector<uint8_t> bytes = testsupport::RandomBytes(1024 * 1024, 41);
    WriteFile(image, std::string(bytes.begin(), bytes.end()));

    KillTheBoardDuringTheNextTransfer();
    WriteToMemory(image);
    ExpectOneErrorBox("Write a File to SDRAM Fail.[");
    // The page's board error came after the box: the link dropped, the line cleared.
    EXPECT_FALSE(form->Board().IsConnected());
    EXPECT_EQ(form->LabelConnectStatus->text(), "Disconnected");
    EXPECT_TRUE(form->LabelInfo->text().isEmpty());
    EXPECT_EQ(ReadFile(image), std::string(bytes.begin(), bytes.end())) << "the file written from is untouched";
    EXPECT_EQ(page->findChild<TFormProgress*>(), nullptr) << "the progress dialog is gone";
    EXPECT_EQ(dialogs.Cursor(), Qt::ArrowCursor);

    // The panel goes on: the board comes back and the connect button finds it.
    board->Restart();
    ASSERT_TRUE(Connect());
    EXPECT_EQ(form->LabelConnectStatus->text(), "Connected");
    EXPECT_EQ(form->CurrentPage(), 0);
    EXPECT_EQ(BoardState("link"), "open");
}

TEST_F(MemoryFaultTest, TheBoardKilledDuringAReadFailsItAndTheEarlierFileStays) {
    const std::string dump = files / "dump.bin";
    WriteFile(dump, "earlier dump");

    KillTheBoardDuringTheNextTransfer();
    LoadFromMemory(dump, "80000");
    ExpectOneErrorBox("Load SDRAM Content to a File Fail. (");
    EXPECT_EQ(form->LabelInfo->text().toStdString(), notes.messages[0].text);
    EXPECT_EQ(form->LabelInfo->palette().color(QPalette::WindowText), RED);
    EXPECT_EQ(ReadFile(dump), "earlier dump");
    EXPECT_EQ(EntriesIn(files.Path()), 1u) << "no part of a new file stays behind";
    EXPECT_TRUE(page->Buttons()->FindById(4)->GetEnabled()) << "the page can be used again";

    // A read raises no board error, so the window still shows the link: one press drops it, the
    // next, with the board back, connects.
    board->Restart();
    EXPECT_FALSE(Connect());
    EXPECT_EQ(form->LabelConnectStatus->text(), "Disconnected");
    ASSERT_TRUE(Connect());
    EXPECT_EQ(BoardState("link"), "open");
    EXPECT_EQ(notes.messages.size(), 1u) << "no box on the way back";
}

TEST_F(MemoryFaultTest, ASaveThatFillsTheDiskLeavesTheEarlierFileIntact) {
    const std::string dump = files / "dump.hex";
    WriteFile(dump, "earlier dump");
    {
        // 0x8000 words are 0x20000 characters of text; the disk takes a quarter of them.
        testsupport::FileSizeLimit fullDisk(0x8000);
        LoadFromMemory(dump, "8000");
    }
    ASSERT_EQ(notes.messages.size(), 2u);
    EXPECT_EQ(notes.messages[0].kind, platform::MessageKind::Warning);
    EXPECT_EQ(notes.messages[0].text, "Write file(" + dump + ") error.");
    EXPECT_EQ(notes.messages[1].text, form->LabelInfo->text().toStdString());
    EXPECT_TRUE(form->LabelInfo->text().startsWith("Load SDRAM Content to a File Fail. ("));
    EXPECT_EQ(ReadFile(dump), "earlier dump");
    EXPECT_EQ(EntriesIn(files.Path()), 1u);
    EXPECT_TRUE(form->Board().IsConnected()) << "the board is not blamed for the disk";

    // With room again, the same save succeeds.
    LoadFromMemory(dump, "8000");
    EXPECT_EQ(ReadFile(dump).size(), 0x20000u);
}

// A second program that opens the board's JTAG link while the panel holds it: the board refuses it
// (one link per board, as the JTAG UART allows), so no frames of the two can interleave.
class SecondLinkTest : public PanelFixture {};

TEST_F(SecondLinkTest, IsRefusedAndThePanelGoesOnExchanging) {
    ASSERT_TRUE(Connect());
    QWidget* page = form->Page(0);
    ClickAt(page, 250, 251); // Unlight All
    ASSERT_EQ(BoardState("leds"), "0x000");

    vboard::JtagConnectResult result = vboard::JtagConnectResult::Granted;
    const int second = vboard::ConnectJtag(board->Folder(), 2000, result);
    EXPECT_EQ(second, -1);
    EXPECT_EQ(result, vboard::JtagConnectResult::InUse);
    // Through the library the panel uses, as another program would open it.
    platform::DynamicLibrary library;
    TJtagApi api{};
    ASSERT_TRUE(library.Load(platform::ProgramFolder() + JTAG_LIBRARY_NAME) && LookUpJtagApi(library, api));
    std::vector<std::string> lines;
    {
        testsupport::StderrCapture captured;
        EXPECT_EQ(api.open(0, ""), 0u);
        lines = captured.Lines();
    }
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("board 0 is in use"), std::string::npos) << lines[0];

    ClickAt(page, 343, 133); // lamp 0
    ClickAt(page, 46, 133);  // lamp 9
    EXPECT_EQ(BoardState("leds"), "0x201");
    EXPECT_TRUE(form->Board().IsConnected());
    EXPECT_TRUE(notes.messages.empty());
}

// The program started with its folder closed to writing and no state folder to take "system.log"
// instead (a plain file stands where it would be made), run as the program runs.
class ReadOnlyProgramFolderTest : public PanelFixture {
protected:
    void SetUp() override {}

    testsupport::TempFolder runtime;
    testsupport::ScopedEnv runtimeDir{"XDG_RUNTIME_DIR", runtime.Path().c_str()};
    std::string blocker = runtime / "state";
    testsupport::ScopedEnv stateHome{"XDG_STATE_HOME", blocker.c_str()};
};

TEST_F(ReadOnlyProgramFolderTest, TheSystemLogThatCannotBeWrittenIsOneClearBoxAndAnExit) {
    // Root writes through any permission; the program then runs as an ordinary user.
    WriteFile(blocker, "a file, not a folder");
    testsupport::OrdinaryUser::HandOver(runtime.Path());
    testsupport::OrdinaryUser::HandOver(program.Path());
    ASSERT_EQ(chmod(program.Path().c_str(), 0555), 0);
    int exitCode = -1;
    bool lockFree = false;
    {
        testsupport::OrdinaryUser user;
        exitCode = RunPanel();
        platform::InstanceLock next;
        lockFree = next.Acquire(INSTANCE_NAME);
    }
    ASSERT_EQ(chmod(program.Path().c_str(), 0755), 0);

    EXPECT_EQ(exitCode, 0);
    ASSERT_EQ(notes.messages.size(), 1u);
    EXPECT_EQ(notes.messages[0].kind, platform::MessageKind::Error);
    EXPECT_EQ(notes.messages[0].text, "Unable to write to " + blocker + "/qx7mb/system.log: Not a directory");
    EXPECT_EQ(FormMain, nullptr) << "no window";
    EXPECT_FALSE(fs::exists(program / "system.log"));
    EXPECT_TRUE(lockFree) << "the single-instance lock was released";
}

} // namespace
