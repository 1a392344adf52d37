// The black-mark picture: a black badge with its name along the upper rim,
// a skull with an eye patch over crossed bones.
#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

#include "Drawing.h"
#include "Pictures.h"

namespace saberline::assets {
namespace {

constexpr int kScale = 4;  // drawn at 200×200, then reduced
constexpr double kSide = kBlackMarkSize * kScale;

void DrawRimLettering(QPainter& painter, QPointF centre, double radius, const QString& text) {
  QFont font(QStringLiteral("DejaVu Sans Condensed"));
  font.setBold(true);
  font.setPixelSize(25);
  const QFontMetricsF metrics(font);
  double total = 0;
  for (const QChar letter : text) total += metrics.horizontalAdvance(letter);
  const double sweep = total / radius;
  double angle = -std::numbers::pi / 2 - sweep / 2;
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::white);
  for (const QChar letter : text) {
    const double advance = metrics.horizontalAdvance(letter);
    const double middle = angle + advance / 2 / radius;
    QPainterPath glyph;
    glyph.addText(-advance / 2, 0, font, QString(letter));
    painter.save();
    painter.translate(centre + QPointF(std::cos(middle), std::sin(middle)) * radius);
    painter.rotate(middle * 180.0 / std::numbers::pi + 90.0);
    painter.drawPath(glyph);
    painter.restore();
    angle += advance / radius;
  }
}

void DrawBone(QPainter& painter, QPointF from, QPointF to) {
  const QPointF span = to - from;
  const double length = std::hypot(span.x(), span.y());
  const QPointF across = QPointF(-span.y(), span.x()) / length;
  const QPointF along = span / length;
  const QColor bone(0xf6, 0xf4, 0xee);
  painter.setPen(QPen(bone, 11, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(from + along * 6, to - along * 6);
  painter.setPen(Qt::NoPen);
  painter.setBrush(bone);
  for (const QPointF end : {from, to}) {
    painter.drawEllipse(end + across * 6.5, 7.5, 7.5);
    painter.drawEllipse(end - across * 6.5, 7.5, 7.5);
  }
}

void DrawSkull(QPainter& painter, QPointF top) {
  const QColor bone(0xf6, 0xf4, 0xee);
  const double cx = top.x();
  const double cy = top.y() + 30;  // centre of the cranium
  painter.setPen(Qt::NoPen);
  painter.setBrush(bone);
  painter.drawEllipse(QPointF(cx, cy), 30, 29);
  painter.drawRoundedRect(QRectF(cx - 17, cy + 14, 34, 24), 7, 7);

  const QColor black(0x10, 0x10, 0x10);
  painter.setBrush(black);
  // Open eye on the left, nose, teeth.
  painter.drawEllipse(QPointF(cx - 12, cy + 4), 8, 9);
  QPainterPath nose;
  nose.moveTo(cx, cy + 12);
  nose.lineTo(cx - 4.5, cy + 21);
  nose.lineTo(cx + 4.5, cy + 21);
  nose.closeSubpath();
  painter.drawPath(nose);
  painter.setPen(QPen(black, 2.6));
  for (const double x : {cx - 8.0, cx, cx + 8.0}) painter.drawLine(QPointF(x, cy + 27), QPointF(x, cy + 37));
  // Eye patch over the right eye, with its strap across the brow.
  painter.setPen(QPen(black, 4.2, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(QPointF(cx - 29, cy - 10), QPointF(cx + 29, cy + 14));
  painter.setPen(Qt::NoPen);
  painter.drawEllipse(QPointF(cx + 12, cy + 5), 11.5, 11);
}

}  // namespace

QImage DrawBlackMark() {
  const int side = static_cast<int>(kSide);
  QImage large(side, side, QImage::Format_RGB32);
  QPainter painter(&large);
  painter.setRenderHint(QPainter::Antialiasing, true);

  // Light parchment ground.
  QLinearGradient ground(0, 0, kSide, kSide);
  ground.setColorAt(0.0, QColor(0xf7, 0xf3, 0xe6));
  ground.setColorAt(1.0, QColor(0xe6, 0xdf, 0xcb));
  painter.fillRect(QRectF(0, 0, kSide, kSide), ground);

  const QPointF centre(kSide / 2, kSide / 2);
  // The badge with a soft sheen and a thin grey rim.
  QRadialGradient disc(centre - QPointF(25, 30), kSide * 0.6);
  disc.setColorAt(0.0, QColor(0x3a, 0x3a, 0x3a));
  disc.setColorAt(1.0, QColor(0x05, 0x05, 0x05));
  painter.setPen(QPen(QColor(0x2a, 0x26, 0x20), 3));
  painter.setBrush(disc);
  painter.drawEllipse(centre, kSide / 2 - 4, kSide / 2 - 4);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(QColor(0x80, 0x80, 0x80), 2.5));
  painter.drawEllipse(centre, kSide / 2 - 12, kSide / 2 - 12);

  DrawRimLettering(painter, centre, 66, QStringLiteral("ЧЁРНАЯ МЕТКА"));

  // Bones first, crossing under the lower middle, then the skull over them.
  DrawBone(painter, QPointF(54, 124), QPointF(146, 162));
  DrawBone(painter, QPointF(146, 124), QPointF(54, 162));
  DrawSkull(painter, QPointF(kSide / 2, 52));
  painter.end();
  return Downscale(large, kBlackMarkSize, kBlackMarkSize);
}

}  // namespace saberline::assets
