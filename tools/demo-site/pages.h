#pragma once

#include "catalogue.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace kivaro::demo {

// The demo site's pages, in the layout of the video site the program reads: search result pages
// whose results link to "/watch?v=<id>", video pages that hand the player its parameters and carry
// a "YouTube - " title, and the record shop's search page. All text is UTF-8 and escaped for HTML.
QByteArray searchPage(const QString &query, const QList<const Track *> &results);
QByteArray videoPage(const Track &track);
QByteArray missingVideoPage(const QString &id);
QByteArray shopPage(const QString &searchString);
QByteArray indexPage(const Catalogue &catalogue, quint16 port);

// A short melody for a track, as a playable 16-bit mono WAV file.
QByteArray melodyWav(const Track &track);

// The tiny installer the vendor site offers: a shell script that says what it would install.
QByteArray installerScript(const QString &release);

} // namespace kivaro::demo
