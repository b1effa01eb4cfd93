// The playlist file `hist` as a load finds it: ten fields, each cut into title and query; an entry
// read is written and read back the same, commas and line breaks included.

#include "engine/playlistfile.h"

#include "fuzzcheck.h"

#include <QBuffer>

using namespace kivaro;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    QByteArray bytes = fuzzInput(data, size).toByteArray();
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);

    const QStringList fields = PlaylistFile::readFields(device);
    FUZZ_CHECK(fields.size() == PlaylistFile::FieldCount);
    for (const QString &field : fields) {
        FUZZ_CHECK(field.size() <= PlaylistFile::MaxFieldBytes);
        const PlaylistEntry entry = PlaylistFile::splitField(field);
        FUZZ_CHECK(!entry.title.contains(QLatin1Char('|')) && !entry.query.contains(QLatin1Char('|')));
        FUZZ_CHECK(entry.hasQuery == field.contains(QLatin1Char('|')));
        FUZZ_CHECK(entry.hasQuery || entry.title == field);
        if (!entry.hasQuery || field.toUtf8().size() > PlaylistFile::MaxFieldBytes)
            continue;
        QByteArray written = PlaylistFile::encode({ entry });
        QBuffer again(&written);
        again.open(QIODevice::ReadOnly);
        const QStringList reread = PlaylistFile::readFields(again);
        FUZZ_CHECK(PlaylistFile::splitField(reread.constFirst()) == entry);
        FUZZ_CHECK(reread.at(1).isEmpty());
    }
    return 0;
}
