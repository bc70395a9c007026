#include "ftpscriptedserver.h"

#include <QTcpSocket>
#include <QTimer>

#include <memory>
#include <utility>

#include <sys/socket.h>

ScriptedFtpServer::ScriptedFtpServer(QObject *parent)
    : QObject(parent)
{
    connect(&mServer, &QTcpServer::newConnection, this, &ScriptedFtpServer::accept);
}

bool ScriptedFtpServer::listen()
{
    return mServer.listen(QHostAddress::LocalHost, 0);
}

void ScriptedFtpServer::closeClient()
{
    if (mClient)
        mClient->abort();
}

void ScriptedFtpServer::accept()
{
    QTcpSocket *socket = mServer.nextPendingConnection();
    if (mClient) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    ++sessions;
    mClient = socket;
    mInput.clear();
    connect(socket, &QTcpSocket::readyRead, this, &ScriptedFtpServer::readCommands);
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    send(greeting);
    if (!endlessLine.isEmpty()) {
        mEndless = new QTimer(this);
        connect(mEndless, &QTimer::timeout, this, &ScriptedFtpServer::sendEndlessLine);
        mEndless->start(endlessInterval);
    }
}

void ScriptedFtpServer::sendEndlessLine()
{
    if (!mClient || mClient->state() != QAbstractSocket::ConnectedState) {
        mEndless->stop();
        return;
    }
    // Without a pause, enough at once to keep the connection full.
    if (mClient->bytesToWrite() < 65536)
        send(endlessInterval > 0 ? endlessLine : endlessLine.repeated(100));
}

void ScriptedFtpServer::readCommands()
{
    if (!mClient)
        return;
    mInput += mClient->readAll();
    for (qsizetype end = mInput.indexOf("\r\n"); end >= 0; end = mInput.indexOf("\r\n")) {
        const QByteArray line = mInput.left(end);
        mInput.remove(0, end + 2);
        commands.append(line);
        handle(line);
    }
}

void ScriptedFtpServer::handle(const QByteArray &line)
{
    const qsizetype blank = line.indexOf(' ');
    const QByteArray verb = line.left(blank < 0 ? line.size() : blank).toUpper();
    const QByteArray argument = blank < 0 ? QByteArray() : line.mid(blank + 1);
    if (verb == "PORT") {
        const QList<QByteArray> parts = argument.split(',');
        if (parts.size() == 6) {
            mDataAddress = QHostAddress(QString::fromLatin1(parts.mid(0, 4).join('.')));
            mDataPort = quint16(parts[4].toUInt() * 256 + parts[5].toUInt());
        }
    }
    if (verb == "PORT" && strangerOnDataPort) {
        auto *stranger = new QTcpSocket(this);
        stranger->bind(QHostAddress(QStringLiteral("127.0.0.2")));
        connect(stranger, &QTcpSocket::readyRead, this, [this, stranger] { strangerReceived += stranger->readAll(); });
        connect(stranger, &QTcpSocket::connected, this, [this, line] {
            strangerConnected = true;
            strangerOnDataPort = false;
            handle(line);
        });
        stranger->connectToHost(mDataAddress, mDataPort);
        return;
    }
    if (replies.contains(line) || replies.contains(verb)) {
        const QByteArray reply = replies.value(line, replies.value(verb));
        send(reply);
        if (verb == "QUIT" && mClient && !reply.isEmpty())
            mClient->disconnectFromHost();
        return;
    }
    if (verb == "USER")
        send("331 Password required\r\n");
    else if (verb == "PASS")
        send("230 Logged in\r\n");
    else if (verb == "CWD")
        send("250 Directory changed\r\n");
    else if (verb == "PWD")
        send("257 \"/\" is the current directory\r\n");
    else if (verb == "TYPE" || verb == "PORT")
        send("200 Command okay\r\n");
    else if (verb == "EPSV")
        send("229 Entering Extended Passive Mode (|||" + QByteArray::number(listenPassive()) + "|)\r\n");
    else if (verb == "PASV") {
        const quint16 port = listenPassive();
        send("227 Entering Passive Mode (" + passiveAddress + ',' + QByteArray::number(port >> 8) + ','
             + QByteArray::number(port & 0xFF) + ")\r\n");
    } else if (verb == "FEAT" && !features.isEmpty()) {
        QByteArray reply = "211-Features:\r\n";
        for (const QByteArray &feature : std::as_const(features))
            reply += ' ' + feature + "\r\n";
        send(reply + "211 End\r\n");
    }
    else if (verb == "MKD")
        send("257 \"" + argument + "\" created\r\n");
    else if (verb == "STOR")
        store(argument);
    else if (verb == "REST") {
        mRestart = argument.toLongLong();
        send("350 Restarting at " + argument + "\r\n");
    } else if (verb == "SIZE")
        send(files.contains(argument) ? "213 " + QByteArray::number(files.value(argument).size()) + "\r\n"
                                      : "550 No such file\r\n");
    else if (verb == "DELE")
        send(files.remove(argument) > 0 ? "250 Deleted\r\n" : "550 No such file\r\n");
    else if (verb == "RNFR") {
        mRenameFrom = argument;
        send(files.contains(argument) ? "350 Ready for RNTO\r\n" : "550 No such file\r\n");
    } else if (verb == "RNTO") {
        files.insert(argument, files.take(mRenameFrom));
        send("250 Renamed\r\n");
    } else if (verb == "NLST") {
        QByteArray listing;
        for (auto file = files.cbegin(); file != files.cend(); ++file) {
            if (argument == "-a" || !file.key().startsWith('.'))
                listing += file.key() + "\r\n";
        }
        sendListing(listing);
    } else if (verb == "LIST") {
        const QByteArray size = QByteArray::number(files.value(argument).size());
        sendListing(files.contains(argument) ? "-rw-r--r--   1 ftp  ftp  " + size + " Dec 09 11:40 " + argument + "\r\n" : QByteArray());
    }
    else if (verb == "QUIT") {
        send("221 Goodbye\r\n");
        if (mClient)
            mClient->disconnectFromHost();
    } else {
        send("502 Command not implemented\r\n");
    }
}

void ScriptedFtpServer::receive(QTcpSocket *data, const QByteArray &name)
{
    // Shared by the handlers, so it goes with them when a test ends mid-transfer.
    auto content = std::make_shared<QByteArray>();
    if (stallData) {
        data->setReadBufferSize(1);
    } else if (dataReadInterval > 0) {
        data->setReadBufferSize(16);
        auto *reader = new QTimer(data);
        connect(reader, &QTimer::timeout, data, [data, content] { *content += data->read(16); });
        reader->start(dataReadInterval);
    } else
        connect(data, &QTcpSocket::readyRead, this, [data, content] { *content += data->readAll(); });
    if (dropDataAfter >= 0) {
        connect(data, &QTcpSocket::readyRead, this, [this, data, content] {
            if (content->size() >= dropDataAfter)
                data->abort();
        });
    }
    const qint64 cut = endDataAfter;
    if (cut >= 0) {
        connect(data, &QTcpSocket::readyRead, this, [data, content, cut] {
            if (content->size() >= cut)
                ::shutdown(int(data->socketDescriptor()), SHUT_WR);
        });
    }
    const qint64 restart = std::exchange(mRestart, 0);
    connect(data, &QTcpSocket::disconnected, this, [this, data, content, name, restart, cut] {
        *content += data->readAll();
        if (dropDataAfter >= 0)
            content->truncate(dropDataAfter);
        if (cut >= 0)
            content->truncate(cut);
        content->chop(storesShortBy);
        files.insert(name, files.value(name).left(restart) + *content);
        data->deleteLater();
        send(dropDataAfter >= 0 ? QByteArray("426 Connection lost\r\n") : storeDone);
    });
}

void ScriptedFtpServer::store(const QByteArray &name)
{
    if (mPassive) {
        // The client may connect before or after it sends STOR.
        openData([this, name](QTcpSocket *data) {
            send("150 Opening data connection\r\n");
            receive(data, name);
        });
        return;
    }
    auto *data = new QTcpSocket(this);
    receive(data, name);
    // The pauses make sure the client sees the two events in the order asked for.
    if (dataBeforePreliminary) {
        connect(data, &QTcpSocket::connected, this, [this] {
            QTimer::singleShot(50, this, [this] { send("150 Opening data connection\r\n"); });
        });
        data->connectToHost(mDataAddress, mDataPort);
    } else {
        send("150 Opening data connection\r\n");
        const QHostAddress address = mDataAddress;
        const quint16 port = mDataPort;
        QTimer::singleShot(50, data, [data, address, port] { data->connectToHost(address, port); });
    }
}

void ScriptedFtpServer::openData(const std::function<void(QTcpSocket *)> &use)
{
    if (mPassive) {
        auto take = [this, use] {
            QTcpSocket *data = mPassive->nextPendingConnection();
            data->setParent(this);
            mPassive->deleteLater();
            mPassive = nullptr;
            use(data);
        };
        if (mPassive->hasPendingConnections())
            take();
        else
            connect(mPassive, &QTcpServer::newConnection, this, take);
        return;
    }
    auto *data = new QTcpSocket(this);
    connect(data, &QTcpSocket::connected, this, [data, use] { use(data); });
    data->connectToHost(mDataAddress, mDataPort);
}

void ScriptedFtpServer::sendListing(const QByteArray &listing)
{
    openData([this, listing](QTcpSocket *data) {
        send("150 Here comes the listing\r\n");
        connect(data, &QTcpSocket::disconnected, this, [this, data] {
            data->deleteLater();
            send("226 Listing sent\r\n");
        });
        data->write(listing);
        data->disconnectFromHost();
    });
}

quint16 ScriptedFtpServer::listenPassive()
{
    delete mPassive;
    mPassive = new QTcpServer(this);
    mPassive->listen(QHostAddress::LocalHost, 0);
    return mPassive->serverPort();
}

void ScriptedFtpServer::send(const QByteArray &raw)
{
    if (!mClient || raw.isEmpty())
        return;
    if (replyByteInterval <= 0) {
        mClient->write(raw);
        return;
    }
    mTrickled += raw;
    if (!mTrickle) {
        mTrickle = new QTimer(this);
        connect(mTrickle, &QTimer::timeout, this, &ScriptedFtpServer::sendNextByte);
        mTrickle->start(replyByteInterval);
    }
}

void ScriptedFtpServer::sendNextByte()
{
    if (!mClient || mTrickled.isEmpty())
        return;
    mClient->write(mTrickled.left(1));
    mTrickled.remove(0, 1);
}
