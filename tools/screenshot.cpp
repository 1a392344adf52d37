// Screenshots of the four screens of the real window: shows TForm1 on the
// display it is given (Xvfb in tools/screenshot.sh), walks the screens with
// the window's own buttons and saves one PNG per screen into the folder
// named by its only argument.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <utility>

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

    // A fought mixed duel, then a refused one with the longest message.
    const std::pair<QLineEdit*, const char*> fields[] = {
        {form.BP1, "30"},          {form.OgnOr1, "12"}, {form.HolOr1, "10"}, {form.StrZ1, "0"},
        {form.StrSt11, "1"},       {form.StrSt12, "2"}, {form.StrSt13, "3"}, {form.StrSt14, "4"},
        {form.ShAtack1, "123456"}, {form.BP2, "25"},    {form.OgnOr2, "9"},  {form.HolOr2, "8"},
        {form.StrZ2, "2"},         {form.StrSt21, "6"}, {form.StrSt22, "5"}, {form.StrSt23, "4"},
        {form.ShAtack2, "654321"}};
    for (const auto& [field, text] : fields) field->setText(QString::fromLatin1(text));
    form.TypeBattle3->click();
    form.GoBattle->click();
    ok = Save(form, folder, "duel-fought.png") && ok;
    form.ShAtack2->setText(QStringLiteral("65x321"));
    form.GoBattle->click();
    ok = Save(form, folder, "duel-message.png") && ok;
    return ok ? 0 : 1;
}
