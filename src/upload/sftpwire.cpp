#include "sftpwire.h"

#include <QtEndian>

namespace SftpWire {

namespace {

void appendUint32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToBigEndian(value, bytes);
    out.append(bytes, 4);
}

void appendUint64(QByteArray &out, quint64 value)
{
    char bytes[8];
    qToBigEndian(value, bytes);
    out.append(bytes, 8);
}

void appendString(QByteArray &out, QByteArrayView text)
{
    appendUint32(out, quint32(text.size()));
    out.append(text);
}

// Prefixes the packet with its length.
QByteArray framed(const QByteArray &body, quint32 following = 0)
{
    QByteArray out;
    out.reserve(body.size() + 4);
    appendUint32(out, quint32(body.size()) + following);
    out.append(body);
    return out;
}

class Reader
{
public:
    explicit Reader(QByteArrayView data) : mData(data) {}

    std::optional<quint32> uint32()
    {
        if (mData.size() - mPos < 4)
            return std::nullopt;
        const quint32 value = qFromBigEndian<quint32>(mData.data() + mPos);
        mPos += 4;
        return value;
    }

    std::optional<QByteArrayView> string()
    {
        const auto size = uint32();
        if (!size || qsizetype(*size) > mData.size() - mPos)
            return std::nullopt;
        const QByteArrayView text = mData.sliced(mPos, *size);
        mPos += *size;
        return text;
    }

private:
    QByteArrayView mData;
    qsizetype mPos = 0;
};

}

QByteArray writeRequestHead(quint32 id, QByteArrayView handle, quint64 offset, quint32 dataSize)
{
    QByteArray body;
    body.append(char(FxpWrite));
    appendUint32(body, id);
    appendString(body, handle);
    appendUint64(body, offset);
    appendUint32(body, dataSize);
    return framed(body, dataSize);
}

QByteArray posixRenameRequest(quint32 id, QByteArrayView from, QByteArrayView to)
{
    QByteArray body;
    body.append(char(FxpExtended));
    appendUint32(body, id);
    appendString(body, "posix-rename@openssh.com");
    appendString(body, from);
    appendString(body, to);
    return framed(body);
}

std::optional<Status> parseStatus(QByteArrayView packet)
{
    if (packet.isEmpty() || quint8(packet.front()) != FxpStatus)
        return std::nullopt;
    Reader reader(packet.sliced(1));
    const auto id = reader.uint32();
    const auto code = reader.uint32();
    if (!id || !code)
        return std::nullopt;
    Status status;
    status.id = *id;
    status.code = *code;
    // Version 3 servers may leave the message out.
    if (const auto message = reader.string())
        status.message = QString::fromUtf8(*message);
    return status;
}

}
