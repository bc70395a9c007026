#include "fontconvert.h"

#include "model/errors.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace FontConvert {

QFont toQFont(const FontValue &value)
{
    QFont font(value.name);
    if (value.size > 0)
        font.setPointSize(value.size);
    font.setBold(value.bold);
    font.setItalic(value.italic);
    font.setUnderline(value.underline);
    return font;
}

QColor toQColor(qint32 color)
{
    const quint32 raw = quint32(color);
    if (raw & 0x80000000u) {
        // The few system colours a font can carry, as the current palette has them.
        const QPalette palette = QApplication::palette();
        switch (raw & 0xFFu) {
        case 0x05: return palette.color(QPalette::Base);
        case 0x07: case 0x08: case 0x12: return palette.color(QPalette::WindowText);
        case 0x0D: return palette.color(QPalette::Highlight);
        case 0x0E: return palette.color(QPalette::HighlightedText);
        case 0x0F: return palette.color(QPalette::Button);
        case 0x10: return palette.color(QPalette::Dark);
        case 0x11: return palette.color(QPalette::Disabled, QPalette::Text);
        case 0x14: return palette.color(QPalette::Light);
        default: return palette.color(QPalette::Text);
        }
    }
    return QColor(int(raw & 0xFF), int((raw >> 8) & 0xFF), int((raw >> 16) & 0xFF));
}

qint32 fromQColor(const QColor &color)
{
    return qint32(quint32(color.red()) | (quint32(color.green()) << 8) | (quint32(color.blue()) << 16));
}

FontValue fromQFont(const QFont &font, const QColor &color)
{
    FontValue value;
    value.name = font.family();
    value.size = font.pointSize() > 0 ? font.pointSize() : qRound(font.pointSizeF());
    value.color = fromQColor(color);
    value.bold = font.bold();
    value.italic = font.italic();
    value.underline = font.underline();
    return value;
}

namespace {
// The value last given to a box, kept so that reading it back is exact while the box
// still shows it (a system colour or a size the platform cannot show would otherwise
// come back changed).
const char kValueProperty[] = "vendrixFontDescription";
}

FontValue boxFont(const QWidget &box)
{
    const QColor shown = box.palette().color(QPalette::Text);
    const QVariant kept = box.property(kValueProperty);
    if (kept.isValid()) {
        FontValue value;
        try {
            DescriptionToFont(kept.toString(), value);
            if (toQFont(value) == box.font() && toQColor(value.color) == shown)
                return value;
        } catch (const ConvertError &) {
        }
    }
    return fromQFont(box.font(), shown);
}

void setBoxFont(QWidget &box, const FontValue &value)
{
    box.setFont(toQFont(value));
    QPalette palette = box.palette();
    palette.setColor(QPalette::Text, toQColor(value.color));
    box.setPalette(palette);
    box.setProperty(kValueProperty, FontToDescription(value));
}

void setBoxFontDescription(QWidget &box, const QString &description)
{
    FontValue value = boxFont(box);
    try {
        DescriptionToFont(description, value);
    } catch (const ConvertError &) {
        // The fields read before the bad one stay; the page builder reports the error.
    }
    setBoxFont(box, value);
}

QString boxFontDescription(const QWidget &box)
{
    return FontToDescription(boxFont(box));
}

}
