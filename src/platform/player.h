#pragma once

#include <QString>

namespace kivaro {

// What plays the music: it is given the address of the movie to load. Giving it an address starts
// loading that address at once and replaces whatever played before; the neutral address (one that
// holds no video) only stops.
class Player
{
public:
    virtual ~Player() = default;
    virtual void setMovie(const QString &address) = 0;
    virtual QString movie() const = 0;
};

} // namespace kivaro
