#pragma once

#include <QImage>
#include <QList>
#include <QString>

namespace kivaro {

// One PNG sheet that shows many drawn looks at once: sections with a heading, each holding rows
// of labelled pictures, laid out top to bottom on a light grey page.
class GallerySheet
{
public:
    void addSection(const QString &heading);
    // Starts a new row in the current section, with a caption on its left.
    void addRow(const QString &caption);
    // Adds a picture to the current row, with a small label above it.
    void addItem(const QString &label, const QImage &picture);

    QImage render() const;

private:
    struct Item
    {
        QString label;
        QImage picture;
    };
    struct Row
    {
        QString caption;
        QList<Item> items;
    };
    struct Section
    {
        QString heading;
        QList<Row> rows;
    };
    QList<Section> m_sections;
};

} // namespace kivaro
