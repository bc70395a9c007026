#include "sha256.h"

#include <QLibrary>

namespace {

// The few functions of libcrypto's digest interface, stable from OpenSSL 1.1 on.
struct Crypto
{
    using NewContext = void *(*)();
    using FreeContext = void (*)(void *);
    using Algorithm = const void *(*)();
    using Init = int (*)(void *, const void *, void *);
    using Update = int (*)(void *, const void *, size_t);
    using Final = int (*)(void *, unsigned char *, unsigned int *);

    NewContext newContext = nullptr;
    FreeContext freeContext = nullptr;
    Algorithm sha256 = nullptr;
    Init init = nullptr;
    Update update = nullptr;
    Final final = nullptr;

    bool loaded() const { return newContext && freeContext && sha256 && init && update && final; }

    static const Crypto &get()
    {
        static const Crypto crypto = load();
        return crypto;
    }

    static Crypto load()
    {
        Crypto c;
        for (const char *version : {"3", "1.1"}) {
            // Never unloaded: Qt's TLS backend shares the library.
            QLibrary library(QStringLiteral("crypto"), QString::fromLatin1(version));
            library.setLoadHints(QLibrary::PreventUnloadHint);
            if (!library.load())
                continue;
            c.newContext = reinterpret_cast<NewContext>(library.resolve("EVP_MD_CTX_new"));
            c.freeContext = reinterpret_cast<FreeContext>(library.resolve("EVP_MD_CTX_free"));
            c.sha256 = reinterpret_cast<Algorithm>(library.resolve("EVP_sha256"));
            c.init = reinterpret_cast<Init>(library.resolve("EVP_DigestInit_ex"));
            c.update = reinterpret_cast<Update>(library.resolve("EVP_DigestUpdate"));
            c.final = reinterpret_cast<Final>(library.resolve("EVP_DigestFinal_ex"));
            if (c.loaded())
                return c;
            c = Crypto();
        }
        return c;
    }
};

}

Sha256::Sha256()
{
    const Crypto &crypto = Crypto::get();
    if (crypto.loaded()) {
        mContext = crypto.newContext();
        if (mContext && crypto.init(mContext, crypto.sha256(), nullptr) == 1)
            return;
        if (mContext)
            crypto.freeContext(mContext);
        mContext = nullptr;
    }
    mPortable.emplace(QCryptographicHash::Sha256);
}

Sha256::~Sha256()
{
    if (mContext)
        Crypto::get().freeContext(mContext);
}

void Sha256::addData(QByteArrayView bytes)
{
    if (!mResult.isEmpty() || bytes.isEmpty())
        return;
    if (mContext)
        Crypto::get().update(mContext, bytes.data(), size_t(bytes.size()));
    else
        mPortable->addData(bytes);
}

QByteArray Sha256::result()
{
    if (!mResult.isEmpty())
        return mResult;
    if (mContext) {
        unsigned char digest[32];
        unsigned int length = 0;
        if (Crypto::get().final(mContext, digest, &length) == 1 && length == sizeof digest)
            mResult = QByteArray(reinterpret_cast<const char *>(digest), int(length));
    } else {
        mResult = mPortable->result();
    }
    return mResult;
}

QByteArray Sha256::hash(QByteArrayView bytes)
{
    Sha256 sha;
    sha.addData(bytes);
    return sha.result();
}

bool Sha256::usesSystemLibrary()
{
    return Crypto::get().loaded();
}
