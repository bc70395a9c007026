#include "hostkeyfingerprint.h"

#include <QByteArray>

namespace HostKeyFingerprint {

namespace {

const QString prefix = QStringLiteral("SHA256:");
constexpr qsizetype digestSize = 32;

}

QString ofDigest(QByteArrayView sha256)
{
    if (sha256.size() != digestSize)
        return QString();
    return prefix + QString::fromLatin1(sha256.toByteArray().toBase64(QByteArray::OmitTrailingEquals));
}

QString normalized(const QString &text)
{
    QString body = text.trimmed();
    if (body.startsWith(prefix, Qt::CaseInsensitive))
        body = body.mid(prefix.size());
    while (body.endsWith(u'='))
        body.chop(1);
    // Base64 letters are case-sensitive: a fingerprint differing only in case is another key.
    const auto decoded = QByteArray::fromBase64Encoding(body.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || body.size() != 43 || decoded.decoded.size() != digestSize)
        return QString();
    return ofDigest(*decoded);
}

}
