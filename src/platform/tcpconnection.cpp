#include "platform/tcpconnection.h"

#include <QTcpSocket>

namespace kivaro {

void dropConnection(QPointer<QTcpSocket> &connection, const QObject *owner)
{
    QTcpSocket *tcp = connection.data();
    if (!tcp)
        return;
    tcp->disconnect(owner);
    tcp->abort();
    tcp->deleteLater();
    connection.clear();
}

} // namespace kivaro
