#include "platform/responsehead.h"

namespace kivaro {

namespace {

constexpr int StatusFieldOffset = 9; // "HTTP/1.1 " comes before the code
constexpr int StatusFieldLength = 3;

// Interim answers (100 Continue and the like) precede the real one; 101 switches protocols and is
// final, but this client never asks for it.
bool isInterimStatusLine(const QString &line)
{
    if (!line.startsWith(QLatin1String("HTTP/")))
        return false;
    const QString code = statusField(line);
    return code.size() == StatusFieldLength && code.at(0) == QLatin1Char('1') && code != QLatin1String("101");
}

QString joinedLines(const QStringList &lines)
{
    QString block;
    for (const QString &line : lines)
        block += line + QLatin1String("\r\n");
    return block;
}

} // namespace

QString statusField(const QString &headerBlock)
{
    return headerBlock.mid(StatusFieldOffset, StatusFieldLength);
}

ResponseHead::State ResponseHead::addLine(QByteArray line)
{
    if (m_state != State::Reading)
        return m_state;
    m_bytes += line.size();
    if (m_bytes > MaxBytes)
        return m_state = State::TooLong;
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    if (!line.isEmpty()) {
        m_lines.append(QString::fromLatin1(line));
        return m_state;
    }
    if (!m_lines.isEmpty() && isInterimStatusLine(m_lines.first())) {
        m_lines.clear();
        m_bytes = 0;
        return m_state;
    }
    m_block = joinedLines(m_lines);
    return m_state = State::Complete;
}

void ResponseHead::finishUnterminated(const QByteArray &rest)
{
    if (m_state != State::Reading)
        return;
    const QString unfinished = QString::fromLatin1(rest);
    m_block = joinedLines(m_lines) + unfinished;
    if (!unfinished.isEmpty())
        m_lines.append(unfinished);
}

QString ResponseHead::value(const QString &name) const
{
    // The first line is the status line, not a header.
    for (qsizetype i = 1; i < m_lines.size(); ++i) {
        const QString &line = m_lines.at(i);
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon > 0 && QStringView(line).left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

} // namespace kivaro
