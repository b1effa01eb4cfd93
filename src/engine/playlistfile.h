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
// per character, as the file always was), except that a line holding a comma or a line break (or
// beginning with a quote) is quoted as a whole, so that it reads back as the one entry it is. The
// file and the folder Kivaro makes for it are the user's alone (0600, 0700).
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
    // The first ten fields of what the device holds. Fields end at a comma, CR, LF or CR LF. A field
    // that is quoted as a whole ("..." right before a field's end, quotes inside doubled) is what
    // lies between its quotes; in any other field, quotes and blanks are part of it.
    static QStringList readFields(QIODevice &device);
    // A field cut at "|": the title before the first one, the query up to the second.
    static PlaylistEntry splitField(const QString &field);

private:
    QString m_productFolder;
};

} // namespace kivaro
