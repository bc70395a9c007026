#pragma once

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

}
