#include "pages/Unitseg7.h"

TFormSeg7::TFormSeg7(QWidget* parent) : TPageForm(parent, "TAB_DLG_BK") {}

void TFormSeg7::Activate(TBoard& board) { m_pBoard = &board; }

void TFormSeg7::Deactivate() { m_pBoard = nullptr; }

void TFormSeg7::FormPaint() { m_pBitmaps->DrawBitmap(0, 0, 0); }
