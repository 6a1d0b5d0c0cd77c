#pragma once

#include "pages/PageForm.h"

class TFormSeg7 : public TPageForm {
    Q_OBJECT
public:
    explicit TFormSeg7(QWidget* parent);

    void Activate(TBoard& board) override;
    void Deactivate() override;

protected:
    void FormPaint() override;
};
