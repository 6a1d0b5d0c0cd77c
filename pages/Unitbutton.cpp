#include "pages/Unitbutton.h"

TFormButton::TFormButton(QWidget* parent) : TPageForm(parent, "BT_DLG_BK") {}

void TFormButton::Activate(TBoard& board) { m_pBoard = &board; }

void TFormButton::Deactivate() { m_pBoard = nullptr; }

void TFormButton::FormPaint() { m_pBitmaps->DrawBitmap(0, 0, 0); }
