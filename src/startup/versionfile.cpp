#include "startup/versionfile.h"

#include <QRegularExpression>

namespace kivaro {

QString versionField(const QByteArray &content)
{
    QString line = QString::fromLatin1(content);
    const qsizetype end = line.indexOf(QRegularExpression(QStringLiteral("[\\r\\n]")));
    if (end >= 0)
        line.truncate(end);
    const qsizetype comma = line.indexOf(QLatin1Char(','));
    if (comma >= 0)
        line.truncate(comma);
    // Blanks only: other characters are part of the field and make it no number.
    qsizetype first = 0;
    qsizetype last = line.size();
    const auto blank = [&line](qsizetype i) {
        return line.at(i) == QLatin1Char(' ') || line.at(i) == QLatin1Char('\t');
    };
    while (first < last && blank(first))
        ++first;
    while (last > first && blank(last - 1))
        --last;
    return line.mid(first, last - first);
}

std::optional<bool> isAboveRelease(const QString &field, int release)
{
    Q_ASSERT(release >= 0 && release <= 9); // compared as one digit below
    const QRegularExpression number(QStringLiteral("^([+-]?)0*([0-9]*)(?:\\.([0-9]*))?$"));
    const QRegularExpressionMatch match = number.match(field);
    // A sign, a point or nothing at all is no number; one digit somewhere is.
    if (!match.hasMatch() || !field.contains(QRegularExpression(QStringLiteral("[0-9]"))))
        return std::nullopt;
    const QString whole = match.captured(2);
    const QString fraction = match.captured(3);
    const bool zero = whole.isEmpty() && !fraction.contains(QRegularExpression(QStringLiteral("[1-9]")));
    if (match.captured(1) == QLatin1String("-") && !zero)
        return false;
    if (whole.size() > 1)
        return true;
    const int digit = whole.isEmpty() ? 0 : whole.at(0).digitValue();
    if (digit != release)
        return digit > release;
    return fraction.contains(QRegularExpression(QStringLiteral("[1-9]")));
}

} // namespace kivaro
