// The result as the window shows and hands it over: each log's end in view
// after a duel, the whole log as the field's tooltip, and one step that
// copies the whole result for a forum post, from the logs' context menu or
// with Ctrl+Shift+C, with no control added to the stored layout.
#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPushButton>
#include <QTextDocumentFragment>
#include <QTimer>

#include "FormTest.h"
#include "Texts.h"

namespace {

// The two-move pistol duel of the move-log rules and its logs.
const char* const kLog1 = "30 | 30(4) | 24(6) | 24;";
const char* const kLog2 = "20 | 12(2) | -8(5) | убит: поражение;";

void FightPistolExample(ShownForm& f, saberline::Dice& dice) {
    f.form().setDice(dice);
    for (const auto& [field, text] : {std::pair{"OgnOr1", "12"}, {"HolOr1", "1"}, {"StrZ1", "3"}, {"BP2", "20"},
                                      {"OgnOr2", "9"}, {"HolOr2", "1"}, {"StrZ2", "4"}})
        f.type(field, U(text));
    f.click("GoBattle");
}

// A 100-move cold duel nobody can win: the longest logs and the message.
void FightLongColdDuel(ShownForm& f, saberline::Dice& dice) {
    f.form().setDice(dice);
    for (const char* health : {"BP1", "BP2"}) f.type(health, U("9999"));
    for (const char* points : {"OgnOr1", "HolOr1", "OgnOr2", "HolOr2"}) f.type(points, U("1"));
    for (const char* armour : {"StrZ1", "StrZ2"}) f.type(armour, U("7"));
    for (const auto& [field, text] : {std::pair{"StrSt11", "1"}, {"StrSt12", "2"}, {"StrSt13", "3"},
                                      {"StrSt21", "4"}, {"StrSt22", "5"}, {"StrSt23", "6"},
                                      {"ShAtack1", "123456"}, {"ShAtack2", "654321"}})
        f.type(field, U(text));
    f.click("TypeBattle2");
    f.click("GoBattle");
}

QString PlainToolTip(const QWidget* widget) {
    return QTextDocumentFragment::fromHtml(widget->toolTip()).toPlainText();
}

// Opens the log's context menu as a right click does, and triggers the
// entry with `caption` in it once it shows; the entries it offered.
QStringList ChooseFromContextMenu(QLineEdit* log, const QString& caption) {
    QStringList entries;
    QTimer::singleShot(0, log, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->isSeparator()) continue;
            entries << action->text();
            if (action->text().startsWith(caption)) chosen = action;
        }
        menu->close();
        if (chosen) chosen->trigger();
    });
    const QPoint at = log->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, log->mapToGlobal(at));
    QApplication::sendEvent(log, &event);
    return entries;
}

}  // namespace

class ResultTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { LoadWindowFonts(); }

    void eachLogShowsItsEndAndIsWholeInItsToolTip() {
        ShownForm f;
        QCOMPARE(PlainToolTip(f.control<QLineEdit>("InfoBM1")), U("Ещё не рассчитано!"));
        saberline::ListClock clock({ReadingForDice(1, 1)});
        saberline::Dice dice(clock);
        FightLongColdDuel(f, dice);
        for (const char* name : {"InfoBM1", "InfoBM2"}) {
            auto* log = f.control<QLineEdit>(name);
            const QString text = log->text();
            QVERIFY2(text.endsWith(U(" | боец покидает арену непобеждённым.")), name);
            QVERIFY2(log->fontMetrics().horizontalAdvance(text) > 2 * log->width(), name);
            // The cursor at the end, and with it the verdict, in view once
            // the field is drawn.
            QCOMPARE(log->cursorPosition(), text.size());
            static_cast<void>(log->grab());
            const QPoint end = log->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
            QVERIFY2(log->rect().contains(end) && end.x() > log->width() / 2, name);
            QCOMPARE(PlainToolTip(log), text);
            // A tooltip that long is wrapped, not one line wider than the screen.
            QVERIFY(Qt::mightBeRichText(log->toolTip()));
        }
        // The tooltip follows the field's text, also when the user edits it.
        f.type("InfoBM1", U("my own words"));
        QCOMPARE(PlainToolTip(f.control<QLineEdit>("InfoBM1")), U("my own words"));
        f.type("InfoBM1", QString());
        QCOMPARE(f.control<QLineEdit>("InfoBM1")->toolTip(), QString());
    }

    void theLogsContextMenuCopiesTheWholeResult() {
        ShownForm f;
        saberline::ListClock clock({ReadingForDice(4, 2), ReadingForDice(6, 5)});
        saberline::Dice dice(clock);
        FightPistolExample(f, dice);
        // The post's captions are the ones the window shows above the logs.
        QCOMPARE(f.text("TInfoBM1"), U(saberline::texts::kLogCaption1));
        QCOMPARE(f.text("TInfoBM2"), U(saberline::texts::kLogCaption2));
        const QString post = U("Ходы бойца №1:\n") + U(kLog1) + U("\n\nХоды бойца №2:\n") + U(kLog2);
        for (const char* name : {"InfoBM2", "InfoBM1"}) {
            QApplication::clipboard()->setText(U("before"));
            const QStringList entries =
                ChooseFromContextMenu(f.control<QLineEdit>(name), U(saberline::texts::kCopyResultCaption));
            // The field's own entries stay, the copy of the result after them.
            QVERIFY2(entries.size() > 3, qPrintable(entries.join(U(", "))));
            QVERIFY2(entries.last().startsWith(U(saberline::texts::kCopyResultCaption)), qPrintable(entries.last()));
            QCOMPARE(QApplication::clipboard()->text(), post);
        }
        QVERIFY(f.dialogs.boxes.empty());
    }

    void ctrlShiftCCopiesTheWholeResultWithTheMessageFromAnyControl() {
        ShownForm f;
        f.form().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.form()));
        saberline::ListClock clock({ReadingForDice(1, 1)});
        saberline::Dice dice(clock);
        FightLongColdDuel(f, dice);
        const QString post = U("Ходы бойца №1:\n") + f.text("InfoBM1") + U("\n\nХоды бойца №2:\n") +
                             f.text("InfoBM2") + U("\n\n") + U(saberline::texts::kLongDuel);
        for (const char* focused : {"GoBattle", "BP1", "InfoBM2"}) {
            QApplication::clipboard()->setText(U("before"));
            f.control<QWidget>(focused)->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
            QCOMPARE(QApplication::clipboard()->text(), post);
        }
        // A refused request: the empty logs and the refusal.
        f.type("BP1", U("0"));
        f.click("GoBattle");
        QTest::keyClick(f.control<QWidget>("GoBattle"), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(QApplication::clipboard()->text(), U("Ходы бойца №1:\n\n\nХоды бойца №2:\n\n\n") +
                                                        U(saberline::texts::kInputError));
    }

    void theStoredLayoutGainsNoControl() {
        ShownForm f;
        // The copy is an action of the window, not a widget; the duel screen
        // holds the controls the stored layout gives it, and no more.
        QCOMPARE(f.form().findChildren<QAction*>(U("CopyResult")).size(), qsizetype{1});
        QCOMPARE(f.form().findChildren<QWidget*>(U("CopyResult")).size(), qsizetype{0});
        QCOMPARE(f.control<QWidget>("BattlePanel")->findChildren<QPushButton*>().size(), qsizetype{7});
    }
};

QTEST_MAIN(ResultTest)
#include "ResultTest.moc"
