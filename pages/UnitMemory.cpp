#include "pages/UnitMemory.h"

TFormMemory::TFormMemory(QWidget* parent) : TPageForm(parent, "MEMORY_DLG_BK"), ComboBoxMemType(new QComboBox(this)) {
    ComboBoxMemType->addItem("SDRAM (2000000h WORDS, 64 MB)");
    ComboBoxMemType->setCurrentIndex(0);
}

int TFormMemory::SelectedMemTypeIndex() const { return ComboBoxMemType->currentIndex(); }

void TFormMemory::Activate(TBoard& board) { m_pBoard = &board; }

void TFormMemory::Deactivate() { m_pBoard = nullptr; }

void TFormMemory::FormPaint() { m_pBitmaps->DrawBitmap(0, 0, 0); }
