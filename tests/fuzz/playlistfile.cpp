// The playlist file `hist` as a load finds it: ten fields, each cut into title and query.

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
        FUZZ_CHECK(!field.contains(QLatin1Char(',')) && !field.contains(QLatin1Char('\r'))
                   && !field.contains(QLatin1Char('\n')));
        const PlaylistEntry entry = PlaylistFile::splitField(field);
        FUZZ_CHECK(!entry.title.contains(QLatin1Char('|')) && !entry.query.contains(QLatin1Char('|')));
        FUZZ_CHECK(entry.hasQuery == field.contains(QLatin1Char('|')));
        FUZZ_CHECK(entry.hasQuery || entry.title == field);
    }
    return 0;
}
