#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The Windows-1252 code page, in which documents and the themes file store their
// text. The five byte values the code page leaves undefined map to the
// control characters of the same number, so every byte string round-trips.
namespace Cp1252 {

QString decode(QByteArrayView bytes);

// True when every character of the text has a Windows-1252 byte.
bool canEncode(QStringView text);

// The text in Windows-1252; characters without a byte become '?'.
QByteArray encode(QStringView text);

// Writes the text's text.size() bytes to out as encode() does; false when any
// character had no byte.
bool encodeTo(QStringView text, char *out);

}
