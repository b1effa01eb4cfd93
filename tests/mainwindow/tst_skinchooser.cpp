// The skin chooser from the main window: opened through the menu with real mouse and keyboard
// events, the window showing a skin's pictures as its handlers next show them, and its outline
// following the skin's background.

#include "form1rig.h"
#include "mainwindow/filelistbox.h"
#include "mainwindow/form4.h"

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

using namespace kivaro;
using namespace kivaro::test;

namespace {

constexpr QRgb SkinBlue = qRgb(30, 60, 150);
constexpr QRgb FrameGreen = qRgb(40, 160, 60);
constexpr QRgb Cut = qRgb(255, 0, 0);
// A cut the skin's background has and the design's has not, below the ticker.
constexpr QRect SkinCut(150, 92, 50, 11);

void save(const QImage &image, const QString &path)
{
    QVERIFY2(image.save(path), qPrintable(path));
}

QImage plain(QSize size, QRgb colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// The skin "blue": a blue background, everywhere solid but for a red cut; a menu button look and
// a last progress frame of sizes other than the design's.
void makeSkin(const QString &skinsFolder)
{
    QVERIFY(QDir().mkpath(skinsFolder + QStringLiteral("/blue")));
    QFile marker(skinsFolder + QStringLiteral("/blue.skn"));
    QVERIFY(marker.open(QIODevice::WriteOnly));
    QImage background = plain(QSize(391, 103), SkinBlue);
    for (int y = SkinCut.top(); y <= SkinCut.bottom(); ++y)
        for (int x = SkinCut.left(); x <= SkinCut.right(); ++x)
            background.setPixel(x, y, Cut);
    save(background, skinsFolder + QStringLiteral("/blue/IMN.png"));
    save(plain(QSize(30, 20), FrameGreen), skinsFolder + QStringLiteral("/blue/EN.bmp"));
    save(plain(QSize(50, 60), FrameGreen), skinsFolder + QStringLiteral("/blue/P7.png"));
}

} // namespace

class TestSkinChooser : public QObject
{
    Q_OBJECT

    QTemporaryDir m_data;
    std::unique_ptr<Form1Rig> rig;

    Form1 &form() { return rig->form(); }
    Form4 *chooser() { return form().findChild<Form4 *>(); }

    // Opens "Menu" with the menu button and picks "Choose Skin" in it, with the mouse.
    void chooseSkinFromTheMenu()
    {
        QWindow *window = form().windowHandle();
        const QPoint button = form().Eb->mapTo(&form(), form().Eb->rect().center());
        QTimer picker;
        picker.setInterval(10);
        connect(&picker, &QTimer::timeout, this, [this, &picker] {
            QMenu *menu = rig->engine().mnumnu;
            if (QApplication::activePopupWidget() != menu)
                return;
            picker.stop();
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(rig->engine().mnuSkin).center());
        });
        picker.start();
        QTest::mouseMove(window, button);
        QTest::mousePress(window, Qt::LeftButton, {}, button);
        QTest::mouseRelease(window, Qt::LeftButton, {}, button); // returns once the menu has closed
        QVERIFY(!picker.isActive());
        QTRY_VERIFY(chooser() && chooser()->isVisible());
    }

private Q_SLOTS:
    void init()
    {
        QDir(m_data.filePath(QStringLiteral("skins"))).removeRecursively();
        makeSkin(m_data.filePath(QStringLiteral("skins")));
        rig = std::make_unique<Form1Rig>(QString(), m_data.path());
        form().show();
        QVERIFY(QTest::qWaitForWindowExposed(&form()));
    }

    void cleanup() { rig.reset(); }

    void chooseWithMouseAndKeyboard_data()
    {
        QTest::addColumn<bool>("enter");
        QTest::newRow("double-click") << false;
        QTest::newRow("click, then Enter") << true;
    }
    void chooseWithMouseAndKeyboard()
    {
        QFETCH(bool, enter);
        chooseSkinFromTheMenu();
        QPointer<Form4> form4 = chooser();
        QCOMPARE(form4->windowTitle(), QStringLiteral("Choose Skin"));
        QVERIFY(form4->windowFlags().testFlag(Qt::Tool));
        QVERIFY(!form4->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!form4->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(form4->File1->fileName(0), QStringLiteral("blue.skn"));
        QVERIFY(QTest::qWaitForWindowExposed(form4));
        QWindow *chooserWindow = form4->windowHandle();
        Form4 *const shown = form4.data();
        QVERIFY(shown);
        const QPoint entry = shown->File1->viewport()->mapTo(
            shown, shown->File1->visualItemRect(shown->File1->item(0)).center());
        const QPixmap designBackground = form().looks().IMn;

        if (enter) {
            QTest::mouseClick(chooserWindow, Qt::LeftButton, {}, entry);
            QVERIFY(form4->isVisible()); // a single click only selects
            QCOMPARE(form().looks().IMn.cacheKey(), designBackground.cacheKey());
            QTest::keyClick(form4->File1, Qt::Key_Return);
        } else {
            QTest::mouseDClick(chooserWindow, Qt::LeftButton, {}, entry);
        }
        QTRY_VERIFY(form4.isNull());
        QVERIFY(!QApplication::activeModalWidget()); // no error

        // Stored, not yet shown: the window shows the new pictures as its handlers next show them.
        QVERIFY(form().Picture1->shows(designBackground));
        QWindow *window = form().windowHandle();
        QTest::mouseMove(window, form().Picture1->mapTo(&form(), QPoint(100, 95)));
        QVERIFY(form().Picture1->shows(form().looks().IMn));
        QCOMPARE(form().Picture1->picture().toImage().pixel(0, 0), SkinBlue);
        QVERIFY(form().Eb->shows(form().looks().En));
        QCOMPARE(form().Eb->size(), QSize(30, 20)); // the button takes its picture's size
    }

    // The outline comes from the shown background: the skin's cut replaces the design's.
    void outlineFollowsTheBackground()
    {
        // The design's background is cut at the corners and below the panel.
        QTRY_VERIFY(!form().mask().contains(QPoint(1, 1)));
        QVERIFY(!form().mask().contains(QPoint(170, 100)));
        QVERIFY(form().mask().contains(QPoint(170, 60)));

        form().showSkinChooser();
        Form4 *form4 = chooser();
        form4->File1->setCurrentRow(0);
        form4->File1_DblClick();
        QTest::mouseMove(form().windowHandle(), form().Picture1->mapTo(&form(), QPoint(100, 60)));

        QTRY_VERIFY(form().mask().contains(QPoint(1, 1)));
        QVERIFY(!form().mask().contains(QPoint(170, 100))); // in the skin's cut
        QVERIFY(!form().mask().contains(QPoint(SkinCut.left(), SkinCut.top())));
        QVERIFY(form().mask().contains(QPoint(SkinCut.left() - 1, SkinCut.top())));
        QVERIFY(form().mask().contains(QPoint(170, 60)));
        // Beyond the 391 x 103 picture the background box's own red shows.
        QVERIFY(!form().mask().contains(QPoint(391, 50)));
        QVERIFY(form().mask().contains(QPoint(390, 50)));
    }

    // The frame follows on the next progress tick, at the size of its picture.
    void progressFrameOnTheNextTick()
    {
        rig->engine().setWindowTitle(QStringLiteral("30")); // the engine's progress value
        for (int step = 0; step < 30; ++step)
            form().Timer2_Timer();
        QVERIFY(form().Image1->shows(form().looks().P[7]));
        QCOMPARE(form().Image1->size(), QSize(68, 70));
        // A step that changes nothing puts the frame timer to rest; the chooser must wake it.
        form().Timer2_Timer();
        QVERIFY(!form().Timer2->isActive());

        form().showSkinChooser();
        chooser()->File1->setCurrentRow(0);
        chooser()->File1_DblClick();
        QTRY_VERIFY(form().Timer2->isActive());
        QVERIFY(!form().Image1->shows(form().looks().P[7]));
        form().Timer2_Timer();
        QVERIFY(form().Image1->shows(form().looks().P[7]));
        QCOMPARE(form().Image1->size(), QSize(50, 60));
    }

    // Twice the same skin, the same pictures; a new main window starts with the design's.
    void twiceTheSameAndAFreshStart()
    {
        const QImage design = form().looks().IMn.toImage();
        QImage first;
        for (int time = 0; time < 2; ++time) {
            form().showSkinChooser();
            chooser()->File1->setCurrentRow(0);
            chooser()->File1_DblClick();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(!chooser());
            if (time == 0)
                first = form().looks().IMn.toImage();
            else
                QCOMPARE(form().looks().IMn.toImage(), first);
        }
        QVERIFY(first != design);
        rig = std::make_unique<Form1Rig>(QString(), m_data.path());
        QCOMPARE(form().looks().IMn.toImage(), design);
    }

    // The close box closes the chooser and changes nothing; the menu opens a new one.
    void closeBoxChangesNothing()
    {
        const qint64 before = form().looks().IMn.cacheKey();
        form().showSkinChooser();
        QPointer<Form4> first = chooser();
        form().showSkinChooser(); // still open: the same one
        QCOMPARE(chooser(), first.data());
        first->close();
        QTRY_VERIFY(first.isNull());
        QCOMPARE(form().looks().IMn.cacheKey(), before);
        form().showSkinChooser();
        QVERIFY(chooser() && chooser()->isVisible());
    }
};

QTEST_MAIN(TestSkinChooser)
#include "tst_skinchooser.moc"
