// saberline: the referee's window. Takes no arguments and shows the duel
// screen.
#include <QApplication>

#include "Dialogs.h"
#include "Fonts.h"
#include "Unit1.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    LoadWindowFonts();
    QtDialogs dialogs;
    TForm1 form(dialogs);
    form.show();
    return QApplication::exec();
}
