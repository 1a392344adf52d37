#include "HelpPicture.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>
#include <QWindow>
#include <cmath>
#include <numbers>
#include <vector>

#include "Dialogs.h"
#include "Drawing.h"
#include "Fonts.h"
#include "Pictures.h"
#include "Unit1.h"

namespace saberline::assets {
namespace {

// The picture starts at the duel screen's content (the heading's corner),
// so the 697×601 part the help screen shows holds everything down to the
// exit button; the remaining columns and rows are cut by the help screen.
const QPoint kPanelOrigin(8, 8);

// How far a loop stands off the control it marks.
constexpr double kLoopMargin = 3.0;

constexpr std::uint64_t kPenSeed = 0x4E1F'0C0A'D5EE'D001ULL;

// Outline colours of the help picture.
const QColor kRed(0xe0, 0x1b, 0x1b);
const QColor kBlue(0x14, 0x4c, 0xe6);
const QColor kGreen(0x10, 0xa0, 0x2a);

QRectF PictureRect(const QWidget* control, const QWidget* panel) {
  const QPoint topLeft = control->mapTo(panel, QPoint(0, 0)) - kPanelOrigin;
  return QRectF(topLeft, control->size());
}

QRectF Unite(const QRectF& a, const QRectF& b) { return a.united(b); }

// Point on a rounded rectangle's outline, `s` from 0 to 1 once round,
// starting at the top-left end of the top edge and going clockwise; also
// returns the outward normal.
QPointF RoundedOutlinePoint(const QRectF& r, double radius, double s, QPointF* outward) {
  const double w = r.width() - 2 * radius;
  const double h = r.height() - 2 * radius;
  const double arc = std::numbers::pi / 2 * radius;
  const double perimeter = 2 * w + 2 * h + 4 * arc;
  double d = std::fmod(s, 1.0) * perimeter;
  const QPointF corners[] = {QPointF(r.right() - radius, r.top() + radius),
                             QPointF(r.right() - radius, r.bottom() - radius),
                             QPointF(r.left() + radius, r.bottom() - radius),
                             QPointF(r.left() + radius, r.top() + radius)};
  const QPointF starts[] = {QPointF(r.left() + radius, r.top()), QPointF(r.right(), r.top() + radius),
                            QPointF(r.right() - radius, r.bottom()), QPointF(r.left(), r.bottom() - radius)};
  const QPointF directions[] = {QPointF(1, 0), QPointF(0, 1), QPointF(-1, 0), QPointF(0, -1)};
  const QPointF normals[] = {QPointF(0, -1), QPointF(1, 0), QPointF(0, 1), QPointF(-1, 0)};
  const double edges[] = {w, h, w, h};
  for (int side = 0; side < 4; ++side) {
    if (d <= edges[side]) {
      *outward = normals[side];
      return starts[side] + directions[side] * d;
    }
    d -= edges[side];
    if (d <= arc) {
      const double angle = -std::numbers::pi / 2 + side * std::numbers::pi / 2 + d / radius;
      const QPointF normal(std::cos(angle), std::sin(angle));
      *outward = normal;
      return corners[side] + normal * radius;
    }
    d -= arc;
  }
  *outward = normals[0];
  return starts[0];
}

// A hand-drawn loop round `rect`: the line wanders a little, goes slightly
// more than once round and does not quite meet itself.
void DrawHandOutline(QPainter& painter, Rng& rng, const QRectF& rect, const QColor& colour) {
  const double radius = std::min({6.0, rect.width() / 2.5, rect.height() / 2.5});
  const double phase1 = rng.Range(0, 2 * std::numbers::pi);
  const double phase2 = rng.Range(0, 2 * std::numbers::pi);
  const double wobble1 = rng.Range(0.5, 0.9);
  const double wobble2 = rng.Range(0.3, 0.6);
  const double start = rng.Range(0.0, 1.0);
  const double overshoot = rng.Range(0.03, 0.05);
  const double drift = rng.Range(0.6, 1.2);  // how far the end misses the start
  const int steps = 240;
  QPainterPath path;
  for (int i = 0; i <= steps; ++i) {
    const double t = static_cast<double>(i) / steps * (1.0 + overshoot);
    QPointF outward;
    const QPointF base = RoundedOutlinePoint(rect, radius, start + t, &outward);
    const double offset = wobble1 * std::sin(2 * std::numbers::pi * 3 * t + phase1) +
                          wobble2 * std::sin(2 * std::numbers::pi * 7 * t + phase2) + drift * t;
    const QPointF point = base + outward * offset;
    if (i == 0) {
      path.moveTo(point);
    } else {
      path.lineTo(point);
    }
  }
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(colour, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPath(path);
}

}  // namespace

QImage DrawHelpPicture() {
  LoadWindowFonts();
  QtDialogs dialogs;
  TForm1 form(dialogs);
  form.show();
  if (QWindow* window = form.windowHandle()) {
    for (int i = 0; i < 200 && !window->isExposed(); ++i) QApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  // No caret or focus frame in the picture.
  if (QWidget* focused = QApplication::focusWidget()) focused->clearFocus();
  for (int i = 0; i < 10; ++i) QApplication::processEvents();

  QWidget* panel = form.BattlePanel;
  const QImage screen = panel->grab().toImage().convertToFormat(QImage::Format_RGB32);
  QImage picture(kHelpWidth, kHelpHeight, QImage::Format_RGB32);
  picture.fill(panel->palette().color(QPalette::Window));
  {
    QPainter copy(&picture);
    copy.drawImage(QPoint(0, 0), screen, QRect(kPanelOrigin, picture.size()));
  }

  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing, true);
  Rng rng(kPenSeed);
  // Keep the loops inside the part of the picture the help screen shows.
  const QRectF shown = QRectF(0, 0, 697, 601).adjusted(2, 2, -2, -2);
  auto around = [&](const QRectF& r, const QColor& colour, double left = kLoopMargin, double right = kLoopMargin) {
    QRectF loop = r.adjusted(-left, -kLoopMargin, right, kLoopMargin).intersected(shown);
    DrawHandOutline(painter, rng, loop, colour);
  };

  struct Duellist {
    QWidget* health;
    QWidget* firearm;
    QWidget* coldWeapon;
    QWidget* armour;
    QWidget* side1;
    QWidget* side3;
    QWidget* side4;
    QWidget* scheme;
  };
  const Duellist duellists[] = {
      {form.BP1, form.OgnOr1, form.HolOr1, form.StrZ1, form.StrSt11, form.StrSt13, form.StrSt14, form.ShAtack1},
      {form.BP2, form.OgnOr2, form.HolOr2, form.StrZ2, form.StrSt21, form.StrSt23, form.StrSt24, form.ShAtack2},
  };
  for (const Duellist& d : duellists) {
    for (QWidget* field : {d.health, d.firearm, d.coldWeapon, d.armour}) {
      around(PictureRect(field, panel), kRed);
    }
    // The first three strong sides share one loop; the fourth touches the
    // third, so the two loops meet half way across their common border.
    const QRectF firstThree = Unite(PictureRect(d.side1, panel), PictureRect(d.side3, panel));
    const QRectF fourth = PictureRect(d.side4, panel);
    const double seam = (firstThree.right() + fourth.left()) / 2.0;
    around(firstThree, kRed, kLoopMargin, seam - firstThree.right() - 1.6);
    around(fourth, kBlue, fourth.left() - seam - 1.6, kLoopMargin);
    around(PictureRect(d.scheme, panel), kRed);
  }
  around(Unite(PictureRect(form.TypeBattle1, panel), PictureRect(form.TypeBattle3, panel)), kRed, 5, 5);
  around(PictureRect(form.GoBattle, panel), kGreen);
  painter.end();
  return picture;
}

}  // namespace saberline::assets
