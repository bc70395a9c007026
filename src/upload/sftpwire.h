#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// The few SFTP (version 3) packets the session writes itself instead of through
// libssh: write requests, which libssh 0.10 can only send one at a time, waiting for
// each answer, and the posix-rename@openssh.com extension, which it does not offer.
namespace SftpWire {

enum PacketType : quint8 { FxpWrite = 6, FxpStatus = 101, FxpExtended = 200 };
enum StatusCode : quint32 { FxOk = 0, FxEof = 1, FxNoSuchFile = 2, FxPermissionDenied = 3, FxFailure = 4 };

// Every server takes write requests of this many bytes (larger ones may be refused).
constexpr qsizetype maximumWriteSize = 32 * 1024;
// An answer to the packets above is a status: a few words of text. Anything longer is
// a broken or hostile server.
constexpr quint32 maximumStatusSize = 64 * 1024;

// The length, type and fields of a write request up to its data, which follows it
// on the channel: dataSize bytes.
QByteArray writeRequestHead(quint32 id, QByteArrayView handle, quint64 offset, quint32 dataSize);
QByteArray posixRenameRequest(quint32 id, QByteArrayView from, QByteArrayView to);

struct Status
{
    quint32 id = 0;
    quint32 code = FxFailure;
    QString message;
};

// A status packet without its length prefix; nothing when it is not one.
std::optional<Status> parseStatus(QByteArrayView packet);

}
