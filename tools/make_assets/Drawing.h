// Shared drawing pieces of the picture maker: a reproducible random source,
// the sabre and lantern motifs, and the fonts the pictures use.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QString>
#include <cstdint>

namespace saberline::assets {

// A small xorshift generator. The standard distributions differ between
// library implementations, so the pictures use this one to come out the same
// on every machine.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed == 0 ? 0x9E3779B97F4A7C15ULL : seed) {}
  std::uint64_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return state_;
  }
  // Uniform in [0, 1).
  double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
  double Range(double low, double high) { return low + (high - low) * Unit(); }
  int Int(int low, int high) { return low + static_cast<int>(Unit() * (high - low + 1)); }

 private:
  std::uint64_t state_;
};

// A curved sabre blade from `hilt` to `tip`, bowed sideways by `bow` (a
// fraction of its length), `width` wide at the hilt and pointed at the tip.
QPainterPath BladePath(QPointF hilt, QPointF tip, double bow, double width);

// Draws a whole sabre (blade, guard, grip, pommel) lying from `pommel`
// towards `tip`. `scale` is roughly the blade width in pixels.
void DrawSabre(QPainter& painter, QPointF pommel, QPointF tip, double bow, double scale);

// Draws a hanging lantern whose glass is centred on `centre`, `height`
// pixels tall from the ring to the base.
void DrawLantern(QPainter& painter, QPointF centre, double height, bool glow);

// The serif face of the about picture's lettering and logo. Loads the font
// files it needs; returns the family name to use.
QString SerifFamily();

// Whether Tahoma (regular and bold) is present among the Wine fonts; the
// window loads it from there, and an offscreen render without it would not
// match the window on a desktop.
bool TahomaPresent();

// Supersampled rendering: draws at `factor` times the size and scales down.
QImage Downscale(const QImage& large, int width, int height);

}  // namespace saberline::assets
