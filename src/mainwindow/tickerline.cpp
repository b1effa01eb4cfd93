#include "mainwindow/tickerline.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace kivaro {

namespace {

constexpr Qt::Alignment LineAlignment = Qt::AlignLeft | Qt::AlignVCenter;
// What a label hands to the text-drawing code for plain, left-to-right text without access keys.
constexpr int TextFlags = int(LineAlignment) | Qt::TextForceLeftToRight;
// Antialiasing may tint one column beyond a glyph's outline.
constexpr int InkMargin = 1;

} // namespace

TickerLine::TickerLine(QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAlignment(LineAlignment);
    setWordWrap(false);
}

void TickerLine::showLast(qsizetype count)
{
    count = std::max<qsizetype>(count, 0);
    if (count == m_count)
        return;
    if (!m_stripValid) {
        // Nothing to compare with yet: the next paint lays out the strip and draws the whole line.
        // (A new text needs no check here: setting it repaints the whole line anyway.)
        m_count = count;
        update();
        return;
    }
    const QRect before = inkAt(stripOffset(m_count));
    m_count = count;
    const QRect after = inkAt(stripOffset(m_count));
    // Columns without ink before and after look the same: only the others are drawn again.
    if (!before.isEmpty() || !after.isEmpty())
        update(before.united(after));
}

bool TickerLine::stripIsCurrent() const
{
    const QString shown = text();
    return m_stripValid && m_stripRatio == devicePixelRatioF() && shown.size() == m_stripText.size()
        && shown.constData() == m_stripText.constData();
}

void TickerLine::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        m_stripValid = false;
    QLabel::changeEvent(event);
}

void TickerLine::resizeEvent(QResizeEvent *event)
{
    m_stripValid = false;
    QLabel::resizeEvent(event);
}

void TickerLine::layOutStrip()
{
    m_stripText = text();
    m_stripRatio = devicePixelRatioF();
    m_stripValid = true;
    m_runs.clear();
    m_window = QGlyphRun();

    // Laid out as a label lays out one line of plain text.
    QTextOption option(LineAlignment);
    option.setTextDirection(Qt::LeftToRight);
    option.setWrapMode(QTextOption::NoWrap);
    QTextLayout layout(m_stripText, font(), this);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    const auto length = m_stripText.size();
    m_charX.assign(size_t(length) + 1, 0);
    if (!line.isValid()) {
        m_inkFrom.assign(1, 0);
        m_inkTo.assign(1, -1);
        return;
    }
    for (qsizetype i = 0; i <= length; ++i)
        m_charX[size_t(i)] = line.cursorToX(int(i));
    // Where a label puts the top of its line: asked of the text-drawing code itself, whose rounding
    // of the centred line differs with the font and the screen's scale.
    const QRectF area(0, 0, m_charX.back() + 1, contentsRect().height());
    m_lineTop = QFontMetricsF(font(), this).boundingRect(area, TextFlags, m_stripText).top();

    m_overhang = 0;
    const int columns = int(std::ceil(m_charX.back())) + contentsRect().width() + 1;
    std::vector<bool> ink(size_t(columns), false);
    const QList<QGlyphRun> runs = layout.glyphRuns();
    for (const QGlyphRun &run : runs) {
        Run kept;
        kept.font = run.rawFont();
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        kept.glyphs.assign(glyphs.cbegin(), glyphs.cend());
        kept.positions.assign(positions.cbegin(), positions.cend());
        for (qsizetype g = 0; g < glyphs.size(); ++g) {
            const QRectF outline = kept.font.boundingRect(glyphs[g]);
            if (outline.isEmpty())
                continue;
            const qreal advance
                = kept.font.advancesForGlyphIndexes(QList<quint32> { glyphs[g] }).value(0).x();
            m_overhang = std::max({ m_overhang, -outline.left(), outline.right() - advance });
            const int from = std::max(int(std::floor(positions[g].x() + outline.left())) - InkMargin, 0);
            const int to
                = std::min(int(std::ceil(positions[g].x() + outline.right())) + InkMargin, columns - 1);
            for (int x = from; x <= to; ++x)
                ink[size_t(x)] = true;
        }
        m_runs.push_back(std::move(kept));
    }
    m_overhang = std::ceil(m_overhang) + InkMargin;

    m_inkTo.assign(size_t(columns), -1);
    m_inkFrom.assign(size_t(columns) + 1, columns);
    for (int x = 0; x < columns; ++x)
        m_inkTo[size_t(x)] = ink[size_t(x)] ? x : (x > 0 ? m_inkTo[size_t(x) - 1] : -1);
    for (int x = columns - 1; x >= 0; --x)
        m_inkFrom[size_t(x)] = ink[size_t(x)] ? x : m_inkFrom[size_t(x) + 1];
}

qreal TickerLine::stripOffset(qsizetype count) const
{
    const auto length = qsizetype(m_charX.size()) - 1;
    return m_charX[size_t(length - std::min(count, length))];
}

QRect TickerLine::inkAt(qreal offset) const
{
    const QRect area = contentsRect();
    const int left = int(std::floor(offset));
    const int last = int(m_inkTo.size()) - 1;
    const int first = m_inkFrom[size_t(std::clamp(left, 0, last + 1))];
    const int end = m_inkTo[size_t(std::clamp(left + area.width() + 1, 0, last))];
    if (first > end)
        return {};
    const int x = std::max(first - left - InkMargin, 0);
    const int right = std::min(end - left + InkMargin, area.width() - 1);
    if (x > right)
        return {};
    return { area.left() + x, area.top(), right - x + 1, area.height() };
}

void TickerLine::paintEvent(QPaintEvent * /*event*/)
{
    if (!stripIsCurrent())
        layOutStrip();
    const QRect area = contentsRect();
    const qreal offset = stripOffset(m_count);
    QPainter painter(this);
    painter.setClipRect(area);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    const QPointF origin(area.left() - offset, area.top() + m_lineTop);
    for (const Run &run : m_runs) {
        // Only the glyphs that may leave ink in the window.
        const auto from = std::lower_bound(run.positions.cbegin(), run.positions.cend(), offset - m_overhang,
                                           [](const QPointF &p, qreal x) { return p.x() < x; });
        const auto to = std::lower_bound(from, run.positions.cend(), offset + area.width() + m_overhang,
                                         [](const QPointF &p, qreal x) { return p.x() < x; });
        if (from == to)
            continue;
        const auto first = from - run.positions.cbegin();
        m_window.setRawFont(run.font);
        m_window.setRawData(run.glyphs.data() + first, &*from, int(to - from));
        painter.drawGlyphRun(origin, m_window);
    }
}

} // namespace kivaro
