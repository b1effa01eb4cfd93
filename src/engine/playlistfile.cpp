#include "engine/playlistfile.h"

#include "platform/privatefiles.h"
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
constexpr char Quote = '"';
// A quoted field's bytes as the file holds them: its text, every quote doubled, and two quotes.
constexpr qsizetype MaxQuotedBytes = 2 * PlaylistFile::MaxFieldBytes + 2;
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
    for (const PlaylistEntry &entry : entries) {
        QByteArray field = entry.title.toUtf8() + Separator + entry.query.toUtf8();
        // Written plainly, a comma or a line break would split the entry in two on reading, the
        // second half an entry of its own. Such a field is quoted, its quotes doubled.
        if (field.contains(',') || field.contains('\r') || field.contains('\n') || field.startsWith(Quote))
            field = Quote + field.replace(Quote, QByteArray(2, Quote)) + Quote;
        bytes += field + LineEnd;
    }
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
    if (!makePrivatePath(m_productFolder))
        return fail(QStringLiteral("cannot create the folder %1").arg(m_productFolder));

    // The new playlist goes to a file of its own beside the old one and takes its name only once
    // it is complete. Writing in place is never a fallback: a failure would leave half a list.
    // Unbuffered, so that a short write shows in what write() returns: a buffered one that runs
    // short when the disk fills is not always caught by commit() (Qt 6.4).
    QSaveFile file(path());
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(file.errorString());
    // What the user listens to is the user's business alone.
    if (!makePrivate(file)) {
        file.cancelWriting();
        return fail(QStringLiteral("cannot make the playlist private"));
    }
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
    auto keep = [&](char c) {
        if (field.size() < MaxFieldBytes)
            field.append(c);
        else
            cutShort = true;
    };
    auto endsField = [](char c) {
        return c == ',' || c == '\r' || c == '\n';
    };
    // A byte of a field read as it stands; true when it ends the field. CR LF is one line end; CR
    // alone and LF alone are line ends too.
    auto literal = [&](char c) {
        if (c == '\n' && afterCarriageReturn) {
            afterCarriageReturn = false;
            return true;
        }
        afterCarriageReturn = c == '\r';
        if (endsField(c)) {
            endField();
            return true;
        }
        keep(c);
        return false;
    };

    // A field that begins with a quote and whose closing quote comes right before a comma, a line
    // end or the end of the file is a quoted one: what lies between, with doubled quotes single.
    // Any other field is read as it stands, quotes and all, as files always were: once a field
    // shows it is not a quoted one, its bytes are read again from its first quote.
    enum class State { FieldStart, Plain, Quoted, QuoteInQuoted };
    State state = State::FieldStart;
    QByteArray quoted; // the bytes of a quoted field so far, its opening quote included
    auto readAsItStands = [&] {
        field.clear();
        cutShort = false;
        state = State::Plain;
        const QByteArray bytes = std::exchange(quoted, QByteArray());
        for (const char b : bytes) {
            if (fields.size() >= FieldCount)
                return;
            state = literal(b) ? State::FieldStart : State::Plain;
        }
    };
    auto take = [&](char c) {
        switch (state) {
        case State::FieldStart:
            if (c == Quote) {
                afterCarriageReturn = false;
                quoted = QByteArray(1, c);
                state = State::Quoted;
                return;
            }
            [[fallthrough]];
        case State::Plain:
            state = literal(c) ? State::FieldStart : State::Plain;
            return;
        case State::Quoted:
            quoted.append(c);
            if (c == Quote)
                state = State::QuoteInQuoted;
            else
                keep(c);
            // Longer than any field this program writes: not one of its quoted fields.
            if (quoted.size() > MaxQuotedBytes)
                readAsItStands();
            return;
        case State::QuoteInQuoted:
            quoted.append(c);
            if (c == Quote) {
                keep(c);
                state = State::Quoted;
            } else if (endsField(c)) {
                quoted.clear();
                afterCarriageReturn = c == '\r';
                endField();
                state = State::FieldStart;
            } else {
                readAsItStands();
            }
            return;
        }
    };

    char chunk[ChunkBytes];
    qint64 total = 0;
    while (fields.size() < FieldCount && total < MaxReadBytes) {
        const qint64 count = device.read(chunk, std::min(ChunkBytes, MaxReadBytes - total));
        if (count <= 0)
            break;
        total += count;
        for (qint64 i = 0; i < count && fields.size() < FieldCount; ++i)
            take(chunk[i]);
    }
    // The last field may lack its line end, and a quote may never close.
    if (state == State::Quoted)
        readAsItStands();
    if (fields.size() < FieldCount && (state == State::QuoteInQuoted || !field.isEmpty()))
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
