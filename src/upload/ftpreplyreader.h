#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Splits what the server sends on the control connection into reply lines. Like the
// client's fixed receive buffer it holds at most 4095 bytes of unfinished input: a
// caller must not append more than freeSpace() bytes at once, and a reader that is full
// without a line end can take nothing more (the line is too long for the client).
class FtpReplyReader
{
public:
    static constexpr int bufferSize = 4096;

    explicit FtpReplyReader(bool acceptLF = true)
        : mAcceptLF(acceptLF)
    {
    }

    // With acceptLF a bare LF ends a line; without it only CR LF does.
    void setAcceptLF(bool acceptLF) { mAcceptLF = acceptLF; }
    int freeSpace() const { return bufferSize - 1 - int(mBuffer.size()); }
    int pendingBytes() const { return int(mBuffer.size()); }
    void clear() { mBuffer.clear(); }

    // Adds bytes (the part beyond freeSpace() is dropped) and returns every line
    // completed so far, each without its trailing CR and LF characters.
    QList<QByteArray> append(QByteArrayView bytes);

private:
    QByteArray mBuffer;
    bool mAcceptLF;
};

// One reply line read as the protocol defines it: a line whose leading number is
// followed by "-", or that does not start with a digit, is an intermediate line of a
// multi-line reply; any other line is the final line and carries the reply code.
struct FtpReplyLine
{
    bool final = false;
    int code = 0;

    static FtpReplyLine parse(QByteArrayView line);
};

// Reply text as the user sees it: UTF-8 when the bytes are valid UTF-8, else Windows-1252.
QString decodeReplyText(QByteArrayView line);
