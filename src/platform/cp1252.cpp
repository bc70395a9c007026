#include "cp1252.h"

#include <array>
#include <cstring>

namespace {

// Unicode code points of the bytes 0x80 to 0x9F; the undefined ones keep their own value.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The byte of a character, or -1 when the code page has none.
int byteOf(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < int(kHighControls.size()); ++i) {
        if (kHighControls[i] == c)
            return 0x80 + i;
    }
    return -1;
}

// True when bytes hold one of 0x80 to 0x9F, the only bytes Latin-1 reads otherwise.
// Eight bytes are tested at a time: a byte of that range is one whose top three bits
// are 100, so masking and flipping them leaves it zero.
bool hasHighControls(QByteArrayView bytes)
{
    const char *const data = bytes.data();
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    for (; i + 8 <= n; i += 8) {
        quint64 group;
        std::memcpy(&group, data + i, sizeof group);
        const quint64 flipped = (group & 0xE0E0E0E0E0E0E0E0ULL) ^ 0x8080808080808080ULL;
        if ((flipped - 0x0101010101010101ULL) & ~flipped & 0x8080808080808080ULL)
            return true;
    }
    for (; i < n; ++i) {
        if ((static_cast<unsigned char>(data[i]) & 0xE0) == 0x80)
            return true;
    }
    return false;
}

}

namespace Cp1252 {

QString decode(QByteArrayView bytes)
{
    // Most text has none of them, and Qt reads Latin-1 many bytes at a time.
    if (!hasHighControls(bytes))
        return QString::fromLatin1(bytes);
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        *out++ = QChar((b >= 0x80 && b < 0xA0) ? kHighControls[b - 0x80] : char16_t(b));
    }
    return text;
}

bool canEncode(QStringView text)
{
    for (const QChar c : text) {
        if (byteOf(c.unicode()) < 0)
            return false;
    }
    return true;
}

QByteArray encode(QStringView text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    encodeTo(text, bytes.data());
    return bytes;
}

bool encodeTo(QStringView text, char *out)
{
    bool complete = true;
    for (const QChar c : text) {
        const int b = byteOf(c.unicode());
        complete = complete && b >= 0;
        *out++ = static_cast<char>(b < 0 ? '?' : b);
    }
    return complete;
}

}
