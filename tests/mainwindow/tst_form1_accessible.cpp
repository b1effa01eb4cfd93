// The main window as a screen reader meets it through Qt's accessibility: each element a user acts
// on has a role, a name and an action, and its press does what a real click on it does.

#include "form1rig.h"

#include <QAccessible>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>

using namespace kivaro;
using namespace kivaro::test;

namespace {

QStringList names(const char *spaced)
{
    return QString::fromLatin1(spaced).split(u' ', Qt::SkipEmptyParts);
}

// Closes each popup menu as soon as it is open, noting its name and its top edge.
class PopupCloser : public QObject
{
public:
    PopupCloser()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (QWidget *popup = QApplication::activePopupWidget()) {
                shown << popup->objectName();
                top = popup->y();
                popup->close();
            }
        });
        m_timer.start(10);
    }
    QStringList shown;
    int top = 0;

private:
    QTimer m_timer;
};

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

    // What a click or a press did, as the window shows it.
    QStringList effectOf(const PopupCloser &popups)
    {
        QStringList seen = popups.shown;
        if (form().isMinimized())
            seen << QStringLiteral("minimised");
        if (rig->programEnded > 0)
            seen << QStringLiteral("ended");
        if (form().searchResultFlag().isEmpty())
            seen << QStringLiteral("searching");
        for (const QUrl &url : std::as_const(rig->opened))
            seen << url.toString();
        return seen;
    }
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
        rig->server.setScript([](const QByteArray &) { return LoopbackServer::Reply { {}, 0, true, true }; });
        rig->engine().mnumnu->setObjectName(QStringLiteral("Menu"));
        rig->engine().voorb->setObjectName(QStringLiteral("recent list"));
        form().show();
        QVERIFY(QTest::qWaitForWindowExposed(&form()));
        reset();
    }
    void cleanup() { rig.reset(); }

    // Each element's role, name and actions; pressed through `action` (when given), it does what a
    // click on it does, from the event loop as a click comes; a menu opens below its button rather
    // than at the pointer.
    void elements_data()
    {
        QTest::addColumn<QString>("element");
        QTest::addColumn<QString>("title"); // the title link shows, when given
        QTest::addColumn<QString>("text"); // in the search box
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("effect");
        auto row = [](const char *name, const char *element, QAccessible::Role role,
                      const char *accessibleName, const char *actions, const char *action = "",
                      const QStringList &effect = {}, const char *text = "x", const char *title = "") {
            QTest::newRow(name) << QString::fromLatin1(element) << QString::fromLatin1(title)
                                << QString::fromLatin1(text) << int(role)
                                << QString::fromLatin1(accessibleName) << names(actions)
                                << QString::fromLatin1(action) << effect;
        };
        const char *button = "Press";
        const char *menuButton = "Press ShowMenu";
        row("window", "Form1", QAccessible::Window, "Kivaro", "");
        row("search", "Image1", QAccessible::Button, "Search", button, "Press", names("searching"),
            "Red Band");
        row("search, empty box", "Image1", QAccessible::Button, "Search", button, "Press", {}, "");
        row("history", "Image2", QAccessible::ButtonMenu, "Recent searches", menuButton, "ShowMenu",
            { QStringLiteral("recent list") });
        row("menu", "Eb", QAccessible::ButtonMenu, "Menu", menuButton, "Press", names("Menu"));
        row("minimise", "Db", QAccessible::Button, "Minimise", button, "Press", names("minimised"));
        row("exit", "Xb", QAccessible::Button, "Exit", button, "Press", names("ended"));
        row("link, no title yet", "Label2", QAccessible::Link, "?", button, "Press");
        row("link", "Label2", QAccessible::Link, "Red Band - Blue Song", button, "Press",
            { QStringLiteral(
                "http://shop.example/search/default.asp?SearchType=all&searchstring=Red+Band+&av=2"
                "&buttonsearchfast.x=0&buttonsearchfast.y=0") },
            "x", "Red Band - Blue Song");
        // Named by the whole title, also where the caption shortens it.
        const char *longTitle = "The Long Named Orchestra - A Song With A Very Long Name Indeed";
        row("link, shortened", "Label2", QAccessible::Link, longTitle, button, "", {}, "x", longTitle);
        row("search box", "Text1", QAccessible::EditableText, "Artist or song", "SetFocus");
        row("hidden counter", "Bar", QAccessible::ProgressBar, "", "");
    }
    void elements()
    {
        QFETCH(QString, element);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(int, role);
        QFETCH(QString, name);
        QFETCH(QStringList, actions);
        QFETCH(QString, action);
        QFETCH(QStringList, effect);
        form().setSearchText(text);
        if (!title.isEmpty())
            form().setTitleCaption(title);
        QWidget *widget = widgetNamed(element);
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
        QCOMPARE(int(iface->role()), role);
        QCOMPARE(iface->text(QAccessible::Name), name);
        QStringList actionNames
            = iface->actionInterface() ? iface->actionInterface()->actionNames() : QStringList();
        if (element != QLatin1String("Text1")) // Qt's own "set focus" is no concern but for the box
            actionNames.removeAll(QAccessibleActionInterface::setFocusAction());
        QCOMPARE(actionNames, actions);
        QCOMPARE(bool(iface->state().invisible), element == QLatin1String("Bar"));
        if (action.isEmpty())
            return;
        {
            PopupCloser popups;
            QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
            QTRY_COMPARE(effectOf(popups), effect);
        }
        reset();
        PopupCloser popups;
        iface->actionInterface()->doAction(action);
        QCOMPARE(effectOf(popups), QStringList()); // from the event loop
        QCoreApplication::sendPostedEvents(nullptr,
                                           QEvent::MetaCall); // so that "nothing" is checked after it
        QTRY_COMPARE(effectOf(popups), effect);
        if (!popups.shown.isEmpty())
            QCOMPARE(popups.top, widget->mapToGlobal(QPoint(0, widget->height())).y());
    }
};

QTEST_MAIN(TestForm1Accessible)
#include "tst_form1_accessible.moc"
