// kivaro-demo-site: a local stand-in for the video site, the vendor site and the record shop.

#include "demosite.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <csignal>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kivaro-demo-site"));
    std::signal(SIGPIPE, SIG_IGN);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Serves a made-up music catalogue on 127.0.0.1 in the video site's layout, the vendor's\n"
        "/version.dll and /NewVers.exe signed with a key made at start (printed as \"vendor key:\"),\n"
        "and the record shop's /search/default.asp."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"), QStringLiteral("Port to listen on (0: any free one)."),
                                        QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption releaseOption(QStringLiteral("release"),
                                           QStringLiteral("Release number that /version.dll announces."),
                                           QStringLiteral("NUMBER"), QStringLiteral("3"));
    const QCommandLineOption verboseOption(QStringLiteral("verbose"), QStringLiteral("Print each request served."));
    const QCommandLineOption silentOption(QStringLiteral("silent"),
                                          QStringLiteral("Accept connections and never answer (a site that hangs)."));
    parser.addOption(portOption);
    parser.addOption(releaseOption);
    parser.addOption(verboseOption);
    parser.addOption(silentOption);
    parser.process(app);

    bool ok = false;
    const uint port = parser.value(portOption).toUInt(&ok);
    QTextStream err(stderr);
    if (!ok || port > 65535) {
        err << "kivaro-demo-site: --port needs a number from 0 to 65535" << Qt::endl;
        return 2;
    }

    kivaro::demo::DemoSite site;
    site.setRelease(parser.value(releaseOption));
    site.setVerbose(parser.isSet(verboseOption));
    site.setSilent(parser.isSet(silentOption));
    if (!site.listen(quint16(port))) {
        err << "kivaro-demo-site: cannot listen on 127.0.0.1:" << port << ": " << site.errorString() << Qt::endl;
        return 1;
    }

    QTextStream out(stdout);
    const QString base = QStringLiteral("http://127.0.0.1:%1").arg(site.port());
    out << "kivaro-demo-site: serving " << base << Qt::endl;
    out << "  video site:  " << base << "/results?search_query=red+band  and  /watch?v=ID" << Qt::endl;
    out << "  vendor site: " << base << "/version.dll (release " << site.release()
        << ") and /NewVers.exe, each with its .minisig" << Qt::endl;
    out << "  vendor key:  " << site.signer().publicKeyLine() << Qt::endl;
    out << "  record shop: " << base << "/search/default.asp?searchstring=Red+Band+" << Qt::endl;
    out << "  catalogue:" << Qt::endl;
    for (const kivaro::demo::Track &track : site.catalogue().tracks())
        out << "    " << track.title() << Qt::endl;
    return app.exec();
}
