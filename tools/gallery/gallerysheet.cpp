#include "gallerysheet.h"

#include "platform/canvas.h"

#include <algorithm>

namespace kivaro {

namespace {

constexpr int Margin = 16;
constexpr int CaptionWidth = 150;
constexpr int ItemSpacing = 14;
constexpr int RowSpacing = 10;
constexpr int LabelHeight = 14;
constexpr int HeadingHeight = 26;
constexpr ColorRef PageColour = rgb(228, 228, 228);
constexpr ColorRef HeadingColour = rgb(0, 0, 96);
constexpr ColorRef TextColour = rgb(0, 0, 0);
constexpr ColorRef LabelColour = rgb(80, 80, 80);

QFont sheetFont(double points, bool bold)
{
    QFont font { QStringLiteral("Arial") };
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

int rowHeight(const auto &row)
{
    int height = 0;
    for (const auto &item : row.items)
        height = std::max(height, item.picture.height());
    return LabelHeight + height;
}

QFont labelFont()
{
    constexpr double LabelPoints = 7;
    return sheetFont(LabelPoints, false);
}

// An item is as wide as its picture or its label, whichever is wider.
int itemWidth(const auto &item)
{
    const int label = Canvas::measureText({}, item.label, Canvas::SingleLine, labelFont()).width();
    return std::max(item.picture.width(), label);
}

int rowWidth(const auto &row)
{
    int width = CaptionWidth;
    for (const auto &item : row.items)
        width += itemWidth(item) + ItemSpacing;
    return width;
}

} // namespace

void GallerySheet::addSection(const QString &heading)
{
    m_sections.append({ heading, {} });
}

void GallerySheet::addRow(const QString &caption)
{
    if (m_sections.isEmpty())
        addSection({});
    m_sections.last().rows.append({ caption, {} });
}

void GallerySheet::addItem(const QString &label, const QImage &picture)
{
    if (m_sections.isEmpty() || m_sections.last().rows.isEmpty())
        addRow({});
    m_sections.last().rows.last().items.append({ label, picture });
}

QImage GallerySheet::render() const
{
    int width = 0;
    int height = Margin;
    for (const Section &section : m_sections) {
        height += HeadingHeight;
        for (const Row &row : section.rows) {
            width = std::max(width, rowWidth(row));
            height += rowHeight(row) + RowSpacing;
        }
        height += RowSpacing;
    }
    QImage sheet(width + 2 * Margin, height + Margin, QImage::Format_RGB32);
    Canvas canvas(sheet);
    canvas.fill(canvas.bounds(), PageColour);

    const QFont headingFont = sheetFont(11, true);
    const QFont captionFont = sheetFont(8.25, false);
    int y = Margin;
    for (const Section &section : m_sections) {
        canvas.drawText({ Margin, y, sheet.width() - Margin, y + HeadingHeight }, section.heading,
                        Canvas::SingleLine, HeadingColour, headingFont);
        y += HeadingHeight;
        for (const Row &row : section.rows) {
            canvas.drawText({ Margin, y + LabelHeight, Margin + CaptionWidth - 8, y + rowHeight(row) },
                            row.caption, Canvas::WordBreak, TextColour, captionFont);
            int x = Margin + CaptionWidth;
            for (const Item &item : row.items) {
                canvas.drawText({ x, y, x + itemWidth(item), y + LabelHeight }, item.label,
                                Canvas::SingleLine, LabelColour, labelFont());
                const QImage picture = item.picture.convertToFormat(QImage::Format_RGB32);
                for (int py = 0; py < picture.height(); ++py) {
                    for (int px = 0; px < picture.width(); ++px)
                        canvas.setPixel(x + px, y + LabelHeight + py, fromQRgb(picture.pixel(px, py)));
                }
                x += itemWidth(item) + ItemSpacing;
            }
            y += rowHeight(row) + RowSpacing;
        }
        y += RowSpacing;
    }
    return sheet;
}

} // namespace kivaro
