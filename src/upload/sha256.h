#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QCryptographicHash>

#include <optional>

// SHA-256, as fast as the machine allows. The system's OpenSSL library (already loaded
// for Qt's TLS) hashes with the processor's SHA instructions, several times faster than
// Qt's portable code, which is taken when the library cannot be loaded. Publishing
// hashes every byte it sends, so the difference is the difference between keeping up
// with a fast network and holding it back.
class Sha256
{
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256 &) = delete;
    Sha256 &operator=(const Sha256 &) = delete;

    void addData(QByteArrayView bytes);
    // The 32-byte digest of everything added; the object takes nothing more afterwards.
    QByteArray result();

    static QByteArray hash(QByteArrayView bytes);
    // True when the system library does the work.
    static bool usesSystemLibrary();

private:
    void *mContext = nullptr; // the library's digest context
    std::optional<QCryptographicHash> mPortable;
    QByteArray mResult;
};
