#include "skin/Buttonmanager.h"

#include "SkinTestUtil.h"
#include "skin/ApplicationCursor.h"
#include "skin/SkinResources.h"
#include "tests/support/Mouse.h"

#include <QWidget>
#include <gtest/gtest.h>

using skin::TButtonManager;
using skin::TCanvas;

namespace {

// Two captionless NORMAL_BTN buttons A (id 4) at (10, 10) and B (id 7) at (100, 10), and C (id 9) at
// (10, 40), so that faces can be compared with the picture pixel for pixel.
class ButtonManagerTest : public ::testing::Test {
protected:
    ButtonManagerTest() : canvas(200, 80) { skintest::Fill(canvas, Qt::black); }
    ~ButtonManagerTest() override {
        skin::SetApplicationCursor(Qt::ArrowCursor);
        skin::SetOverrideCursor(Qt::ArrowCursor);
    }

    void AddThree(TButtonManager& group) {
        group.AddButton(A, QString(), QStringLiteral("NORMAL_BTN"), 10, 10);
        group.AddButton(B, QString(), QStringLiteral("NORMAL_BTN"), 100, 10);
        group.AddButton(C, QString(), QStringLiteral("NORMAL_BTN"), 10, 40);
    }
    bool Shows(int face, int left, int top) const { return skintest::ShowsFace(canvas, picture, face, left, top); }
    static Qt::CursorShape Cursor() { return testsupport::ShownCursor(); }

    static constexpr int A = 4;
    static constexpr int B = 7;
    static constexpr int C = 9;
    QWidget owner;
    TCanvas canvas;
    const QImage picture = skin::LoadSkinPicture(QStringLiteral("NORMAL_BTN"));
};

TEST_F(ButtonManagerTest, HoverPaintsHotMovesOnAndReturnsToRest) {
    TButtonManager group(&owner, &canvas, skin::gmPush);
    AddThree(group);
    group.DrawAll();
    EXPECT_TRUE(Shows(skin::faceNormal, 10, 10));
    EXPECT_TRUE(Shows(skin::faceNormal, 100, 10));

    EXPECT_TRUE(group.MouseMove(12, 12, true));
    EXPECT_EQ(group.HotId(), A);
    EXPECT_TRUE(Shows(skin::faceHot, 10, 10));
    EXPECT_EQ(Cursor(), Qt::PointingHandCursor);
    EXPECT_TRUE(group.Captured());

    EXPECT_TRUE(group.MouseMove(110, 12, true));
    EXPECT_EQ(group.HotId(), B);
    EXPECT_TRUE(Shows(skin::faceNormal, 10, 10));
    EXPECT_TRUE(Shows(skin::faceHot, 100, 10));

    EXPECT_FALSE(group.MouseMove(90, 5, true));
    EXPECT_EQ(group.HotId(), -1);
    EXPECT_TRUE(Shows(skin::faceNormal, 100, 10));
    EXPECT_EQ(Cursor(), Qt::ArrowCursor);
    EXPECT_FALSE(group.Captured());
}

TEST_F(ButtonManagerTest, TheHandIsTheApplicationsCursorAndAnOverrideWinsOverIt) {
    TButtonManager group(&owner, &canvas, skin::gmPush);
    AddThree(group);
    group.MouseMove(12, 12, true);
    EXPECT_EQ(Cursor(), Qt::PointingHandCursor);
    EXPECT_EQ(owner.cursor().shape(), Qt::ArrowCursor) << "the owner's own cursor is left alone";

    // The hourglass of work in progress shows wherever the pointer goes.
    skin::SetOverrideCursor(Qt::WaitCursor);
    EXPECT_EQ(Cursor(), Qt::WaitCursor);
    group.MouseMove(110, 12, true);
    EXPECT_EQ(Cursor(), Qt::WaitCursor);
    group.MouseMove(90, 5, true);
    group.MouseMove(12, 12, true);
    EXPECT_EQ(Cursor(), Qt::WaitCursor);
    // Cleared: the hand of the button under the pointer shows again.
    skin::SetOverrideCursor(Qt::ArrowCursor);
    EXPECT_EQ(Cursor(), Qt::PointingHandCursor);
    group.MouseMove(90, 5, true);
    EXPECT_EQ(Cursor(), Qt::ArrowCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "nothing is left on Qt's cursor stack";
}

TEST_F(ButtonManagerTest, OnlyTheLastGroupAskedResetsTheCursor) {
    TButtonManager group(&owner, &canvas, skin::gmPush);
    AddThree(group);
    group.MouseMove(12, 12, false);
    group.MouseMove(-1, -1, false);
    EXPECT_EQ(Cursor(), Qt::PointingHandCursor);
    EXPECT_EQ(group.HotId(), -1);
    EXPECT_FALSE(group.Captured());
}

TEST_F(ButtonManagerTest, PressOnOneAndReleaseOnAnotherClicksTheOther) {
    TButtonManager group(&owner, &canvas, skin::gmToggle);
    AddThree(group);
    EXPECT_TRUE(group.MouseDown(12, 12));
    EXPECT_TRUE(group.Pressed());
    EXPECT_TRUE(Shows(skin::facePressed, 10, 10));

    group.MouseMove(12, 12, true);
    EXPECT_FALSE(group.MouseMove(90, 30, true)); // off A: A rests, the press is still pending
    EXPECT_TRUE(Shows(skin::faceNormal, 10, 10));
    EXPECT_TRUE(group.Pressed());
    // Moving onto another button while pressed shows it pressed, not hot.
    EXPECT_TRUE(group.MouseMove(105, 15, true));
    EXPECT_TRUE(Shows(skin::facePressed, 100, 10));

    EXPECT_EQ(group.MouseUp(105, 15), B);
    EXPECT_TRUE(group.IsChecked(B));
    EXPECT_FALSE(group.IsChecked(A));
    EXPECT_FALSE(group.Pressed());
    EXPECT_FALSE(group.Captured());
    // The release leaves the hot id; the clicked button shows its resting face until the next move.
    EXPECT_EQ(group.HotId(), B);
    EXPECT_TRUE(Shows(skin::faceNormal, 100, 10));
}

TEST_F(ButtonManagerTest, AReleaseOnNothingClearsThePressAndTheCapture) {
    TButtonManager group(&owner, &canvas, skin::gmRadio);
    AddThree(group);
    group.MouseMove(12, 12, true);
    group.MouseDown(12, 12);
    ASSERT_TRUE(group.Captured());
    EXPECT_EQ(group.MouseUp(95, 70), -1);
    EXPECT_FALSE(group.Pressed());
    EXPECT_FALSE(group.Captured());
    EXPECT_FALSE(group.IsChecked(A));
    // A press outside every button changes nothing.
    EXPECT_FALSE(group.MouseDown(95, 70));
    EXPECT_FALSE(group.Pressed());
}

TEST_F(ButtonManagerTest, DisabledButtonsAreEmptySpace) {
    TButtonManager group(&owner, &canvas, skin::gmToggle);
    AddThree(group);
    group.SetEnabled(A, false);
    EXPECT_TRUE(Shows(skin::faceDisabled, 10, 10));
    group.MouseMove(110, 12, true);
    EXPECT_FALSE(group.MouseMove(12, 12, true));
    EXPECT_EQ(Cursor(), Qt::ArrowCursor);
    EXPECT_TRUE(Shows(skin::faceDisabled, 10, 10));
    EXPECT_FALSE(group.MouseDown(12, 12));
    EXPECT_EQ(group.MouseUp(12, 12), -1);
    EXPECT_FALSE(group.IsChecked(A));
    EXPECT_FALSE(group.IsOverButton(12, 12));
    EXPECT_EQ(group.FindAt(12, 12), nullptr);
    group.SetEnabled(A, true);
    EXPECT_TRUE(Shows(skin::faceNormal, 10, 10));
    EXPECT_TRUE(group.IsOverButton(12, 12));
}

TEST_F(ButtonManagerTest, RadioChecksOnlyTheClickedButtonAndRepaintsTheGroup) {
    TButtonManager group(&owner, &canvas, skin::gmRadio);
    AddThree(group);
    group.SetChecked(C, true);
    group.MouseDown(12, 12);
    EXPECT_EQ(group.MouseUp(12, 12), A);
    EXPECT_TRUE(group.IsChecked(A));
    EXPECT_FALSE(group.IsChecked(C));
    group.MouseDown(12, 12);
    EXPECT_EQ(group.MouseUp(12, 12), A);
    EXPECT_TRUE(group.IsChecked(A));
    EXPECT_FALSE(group.IsChecked(B));
    EXPECT_FALSE(group.IsChecked(C));

    // Every button is repainted in its resting face, the disabled one in its disabled face.
    group.SetEnabled(C, false);
    skintest::Fill(canvas, Qt::black);
    group.MouseUp(110, 12);
    EXPECT_TRUE(Shows(skin::faceNormal, 10, 10));
    EXPECT_TRUE(Shows(skin::faceNormal, 100, 10));
    EXPECT_TRUE(Shows(skin::faceDisabled, 10, 40));
}

TEST_F(ButtonManagerTest, ToggleInvertsAndPushKeepsTheFlag) {
    TButtonManager toggle(&owner, &canvas, skin::gmToggle);
    AddThree(toggle);
    toggle.SetChecked(B, true);
    EXPECT_EQ(toggle.MouseUp(12, 12), A);
    EXPECT_TRUE(toggle.IsChecked(A));
    EXPECT_EQ(toggle.MouseUp(12, 12), A);
    EXPECT_FALSE(toggle.IsChecked(A));
    EXPECT_TRUE(toggle.IsChecked(B));

    TButtonManager push(&owner, &canvas, skin::gmPush);
    AddThree(push);
    push.SetChecked(B, true);
    EXPECT_EQ(push.MouseUp(110, 12), B);
    EXPECT_EQ(push.MouseUp(12, 12), A);
    EXPECT_TRUE(push.IsChecked(B));
    EXPECT_FALSE(push.IsChecked(A));
}

TEST_F(ButtonManagerTest, OverlappingButtonsGiveTheEventsToTheFirstAdded) {
    TButtonManager group(&owner, &canvas, skin::gmPush);
    group.AddButton(1, QString(), QStringLiteral("NORMAL_BTN"), 10, 10);
    group.AddButton(2, QString(), QStringLiteral("NORMAL_BTN"), 40, 15);
    EXPECT_EQ(group.FindAt(50, 20)->GetId(), 1);
    EXPECT_EQ(group.MouseUp(50, 20), 1);
    EXPECT_EQ(group.MouseUp(100, 30), 2);
    group.SetEnabled(1, false);
    EXPECT_EQ(group.MouseUp(50, 20), 2);
}

TEST_F(ButtonManagerTest, OperationsOnUnknownIdsDoNothing) {
    TButtonManager group(&owner, &canvas, skin::gmPush);
    AddThree(group);
    group.DrawAll();
    const QImage before = canvas.Image();
    group.SetEnabled(99, false);
    group.SetChecked(99, true);
    group.Redraw(99);
    group.SetBitmap(99, QStringLiteral("MISSING"));
    group.SetCaption(99, QStringLiteral("x"));
    EXPECT_FALSE(group.IsChecked(99));
    EXPECT_EQ(group.FindById(99), nullptr);
    EXPECT_EQ(canvas.Image(), before);
}

TEST_F(ButtonManagerTest, SetBitmapAndSetCaptionRepaintAtOnce) {
    TButtonManager group(&owner, &canvas, skin::gmToggle);
    group.AddButton(0, QString(), QStringLiteral("LEDR_LIGHT_BTN"), 20, 20);
    group.SetBitmap(0, QStringLiteral("LEDR_UNLIGHT_BTN"));
    EXPECT_TRUE(skintest::ShowsFace(canvas, skin::LoadSkinPicture(QStringLiteral("LEDR_UNLIGHT_BTN")), skin::faceNormal,
                                    20, 20));
    group.SetBitmap(0, QString()); // no effect, still repainted
    EXPECT_TRUE(skintest::ShowsFace(canvas, skin::LoadSkinPicture(QStringLiteral("LEDR_UNLIGHT_BTN")), skin::faceNormal,
                                    20, 20));

    group.AddButton(1, QStringLiteral("Read"), QStringLiteral("NORMAL_BTN"), 100, 30);
    group.SetCaption(1, QStringLiteral("Write"));
    EXPECT_EQ(group.FindById(1)->GetCaption(), QStringLiteral("Write"));
    EXPECT_FALSE(Shows(skin::faceNormal, 100, 30)) << "the new caption is drawn on the face";
}

TEST_F(ButtonManagerTest, FindByIdTakesTheFirstButtonWithTheId) {
    TButtonManager group(&owner, &canvas, skin::gmPush);
    group.AddButton(5, QStringLiteral("first"), QStringLiteral("NORMAL_BTN"), 0, 0);
    group.AddButton(5, QStringLiteral("second"), QStringLiteral("NORMAL_BTN"), 100, 0);
    EXPECT_EQ(group.FindById(5)->GetCaption(), QStringLiteral("first"));
    group.SetChecked(5, true);
    EXPECT_TRUE(group.FindById(5)->GetChecked());
}

TEST_F(ButtonManagerTest, ButtonsStartEnabledUncheckedAndAtRest) {
    TButtonManager group(&owner, &canvas, skin::gmRadio);
    AddThree(group);
    for (const int id : {A, B, C}) {
        EXPECT_TRUE(group.FindById(id)->GetEnabled());
        EXPECT_FALSE(group.IsChecked(id));
    }
    EXPECT_EQ(group.HotId(), -1);
    EXPECT_FALSE(group.Pressed());
    EXPECT_FALSE(group.Captured());
}

} // namespace
