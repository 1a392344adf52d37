// make_assets: draws the pictures and the icon the program embeds and writes
// them into the assets folder. Run at development time; the results are kept
// in the repository.
//
//   make_assets OUTPUT_DIR [about] [blackmark] [icon] [help]
//
// With no picture names, all of them are made.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QStringList>
#include <cstdio>

#include "Drawing.h"
#include "JpegWriter.h"
#include "Pictures.h"
#ifdef SABERLINE_ASSETS_WITH_UI
#include "HelpPicture.h"
#endif

namespace {

using namespace saberline::assets;

constexpr int kJpegQuality = 92;

bool SaveJpeg(const QImage& image, const QDir& dir, const QString& name) {
  QString error;
  if (!WriteJpeg(image, dir.filePath(name), kJpegQuality, &error)) {
    std::fprintf(stderr, "make_assets: %s: %s\n", qPrintable(name), qPrintable(error));
    return false;
  }
  std::printf("%s %dx%d\n", qPrintable(dir.filePath(name)), image.width(), image.height());
  return true;
}

bool SavePng(const QImage& image, const QDir& dir, const QString& name) {
  if (!image.save(dir.filePath(name), "PNG")) {
    std::fprintf(stderr, "make_assets: cannot write %s\n", qPrintable(dir.filePath(name)));
    return false;
  }
  std::printf("%s %dx%d\n", qPrintable(dir.filePath(name)), image.width(), image.height());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QStringList arguments = QApplication::arguments();
  arguments.removeFirst();
  if (arguments.isEmpty()) {
    std::fprintf(stderr, "usage: make_assets OUTPUT_DIR [about] [blackmark] [icon] [help]\n");
    return 2;
  }
  const QDir dir(arguments.takeFirst());
  if (!dir.exists()) {
    std::fprintf(stderr, "make_assets: no such folder %s\n", qPrintable(dir.path()));
    return 2;
  }
  QStringList wanted = arguments;
  if (wanted.isEmpty()) wanted = {"about", "blackmark", "icon", "help"};

  bool ok = true;
  for (const QString& what : wanted) {
    if (what == "about") {
      ok = SaveJpeg(DrawAboutPicture(), dir, "About.jpg") && ok;
    } else if (what == "blackmark") {
      ok = SaveJpeg(DrawBlackMark(), dir, "BlackMark.jpg") && ok;
    } else if (what == "icon") {
      ok = SavePng(DrawSixteenColourIcon(), dir, "saberline.png") && ok;
      for (const int size : {64, 128, 256}) {
        ok = SavePng(DrawIcon(size), dir, QStringLiteral("saberline-%1.png").arg(size)) && ok;
      }
    } else if (what == "help") {
#ifdef SABERLINE_ASSETS_WITH_UI
      if (!TahomaPresent()) {
        std::fprintf(stderr, "make_assets: Tahoma not found under /usr/share/wine/fonts\n");
        ok = false;
        continue;
      }
      ok = SaveJpeg(DrawHelpPicture(), dir, "Help.jpg") && ok;
#else
      std::fprintf(stderr, "make_assets: built without the window library; cannot make the help picture\n");
      ok = false;
#endif
    } else {
      std::fprintf(stderr, "make_assets: unknown picture %s\n", qPrintable(what));
      ok = false;
    }
  }
  return ok ? 0 : 1;
}
