// The main window as a screen reader meets it through Qt's accessibility: every element a user acts
// on has a role, a name and an action, and pressing it through the action interface does what a
// click does (compared, element by element, with a real click).

#include "form1rig.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>

using namespace kivaro;
using namespace kivaro::test;

namespace {

// Closes every popup menu as soon as it is open, and remembers which one opened where.
class PopupCloser : public QObject
{
public:
    PopupCloser()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] {
            if (QWidget *popup = QApplication::activePopupWidget()) {
                shown.append(popup->objectName() + QLatin1Char('@') + QString::number(popup->y()));
                popup->close();
            }
        });
        m_timer.start();
    }
    QStringList shown;

private:
    QTimer m_timer;
};

QStringList names(const char *spaced)
{
    return QString::fromLatin1(spaced).split(u' ', Qt::SkipEmptyParts);
}

} // namespace

class TestForm1Accessible : public QObject
{
    Q_OBJECT

    std::unique_ptr<Form1Rig> rig;

    Form1 &form() { return rig->form(); }
    QWidget *widgetNamed(const QString &name)
    {
        return name == QLatin1String("Form1") ? &form() : form().findChild<QWidget *>(name);
    }

    // What the window shows of what a click or a press did.
    QString effect(const PopupCloser &popups)
    {
        QStringList seen;
        if (form().isMinimized())
            seen << QStringLiteral("minimised");
        if (rig->programEnded > 0)
            seen << QStringLiteral("ended");
        if (form().searchResultFlag().isEmpty())
            seen << QStringLiteral("search handed over");
        for (const QUrl &url : std::as_const(rig->opened))
            seen << url.toString();
        for (const QString &popup : popups.shown)
            seen << popup.section(QLatin1Char('@'), 0, 0);
        return seen.join(QStringLiteral(", "));
    }

    // Back to how init left it.
    void reset()
    {
        form().showNormal();
        rig->programEnded = 0;
        rig->opened.clear();
        form().setSearchResultFlag(QStringLiteral("yes"));
    }

private Q_SLOTS:
    void init()
    {
        rig = std::make_unique<Form1Rig>();
        // Searches go to a server that never answers.
        rig->server.setScript([](const QByteArray &) { return LoopbackServer::Reply { {}, 0, true, true }; });
        rig->engine().mnumnu->setObjectName(QStringLiteral("Menu"));
        rig->engine().voorb->setObjectName(QStringLiteral("recent list"));
        form().show();
        QVERIFY(QTest::qWaitForWindowExposed(&form()));
        reset();
    }
    void cleanup() { rig.reset(); }

    void described_data()
    {
        QTest::addColumn<QString>("element");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("actions");
        const int button = QAccessible::Button;
        const int menuButton = QAccessible::ButtonMenu;
        QTest::newRow("window") << "Form1" << int(QAccessible::Window) << "Kivaro" << QStringList();
        QTest::newRow("search button") << "Image1" << button << "Search" << names("Press");
        QTest::newRow("history glyph")
            << "Image2" << menuButton << "Recent searches" << names("Press ShowMenu");
        QTest::newRow("menu") << "Eb" << menuButton << "Menu" << names("Press ShowMenu");
        QTest::newRow("minimise") << "Db" << button << "Minimise" << names("Press");
        QTest::newRow("exit") << "Xb" << button << "Exit" << names("Press");
        // Before any title: the design's "?", which looks nothing up but is still a link.
        QTest::newRow("title link") << "Label2" << int(QAccessible::Link) << "?" << names("Press");
        QTest::newRow("search box") << "Text1" << int(QAccessible::EditableText) << "Artist or song"
                                    << names("SetFocus");
        QTest::newRow("ticker")
            << "lblStat" << int(QAccessible::StaticText)
            << "Welcome to kivaro! Why download illigaly, when you can stream it legally?? "
               "Copyright \u00a9 2026 The Kivaro developers"
            << QStringList();
        QTest::newRow("progress counter") << "Bar" << int(QAccessible::ProgressBar) << "" << QStringList();
    }

    void described()
    {
        QFETCH(QString, element);
        QFETCH(int, role);
        QFETCH(QString, name);
        QFETCH(QStringList, actions);
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widgetNamed(element));
        QVERIFY(iface);
        QCOMPARE(int(iface->role()), role);
        QCOMPARE(iface->text(QAccessible::Name), name);
        QStringList actionNames
            = iface->actionInterface() ? iface->actionInterface()->actionNames() : QStringList();
        // Qt's own "set focus" for what takes the focus is no concern here, except for the box.
        if (element != QLatin1String("Text1"))
            actionNames.removeAll(QAccessibleActionInterface::setFocusAction());
        QCOMPARE(actionNames, actions);
        // The picture buttons are found where they are drawn; the hidden counter is not shown.
        QCOMPARE(iface->state().invisible, element == QLatin1String("Bar"));
        if (!iface->state().invisible)
            QCOMPARE(iface->rect(),
                     QRect(widgetNamed(element)->mapToGlobal(QPoint(0, 0)), widgetNamed(element)->size()));
    }

    // The link reads as the whole title it looks up, also where its caption is shortened.
    void linkNamedByTheTitle_data()
    {
        QTest::addColumn<QString>("title");
        QTest::newRow("short") << QStringLiteral("Red Band - Blue Song");
        QTest::newRow("shortened on screen")
            << QStringLiteral("The Long Named Orchestra - A Song With A Very Long Name Indeed");
    }
    void linkNamedByTheTitle()
    {
        QFETCH(QString, title);
        form().setTitleCaption(title);
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(form().Label2);
        QCOMPARE(iface->text(QAccessible::Name), title);
    }

    // Pressing an element through its action does what a click on it does.
    void pressDoesWhatAClickDoes_data()
    {
        QTest::addColumn<QString>("element");
        QTest::addColumn<QString>("searchText");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("expected");
        QTest::newRow("search") << "Image1"
                                << "Red Band"
                                << ""
                                << "search handed over";
        QTest::newRow("search, empty box: nothing") << "Image1"
                                                    << ""
                                                    << ""
                                                    << "";
        QTest::newRow("recent list") << "Image2"
                                     << "x"
                                     << ""
                                     << "recent list";
        QTest::newRow("menu") << "Eb"
                              << "x"
                              << ""
                              << "Menu";
        QTest::newRow("minimise") << "Db"
                                  << "x"
                                  << ""
                                  << "minimised";
        QTest::newRow("exit") << "Xb"
                              << "x"
                              << ""
                              << "ended";
        QTest::newRow("title link")
            << "Label2"
            << "x"
            << "Red Band - Blue Song"
            << "http://shop.example/search/default.asp?SearchType=all&searchstring=Red+Band+"
               "&av=2&buttonsearchfast.x=0&buttonsearchfast.y=0";
        QTest::newRow("no title yet: nothing") << "Label2"
                                               << "x"
                                               << ""
                                               << "";
    }

    void pressDoesWhatAClickDoes()
    {
        QFETCH(QString, element);
        QFETCH(QString, searchText);
        QFETCH(QString, title);
        QFETCH(QString, expected);
        form().setSearchText(searchText);
        if (!title.isEmpty())
            form().setTitleCaption(title);
        QWidget *widget = widgetNamed(element);

        QString clicked;
        {
            PopupCloser popups;
            QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
            QTRY_COMPARE(clicked = effect(popups), expected);
        }
        reset();

        PopupCloser popups;
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
        iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        // The press comes from the event loop, as a click does: a menu it opens must not hold up
        // the screen reader's call.
        QCOMPARE(effect(popups), QString());
        QTRY_COMPARE(effect(popups), clicked);
        // A menu opened for a screen reader opens below its button, not at the pointer.
        for (const QString &popup : std::as_const(popups.shown))
            QCOMPARE(popup.section(QLatin1Char('@'), 1).toInt(),
                     widget->mapToGlobal(QPoint(0, widget->height())).y());
    }

    void showMenuOpensTheMenu_data()
    {
        QTest::addColumn<QString>("element");
        QTest::addColumn<QString>("menu");
        QTest::newRow("menu") << "Eb"
                              << "Menu";
        QTest::newRow("history glyph") << "Image2"
                                       << "recent list";
    }
    void showMenuOpensTheMenu()
    {
        QFETCH(QString, element);
        QFETCH(QString, menu);
        PopupCloser popups;
        QAccessible::queryAccessibleInterface(widgetNamed(element))
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::showMenuAction());
        QTRY_COMPARE(popups.shown.size(), 1);
        QCOMPARE(popups.shown.constFirst().section(QLatin1Char('@'), 0, 0), menu);
    }
};

QTEST_MAIN(TestForm1Accessible)
#include "tst_form1_accessible.moc"
