#pragma once

#include "pages/PageForm.h"
#include "skin/Buttonmanager.h"

#include <QLabel>
#include <QPushButton>
#include <memory>

// The SD card page: reads the identification of the card in the board's slot (CID and CSD reports and
// the file system) when the user presses Read.
class TFormSDCARD : public TPageForm {
    Q_OBJECT
public:
    explicit TFormSDCARD(QWidget* parent);
    ~TFormSDCARD() override;

    void Activate(TBoard& board) override;
    void Deactivate() override;

    void ButtonSDCARDClick();
    // Whether Read can be pressed now.
    bool ReadEnabled() const;

    QLabel* LabelCID;
    QLabel* LabelSDCARD_CID;
    QLabel* LabelCSD;
    QLabel* LabelSDCARD_CSD;
    QLabel* LabelFAT;
    QLabel* LabelSDCARD_FAT;
    // Hidden; it places the skinned Read button.
    QPushButton* ButtonSDCARD;

protected:
    void FormPaint() override;
    void ButtonClick(skin::TButtonManager& group, int id) override;

private:
    void SetControlsEnabled(bool enabled);
    void ClearValues();
    bool ReadSdCard();

    std::unique_ptr<skin::TButtonManager> m_pButtons;
};
