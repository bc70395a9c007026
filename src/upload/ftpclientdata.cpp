#include "ftpclient.h"

#include "platform/boundedread.h"
#include "upload/ftpdataconnection.h"
#include "upload/uploadsource.h"

#include <QRegularExpression>
#include <QSslSocket>

namespace {

// Progress is reported per block of 1514 bytes, as callers know it. The file is read and
// handed to the socket a chunk of whole blocks at a time, and a new chunk is queued as
// soon as less than one chunk waits to be sent, so the network never waits for the
// event loop and no more than two chunks are held whatever the file's size.
constexpr qint64 blockSize = 1514;
constexpr qint64 chunkSize = blockSize * 173; // about 256 KiB
// What the system is asked to send from the file at once: it takes what fits in the
// socket's buffer and the sender waits for room, as for a chunk written.
constexpr qint64 fileChunkSize = 4 * chunkSize;

// The open file behind a source that the system may send from directly: its
// descriptor (-1 when there is none), where the next byte to send lies, and its size.
struct SourceFile
{
    int descriptor = -1;
    qint64 position = 0;
    qint64 size = 0;
};

SourceFile sourceFileOf(QIODevice *source)
{
    if (auto *upload = qobject_cast<UploadSource *>(source))
        return {upload->handle(), upload->bytesRead(), upload->fileSize()};
    if (auto *file = qobject_cast<QFileDevice *>(source))
        return {file->handle(), file->pos(), file->size()};
    return {};
}

// "229 Entering Extended Passive Mode (|||6446|)": the port, or 0.
quint16 extendedPassivePort(const QString &line)
{
    static const QRegularExpression pattern(QStringLiteral(R"(\(([!-~])\1\1(\d{1,5})\1\))"));
    const QRegularExpressionMatch match = pattern.match(line);
    const uint port = match.hasMatch() ? match.captured(2).toUInt() : 0;
    return port < 65536 ? quint16(port) : 0;
}

// "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)": false when the reply names no
// address and port.
bool passiveAddress(const QString &line, QHostAddress *address, quint16 *port)
{
    static const QRegularExpression pattern(QStringLiteral(R"((\d{1,3}),(\d{1,3}),(\d{1,3}),(\d{1,3}),(\d{1,3}),(\d{1,3}))"));
    const QRegularExpressionMatch match = pattern.match(line);
    if (!match.hasMatch())
        return false;
    uint n[6];
    for (int i = 0; i < 6; ++i) {
        n[i] = match.captured(i + 1).toUInt();
        if (n[i] > 255)
            return false;
    }
    *address = QHostAddress((n[0] << 24) | (n[1] << 16) | (n[2] << 8) | n[3]);
    *port = quint16(n[4] << 8 | n[5]);
    return *port != 0;
}

// A listing's lines as the user would read them, without line ends or empty lines.
QStringList listingLines(const QByteArray &bytes)
{
    QStringList lines;
    const QList<QByteArray> raw = bytes.split('\n');
    for (QByteArray line : raw) {
        while (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty())
            lines.append(decodeReplyText(line));
    }
    return lines;
}

}

void TFtpClient::openDataPort()
{
    dropData();
    mPreliminary = mAccepted = mFinal = mClosed = mEndOfFile = mSendingStarted = mDataClosing = false;
    mSendsFromFile = true;
    mNextReport = 0;
    mReceiving = mRequest == rqList;
    mCloseError = 0;
    mByteCount = 0;
    mStartTick.invalidate();
    if (!mControl) {
        failStep(500, 10057, WinsockErrors::failureText(10057));
        return;
    }
    if (Passive) {
        mTriedPasv = false;
        sendCommand(QStringLiteral("EPSV"), {229}, ReplyHandler::Passive);
        return;
    }
    bool ipv4 = false;
    const quint32 local = mControl->localAddress().toIPv4Address(&ipv4);
    if (!ipv4) {
        failStep(500, 10047, WinsockErrors::failureText(10047));
        return;
    }
    // The data port listens only on the address the server is told, not on every
    // interface of the machine, and takes only the server's connection.
    mData = newDataConnection();
    int error = 0;
    const quint16 port = mData->listen(QHostAddress(local), mControl->peerAddress(), &error);
    if (port == 0) {
        failStep(500, error, WinsockErrors::failureText(error));
        return;
    }
    bool peerIpv4 = false;
    const quint32 peer = mControl->peerAddress().toIPv4Address(&peerIpv4);
    QString command;
    if (peerIpv4 && peer == 0x7F000001u) {
        command = QString::asprintf("PORT 127,0,0,1,%d,%d", port >> 8, port & 0xFF);
    } else {
        command = QString::asprintf("PORT %u,%u,%u,%u,%d,%d", local >> 24, (local >> 16) & 0xFF, (local >> 8) & 0xFF,
                                    local & 0xFF, port >> 8, port & 0xFF);
    }
    sendCommand(command, {200}, ReplyHandler::Generic);
}

// EPSV first; PASV when the server refuses it. The data connection always goes to the
// address the control connection reached: a server must not be able to send the
// client, with the file, to a third host.
void TFtpClient::passiveReply(const QString &line, const FtpReplyLine &reply)
{
    const quint64 generation = mGeneration;
    trace(QStringLiteral("< ") + line);
    if (!alive(generation) || !reply.final || !mControl)
        return;
    mStatusCode = reply.code;
    mReplyHandler = ReplyHandler::None;
    const QHostAddress server = mControl->peerAddress();
    quint16 port = 0;
    if (!mTriedPasv) {
        if (reply.code == 229)
            port = extendedPassivePort(line);
        if (port == 0) {
            mTriedPasv = true;
            sendCommand(QStringLiteral("PASV"), {227}, ReplyHandler::Passive);
            return;
        }
    } else {
        QHostAddress named;
        if (reply.code != 227) {
            failStep(reply.code, reply.code, line);
            return;
        }
        if (!passiveAddress(line, &named, &port)) {
            failStep(500, 500, QStringLiteral("500 Unreadable passive mode reply: ") + line);
            return;
        }
        if (!named.isEqual(server, QHostAddress::TolerantConversion)) {
            trace(QStringLiteral("! PASV named %1; the data connection goes to the server's address %2")
                      .arg(named.toString(), server.toString()));
            if (!alive(generation))
                return;
        }
    }
    mData = newDataConnection();
    mPassiveConnecting = true;
    mData->connectTo(server, port);
}

FtpDataConnection *TFtpClient::newDataConnection()
{
    std::optional<FtpDataConnection::Tls> tls;
    if (QSslSocket *secure = secureControl(); mTlsActive && secure)
        tls = FtpDataConnection::Tls{secure->sslConfiguration(), HostName, secure->peerCertificate()};
    auto *data = new FtpDataConnection(std::move(tls), this);
    data->setReceiving(mReceiving);
    connect(data, &FtpDataConnection::strangerRefused, this, [this](const QString &address) {
        guarded(true, [this, &address] { trace(QStringLiteral("! Data connection from %1 refused").arg(address)); });
    });
    connect(data, &FtpDataConnection::established, this, [this] { guarded(true, [this] { dataEstablished(); }); });
    connect(data, &FtpDataConnection::ready, this, [this] { guarded(true, [this] { dataReady(); }); });
    connect(data, &FtpDataConnection::progressed, this, [this] { guarded(true, [this] { dataWritten(); }); });
    connect(data, &FtpDataConnection::received, this, [this] { guarded(true, [this] { dataReceived(); }); });
    connect(data, &FtpDataConnection::failed, this, [this](int error, const QString &message) {
        guarded(true, [this, error, &message] { dataFailed(error, message); });
    });
    connect(data, &FtpDataConnection::closed, this, [this](int error) { guarded(true, [this, error] { dataClosed(error); }); });
    return data;
}

void TFtpClient::startStore()
{
    const quint64 generation = mGeneration;
    bool cancel = false;
    emit OnReadyToTransmit(cancel);
    if (!alive(generation))
        return;
    if (cancel) {
        failStep(426, 426, QStringLiteral("426 Transmit cancelled by application"), true);
        return;
    }
    if (SourceDevice) {
        mSource = SourceDevice;
    } else {
        mFile.setFileName(LocalFileName);
        // A pipe or a device in the list would hold the store (and the window) for ever.
        if (!BoundedRead::openRegularFile(mFile) || (RestartOffset > 0 && !mFile.seek(RestartOffset))) {
            mFile.close();
            failStep(426, 426, QStringLiteral("426 Unable to open local file ") + LocalFileName, true);
            return;
        }
        mSource = &mFile;
    }
    sendCommand(QStringLiteral("STOR ") + HostFileName, {125, 150}, ReplyHandler::Store);
}

void TFtpClient::startList()
{
    mReceived.clear();
    sendCommand(ListCommand, {125, 150}, ReplyHandler::Store);
}

void TFtpClient::storeReply(const QString &line, const FtpReplyLine &reply)
{
    const quint64 generation = mGeneration;
    trace(QStringLiteral("< ") + line);
    if (!alive(generation) || !reply.final)
        return;
    mStatusCode = reply.code;
    if (!mPreliminary) {
        if (reply.code == 125 || reply.code == 150) {
            mPreliminary = true;
            mExpected = {226, 250};
            maybeStartSending();
            return;
        }
        setError(line);
        mRequestResult = reply.code;
        complete(reply.code);
        return;
    }
    if (reply.code == 226 || reply.code == 250) {
        mFinal = true;
        maybeFinishStore();
        return;
    }
    setError(line);
    mRequestResult = reply.code;
    dropData();
    trace(QStringLiteral("! STOR Failed"));
    if (alive(generation))
        complete(reply.code);
}

void TFtpClient::dataEstablished()
{
    touch();
    if (!mPassiveConnecting)
        return;
    // The passive connection is up: now the server may be told what it carries.
    mPassiveConnecting = false;
    stepDone(0);
}

void TFtpClient::dataReady()
{
    touch();
    mAccepted = true;
    if (mReceiving && !mStartTick.isValid())
        mStartTick.start();
    maybeStartSending();
}

void TFtpClient::dataFailed(int error, const QString &message)
{
    if (mPassiveConnecting) {
        mPassiveConnecting = false;
        failStep(500, error, message);
        return;
    }
    endData(error, message);
}

void TFtpClient::maybeStartSending()
{
    if (!mPreliminary || !mAccepted || mSendingStarted || mReceiving)
        return;
    mSendingStarted = true;
    post(true, [this] {
        mStartTick.start();
        if (const std::chrono::milliseconds limit = requestLimit(); limit.count() > 0) {
            mLowSpeed.emplace(limit);
            mLowSpeed->start(0, 0);
            mSpeedTimer.start(mLowSpeed->checkInterval());
        }
        sendNextBlock();
    });
}

void TFtpClient::dataWritten()
{
    touch();
    if (mData && mSendingStarted && mData->pendingBytes() < chunkSize)
        sendNextBlock();
}

void TFtpClient::sendNextBlock()
{
    const quint64 generation = mGeneration;
    auto progress = [&](qint64 count) {
        bool abort = false;
        emit OnProgress(count, abort);
        if (!alive(generation) || !mData)
            return false;
        if (abort) {
            trace(QStringLiteral("! Abort requested"));
            if (alive(generation))
                endData(426, QStringLiteral("426 Operation aborted."));
            return false;
        }
        return true;
    };
    auto failed = [&](const QString &traceText, int error, const QString &message) {
        trace(traceText);
        if (alive(generation))
            endData(error, message);
    };
    while (mData && !mEndOfFile && !mDataClosing && mData->pendingBytes() < chunkSize) {
        if (mSendsFromFile) {
            const SourceFile file = sourceFileOf(mSource);
            const qint64 remaining = file.size - file.position;
            const qint64 wanted = remaining > 0 ? qMin(fileChunkSize, remaining) : fileChunkSize;
            // Each block is reported before it goes, as when it is read: an abort asked
            // for at a block leaves that block and the rest unsent.
            for (; remaining > 0 && mNextReport < mByteCount + wanted; mNextReport += blockSize) {
                if (!progress(mNextReport))
                    return;
            }
            qint64 count = 0;
            switch (mData->sendFile(file.descriptor, file.position, wanted, &count)) {
            case FtpDataConnection::SendResult::Sent:
                mByteCount += count;
                if (mSource->skip(count) != count)
                    failed(QStringLiteral("! Error reading file"), 426, QStringLiteral("426 Error reading file ") + LocalFileName);
                // The next bytes go when the network has room again, which the event
                // loop tells.
                return;
            case FtpDataConnection::SendResult::Blocked:
                return;
            case FtpDataConnection::SendResult::EndOfFile:
                if (!progress(mByteCount))
                    return;
                mEndOfFile = true;
                mDataClosing = true;
                mData->finish();
                return;
            case FtpDataConnection::SendResult::Failed: {
                const int error = mData->socketError();
                failed(QStringLiteral("! Error #%1 sending data").arg(error), error, WinsockErrors::failureText(error));
                return;
            }
            case FtpDataConnection::SendResult::Unsupported:
                mSendsFromFile = false;
                continue;
            }
        }
        if (!progress(mByteCount))
            return;
        mChunk.resize(chunkSize);
        const qint64 count = mSource ? mSource->read(mChunk.data(), chunkSize) : -1;
        if (count < 0) {
            failed(QStringLiteral("! Error reading file"), 426, QStringLiteral("426 Error reading file ") + LocalFileName);
            return;
        }
        if (count == 0) {
            mEndOfFile = true;
            mDataClosing = true;
            mData->finish();
            return;
        }
        for (qint64 offset = blockSize; offset < count; offset += blockSize) {
            if (!progress(mByteCount + offset))
                return;
        }
        mByteCount += count;
        if (!mData->write(mChunk.constData(), count)) {
            const int error = mData->socketError();
            failed(QStringLiteral("! Error #%1 sending data").arg(error), error, WinsockErrors::failureText(error));
            return;
        }
    }
}

// The file did not reach the server whole. The server may see only the data
// connection close and report success, so the failure is kept here.
void TFtpClient::endData(int error, const QString &message)
{
    if (mCloseError == 0)
        mCloseError = error;
    setError(message);
    mDataClosing = true;
    if (!mData)
        return;
    dropData();
    mClosed = true;
    maybeFinishStore();
}

void TFtpClient::dataReceived()
{
    touch();
    if (!mData)
        return;
    mReceived += mData->takeReceived();
    if (mReceived.size() > maximumListingBytes)
        endData(500, QStringLiteral("500 The listing is longer than %1 bytes").arg(maximumListingBytes));
}

void TFtpClient::dataClosed(int error)
{
    if (!mData)
        return;
    // The server ends a listing by closing the data connection.
    if (mReceiving) {
        mReceived += mData->takeReceived();
        mEndOfFile = error == 0;
    }
    if (!mEndOfFile && mCloseError == 0) {
        // The server closed the data connection before the whole file was sent.
        mCloseError = error != 0 ? error : int(WinsockErrors::WSAECONNRESET);
        setError(WinsockErrors::failureText(mCloseError));
    }
    dropData();
    mClosed = true;
    maybeFinishStore();
}

void TFtpClient::maybeFinishStore()
{
    if (!mFinal || !mClosed)
        return;
    if (mReceiving) {
        mByteCount = mReceived.size();
        if (mCloseError == 0)
            mListing = listingLines(mReceived);
        mReceived.clear();
    }
    const qint64 milliseconds = mStartTick.isValid() ? mStartTick.elapsed() : 0;
    QString text = QStringLiteral("! %1 bytes received/sent in %2 seconds").arg(mByteCount).arg(milliseconds / 1000);
    if (milliseconds != 0)
        text += QStringLiteral(" (%1 Bytes/sec)").arg(mByteCount * 1000 / milliseconds);
    const quint64 generation = mGeneration;
    trace(text);
    if (alive(generation))
        complete(mCloseError);
}

void TFtpClient::dropData()
{
    mPassiveConnecting = false;
    mSpeedTimer.stop();
    mLowSpeed.reset();
    if (mData) {
        mData->disconnect(this);
        mData->abort();
        mData->deleteLater();
        mData = nullptr;
    }
    mFile.close();
    mSource = nullptr;
    mChunk = QByteArray();
}
