#pragma once

#include <QByteArrayView>
#include <QString>

// An SSH server's host key is shown and remembered as its SHA-256 fingerprint in the
// form the SSH tools print ("SHA256:" and 43 characters of unpadded Base64), so that a
// user can compare it with what the host publishes or `ssh-keygen -l` prints.
namespace HostKeyFingerprint {

// The fingerprint of a key whose SHA-256 digest is given; empty unless 32 bytes.
QString ofDigest(QByteArrayView sha256);

// The canonical form of a fingerprint typed or pasted by a user: with or without the
// "SHA256:" prefix (in any letter case) and Base64 padding, surrounding blanks
// ignored. Empty when the text is not the fingerprint of a 32-byte digest.
QString normalized(const QString &text);

}

// A host key as the user is asked about it.
struct HostKey
{
    QString type;        // "ssh-ed25519", "ecdsa-sha2-nistp256", "ssh-rsa", ...
    QString fingerprint; // see HostKeyFingerprint
};
