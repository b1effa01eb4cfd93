// The engine against the bundled demo site: a query becomes a playing video end to end.

#include "demosite.h"
#include "enginetestcase.h"

using namespace kivaro;
using namespace kivaro::test;

class TestEngineDemoSite : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void playsTheFirstVideo_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("parametersStart");
        QTest::addColumn<QString>("title");
        QTest::newRow("artist and song") << QStringLiteral("Red Band - Blue Song")
                                         << QStringLiteral("AbCdEfGhIjK&l=212&t=") << QStringLiteral("Red Band - Blue Song");
        QTest::newRow("artist only: first match") << QStringLiteral("red band") << QStringLiteral("AbCdEfGhIjK&l=212&t=")
                                                  << QStringLiteral("Red Band - Blue Song");
        QTest::newRow("ampersand in the name") << QStringLiteral("kite & compass") << QStringLiteral("kC1openWat8&l=233&t=")
                                               << QStringLiteral("Kite & Compass - Open Water");
        QTest::newRow("beyond ASCII") << QStringLiteral("caf\u00e9") << QStringLiteral("eS6cafeLum4&l=190&t=")
                                      << QStringLiteral("\u00c9mile Sorel - Caf\u00e9 Lumi\u00e8re");
    }

    void playsTheFirstVideo()
    {
        QFETCH(QString, query);
        QFETCH(QString, parametersStart);
        QFETCH(QString, title);
        demo::DemoSite site;
        QVERIFY(site.listen());
        FakeMainWindow main;
        Settings settings;
        settings.site = QUrl(QStringLiteral("http://127.0.0.1:%1").arg(site.port()));
        Form2 engine(settings, [&]() -> MainWindowInterface & { return main; });

        engine.Play(query);
        QTRY_COMPARE(main.flag, QStringLiteral("yes"));
        const QString prefix = settings.siteAddress() + QStringLiteral("/player2.swf?video_id=") + parametersStart;
        QVERIFY2(main.player.movie().startsWith(prefix), qPrintable(main.player.movie()));
        QCOMPARE(main.title, title);
        QCOMPARE(engine.progressValue(), QStringLiteral("30"));
        QCOMPARE(site.requestsServed(), 2);
    }

    void unknownMusicIsNotFound()
    {
        demo::DemoSite site;
        QVERIFY(site.listen());
        FakeMainWindow main;
        Settings settings;
        settings.site = QUrl(QStringLiteral("http://127.0.0.1:%1").arg(site.port()));
        Form2 engine(settings, [&]() -> MainWindowInterface & { return main; });
        engine.Play(QStringLiteral("zzz nothing like this"));
        QTRY_COMPARE(main.notices, QStringList{QStringLiteral("No Music Found!")});
        QCOMPARE(main.flag, QString());
        QCOMPARE(site.requestsServed(), 1);
    }
};

QTEST_MAIN(TestEngineDemoSite)
#include "tst_engine_demosite.moc"
