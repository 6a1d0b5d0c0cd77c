#include "pages/Unitsdcard.h"

#include "pages/PageFonts.h"
#include "platform/Notify.h"
#include "shell/StatusInfo.h"

namespace {
constexpr int BUTTON_READ = 0;
const QColor HEADING_COLOUR{0, 234, 255};
constexpr const char* ACCESS_FAILED = "Failed to access SDCARD.";
constexpr const char* NO_CARD = "Failed to access the SDCARD.\nPlease make sure a SDCARD is pluged into the Cyclone V "
                                "Vantrel Board.";

QLabel* MakeLabel(QWidget* page, const QString& text, int left, int top) {
    auto* label = new QLabel(text, page);
    label->move(left, top);
    // The card's own texts (product name, manufacturer) are shown as they are, never as markup.
    label->setTextFormat(Qt::PlainText);
    return label;
}

void MakeHeading(QLabel& label) {
    SetControlLook(label, PageFont("Arial", 10), HEADING_COLOUR);
    label.adjustSize();
}

void MakeValue(QLabel& label, int width, int height) {
    SetControlLook(label, PageFont("Arial", 8), Qt::white);
    label.setWordWrap(true);
    label.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label.setFixedSize(width, height);
}
} // namespace

TFormSDCARD::TFormSDCARD(QWidget* parent)
    : TPageForm(parent, "SDCARD_DLG_BK"), LabelCID(MakeLabel(this, "Card Identification", 24, 8)),
      LabelSDCARD_CID(MakeLabel(this, "SD-CARD CID", 32, 24)), LabelCSD(MakeLabel(this, "Card Specific Data", 24, 116)),
      LabelSDCARD_CSD(MakeLabel(this, "SD-CARD CSD", 32, 132)), LabelFAT(MakeLabel(this, "File System:", 24, 222)),
      LabelSDCARD_FAT(MakeLabel(this, "File System", 32, 238)), ButtonSDCARD(new QPushButton("Read", this)),
      m_pButtons(std::make_unique<skin::TButtonManager>(this, Canvas(), skin::gmPush)) {
    setWindowTitle("SDCARD");
    MakeHeading(*LabelCID);
    MakeHeading(*LabelCSD);
    MakeHeading(*LabelFAT);
    MakeValue(*LabelSDCARD_CID, 280, 97);
    MakeValue(*LabelSDCARD_CSD, 272, 89);
    MakeValue(*LabelSDCARD_FAT, 193, 25);
    ButtonSDCARD->setGeometry(288, 226, 89, 29);
    ButtonSDCARD->hide();
    connect(ButtonSDCARD, &QPushButton::clicked, this, &TFormSDCARD::ButtonSDCARDClick);

    m_pButtons->AddButton(BUTTON_READ, "Read", "NORMAL_BTN", ButtonSDCARD->x(), ButtonSDCARD->y());
    AddButtonGroup(*m_pButtons);
    SetControlsEnabled(false);
    ClearValues();
}

TFormSDCARD::~TFormSDCARD() = default;

void TFormSDCARD::Activate(TBoard& board) {
    ShowStatusInfo(QString(), statuscolour::GREEN);
    m_pBoard = &board;
    SetControlsEnabled(board.IsConnected());
}

void TFormSDCARD::Deactivate() {
    m_pBoard = nullptr;
    SetControlsEnabled(false);
}

bool TFormSDCARD::ReadEnabled() const {
    return ButtonSDCARD->isEnabled();
}

void TFormSDCARD::SetControlsEnabled(bool enabled) {
    ButtonSDCARD->setEnabled(enabled);
    m_pButtons->SetEnabled(BUTTON_READ, enabled);
}

void TFormSDCARD::ClearValues() {
    LabelSDCARD_CID->clear();
    LabelSDCARD_CSD->clear();
    LabelSDCARD_FAT->clear();
}

void TFormSDCARD::ButtonSDCARDClick() {
    SetControlsEnabled(false);
    ClearValues();
    const bool ok = ReadSdCard();
    SetControlsEnabled(true);
    if (!ok)
        RaiseBoardError();
}

bool TFormSDCARD::ReadSdCard() {
    bool exchanged = false;
    bool cardPresent = false;
    bool cardFlag = false;
    std::string csd;
    std::string cid;
    std::string fileSystem;
    // After a link failure the page stays active with Read enabled; a Read then must not reach for the
    // link that is gone, and takes the link-failure path.
    if (m_pBoard != nullptr && m_pBoard->IsConnected()) {
        std::lock_guard<std::recursive_mutex> guard(m_pBoard->lock);
        m_pBoard->DrainInput();
        exchanged = m_pBoard->ReadSdCardInfo(cardPresent, csd, cid, fileSystem, cardFlag);
    }
    if (!exchanged) {
        ClearValues();
        ShowStatusInfo(ACCESS_FAILED, statuscolour::RED);
        platform::ShowMessage(platform::MessageKind::Error, ACCESS_FAILED);
        return false;
    }
    if (!cardPresent) {
        ShowStatusInfo(ACCESS_FAILED, statuscolour::RED);
        platform::ShowMessage(platform::MessageKind::Warning, NO_CARD);
        return true;
    }
    LabelSDCARD_CSD->setText(QString::fromLatin1(csd));
    LabelSDCARD_CID->setText(QString::fromLatin1(cid));
    LabelSDCARD_FAT->setText(QString::fromLatin1(fileSystem));
    ShowStatusInfo("Read SDCARD read successfully", statuscolour::GREEN);
    return true;
}

void TFormSDCARD::FormPaint() {
    m_pBitmaps->DrawBitmap(0, 0, 0);
    m_pButtons->DrawAll();
}

void TFormSDCARD::ButtonClick(skin::TButtonManager&, int id) {
    if (id == BUTTON_READ)
        ButtonSDCARDClick();
}
