#pragma once

#include <QList>
#include <QString>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kivaro::test {

// A TCP socket listening on a free loopback port, whose address is written to `address`.
inline int listenOnLoopback(int backlog, sockaddr_in &address)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr *>(&address), length);
    ::listen(fd, backlog);
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length);
    return fd;
}

// A loopback port whose listen queue is full: a connection attempt gets no answer at all.
class DeafPort
{
public:
    DeafPort()
    {
        sockaddr_in address {};
        m_listener = listenOnLoopback(0, address);
        m_port = ntohs(address.sin_port);
        // Fill the queue; from then on the kernel drops new connection attempts unanswered.
        for (int i = 0; i < 4; ++i) {
            const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
            m_fillers.append(fd);
        }
    }
    ~DeafPort()
    {
        for (int fd : m_fillers)
            ::close(fd);
        ::close(m_listener);
    }
    DeafPort(const DeafPort &) = delete;
    DeafPort &operator=(const DeafPort &) = delete;

    quint16 port() const { return m_port; }
    QString address() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port); }

private:
    int m_listener = -1;
    quint16 m_port = 0;
    QList<int> m_fillers;
};

} // namespace kivaro::test
