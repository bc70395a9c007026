#include "textfile.h"

#include "boundedread.h"
#include "cp1252.h"

#include <QStringDecoder>

#include <algorithm>

namespace TextFile {

namespace {

// Well-formed UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF), checked
// without decoding the whole text at once.
bool isValidUtf8(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    const auto *end = p + bytes.size();
    while (p < end) {
        const uchar c = *p++;
        if (c < 0x80)
            continue;
        int more = 0;
        uint min = 0;
        uint code = 0;
        if ((c & 0xE0) == 0xC0) {
            more = 1, min = 0x80, code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            more = 2, min = 0x800, code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            more = 3, min = 0x10000, code = c & 0x07;
        } else {
            return false;
        }
        if (end - p < more)
            return false;
        for (int i = 0; i < more; ++i, ++p) {
            if ((*p & 0xC0) != 0x80)
                return false;
            code = code << 6 | (*p & 0x3F);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
    }
    return true;
}

}

QString decode(const QByteArray &bytes)
{
    // A byte-order mark is never text, even before bytes that are not UTF-8 after all.
    const QByteArrayView body = bytes.startsWith("\xEF\xBB\xBF") ? QByteArrayView(bytes).sliced(3) : QByteArrayView(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(body);
    if (utf8.hasError())
        return Cp1252::decode(body);
    return text;
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

bool readLines(const QString &path, QStringList &lines, QString *error, qint64 limit)
{
    lines.clear();
    QByteArray bytes;
    if (BoundedRead::readFile(path, bytes, error, limit) != BoundedRead::Result::Read)
        return false;
    if (bytes.isEmpty())
        return true;
    // Decoded a line at a time from the end, the bytes shrinking as the lines grow,
    // instead of holding the bytes, the whole text and its lines at once.
    // A byte-order mark is never text, even before bytes that are not UTF-8 after all.
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    const bool isUtf8 = isValidUtf8(bytes);
    qsizetype end = bytes.size();
    if (bytes.endsWith("\r\n"))
        end -= 2;
    else if (bytes.endsWith('\n') || bytes.endsWith('\r'))
        end -= 1;
    for (;;) {
        qsizetype start = end;
        while (start > 0 && bytes.at(start - 1) != '\n' && bytes.at(start - 1) != '\r')
            --start;
        const QByteArrayView line = QByteArrayView(bytes).sliced(start, end - start);
        lines.append(isUtf8 ? QString::fromUtf8(line) : Cp1252::decode(line));
        if (start == 0)
            break;
        end = start - 1;
        if (bytes.at(end) == '\n' && end > 0 && bytes.at(end - 1) == '\r')
            --end;
        // Given back in halves, so the copying stays linear in the file's size.
        if (bytes.capacity() > 2 * end + 65536) {
            bytes.truncate(end);
            bytes.squeeze();
        }
    }
    std::reverse(lines.begin(), lines.end());
    return true;
}

}
