#include "Dialogs.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>

void QtDialogs::errorBox(QWidget* owner, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, owner);
    box.exec();
}

void QtDialogs::messageDialog(QWidget* /*owner*/, const QString& title, const QString& text) {
    // No parent: the box is centred on the screen, and application-modal
    // like the window's other boxes.
    QMessageBox box(QMessageBox::NoIcon, title, text);
    box.setWindowModality(Qt::ApplicationModal);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

Dialogs::Answer QtDialogs::question(QWidget* owner, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, owner);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

void QtDialogs::openUrl(QWidget* /*owner*/, const QUrl& url) {
    // Starts the desktop's opener and returns; a failure is not reported.
    static_cast<void>(QDesktopServices::openUrl(url));
}
