#pragma once

#include <QIcon>
#include <QImage>
#include <QString>
#include <QStringList>
#include <vector>

namespace skin {

// The skin pictures built into the program, looked up by name ignoring case. Throws
// std::runtime_error naming the resource when there is none.
QImage LoadSkinPicture(const QString& name);

// The names of every built-in picture (upper case, sorted), the welcome clip excepted.
QStringList SkinPictureNames();

// The 27 frames of the welcome clip "WELCOME_AVI", 387 x 296 each.
std::vector<QImage> LoadWelcomeClip();

// The program's icon, in the sizes the desktop asks for (48 and 256 pixels).
QIcon ProgramIcon();

// Names of the two small pictures outside the resource set of the pages.
inline constexpr const char* INFO_MARK = "INFO_MARK";   // 15 x 13, beside the status-information line
inline constexpr const char* FLASH_NOTE = "FLASH_NOTE"; // 16 x 16, memory page

} // namespace skin
