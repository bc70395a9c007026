#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

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

// Waits up to ten seconds for a server process just started to greet on the port: an
// empty string once it does, else why not (with what the process printed). Stopping a
// server that did not answer is the caller's.
inline QString awaitGreeting(QProcess &process, quint16 port, const QByteArray &greeting, const QString &name)
{
    if (!process.waitForStarted(5000))
        return QStringLiteral("cannot start %1: %2").arg(process.program(), process.errorString());
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && process.state() == QProcess::Running) {
        if (greets(port, greeting))
            return QString();
        QThread::msleep(50);
    }
    process.waitForFinished(500);
    return QStringLiteral("%1 did not answer on port %2: %3").arg(name).arg(port).arg(QString::fromLocal8Bit(process.readAll()).trimmed());
}

}
