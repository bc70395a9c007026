#pragma once

#include "model/fontdescription.h"

#include <QColor>
#include <QFont>

class QWidget;

// The page keeps fonts as font description strings; the panels keep them on their
// edit boxes as the box's font and text colour. These convert between the two.
namespace FontConvert {

QFont toQFont(const FontValue &value);
// The colour of a 0x00BBGGRR value; a system colour (top bit set) as the platform
// shows it.
QColor toQColor(qint32 color);
// The 0x00BBGGRR value of a colour (alpha ignored).
qint32 fromQColor(const QColor &color);
FontValue fromQFont(const QFont &font, const QColor &color);

// The box's font and text colour as a font value, and back.
FontValue boxFont(const QWidget &box);
void setBoxFont(QWidget &box, const FontValue &value);

// Sets the box's font from a description string; a description that does not convert
// sets what was read before the failing field, as the page would show it.
void setBoxFontDescription(QWidget &box, const QString &description);
QString boxFontDescription(const QWidget &box);

}
