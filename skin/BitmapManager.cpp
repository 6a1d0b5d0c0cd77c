#include "skin/BitmapManager.h"

#include "platform/Assert.h"

#include <memory>

namespace skin {

TBitmapManager::TBitmapManager(TCanvas* canvas) : m_pCanvas(canvas) {}

TBitmapManager::~TBitmapManager() {
    for (TBitmapItem& item : items) {
        TBitmapItem* p = &item;
        QX7MB_ASSERT(p->pBitmap, "BitmapManager");
        delete p->pBitmap;
    }
}

void TBitmapManager::AddBitmap(int id, const QString& resourceName, bool transparent) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->Transparent = transparent;
    bitmap->LoadFromResourceName(resourceName);
    items.reserve(items.size() + 1);
    items.push_back(TBitmapItem{id, bitmap.release()});
}

void TBitmapManager::DrawBitmap(int id, int x, int y, TCanvas* target) {
    const TBitmapItem* item = Find(id);
    TCanvas* canvas = target != nullptr ? target : m_pCanvas;
    if (item == nullptr || canvas == nullptr) {
        return;
    }
    canvas->Draw(x, y, item->pBitmap->Image(), item->pBitmap->Transparent);
}

QSize TBitmapManager::GetBitmapSize(int id) const {
    const TBitmapItem* item = Find(id);
    return item != nullptr ? QSize(item->pBitmap->Width(), item->pBitmap->Height()) : QSize(0, 0);
}

const TBitmapItem* TBitmapManager::Find(int id) const {
    for (const TBitmapItem& item : items) {
        if (item.nId == id) {
            return &item;
        }
    }
    return nullptr;
}

} // namespace skin
