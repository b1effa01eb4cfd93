#pragma once

#include <QImage>
#include <QString>

#include <optional>

namespace kivaro {

// The picture in a file that comes from anywhere (a skin folder, a form file): only a plain file (a
// pipe or a device would never end), only a format whose header tells the size before any pixel
// is decoded, and at most maxSide pixels on a side. Nothing otherwise.
std::optional<QImage> readBoundedPicture(const QString &path, int maxSide);

} // namespace kivaro
