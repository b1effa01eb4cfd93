// The main window: its elements, its shape, starting a search, the title link and what it shows of
// the engine's results.

#include "controls/progressbar/usercontrol1.h"
#include "demosite.h"
#include "engine/protocol.h"
#include "form1rig.h"
#include "platform/tag.h"
#include "testhelpers.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>

using namespace kivaro;
using namespace kivaro::test;

class TestForm1 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void elementsInPlace_data()
    {
        QTest::addColumn<QString>("element");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("background") << QStringLiteral("Picture1") << QRect(0, 0, 393, 105);
        QTest::newRow("search box") << QStringLiteral("Text1") << QRect(16, 35, 249, 14);
        QTest::newRow("search button") << QStringLiteral("Image1") << QRect(305, 16, 68, 70);
        QTest::newRow("history glyph") << QStringLiteral("Image2") << QRect(272, 37, 13, 12);
        QTest::newRow("glyph frame") << QStringLiteral("Shape1") << QRect(272, 36, 13, 13);
        QTest::newRow("ticker") << QStringLiteral("lblStat") << QRect(40, 77, 256, 12);
        QTest::newRow("menu button") << QStringLiteral("Eb") << QRect(234, 74, 36, 29);
        QTest::newRow("minimise button") << QStringLiteral("Db") << QRect(269, 73, 36, 29);
        QTest::newRow("exit button") << QStringLiteral("Xb") << QRect(269, 0, 37, 30);
    }

    void elementsInPlace()
    {
        QFETCH(QString, element);
        QFETCH(QRect, geometry);
        Form1Rig rig;
        auto *widget = rig.form().findChild<QWidget *>(element);
        QVERIFY(widget);
        QCOMPARE(widget->geometry(), geometry);
    }

    void windowAfterLoad()
    {
        Form1Rig rig;
        Form1 &form = rig.form();
        // Of that one size, centred on the screen.
        QCOMPARE(form.minimumSize(), QSize(393, 105));
        QCOMPARE(form.maximumSize(), QSize(393, 105));
        QCOMPARE(form.geometry().center(), QGuiApplication::primaryScreen()->availableGeometry().center());
        QCOMPARE(form.windowTitle(), QStringLiteral("Kivaro"));
        QVERIFY(form.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(!form.isVisible());
        QCOMPARE(form.Text1->text(), Form1::DefaultQuery());
        QCOMPARE(form.Text1->selectedText(), Form1::DefaultQuery());
        QCOMPARE(form.Label1->text(), QStringLiteral("Now Playing:"));
        QCOMPARE(form.Label1->pos(), QPoint(16, 56));
        QCOMPARE(form.Label2->text(), QStringLiteral("?"));
        QCOMPARE(form.Label2->pos(), QPoint(80, 56));
        QCOMPARE(form.Label2->textFormat(), Qt::PlainText);
        QVERIFY(form.Label2->font().underline());
        QCOMPARE(form.fullTitle(), QString()); // "?" is the design caption, not a title
        // Navy, 6754307 = 3 + 256 x 16 + 65,536 x 103.
        QCOMPARE(form.Label2->palette().color(QPalette::WindowText), QColor(3, 16, 103));
        QCOMPARE(form.searchResultFlag(), QString());
        QCOMPARE(form.Picture1->backgroundColour(), QColor(255, 0, 0));
        QVERIFY(form.Picture1->shows(form.looks().IMn));
        // Hidden, nothing is drawn: both timers wait for the window to show.
        QVERIFY(!form.tmrStat->isActive());
        QCOMPARE(form.tmrStat->interval(), 100);
        QVERIFY(!form.Timer2->isActive());
        QCOMPARE(form.Timer2->interval(), 20);
        QCOMPARE(form.Bar->Max(), 30);
        QCOMPARE(form.Bar->Value(), 0);
    }

    void redIsSeeThrough()
    {
        Form1Rig rig;
        Form1 &form = rig.form();
        form.setLooks(plainLooks());
        form.Picture1->setPicture(form.looks().IMn);
        form.Eb->setPicture(form.looks().En);
        form.Db->setPicture(form.looks().Dn);
        form.Xb->setPicture(form.looks().Xn);
        form.show(); // the shape is read from what the window shows
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // Pure red: the background's corner and the strip beyond the picture.
        QTRY_VERIFY(form.mask().contains(QPoint(100, 50)));
        QVERIFY(!form.mask().contains(QPoint(5, 98)));
        QVERIFY(!form.mask().contains(QPoint(392, 104)));
        QVERIFY(!form.mask().contains(QPoint(100, 103)));
        QVERIFY(form.mask().contains(QPoint(100, 50)));
        QVERIFY(form.mask().contains(QPoint(25, 98)));
        QVERIFY(form.mask().contains(QPoint(5, 5)));

        // A background without red gives a rectangle (the picture's own).
        QPixmap blue(391, 103);
        blue.fill(Qt::blue);
        form.looks().IMn = blue;
        form.Picture1->setPicture(blue);
        QTRY_COMPARE(form.mask(), QRegion(0, 0, 391, 103));
    }

    void enterStartsASearch_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QByteArray>("searched");
        QTest::newRow("return") << QStringLiteral("red band") << int(Qt::Key_Return) << 0 << QByteArray("red+band");
        QTest::newRow("keypad enter") << QStringLiteral("x") << int(Qt::Key_Enter) << int(Qt::KeypadModifier)
                                      << QByteArray("x");
        QTest::newRow("shift return") << QStringLiteral("x") << int(Qt::Key_Return) << int(Qt::ShiftModifier)
                                      << QByteArray("x");
        QTest::newRow("spaces only are a query") << QStringLiteral("   ") << int(Qt::Key_Return) << 0
                                                 << QByteArray("+++");
        QTest::newRow("text unchanged, not trimmed") << QStringLiteral(" a ") << int(Qt::Key_Return) << 0
                                                     << QByteArray("+a+");
    }

    void enterStartsASearch()
    {
        QFETCH(QString, text);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QByteArray, searched);
        Form1Rig rig;
        rig.server.setScript([](const QByteArray &) { return LoopbackServer::Reply{{}, 0, true, true}; });
        Form1 &form = rig.form();
        form.setSearchResultFlag(protocol::SearchResultFound);
        form.Text1->setText(text);
        QTest::keyClick(form.Text1, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QVERIFY(rig.server.waitForConnections(1));
        QVERIFY(rig.server.requestLines().constFirst().contains(QByteArray("search_query=" + searched + "+music+video&")));
        QCOMPARE(form.searchResultFlag(), QString());
        QCOMPARE(rig.engine().progressValue(), QStringLiteral("0"));
        QCOMPARE(rig.player().addresses, QStringList{Settings::neutralAddress()});
        QCOMPARE(form.Text1->text(), text);
    }

    void emptyBoxStartsNothing()
    {
        Form1Rig rig;
        Form1 &form = rig.form();
        form.setSearchResultFlag(protocol::SearchResultFound);
        form.Text1->clear();
        form.Picture1->setPicture(form.looks().ImGo);
        QTest::keyClick(form.Text1, Qt::Key_Return);
        QTest::mousePress(form.Image1, Qt::LeftButton);
        QTest::mouseRelease(form.Image1, Qt::LeftButton);
        letAWhilePass();
        QCOMPARE(rig.server.received().size(), 0);
        QCOMPARE(form.searchResultFlag(), protocol::SearchResultFound);
        QVERIFY(form.Picture1->shows(form.looks().IMn));
        QVERIFY(rig.player().addresses.isEmpty());
    }

    void otherKeysAreTyped()
    {
        Form1Rig rig;
        Form1 &form = rig.form();
        form.Text1->clear();
        QTest::keyClicks(form.Text1, QStringLiteral("abc"));
        QCOMPARE(form.Text1->text(), QStringLiteral("abc"));
        QCOMPARE(rig.server.received().size(), 0);
    }

    void focusSelectsTheWholeText()
    {
        Form1Rig rig;
        Form1 &form = rig.form();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.Text1->setText(QStringLiteral("old query"));
        form.Text1->deselect();
        form.Label2->setFocus();
        form.focusSearchBox();
        QTRY_COMPARE(form.Text1->selectedText(), QStringLiteral("old query"));
    }

    void titleDisplay_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("full");
        const QString previous = QStringLiteral("Previous Title");
        QTest::newRow("short title") << QStringLiteral("Red Band - Blue Song") << QStringLiteral("Red Band - Blue Song")
                                     << QStringLiteral("Red Band - Blue Song");
        const QString wide = QStringLiteral("Sunny Vale Orchestra - Tuesday Waltz for a Long and Lazy Afternoon");
        QTest::newRow("wide title shortened, full kept")
            << wide << wide.left(30) + QStringLiteral("...") << wide;
        const QString narrow = QString(40, QLatin1Char('i'));
        QTest::newRow("long but narrow stays whole") << narrow << narrow << narrow;
        const QString exactly33 = QStringLiteral("Marta Lind - Seven Summers (Live)");
        QTest::newRow("33 characters do not replace the full title") << exactly33 << exactly33 << previous;
        const QString veryWide = QString(60, QLatin1Char('W'));
        QTest::newRow("still too wide after shortening")
            << veryWide << veryWide.left(30) + QStringLiteral("...") << veryWide;
    }

    void titleDisplay()
    {
        QFETCH(QString, title);
        QFETCH(QString, shown);
        QFETCH(QString, full);
        Form1Rig rig;
        Form1 &form = rig.form();
        form.setTitleCaption(QStringLiteral("Previous Title"));
        form.setTitleCaption(title);
        QCOMPARE(form.titleCaption(), shown);
        QCOMPARE(form.fullTitle(), full);
        if (shown.size() == 33)
            QVERIFY(form.Label2->width() > 0);
        else
            QVERIFY(form.Label2->width() <= 200 || shown == title);
    }

    void titleRuleAtTheWidthLimit_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("shortened");
        QTest::newRow("exactly 200 pixels: shown whole") << 200 << false;
        QTest::newRow("201 pixels: shortened") << 201 << true;
    }

    void titleRuleAtTheWidthLimit()
    {
        QFETCH(int, width);
        QFETCH(bool, shortened);
        Form1Rig rig;
        Form1 &form = rig.form();
        // A title of that width in the link's font, long enough that shortening shows.
        QLabel probe;
        probe.setFont(form.Label2->font());
        probe.setMargin(form.Label2->margin());
        probe.setIndent(form.Label2->indent());
        QString title;
        for (int wide = 0; wide < 20 && title.isEmpty(); ++wide) {
            for (int narrow = 34; narrow < 90; ++narrow) {
                const QString candidate = QString(wide, QLatin1Char('W')) + QString(narrow, QLatin1Char('i'));
                probe.setText(candidate);
                probe.adjustSize();
                if (probe.width() == width && candidate.size() != 33) {
                    title = candidate;
                    break;
                }
            }
        }
        QVERIFY2(!title.isEmpty(), "no title of that width");
        form.setTitleCaption(title);
        QCOMPARE(form.titleCaption(), shortened ? title.left(30) + QStringLiteral("...") : title);
        QCOMPARE(form.fullTitle(), title);
    }

    void recordShopLink_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("address");
        const QString start = QStringLiteral("http://shop.example/search/default.asp?SearchType=all&searchstring=");
        const QString end = QStringLiteral("&av=2&buttonsearchfast.x=0&buttonsearchfast.y=0");
        QTest::newRow("artist - song") << QStringLiteral("Red Band - Blue Song") << start + QStringLiteral("Red+Band+") + end;
        QTest::newRow("no dash: whole title") << QStringLiteral("Only a Title") << start + QStringLiteral("Only+a+Title") + end;
        QTest::newRow("first dash") << QStringLiteral("A-B - C") << start + QStringLiteral("A") + end;
        QTest::newRow("before any title: the design caption") << QString() << QString();
        QTest::newRow("empty title") << QStringLiteral("") << QString();
    }

    void recordShopLink()
    {
        QFETCH(QString, title);
        QFETCH(QString, address);
        QCOMPARE(Form1::shopSearchAddress(QStringLiteral("http://shop.example"), title), address);

        Form1Rig rig;
        Form1 &form = rig.form();
        if (!title.isNull())
            form.setTitleCaption(title);
        QTest::mouseClick(form.Label2, Qt::LeftButton);
        if (address.isEmpty()) {
            QVERIFY(rig.opened.isEmpty());
        } else {
            QCOMPARE(rig.opened.size(), 1);
            QCOMPARE(rig.opened.constFirst().toString(), address);
        }
    }

    void linkUsesTheFullTitle()
    {
        Form1Rig rig;
        Form1 &form = rig.form();
        form.setTitleCaption(QStringLiteral("Sunny Vale Orchestra - Tuesday Waltz for a Long and Lazy Afternoon"));
        QVERIFY(form.titleCaption().endsWith(QStringLiteral("...")));
        QTest::mouseClick(form.Label2, Qt::LeftButton);
        QCOMPARE(rig.opened.size(), 1);
        QVERIFY(rig.opened.constFirst().toString().contains(QStringLiteral("searchstring=Sunny+Vale+Orchestra+&")));
    }

    void noticesAreShown()
    {
        Form1Rig rig;
        rig.server.replyWith("<html>nothing</html>");
        Form1 &form = rig.form();
        form.Text1->setText(QStringLiteral("zzz"));
        QTest::keyClick(form.Text1, Qt::Key_Return);
        QMessageBox *notice = nullptr;
        QTRY_VERIFY((notice = form.findChild<QMessageBox *>()) && notice->isVisible());
        QCOMPARE(notice->text(), QStringLiteral("No Music Found!"));
        QVERIFY(!notice->isModal());
        QCOMPARE(form.titleCaption(), QStringLiteral("?"));
        QCOMPARE(form.searchResultFlag(), QString());
    }

    void searchPlaysFromTheDemoSite()
    {
        demo::DemoSite site;
        QVERIFY(site.listen());
        Form1Rig rig(QStringLiteral("http://127.0.0.1:%1").arg(site.port()));
        Form1 &form = rig.form();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.Text1->setFocus();
        form.Text1->selectAll();
        QTest::keyClicks(form.Text1, QStringLiteral("nova ellis"));
        QTest::keyClick(form.Text1, Qt::Key_Return);
        QTRY_COMPARE(form.searchResultFlag(), protocol::SearchResultFound);
        QVERIFY(rig.player().movie().startsWith(
            QStringLiteral("http://127.0.0.1:%1/player2.swf?video_id=nE3midTram9&l=241&t=").arg(site.port())));
        QCOMPARE(form.titleCaption(), QStringLiteral("Nova Ellis - Midnight Tram"));
        // The frames climb to the last one.
        QTRY_VERIFY(form.Image1->shows(form.looks().P[7]));
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
