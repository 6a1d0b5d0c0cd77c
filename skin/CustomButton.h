#pragma once

#include "skin/Bitmap.h"
#include "skin/Canvas.h"

#include <QString>
#include <memory>

namespace skin {

enum TButtonFace { faceNormal = 0, faceDisabled = 1, faceHot = 2, facePressed = 3 };

// A windowless bitmap button: a four-face picture (normal, disabled, hot, pressed, top to bottom) with
// an optional caption, painted onto its owner's surface.
class TCustomButton {
public:
    TCustomButton(int id, const QString& caption, const QString& resourceName, int left, int top, bool transparent);

    void PaintFace(TCanvas& canvas, int face);
    void Paint(TCanvas& canvas);
    bool HitTest(int x, int y) const;
    void LoadBitmap(const QString& resourceName);

    void SetCaption(const QString& caption);
    const QString& GetCaption() const { return m_strCaption; }
    void SetEnabled(bool enabled);
    bool GetEnabled() const { return m_bEnabled; }
    void SetChecked(bool checked);
    bool GetChecked() const { return m_bChecked; }
    int GetId() const { return m_nId; }
    int GetLeft() const { return m_nLeft; }
    int GetTop() const { return m_nTop; }
    // Width of the picture and height of one face; 0 without a picture.
    int GetWidth() const;
    int GetHeight() const;

private:
    int m_nId;
    bool m_bEnabled = true;
    int m_nLeft;
    int m_nTop;
    QString m_strCaption;
    std::unique_ptr<TBitmap> m_pBitmap;
    bool m_bChecked = false;
};

} // namespace skin
