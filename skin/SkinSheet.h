#pragma once

#include <QImage>

namespace skin {

// A review sheet of the whole skin: every picture labelled with its name and size, button pictures
// with their face boundaries marked, and the welcome clip's frames at half size.
QImage DrawSkinSheet();

} // namespace skin
