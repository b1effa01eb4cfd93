#pragma once

#include <QGlyphRun>
#include <QLabel>
#include <QRawFont>

#include <vector>

namespace kivaro {

// The ticker line: a single-line, left-aligned label that shows the last characters of its text from
// its left edge, cut at its right edge, over whatever lies beneath it. Its text is the whole ticker
// text, which is also what a screen reader reads: once, not a new name ten times a second.
//
// The text is laid out once (again only when the text, the font or the screen change) into a strip
// of positioned glyphs; the glyphs' pictures are drawn once, at the screen's resolution, into the
// painter's glyph cache. Showing another number of characters moves a window over the strip: it
// repaints only the columns whose ink changes and draws only the glyphs inside the window. What
// shows is, pixel for pixel, what a plain label given just those characters shows.
class TickerLine : public QLabel
{
    Q_OBJECT

public:
    explicit TickerLine(QWidget *parent = nullptr);

    // Shows the last `count` characters of the text (the whole text for a count at or above its
    // length, nothing for 0).
    void showLast(qsizetype count);
    qsizetype shownCount() const { return m_count; }
    // The characters that show.
    QString caption() const { return text().right(m_count); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    bool stripIsCurrent() const;
    void layOutStrip();
    // Where in the strip the shown characters begin.
    qreal stripOffset(qsizetype count) const;
    // The part of the line that holds ink when the strip shows from that offset.
    QRect inkAt(qreal offset) const;

    // One run of glyphs of one font, in the strip's coordinates (baseline included).
    struct Run
    {
        QRawFont font;
        std::vector<quint32> glyphs;
        std::vector<QPointF> positions;
    };

    qsizetype m_count = 0;
    QString m_stripText; // the text laid out (shares the label's, compared by identity)
    qreal m_stripRatio = 0;
    bool m_stripValid = false;
    std::vector<Run> m_runs;
    QGlyphRun m_window; // the glyphs a paint draws, pointing into a run
    qreal m_lineTop = 0;
    qreal m_overhang = 0; // how far a glyph's ink may reach beyond its advance, either side
    // Left edge of each character in the strip, one more for the end of the text.
    std::vector<qreal> m_charX;
    // For each whole column of the strip: the first column with ink at or after it, the last at or
    // before it.
    std::vector<int> m_inkFrom;
    std::vector<int> m_inkTo;
};

} // namespace kivaro
