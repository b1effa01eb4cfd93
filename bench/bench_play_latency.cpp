// Time from Play to the player receiving its address, against the demo site on loopback, beside
// curl fetching the same two pages one after the other in the same run.
//
//   bench/bench_play_latency [rounds]

#include "engine/form2.h"
#include "engine/mainwindowinterface.h"
#include "platform/player.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTextStream>

#include <algorithm>

using namespace kivaro;

namespace {

class TimedPlayer : public Player
{
public:
    void setMovie(const QString &address) override { m_movie = address; }
    QString movie() const override { return m_movie; }

private:
    QString m_movie;
};

class QuietMainWindow : public MainWindowInterface
{
public:
    Player &flash() override { return player; }
    QString searchResultFlag() const override { return flag; }
    void setSearchResultFlag(const QString &value) override { flag = value; }
    QString titleCaption() const override { return title; }
    void setTitleCaption(const QString &value) override { title = value; }
    QString searchText() const override { return {}; }
    void setSearchText(const QString &) override {}
    void focusSearchBox() override {}
    void showSkinChooser() override {}
    void showNotice(const QString &text) override { notice = text; }

    TimedPlayer player;
    QString flag;
    QString title;
    QString notice;
};

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 200;
    QTextStream out(stdout);

    QProcess site;
    site.start(QStringLiteral(KIVARO_DEMO_SITE), {QStringLiteral("--port"), QStringLiteral("0")});
    if (!site.waitForReadyRead(10000)) {
        out << "cannot start the demo site" << Qt::endl;
        return 1;
    }
    const QString firstLine = QString::fromUtf8(site.readLine()).trimmed();
    const QString base = firstLine.section(QLatin1Char(' '), -1);

    Settings settings;
    settings.site = QUrl(base);
    QuietMainWindow main;
    Form2 engine(settings, [&]() -> MainWindowInterface & { return main; });
    const QString query = QStringLiteral("red band");

    QList<double> engineMs;
    QString videoPath;
    for (int i = 0; i < rounds; ++i) {
        main.flag.clear();
        QElapsedTimer clock;
        clock.start();
        engine.Play(query);
        while (main.flag.isEmpty() && main.notice.isEmpty())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        engineMs << clock.nsecsElapsed() / 1e6;
        if (!main.notice.isEmpty()) {
            out << "engine failed: " << main.notice << Qt::endl;
            return 1;
        }
        videoPath = QStringLiteral("/watch?v=") + engine.videoIdentifier();
    }

    const QString searchUrl = Form2::searchAddress(base, query);
    const QString videoUrl = base + videoPath;
    QList<double> curlWallMs;
    QList<double> curlOwnMs;
    for (int i = 0; i < rounds; ++i) {
        QProcess curl;
        QElapsedTimer clock;
        clock.start();
        curl.start(QStringLiteral("curl"), {QStringLiteral("-s"), QStringLiteral("-0"), QStringLiteral("-o"),
                                            QStringLiteral("/dev/null"), QStringLiteral("-w"),
                                            QStringLiteral("%{time_total}\\n"), searchUrl, videoUrl});
        curl.waitForFinished(10000);
        curlWallMs << clock.nsecsElapsed() / 1e6;
        double own = 0;
        for (const QByteArray &line : curl.readAllStandardOutput().split('\n')) {
            if (!line.isEmpty())
                own += line.toDouble() * 1000;
        }
        curlOwnMs << own;
    }
    site.kill();
    site.waitForFinished();

    out << "rounds: " << rounds << Qt::endl;
    out << "engine, Play to player address (median ms):      " << median(engineMs) << Qt::endl;
    out << "curl, both pages, its own time_total (median ms): " << median(curlOwnMs) << Qt::endl;
    out << "curl, both pages, process start to end (median ms): " << median(curlWallMs) << Qt::endl;
    return 0;
}
