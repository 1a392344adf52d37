// The application icon: two crossed sabres on a night-blue shield.
#include <QLinearGradient>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <array>
#include <limits>

#include "Drawing.h"
#include "Pictures.h"

namespace saberline::assets {
namespace {

constexpr double kDesign = 256.0;  // the icon is designed on a 256 grid

void DrawIconDesign(QPainter& painter) {
  const QRectF plate(10, 10, 236, 236);
  QLinearGradient night(plate.topLeft(), plate.bottomLeft());
  night.setColorAt(0.0, QColor(0x2a, 0x45, 0x78));
  night.setColorAt(1.0, QColor(0x0e, 0x19, 0x33));
  painter.setPen(QPen(QColor(0xd9, 0xaa, 0x3a), 12));
  painter.setBrush(night);
  painter.drawRoundedRect(plate, 44, 44);

  DrawSabre(painter, QPointF(56, 206), QPointF(214, 44), 0.07, 15);
  DrawSabre(painter, QPointF(200, 206), QPointF(42, 44), -0.07, 15);
}

int Distance(QRgb a, QRgb b) {
  const int dr = qRed(a) - qRed(b);
  const int dg = qGreen(a) - qGreen(b);
  const int db = qBlue(a) - qBlue(b);
  return 2 * dr * dr + 4 * dg * dg + 3 * db * db;
}

}  // namespace

QImage DrawIcon(int size) {
  // Small sizes are drawn large and reduced, so thin lines keep their weight.
  const int drawSize = size < 128 ? 256 : size;
  QImage image(drawSize, drawSize, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.scale(drawSize / kDesign, drawSize / kDesign);
  DrawIconDesign(painter);
  painter.end();
  const QImage straight = image.convertToFormat(QImage::Format_ARGB32);
  return drawSize == size ? straight : Downscale(straight, size, size);
}

QImage DrawSixteenColourIcon() {
  const QImage source = DrawIcon(kIconSize);

  // Entry 0 is transparent; the other fifteen start from the icon's own
  // colours and are refined by a few rounds of k-means over its opaque pixels.
  std::array<QRgb, 15> palette = {
      qRgb(0x0e, 0x19, 0x33), qRgb(0x1c, 0x2f, 0x55), qRgb(0x2a, 0x45, 0x78), qRgb(0xd9, 0xaa, 0x3a),
      qRgb(0x7a, 0x55, 0x12), qRgb(0xf0, 0xd0, 0x80), qRgb(0xf4, 0xf7, 0xfa), qRgb(0xc2, 0xcb, 0xd4),
      qRgb(0x7d, 0x88, 0x94), qRgb(0x26, 0x2a, 0x30), qRgb(0x4a, 0x2c, 0x16), qRgb(0x8a, 0x7a, 0x50),
      qRgb(0x50, 0x5a, 0x6a), qRgb(0xa0, 0x90, 0x60), qRgb(0x30, 0x38, 0x50)};
  auto nearest = [&palette](QRgb colour) {
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < static_cast<int>(palette.size()); ++i) {
      const int distance = Distance(colour, palette[static_cast<std::size_t>(i)]);
      if (distance < bestDistance) {
        bestDistance = distance;
        best = i;
      }
    }
    return best;
  };
  for (int round = 0; round < 12; ++round) {
    std::array<std::array<long, 4>, 15> sums{};
    for (int y = 0; y < source.height(); ++y) {
      for (int x = 0; x < source.width(); ++x) {
        const QRgb pixel = source.pixel(x, y);
        if (qAlpha(pixel) < 128) continue;
        auto& sum = sums[static_cast<std::size_t>(nearest(pixel))];
        sum[0] += qRed(pixel);
        sum[1] += qGreen(pixel);
        sum[2] += qBlue(pixel);
        sum[3] += 1;
      }
    }
    for (std::size_t i = 0; i < palette.size(); ++i) {
      if (sums[i][3] == 0) continue;
      palette[i] = qRgb(static_cast<int>(sums[i][0] / sums[i][3]), static_cast<int>(sums[i][1] / sums[i][3]),
                        static_cast<int>(sums[i][2] / sums[i][3]));
    }
  }

  QImage indexed(source.size(), QImage::Format_Indexed8);
  QList<QRgb> table;
  table.append(qRgba(0, 0, 0, 0));
  for (const QRgb colour : palette) table.append(colour);
  indexed.setColorTable(table);
  for (int y = 0; y < source.height(); ++y) {
    uchar* row = indexed.scanLine(y);
    for (int x = 0; x < source.width(); ++x) {
      const QRgb pixel = source.pixel(x, y);
      row[x] = qAlpha(pixel) < 128 ? 0 : static_cast<uchar>(1 + nearest(pixel));
    }
  }
  return indexed;
}

}  // namespace saberline::assets
