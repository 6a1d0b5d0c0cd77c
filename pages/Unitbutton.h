#pragma once

#include "pages/PageForm.h"

class TFormButton : public TPageForm {
    Q_OBJECT
public:
    explicit TFormButton(QWidget* parent);

    void Activate(TBoard& board) override;
    void Deactivate() override;

protected:
    void FormPaint() override;
};
