#include "pages/UnitMemory.h"

#include "core/HexField.h"
#include "pages/PageFonts.h"
#include "platform/Assert.h"
#include "platform/Notify.h"
#include "shell/DialogServices.h"
#include "shell/StatusInfo.h"
#include "skin/SkinResources.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPixmap>

namespace {

const QColor TITLE_COLOUR{0, 234, 255};

void SetTextColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

QLabel* MakeLabel(QWidget* parent, const QString& text, int x, int y, int points, const QColor& colour) {
    auto* label = new QLabel(text, parent);
    SetControlLook(*label, PageFont("Arial", points), colour);
    label->move(x, y);
    label->adjustSize();
    return label;
}

QLineEdit* MakeEdit(QWidget* parent, const QString& text, int x, int y, int width, int maxLength) {
    auto* edit = new QLineEdit(text, parent);
    edit->setGeometry(x, y, width, 24);
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    return edit;
}

QCheckBox* MakeCheckBox(QWidget* parent, int x, int y) {
    auto* box = new QCheckBox(parent);
    box->move(x, y);
    box->resize(box->sizeHint());
    return box;
}

// Hidden: only its position and its enabled flag are used, by the skinned button of the same id.
QPushButton* MakePlainButton(QWidget* parent, const QString& caption, int x, int y) {
    auto* button = new QPushButton(caption, parent);
    button->move(x, y);
    button->hide();
    return button;
}

void ErrorBox(const QString& text) {
    platform::ShowMessage(platform::MessageKind::Error, text.toStdString());
}

} // namespace

TFormMemory::TFormMemory(QWidget* parent) : TPageForm(parent, "MEMORY_DLG_BK") {
    TBoard::InitMemoryLayout(memoryLayout);
    BuildControls();

    m_pButtons = std::make_unique<skin::TButtonManager>(this, Canvas(), skin::gmPush);
    AddButtonGroup(*m_pButtons);
    m_pButtons->AddButton(0, "Read", "NORMAL_BTN", ButtonMemoryRandomRead->x(), ButtonMemoryRandomRead->y());
    m_pButtons->AddButton(1, "Write", "NORMAL_BTN", ButtonMemoryRandomWrite->x(), ButtonMemoryRandomWrite->y());
    m_pButtons->AddButton(2, "Erase", "MIDDLE_BTN", ButtonMemRdmErase->x(), ButtonMemRdmErase->y());
    m_pButtons->AddButton(3, "Write a File to Memory", "LONG_BTN", ButtonMemWrite2FMem->x(), ButtonMemWrite2FMem->y());
    m_pButtons->AddButton(4, "Load Memory Content to a File", "LONG_BTN", ButtonMemRead2File->x(),
                          ButtonMemRead2File->y());

    ComboBoxMemType->addItem(
        MemoryTypeEntryText(QString::fromStdString(TBoard::MemoryTypeName(MEM_TYPE_SDRAM)), memoryLayout.sdramSize));
    ComboBoxMemType->setCurrentIndex(0);
    // Connected only now: filling the list is no change the host must hear of.
    connect(ComboBoxMemType, &QComboBox::currentIndexChanged, this, [this] { ComboBoxMemTypeChange(); });
    connect(ComboBoxMemType, &QComboBox::activated, this, [this] { ComboBoxMemTypeSelect(); });
    connect(CheckBoxMemReadEntireMem, &QCheckBox::clicked, this, [this] { CheckBoxMemReadEntireMemClick(); });
    connect(CheckBoxMemWriteFileLen, &QCheckBox::clicked, this, [this] { CheckBoxMemWriteFileLenClick(); });
    connect(ButtonMemoryRandomRead, &QPushButton::clicked, this, [this] { ButtonMemoryRandomReadClick(); });
    connect(ButtonMemoryRandomWrite, &QPushButton::clicked, this, [this] { ButtonMemoryRandomWriteClick(); });
    connect(ButtonMemWrite2FMem, &QPushButton::clicked, this, [this] { ButtonMemWrite2FMemClick(); });
    connect(ButtonMemRead2File, &QPushButton::clicked, this, [this] { ButtonMemRead2FileClick(); });
    LabelEntireMemory->installEventFilter(this);
    LabelFileLength->installEventFilter(this);

    SetControlsEnabled(false);
}

TFormMemory::~TFormMemory() = default;

void TFormMemory::BuildControls() {
    const QColor white(255, 255, 255);
    setFont(PageFont("MS Sans Serif", 8));

    LabelType = MakeLabel(this, "Memory Type", 16, 16, 10, TITLE_COLOUR);
    ComboBoxMemType = new QComboBox(this);
    ComboBoxMemType->setEditable(false);
    ComboBoxMemType->setFont(PageFont("Arial", 9));
    ComboBoxMemType->setStyleSheet("QComboBox { color: white; background-color: rgb(64, 64, 64); }");
    ComboBoxMemType->move(102, 12);
    ComboBoxMemType->resize(270, ComboBoxMemType->sizeHint().height());

    LabelRandomAccess = MakeLabel(this, "Random Access", 16, 41, 10, TITLE_COLOUR);
    LabelMemRdmAddr = MakeLabel(this, "Address: ", 16, 62, 8, white);
    EditMemRdmAddr = MakeEdit(this, "00000000", 62, 59, 72, 8);
    LabelMemRdmWrite = MakeLabel(this, "wDATA:", 145, 64, 8, white);
    EditMemRdmWrite = MakeEdit(this, "0000", 187, 59, 64, 4);
    LabelMemRdmRead = MakeLabel(this, "rDATA: ", 265, 64, 8, white);
    EditMemRdmRead = MakeEdit(this, "0000", 305, 59, 64, 4);
    EditMemRdmRead->setReadOnly(true);
    SetTextColour(EditMemRdmRead, QPalette::Base, Qt::black);
    SetTextColour(EditMemRdmRead, QPalette::Text, white);

    LabelSeqWrite = MakeLabel(this, "Sequential Write", 16, 114, 10, TITLE_COLOUR);
    LabelMemWriteAddr = MakeLabel(this, "Address: ", 16, 135, 8, white);
    EditMemWriteAddr = MakeEdit(this, "00000000", 62, 132, 72, 0);
    LabelMemWriteLen = MakeLabel(this, "Length:", 148, 137, 8, white);
    EditMemWriteLen = MakeEdit(this, "0", 187, 132, 66, 0);
    CheckBoxMemWriteFileLen = MakeCheckBox(this, 275, 134);
    LabelFileLength = MakeLabel(this, "File Length", 295, 135, 8, white);
    LabelFileLength->setCursor(Qt::PointingHandCursor);

    LabelSeqRead = MakeLabel(this, "Sequential Read", 16, 185, 10, TITLE_COLOUR);
    LabelMemReadAddr = MakeLabel(this, "Address: ", 16, 206, 8, white);
    EditMemReadAddr = MakeEdit(this, "00000000", 62, 203, 72, 0);
    LabelMemReadLen = MakeLabel(this, "Length:", 147, 207, 8, white);
    EditMemReadLen = MakeEdit(this, "0", 187, 203, 66, 0);
    CheckBoxMemReadEntireMem = MakeCheckBox(this, 275, 208);
    LabelEntireMemory = MakeLabel(this, "Entire Memory", 295, 209, 8, white);
    LabelEntireMemory->setCursor(Qt::PointingHandCursor);

    ImageFlashNote = new QLabel(this);
    ImageFlashNote->setPixmap(QPixmap::fromImage(skin::LoadSkinPicture(skin::FLASH_NOTE)));
    ImageFlashNote->setGeometry(22, 256, 16, 16);
    LabelMemFlashHint =
        MakeLabel(this, "Note. Please erase flash first before writing data.", 44, 255, 10, QColor(255, 0, 0));
    LabelMemFlashHint->resize(329, LabelMemFlashHint->height());
    ImageFlashNote->hide();
    LabelMemFlashHint->hide();

    ButtonMemoryRandomRead = MakePlainButton(this, "Read", 306, 89);
    ButtonMemoryRandomWrite = MakePlainButton(this, "Write", 189, 89);
    ButtonMemRdmErase = MakePlainButton(this, "Erase", 13, 89);
    ButtonMemWrite2FMem = MakePlainButton(this, "Write a File to Memory", 187, 162);
    ButtonMemRead2File = MakePlainButton(this, "Load Memory Content to a File", 187, 236);
}

QString TFormMemory::MemoryTypeEntryText(const QString& name, uint32_t byteSize) {
    const unsigned words = byteSize / 2;
    if (byteSize < 0x400)
        return QString::asprintf("%s (%Xh WORDS, %u Bytes)", qPrintable(name), words, byteSize);
    if (byteSize < 0x100000)
        return QString::asprintf("%s (%Xh WORDS, %u KB)", qPrintable(name), words, byteSize / 1024);
    if (byteSize < 0x40000000)
        return QString::asprintf("%s (%Xh WORDS, %u MB)", qPrintable(name), words, byteSize >> 20);
    return QString::asprintf("%s (%Xh WORDS, %u GB)", qPrintable(name), words, byteSize >> 30);
}

uint32_t TFormMemory::MemoryWordCount(uint8_t memoryType) const {
    QX7MB_ASSERT(memoryType == MEM_TYPE_SDRAM, "UnitMemory");
    return memoryLayout.sdramSize / 2;
}

QString TFormMemory::ZeroAddressText(uint8_t memoryType) const {
    QString text;
    for (uint32_t rest = MemoryWordCount(memoryType) - 1; rest != 0; rest >>= 4)
        text += '0';
    return text;
}

uint8_t TFormMemory::SelectedMemType() const {
    QX7MB_ASSERT(ComboBoxMemType->currentIndex() == 0, "UnitMemory");
    return MEM_TYPE_SDRAM;
}

int TFormMemory::SelectedMemTypeIndex() const {
    return ComboBoxMemType->currentIndex();
}

TMemoryAccess& TFormMemory::Memory() {
    if (m_pMemoryOverride != nullptr)
        return *m_pMemoryOverride;
    return boardAccess;
}

void TFormMemory::Activate(TBoard& board) {
    ShowStatusInfo("", statuscolour::GREEN);
    m_pBoard = &board;
    boardAccess.Bind(&board);
    SetControlsEnabled(board.IsConnected() && !transferring);
}

void TFormMemory::Deactivate() {
    m_pBoard = nullptr;
    boardAccess.Bind(nullptr);
    SetControlsEnabled(false);
}

void TFormMemory::SetControlsEnabled(bool enabled) {
    QPushButton* const plain[] = {ButtonMemoryRandomRead, ButtonMemoryRandomWrite, ButtonMemRdmErase,
                                  ButtonMemWrite2FMem, ButtonMemRead2File};
    for (int id = 0; id < 5; ++id) {
        plain[id]->setEnabled(enabled);
        m_pButtons->SetEnabled(id, enabled);
    }
    UpdateEraseControls();
}

void TFormMemory::UpdateEraseControls() {
    // The erase button and the flash note belong to flash memories, which the list does not offer.
    ImageFlashNote->hide();
    LabelMemFlashHint->hide();
    ButtonMemRdmErase->setText("Chip Erase (70 sec)");
    ButtonMemRdmErase->setEnabled(false);
    m_pButtons->SetEnabled(2, ButtonMemRdmErase->isEnabled());
    m_pButtons->SetCaption(2, ButtonMemRdmErase->text());
}

bool TFormMemory::ParseHexField(const QString& text, const QString& fieldName, int64_t minimum, int64_t maximum,
                                uint32_t& value) {
    switch (CheckHexField(text.toStdU16String(), minimum, maximum, value)) {
    case THexFieldCheck::Ok:
        return true;
    case THexFieldCheck::Invalid:
        ErrorBox(QString("Value '%1' is invalid for '%2'").arg(text, fieldName));
        return false;
    case THexFieldCheck::AboveMaximum:
        ErrorBox(QString("The input value(%1) for the field '%2' is expected to less or equal to %3h.")
                     .arg(text, fieldName, QString::number(maximum, 16).toUpper()));
        return false;
    case THexFieldCheck::BelowMinimum:
        ErrorBox(QString("The intput value(%1) for the field '%2' is expected to larger or equal to %3h.")
                     .arg(text, fieldName, QString::number(minimum, 16).toUpper()));
        return false;
    }
    return false;
}

void TFormMemory::RandomWrite() {
    const uint8_t type = SelectedMemType();
    const QString name = QString::fromStdString(TBoard::MemoryTypeName(type));
    ShowStatusInfo(name + " Random Write...", statuscolour::YELLOW);
    Dialogs().SetCursor(Qt::WaitCursor);
    SetControlsEnabled(false);

    const uint32_t n = MemoryWordCount(type);
    uint32_t address = 0;
    uint32_t word = 0;
    bool ok = ParseHexField(EditMemRdmAddr->text(), "Address", 0, n - 1, address);
    if (ok)
        ok = ParseHexField(EditMemRdmWrite->text(), "wDATA", 0, 0xFFFF, word);
    if (ok) {
        const uint8_t bytes[2] = {static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8)};
        ok = m_pBoard != nullptr && m_pBoard->MemoryWrite(type, 2 * address, bytes, 2);
    }
    ShowStatusInfo(name + " Random Write " + (ok ? "Success" : "Fail"), ok ? statuscolour::GREEN : statuscolour::RED);

    SetControlsEnabled(m_pBoard != nullptr);
    Dialogs().SetCursor(Qt::ArrowCursor);
}

void TFormMemory::RandomRead() {
    const uint8_t type = SelectedMemType();
    const QString name = QString::fromStdString(TBoard::MemoryTypeName(type));
    ShowStatusInfo(name + " Random Read...", statuscolour::YELLOW);
    Dialogs().SetCursor(Qt::WaitCursor);
    SetControlsEnabled(false);

    uint32_t address = 0;
    bool ok = ParseHexField(EditMemRdmAddr->text(), "Address", 0, MemoryWordCount(type) - 1, address);
    if (ok) {
        uint8_t bytes[2] = {0, 0};
        ok = m_pBoard != nullptr && m_pBoard->MemoryRead(type, 2 * address, bytes, 2);
        if (ok)
            EditMemRdmRead->setText(QString::asprintf("%04X", bytes[0] | bytes[1] << 8));
    }
    ShowStatusInfo(name + " Random Read " + (ok ? "Success" : "Fail"), ok ? statuscolour::GREEN : statuscolour::RED);

    SetControlsEnabled(m_pBoard != nullptr);
    Dialogs().SetCursor(Qt::ArrowCursor);
}

void TFormMemory::FormPaint() {
    m_pBitmaps->DrawBitmap(0, 0, 0);
    m_pButtons->DrawAll();
}

void TFormMemory::ButtonClick(skin::TButtonManager&, int id) {
    switch (id) {
    case 0:
        ButtonMemoryRandomReadClick();
        break;
    case 1:
        ButtonMemoryRandomWriteClick();
        break;
    case 3:
        ButtonMemWrite2FMemClick();
        break;
    case 4:
        ButtonMemRead2FileClick();
        break;
    default:
        break;
    }
}

bool TFormMemory::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == LabelEntireMemory) {
            LabelEntireMemoryClick();
            return true;
        }
        if (watched == LabelFileLength) {
            LabelFileLengthClick();
            return true;
        }
    }
    return TPageForm::eventFilter(watched, event);
}

void TFormMemory::ButtonMemoryRandomReadClick() {
    RandomRead();
}

void TFormMemory::ButtonMemoryRandomWriteClick() {
    RandomWrite();
}

void TFormMemory::ButtonMemWrite2FMemClick() {
    boardFailure = false;
    WriteFileToMemory();
    if (boardFailure)
        RaiseBoardError();
}

void TFormMemory::ButtonMemRead2FileClick() {
    ReadMemoryToFile();
}

void TFormMemory::CheckBoxMemReadEntireMemClick() {
    const bool entire = CheckBoxMemReadEntireMem->isChecked();
    EditMemReadAddr->setEnabled(!entire);
    EditMemReadLen->setEnabled(!entire);
    if (entire) {
        const uint8_t type = SelectedMemType();
        EditMemReadAddr->setText(ZeroAddressText(type));
        EditMemReadLen->setText(QString::number(MemoryWordCount(type), 16).toUpper());
    }
}

void TFormMemory::CheckBoxMemWriteFileLenClick() {
    if (!CheckBoxMemWriteFileLen->isChecked()) {
        const uint8_t type = SelectedMemType();
        EditMemWriteAddr->setText(ZeroAddressText(type));
        EditMemWriteLen->setText(QString::number(MemoryWordCount(type), 16).toUpper());
    }
}

void TFormMemory::LabelEntireMemoryClick() {
    CheckBoxMemReadEntireMem->setChecked(!CheckBoxMemReadEntireMem->isChecked());
    CheckBoxMemReadEntireMemClick();
}

void TFormMemory::LabelFileLengthClick() {
    CheckBoxMemWriteFileLen->setChecked(!CheckBoxMemWriteFileLen->isChecked());
    CheckBoxMemWriteFileLenClick();
}

void TFormMemory::ComboBoxMemTypeChange() {
    UpdateEraseControls();
    QX7MB_ASSERT(OnUpdateTestArea, "UnitMemory");
    OnUpdateTestArea();
}

void TFormMemory::ComboBoxMemTypeSelect() {
    UpdateEraseControls();
    QX7MB_ASSERT(OnUpdateTestArea, "UnitMemory");
    OnUpdateTestArea();
    if (ComboBoxMemType->currentIndex() != lastTypeIndex) {
        ShowStatusInfo("", statuscolour::GREEN);
        lastTypeIndex = ComboBoxMemType->currentIndex();
    }
}
