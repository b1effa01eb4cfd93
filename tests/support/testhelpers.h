#pragma once

#include "platform/systemcolors.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

namespace kivaro::test {

// A file's bytes, or "<no file>" when it cannot be read (so a missing file never equals content).
inline QByteArray fileContents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
}

// A colour value as six hex digits, blue green red, so a failed comparison reads like the design's
// numbers.
inline QString hex(ColorRef colour)
{
    return QStringLiteral("%1").arg(colour, 6, 16, QLatin1Char('0'));
}

// Lets events run for a while, for the checks that something does NOT happen (a stray request, a
// late notification): anything that would happen gets this long to show. Waiting for something
// that should happen is QTRY_VERIFY's or QSignalSpy::wait's job, never this.
inline void letAWhilePass(int milliseconds = 50)
{
    QTest::qWait(milliseconds);
}

} // namespace kivaro::test
