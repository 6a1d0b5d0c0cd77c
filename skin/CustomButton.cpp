#include "skin/CustomButton.h"

#include "platform/Assert.h"

namespace skin {

namespace {
const QColor CAPTION_ACTIVE{0, 234, 255};
const QColor CAPTION_NORMAL{255, 255, 255};
const QColor CAPTION_DISABLED{150, 150, 150};
} // namespace

TCustomButton::TCustomButton(int id, const QString& caption, const QString& resourceName, int left, int top,
                             bool transparent)
    : m_nId(id), m_nLeft(left), m_nTop(top), m_strCaption(caption) {
    if (!resourceName.isEmpty()) {
        auto bitmap = std::make_unique<TBitmap>();
        bitmap->Transparent = transparent;
        bitmap->LoadFromResourceName(resourceName);
        m_pBitmap = std::move(bitmap);
    }
}

int TCustomButton::GetWidth() const {
    return m_pBitmap ? m_pBitmap->Width() : 0;
}

int TCustomButton::GetHeight() const {
    return m_pBitmap ? m_pBitmap->Height() / 4 : 0;
}

void TCustomButton::PaintFace(TCanvas& canvas, int face) {
    if (!m_pBitmap) {
        return;
    }
    QX7MB_ASSERT(face >= faceNormal && face <= facePressed, "CustomButton");
    const int w = GetWidth();
    const int f = GetHeight();
    canvas.CopyRect(QRect(m_nLeft, m_nTop, w, f), m_pBitmap->Image(), QRect(0, f * face, w, f));
    if (m_strCaption.isEmpty()) {
        return;
    }
    canvas.SetFontSize(8);
    canvas.SetFontName(QStringLiteral("Arial"));
    const int tw = canvas.TextWidth(m_strCaption);
    const int th = canvas.TextHeight(m_strCaption);
    const int x = m_nLeft + (w - tw) / 2;
    const int y = m_nTop + (f - th) / 2;
    canvas.SetBrushClear();
    if (!m_bEnabled) {
        canvas.SetTextColor(CAPTION_DISABLED);
    } else if (face == facePressed || m_bChecked) {
        canvas.SetTextColor(CAPTION_ACTIVE);
    } else {
        canvas.SetTextColor(CAPTION_NORMAL);
    }
    canvas.TextOut(x, y, m_strCaption);
}

void TCustomButton::Paint(TCanvas& canvas) {
    PaintFace(canvas, m_bEnabled ? faceNormal : faceDisabled);
}

bool TCustomButton::HitTest(int x, int y) const {
    if (!m_pBitmap) {
        return false;
    }
    return x >= m_nLeft && x < m_nLeft + GetWidth() && y >= m_nTop && y < m_nTop + GetHeight();
}

void TCustomButton::LoadBitmap(const QString& resourceName) {
    if (resourceName.isEmpty()) {
        return;
    }
    QX7MB_ASSERT(m_pBitmap, "CustomButton");
    m_pBitmap->LoadFromResourceName(resourceName);
}

void TCustomButton::SetCaption(const QString& caption) {
    if (caption != m_strCaption) {
        m_strCaption = caption;
    }
}

void TCustomButton::SetEnabled(bool enabled) {
    if (enabled != m_bEnabled) {
        m_bEnabled = enabled;
    }
}

void TCustomButton::SetChecked(bool checked) {
    if (checked != m_bChecked) {
        m_bChecked = checked;
    }
}

} // namespace skin
