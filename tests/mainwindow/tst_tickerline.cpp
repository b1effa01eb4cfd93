// The ticker line drawn from its strip beside a plain label given the same characters, both on
// screen over the same background: pixel for pixel at every count, also after jumps and after the
// font changes. The suite runs this again at the scale factors 1.5 and 2.

#include "mainwindow/form1.h"
#include "mainwindow/form1layout.h"
#include "mainwindow/picturebox.h"
#include "mainwindow/tickerline.h"
#include "platform/windowlayout.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>

using namespace kivaro;

namespace {

constexpr int TickerPixelSize = 9; // "Arial 6.75 pt"

// The window's background with a line of the given kind at the ticker's place.
struct Scene
{
    PictureBox background;
    QLabel *line;

    Scene(QLabel *label, const QPixmap &picture)
        : line(label)
    {
        background.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        background.setFixedSize(form1layout::Window);
        background.setBackgroundColour(Qt::red);
        background.setPicture(picture);
        line->setParent(&background);
        line->setGeometry(form1layout::Ticker);
        line->setTextFormat(Qt::PlainText);
        line->setFont(designFont(TickerPixelSize));
        QPalette palette = line->palette();
        palette.setColor(QPalette::WindowText, Qt::white);
        line->setPalette(palette);
        line->setMargin(0);
        line->setIndent(0);
        line->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        background.show();
    }

    // What the screen shows of the line, once the pending repaints are through.
    QImage shown()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        QCoreApplication::processEvents();
        const QImage window = background.screen()->grabWindow(background.winId()).toImage();
        const qreal ratio = window.devicePixelRatio();
        const QRect area = form1layout::Ticker.adjusted(-1, -1, 1, 1); // a pixel around it
        return window.copy(QRectF(area.topLeft() * ratio, area.size() * ratio).toAlignedRect())
            .convertToFormat(QImage::Format_RGB32);
    }
};

} // namespace

class TestTickerLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sameAsAPlainLabel_data()
    {
        QTest::addColumn<QString>("background"); // a picture file, or empty for the design's
        QTest::addColumn<int>("stride"); // characters dropped per step
        QTest::addColumn<int>("pixelSize"); // the font, changed after the first steps
        const QString skins = QStringLiteral(KIVARO_SOURCE_DIR "/assets/skins/");
        QTest::newRow("design pictures, one character a step") << QString() << 1 << TickerPixelSize;
        QTest::newRow("a skin, one character a step")
            << skins + QStringLiteral("midnight/IMN.png") << 1 << TickerPixelSize;
        // After a minimised window returns, the line jumps to where the time has brought it.
        QTest::newRow("jumps") << skins + QStringLiteral("carnival/IMN.png") << 37 << TickerPixelSize;
        QTest::newRow("another font") << QString() << 1 << 13;
    }

    void sameAsAPlainLabel()
    {
        QFETCH(QString, background);
        QFETCH(int, stride);
        QFETCH(int, pixelSize);
        const QPixmap picture = background.isEmpty() ? StoredLooks::defaults().IMn : QPixmap(background);
        QVERIFY(!picture.isNull());
        Scene plain(new QLabel, picture);
        auto *ticker = new TickerLine;
        Scene cached(ticker, picture);
        QVERIFY(QTest::qWaitForWindowExposed(&plain.background));
        QVERIFY(QTest::qWaitForWindowExposed(&cached.background));

        const QString text = Form1::tickerCaption() + QLatin1Char(' ');
        const auto length = text.size();
        ticker->setText(text);
        ticker->showLast(length);
        plain.line->setText(text);
        QCOMPARE(cached.shown(), plain.shown());

        // Two rounds of the text and a little more: every count, the whole text after the last.
        for (qsizetype step = 1; step <= 2 * length + 20; ++step) {
            if (step == 20 && pixelSize != TickerPixelSize) {
                plain.line->setFont(designFont(pixelSize));
                ticker->setFont(designFont(pixelSize));
            }
            const qsizetype count = length - (step * stride) % (length + 1);
            plain.line->setText(text.right(count));
            ticker->showLast(count);
            QCOMPARE(ticker->caption(), text.right(count));
            QVERIFY2(cached.shown() == plain.shown(), qPrintable(QStringLiteral("count %1").arg(count)));
        }
    }
};

QTEST_MAIN(TestTickerLine)
#include "tst_tickerline.moc"
