#include "pictures.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace {

const QColor kInk(0x20, 0x20, 0x20);
const QColor kNavy(0x00, 0x00, 0x80);
const QColor kPaper(0xFF, 0xFF, 0xF4);
const QColor kBlue(0x1E, 0x5A, 0xC8);
const QColor kGreen(0x2E, 0x8B, 0x3C);
const QColor kRed(0xC0, 0x28, 0x28);
const QColor kGold(0xE8, 0xB0, 0x20);
const QColor kSteel(0x80, 0x88, 0x90);

QPixmap blank(int width, int height)
{
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A sheet of paper with a folded corner: the base of the document-like pictures.
void drawSheet(QPainter &p, const QRectF &r)
{
    const qreal fold = r.width() / 3.5;
    QPainterPath path;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void drawTextLines(QPainter &p, qreal left, qreal right, qreal top, int count, qreal step, const QColor &color)
{
    p.setPen(QPen(color, 1));
    for (int i = 0; i < count; ++i) {
        const qreal y = top + i * step;
        const qreal end = (i == count - 1) ? left + (right - left) * 0.6 : right;
        p.drawLine(QPointF(left, y), QPointF(end, y));
    }
}

void drawLetter(QPainter &p, const QRectF &r, const QString &text, const QColor &color, int pixelSize, bool bold)
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    p.setFont(font);
    p.setPen(color);
    p.drawText(r, Qt::AlignCenter, text);
}

void drawLandscape(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(0xBF, 0xE0, 0xFF));
    p.drawRect(r);
    p.setPen(Qt::NoPen);
    p.setBrush(kGold);
    p.drawEllipse(QPointF(r.left() + r.width() * 0.72, r.top() + r.height() * 0.3), r.width() * 0.12, r.width() * 0.12);
    QPainterPath hills;
    hills.moveTo(r.left() + 0.5, r.bottom());
    hills.lineTo(r.left() + r.width() * 0.35, r.top() + r.height() * 0.45);
    hills.lineTo(r.left() + r.width() * 0.6, r.bottom() - r.height() * 0.25);
    hills.lineTo(r.left() + r.width() * 0.75, r.top() + r.height() * 0.6);
    hills.lineTo(r.right() - 0.5, r.bottom());
    hills.closeSubpath();
    p.setBrush(kGreen);
    p.drawPath(hills);
}

void drawChain(QPainter &p, const QRectF &r)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kBlue, r.width() / 8.0));
    const qreal w = r.width() * 0.55;
    const qreal h = r.height() * 0.35;
    p.drawRoundedRect(QRectF(r.left() + 1, r.center().y() - h / 2, w, h), h / 2, h / 2);
    p.drawRoundedRect(QRectF(r.right() - w - 1, r.center().y() - h / 2, w, h), h / 2, h / 2);
}

void drawForm(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(0xF0, 0xF0, 0xF0));
    p.drawRect(r);
    p.setBrush(Qt::white);
    const qreal rowHeight = r.height() / 4.0;
    for (int i = 0; i < 2; ++i) {
        const qreal y = r.top() + rowHeight * (0.6 + i * 1.2);
        p.drawRect(QRectF(r.left() + r.width() * 0.35, y, r.width() * 0.55, rowHeight * 0.8));
        p.drawLine(QPointF(r.left() + r.width() * 0.1, y + rowHeight * 0.4), QPointF(r.left() + r.width() * 0.28, y + rowHeight * 0.4));
    }
    p.setBrush(kBlue);
    p.drawRect(QRectF(r.left() + r.width() * 0.55, r.bottom() - rowHeight * 1.1, r.width() * 0.35, rowHeight * 0.7));
}

void drawBullets(QPainter &p, const QRectF &r)
{
    const qreal step = r.height() / 3.0;
    for (int i = 0; i < 3; ++i) {
        const qreal y = r.top() + step * (i + 0.5);
        p.setPen(Qt::NoPen);
        p.setBrush(kRed);
        p.drawEllipse(QPointF(r.left() + step * 0.4, y), step * 0.2, step * 0.2);
        p.setPen(QPen(kInk, 1));
        p.drawLine(QPointF(r.left() + step * 0.9, y), QPointF(r.right(), y));
    }
}

void drawRule(QPainter &p, const QRectF &r)
{
    const qreal y = r.center().y();
    p.setPen(QPen(kSteel, 1));
    p.drawLine(QPointF(r.left(), y - 1), QPointF(r.right(), y - 1));
    p.setPen(QPen(Qt::white, 1));
    p.drawLine(QPointF(r.left(), y + 1), QPointF(r.right(), y + 1));
    p.setPen(QPen(kInk, 1));
    p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
}

void drawKind(QPainter &p, TBlockType kind, const QRectF &r)
{
    switch (kind) {
    case btPageProperties:
        drawSheet(p, r.adjusted(2, 0, -2, 0));
        drawTextLines(p, r.left() + 4, r.right() - 4, r.top() + r.height() * 0.4, 3, r.height() * 0.18, kNavy);
        break;
    case btHeading:
        drawLetter(p, r, QStringLiteral("H"), kNavy, int(r.height()), true);
        break;
    case btImage:
        drawLandscape(p, r.adjusted(0.5, 2.5, -0.5, -2.5));
        break;
    case btLink:
        drawChain(p, r);
        break;
    case btText:
        drawTextLines(p, r.left() + 1, r.right() - 1, r.top() + 2.5, 5, r.height() / 5.5, kInk);
        break;
    case btBullet:
        drawBullets(p, r);
        break;
    case btHR:
        drawRule(p, r);
        break;
    case btForms:
        drawForm(p, r.adjusted(0.5, 1.5, -0.5, -1.5));
        break;
    }
}

// The bin: a steel can with ribs, its lid lifted when papers are inside.
QPixmap drawTrash(bool full, bool showLabelArea)
{
    QPixmap pixmap = blank(148, 38);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF can(58, 9, 30, 27);
    if (full) {
        p.setPen(QPen(kInk, 1));
        p.setBrush(kPaper);
        p.save();
        p.translate(66, 8);
        p.rotate(-20);
        p.drawRect(QRectF(-6, -6, 12, 9));
        p.restore();
        p.save();
        p.translate(80, 7);
        p.rotate(15);
        p.drawRect(QRectF(-5, -5, 11, 8));
        p.restore();
    }
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(0xB8, 0xC0, 0xC8));
    QPainterPath body;
    body.moveTo(can.left(), can.top());
    body.lineTo(can.right(), can.top());
    body.lineTo(can.right() - 3, can.bottom());
    body.lineTo(can.left() + 3, can.bottom());
    body.closeSubpath();
    p.drawPath(body);
    p.setPen(QPen(kSteel, 1));
    for (int i = 1; i < 4; ++i) {
        const qreal x = can.left() + can.width() * i / 4.0;
        p.drawLine(QPointF(x, can.top() + 4), QPointF(x + (x < can.center().x() ? 1 : -1), can.bottom() - 3));
    }
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(0x98, 0xA0, 0xA8));
    if (full) {
        p.save();
        p.translate(can.right() + 2, can.top() - 2);
        p.rotate(35);
        p.drawRect(QRectF(-can.width() - 2, -3, can.width() + 4, 4));
        p.restore();
    } else {
        p.drawRect(QRectF(can.left() - 2, can.top() - 4, can.width() + 4, 4));
        p.drawRect(QRectF(can.center().x() - 4, can.top() - 7, 8, 3));
    }
    if (showLabelArea) {
        p.setPen(QPen(kSteel, 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(1.5, 1.5, 145, 35), 4, 4);
    }
    return pixmap;
}

void drawArrow(QPainter &p, const QPointF &from, const QPointF &to, const QColor &color, qreal width)
{
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    const QLineF line(to, from);
    QLineF wing1 = line;
    wing1.setLength(width * 2.5);
    wing1.setAngle(line.angle() + 35);
    QLineF wing2 = line;
    wing2.setLength(width * 2.5);
    wing2.setAngle(line.angle() - 35);
    p.drawLine(wing1);
    p.drawLine(wing2);
}

// An arc over the top that ends in an arrow pointing down at the left (back) or the
// right (forward): the usual picture of undo and redo.
void drawTurnArrow(QPainter &p, const QRectF &r, bool back, const QColor &color, qreal width)
{
    const QRectF circle = r.adjusted(r.width() * 0.18, r.height() * 0.2, -r.width() * 0.18, -r.height() * 0.25);
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(circle, 0, 180 * 16);
    const qreal x = back ? circle.left() : circle.right();
    const qreal y = circle.center().y();
    drawArrow(p, QPointF(x, y - width), QPointF(x, y + width * 1.5), color, width);
}

void drawAlignLines(QPainter &p, Qt::Alignment alignment)
{
    p.setPen(QPen(kInk, 1));
    const int widths[] = {14, 9, 12, 7};
    for (int i = 0; i < 4; ++i) {
        const int w = widths[i];
        const int y = 3 + i * 3;
        int x = 1;
        if (alignment == Qt::AlignHCenter)
            x = (16 - w) / 2;
        else if (alignment == Qt::AlignRight)
            x = 15 - w;
        p.drawLine(x, y, x + w - 1, y);
    }
}

void drawGlobe(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(kNavy, 1.2));
    p.setBrush(QColor(0x9C, 0xD0, 0xFF));
    p.drawEllipse(r);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(r.center().x() - r.width() / 5, r.top(), r.width() * 2 / 5, r.height()));
    p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
    p.drawLine(QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.bottom()));
}

void drawFloppy(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(kNavy);
    p.drawRoundedRect(r, 2, 2);
    p.setBrush(QColor(0xD8, 0xD8, 0xD8));
    p.drawRect(QRectF(r.left() + r.width() * 0.25, r.top(), r.width() * 0.5, r.height() * 0.32));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(r.left() + r.width() * 0.15, r.top() + r.height() * 0.5, r.width() * 0.7, r.height() * 0.45));
}

void drawFolder(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(kGold);
    QPainterPath path;
    path.moveTo(r.left(), r.top() + r.height() * 0.15);
    path.lineTo(r.left() + r.width() * 0.35, r.top() + r.height() * 0.15);
    path.lineTo(r.left() + r.width() * 0.45, r.top() + r.height() * 0.3);
    path.lineTo(r.right(), r.top() + r.height() * 0.3);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.drawPath(path);
}

void drawStar(QPainter &p, const QRectF &r, const QColor &color)
{
    QPainterPath star;
    const QPointF c = r.center();
    const qreal outer = r.width() / 2;
    const qreal inner = outer * 0.45;
    for (int i = 0; i < 10; ++i) {
        const qreal radius = (i % 2) ? inner : outer;
        const qreal angle = std::numbers::pi / 2 + i * std::numbers::pi / 5;
        const QPointF point(c.x() + radius * std::cos(angle), c.y() - radius * std::sin(angle));
        if (i == 0)
            star.moveTo(point);
        else
            star.lineTo(point);
    }
    star.closeSubpath();
    p.setPen(QPen(kInk, 0.8));
    p.setBrush(color);
    p.drawPath(star);
}

void drawPalette(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(0xE8, 0xD0, 0xA0));
    p.drawEllipse(r);
    const QColor dots[] = {kRed, kBlue, kGreen, kGold};
    for (int i = 0; i < 4; ++i) {
        const qreal angle = std::numbers::pi * (0.3 + i * 0.4);
        const QPointF c(r.center().x() + r.width() * 0.28 * std::cos(angle), r.center().y() - r.height() * 0.28 * std::sin(angle));
        p.setPen(Qt::NoPen);
        p.setBrush(dots[i]);
        p.drawEllipse(c, r.width() * 0.1, r.width() * 0.1);
    }
}

// A server: a grey tower with drive bays and a green light.
void drawServer(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(0xC8, 0xCC, 0xD0));
    p.drawRoundedRect(r, r.width() * 0.08, r.width() * 0.08);
    p.setBrush(QColor(0x58, 0x60, 0x68));
    const qreal bayHeight = r.height() * 0.1;
    for (int i = 0; i < 3; ++i)
        p.drawRect(QRectF(r.left() + r.width() * 0.18, r.top() + r.height() * (0.12 + i * 0.17), r.width() * 0.64, bayHeight));
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(r.right() - r.width() * 0.25, r.bottom() - r.height() * 0.14), r.width() * 0.08, r.width() * 0.08);
}

void drawDoor(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(0xA0, 0x6A, 0x3C));
    p.drawRect(r);
    p.setBrush(kGold);
    p.drawEllipse(QPointF(r.right() - r.width() * 0.2, r.center().y()), r.width() * 0.08, r.width() * 0.08);
}

void drawButton(QPainter &p, Pictures::Button which, const QRectF &r)
{
    using B = Pictures::Button;
    const qreal s = r.width();
    switch (which) {
    case B::CreatePage:
        drawSheet(p, r.adjusted(s * 0.15, s * 0.05, -s * 0.2, -s * 0.05));
        p.setPen(QPen(kRed, s / 10, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(r.right() - s * 0.1, r.top() + s * 0.35), QPointF(r.left() + s * 0.45, r.bottom() - s * 0.2));
        break;
    case B::ViewPage:
        drawSheet(p, r.adjusted(s * 0.1, s * 0.05, -s * 0.25, -s * 0.05));
        p.setPen(QPen(kNavy, s / 12));
        p.setBrush(QColor(0xE0, 0xF0, 0xFF, 200));
        p.drawEllipse(QPointF(r.left() + s * 0.6, r.top() + s * 0.55), s * 0.2, s * 0.2);
        p.drawLine(QPointF(r.left() + s * 0.74, r.top() + s * 0.7), QPointF(r.right() - s * 0.05, r.bottom() - s * 0.05));
        break;
    case B::SavePage:
        drawFloppy(p, r.adjusted(s * 0.12, s * 0.12, -s * 0.12, -s * 0.12));
        break;
    case B::SendToWeb:
        drawGlobe(p, r.adjusted(s * 0.05, s * 0.2, -s * 0.3, -s * 0.05));
        drawArrow(p, QPointF(r.left() + s * 0.55, r.top() + s * 0.45), QPointF(r.right() - s * 0.05, r.top() + s * 0.05), kRed, s / 12);
        break;
    case B::New:
        drawSheet(p, r.adjusted(s * 0.2, s * 0.08, -s * 0.2, -s * 0.08));
        drawStar(p, QRectF(r.left(), r.top(), s * 0.45, s * 0.45), kGold);
        break;
    case B::Open:
        drawFolder(p, r.adjusted(s * 0.08, s * 0.2, -s * 0.08, -s * 0.1));
        break;
    case B::SaveAsTemplate:
        drawSheet(p, r.adjusted(s * 0.2, s * 0.05, -s * 0.25, -s * 0.2));
        drawSheet(p, r.adjusted(s * 0.3, s * 0.15, -s * 0.12, -s * 0.05));
        break;
    case B::AlignLeft:
        drawAlignLines(p, Qt::AlignLeft);
        break;
    case B::AlignCenter:
        drawAlignLines(p, Qt::AlignHCenter);
        break;
    case B::AlignRight:
        drawAlignLines(p, Qt::AlignRight);
        break;
    case B::NewLine:
        drawLetter(p, r, QStringLiteral("\u00B6"), kInk, int(s), true);
        break;
    case B::Font:
        drawLetter(p, r.adjusted(-2, 0, -4, 0), QStringLiteral("A"), kRed, int(s), true);
        drawLetter(p, r.adjusted(6, 4, 0, 0), QStringLiteral("a"), kNavy, int(s * 0.7), false);
        break;
    case B::Import:
        drawSheet(p, r.adjusted(s * 0.35, 0, 0, 0));
        drawArrow(p, QPointF(r.left(), r.center().y()), QPointF(r.left() + s * 0.6, r.center().y()), kGreen, s / 8);
        break;
    case B::Add:
        p.setPen(QPen(kGreen, s / 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(r.center().x(), r.top() + s * 0.2), QPointF(r.center().x(), r.bottom() - s * 0.2));
        p.drawLine(QPointF(r.left() + s * 0.2, r.center().y()), QPointF(r.right() - s * 0.2, r.center().y()));
        break;
    case B::Remove:
        p.setPen(QPen(kRed, s / 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(r.left() + s * 0.2, r.center().y()), QPointF(r.right() - s * 0.2, r.center().y()));
        break;
    case B::ApplyEdit: {
        p.setPen(QPen(kGreen, s / 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath tick;
        tick.moveTo(r.left() + s * 0.15, r.center().y());
        tick.lineTo(r.left() + s * 0.4, r.bottom() - s * 0.2);
        tick.lineTo(r.right() - s * 0.12, r.top() + s * 0.18);
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
        break;
    }
    case B::Browse:
        drawFolder(p, r.adjusted(0, s * 0.1, 0, -s * 0.1));
        break;
    case B::Favorites:
        drawStar(p, r.adjusted(0.5, 0.5, -0.5, -0.5), kGold);
        break;
    case B::Bookmarks:
        p.setPen(QPen(kInk, 1));
        p.setBrush(kNavy);
        p.drawRect(r.adjusted(s * 0.2, s * 0.05, -s * 0.2, -s * 0.05));
        p.setBrush(kRed);
        p.drawRect(QRectF(r.center().x(), r.top(), s * 0.15, s * 0.55));
        break;
    case B::Theme:
        drawPalette(p, r.adjusted(1, 2, -1, -2));
        break;
    case B::MoveUp:
        drawArrow(p, QPointF(r.center().x(), r.bottom() - 2), QPointF(r.center().x(), r.top() + 2), kNavy, s / 8);
        break;
    case B::MoveDown:
        drawArrow(p, QPointF(r.center().x(), r.top() + 2), QPointF(r.center().x(), r.bottom() - 2), kNavy, s / 8);
        break;
    case B::Undo:
    case B::Redo:
        drawTurnArrow(p, r, which == B::Undo, kNavy, s / 8);
        break;
    case B::Servers:
        drawServer(p, r.adjusted(s * 0.05, s * 0.05, -s * 0.45, -s * 0.05));
        drawServer(p, r.adjusted(s * 0.45, s * 0.2, -s * 0.05, -s * 0.05));
        break;
    case B::Exit:
        drawDoor(p, r.adjusted(s * 0.1, s * 0.05, -s * 0.4, -s * 0.05));
        drawArrow(p, QPointF(r.left() + s * 0.4, r.center().y()), QPointF(r.right() - s * 0.05, r.center().y()), kRed, s / 10);
        break;
    }
}

void drawLargeImage(QPainter &p, Pictures::LargeImage which)
{
    switch (which) {
    case Pictures::liTemplate:
        // A sheet laid out in blocks with a ruler beside it: a page to build on.
        drawSheet(p, QRectF(4.5, 1.5, 20, 27));
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawRect(QRectF(7.5, 6.5, 10, 3));
        p.setBrush(QColor(0xBF, 0xE0, 0xFF));
        p.drawRect(QRectF(7.5, 11.5, 7, 6));
        drawTextLines(p, 16, 22, 12.5, 3, 2.5, kNavy);
        drawTextLines(p, 7.5, 22, 21, 3, 2.5, kNavy);
        p.setPen(QPen(kInk, 1));
        p.setBrush(kGold);
        p.drawRect(QRectF(25.5, 4.5, 5, 25));
        for (int i = 0; i < 6; ++i)
            p.drawLine(QPointF(25.5, 7.5 + i * 4), QPointF(i % 2 ? 27.5 : 28.5, 7.5 + i * 4));
        break;
    case Pictures::liPageDocument:
        // A written page with the globe of the web in its corner.
        drawSheet(p, QRectF(3.5, 1.5, 22, 28));
        drawLetter(p, QRectF(6, 4, 10, 9), QStringLiteral("H"), kNavy, 10, true);
        drawTextLines(p, 6.5, 22.5, 15.5, 4, 3, kInk);
        drawGlobe(p, QRectF(17.5, 18.5, 13, 13));
        break;
    case Pictures::liServerProfile:
        // A server cabinet joined to the globe.
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(0xD0, 0xD4, 0xD8));
        p.drawRoundedRect(QRectF(3.5, 2.5, 15, 27), 2, 2);
        p.setBrush(kSteel);
        for (int i = 0; i < 3; ++i)
            p.drawRect(QRectF(6.5, 6.5 + i * 6, 9, 3));
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        p.drawEllipse(QPointF(8, 25), 1.5, 1.5);
        p.setPen(QPen(kNavy, 1.5));
        p.drawLine(QPointF(18.5, 16), QPointF(22, 16));
        drawGlobe(p, QRectF(20.5, 10.5, 11, 11));
        break;
    }
}

bool isLarge(Pictures::Button which)
{
    using B = Pictures::Button;
    switch (which) {
    case B::CreatePage:
    case B::ViewPage:
    case B::SavePage:
    case B::SendToWeb:
    case B::New:
    case B::Open:
    case B::SaveAsTemplate:
    case B::Servers:
    case B::Exit:
        return true;
    default:
        return false;
    }
}

}

namespace Pictures {

QPixmap kind(TBlockType kind)
{
    QPixmap pixmap = blank(16, 16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    drawKind(p, kind, QRectF(0.5, 0.5, 15, 15));
    return pixmap;
}

QPixmap fieldKind(TFieldKind kind)
{
    static const char *const files[] = {"textbox", "textarea", "radio", "checkbox", "dropdown", "button"};
    return QPixmap(QStringLiteral(":/widgets/field-%1.svg").arg(QLatin1StringView(files[kind])));
}

QPixmap trashEmpty()
{
    return drawTrash(false, false);
}

QPixmap trashFull()
{
    return drawTrash(true, false);
}

QPixmap trashDesign()
{
    return drawTrash(false, true);
}

QCursor newDragCursor()
{
    // An arrow carrying a small page with a plus sign: "this will add a block".
    QPixmap pixmap = blank(32, 32);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath arrow;
    arrow.moveTo(1, 1);
    arrow.lineTo(1, 17);
    arrow.lineTo(5, 13);
    arrow.lineTo(8, 20);
    arrow.lineTo(10, 19);
    arrow.lineTo(7, 12);
    arrow.lineTo(12, 12);
    arrow.closeSubpath();
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawPath(arrow);
    drawSheet(p, QRectF(13.5, 14.5, 12, 15));
    p.setPen(QPen(kGreen, 2));
    p.drawLine(QPointF(19.5, 19), QPointF(19.5, 26));
    p.drawLine(QPointF(16, 22.5), QPointF(23, 22.5));
    p.end();
    return QCursor(pixmap, 1, 1);
}

QPixmap button(Button which)
{
    const int size = isLarge(which) ? 32 : 16;
    QPixmap pixmap = blank(size, size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    drawButton(p, which, QRectF(0.5, 0.5, size - 1, size - 1));
    return pixmap;
}

QPixmap largeImage(LargeImage which)
{
    QPixmap pixmap = blank(32, 32);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    drawLargeImage(p, which);
    return pixmap;
}

QPixmap uploadWizard()
{
    QPixmap pixmap = blank(64, 64);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(0xD8, 0xD8, 0xD0));
    p.drawRoundedRect(QRectF(2.5, 30.5, 34, 26), 2, 2);
    p.drawRect(QRectF(13.5, 56.5, 12, 4));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5.5, 33.5, 28, 20));
    drawSheet(p, QRectF(13.5, 35.5, 12, 16));
    drawGlobe(p, QRectF(36.5, 2.5, 25, 25));
    drawArrow(p, QPointF(28, 30), QPointF(40, 20), kRed, 2.5);
    return pixmap;
}

}
