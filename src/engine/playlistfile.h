#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QIODevice;

namespace kivaro {

// One entry of the recent list as the playlist file holds it.
struct PlaylistEntry
{
    QString title;
    QString query;
    bool hasQuery = true; // a field read without "|" carries no query

    bool operator==(const PlaylistEntry &) const = default;
};

// The playlist file `hist` in the product folder: one line per entry, the title, "|", the query and
// CR LF, nothing else. Titles and queries are written plainly, in UTF-8 (plain ASCII stays one byte
// per character, as the file always was).
//
// The file is untrusted when read: whatever it holds, reading takes a bounded amount of memory and
// time and yields exactly ten fields.
class PlaylistFile
{
public:
    // The recent list has ten slots, so ten fields are all a load ever needs.
    static constexpr int FieldCount = 10;
    // A field is kept up to this many bytes; real titles and queries are a small fraction of it.
    static constexpr qsizetype MaxFieldBytes = 4096;
    // Reading stops after this many bytes, whether ten fields were found or not.
    static constexpr qint64 MaxReadBytes = 1024 * 1024;

    explicit PlaylistFile(QString productFolder);

    // Empty when no product folder is known; the playlist is then not kept.
    QString path() const;

    // Writes the entries, creating the product folder if it is missing. The new file is written
    // completely before it replaces the old one, so a failure leaves the old playlist as it was.
    bool save(const QList<PlaylistEntry> &entries, QString *error = nullptr) const;
    // The first ten fields of the file; all empty when it cannot be read.
    QStringList readFields() const;

    // The file's exact bytes for these entries.
    static QByteArray encode(const QList<PlaylistEntry> &entries);
    // The first ten fields of what the device holds. Fields end at a comma, CR, LF or CR LF; quotes
    // and blanks are part of a field, as the file never quotes or pads anything.
    static QStringList readFields(QIODevice &device);
    // A field cut at "|": the title before the first one, the query up to the second.
    static PlaylistEntry splitField(const QString &field);

private:
    QString m_productFolder;
};

} // namespace kivaro
