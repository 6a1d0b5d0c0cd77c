#include "pages/Unitsdcard.h"

TFormSDCARD::TFormSDCARD(QWidget* parent) : TPageForm(parent, "SDCARD_DLG_BK") {}

void TFormSDCARD::Activate(TBoard& board) { m_pBoard = &board; }

void TFormSDCARD::Deactivate() { m_pBoard = nullptr; }

void TFormSDCARD::FormPaint() { m_pBitmaps->DrawBitmap(0, 0, 0); }
