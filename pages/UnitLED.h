#pragma once

#include "pages/PageForm.h"
#include "skin/Buttonmanager.h"

#include <QPushButton>
#include <cstdint>
#include <memory>

// The LED page: ten lamps for the board's red LEDs, toggled one by one or all at once. Every change
// sends the whole ten-bit mask.
class TFormLED : public TPageForm {
    Q_OBJECT
public:
    explicit TFormLED(QWidget* parent);
    ~TFormLED() override;

    void Activate(TBoard& board) override;
    void Deactivate() override;

    void ButtonLedLightAllClick();
    void ButtonLedUnlightAllClick();
    // Bit i set when lamp i is checked (LED i lit).
    uint32_t LedMask() const;

    // Hidden; they only place the skinned command buttons.
    QPushButton* ButtonLedLightAll;
    QPushButton* ButtonLedUnlightAll;

protected:
    void FormPaint() override;
    void FormMouseDown(int x, int y) override;
    void FormMouseMove(int x, int y) override;
    void ButtonClick(skin::TButtonManager& group, int id) override;

private:
    bool BoardConnected() const;
    void SetControlsEnabled(bool enabled);
    void SetAllLamps(bool lit);
    void WriteLeds();

    std::unique_ptr<skin::TButtonManager> m_pLamps;
    std::unique_ptr<skin::TButtonManager> m_pCommands;
};
