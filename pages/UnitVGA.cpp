#include "pages/UnitVGA.h"

#include "board/Protocol.h"
#include "board/VgaPatterns.h"
#include "pages/PageFonts.h"
#include "shell/StatusInfo.h"

#include <QPalette>

namespace {
constexpr int COMPOSITE_ID = 1;
const QColor CAPTION_COLOUR{0, 234, 255};
const QColor FRAME_COLOUR{150, 150, 150};
const QColor LIST_BACKGROUND{64, 64, 64};

QColor CellColour(int pattern, int row, int column) {
    const VgaRgb rgb = VgaCellColour(pattern, row, column);
    return QColor(rgb.r, rgb.g, rgb.b);
}

// The rectangle from (left, top) to (right, bottom), right and bottom outside.
QRect Span(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}
} // namespace

TFormVGA::TFormVGA(QWidget* parent)
    : TPageForm(parent, "TAB_DLG_BK"), LabelCaption(new QLabel("VGA Pattern Display", this)),
      LabelPattern(new QLabel("Pattern:", this)), ComboBoxVGA(new QComboBox(this)),
      ImageVGA(new TPictureBox(this, PREVIEW_WIDTH, PREVIEW_HEIGHT)) {
    m_pBitmaps->AddBitmap(COMPOSITE_ID, "COMPOSITE", false);

    SetControlLook(*LabelCaption, PageFont("Arial", 10), CAPTION_COLOUR);
    LabelCaption->move(24, 24);
    LabelCaption->adjustSize();
    SetControlLook(*LabelPattern, PageFont("Arial", 10), Qt::white);
    LabelPattern->move(32, 56);
    LabelPattern->adjustSize();

    QPalette palette = ComboBoxVGA->palette();
    for (QPalette::ColorRole role : {QPalette::Base, QPalette::Button, QPalette::Window})
        palette.setColor(role, LIST_BACKGROUND);
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
        palette.setColor(role, Qt::white);
    ComboBoxVGA->setPalette(palette);
    ComboBoxVGA->setEditable(false);
    ComboBoxVGA->setMaxVisibleItems(10);
    ComboBoxVGA->setCursor(Qt::PointingHandCursor);
    ComboBoxVGA->setGeometry(88, 50, 120, ComboBoxVGA->sizeHint().height());
    for (const VgaPattern& pattern : VGA_PATTERNS)
        ComboBoxVGA->addItem(pattern.name);
    ComboBoxVGA->setCurrentIndex(0);

    ImageVGA->move(32, 88);
    DrawPreview(ComboBoxVGA->currentIndex());
    connect(ComboBoxVGA, &QComboBox::currentIndexChanged, this, &TFormVGA::ComboBoxVGAChange);
}

void TFormVGA::Activate(TBoard& board) {
    ShowStatusInfo(QString(), statuscolour::GREEN);
    m_pBoard = &board;
    if (board.IsConnected() && ProbeVgaOut())
        ComboBoxVGAChange();
}

void TFormVGA::Deactivate() {
    m_pBoard = nullptr;
}

void TFormVGA::ComboBoxVGAChange() {
    const int index = ComboBoxVGA->currentIndex();
    DrawPreview(index);
    if (m_pBoard != nullptr && m_pBoard->IsConnected())
        SendPattern(index);
}

void TFormVGA::DrawPreview(int index) {
    skin::TCanvas* canvas = ImageVGA->Canvas();
    const int w = PREVIEW_WIDTH;
    const int h = PREVIEW_HEIGHT;
    if (!IsVgaPattern(index)) {
        m_pBitmaps->DrawBitmap(COMPOSITE_ID, 0, 0, canvas);
    } else if (VGA_PATTERNS[index].scale) {
        for (int i = 0; i < VGA_SCALE_ROWS; ++i) {
            for (int j = 0; j < VGA_SCALE_COLUMNS; ++j) {
                canvas->SetBrushColor(CellColour(index, i, j));
                canvas->FillRect(Span(w * j / VGA_SCALE_COLUMNS, h * i / VGA_SCALE_ROWS,
                                      w * (j + 1) / VGA_SCALE_COLUMNS, h * (i + 1) / VGA_SCALE_ROWS));
            }
        }
    } else {
        canvas->SetBrushColor(CellColour(index, 0, 0));
        canvas->FillRect(Span(0, 0, w, h));
    }
}

void TFormVGA::SendPattern(int index) {
    ShowStatusInfo("VGA-OUT Setting...", statuscolour::YELLOW);
    bool set = false;
    {
        std::lock_guard<std::recursive_mutex> guard(m_pBoard->lock);
        m_pBoard->DrainInput();
        bool accepted = false;
        set =
            m_pBoard->SendControl(accepted, CONTROL_TARGET_VGA, CONTROL_OP_SET_PATTERN, static_cast<uint8_t>(index)) &&
            accepted;
    }
    if (set)
        ShowStatusInfo(QString::asprintf("%s %s", "Set VGA-OUT", "Success"), statuscolour::GREEN);
    else
        RaiseBoardError();
}

bool TFormVGA::ProbeVgaOut() {
    if (m_pBoard == nullptr)
        return false;
    bool accepted = false;
    return m_pBoard->SendControl(accepted, CONTROL_TARGET_VGA_OUT, CONTROL_OP_PROBE, 0) && accepted;
}

void TFormVGA::FormPaint() {
    m_pBitmaps->DrawBitmap(0, 0, 0);
    skin::TCanvas* canvas = Canvas();
    canvas->SetPenColor(FRAME_COLOUR);
    canvas->SetPenWidth(1);
    canvas->SetBrushClear();
    // One pixel around the preview: its rectangle grown by 1 on every side.
    canvas->Rectangle(ImageVGA->geometry().adjusted(-1, -1, 1, 1));
}
