#include "Fonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QString>

void LoadWindowFonts() {
    static bool loaded = false;
    if (loaded) return;
    loaded = true;
    // Only the regular face: the bold file of the Wine fonts draws strokes
    // no heavier than the regular ones (it only spaces the letters wider), so
    // bold text looks bold only when the toolkit emboldens the regular face.
    const QString regular = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");
    if (QFile::exists(regular)) QFontDatabase::addApplicationFont(regular);
}
