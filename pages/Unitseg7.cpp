#include "pages/Unitseg7.h"

#include "shell/StatusInfo.h"

namespace {
const QColor LABEL_COLOUR{0, 234, 255};
constexpr int ARROW_TOP = 170;

// x0 of digit k: the up arrow's left edge; HEX0 is the rightmost.
int DigitX0(int k) {
    return 330 - 55 * k;
}
} // namespace

TFormSeg7::TFormSeg7(QWidget* parent)
    : TPageForm(parent, "TAB_DLG_BK"), m_pArrows(std::make_unique<skin::TButtonManager>(this, Canvas(), skin::gmPush)) {
    for (int v = 0; v < DIGIT_VALUES; ++v)
        m_pBitmaps->AddBitmap(v + 1, QString::asprintf("HEX_%x", v), true);
    Canvas()->SetFontName("MS Sans Serif");
    m_nDigit.fill(8);
    for (int k = 0; k < DIGIT_COUNT; ++k) {
        const int x0 = DigitX0(k);
        m_pArrows->AddButton(2 * k, QString(), "RIGHT_BTN", x0, ARROW_TOP);
        m_pArrows->AddButton(2 * k + 1, QString(), "LEFT_BTN", x0 - 22, ARROW_TOP);
        m_ptDigit[k] = QPoint(x0 - 30, 85);
    }
    AddButtonGroup(*m_pArrows);
    SetControlsEnabled(false);
    DrawDigits();
}

TFormSeg7::~TFormSeg7() = default;

void TFormSeg7::Activate(TBoard& board) {
    ShowStatusInfo(QString(), statuscolour::GREEN);
    m_pBoard = &board;
    SetControlsEnabled(board.IsConnected());
}

void TFormSeg7::Deactivate() {
    m_pBoard = nullptr;
    SetControlsEnabled(false);
}

uint32_t TFormSeg7::DigitWord() const {
    uint32_t word = 0;
    for (int k = 0; k < DIGIT_COUNT; ++k)
        word |= DigitBits(static_cast<uint32_t>(m_nDigit[k]), k);
    return word;
}

void TFormSeg7::SetControlsEnabled(bool enabled) {
    for (int k = 0; k < DIGIT_COUNT; ++k) {
        m_pArrows->SetEnabled(2 * k, enabled);
        m_pArrows->SetEnabled(2 * k + 1, enabled);
    }
    m_pArrows->DrawAll();
}

void TFormSeg7::DrawDigits() {
    skin::TCanvas* canvas = Canvas();
    canvas->SetBrushClear();
    canvas->SetTextColor(LABEL_COLOUR);
    canvas->SetFontSize(10);
    for (int k = 0; k < DIGIT_COUNT; ++k) {
        const QPoint& origin = m_ptDigit[k];
        m_pBitmaps->DrawBitmap(m_nDigit[k] + 1, origin.x() + 8, origin.y() + 20);
        canvas->TextOut(origin.x() + 11, origin.y(), QString("HEX%1").arg(k));
    }
}

void TFormSeg7::WriteDigits() {
    if (m_pBoard == nullptr)
        return;
    bool ok = false;
    {
        std::lock_guard<std::recursive_mutex> guard(m_pBoard->lock);
        if (m_pBoard->IsConnected())
            ok = m_pBoard->SetSevenSegment(DigitWord(), 0);
    }
    if (!ok)
        RaiseBoardError();
}

void TFormSeg7::FormPaint() {
    m_pBitmaps->DrawBitmap(0, 0, 0);
    m_pArrows->DrawAll();
    DrawDigits();
}

void TFormSeg7::ButtonClick(skin::TButtonManager&, int id) {
    if (id >= 2 * DIGIT_COUNT)
        return;
    const int k = id / 2;
    // Even ids step up, odd ids step down; both wrap around 0 and F.
    m_nDigit[k] = (m_nDigit[k] + (id % 2 == 0 ? 1 : DIGIT_VALUES - 1)) % DIGIT_VALUES;
    DrawDigits();
    WriteDigits();
}
