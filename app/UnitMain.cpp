#include "app/UnitMain.h"

#include "app/Unitabout.h"
#include "config/Quartusinfo.h"
#include "pages/UnitLED.h"
#include "pages/UnitMemory.h"
#include "pages/UnitVGA.h"
#include "pages/Unitbutton.h"
#include "pages/Unitsdcard.h"
#include "pages/Unitseg7.h"
#include "shell/StatusInfo.h"
#include "skin/SkinResources.h"

#include <QBitmap>
#include <QPainter>
#include <QPixmap>
#include <QWindow>

TFormMain* FormMain = nullptr;

namespace {

const char* const MAIN_CAPTION = "Veldara QX7-MB Control Panel V1.0.1";

struct TabPlace {
    const char* caption;
    int left;
    int top;
};

// Two columns 98 apart, three rows 63 apart; the first column holds pages 0 to 2.
constexpr TabPlace TAB_PLACES[TFormMain::PAGE_COUNT] = {
    {"LED", 8, 310},      {"7-SEG", 8, 373},     {"Switches", 8, 436},
    {"Memory", 106, 310}, {"SD Card", 106, 373}, {"VGA", 106, 436},
};

constexpr int PAGE_LEFT = 204;
constexpr int PAGE_TOP = 288;

QFont PixelFont(const QString& family, int pixels) {
    QFont font(family);
    font.setPixelSize(pixels);
    return font;
}

void SetTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

// A label drawn over the skin: no background of its own, and the mouse passes to the window.
QLabel* OverlayLabel(QWidget* parent, int left, int top, int width, int height) {
    auto* label = new QLabel(parent);
    label->setGeometry(left, top, width, height);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->setAutoFillBackground(false);
    return label;
}

// A button of the form description that is never shown; only its position is used.
QPushButton* PlaceHolderButton(QWidget* parent, const QString& caption, int left, int top, int width, int height) {
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(left, top, width, height);
    button->hide();
    return button;
}

} // namespace

TShape::TShape(QWidget* parent, int left, int top, int width, int height) : QWidget(parent) {
    setGeometry(left, top, width, height);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

void TShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QPen pen(QColor(255, 255, 0));
    pen.setWidth(2);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(1, 1, width() - 2, height() - 2));
}

TFormMain::TFormMain(QWidget* parent) : skin::TSkinForm(parent, Qt::Window | Qt::FramelessWindowHint) {
    // The background is the window's caption: the hand shows that it can be dragged. Over a button
    // the application's cursor, set by the groups, shows instead.
    setCursor(Qt::PointingHandCursor);
    CreateControls();
    // Written before the window shows, so that it records the machine also when no board is there;
    // a failure to write it ends the start-up.
    WriteSystemInfo("system.log");
    LabelCaption->setText(MAIN_CAPTION);
    setWindowTitle(MAIN_CAPTION);
    BuildSkin();
    SetConnectStatus("Disconnected", statuscolour::RED);
    LabelConnectStatus->clear();
    CGaugeConfig->hide();
    FormCreate();
    SetStatusInfoSink([this](const QString& text, const QColor& colour) { SetStatusInfo(text, colour); });
}

TFormMain::~TFormMain() {
    SetStatusInfoSink({});
    m_pBitmaps.reset();
    m_pTabButtons.reset();
    m_pWindowButtons.reset();
    DestroyPages();
    m_strDevice.clear();
    // m_Board goes next, closing the link; the controls go with the window.
}

void TFormMain::CreateControls() {
    ImageBackground = new QLabel(this);
    ImageBackground->hide();

    ButtonConnect = PlaceHolderButton(this, "Connect", 124, 492, 79, 77);
    ButtonClose = PlaceHolderButton(this, QString(), 559, 19, 37, 12);
    ButtonMini = PlaceHolderButton(this, QString(), 520, 19, 37, 12);
    ButtonAbout = PlaceHolderButton(this, QString(), 481, 19, 37, 12);

    LabelCaption = OverlayLabel(this, 164, 8, 292, 16);
    LabelCaption->setAlignment(Qt::AlignCenter);
    LabelCaption->setFont(PixelFont("MS Sans Serif", 13));
    SetTextColour(LabelCaption, QColor(0, 255, 0));

    ShapeSegDisp = new TShape(this, 191, 196, 115, 31);
    ShapeLed = new TShape(this, 190, 229, 120, 11);
    ShapeButtonSw = new TShape(this, 191, 244, 120, 21);
    ShapeButton = new TShape(this, 319, 247, 74, 20);
    ShapeSDCARD = new TShape(this, 402, 56, 36, 37);
    ShapeSDRAM = new TShape(this, 312, 204, 54, 25);
    ShapeVGA = new TShape(this, 280, 34, 73, 52);

    LabelConnectStatus = OverlayLabel(this, 30, 522, 92, 22);
    LabelConnectStatus->setAlignment(Qt::AlignCenter);
    LabelConnectStatus->setFont(PixelFont("Arial", 13));

    CGaugeConfig = new QProgressBar(this);
    CGaugeConfig->setGeometry(32, 520, 92, 21);
    CGaugeConfig->setRange(0, 100);
    CGaugeConfig->setValue(0);
    CGaugeConfig->setFont(PixelFont("Arial", 13));
    CGaugeConfig->setAlignment(Qt::AlignCenter);
    CGaugeConfig->setAttribute(Qt::WA_TransparentForMouseEvents);
    CGaugeConfig->setStyleSheet("QProgressBar { border: none; background: transparent; }"
                                "QProgressBar::chunk { background-color: rgb(0, 255, 48); }");
    CGaugeConfig->hide();

    ImageInfo = OverlayLabel(this, 227, 564, 15, 13);
    QPixmap mark = QPixmap::fromImage(skin::LoadSkinPicture(skin::INFO_MARK));
    // Transparent as the skin pictures are: the colour of the bottom-left pixel is not painted.
    const QImage markImage = mark.toImage();
    if (!markImage.isNull())
        mark.setMask(QBitmap::fromImage(markImage.createMaskFromColor(markImage.pixel(0, markImage.height() - 1))));
    ImageInfo->setPixmap(mark);

    LabelInfo = OverlayLabel(this, 245, 562, 329, 16);
    LabelInfo->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    LabelInfo->setFont(PixelFont("Arial", 11));
    LabelInfo->hide();

    AnimateWelcome = new skin::TAnimate(this);
    AnimateWelcome->setGeometry(PAGE_LEFT, PAGE_TOP, 387, 296);
    AnimateWelcome->hide();

    TimerRun = new QTimer(this);
    connect(TimerRun, &QTimer::timeout, this, [this] { TimerRunTimer(); });
    TimerProgress = new QTimer(this);
    connect(TimerProgress, &QTimer::timeout, this, [this] { TimerProgressTimer(); });
}

void TFormMain::BuildSkin() {
    m_pBitmaps = std::make_unique<skin::TBitmapManager>(Canvas());
    m_pBitmaps->AddBitmap(0, "MAIN_UI", false);
    const QSize size = m_pBitmaps->GetBitmapSize(0);
    SetClientSize(size.width(), size.height());

    m_pTabButtons = std::make_unique<skin::TButtonManager>(this, Canvas(), skin::gmRadio);
    for (int i = 0; i < PAGE_COUNT; ++i)
        m_pTabButtons->AddButton(i, TAB_PLACES[i].caption, "TAB_BUTTON", TAB_PLACES[i].left, TAB_PLACES[i].top);

    m_pWindowButtons = std::make_unique<skin::TButtonManager>(this, Canvas(), skin::gmPush);
    m_pWindowButtons->AddButton(ID_CLOSE, QString(), "CLOSE_BTN", ButtonClose->x(), ButtonClose->y());
    m_pWindowButtons->AddButton(ID_MINI, QString(), "MINI_BTN", ButtonMini->x(), ButtonMini->y());
    m_pWindowButtons->AddButton(ID_ABOUT, QString(), "ABOUT_BTN", ButtonAbout->x(), ButtonAbout->y());
    m_pWindowButtons->AddButton(ID_CONNECT, QString(), "CONNECT_BTN", 124, 492);

    // The clip plays from the first display until the first connection attempt ends.
    AnimateWelcome->move(PAGE_LEFT, PAGE_TOP);
    AnimateWelcome->show();
    AnimateWelcome->SetActive(true);
}

void TFormMain::FormCreate() {
    CreatePages();
    TimerRun->setInterval(300);
    TimerRun->start();
}

void TFormMain::CreatePages() {
    m_pPages[0] = new TFormLED(this);
    m_pPages[1] = new TFormSeg7(this);
    m_pPages[2] = new TFormButton(this);
    m_pPages[3] = new TFormMemory(this);
    m_pPages[4] = new TFormSDCARD(this);
    m_pPages[5] = new TFormVGA(this);
    for (TPageForm* page : m_pPages) {
        page->move(PAGE_LEFT, PAGE_TOP);
        page->hide();
    }
    // The status-information line runs along the page area's lower edge; it stays readable over the
    // pages and over the welcome clip, which shows while a connection attempt reports its steps.
    ImageInfo->raise();
    LabelInfo->raise();
}

void TFormMain::DestroyPages() {
    for (TPageForm*& page : m_pPages) {
        delete page;
        page = nullptr;
    }
}

void TFormMain::SwitchPage(int8_t index) {
    if (index == m_nCurrentPage)
        return;
    if (m_nCurrentPage == WELCOME_PAGE) {
        ShowWelcome(false);
    } else {
        NotifyPage(m_nCurrentPage, false);
        Page(m_nCurrentPage)->hide();
    }
    m_nCurrentPage = index;
    if (index == WELCOME_PAGE) {
        ShowWelcome(true);
        return;
    }
    Page(index)->show();
    NotifyPage(index, true);
}

void TFormMain::NotifyPage(int8_t index, bool active) {
    HighlightPeripheral(index);
    TPageForm* page = Page(index);
    page->OnBoardError = [this](TPageForm* sender) { HandleBoardError(sender); };
    if (auto* memory = dynamic_cast<TFormMemory*>(page))
        memory->OnUpdateTestArea = [this] { UpdateTestArea(); };
    if (active)
        page->Activate(m_Board);
    else
        page->Deactivate();
}

void TFormMain::UpdateTestArea() {
    HighlightPeripheral(m_nCurrentPage);
}

void TFormMain::HighlightPeripheral(int8_t index) {
    for (TShape* shape : {ShapeSegDisp, ShapeLed, ShapeButtonSw, ShapeButton, ShapeSDCARD, ShapeSDRAM, ShapeVGA})
        shape->hide();
    switch (index) {
    case 0:
        ShapeLed->show();
        break;
    case 1:
        ShapeSegDisp->show();
        break;
    case 2:
        ShapeButtonSw->show();
        ShapeButton->show();
        break;
    case 3:
        if (static_cast<TFormMemory*>(Page(3))->SelectedMemTypeIndex() == 0)
            ShapeSDRAM->show();
        break;
    case 4:
        ShapeSDCARD->show();
        break;
    case 5:
        ShapeVGA->show();
        break;
    default:
        break;
    }
}

void TFormMain::ShowWelcome(bool visible) {
    AnimateWelcome->setVisible(visible);
    AnimateWelcome->SetActive(visible && m_bConnecting);
}

bool TFormMain::IsOnBackground(int x, int y) {
    return !m_pWindowButtons->IsOverButton(x, y) && !m_pTabButtons->IsOverButton(x, y);
}

void TFormMain::FormPaint() {
    m_pBitmaps->DrawBitmap(0, 0, 0);
    m_pTabButtons->DrawAll();
    m_pWindowButtons->DrawAll();
}

void TFormMain::FormMouseMove(int x, int y) {
    if (!m_pTabButtons->MouseMove(x, y, false))
        m_pWindowButtons->MouseMove(x, y, true);
}

void TFormMain::FormMouseDown(int x, int y) {
    if (IsOnBackground(x, y)) {
        if (QWindow* handle = windowHandle())
            handle->startSystemMove();
        return;
    }
    if (!m_pTabButtons->MouseDown(x, y))
        m_pWindowButtons->MouseDown(x, y);
}

void TFormMain::FormMouseUp(int x, int y) {
    int id = m_pTabButtons->MouseUp(x, y);
    if (id >= 0) {
        if (id != m_nCurrentPage)
            SwitchPage(static_cast<int8_t>(id));
        return;
    }
    id = m_pWindowButtons->MouseUp(x, y);
    switch (id) {
    case ID_CLOSE:
        close();
        break;
    case ID_ABOUT:
        ButtonAboutClick();
        break;
    case ID_MINI:
        ButtonMiniClick();
        break;
    case ID_CONNECT:
        ButtonConnectClick();
        break;
    default:
        break;
    }
}

void TFormMain::ButtonAboutClick() {
    TFormAbout about(this);
    about.ShowModal();
}

void TFormMain::ButtonMiniClick() {
    showMinimized();
}
