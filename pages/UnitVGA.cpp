#include "pages/UnitVGA.h"

#include "app/StatusInfo.h"
#include "pages/PageFonts.h"

#include <QPalette>

namespace {
constexpr int COMPOSITE_ID = 1;
constexpr int GRID_ROWS = 4;
constexpr int GRID_COLUMNS = 40;
const QColor CAPTION_COLOUR{0, 234, 255};
const QColor FRAME_COLOUR{150, 150, 150};
const QColor LIST_BACKGROUND{64, 64, 64};

// Pattern codes, as the firmware knows them: the list's item indices.
enum Pattern { COLOR_SCALE = 0, RED, GREEN, BLUE, WHITE, BLACK, RED_SCALE, GREEN_SCALE, BLUE_SCALE, PATTERN_COUNT };

const char* const PATTERN_NAMES[PATTERN_COUNT] = {"Color Scale", "Red",       "Green",       "Blue",      "White",
                                                  "Black",       "Red Scale", "Green Scale", "Blue Scale"};

// The colour of one grid cell of a scale pattern at level L.
QColor ScaleColour(int pattern, int row, int level) {
    const int scale = pattern == COLOR_SCALE ? RED_SCALE + row : pattern;
    switch (scale) {
    case RED_SCALE:
        return QColor(level, 0, 0);
    case GREEN_SCALE:
        return QColor(0, level, 0);
    case BLUE_SCALE:
        return QColor(0, 0, level);
    default:
        return QColor(level, level, level);
    }
}

QColor SolidColour(int pattern) {
    switch (pattern) {
    case RED:
        return QColor(255, 0, 0);
    case GREEN:
        return QColor(0, 128, 0);
    case BLUE:
        return QColor(0, 0, 255);
    case WHITE:
        return QColor(255, 255, 255);
    default:
        return QColor(0, 0, 0);
    }
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
    for (const char* name : PATTERN_NAMES)
        ComboBoxVGA->addItem(name);
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
    if (index == COLOR_SCALE || (index >= RED_SCALE && index <= BLUE_SCALE)) {
        for (int i = 0; i < GRID_ROWS; ++i) {
            for (int j = 0; j < GRID_COLUMNS; ++j) {
                canvas->SetBrushColor(ScaleColour(index, i, (16 * j) % 256));
                canvas->FillRect(
                    Span(w * j / GRID_COLUMNS, h * i / GRID_ROWS, w * (j + 1) / GRID_COLUMNS, h * (i + 1) / GRID_ROWS));
            }
        }
    } else if (index >= RED && index <= BLACK) {
        canvas->SetBrushColor(SolidColour(index));
        canvas->FillRect(Span(0, 0, w, h));
    } else {
        m_pBitmaps->DrawBitmap(COMPOSITE_ID, 0, 0, canvas);
    }
}

void TFormVGA::SendPattern(int index) {
    ShowStatusInfo("VGA-OUT Setting...", statuscolour::YELLOW);
    bool set = false;
    {
        std::lock_guard<std::recursive_mutex> guard(m_pBoard->lock);
        m_pBoard->DrainInput();
        bool accepted = false;
        set = m_pBoard->SendControl(accepted, 4, 2, static_cast<uint8_t>(index)) && accepted;
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
    return m_pBoard->SendControl(accepted, 5, 1, 0) && accepted;
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
