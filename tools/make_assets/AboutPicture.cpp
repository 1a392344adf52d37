// The about picture: the Lanternhall banner over birch bark, with the
// sentence that the site link completes.
#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "Drawing.h"
#include "Pictures.h"

namespace saberline::assets {
namespace {

constexpr std::uint64_t kBarkSeed = 0x5AB3'4A11'B1C4'0001ULL;

// Where the lettering and the link sit, in picture coordinates; bark marks
// are kept light there so the words read cleanly.
bool InWordsArea(double x, double y) {
  return x > 150 && x < 730 && y > 130 && y < 440;
}

void DrawBanner(QPainter& painter) {
  const QRectF banner(0, 0, kAboutWidth, kAboutBannerHeight);
  QLinearGradient sky(banner.topLeft(), banner.bottomLeft());
  sky.setColorAt(0.0, QColor(0x0b, 0x15, 0x2a));
  sky.setColorAt(1.0, QColor(0x1d, 0x36, 0x5a));
  painter.fillRect(banner, sky);
  // Gold rule along the lower edge of the banner.
  painter.fillRect(QRectF(0, kAboutBannerHeight - 6, kAboutWidth, 2), QColor(0xd9, 0xaa, 0x3a));
  painter.fillRect(QRectF(0, kAboutBannerHeight - 3, kAboutWidth, 3), QColor(0x3b, 0x28, 0x0c));

  // The visible band of the banner runs from row 25 to the rule.
  const double middle = (kAboutCropTop + kAboutBannerHeight - 6) / 2.0;

  QFont font(SerifFamily());
  font.setBold(true);
  font.setPixelSize(56);
  font.setLetterSpacing(QFont::AbsoluteSpacing, 2.0);
  const QString name = QString::fromLatin1(kSiteName);
  QPainterPath word;
  word.addText(0, 0, font, name);
  const QRectF wordBox = word.boundingRect();

  constexpr double kEmblemWidth = 96;
  constexpr double kGap = 26;
  const double total = kEmblemWidth + kGap + wordBox.width() + kGap + kEmblemWidth;
  const double left = kAboutWidth / 2.0 - total / 2.0;

  for (int side = 0; side < 2; ++side) {
    const double ex = side == 0 ? left + kEmblemWidth / 2 : left + total - kEmblemWidth / 2;
    const QPointF centre(ex, middle + 2);
    // Two sabres crossed behind the lantern, points up.
    DrawSabre(painter, centre + QPointF(-36, 36), centre + QPointF(44, -40), 0.06, 4.4);
    DrawSabre(painter, centre + QPointF(36, 36), centre + QPointF(-44, -40), -0.06, 4.4);
    DrawLantern(painter, centre + QPointF(0, 4), 68, true);
  }

  const QPointF origin(left + kEmblemWidth + kGap - wordBox.left(),
                       middle - wordBox.top() - wordBox.height() / 2.0);
  const QPainterPath placed = word.translated(origin);
  painter.fillPath(placed.translated(2, 3), QColor(0, 0, 0, 150));
  QLinearGradient goldFill(0, origin.y() + wordBox.top(), 0, origin.y() + wordBox.bottom());
  goldFill.setColorAt(0.0, QColor(0xff, 0xe9, 0xa6));
  goldFill.setColorAt(0.55, QColor(0xe0, 0xae, 0x3e));
  goldFill.setColorAt(1.0, QColor(0xa8, 0x72, 0x18));
  painter.fillPath(placed, goldFill);
  painter.strokePath(placed, QPen(QColor(0x4a, 0x30, 0x08), 1.0));
}

// An irregular dark birch mark, wide and flat, with ragged ends.
void DrawBarkPatch(QPainter& painter, Rng& rng, QPointF centre, double width, double height) {
  QPolygonF outline;
  constexpr int kPoints = 40;
  for (int i = 0; i < kPoints; ++i) {
    const double angle = 2.0 * std::numbers::pi * i / kPoints;
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    // Spiky towards the ends, smoother on top and bottom.
    const double jag = 1.0 + rng.Range(-0.18, 0.18) + (std::abs(c) > 0.8 ? rng.Range(-0.1, 0.55) : 0.0);
    outline << centre + QPointF(c * width / 2 * jag, s * height / 2 * (1.0 + rng.Range(-0.15, 0.15)));
  }
  QPainterPath path;
  path.addPolygon(outline);
  path.closeSubpath();
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x2a, 0x23, 0x1e, 235));
  painter.drawPath(path);
  // Lighter cracks through the mark.
  painter.setPen(QPen(QColor(0x7a, 0x6c, 0x5e, 150), 1.0));
  const int cracks = rng.Int(1, 3);
  for (int i = 0; i < cracks; ++i) {
    const double y = centre.y() + rng.Range(-height / 4, height / 4);
    painter.drawLine(QPointF(centre.x() - width * rng.Range(0.1, 0.4), y),
                     QPointF(centre.x() + width * rng.Range(0.1, 0.4), y + rng.Range(-1.5, 1.5)));
  }
  // Thin dark whiskers running sideways out of the mark.
  painter.setPen(QPen(QColor(0x2a, 0x23, 0x1e, 180), 1.2, Qt::SolidLine, Qt::RoundCap));
  const int whiskers = rng.Int(2, 5);
  for (int i = 0; i < whiskers; ++i) {
    const double sign = rng.Unit() < 0.5 ? -1.0 : 1.0;
    const double y = centre.y() + rng.Range(-height / 3, height / 3);
    const double x0 = centre.x() + sign * width * 0.45;
    painter.drawLine(QPointF(x0, y), QPointF(x0 + sign * rng.Range(10, 45), y + rng.Range(-2, 2)));
  }
}

void DrawBirchBark(QPainter& painter, const QRectF& area) {
  Rng rng(kBarkSeed);
  painter.fillRect(area, QColor(0xf2, 0xee, 0xe3));

  // Broad soft bands of warmer and cooler white.
  const QColor bands[] = {QColor(0xe9, 0xe3, 0xd3), QColor(0xfa, 0xf8, 0xf2), QColor(0xe2, 0xdd, 0xd0),
                          QColor(0xf0, 0xe8, 0xd6)};
  painter.setPen(Qt::NoPen);
  for (int i = 0; i < 70; ++i) {
    QColor colour = bands[rng.Int(0, 3)];
    colour.setAlpha(rng.Int(50, 120));
    const double y = rng.Range(area.top(), area.bottom());
    painter.fillRect(QRectF(area.left(), y, area.width(), rng.Range(3, 26)), colour);
  }

  // Fine horizontal grain.
  for (int i = 0; i < 1100; ++i) {
    const double x = rng.Range(area.left() - 40, area.right());
    const double y = rng.Range(area.top(), area.bottom());
    const double length = rng.Range(15, 170);
    const int grey = rng.Int(120, 175);
    painter.setPen(QPen(QColor(grey, grey - 8, grey - 22, rng.Int(22, 70)), rng.Range(0.6, 1.3)));
    QPainterPath grain;
    grain.moveTo(x, y);
    grain.quadTo(x + length / 2, y + rng.Range(-1.5, 1.5), x + length, y + rng.Range(-1.0, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(grain);
  }

  // Roundness of the trunk: darker towards both sides.
  QLinearGradient trunk(area.topLeft(), area.topRight());
  trunk.setColorAt(0.0, QColor(0x6e, 0x64, 0x56, 95));
  trunk.setColorAt(0.13, QColor(0x6e, 0x64, 0x56, 0));
  trunk.setColorAt(0.87, QColor(0x6e, 0x64, 0x56, 0));
  trunk.setColorAt(1.0, QColor(0x6e, 0x64, 0x56, 95));
  painter.fillRect(area, trunk);

  // Big dark marks, kept to the sides and the lower part of the bark.
  for (int i = 0; i < 11; ++i) {
    double x = 0;
    double y = 0;
    do {
      x = rng.Range(area.left() + 20, area.right() - 20);
      y = rng.Range(area.top() + 20, area.bottom() - 15);
    } while (y < 470 && x > 20 && x < 860);
    DrawBarkPatch(painter, rng, QPointF(x, y), rng.Range(45, 150), rng.Range(10, 34));
  }

  // Lenticels: short dark horizontal dashes, often in little rows.
  int placed = 0;
  while (placed < 430) {
    double x = rng.Range(area.left() - 20, area.right());
    const double y = rng.Range(area.top() + 4, area.bottom() - 2);
    const bool light = InWordsArea(x, y);
    const int run = rng.Unit() < 0.35 ? rng.Int(2, 4) : 1;
    for (int k = 0; k < run; ++k) {
      const double width = rng.Range(6, light ? 30 : 58);
      const double height = rng.Range(1.3, light ? 2.6 : 4.2);
      const int dark = rng.Int(0x30, 0x6a);
      painter.setPen(Qt::NoPen);
      painter.setBrush(QColor(dark, dark - 8, dark - 14, light ? rng.Int(90, 150) : rng.Int(170, 235)));
      painter.drawRoundedRect(QRectF(x, y - height / 2, width, height), height / 2, height / 2);
      x += width + rng.Range(3, 12);
      ++placed;
    }
  }

  // A few curls of peeling bark, warm brown.
  for (int i = 0; i < 7; ++i) {
    double x = 0;
    double y = 0;
    do {
      x = rng.Range(area.left() + 10, area.right() - 40);
      y = rng.Range(area.top() + 10, area.bottom() - 10);
    } while (InWordsArea(x, y));
    const double length = rng.Range(25, 70);
    QPainterPath curl;
    curl.moveTo(x, y);
    curl.cubicTo(x + length * 0.3, y - 4, x + length * 0.7, y + 3, x + length, y - 1);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0xc4, 0x93, 0x5a, 170), rng.Range(1.5, 3.0), Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(curl);
    painter.setPen(QPen(QColor(0x8a, 0x5e, 0x30, 140), 0.8));
    painter.drawPath(curl.translated(0, 1.6));
  }
}

void DrawSentence(QPainter& painter) {
  const QStringList lines = {QStringLiteral("ДАННАЯ ПРОГРАММА"), QStringLiteral("СОЗДАНА СПЕЦИАЛЬНО"),
                             QStringLiteral("ДЛЯ САЙТА:")};
  QFont font(SerifFamily());
  font.setBold(true);
  font.setLetterSpacing(QFont::AbsoluteSpacing, 1.0);
  // Largest size whose widest line stays well inside the visible 719 columns.
  constexpr double kMaxWidth = 630;
  int size = 68;
  for (; size > 20; --size) {
    font.setPixelSize(size);
    const QFontMetricsF metrics(font);
    double widest = 0;
    for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
    if (widest <= kMaxWidth) break;
  }
  font.setPixelSize(size);

  // The lowest line ends a little above the link (row 377).
  const double lineStep = size * 1.22;
  const double lastBaseline = kAboutLinkTop - 14 - size * 0.16;
  for (int i = 0; i < lines.size(); ++i) {
    QPainterPath text;
    text.addText(0, 0, font, lines[i]);
    const QRectF box = text.boundingRect();
    const double baseline = lastBaseline - lineStep * (lines.size() - 1 - i);
    text.translate(kAboutWidth / 2.0 - box.center().x(), baseline);

    painter.strokePath(text, QPen(QColor(255, 255, 255, 110), 16, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.strokePath(text, QPen(QColor(255, 255, 255), 9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QRectF placed = text.boundingRect();
    QLinearGradient blue(placed.topLeft(), placed.bottomLeft());
    blue.setColorAt(0.0, QColor(0x2c, 0x5b, 0xd6));
    blue.setColorAt(1.0, QColor(0x12, 0x2f, 0x96));
    painter.fillPath(text, blue);
    painter.strokePath(text, QPen(QColor(0x0b, 0x1c, 0x5e), 1.0));
  }
}

}  // namespace

QImage DrawAboutPicture() {
  QImage image(kAboutWidth, kAboutHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  DrawBirchBark(painter, QRectF(0, kAboutBannerHeight, kAboutWidth, kAboutHeight - kAboutBannerHeight));
  DrawBanner(painter);
  DrawSentence(painter);
  painter.end();
  return image;
}

}  // namespace saberline::assets
