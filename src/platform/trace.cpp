#include "platform/trace.h"

#include "platform/textdecoding.h"

#include <cstdio>
#include <cstring>

namespace kivaro {

Q_LOGGING_CATEGORY(lcEngine, "kivaro.engine", QtWarningMsg)
Q_LOGGING_CATEGORY(lcStartup, "kivaro.startup", QtWarningMsg)
Q_LOGGING_CATEGORY(lcPlayer, "kivaro.player", QtWarningMsg)
Q_LOGGING_CATEGORY(lcDesktop, "kivaro.desktop", QtWarningMsg)

namespace {

constexpr char CategoryPrefix[] = "kivaro.";

void writeLine(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const bool ours
        = context.category && std::strncmp(context.category, CategoryPrefix, sizeof CategoryPrefix - 1) == 0;
    // Our lines tell of pages, titles and addresses from outside: none may reach the terminal
    // with a control character in it.
    const QString line = ours ? QStringLiteral("kivaro: ") + oneLineText(message)
                              : qFormatLogMessage(type, context, message);
    std::fputs(line.toUtf8().append('\n').constData(), stderr);
    std::fflush(stderr);
}

} // namespace

void showVerboseLines()
{
    QLoggingCategory::setFilterRules(QStringLiteral("kivaro.*.info=true"));
    qInstallMessageHandler(writeLine);
}

} // namespace kivaro
