// A form file as a user or another program may have left it: the INI text, its groups and keys,
// and every kind of value a control reads from it.

#include "platform/formfile.h"

#include "fuzzcheck.h"

#include <QFile>
#include <QTemporaryDir>

using namespace kivaro;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    static const FormSchema schema {
        { QStringLiteral("BTYPE"), FormValue::Integer }, { QStringLiteral("BCOL"), FormValue::Colour },
        { QStringLiteral("ENAB"), FormValue::Boolean },  { QStringLiteral("TX"), FormValue::Text },
        { QStringLiteral("PICN"), FormValue::Picture },  { QStringLiteral("FONT"), FormValue::Font },
    };
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("form.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return 0;
    file.write(fuzzInput(data, size).toByteArray());
    file.close();

    FormFile form(path);
    if (!form.load()) {
        FUZZ_CHECK(!form.errorString().isEmpty());
        return 0;
    }
    for (const QString &instance : form.instances()) {
        PropertyBag bag;
        if (!form.readInstance(instance, schema, bag)) {
            FUZZ_CHECK(!form.errorString().isEmpty());
            continue;
        }
        for (const QString &key : bag.keys())
            FUZZ_CHECK(bag.read(key).isValid());
    }
    return 0;
}
