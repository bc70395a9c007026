#pragma once

#include <QString>

class QSslCertificate;

// A server certificate that the user chose to trust is remembered by its SHA-256
// fingerprint, written as 32 upper-case hexadecimal pairs separated by colons
// ("3A:0F:..."), the form certificate tools print.
namespace CertificateFingerprint {

// The fingerprint of the certificate; empty for a null certificate.
QString of(const QSslCertificate &certificate);

// The text in the form above when it holds exactly 64 hexadecimal digits (colons,
// blanks and letter case are free); empty otherwise.
QString normalized(const QString &text);

}
