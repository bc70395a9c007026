#include "globeanimation.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTimerEvent>

#include <cmath>
#include <numbers>

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

// Land as ellipses in longitude and latitude (degrees): coarse, but it reads as a
// globe at this size.
struct LandPatch
{
    double lon, lat, lonRadius, latRadius;
};
constexpr LandPatch kLand[] = {
    {-100, 48, 32, 18}, {-75, 62, 25, 10}, {-88, 20, 10, 10},  {-60, -12, 16, 22},
    {-65, -38, 8, 14},  {15, 50, 18, 10},  {20, 8, 18, 22},    {28, -20, 12, 14},
    {80, 52, 45, 16},   {100, 25, 22, 12}, {78, 20, 8, 10},    {134, -25, 16, 10},
    {-40, 72, 12, 8},
};

bool isLand(double lon, double lat)
{
    for (const LandPatch &patch : kLand) {
        double dLon = std::remainder(lon - patch.lon, 360.0) / patch.lonRadius;
        double dLat = (lat - patch.lat) / patch.latRadius;
        if (dLon * dLon + dLat * dLat <= 1.0)
            return true;
    }
    return false;
}

// Where a point of the sphere lands in the disc: x and y in units of the radius, and
// depth > 0 for the visible half.
struct Projected
{
    double x, y, depth;
};

Projected project(double lon, double lat, double turn)
{
    const double l = (lon - turn) * kDegree;
    const double p = lat * kDegree;
    return {std::cos(p) * std::sin(l), -std::sin(p), std::cos(p) * std::cos(l)};
}

void paintFrame(QPainter &painter, int frame, const QRectF &area)
{
    painter.setRenderHint(QPainter::Antialiasing);
    const double side = std::min(area.width(), area.height());
    const QPointF centre(area.left() + side * 0.56, area.top() + side * 0.44);
    const double radius = side * 0.38;
    const double turn = frame * 360.0 / GlobeAnimation::frameCount;

    QRadialGradient sea(centre - QPointF(radius * 0.35, radius * 0.35), radius * 1.4);
    sea.setColorAt(0, QColor(0x9C, 0xD0, 0xFF));
    sea.setColorAt(1, QColor(0x1E, 0x50, 0xB4));
    painter.setPen(QPen(QColor(0x00, 0x20, 0x60), 1));
    painter.setBrush(sea);
    painter.drawEllipse(centre, radius, radius);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x2E, 0x9B, 0x3C));
    for (int lat = -80; lat <= 80; lat += 8) {
        for (int lon = -180; lon < 180; lon += 8) {
            if (!isLand(lon, lat))
                continue;
            const Projected p = project(lon, lat, turn);
            if (p.depth <= 0)
                continue;
            // Dots near the rim are seen edge-on: thinner across, as on a ball.
            const double dot = radius * 0.085;
            painter.drawEllipse(QPointF(centre.x() + p.x * radius, centre.y() + p.y * radius), dot * std::max(p.depth, 0.35), dot);
        }
    }

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0xFF, 0xFF, 0xFF, 110), 0.8));
    for (int meridian = 0; meridian < 360; meridian += 30) {
        QPainterPath path;
        bool drawing = false;
        for (int lat = -90; lat <= 90; lat += 6) {
            const Projected p = project(meridian, lat, turn);
            const QPointF point(centre.x() + p.x * radius, centre.y() + p.y * radius);
            if (p.depth < 0) {
                drawing = false;
                continue;
            }
            if (drawing)
                path.lineTo(point);
            else
                path.moveTo(point);
            drawing = true;
        }
        painter.drawPath(path);
    }
    for (int lat = -60; lat <= 60; lat += 30) {
        const double y = centre.y() - std::sin(lat * kDegree) * radius;
        const double half = std::cos(lat * kDegree) * radius;
        painter.drawLine(QPointF(centre.x() - half, y), QPointF(centre.x() + half, y));
    }

    // A page rising from the lower left corner into the globe, once per turn.
    const double t = double(frame) / GlobeAnimation::frameCount;
    const QPointF start(area.left() + side * 0.12, area.top() + side * 0.92);
    const QPointF end(centre.x() - radius * 0.3, centre.y() + radius * 0.2);
    const QPointF at = start + (end - start) * t;
    const double w = side * 0.16 * (1.0 - 0.5 * t);
    QRectF sheet(at.x() - w / 2, at.y() - w * 0.65, w, w * 1.3);
    painter.setOpacity(1.0 - 0.7 * t);
    painter.setPen(QPen(QColor(0x20, 0x20, 0x20), 0.8));
    painter.setBrush(QColor(0xFF, 0xFF, 0xF4));
    painter.drawRect(sheet);
    painter.setPen(QPen(QColor(0x80, 0x88, 0x90), 0.8));
    for (int line = 1; line <= 3; ++line) {
        const double y = sheet.top() + sheet.height() * line / 4.5;
        painter.drawLine(QPointF(sheet.left() + w * 0.2, y), QPointF(sheet.right() - w * 0.2, y));
    }
    painter.setOpacity(1.0);
}

}

GlobeAnimation::GlobeAnimation(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Animate"));
    setFixedSize(sizeHint());
}

void GlobeAnimation::play()
{
    mTimer.start(frameInterval, this);
}

void GlobeAnimation::stop()
{
    mTimer.stop();
    mFrame = 0;
    update();
}

void GlobeAnimation::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintFrame(painter, mFrame, rect());
}

void GlobeAnimation::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != mTimer.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    mFrame = (mFrame + 1) % frameCount;
    update();
}
