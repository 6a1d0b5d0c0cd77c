#include "pages/PageForm.h"

TPageForm::TPageForm(QWidget* parent, const QString& backgroundName)
    : skin::TSkinForm(parent, Qt::FramelessWindowHint), m_pBitmaps(std::make_unique<skin::TBitmapManager>(Canvas())) {
    // A page is no part of the main window's caption: it does not take the hand shown there.
    setCursor(Qt::ArrowCursor);
    m_pBitmaps->AddBitmap(0, backgroundName, false);
    const QSize size = m_pBitmaps->GetBitmapSize(0);
    SetClientSize(size.width(), size.height() - 20);
}

TPageForm::~TPageForm() = default;

void TPageForm::RaiseBoardError() {
    if (OnBoardError) {
        OnBoardError(this);
    }
}

void TPageForm::AddButtonGroup(skin::TButtonManager& group) {
    buttonGroups.push_back(&group);
}

void TPageForm::ButtonClick(skin::TButtonManager&, int) {}

void TPageForm::FormMouseDown(int x, int y) {
    for (skin::TButtonManager* group : buttonGroups)
        group->MouseDown(x, y);
}

void TPageForm::FormMouseMove(int x, int y) {
    for (skin::TButtonManager* group : buttonGroups) {
        if (group->MouseMove(x, y, true))
            return;
    }
}

void TPageForm::FormMouseUp(int x, int y) {
    for (skin::TButtonManager* group : buttonGroups) {
        const int id = group->MouseUp(x, y);
        if (id >= 0) {
            ButtonClick(*group, id);
            return;
        }
    }
}
