#pragma once

#include "skin/BitmapManager.h"
#include "skin/Buttonmanager.h"
#include "skin/SkinForm.h"

#include <QLabel>
#include <QPushButton>
#include <memory>

class QEventLoop;

// The about box: the product's name and version on the "ABOUT_BK" picture, closed by its own skinned
// button. The main window shows it modally and destroys it when it closes.
class TFormAbout : public skin::TSkinForm {
    Q_OBJECT
public:
    explicit TFormAbout(QWidget* owner);
    ~TFormAbout() override;
    TFormAbout(const TFormAbout&) = delete;
    TFormAbout& operator=(const TFormAbout&) = delete;

    // Shows the box centred on the screen and returns when it is closed; the rest of the
    // application takes no input meanwhile.
    void ShowModal();
    void ButtonExitClick();

    skin::TButtonManager* Buttons() const { return m_pButtons.get(); }

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QPushButton* ButtonExit;

protected:
    void FormPaint() override;
    void FormMouseDown(int x, int y) override;
    void FormMouseMove(int x, int y) override;
    void FormMouseUp(int x, int y) override;
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<skin::TBitmapManager> m_pBitmaps;
    std::unique_ptr<skin::TButtonManager> m_pButtons;
    QEventLoop* modalLoop = nullptr;
};
