#include "pages/UnitLED.h"

#include "board/Protocol.h"
#include "platform/Assert.h"
#include "shell/StatusInfo.h"

namespace {
constexpr const char* LAMP_LIT = "LEDR_LIGHT_BTN";
constexpr const char* LAMP_UNLIT = "LEDR_UNLIGHT_BTN";
constexpr int COMMAND_LIGHT_ALL = 0;
constexpr int COMMAND_UNLIGHT_ALL = 1;

int LampLeft(int i) {
    return 332 - 33 * i;
}
constexpr int LAMP_TOP = 115;
constexpr int LABEL_TOP = 155;
} // namespace

TFormLED::TFormLED(QWidget* parent)
    : TPageForm(parent, "TAB_DLG_BK"), ButtonLedLightAll(new QPushButton("Light All", this)),
      ButtonLedUnlightAll(new QPushButton("Unlight All", this)),
      m_pLamps(std::make_unique<skin::TButtonManager>(this, Canvas(), skin::gmToggle)),
      m_pCommands(std::make_unique<skin::TButtonManager>(this, Canvas(), skin::gmPush)) {
    ButtonLedLightAll->setGeometry(106, 243, 64, 17);
    ButtonLedUnlightAll->setGeometry(218, 243, 64, 17);
    ButtonLedLightAll->hide();
    ButtonLedUnlightAll->hide();
    connect(ButtonLedLightAll, &QPushButton::clicked, this, &TFormLED::ButtonLedLightAllClick);
    connect(ButtonLedUnlightAll, &QPushButton::clicked, this, &TFormLED::ButtonLedUnlightAllClick);

    // The lamps start lit, although nothing has been sent: the board keeps its own state until the
    // user first changes one.
    for (int i = 0; i < LED_COUNT; ++i) {
        m_pLamps->AddButton(i, QString(), LAMP_LIT, LampLeft(i), LAMP_TOP);
        m_pLamps->SetChecked(i, true);
    }
    m_pCommands->AddButton(COMMAND_LIGHT_ALL, "Light All", "NORMAL_BTN", ButtonLedLightAll->x(),
                           ButtonLedLightAll->y());
    m_pCommands->AddButton(COMMAND_UNLIGHT_ALL, "Unlight All", "NORMAL_BTN", ButtonLedUnlightAll->x(),
                           ButtonLedUnlightAll->y());
    AddButtonGroup(*m_pLamps);
    AddButtonGroup(*m_pCommands);
    SetControlsEnabled(false);
}

TFormLED::~TFormLED() = default;

void TFormLED::Activate(TBoard& board) {
    ShowStatusInfo(QString(), statuscolour::GREEN);
    m_pBoard = &board;
    SetControlsEnabled(board.IsConnected());
}

void TFormLED::Deactivate() {
    m_pBoard = nullptr;
    SetControlsEnabled(false);
}

uint32_t TFormLED::LedMask() const {
    uint32_t mask = 0;
    for (int i = 0; i < LED_COUNT; ++i) {
        if (m_pLamps->IsChecked(i))
            mask |= 1u << i;
    }
    return mask;
}

bool TFormLED::BoardConnected() const {
    return m_pBoard != nullptr && m_pBoard->IsConnected();
}

void TFormLED::SetControlsEnabled(bool enabled) {
    ButtonLedLightAll->setEnabled(enabled);
    ButtonLedUnlightAll->setEnabled(enabled);
    m_pCommands->SetEnabled(COMMAND_LIGHT_ALL, enabled);
    m_pCommands->SetEnabled(COMMAND_UNLIGHT_ALL, enabled);
    for (int i = 0; i < LED_COUNT; ++i)
        m_pLamps->SetEnabled(i, enabled);
}

void TFormLED::SetAllLamps(bool lit) {
    for (int i = 0; i < LED_COUNT; ++i) {
        m_pLamps->SetBitmap(i, lit ? LAMP_LIT : LAMP_UNLIT);
        m_pLamps->SetChecked(i, lit);
    }
    m_pLamps->DrawAll();
    WriteLeds();
}

void TFormLED::ButtonLedLightAllClick() {
    SetAllLamps(true);
}

void TFormLED::ButtonLedUnlightAllClick() {
    SetAllLamps(false);
}

void TFormLED::WriteLeds() {
    if (m_pBoard == nullptr)
        return;
    bool ok = false;
    {
        std::lock_guard<std::recursive_mutex> guard(m_pBoard->lock);
        // A board whose link is gone has not taken the change: that is a failure, not a silent success.
        if (m_pBoard->IsConnected())
            ok = m_pBoard->SetLeds(LedMask());
    }
    if (!ok)
        RaiseBoardError();
}

void TFormLED::FormPaint() {
    m_pBitmaps->DrawBitmap(0, 0, 0);
    m_pLamps->DrawAll();
    m_pCommands->DrawAll();

    skin::TCanvas* canvas = Canvas();
    canvas->SetFontName("Arial");
    canvas->SetFontSize(7);
    canvas->SetTextColor(QColor(255, 0, 0));
    canvas->SetBrushClear();
    for (int i = 0; i < LED_COUNT; ++i) {
        const QString label = QString("RLED%1").arg(i);
        canvas->TextOut(344 - 33 * i - canvas->TextWidth(label) / 2, LABEL_TOP, label);
    }
}

void TFormLED::FormMouseDown(int x, int y) {
    if (!BoardConnected())
        return;
    TPageForm::FormMouseDown(x, y);
}

void TFormLED::FormMouseMove(int x, int y) {
    if (!BoardConnected())
        return;
    TPageForm::FormMouseMove(x, y);
}

void TFormLED::ButtonClick(skin::TButtonManager& group, int id) {
    if (&group == m_pLamps.get()) {
        // The toggle group has already inverted the lamp's flag; its picture follows the flag.
        m_pLamps->SetBitmap(id, m_pLamps->IsChecked(id) ? LAMP_LIT : LAMP_UNLIT);
        m_pLamps->DrawAll();
        WriteLeds();
        return;
    }
    switch (id) {
    case COMMAND_LIGHT_ALL:
        ButtonLedLightAllClick();
        break;
    case COMMAND_UNLIGHT_ALL:
        ButtonLedUnlightAllClick();
        break;
    default:
        QX7MB_ASSERT(0, "UnitLED");
    }
}
