#include "pages/PageForm.h"

TPageForm::TPageForm(QWidget* parent, const QString& backgroundName)
    : skin::TSkinForm(parent, Qt::FramelessWindowHint), m_pBitmaps(std::make_unique<skin::TBitmapManager>(Canvas())) {
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
