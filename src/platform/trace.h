#pragma once

#include <QLoggingCategory>

namespace kivaro {

// The --verbose lines: one line on stderr per step, the program's name, a colon and the text. They
// are info messages of these categories, which are off unless showVerboseLines() switches them on
// (or QT_LOGGING_RULES does, for instance "kivaro.player.info=true").
Q_DECLARE_LOGGING_CATEGORY(lcEngine) // kivaro.engine: fetches, pages read, now playing, playlist
Q_DECLARE_LOGGING_CATEGORY(lcStartup) // kivaro.startup: the version check, the main window shown
Q_DECLARE_LOGGING_CATEGORY(lcPlayer) // kivaro.player: the player's command lines
Q_DECLARE_LOGGING_CATEGORY(lcDesktop) // kivaro.desktop: the media controls on the session bus

// Sets the filter rules that switch every kivaro category's info messages on, and has the program's
// messages written as "kivaro: <text>"; Qt's own messages keep their usual form.
void showVerboseLines();

} // namespace kivaro
