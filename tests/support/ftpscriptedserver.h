#pragma once

#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTimer>

#include <functional>

class QTcpSocket;

// An FTP server in the test's own event loop that answers from a script, for what
// real servers rarely do: odd greetings, multi-line and bare-LF replies, a data
// connection opened before the 150 reply, a server that stops answering. Without a
// scripted reply it behaves as a small well-mannered server that keeps stored files
// in memory.
class ScriptedFtpServer : public QObject
{
    Q_OBJECT

public:
    explicit ScriptedFtpServer(QObject *parent = nullptr);

    // Listens on 127.0.0.1 on a port the system picks.
    bool listen();
    quint16 port() const { return mServer.serverPort(); }

    // Sent raw when a client connects.
    QByteArray greeting = "220 Scripted server ready\r\n";
    // Raw replies by whole command line or by command verb, replacing the normal ones;
    // an empty text means the command is never answered.
    QHash<QByteArray, QByteArray> replies;
    // Sent when the data connection of a STOR has closed.
    QByteArray storeDone = "226 Transfer complete\r\n";
    // Open the data connection of a STOR before sending the 150 reply.
    bool dataBeforePreliminary = false;
    // Take the data connection of a STOR but never read from it.
    bool stallData = false;
    // Servers that trickle. Every reply goes out one byte at a time, this many ms apart:
    int replyByteInterval = 0;
    // After the greeting this line is sent for ever, this many ms apart (0: as fast as
    // the connection takes it):
    QByteArray endlessLine;
    int endlessInterval = 0;
    // The data connection of a STOR is read 16 bytes at a time, this many ms apart:
    int dataReadInterval = 0;
    // Before PORT is answered, a stranger (from 127.0.0.2) connects to the announced
    // data port; what it is sent there is kept.
    bool strangerOnDataPort = false;
    QByteArray strangerReceived;
    bool strangerConnected = false;
    // What the PASV reply names as the data connection's address (its port is a real
    // listener on 127.0.0.1).
    QByteArray passiveAddress = "127,0,0,1";
    // Listed in the FEAT reply; without any, FEAT is not implemented.
    QByteArrayList features;
    // A store keeps this many bytes fewer than it received (and SIZE tells so).
    qint64 storesShortBy = 0;
    // The data connection of a STOR is dropped after this many bytes (-1: never).
    qint64 dropDataAfter = -1;
    // The server ends the data connection of a STOR cleanly after this many bytes, reads
    // on until the client closes, keeps only those bytes and answers with storeDone.
    qint64 endDataAfter = -1;

    QList<QByteArray> commands;      // every command line received, in order
    QMap<QByteArray, QByteArray> files; // stored files by name
    int sessions = 0;

    // Drops the control connection at once.
    void closeClient();

private:
    void accept();
    void readCommands();
    void handle(const QByteArray &line);
    void store(const QByteArray &name);
    void receive(QTcpSocket *data, const QByteArray &name);
    // Opens the data connection of a transfer (passive or active) and hands it over.
    void openData(const std::function<void(QTcpSocket *)> &use);
    void sendListing(const QByteArray &listing);
    quint16 listenPassive();
    void send(const QByteArray &raw);
    void sendNextByte();
    void sendEndlessLine();

    QTcpServer mServer;
    QPointer<QTcpSocket> mClient;
    QByteArray mInput;
    QByteArray mRenameFrom;
    qint64 mRestart = 0;
    QHostAddress mDataAddress;
    quint16 mDataPort = 0;
    QTcpServer *mPassive = nullptr;
    QByteArray mTrickled;
    QTimer *mTrickle = nullptr;
    QTimer *mEndless = nullptr;
};
