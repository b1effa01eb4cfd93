#pragma once

#include "platform/player.h"

#include <QStringList>

namespace kivaro::test {

// A player that only remembers every address it was given, in order.
class RecordingPlayer : public Player
{
public:
    void setMovie(const QString &address) override { addresses.append(address); }
    QString movie() const override { return addresses.isEmpty() ? QString() : addresses.constLast(); }

    QStringList addresses;
};

} // namespace kivaro::test
