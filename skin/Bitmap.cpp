#include "skin/Bitmap.h"

#include "skin/SkinResources.h"

namespace skin {

void TBitmap::LoadFromResourceName(const QString& name) {
    image = LoadSkinPicture(name);
}

} // namespace skin
