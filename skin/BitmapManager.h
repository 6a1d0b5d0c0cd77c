#pragma once

#include "skin/Bitmap.h"
#include "skin/Canvas.h"

#include <QSize>
#include <QString>
#include <vector>

namespace skin {

struct TBitmapItem {
    int nId = 0;
    TBitmap* pBitmap = nullptr; // owned
};

// A window's pictures, loaded once under ids of its choosing; id 0 is its background.
class TBitmapManager {
public:
    explicit TBitmapManager(TCanvas* canvas);
    ~TBitmapManager();
    TBitmapManager(const TBitmapManager&) = delete;
    TBitmapManager& operator=(const TBitmapManager&) = delete;

    void AddBitmap(int id, const QString& resourceName, bool transparent);
    void DrawBitmap(int id, int x, int y, TCanvas* target = nullptr);
    QSize GetBitmapSize(int id) const;

private:
    const TBitmapItem* Find(int id) const;

    std::vector<TBitmapItem> items;
    TCanvas* m_pCanvas;
};

} // namespace skin
