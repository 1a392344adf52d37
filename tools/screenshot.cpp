// Screenshots of the four screens of the real window: shows TForm1 on the
// display it is given (Xvfb in tools/screenshot.sh), walks the screens with
// the window's own buttons and saves one PNG per screen into the folder
// named by its only argument.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <cstdio>

#include "Dialogs.h"
#include "Fonts.h"
#include "Unit1.h"

namespace {

void Settle() {
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
        QApplication::sendPostedEvents();
    }
}

bool Save(TForm1& form, const QDir& folder, const char* name) {
    Settle();
    // The pixels as the display shows them.
    QPixmap shot = form.screen()->grabWindow(form.winId());
    if (shot.isNull()) shot = form.grab();
    const QString path = folder.filePath(QString::fromLatin1(name));
    if (!shot.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s %dx%d\n", qPrintable(path), shot.width(), shot.height());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: saberline_screenshot FOLDER\n");
        return 2;
    }
    LoadWindowFonts();
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QtDialogs dialogs;
    TForm1 form(dialogs);
    form.show();
    if (QWindow* window = form.windowHandle()) {
        for (int i = 0; i < 200 && !window->isExposed(); ++i) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        }
    }

    bool ok = Save(form, folder, "duel.png");
    form.GoCalcOfBattleChars->click();
    ok = Save(form, folder, "calculator.png") && ok;
    form.GoBattlePanel->click();
    form.HelpAction->click();
    ok = Save(form, folder, "help.png") && ok;
    form.ForHelpClose->click();
    form.AboutAction->click();
    ok = Save(form, folder, "about.png") && ok;
    form.ForAboutClose->click();
    return ok ? 0 : 1;
}
