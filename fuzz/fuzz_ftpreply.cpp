// The FTP reply reader: the control connection's bytes may arrive split anywhere, so
// reading them in pieces must give the lines that reading them at once gives.
#include "fuzzcheck.h"

#include "upload/ftpreplyreader.h"

#include <cstdint>

namespace {

QList<QByteArray> readInPieces(QByteArrayView bytes, qsizetype piece, bool acceptLF)
{
    FtpReplyReader reader(acceptLF);
    QList<QByteArray> lines;
    for (qsizetype at = 0; at < bytes.size(); at += piece) {
        lines += reader.append(bytes.sliced(at, qMin(piece, bytes.size() - at)));
        FUZZ_CHECK(reader.pendingBytes() < FtpReplyReader::bufferSize);
    }
    return lines;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    // The first byte chooses how the rest is split and which line ends count.
    const qsizetype piece = 1 + (data[0] & 0x3F);
    const bool acceptLF = data[0] & 0x40;
    const QByteArrayView bytes(reinterpret_cast<const char *>(data) + 1, qsizetype(size) - 1);
    const QList<QByteArray> lines = readInPieces(bytes, piece, acceptLF);
    for (const QByteArray &line : lines) {
        FUZZ_CHECK(!line.endsWith('\r') && !line.endsWith('\n'));
        const FtpReplyLine reply = FtpReplyLine::parse(line);
        FUZZ_CHECK(!reply.final || (reply.code >= 0 && line.at(0) >= '0' && line.at(0) <= '9'));
        decodeReplyText(line);
    }
    // Below the buffer's size nothing is dropped, so the pieces do not matter.
    if (bytes.size() < FtpReplyReader::bufferSize)
        FUZZ_CHECK(lines == readInPieces(bytes, bytes.size() + 1, acceptLF));
    return 0;
}
