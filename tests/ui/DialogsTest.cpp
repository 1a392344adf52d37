// The real boxes behind the window's seam: icon, title, text and buttons as
// the user sees them. Each box is inspected and answered while it is shown.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "Dialogs.h"

namespace {

struct Seen {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    QStringList buttons;
    QString defaultButton;
    bool modal = false;
};

// Runs `show`, which opens a box; inspects the box once it is up and
// presses the button with the given text.
Seen Inspect(const std::function<void()>& show, const QString& press) {
    Seen seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        seen.icon = box->icon();
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.modal = box->isModal();
        for (QAbstractButton* button : box->buttons()) {
            seen.buttons << button->text().remove(QLatin1Char('&'));
            if (box->defaultButton() == button) seen.defaultButton = seen.buttons.last();
        }
        for (QAbstractButton* button : box->buttons())
            if (button->text().remove(QLatin1Char('&')) == press) button->click();
    });
    show();
    return seen;
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void errorBoxHasTheStopIconAndOneOk() {
        QtDialogs dialogs;
        QWidget owner;
        const Seen seen = Inspect(
            [&] { dialogs.errorBox(&owner, "Saberline", "' 7 ' is not a valid integer value."); }, "OK");
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QCOMPARE(seen.title, QString("Saberline"));
        QCOMPARE(seen.text, QString("' 7 ' is not a valid integer value."));
        QCOMPARE(seen.buttons, QStringList{"OK"});
        QVERIFY(seen.modal);
    }

    void messageDialogHasNoIconAndOneOk() {
        QtDialogs dialogs;
        const Seen seen = Inspect(
            [&] { dialogs.messageDialog(nullptr, "Saberline", QString::fromUtf8("Внимание!")); }, "OK");
        QCOMPARE(seen.icon, QMessageBox::NoIcon);
        QCOMPARE(seen.title, QString("Saberline"));
        QCOMPARE(seen.text, QString::fromUtf8("Внимание!"));
        QCOMPARE(seen.buttons, QStringList{"OK"});
        QVERIFY(seen.modal);
    }

    void questionOffersYesAndNoWithYesTheDefault_data() {
        QTest::addColumn<QString>("press");
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes") << QString("Yes") << true;
        QTest::newRow("no") << QString("No") << false;
    }
    void questionOffersYesAndNoWithYesTheDefault() {
        QFETCH(QString, press);
        QFETCH(bool, yes);
        QtDialogs dialogs;
        QWidget owner;
        Dialogs::Answer answer = Dialogs::Answer::No;
        const Seen seen = Inspect([&] { answer = dialogs.question(&owner, "Test", "?"); }, press);
        QCOMPARE(seen.icon, QMessageBox::Question);
        QCOMPARE(seen.title, QString("Test"));
        QStringList buttons = seen.buttons;
        buttons.sort();
        QCOMPARE(buttons, QStringList({"No", "Yes"}));
        QCOMPARE(seen.defaultButton, QString("Yes"));
        QCOMPARE(answer == Dialogs::Answer::Yes, yes);
    }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
