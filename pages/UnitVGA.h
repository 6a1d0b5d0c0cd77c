#pragma once

#include "pages/PageForm.h"
#include "pages/PictureBox.h"

#include <QComboBox>
#include <QLabel>

// The VGA page: the user picks one of nine test patterns; the page previews it and has the board put
// it out on the VGA connector.
class TFormVGA : public TPageForm {
    Q_OBJECT
public:
    explicit TFormVGA(QWidget* parent);

    void Activate(TBoard& board) override;
    void Deactivate() override;

    void ComboBoxVGAChange();
    void DrawPreview(int index);

    QLabel* LabelCaption;
    QLabel* LabelPattern;
    QComboBox* ComboBoxVGA;
    TPictureBox* ImageVGA;

    static constexpr int PREVIEW_WIDTH = 329;
    static constexpr int PREVIEW_HEIGHT = 169;

protected:
    void FormPaint() override;

private:
    void SendPattern(int index);
    bool ProbeVgaOut();
};
