#include "ftpreplyreader.h"

#include "platform/cp1252.h"

#include <QStringDecoder>

QList<QByteArray> FtpReplyReader::append(QByteArrayView bytes)
{
    mBuffer.append(bytes.first(qMin<qsizetype>(bytes.size(), qMax(0, freeSpace()))));
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (;;) {
        qsizetype end = -1;
        if (mAcceptLF) {
            end = mBuffer.indexOf('\n', start);
        } else if (const qsizetype crlf = mBuffer.indexOf("\r\n", start); crlf >= 0) {
            end = crlf + 1;
        }
        if (end < 0)
            break;
        qsizetype stop = end;
        while (stop > start && (mBuffer.at(stop - 1) == '\r' || mBuffer.at(stop - 1) == '\n'))
            --stop;
        lines.append(mBuffer.mid(start, stop - start));
        start = end + 1;
    }
    mBuffer.remove(0, start);
    return lines;
}

FtpReplyLine FtpReplyLine::parse(QByteArrayView line)
{
    FtpReplyLine reply;
    qsizetype digits = 0;
    while (digits < line.size() && line.at(digits) >= '0' && line.at(digits) <= '9')
        ++digits;
    if (digits == 0)
        return reply;
    if (digits < line.size() && line.at(digits) == '-')
        return reply;
    reply.final = true;
    // Reply codes have three digits. Anything else comes from a broken server and is
    // taken as a plain failure, so that it can neither read as success (0) nor
    // overflow the 16-bit error of a completion.
    const int code = digits > 3 ? 0 : line.first(digits).toInt();
    reply.code = code >= 100 ? code : 500;
    return reply;
}

QString decodeReplyText(QByteArrayView line)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(line);
    return utf8.hasError() ? Cp1252::decode(line) : text;
}
