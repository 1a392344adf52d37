// The window's modal boxes and the opening of a web address, behind one
// small interface so that tests can answer the boxes and see what was asked.
#pragma once

#include <QString>
#include <QUrl>

class QWidget;

class Dialogs {
public:
    enum class Answer { Yes, No };

    virtual ~Dialogs() = default;

    // The error box: stop icon, one OK button.
    virtual void errorBox(QWidget* owner, const QString& title, const QString& text) = 0;
    // The message dialog of the calculator and the transfer: no icon, one
    // "OK" button, centred on the screen.
    virtual void messageDialog(QWidget* owner, const QString& title, const QString& text) = 0;
    // The yes/no question: question icon, Yes the default, no cancel.
    virtual Answer question(QWidget* owner, const QString& title, const QString& text) = 0;
    // Hands the address to the desktop's default program; does not wait and
    // reports nothing.
    virtual void openUrl(QWidget* owner, const QUrl& url) = 0;
};

// The real boxes (QMessageBox) and the desktop's URL opener.
class QtDialogs final : public Dialogs {
public:
    void errorBox(QWidget* owner, const QString& title, const QString& text) override;
    void messageDialog(QWidget* owner, const QString& title, const QString& text) override;
    Answer question(QWidget* owner, const QString& title, const QString& text) override;
    void openUrl(QWidget* owner, const QUrl& url) override;
};
