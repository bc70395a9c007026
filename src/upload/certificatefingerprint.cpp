#include "certificatefingerprint.h"

#include <QCryptographicHash>
#include <QSslCertificate>

namespace CertificateFingerprint {

namespace {

QString withColons(const QByteArray &digest)
{
    return QString::fromLatin1(digest.toHex(':').toUpper());
}

}

QString of(const QSslCertificate &certificate)
{
    if (certificate.isNull())
        return QString();
    return withColons(certificate.digest(QCryptographicHash::Sha256));
}

QString normalized(const QString &text)
{
    QByteArray hex;
    for (const QChar c : text) {
        if (c == u':' || c.isSpace())
            continue;
        const bool digit = (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
        if (!digit)
            return QString();
        hex.append(char(c.unicode()));
    }
    if (hex.size() != 64)
        return QString();
    return withColons(QByteArray::fromHex(hex));
}

}
