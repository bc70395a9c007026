#include "fontdescription.h"

#include "errors.h"

#include <array>

namespace {

struct ColorName
{
    const char16_t *name;
    quint32 value;
};

constexpr std::array<ColorName, 42> kColorNames = {{
    {u"clBlack", 0x000000},        {u"clMaroon", 0x000080},         {u"clGreen", 0x008000},
    {u"clOlive", 0x008080},        {u"clNavy", 0x800000},           {u"clPurple", 0x800080},
    {u"clTeal", 0x808000},         {u"clGray", 0x808080},           {u"clSilver", 0xC0C0C0},
    {u"clRed", 0x0000FF},          {u"clLime", 0x00FF00},           {u"clYellow", 0x00FFFF},
    {u"clBlue", 0xFF0000},         {u"clFuchsia", 0xFF00FF},        {u"clAqua", 0xFFFF00},
    {u"clWhite", 0xFFFFFF},        {u"clScrollBar", 0x80000000},    {u"clBackground", 0x80000001},
    {u"clActiveCaption", 0x80000002}, {u"clInactiveCaption", 0x80000003}, {u"clMenu", 0x80000004},
    {u"clWindow", 0x80000005},     {u"clWindowFrame", 0x80000006},  {u"clMenuText", 0x80000007},
    {u"clWindowText", 0x80000008}, {u"clCaptionText", 0x80000009},  {u"clActiveBorder", 0x8000000A},
    {u"clInactiveBorder", 0x8000000B}, {u"clAppWorkSpace", 0x8000000C}, {u"clHighlight", 0x8000000D},
    {u"clHighlightText", 0x8000000E}, {u"clBtnFace", 0x8000000F},   {u"clBtnShadow", 0x80000010},
    {u"clGrayText", 0x80000011},   {u"clBtnText", 0x80000012},      {u"clInactiveCaptionText", 0x80000013},
    {u"clBtnHighlight", 0x80000014}, {u"cl3DDkShadow", 0x80000015}, {u"cl3DLight", 0x80000016},
    {u"clInfoText", 0x80000017},   {u"clInfoBk", 0x80000018},       {u"clNone", 0x1FFFFFFF},
}};

// Delphi-style substring: 1-based start (clamped to 1), a negative count gives nothing.
QString copy(const QString &s, qsizetype index, qsizetype count)
{
    if (index < 1)
        index = 1;
    if (count <= 0 || index > s.size())
        return QString();
    return s.mid(index - 1, count);
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

}

QString defaultFontDescription()
{
    return QStringLiteral("\"Times New Roman\", 12, [], [$00050000]");
}

bool IdentToColor(QStringView text, qint32 &color)
{
    for (const ColorName &entry : kColorNames) {
        if (text.compare(QStringView(entry.name), Qt::CaseInsensitive) == 0) {
            color = qint32(entry.value);
            return true;
        }
    }
    return false;
}

QString ColorToString(qint32 color)
{
    for (const ColorName &entry : kColorNames) {
        if (qint32(entry.value) == color)
            return QString::fromUtf16(entry.name);
    }
    return QStringLiteral("$%1").arg(quint32(color), 8, 16, QLatin1Char('0')).toUpper();
}

qint32 StrToInt(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    bool hex = false;
    if (i < n && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        hex = true;
        i += 2;
    }
    if (i >= n)
        throw ConvertError(text);

    quint64 value = 0;
    for (; i < n; ++i) {
        const int digit = hex ? hexDigit(text[i]) : (text[i].isDigit() && text[i].unicode() < 128 ? text[i].unicode() - u'0' : -1);
        if (digit < 0)
            throw ConvertError(text);
        value = value * (hex ? 16 : 10) + quint64(digit);
        // Hexadecimal text may fill all 32 bits; decimal text must fit a signed integer.
        const quint64 limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
        if (value > limit)
            throw ConvertError(text);
    }
    const qint32 result = qint32(quint32(value));
    return negative ? qint32(0u - quint32(result)) : result;
}

qint32 StringToColor(const QString &text)
{
    qint32 color = 0;
    if (IdentToColor(text, color))
        return color;
    return StrToInt(text);
}

QString FontToDescription(const FontValue &font)
{
    QString styles;
    if (font.bold)
        styles += QStringLiteral("|Bold");
    if (font.italic)
        styles += QStringLiteral("|Italic");
    if (font.underline)
        styles += QStringLiteral("|Underline");
    if (styles.startsWith(u'|'))
        styles.remove(0, 1);
    return QStringLiteral("\"%1\", %2, [%3], [%4]")
        .arg(font.name, QString::number(font.size), styles, ColorToString(font.color));
}

void DescriptionToFont(const QString &description, FontValue &font)
{
    QString s = description;

    qsizetype p = s.indexOf(u',') + 1;
    font.name = copy(s, 2, p - 3);
    s.remove(0, p);

    p = s.indexOf(u',') + 1;
    font.size = StrToInt(copy(s, 2, p - 2));
    s.remove(0, p);

    p = s.indexOf(u',') + 1;
    const QString styles = u'|' + copy(s, 3, p - 4);
    s.remove(0, p);

    font.color = StringToColor(copy(s, 3, s.size() - 3));

    font.bold = styles.contains(QStringLiteral("|Bold"));
    font.italic = styles.contains(QStringLiteral("|Italic"));
    font.underline = styles.contains(QStringLiteral("|Underline"));
}
