// A form file as a user or another program may have left it: the INI text, its groups and keys,
// and every kind of value a control reads from it. Whatever text is read, writing it and reading it
// again gives it back. Run with inputs up to the largest form file (tests/fuzz/formfile.flags).

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
        if (!bag.contains(QStringLiteral("TX")))
            continue;
        const FormSchema text { { QStringLiteral("TX"), FormValue::Text } };
        FormFile copy(folder.filePath(QStringLiteral("copy.ini")));
        if (!copy.writeInstance(instance, text, bag)) {
            FUZZ_CHECK(!copy.errorString().isEmpty());
            continue;
        }
        FUZZ_CHECK(copy.save());
        FormFile again(copy.path());
        PropertyBag read;
        FUZZ_CHECK(again.load() && again.instances() == QStringList { instance });
        FUZZ_CHECK(again.readInstance(instance, text, read));
        FUZZ_CHECK(read.read(QStringLiteral("TX")) == bag.read(QStringLiteral("TX")));
    }
    return 0;
}
