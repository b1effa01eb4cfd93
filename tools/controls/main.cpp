// kivaro-controls: a form with both drawn controls live on it, to hover, press, tab through and
// toggle, with an event log, and the form's settings saved to and opened from a form file.
//
//   kivaro-controls [FORMFILE]
//
// A FORMFILE that cannot be read is told on stderr and the program ends with status 1, so a script
// or a person typing the command learns of it at once.
//
// Ctrl+C in its terminal, SIGTERM and SIGHUP end it at once with status 0, without the question
// about unsaved changes (nobody may be there to answer it); stderr tells when changes were lost.

#include "controlsform.h"
#include "kivaroassets.h"
#include "platform/endsignals.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kivaro-controls"));
    kivaro::initAssets();
    const QStringList arguments = app.arguments().mid(1);
    const char *usage = "usage: kivaro-controls [FORMFILE]\n";
    if (arguments.contains(QLatin1String("--help")) || arguments.contains(QLatin1String("-h"))) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (arguments.size() > 1 || (arguments.size() == 1 && arguments.constFirst().startsWith(u'-'))) {
        std::fputs(usage, stderr);
        return 1;
    }

    kivaro::ControlsForm form;
    if (arguments.size() == 1) {
        QString error;
        if (!form.openFile(arguments.constFirst(), error)) {
            std::fprintf(stderr, "kivaro-controls: %s\n", qPrintable(error));
            return 1;
        }
    }
    // Taken before the form shows: a request that comes while it does is heeded once it is up.
    const kivaro::EndSignals endSignals;
    QObject::connect(&endSignals, &kivaro::EndSignals::received, &app, [&form](int signal) {
        if (form.isWindowModified())
            std::fprintf(stderr, "kivaro-controls: ended by %s; the form's changes are not saved\n",
                         qPrintable(kivaro::EndSignals::name(signal)));
        QApplication::quit();
    });
    form.show();
    return app.exec();
}
