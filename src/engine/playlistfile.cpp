#include "engine/playlistfile.h"

#include "platform/textdecoding.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace kivaro {

namespace {

const QLatin1String FileName("hist");
constexpr char Separator = '|';
constexpr char16_t SeparatorChar = u'|';
constexpr char LineEnd[] = "\r\n";
constexpr qint64 ChunkBytes = 4096;

QStringList emptyFields()
{
    return QStringList(PlaylistFile::FieldCount);
}

} // namespace

PlaylistFile::PlaylistFile(QString productFolder)
    : m_productFolder(std::move(productFolder))
{
}

QString PlaylistFile::path() const
{
    if (m_productFolder.isEmpty())
        return {};
    return m_productFolder + QLatin1Char('/') + FileName;
}

QByteArray PlaylistFile::encode(const QList<PlaylistEntry> &entries)
{
    QByteArray bytes;
    for (const PlaylistEntry &entry : entries)
        bytes += entry.title.toUtf8() + Separator + entry.query.toUtf8() + LineEnd;
    return bytes;
}

bool PlaylistFile::save(const QList<PlaylistEntry> &entries, QString *error) const
{
    auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (m_productFolder.isEmpty())
        return fail(QStringLiteral("no product folder"));
    if (!QDir().mkpath(m_productFolder))
        return fail(QStringLiteral("cannot create the folder %1").arg(m_productFolder));

    // The new playlist goes to a file of its own beside the old one and takes its name only once
    // it is complete. Writing in place is never a fallback: a failure would leave half a list.
    // Unbuffered, so that a short write shows in what write() returns: a buffered one that runs
    // short when the disk fills is not always caught by commit() (Qt 6.4).
    QSaveFile file(path());
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(file.errorString());
    const QByteArray bytes = encode(entries);
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fail(reason);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

QStringList PlaylistFile::readFields() const
{
    const QString file = path();
    // Only a regular file: a pipe put in its place would block the opening for good.
    if (file.isEmpty() || !QFileInfo(file).isFile())
        return emptyFields();
    QFile device(file);
    if (!device.open(QIODevice::ReadOnly))
        return emptyFields();
    return readFields(device);
}

QStringList PlaylistFile::readFields(QIODevice &device)
{
    QStringList fields;
    fields.reserve(FieldCount);
    QByteArray field;
    bool cutShort = false;
    bool afterCarriageReturn = false;
    auto endField = [&] {
        // The file is written in UTF-8; a field that is not was written with a single-byte
        // character set. A field cut short may end inside a character.
        fields.append(decodeText(field, cutShort));
        field.clear();
        cutShort = false;
    };

    char chunk[ChunkBytes];
    qint64 total = 0;
    while (fields.size() < FieldCount && total < MaxReadBytes) {
        const qint64 count = device.read(chunk, std::min(ChunkBytes, MaxReadBytes - total));
        if (count <= 0)
            break;
        total += count;
        for (qint64 i = 0; i < count && fields.size() < FieldCount; ++i) {
            const char c = chunk[i];
            // CR LF is one line end; CR alone and LF alone are line ends too.
            if (c == '\n' && afterCarriageReturn) {
                afterCarriageReturn = false;
                continue;
            }
            afterCarriageReturn = c == '\r';
            if (c == ',' || c == '\r' || c == '\n')
                endField();
            else if (field.size() < MaxFieldBytes)
                field.append(c);
            else
                cutShort = true;
        }
    }
    // The last line may lack its line end.
    if (fields.size() < FieldCount && !field.isEmpty())
        endField();
    while (fields.size() < FieldCount)
        fields.append(QString());
    return fields;
}

PlaylistEntry PlaylistFile::splitField(const QString &field)
{
    const qsizetype bar = field.indexOf(SeparatorChar);
    if (bar < 0)
        return {field, QString(), false};
    const qsizetype next = field.indexOf(SeparatorChar, bar + 1);
    return {field.left(bar), field.mid(bar + 1, next < 0 ? -1 : next - bar - 1), true};
}

} // namespace kivaro
