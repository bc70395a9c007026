#include "htmltext.h"

namespace HtmlText {

QString scriptString(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\'' || c == u'\\')
            out += u'\\';
        out += c;
        if (c == u'<' && i + 1 < text.size() && text[i + 1] == u'/')
            out += u'\\';
    }
    return out;
}

QByteArray toAscii(QStringView text)
{
    QByteArray bytes;
    appendAscii(text, bytes);
    return bytes;
}

void appendAscii(QStringView text, QByteArray &bytes)
{
    const qsizetype start = bytes.size();
    bytes.resize(start + text.size());
    char *out = bytes.data() + start;
    qsizetype i = 0;
    // Nearly every page is ASCII: fill the buffer directly until the first character
    // that needs a reference.
    for (; i < text.size() && text[i].unicode() < 0x80; ++i)
        *out++ = char(text[i].unicode());
    if (i == text.size())
        return;
    bytes.truncate(start + i);
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            bytes.append(char(c));
            continue;
        }
        char32_t codePoint = c;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            codePoint = QChar::surrogateToUcs4(c, text[i + 1].unicode());
            ++i;
        }
        bytes.append("&#").append(QByteArray::number(quint32(codePoint))).append(';');
    }
}

}
