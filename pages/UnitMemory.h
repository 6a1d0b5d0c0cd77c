#pragma once

#include "pages/PageForm.h"

#include <QComboBox>

#include <functional>

class TFormMemory : public TPageForm {
    Q_OBJECT
public:
    explicit TFormMemory(QWidget* parent);

    void Activate(TBoard& board) override;
    void Deactivate() override;

    // The entry selected in the memory-type list, -1 for none.
    int SelectedMemTypeIndex() const;
    // Raised when the selected memory type changes; the host shows or hides the SDRAM frame by it.
    std::function<void()> OnUpdateTestArea;

    QComboBox* ComboBoxMemType;

protected:
    void FormPaint() override;
};
