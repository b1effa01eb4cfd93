// The button's work is bounded by the button: a caption in a huge font and a picture far larger
// than the control cost memory in proportion to the control, not to the text or the picture. The
// peak resident memory of each paint is measured (Linux lets a process reset its own peak).

#include "controls/xpbutton/xpbutton.h"
#include "platform/canvas.h"

#include <QFile>
#include <QTest>

using namespace kivaro;

namespace {

// The process's resident memory (VmRSS) or its peak since the last reset (VmHWM), in KiB.
qint64 residentKiB(QByteArrayView field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field) && line.size() > field.size() && line.at(field.size()) == ':')
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

bool resetPeak()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}

QFont hugeFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(1000);
    return font;
}

} // namespace

Q_DECLARE_METATYPE(kivaro::Rect)

class TestXPButtonBounds : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void paintingCostsWhatTheButtonShows_data()
    {
        QTest::addColumn<int>("buttonType");
        QTest::addColumn<int>("effect");
        QTest::addColumn<bool>("transparent"); // the picture has an alpha channel: drawn as an icon
        QTest::addColumn<int>("position");
        // Type 14 lays out a bold caption too; effect 1 draws relief copies of caption and picture;
        // type 9 blends the picture and draws a silhouette when hovered.
        QTest::newRow("plain, transparent picture left") << 2 << 0 << true << 0;
        QTest::newRow("gradient, raised, transparent picture centred") << 14 << 1 << true << 4;
        QTest::newRow("accent, sunken, opaque picture above") << 9 << 2 << false << 2;
    }

    // A 20 x 10 button with a caption of 200 characters at 1000 points and a 5000 x 5000 picture
    // once took 382 MB for the caption's stencil and 473 MB on every paint for the picture.
    void paintingCostsWhatTheButtonShows()
    {
        QFETCH(int, buttonType);
        QFETCH(int, effect);
        QFETCH(bool, transparent);
        QFETCH(int, position);
        if (!resetPeak() || residentKiB("VmHWM") < 0)
            QSKIP("this system does not report the peak resident memory of a process");

        constexpr int Side = 5000;
        QImage picture(Side, Side, transparent ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        picture.fill(transparent ? qRgba(0, 0, 255, 0) : qRgb(0, 0, 255));
        QWidget form;
        form.resize(60, 40);
        XPButton button(&form);
        button.setGeometry(5, 5, 20, 10);
        button.setButtonType(buttonType);
        button.setSpecialEffect(effect);
        button.setPicturePosition(position);

        QVERIFY(resetPeak());
        const qint64 before = residentKiB("VmRSS");
        button.setFont(hugeFont());
        button.setCaption(QString(200, u'W'));
        button.setPictureNormal(picture);
        button.setPictureOver(picture);
        for (const bool hovered : { false, true }) {
            for (const int state : { XPButton::StateUp, XPButton::StateDown })
                button.paintAs(state, hovered, true);
        }
        button.setEnabled(false);
        const qint64 grown = residentKiB("VmHWM") - before;

        // What the button shows: its 20 x 10 surface. The allowance is for the font's outlines
        // and the allocator, the sanitizer's bookkeeping included; the old costs were hundreds of
        // megabytes.
        constexpr qint64 AllowanceKiB = 32 * 1024;
        QVERIFY2(grown < AllowanceKiB, qPrintable(QStringLiteral("grew by %1 KiB").arg(grown)));
        QCOMPARE(button.surface().size(), QSize(20, 10));
    }

    // A stencil laid out for part of its rectangle holds exactly the pixels the whole stencil has
    // there: laying out less changes nothing of what shows.
    void partOfAStencilIsThatPartOfTheWhole_data()
    {
        QTest::addColumn<Rect>("window");
        QTest::newRow("the middle") << Rect { 30, 5, 90, 20 };
        QTest::newRow("beyond the top left") << Rect { -10, -10, 40, 12 };
        QTest::newRow("beyond the bottom right") << Rect { 100, 10, 400, 400 };
        QTest::newRow("outside") << Rect { 500, 500, 510, 510 };
    }

    void partOfAStencilIsThatPartOfTheWhole()
    {
        QFETCH(Rect, window);
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(14);
        const QString text = QStringLiteral("Save && Load, &Quit the gallery now");
        const Canvas::TextFormat format = Canvas::WordBreak | Canvas::CenterHorizontally;
        const int w = 140;
        const int h = 60;
        const Canvas::TextStencil whole = Canvas::textStencil(w, h, text, format, font);
        const Canvas::TextStencil part = Canvas::textStencil(w, h, text, format, font, window);
        const Rect shown = window.intersected({ 0, 0, w, h });
        QCOMPARE(part.window, shown);
        QVERIFY(part.covers(shown));
        const Rect all { 0, 0, w, h };
        QCOMPARE(part.covers(all), shown == all);
        QVERIFY(!whole.runs.empty());

        // Both drawn onto the same picture, clipped to the window, give the same pixels.
        auto draw = [&](const Canvas::TextStencil &stencil) {
            QImage image(w, h, QImage::Format_RGB32);
            image.fill(Qt::white);
            Canvas canvas(image);
            canvas.drawStencil(0, 0, stencil, rgb(0, 0, 0));
            return shown.isEmpty() ? QImage()
                                   : image.copy(shown.left, shown.top, shown.width(), shown.height());
        };
        QCOMPARE(draw(part), draw(whole));
    }
};

QTEST_MAIN(TestXPButtonBounds)
#include "tst_xpbuttonbounds.moc"
