#pragma once

#include <QList>
#include <QString>

namespace kivaro::demo {

struct Track
{
    QString artist;
    QString song;
    QString id; // eleven characters, as the video site's identifiers
    int seconds = 0; // length announced to the player

    QString title() const { return artist + QLatin1String(" - ") + song; }
};

// The demo site's made-up catalogue.
class Catalogue
{
public:
    Catalogue();

    const QList<Track> &tracks() const { return m_tracks; }
    const Track *byId(const QString &id) const;
    // Every track whose artist and title contain all words of the query (ignoring case). The words
    // "music video" that the program adds to each search are not part of what the user asked for.
    QList<const Track *> search(const QString &query) const;

private:
    QList<Track> m_tracks;
};

} // namespace kivaro::demo
