// The vendor's version file: the first field of its first line, read as a release number.

#include "startup/versionfile.h"

#include "fuzzcheck.h"

using namespace kivaro;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    const QString field = versionField(fuzzInput(data, size).toByteArray());
    FUZZ_CHECK(!field.contains(QLatin1Char('\r')) && !field.contains(QLatin1Char('\n'))
               && !field.contains(QLatin1Char(',')));
    const auto blank = [](QChar c) {
        return c == QLatin1Char(' ') || c == QLatin1Char('\t');
    };
    FUZZ_CHECK(field.isEmpty() || (!blank(field.front()) && !blank(field.back())));

    const std::optional<bool> newer = isAboveRelease(field, 3);
    if (newer) {
        // A number holds nothing but a sign, digits and one point.
        for (const QChar c : field)
            FUZZ_CHECK((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.')
                       || c == QLatin1Char('+') || c == QLatin1Char('-'));
        FUZZ_CHECK(field.count(QLatin1Char('.')) <= 1);
    }
    return 0;
}
