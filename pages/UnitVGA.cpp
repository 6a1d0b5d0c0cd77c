#include "pages/UnitVGA.h"

TFormVGA::TFormVGA(QWidget* parent) : TPageForm(parent, "TAB_DLG_BK") {}

void TFormVGA::Activate(TBoard& board) { m_pBoard = &board; }

void TFormVGA::Deactivate() { m_pBoard = nullptr; }

void TFormVGA::FormPaint() { m_pBitmaps->DrawBitmap(0, 0, 0); }
