#pragma once

#include "pages/PageForm.h"

class TFormLED : public TPageForm {
    Q_OBJECT
public:
    explicit TFormLED(QWidget* parent);

    void Activate(TBoard& board) override;
    void Deactivate() override;

protected:
    void FormPaint() override;
};
