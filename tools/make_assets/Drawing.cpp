#include "Drawing.h"

#include <QFile>
#include <QFontDatabase>
#include <QLinearGradient>
#include <QPolygonF>
#include <QRadialGradient>
#include <QStringList>
#include <cmath>

namespace saberline::assets {
namespace {

QPointF Normal(QPointF direction) { return {-direction.y(), direction.x()}; }

double Length(QPointF vector) { return std::hypot(vector.x(), vector.y()); }

QString LoadFirstFamily(const QStringList& files) {
  for (const QString& file : files) {
    if (!QFile::exists(file)) continue;
    const int id = QFontDatabase::addApplicationFont(file);
    if (id < 0) continue;
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (!families.isEmpty()) return families.front();
  }
  return {};
}

}  // namespace

QPainterPath BladePath(QPointF hilt, QPointF tip, double bow, double width) {
  const QPointF span = tip - hilt;
  const double length = Length(span);
  const QPointF along = span / length;
  const QPointF across = Normal(along);
  constexpr int kSteps = 48;
  QPolygonF back;
  QPolygonF edge;
  for (int step = 0; step <= kSteps; ++step) {
    const double t = static_cast<double>(step) / kSteps;
    const QPointF centre = hilt + along * (length * t) + across * (bow * length * t * t);
    // Tangent of the bowed centre line, for a true normal along the curve.
    const QPointF tangent = along * length + across * (2.0 * bow * length * t);
    const QPointF normal = Normal(tangent / Length(tangent));
    double half = width / 2.0 * (1.0 - 0.2 * t);
    if (t > 0.86) half *= (1.0 - t) / 0.14;
    back << centre + normal * half;
    edge << centre - normal * half;
  }
  QPainterPath path;
  path.moveTo(back.front());
  for (const QPointF& point : back) path.lineTo(point);
  for (auto it = edge.crbegin(); it != edge.crend(); ++it) path.lineTo(*it);
  path.closeSubpath();
  return path;
}

void DrawSabre(QPainter& painter, QPointF pommel, QPointF tip, double bow, double scale) {
  const QPointF span = tip - pommel;
  const double length = Length(span);
  const QPointF along = span / length;
  const QPointF across = Normal(along);
  const QPointF guard = pommel + along * (scale * 5.0);

  const QColor gold(0xd9, 0xaa, 0x3a);
  const QColor darkGold(0x7a, 0x55, 0x12);
  const QColor outline(0x26, 0x2a, 0x30);

  // Blade: silver, lighter along the back.
  const QPainterPath blade = BladePath(guard, tip, bow, scale);
  QLinearGradient steel(guard + across * scale, guard - across * scale);
  steel.setColorAt(0.0, QColor(0xf4, 0xf7, 0xfa));
  steel.setColorAt(0.5, QColor(0xc2, 0xcb, 0xd4));
  steel.setColorAt(1.0, QColor(0x7d, 0x88, 0x94));
  painter.setPen(QPen(outline, std::max(0.6, scale * 0.14), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(steel);
  painter.drawPath(blade);

  // Grip.
  painter.setPen(QPen(QColor(0x4a, 0x2c, 0x16), scale * 0.95, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(pommel, guard);
  // Cross guard.
  painter.setPen(QPen(darkGold, scale * 0.85, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(guard - across * (scale * 1.4), guard + across * (scale * 1.6));
  painter.setPen(QPen(gold, scale * 0.5, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(guard - across * (scale * 1.4), guard + across * (scale * 1.6));
  // Pommel.
  painter.setPen(QPen(darkGold, scale * 0.2));
  painter.setBrush(gold);
  painter.drawEllipse(pommel, scale * 0.6, scale * 0.6);
}

void DrawLantern(QPainter& painter, QPointF centre, double height, bool glow) {
  const double u = height / 85.0;
  const double cx = centre.x();
  const double cy = centre.y();
  const QColor gold(0xd9, 0xaa, 0x3a);
  const QColor outline(0x3b, 0x28, 0x0c);

  if (glow) {
    QRadialGradient halo(centre, 62 * u);
    halo.setColorAt(0.0, QColor(255, 214, 120, 170));
    halo.setColorAt(0.45, QColor(255, 190, 90, 70));
    halo.setColorAt(1.0, QColor(255, 170, 60, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(halo);
    painter.drawEllipse(centre, 62 * u, 62 * u);
  }

  // Hanging ring.
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(gold, 2.2 * u));
  painter.drawEllipse(QPointF(cx, cy - 45 * u), 5 * u, 5 * u);

  const QPen framePen(outline, 1.2 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  // Roof.
  painter.setPen(framePen);
  painter.setBrush(gold);
  painter.drawPolygon(QPolygonF{QPointF(cx - 7 * u, cy - 40 * u), QPointF(cx + 7 * u, cy - 40 * u),
                                QPointF(cx + 19 * u, cy - 27 * u), QPointF(cx - 19 * u, cy - 27 * u)});
  // Glass with the light inside.
  QRadialGradient light(QPointF(cx, cy - 2 * u), 20 * u);
  light.setColorAt(0.0, QColor(0xff, 0xfb, 0xe0));
  light.setColorAt(0.35, QColor(0xff, 0xd8, 0x6a));
  light.setColorAt(1.0, QColor(0xc8, 0x6d, 0x1c));
  painter.setBrush(light);
  painter.drawRect(QRectF(cx - 14 * u, cy - 27 * u, 28 * u, 47 * u));
  // Flame.
  QPainterPath flame;
  flame.moveTo(cx, cy - 14 * u);
  flame.cubicTo(cx + 6 * u, cy - 4 * u, cx + 5 * u, cy + 5 * u, cx, cy + 6 * u);
  flame.cubicTo(cx - 5 * u, cy + 5 * u, cx - 6 * u, cy - 4 * u, cx, cy - 14 * u);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0xff, 0xff, 0xf4));
  painter.drawPath(flame);
  // Frame bars.
  painter.setPen(QPen(gold, 2.4 * u, Qt::SolidLine, Qt::FlatCap));
  painter.drawLine(QPointF(cx - 14 * u, cy - 27 * u), QPointF(cx - 14 * u, cy + 20 * u));
  painter.drawLine(QPointF(cx + 14 * u, cy - 27 * u), QPointF(cx + 14 * u, cy + 20 * u));
  painter.setPen(QPen(gold, 1.0 * u, Qt::SolidLine, Qt::FlatCap));
  painter.drawLine(QPointF(cx - 14 * u, cy - 4 * u), QPointF(cx - 8 * u, cy - 4 * u));
  painter.drawLine(QPointF(cx + 8 * u, cy - 4 * u), QPointF(cx + 14 * u, cy - 4 * u));
  // Base.
  painter.setPen(framePen);
  painter.setBrush(gold);
  painter.drawPolygon(QPolygonF{QPointF(cx - 18 * u, cy + 20 * u), QPointF(cx + 18 * u, cy + 20 * u),
                                QPointF(cx + 12 * u, cy + 29 * u), QPointF(cx - 12 * u, cy + 29 * u)});
  painter.drawRect(QRectF(cx - 7 * u, cy + 29 * u, 14 * u, 4 * u));
}

QString SerifFamily() {
  static const QString family = [] {
    // Bold first: the pictures use the bold weight; the regular face makes
    // the family complete for the font matcher.
    QString loaded = LoadFirstFamily({QStringLiteral("/usr/share/fonts/opentype/urw-base35/P052-Bold.otf")});
    if (!loaded.isEmpty()) {
      LoadFirstFamily({QStringLiteral("/usr/share/fonts/opentype/urw-base35/P052-Roman.otf")});
      return loaded;
    }
    loaded = LoadFirstFamily({QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf")});
    return loaded.isEmpty() ? QStringLiteral("serif") : loaded;
  }();
  return family;
}

bool TahomaPresent() {
  return QFile::exists(QStringLiteral("/usr/share/wine/fonts/tahoma.ttf")) &&
         QFile::exists(QStringLiteral("/usr/share/wine/fonts/tahomabd.ttf"));
}

QImage Downscale(const QImage& large, int width, int height) {
  return large.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace saberline::assets
