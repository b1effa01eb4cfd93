#include "mainwindow/skinloader.h"

#include "mainwindow/form1.h"

#include <QFileInfo>
#include <QImageReader>

namespace kivaro {

namespace {

struct KeyedPicture
{
    const char *key;
    QPixmap &(*stored)(StoredLooks &);
};

// The keys of a skin, in the order a file's key is compared with them.
constexpr KeyedPicture Keys[] = {
    { "IMN",
      [](StoredLooks &l) -> QPixmap & {
          return l.IMn;
      } },
    { "IMO",
      [](StoredLooks &l) -> QPixmap & {
          return l.ImGo;
      } },
    { "IMD",
      [](StoredLooks &l) -> QPixmap & {
          return l.IMd;
      } },
    { "XN",
      [](StoredLooks &l) -> QPixmap & {
          return l.Xn;
      } },
    { "XO",
      [](StoredLooks &l) -> QPixmap & {
          return l.Xo;
      } },
    { "XD",
      [](StoredLooks &l) -> QPixmap & {
          return l.Xd;
      } },
    { "DOO",
      [](StoredLooks &l) -> QPixmap & {
          return l.Doo;
      } },
    { "DN",
      [](StoredLooks &l) -> QPixmap & {
          return l.Dn;
      } },
    { "DD",
      [](StoredLooks &l) -> QPixmap & {
          return l.Dd;
      } },
    { "ED",
      [](StoredLooks &l) -> QPixmap & {
          return l.Ed;
      } },
    { "EO",
      [](StoredLooks &l) -> QPixmap & {
          return l.Eo;
      } },
    { "EN",
      [](StoredLooks &l) -> QPixmap & {
          return l.En;
      } },
    { "P0",
      [](StoredLooks &l) -> QPixmap & {
          return l.P[0];
      } },
    { "P1",
      [](StoredLooks &l) -> QPixmap & {
          return l.P[1];
      } },
    { "P2",
      [](StoredLooks &l) -> QPixmap & {
          return l.P[2];
      } },
    { "P3",
      [](StoredLooks &l) -> QPixmap & {
          return l.P[3];
      } },
    { "P4",
      [](StoredLooks &l) -> QPixmap & {
          return l.P[4];
      } },
    { "P5",
      [](StoredLooks &l) -> QPixmap & {
          return l.P[5];
      } },
    { "P6",
      [](StoredLooks &l) -> QPixmap & {
          return l.P[6];
      } },
    { "P7",
      [](StoredLooks &l) -> QPixmap & {
          return l.P[7];
      } },
};

const KeyedPicture *find(const QString &key)
{
    for (const KeyedPicture &entry : Keys) {
        if (key == QLatin1String(entry.key))
            return &entry;
    }
    return nullptr;
}

} // namespace

QString SkinLoader::nameBeforeFirstDot(const QString &fileName)
{
    return fileName.section(QLatin1Char('.'), 0, 0);
}

std::optional<QImage> SkinLoader::readPicture(const QString &path)
{
    // Only plain files: a pipe or a device would never end.
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    // The header's size decides before any pixel is decoded; a format that cannot tell its size
    // up front is not read at all.
    const QSize size = reader.size();
    if (size.isEmpty() || size.width() > MaxPictureSide || size.height() > MaxPictureSide)
        return std::nullopt;
    QImage image = reader.read();
    if (image.isNull() || image.width() > MaxPictureSide || image.height() > MaxPictureSide)
        return std::nullopt;
    return image;
}

SkinLoader::Outcome SkinLoader::giveFile(const QString &folder, const QString &fileName)
{
    const KeyedPicture *entry = find(nameBeforeFirstDot(fileName));
    if (!entry)
        return Outcome::Skipped;
    const std::optional<QImage> picture = readPicture(folder + QLatin1Char('/') + fileName);
    if (!picture)
        return Outcome::Failed;
    entry->stored(m_looks) = QPixmap::fromImage(*picture);
    return Outcome::Given;
}

} // namespace kivaro
