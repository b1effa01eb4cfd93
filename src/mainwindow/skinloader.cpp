#include "mainwindow/skinloader.h"

#include "mainwindow/form1.h"
#include "platform/boundedpicture.h"
#include "platform/devicepicture.h"

namespace kivaro {

namespace {

struct KeyedPicture
{
    const char *key;
    QPixmap StoredLooks::*picture; // none for a progress frame
    std::size_t frame;
};

// The keys of a skin, in the order a file's key is compared with them.
// clang-format off
constexpr KeyedPicture Keys[] = {
    {"IMN", &StoredLooks::IMn, 0}, {"IMO", &StoredLooks::ImGo, 0}, {"IMD", &StoredLooks::IMd, 0},
    {"XN", &StoredLooks::Xn, 0},   {"XO", &StoredLooks::Xo, 0},    {"XD", &StoredLooks::Xd, 0},
    {"DOO", &StoredLooks::Doo, 0}, {"DN", &StoredLooks::Dn, 0},    {"DD", &StoredLooks::Dd, 0},
    {"ED", &StoredLooks::Ed, 0},   {"EO", &StoredLooks::Eo, 0},    {"EN", &StoredLooks::En, 0},
    {"P0", nullptr, 0}, {"P1", nullptr, 1}, {"P2", nullptr, 2}, {"P3", nullptr, 3},
    {"P4", nullptr, 4}, {"P5", nullptr, 5}, {"P6", nullptr, 6}, {"P7", nullptr, 7},
};
// clang-format on

QPixmap &stored(StoredLooks &looks, const KeyedPicture &entry)
{
    return entry.picture ? looks.*entry.picture : looks.P.at(entry.frame);
}

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
    return readBoundedPicture(path, MaxPictureSide);
}

SkinLoader::Outcome SkinLoader::giveFile(const QString &folder, const QString &fileName)
{
    const KeyedPicture *entry = find(nameBeforeFirstDot(fileName));
    if (!entry)
        return Outcome::Skipped;
    const QString path = folder + QLatin1Char('/') + fileName;
    const std::optional<QImage> picture = readPicture(path);
    if (!picture)
        return Outcome::Failed;
    const std::optional<QImage> sharp
        = screensWantTwinsAt2x() ? readTwinAt2x(path, picture->size()) : std::nullopt;
    stored(m_looks, *entry) = QPixmap::fromImage(sharp ? *sharp : *picture);
    return Outcome::Given;
}

std::optional<QImage> SkinLoader::readTwinAt2x(const QString &path, QSize size)
{
    std::optional<QImage> twin = readBoundedPicture(twinAt2x(path), 2 * MaxPictureSide);
    if (!twin || twin->size() != 2 * size)
        return std::nullopt;
    twin->setDevicePixelRatio(2);
    return twin;
}

} // namespace kivaro
