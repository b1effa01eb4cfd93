#pragma once

#include <QImage>
#include <QString>

#include <limits>
#include <optional>

namespace kivaro {

// The picture in a file that comes from anywhere (a skin folder, a form file): only a plain file (a
// pipe or a device would never end), only a format whose header tells the size before any pixel
// is decoded, at most maxSide pixels on a side and at most maxPixels pixels in all. Nothing
// otherwise.
std::optional<QImage> readBoundedPicture(const QString &path, int maxSide,
                                         qint64 maxPixels = std::numeric_limits<qint64>::max());

} // namespace kivaro
