#pragma once

#include "pages/PageForm.h"

class TFormSDCARD : public TPageForm {
    Q_OBJECT
public:
    explicit TFormSDCARD(QWidget* parent);

    void Activate(TBoard& board) override;
    void Deactivate() override;

protected:
    void FormPaint() override;
};
