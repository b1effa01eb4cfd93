// The user's settings file: "key = value" lines outside any group, each key once, the first fault
// told with its line.

#include "platform/settingsfile.h"

#include "fuzzcheck.h"

#include <QSet>

using namespace kivaro;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    SettingsFile file { QString() };
    const bool read = file.parse(fuzzInput(data, size).toByteArray());
    FUZZ_CHECK(read == file.errorString().isEmpty());
    FUZZ_CHECK(read == (file.errorLine() == 0));
    QSet<QString> keys;
    int line = 0;
    for (const SettingsFile::Entry &entry : file.entries()) {
        FUZZ_CHECK(!entry.key.isEmpty() && !entry.key.contains(QLatin1Char(' ')));
        FUZZ_CHECK(!entry.value.contains(QLatin1Char('\n')));
        FUZZ_CHECK(entry.line > line);
        FUZZ_CHECK(read || entry.line < file.errorLine());
        FUZZ_CHECK(!keys.contains(entry.key));
        keys.insert(entry.key);
        line = entry.line;
    }
    return 0;
}
