#pragma once

#include <QString>

// A font as far as the page cares: face, size in points, colour (0x00BBGGRR, or a
// system colour with the top bit set) and three styles.
struct FontValue
{
    QString name;
    int size = 0;
    qint32 color = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;

    friend bool operator==(const FontValue &, const FontValue &) = default;
};

// The default font description of new headings and paragraphs.
QString defaultFontDescription();

// "\"Face\", 12, [Bold|Italic], [clRed]"
QString FontToDescription(const FontValue &font);

// Reads a string made by FontToDescription into the font. Fields are taken by the
// positions of the commas and brackets; a size or colour that is not a number raises
// ConvertError, leaving the fields set before the failing step.
void DescriptionToFont(const QString &description, FontValue &font);

// The colour's name from the colour table ("clRed"), else "$" and eight upper-case
// hexadecimal digits.
QString ColorToString(qint32 color);

// A colour name (letter case ignored) or a number; ConvertError when it is neither.
qint32 StringToColor(const QString &text);

// True and the colour when the text names a colour of the table (letter case ignored).
bool IdentToColor(QStringView text, qint32 &color);

// A whole number: leading blanks, an optional sign, then decimal digits or hexadecimal
// digits after "$", "x", "X", "0x" or "0X". Anything else raises ConvertError.
qint32 StrToInt(const QString &text);
