#pragma once

#include <QByteArray>
#include <QTcpServer>
#include <QTcpSocket>

// Helpers for the tests' real servers on 127.0.0.1.
namespace LoopbackServer {

// A port nobody listens on right now; 0 when there is none.
inline quint16 freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

// True once a server on the port greets a connection with a line starting with greeting.
inline bool greets(quint16 port, const QByteArray &greeting)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(500))
        return false;
    while (socket.waitForReadyRead(1000)) {
        if (socket.canReadLine())
            return socket.readLine().startsWith(greeting);
    }
    return false;
}

}
