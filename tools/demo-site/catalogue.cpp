#include "catalogue.h"

#include <algorithm>

namespace kivaro::demo {

Catalogue::Catalogue()
{
    auto add = [this](const char *artist, const char *song, const char *id, int seconds) {
        m_tracks.append(Track{QString::fromUtf8(artist), QString::fromUtf8(song), QString::fromLatin1(id), seconds});
    };
    add("Red Band", "Blue Song", "AbCdEfGhIjK", 212);
    add("Red Band", "Paper Boats", "rB7paperB0t", 187);
    add("Nova Ellis", "Midnight Tram", "nE3midTram9", 241);
    add("Copper Fox", "Slow River", "cF_slowRiv1", 198);
    add("Marta Lind", "Seven Summers", "mL7sevenSum", 226);
    add("The Quiet Engines", "Static Heart", "qE-staticH2", 203);
    add("Juniper Road", "Paper Planes", "jR4paperPl5", 179);
    add("Echo Atlas", "Northern Glass", "eA8northGl6", 265);
    add("Sunny Vale Orchestra", "Tuesday Waltz for a Long and Lazy Afternoon", "sVo2tuesWz7", 301);
    add("Kite & Compass", "Open Water", "kC1openWat8", 233);
    add("DJ Lumen", "Neon Rain", "djL5neonRn3", 215);
    add("Émile Sorel", "Café Lumière", "eS6cafeLum4", 190);
    add("Harbour Lights", "Lantern Song", "hL9lantern0", 222);
    add("Grey Meadow", "Out of Time", "gM0outTime5", 208);
}

const Track *Catalogue::byId(const QString &id) const
{
    for (const Track &track : m_tracks) {
        if (track.id == id)
            return &track;
    }
    return nullptr;
}

QList<const Track *> Catalogue::search(const QString &query) const
{
    QStringList words = query.toLower().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.size() >= 2 && words.last() == QLatin1String("video")
        && words.at(words.size() - 2) == QLatin1String("music")) {
        words.resize(words.size() - 2);
    }
    // Dashes and other punctuation between words say nothing about what to find.
    words.removeIf([](const QString &word) {
        return std::none_of(word.cbegin(), word.cend(), [](QChar c) { return c.isLetterOrNumber(); });
    });

    QList<const Track *> found;
    for (const Track &track : m_tracks) {
        const QString haystack = track.title().toLower();
        const bool all = std::all_of(words.cbegin(), words.cend(),
                                     [&](const QString &word) { return haystack.contains(word); });
        if (all)
            found.append(&track);
    }
    return found;
}

} // namespace kivaro::demo
