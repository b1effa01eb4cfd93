#include "platform/boundedpicture.h"

#include <QFileInfo>
#include <QImageReader>

namespace kivaro {

std::optional<QImage> readBoundedPicture(const QString &path, int maxSide, qint64 maxPixels)
{
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    const auto fits = [maxSide, maxPixels](QSize s) {
        return !s.isEmpty() && s.width() <= maxSide && s.height() <= maxSide
            && qint64(s.width()) * s.height() <= maxPixels;
    };
    if (!fits(size))
        return std::nullopt;
    QImage image = reader.read();
    if (image.isNull() || !fits(image.size()))
        return std::nullopt;
    return image;
}

} // namespace kivaro
