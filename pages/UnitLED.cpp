#include "pages/UnitLED.h"

TFormLED::TFormLED(QWidget* parent) : TPageForm(parent, "TAB_DLG_BK") {}

void TFormLED::Activate(TBoard& board) { m_pBoard = &board; }

void TFormLED::Deactivate() { m_pBoard = nullptr; }

void TFormLED::FormPaint() { m_pBitmaps->DrawBitmap(0, 0, 0); }
