#pragma once

#include <QPointer>

class QObject;
class QTcpSocket;

namespace kivaro {

// Abandons a connection and forgets it. Every tie to `owner` is cut first: QTcpSocket reports even
// our own abort as a disconnect, and nothing of an abandoned connection may reach its owner or a
// later connection. The socket may be inside one of its own signals right now, hence it is deleted
// later rather than at once. Does nothing when there is no connection.
void dropConnection(QPointer<QTcpSocket> &connection, const QObject *owner);

} // namespace kivaro
