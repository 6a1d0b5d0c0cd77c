#pragma once

#include "board/Protocol.h"
#include "pages/PageForm.h"
#include "skin/Buttonmanager.h"

#include <QPoint>
#include <array>
#include <cstdint>
#include <memory>

// The 7-segment page: the six digits HEX0 to HEX5, each stepped through 0 to F by an arrow pair.
// Every step sends all six digits.
class TFormSeg7 : public TPageForm {
    Q_OBJECT
public:
    explicit TFormSeg7(QWidget* parent);
    ~TFormSeg7() override;

    void Activate(TBoard& board) override;
    void Deactivate() override;

    // Bits 4k to 4k + 3 hold digit k.
    uint32_t DigitWord() const;

    std::array<int32_t, DIGIT_COUNT> m_nDigit{};
    std::array<QPoint, DIGIT_COUNT> m_ptDigit{};

protected:
    void FormPaint() override;
    void ButtonClick(skin::TButtonManager& group, int id) override;

private:
    void SetControlsEnabled(bool enabled);
    void DrawDigits();
    void WriteDigits();

    std::unique_ptr<skin::TButtonManager> m_pArrows;
};
