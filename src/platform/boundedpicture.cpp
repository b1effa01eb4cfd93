#include "platform/boundedpicture.h"

#include <QFileInfo>
#include <QImageReader>

namespace kivaro {

std::optional<QImage> readBoundedPicture(const QString &path, int maxSide)
{
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (size.isEmpty() || size.width() > maxSide || size.height() > maxSide)
        return std::nullopt;
    QImage image = reader.read();
    if (image.isNull() || image.width() > maxSide || image.height() > maxSide)
        return std::nullopt;
    return image;
}

} // namespace kivaro
