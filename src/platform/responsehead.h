#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kivaro {

// Characters 10 to 12 of a header block (or of its status line): the status code of a status line
// such as "HTTP/1.1 200 OK", whatever stands there in a block of another shape.
QString statusField(const QString &headerBlock);

// The head of an HTTP response, the status line and the header lines, taken line by line as the
// connection gives them. Everything in it comes from the server, so it is bounded: a head longer than
// MaxBytes is refused. Interim answers (100 Continue and the like) are dropped, as every HTTP client
// does.
//
// The header block is the status line and the header lines as received, each ending in CR LF (a bare
// LF from a careless server counts as a line end too), without the empty line that ends the head.
class ResponseHead
{
public:
    static constexpr qsizetype MaxBytes = 64 * 1024;

    enum class State {
        Reading, // more lines are needed
        Complete, // the empty line of the final answer is in
        TooLong, // the head went past MaxBytes
    };

    // Takes the next line, its line end included as the connection gave it.
    State addLine(QByteArray line);
    // Whether this many more bytes without a line end would take the head past MaxBytes.
    bool tooLongWith(qint64 pendingBytes) const { return pendingBytes + m_bytes > MaxBytes; }
    // The server closed before the empty line: the lines so far and the unfinished last one, as it
    // stands, are all there is. The header block is set; the state stays as it was.
    void finishUnterminated(const QByteArray &rest);

    State state() const { return m_state; }
    // The header block; empty until the head is complete or finished unterminated.
    QString block() const { return m_block; }
    // The value of the first header line with this name (compared without regard to case), without
    // the blanks around it; empty when there is no such line.
    QString value(const QString &name) const;

private:
    QStringList m_lines;
    qsizetype m_bytes = 0;
    State m_state = State::Reading;
    QString m_block;
};

} // namespace kivaro
