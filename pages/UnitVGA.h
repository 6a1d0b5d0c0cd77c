#pragma once

#include "pages/PageForm.h"

class TFormVGA : public TPageForm {
    Q_OBJECT
public:
    explicit TFormVGA(QWidget* parent);

    void Activate(TBoard& board) override;
    void Deactivate() override;

protected:
    void FormPaint() override;
};
