#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Writes size bytes that no compression shrinks (a fast pseudo-random sequence, the
// same every time) into path; the path, or empty when writing failed.
inline QString writePayload(const QString &path, qint64 size)
{
    constexpr qint64 block = 1024 * 1024;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    QByteArray bytes(block, Qt::Uninitialized);
    quint64 x = 0x9E3779B97F4A7C15ull;
    for (qint64 written = 0; written < size; written += bytes.size()) {
        auto *words = reinterpret_cast<quint64 *>(bytes.data());
        for (qsizetype i = 0; i < bytes.size() / 8; ++i) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            words[i] = x;
        }
        if (file.write(bytes) != bytes.size())
            return QString();
    }
    return path;
}
