#pragma once

#include "platform/systemcolors.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTest>

namespace kivaro::test {

// A file's bytes, or "<no file>" when it cannot be read (so a missing file never equals content).
inline QByteArray fileContents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
}

// Writes a file whole, its folder made first; false when it cannot.
inline bool writeFile(const QString &path, const QByteArray &contents)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(contents) == contents.size();
}

// True once the process has ended: gone, or a zombie that whoever adopted it has not reaped yet.
inline bool processEnded(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (pid <= 0 || !stat.open(QIODevice::ReadOnly))
        return pid > 0;
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2, 1) == "Z";
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
