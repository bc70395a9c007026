#pragma once

#include <QByteArray>
#include <QString>

// Small text steps shared by the page and form builders.
namespace HtmlText {

// Inserts text just before the first occurrence of c; appends it when there is none.
inline void insertBeforeFirst(QString &html, QChar c, const QString &text)
{
    const qsizetype at = html.indexOf(c);
    html.insert(at < 0 ? html.size() : at, text);
}

// The text with the letters A to Z lowered and every other character kept, so HTML
// names do not depend on the locale's idea of case.
inline QString asciiLower(QString text)
{
    for (QChar &c : text) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return text;
}

// A user's text for a double-quoted attribute value, where a double quote of its own
// would end the value early. Everything else stays as typed.
inline QString attribute(const QString &text)
{
    if (!text.contains(u'"'))
        return text;
    QString quoted = text;
    return quoted.replace(u'"', QStringLiteral("&quot;"));
}

// A user's text inside a single-quoted JavaScript string that document.write hands to
// the page: a quote or backslash of its own would break the script, and "</" would
// end the script element. The written text is read as HTML, so character references
// in it still work.
QString scriptString(QStringView text);

// The HTML as plain ASCII: every character above 0x7F becomes a decimal character
// reference ("&#233;"), so the page shows the same whatever character set the server
// announces. ASCII text is kept byte for byte.
QByteArray toAscii(QStringView text);
// The same, appended to bytes.
void appendAscii(QStringView text, QByteArray &bytes);

}
