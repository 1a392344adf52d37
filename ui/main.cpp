// saberline: the referee's window. Shows the duel screen; answers --help and
// --version without opening a window.
#include <QApplication>
#include <QLocale>
#include <iostream>
#include <string>
#include <vector>

#include "Desktop.h"
#include "Dialogs.h"
#include "Fonts.h"
#include "Unit1.h"

int main(int argc, char** argv) {
    if (const auto answered =
            AnswerInformationOptions(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc), std::cout))
        return *answered;
    DisplayGuard guard;
    QApplication application(argc, argv);
    guard.release();
    const auto translations = InstallToolkitTranslations(QLocale());
    LoadWindowFonts();
    QtDialogs dialogs;
    TForm1 form(dialogs);
    form.show();
    return QApplication::exec();
}
