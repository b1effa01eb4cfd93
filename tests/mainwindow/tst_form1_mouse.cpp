// The main window's mouse handlers, row by row, with real mouse events through the window: which
// looks each press, movement and release shows, the release belonging to the element pressed, and
// dragging the window by its background.

#include "form1rig.h"
#include "platform/systemcolors.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QWindow>

using namespace kivaro;
using namespace kivaro::test;

namespace {

// A picture none of the stored looks is: an element still showing it was left alone.
QPixmap untouched(const QSize &size)
{
    QPixmap p(size);
    p.fill(Qt::darkGreen);
    return p;
}
const QRgb UntouchedColour = qRgb(0, 128, 0);

// The name of the stored look an element shows, or "-" when a handler left it alone.
QString lookName(const PictureBox *element, const StoredLooks &looks)
{
    const std::pair<const char *, const QPixmap *> all[] = {
        {"IMn", &looks.IMn}, {"IMd", &looks.IMd}, {"ImGo", &looks.ImGo}, {"En", &looks.En}, {"Eo", &looks.Eo},
        {"Ed", &looks.Ed},   {"Dn", &looks.Dn},   {"Doo", &looks.Doo},   {"Dd", &looks.Dd}, {"Xn", &looks.Xn},
        {"Xo", &looks.Xo},   {"Xd", &looks.Xd}};
    for (const auto &[name, picture] : all) {
        if (element->shows(*picture))
            return QLatin1String(name);
    }
    return QStringLiteral("-");
}

// A colour value as the design writes it: red + 256 x green + 65,536 x blue.
QColor designColour(quint32 value)
{
    return QColor(toQRgb(value));
}

QString colourName(const QColor &colour)
{
    if (colour == QColor(UntouchedColour))
        return QStringLiteral("-");
    if (colour == designColour(6754307))
        return QStringLiteral("navy");
    if (colour == designColour(395007))
        return QStringLiteral("red");
    if (colour == designColour(16777215))
        return QStringLiteral("white");
    if (colour == designColour(16443049))
        return QStringLiteral("lightblue");
    // 2147483651 is 2^31 + 3: entry 3 of the system-colour table.
    if (colour == designColour(sysColor(3)))
        return QStringLiteral("pressed");
    return colour.name();
}

// Closes every popup menu as soon as it is open, and remembers which ones were.
class PopupCloser : public QObject
{
public:
    PopupCloser()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] {
            if (QWidget *popup = QApplication::activePopupWidget()) {
                shown.append(popup);
                popup->close();
            }
        });
        m_timer.start();
    }
    QList<QWidget *> shown;

private:
    QTimer m_timer;
};

} // namespace

class TestForm1Mouse : public QObject
{
    Q_OBJECT

    std::unique_ptr<Form1Rig> rig;

    Form1 &form() { return rig->form(); }

    QWidget *element(const QString &name) { return form().findChild<QWidget *>(name); }

    // Window coordinates of a point inside an element, clear of the pure red corner of the looks.
    QPoint at(QWidget *widget, QPoint inside = QPoint(-1, -1))
    {
        if (inside == QPoint(-1, -1))
            inside = widget == form().Picture1 ? QPoint(150, 95) : QPoint(widget->width() / 2, widget->height() / 2);
        return widget->mapTo(&form(), inside);
    }

    void leaveEverythingUntouched()
    {
        Form1 &f = form();
        for (PictureBox *b : {f.Eb, f.Db, f.Xb})
            b->setPicture(untouched(b->size()));
        f.Picture1->setPicture(untouched(QSize(391, 103)));
        QPalette palette = f.Label2->palette();
        palette.setColor(QPalette::WindowText, QColor(UntouchedColour));
        f.Label2->setPalette(palette);
        f.Shape1->setFillColour(QColor(UntouchedColour));
    }

    QStringList state()
    {
        Form1 &f = form();
        return {lookName(f.Eb, f.looks()), lookName(f.Db, f.looks()), lookName(f.Xb, f.looks()),
                lookName(f.Picture1, f.looks()), colourName(f.Label2->palette().color(QPalette::WindowText)),
                colourName(f.Shape1->fillColour())};
    }

private Q_SLOTS:
    void init()
    {
        rig = std::make_unique<Form1Rig>();
        // Searches started by the search button go to a server that never answers.
        rig->server.setScript([](const QByteArray &) { return LoopbackServer::Reply{{}, 0, true, true}; });
        form().setLooks(plainLooks());
        form().Picture1->setPicture(form().looks().IMn);
        form().show();
        QVERIFY(QTest::qWaitForWindowExposed(&form()));
    }

    void cleanup() { rig.reset(); }

    void handlers_data()
    {
        QTest::addColumn<QString>("element");
        QTest::addColumn<QString>("event");
        // What each of Eb, Db, Xb, Picture1, the link colour and the frame fill shows afterwards.
        QTest::addColumn<QStringList>("after");
        auto row = [](const char *element, const char *event, const char *after) {
            QTest::addRow("%s %s", element, event)
                << QString::fromLatin1(element) << QString::fromLatin1(event)
                << QString::fromLatin1(after).split(QLatin1Char(' '));
        };
        row("Eb", "press", "Ed - - - - -");
        row("Eb", "move", "Eo Dn Xn IMn navy white");
        row("Eb", "release", "Eo - - - - -");
        row("Db", "press", "- Dd - - - -");
        row("Db", "move", "En Doo - IMn - -");
        row("Db", "release", "- Dn - - - -");
        row("Xb", "press", "- - Xd - - -");
        row("Xb", "move", "- - Xo IMn - -");
        row("Xb", "release", "- - Xo - - -");
        row("Image1", "press", "- - - IMd - -");
        row("Image1", "move", "En Dn Xn ImGo - -");
        row("Image1", "release", "- - - IMn - -");
        row("Image2", "press", "- - - - - pressed");
        row("Image2", "move", "- - - - - lightblue");
        row("Image2", "release", "- - - IMn - lightblue");
        row("Label2", "move", "En - - - red -");
        row("lblStat", "move", "En Dn Xn IMn - -");
        row("Text1", "move", "- Dn Xn IMn - -");
        row("Picture1", "press", "- - - - - -");
        row("Picture1", "move", "En Dn Xn IMn navy white");
        row("Picture1", "release", "- - - - - -");
        row("Label1", "move", "- - - - - -");
        row("Label1", "press", "- - - - - -");
    }

    void handlers()
    {
        QFETCH(QString, element);
        QFETCH(QString, event);
        QFETCH(QStringList, after);
        QWidget *target = element == QLatin1String("Label2") ? static_cast<QWidget *>(form().Label2) : this->element(element);
        QVERIFY(target);
        form().setTitleCaption(QStringLiteral("A Title"));
        QWindow *window = form().windowHandle();
        const QPoint point = at(target);

        PopupCloser closer; // the menu and the history drop-down
        // The pointer comes from a place where nothing reacts; a press or release follows a move to
        // the same spot, so that only the event under test runs a handler.
        QTest::mouseMove(window, at(form().Label1));
        if (event == QLatin1String("release")) {
            QTest::mouseMove(window, point);
            QTest::mousePress(window, Qt::LeftButton, {}, point);
            leaveEverythingUntouched();
            QTest::mouseRelease(window, Qt::LeftButton, {}, point);
        } else if (event == QLatin1String("press")) {
            QTest::mouseMove(window, point);
            leaveEverythingUntouched();
            QTest::mousePress(window, Qt::LeftButton, {}, point);
        } else {
            leaveEverythingUntouched();
            QTest::mouseMove(window, point);
        }
        QCOMPARE(state(), after);
    }

    void frameOutsideTheGlyphBelongsToTheBackground()
    {
        QTest::mouseMove(form().windowHandle(), at(form().Label1));
        leaveEverythingUntouched();
        // The frame's top row lies above the glyph.
        QTest::mouseMove(form().windowHandle(), QPoint(278, 36));
        QCOMPARE(state(), QString::fromLatin1("En Dn Xn IMn navy white").split(QLatin1Char(' ')));
    }

    void releaseBelongsToTheElementPressed_data()
    {
        QTest::addColumn<QString>("element");
        QTest::newRow("exit") << QStringLiteral("Xb");
        QTest::newRow("minimise") << QStringLiteral("Db");
        QTest::newRow("menu") << QStringLiteral("Eb");
        QTest::newRow("search button") << QStringLiteral("Image1");
    }

    void releaseBelongsToTheElementPressed()
    {
        QFETCH(QString, element);
        QWindow *window = form().windowHandle();
        PopupCloser closer;
        QTest::mouseMove(window, at(this->element(element)));
        QTest::mousePress(window, Qt::LeftButton, {}, at(this->element(element)));
        const QPoint elsewhere = at(form().lblStat);
        QTest::mouseMove(window, elsewhere);
        QTest::mouseRelease(window, Qt::LeftButton, {}, elsewhere);

        if (element == QLatin1String("Xb"))
            QCOMPARE(rig->programEnded, 1);
        else
            QCOMPARE(rig->programEnded, 0);
        if (element == QLatin1String("Db"))
            QTRY_VERIFY(form().isMinimized());
        if (element == QLatin1String("Eb")) {
            QCOMPARE(closer.shown, QList<QWidget *>{rig->engine().mnumnu});
            QVERIFY(form().Eb->shows(form().looks().Eo)); // the hover look stays after the menu
        }
        if (element == QLatin1String("Image1"))
            QVERIFY(rig->server.waitForConnections(1));
    }

    void clicks_data()
    {
        QTest::addColumn<QString>("element");
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<int>("clicks"); // record-shop searches opened, or history popups shown
        const char *elements[] = { "Label2", "Image2" };
        for (const char *element : elements) {
            QTest::addRow("%s click", element)
                << QString::fromLatin1(element) << QStringLiteral("click") << 1;
            QTest::addRow("%s released outside", element)
                << QString::fromLatin1(element) << QStringLiteral("release outside") << 0;
            QTest::addRow("%s double click", element)
                << QString::fromLatin1(element) << QStringLiteral("double click") << 1;
        }
    }

    void clicks()
    {
        QFETCH(QString, element);
        QFETCH(QString, gesture);
        QFETCH(int, clicks);
        form().setTitleCaption(QStringLiteral("Red Band - Blue Song"));
        QWidget *target = element == QLatin1String("Label2") ? static_cast<QWidget *>(form().Label2)
                                                             : static_cast<QWidget *>(form().Image2);
        QWindow *window = form().windowHandle();
        const QPoint point = at(target);
        PopupCloser closer;
        QTest::mouseMove(window, point);
        if (gesture == QLatin1String("click")) {
            QTest::mouseClick(window, Qt::LeftButton, {}, point);
        } else if (gesture == QLatin1String("double click")) {
            QTest::mouseDClick(window, Qt::LeftButton, {}, point);
        } else {
            QTest::mousePress(window, Qt::LeftButton, {}, point);
            const QPoint outside = at(form().lblStat);
            QTest::mouseMove(window, outside);
            QTest::mouseRelease(window, Qt::LeftButton, {}, outside);
        }
        if (element == QLatin1String("Label2")) {
            QCOMPARE(rig->opened.size(), clicks);
            QVERIFY(closer.shown.isEmpty());
        } else {
            // The history drop-down is the engine's recent-list menu.
            QCOMPARE(closer.shown, QList<QWidget *>(clicks, rig->engine().voorb));
            QVERIFY(rig->opened.isEmpty());
        }
    }

    void searchButtonFocusesTheSearchBox_data()
    {
        QTest::addColumn<bool>("boxHadFocus");
        QTest::addColumn<QString>("selected");
        QTest::newRow("focus elsewhere: the whole text is selected") << false << QStringLiteral("nova ellis");
        QTest::newRow("focus in the box: its selection stays") << true << QStringLiteral("nova");
    }

    void searchButtonFocusesTheSearchBox()
    {
        QFETCH(bool, boxHadFocus);
        QFETCH(QString, selected);
        QVERIFY(QTest::qWaitForWindowActive(&form()));
        form().Text1->setText(QStringLiteral("nova ellis"));
        if (boxHadFocus) {
            form().Text1->setFocus();
            form().Text1->setSelection(0, 4);
        } else {
            form().Text1->clearFocus();
            form().Text1->deselect();
        }
        QWindow *window = form().windowHandle();
        QTest::mouseMove(window, at(form().Image1));
        QTest::mouseClick(window, Qt::LeftButton, {}, at(form().Image1));
        QVERIFY(rig->server.waitForConnections(1));
        QCOMPARE(form().focusWidget(), form().Text1);
        QTRY_VERIFY(form().Text1->hasFocus());
        QCOMPARE(form().Text1->selectedText(), selected);
    }

    void draggingMovesTheWindow_data()
    {
        QTest::addColumn<int>("button");
        QTest::newRow("left button") << int(Qt::LeftButton);
        QTest::newRow("right button") << int(Qt::RightButton);
    }

    void draggingMovesTheWindow()
    {
        QFETCH(int, button);
        QCOMPARE(Form1::dragPosition(QPoint(500, 300), 150, 90), QPoint(7350, 4410));

        QWindow *window = form().windowHandle();
        const QPoint grab(10, 6); // 150 and 90 twips
        QTest::mouseMove(window, at(form().Picture1, grab));
        QTest::mousePress(window, Qt::MouseButton(button), {}, at(form().Picture1, grab));
        QCOMPARE(form().Dragging, 1);
        QCOMPARE(form().GrabX, 150);
        QCOMPARE(form().GrabY, 90);
        QCursor::setPos(500, 300);
        QTest::mouseMove(window, at(form().Picture1, grab + QPoint(3, 3)));
        QTRY_COMPARE(form().pos(), QPoint(490, 294));
        QTest::mouseRelease(window, Qt::MouseButton(button), {}, at(form().Picture1, grab + QPoint(3, 3)));
        QCOMPARE(form().Dragging, 0);

        // Movements without a button down do not drag.
        QCursor::setPos(100, 100);
        QTest::mouseMove(window, at(form().Picture1, grab));
        QCOMPARE(form().pos(), QPoint(490, 294));
    }

    void pressOnOtherElementsNeverDrags()
    {
        QWindow *window = form().windowHandle();
        QTest::mousePress(window, Qt::LeftButton, {}, at(form().lblStat));
        QCOMPARE(form().Dragging, 0);
        QTest::mouseRelease(window, Qt::LeftButton, {}, at(form().lblStat));
    }
};

QTEST_MAIN(TestForm1Mouse)
#include "tst_form1_mouse.moc"
