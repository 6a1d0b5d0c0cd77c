// The program's entry: one copy at a time, the error box of a failed start, and a clean exit.
#include "app/PanelEntry.h"
#include "app/UnitMain.h"
#include "platform/InstanceLock.h"
#include "tests/support/Mouse.h"
#include "tests/support/PanelFixture.h"

#include <QApplication>
#include <QTimer>
#include <filesystem>

using testsupport::PanelFixture;
using testsupport::ScopedEnv;
using testsupport::TempFolder;

namespace {

// The entry against a configured board, with the window left to the entry itself.
class EntryTest : public PanelFixture {
protected:
    void SetUp() override { board = std::make_unique<testsupport::VBoardProcess>(BoardOptions()); }

    // Runs the program until its window is connected, then presses the window's close button.
    int RunUntilConnectedThenClose(bool& sawConnected) {
        QTimer watch;
        watch.setInterval(20);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (FormMain == nullptr || !FormMain->Board().IsConnected() || FormMain->CurrentPage() != 0)
                return;
            sawConnected = true;
            watch.stop();
            const QPoint close(559 + 18, 19 + 6);
            testsupport::MousePress(FormMain, close);
            testsupport::MouseRelease(FormMain, close);
        });
        watch.start();
        // Ends a run that never connects, so that a fault fails the test instead of hanging it.
        QTimer::singleShot(20000, &watch, [] {
            if (FormMain != nullptr)
                FormMain->close();
        });
        return RunPanel();
    }

    TempFolder runtime;
    ScopedEnv runtimeDir{"XDG_RUNTIME_DIR", runtime.Path().c_str()};
};

} // namespace

TEST_F(EntryTest, ASecondCopyShowsItsBoxAndOpensNoWindow) {
    platform::InstanceLock first;
    ASSERT_TRUE(first.Acquire(INSTANCE_NAME));
    EXPECT_EQ(RunPanel(), 0);
    ASSERT_EQ(notes.messages.size(), 1u);
    EXPECT_EQ(notes.messages[0].kind, platform::MessageKind::Information);
    EXPECT_EQ(notes.messages[0].text, "The application is running.");
    EXPECT_EQ(FormMain, nullptr);
    EXPECT_FALSE(std::filesystem::exists(program / "system.log"));
    EXPECT_TRUE(first.IsHeld()) << "the first copy keeps its lock";
}

TEST_F(EntryTest, AnUnwritableSystemLogEndsTheStartInTheErrorBox) {
    // A folder where the file should be cannot be written, not even by the superuser.
    std::filesystem::create_directory(program / "system.log");
    EXPECT_EQ(RunPanel(), 0);
    ASSERT_EQ(notes.messages.size(), 1u);
    EXPECT_EQ(notes.messages[0].kind, platform::MessageKind::Error);
    EXPECT_NE(notes.messages[0].text.find("system.log"), std::string::npos) << notes.messages[0].text;
    EXPECT_EQ(FormMain, nullptr);
    for (QWidget* window : QApplication::topLevelWidgets())
        EXPECT_EQ(dynamic_cast<TFormMain*>(window), nullptr);
    platform::InstanceLock next;
    EXPECT_TRUE(next.Acquire(INSTANCE_NAME)) << "released after the box";
}

TEST_F(EntryTest, AFreshStartRightAfterClosingAConnectedPanelSucceeds) {
    bool connected = false;
    EXPECT_EQ(RunUntilConnectedThenClose(connected), 0);
    EXPECT_TRUE(connected) << "the start timer connected by itself";
    EXPECT_EQ(BoardState("link"), "closed") << "closed by the window's destruction";
    EXPECT_EQ(FormMain, nullptr);
    EXPECT_TRUE(std::filesystem::exists(program / "system.log"));

    connected = false;
    EXPECT_EQ(RunUntilConnectedThenClose(connected), 0);
    EXPECT_TRUE(connected);
    EXPECT_TRUE(notes.messages.empty());
    platform::InstanceLock next;
    EXPECT_TRUE(next.Acquire(INSTANCE_NAME));
}
