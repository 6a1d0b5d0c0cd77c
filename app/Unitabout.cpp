#include "app/Unitabout.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QFont>
#include <QScreen>

namespace {

QLabel* AboutLabel(QWidget* parent, int left, int top, const QString& text, const QString& family, int pixels,
                   bool bold) {
    auto* label = new QLabel(text, parent);
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->move(left, top);
    label->adjustSize();
    return label;
}

} // namespace

TFormAbout::TFormAbout(QWidget* owner) : skin::TSkinForm(owner, Qt::Dialog) {
    setWindowTitle("About Control Panel");
    Label1 = AboutLabel(this, 148, 276, "QX7-MB Control Panel", "MS Sans Serif", 16, true);
    Label2 = AboutLabel(this, 148, 306, "Software Version V 1.0.1", "Times New Roman", 13, false);
    Label3 = AboutLabel(this, 148, 323, "Copyright (c) Veldara. All rights reserved.", "Times New Roman", 13, false);
    Label4 = AboutLabel(this, 148, 341, "www.veldara.com", "Times New Roman", 13, false);
    ButtonExit = new QPushButton("Close", this);
    ButtonExit->setGeometry(306, 342, 64, 17);
    ButtonExit->hide();

    m_pBitmaps = std::make_unique<skin::TBitmapManager>(Canvas());
    m_pBitmaps->AddBitmap(0, "ABOUT_BK", false);
    const QSize size = m_pBitmaps->GetBitmapSize(0);
    SetClientSize(size.width(), size.height());

    m_pButtons = std::make_unique<skin::TButtonManager>(this, Canvas(), skin::gmPush);
    m_pButtons->AddButton(0, "Close", "NORMAL_BTN", ButtonExit->x(), ButtonExit->y());
}

TFormAbout::~TFormAbout() = default;

void TFormAbout::ShowModal() {
    setWindowModality(Qt::ApplicationModal);
    if (QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    QEventLoop loop;
    modalLoop = &loop;
    loop.exec();
    modalLoop = nullptr;
}

void TFormAbout::ButtonExitClick() {
    close();
}

void TFormAbout::FormPaint() {
    m_pBitmaps->DrawBitmap(0, 0, 0);
    m_pButtons->DrawAll();
}

void TFormAbout::FormMouseDown(int x, int y) {
    m_pButtons->MouseDown(x, y);
}

void TFormAbout::FormMouseMove(int x, int y) {
    m_pButtons->MouseMove(x, y, true);
}

void TFormAbout::FormMouseUp(int x, int y) {
    if (m_pButtons->MouseUp(x, y) == 0)
        ButtonExitClick();
}

void TFormAbout::closeEvent(QCloseEvent* event) {
    if (modalLoop != nullptr)
        modalLoop->quit();
    skin::TSkinForm::closeEvent(event);
}
