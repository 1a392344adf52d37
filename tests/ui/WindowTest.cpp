// The main window and the duel screen, driven through their controls.
#include <QClipboard>
#include <QFontInfo>
#include <QGroupBox>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStringList>

#include "Calculator.h"
#include "Duel.h"
#include "DuelParts.h"
#include "FormTest.h"
#include "Texts.h"

using saberline::texts::kInputError;

namespace {

// The runs of the scheme generated on the clock 0, 1, 2, ..., 99 (count,
// digit).
QString CountingClockScheme() {
    const int runs[][2] = {{6, 1}, {5, 2}, {5, 3}, {6, 4}, {5, 5}, {5, 6}, {6, 1}, {5, 2}, {5, 3}, {6, 4},
                           {5, 5}, {5, 6}, {6, 1}, {5, 2}, {5, 3}, {5, 4}, {6, 5}, {5, 6}, {4, 1}};
    QString scheme;
    for (const auto& run : runs) scheme += QString(run[0], QChar('0' + run[1]));
    return scheme;
}

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { LoadWindowFonts(); }

    void startUpShowsTheDuelScreen() {
        ShownForm f;
        QCOMPARE(f.form().windowTitle(), U("Saberline 2.0"));
        QCOMPARE(f.form().pos(), QPoint(401, 174));
        QVERIFY(f.form().windowIcon().availableSizes().contains(QSize(32, 32)));
        QCOMPARE(f.visibleScreen(), U("BattlePanel"));
        QCOMPARE(f.text("ErrorText"), QString());
        QCOMPARE(f.text("InfoBM1"), U("Ещё не рассчитано!"));
        QCOMPARE(f.text("InfoBM2"), U("Ещё не рассчитано!"));
        // Every field the core reads at the start-up text its table states.
        for (const saberline::DuelField& field : saberline::kDuelFields)
            QCOMPARE(f.text(field.name), U(field.startUp));
        for (const saberline::ForumTextField& field : saberline::kForumTextFields)
            QCOMPARE(f.text(field.name), U(field.startUp));
        for (const saberline::CombatResult& result : saberline::kCombatResults)
            QCOMPARE(f.text(result.name), U(result.startUp));
        QVERIFY(f.control<QRadioButton>("TypeBattle1")->isChecked());
        QVERIFY(!f.control<QRadioButton>("TypeBattle2")->isChecked());
        QVERIFY(!f.control<QRadioButton>("TypeBattle3")->isChecked());
        QVERIFY(f.dialogs.boxes.empty());

        // The window font: Tahoma 13 pixels, bold, blue; no default button.
        const QFont font = f.form().font();
        QCOMPARE(font.family(), U("Tahoma"));
        QCOMPARE(font.pixelSize(), 13);
        QVERIFY(font.bold());
        QCOMPARE(f.form().palette().color(QPalette::WindowText), QColor(Qt::blue));
        QCOMPARE(f.control<QLabel>("ErrorText")->palette().color(QPalette::WindowText), QColor(Qt::red));
        // A button is the default only while it has the focus.
        f.control<QLineEdit>("BP1")->setFocus();
        for (auto* button : f.form().findChildren<QPushButton*>()) {
            QVERIFY2(!button->isDefault(), qPrintable(button->objectName()));
            QVERIFY(button->toolTip().isEmpty());
        }
    }

    void duelButtonRefusesTheStartUpScreen() {
        ShownForm f;
        f.click("GoBattle");
        QCOMPARE(f.text("ErrorText"), U(kInputError));
        QCOMPARE(f.text("InfoBM1"), QString());
        QCOMPARE(f.text("InfoBM2"), QString());
        QCOMPARE(f.text("BP1"), U("30"));
        QVERIFY(f.dialogs.boxes.empty());
    }

    void enterInEditStartsNothing() {
        ShownForm f;
        auto* field = f.control<QLineEdit>("BP1");
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Return);
        QTest::keyClick(field, Qt::Key_Escape);
        QCOMPARE(f.text("InfoBM1"), U("Ещё не рассчитано!"));
        QCOMPARE(f.text("ErrorText"), QString());
        QVERIFY(f.form().isVisible());
    }

    void enterAndSpaceClickOnlyTheFocusedButton() {
        ShownForm f;
        saberline::ListClock clock({0});
        saberline::Dice dice(clock);
        f.form().setDice(dice);
        auto* duel = f.control<QPushButton>("GoBattle");
        duel->setFocus();
        QTest::keyClick(duel, Qt::Key_Return);
        QCOMPARE(f.text("ErrorText"), U(kInputError));
        QCOMPARE(f.text("InfoBM1"), QString());

        auto* generator = f.control<QPushButton>("GenShAtack2");
        generator->setFocus();
        QTest::keyClick(generator, Qt::Key_Space);
        QCOMPARE(f.text("ShAtack2"), QString(100, QChar('1')));
        QCOMPARE(f.text("ShAtack1"), QString());
        QCOMPARE(f.visibleScreen(), U("BattlePanel"));
    }

    void duelButtonFightsThePistolExample() {
        ShownForm f;
        saberline::ListClock clock({ReadingForDice(4, 2), ReadingForDice(6, 5)});
        saberline::Dice dice(clock);
        f.form().setDice(dice);
        f.type("BP1", "30");
        f.type("OgnOr1", "12");
        f.type("HolOr1", "1");
        f.type("StrZ1", "3");
        f.type("BP2", "20");
        f.type("OgnOr2", "9");
        f.type("HolOr2", "1");
        f.type("StrZ2", "4");
        f.control<QLabel>("ErrorText")->setText(U("old"));
        f.click("GoBattle");
        QCOMPARE(f.text("InfoBM1"), U("30 | 30(4) | 24(6) | 24;"));
        QCOMPARE(f.text("InfoBM2"), U("20 | 12(2) | -8(5) | убит: поражение;"));
        QCOMPARE(f.text("ErrorText"), QString());
        QCOMPARE(f.text("OgnOr1"), U("12"));
    }

    void longDuelLogIsHeldWhole() {
        ShownForm f;
        saberline::CountingClock clock(7);
        saberline::Dice dice(clock);
        f.form().setDice(dice);
        // Nobody can hurt anybody: firearm 1 against armour 10.
        for (const char* health : {"BP1", "BP2"}) f.type(health, "9999");
        for (const char* points : {"OgnOr1", "HolOr1", "OgnOr2", "HolOr2"}) f.type(points, "1");
        f.type("StrZ1", "10");
        f.type("StrZ2", "10");
        f.click("GoBattle");
        const QString log = f.text("InfoBM1");
        QVERIFY2(log.size() > 1000, qPrintable(QString::number(log.size())));
        QVERIFY(log.startsWith(U("9999 | 9999(")));
        QVERIFY(log.endsWith(U(" | боец покидает арену непобеждённым.")));
        QCOMPARE(log.count(U(" |")), 101);
        QCOMPARE(f.text("ErrorText"), U(saberline::texts::kLongDuel));
    }

    void screensAreEnteredAndLeftKeepingEveryField_data() {
        QTest::addColumn<QString>("enter");
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("leave");
        QTest::newRow("help") << U("HelpAction") << U("HelpPanel") << U("ForHelpClose");
        QTest::newRow("about") << U("AboutAction") << U("AboutPanel") << U("ForAboutClose");
        QTest::newRow("calculator") << U("GoCalcOfBattleChars") << U("PCalcOfBattleChars")
                                    << U("GoBattlePanel");
    }
    void screensAreEnteredAndLeftKeepingEveryField() {
        QFETCH(QString, enter);
        QFETCH(QString, screen);
        QFETCH(QString, leave);
        ShownForm f;
        int n = 1;
        for (const saberline::DuelField& field : saberline::kDuelFields) f.type(field.name, QString::number(n++ % 10));
        f.click("TypeBattle3");
        f.click("GoBattle");  // puts a message into the message line
        const QString message = f.text("ErrorText");
        QVERIFY(!message.isEmpty());
        f.control<QLineEdit>("InfoBM1")->setText(U("log one"));

        f.click(qPrintable(enter));
        QCOMPARE(f.visibleScreen(), screen);
        f.click(qPrintable(leave));
        QCOMPARE(f.visibleScreen(), U("BattlePanel"));

        n = 1;
        for (const saberline::DuelField& field : saberline::kDuelFields)
            QCOMPARE(f.text(field.name), QString::number(n++ % 10));
        QVERIFY(f.control<QRadioButton>("TypeBattle3")->isChecked());
        QCOMPARE(f.text("ErrorText"), message);
        QCOMPARE(f.text("InfoBM1"), U("log one"));
        QCOMPARE(f.text("InfoBM2"), QString());
        QVERIFY(f.dialogs.boxes.empty());
    }

    void calculatorFieldsSurviveAVisitToTheDuelScreen() {
        ShownForm f;
        f.click("GoCalcOfBattleChars");
        f.type("SumPostsBM1", "123");
        f.type("SumRBM1", "45");
        f.type("SumPostsBM2", "6789");
        f.type("SumRBM2", "10");
        f.click("ChM13");
        f.click("ChM25");
        f.click("GoBattlePanel");
        f.click("GoCalcOfBattleChars");
        QCOMPARE(f.visibleScreen(), U("PCalcOfBattleChars"));
        QCOMPARE(f.text("SumPostsBM1"), U("123"));
        QCOMPARE(f.text("SumRBM1"), U("45"));
        QCOMPARE(f.text("SumPostsBM2"), U("6789"));
        QCOMPARE(f.text("SumRBM2"), U("10"));
        QStringList checked;
        for (auto* mark : f.form().findChildren<QCheckBox*>())
            if (mark->isChecked()) checked << mark->objectName();
        checked.sort();
        QCOMPARE(checked, QStringList({U("ChM13"), U("ChM25")}));
    }

    void closingEndsTheProgramFromEveryScreen_data() {
        QTest::addColumn<QString>("enter");
        QTest::addColumn<bool>("exitButton");
        QTest::newRow("exit button") << QString() << true;
        QTest::newRow("duel screen") << QString() << false;
        QTest::newRow("help screen") << U("HelpAction") << false;
        QTest::newRow("about screen") << U("AboutAction") << false;
        QTest::newRow("calculator screen") << U("GoCalcOfBattleChars") << false;
    }
    void closingEndsTheProgramFromEveryScreen() {
        QFETCH(QString, enter);
        QFETCH(bool, exitButton);
        ShownForm f;
        if (!enter.isEmpty()) f.click(qPrintable(enter));
        if (exitButton) f.click("GoExit");
        else QVERIFY(f.form().close());
        // The last window closed, and closing it ends the event loop.
        QVERIFY(!f.form().isVisible());
        QVERIFY(f.form().testAttribute(Qt::WA_QuitOnClose));
        for (QWidget* window : QApplication::topLevelWidgets()) QVERIFY(!window->isVisible());
        QVERIFY(f.dialogs.boxes.empty());
    }

    void fieldsTakeNoMoreThanTheirMaximum_data() {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("maximum");
        // The lengths the core's field tables state, typed and pasted.
        for (const saberline::DuelField& row : saberline::kDuelFields)
            QTest::newRow(row.name) << QString() << U(row.name) << row.maxLength;
        for (const saberline::ForumTextField& row : saberline::kForumTextFields)
            QTest::newRow(row.name) << U("GoCalcOfBattleChars") << U(row.name) << row.maxLength;
    }
    void fieldsTakeNoMoreThanTheirMaximum() {
        QFETCH(QString, screen);
        QFETCH(QString, field);
        QFETCH(int, maximum);
        ShownForm f;
        if (!screen.isEmpty()) f.click(qPrintable(screen));
        QString longText;
        for (int i = 0; i < maximum + 3; ++i) longText += QChar('1' + i % 6);

        f.type(qPrintable(field), longText);
        QCOMPARE(f.text(qPrintable(field)), longText.left(maximum));

        auto* edit = f.control<QLineEdit>(qPrintable(field));
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QApplication::clipboard()->setText(U("ab") + longText);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit->text(), (U("ab") + longText).left(maximum));
    }

    // A move log takes a pasted text up to a cap far above the longest log
    // a duel writes, and cuts a huge paste there (a paste of megabytes once
    // stopped the window for a minute); the duel still writes its logs whole.
    void moveLogsCutAHugePasteAtTheirCap() {
        ShownForm f;
        saberline::ListClock clock({7});
        saberline::Dice dice(clock);
        f.form().setDice(dice);
        // A cold duel of 100 moves in which nobody falls: four-digit healths
        // in every entry, the longest kind of log.
        f.type("BP1", U("9999"));
        f.type("BP2", U("9999"));
        for (const char* name : {"OgnOr1", "OgnOr2", "HolOr1", "HolOr2", "StrZ1", "StrZ2"}) f.type(name, U("1"));
        for (const char* name : {"StrSt11", "StrSt21"}) f.type(name, U("1"));
        for (const char* name : {"StrSt12", "StrSt22"}) f.type(name, U("2"));
        for (const char* name : {"StrSt13", "StrSt23"}) f.type(name, U("3"));
        f.type("ShAtack1", U("4"));
        f.type("ShAtack2", U("5"));
        f.click("TypeBattle2");
        f.click("GoBattle");
        const qsizetype longestLog = f.text("InfoBM1").size();
        QCOMPARE(f.text("ErrorText"), QString::fromUtf8(saberline::texts::kLongDuel));

        const QString huge(1'000'000, QChar('7'));
        QApplication::clipboard()->setText(huge);
        for (const char* name : {"InfoBM1", "InfoBM2"}) {
            auto* edit = f.control<QLineEdit>(name);
            QVERIFY2(edit->maxLength() >= 20 * longestLog, name);
            edit->setFocus();
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
            QVERIFY2(edit->text().size() < huge.size(), name);
            QCOMPARE(edit->text(), huge.left(edit->maxLength()));
        }
    }

    void resultFieldsCannotBeEditedOrFocused() {
        ShownForm f;
        f.click("GoCalcOfBattleChars");
        for (const char* name : {"FOgnOr1", "FHolOr1", "FStrZ1", "FOgnOr2", "FHolOr2", "FStrZ2"}) {
            auto* edit = f.control<QLineEdit>(name);
            QVERIFY2(!edit->isEnabled(), name);
            QTest::mouseClick(edit, Qt::LeftButton);
            QVERIFY2(QApplication::focusWidget() != edit, name);
            QTest::keyClicks(edit, U("99"));
            QCOMPARE(edit->text(), U("0"));
        }
    }

    void duelTypesExcludeEachOther() {
        ShownForm f;
        const char* buttons[] = {"TypeBattle1", "TypeBattle2", "TypeBattle3"};
        for (const char* chosen : {"TypeBattle2", "TypeBattle3", "TypeBattle3", "TypeBattle1"}) {
            f.click(chosen);
            for (const char* button : buttons)
                QCOMPARE(f.control<QRadioButton>(button)->isChecked(), qstrcmp(button, chosen) == 0);
        }
    }

    void generatorsFillOneScheme_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("scheme");
        QTest::addColumn<QString>("otherScheme");
        QTest::addColumn<bool>("counting");
        QTest::addColumn<QString>("expected");
        const QString ones(100, QChar('1'));
        QTest::newRow("duellist 1, clock 0")
            << U("GenShAttack1") << U("ShAtack1") << U("ShAtack2") << false << ones;
        QTest::newRow("duellist 2, clock 0")
            << U("GenShAtack2") << U("ShAtack2") << U("ShAtack1") << false << ones;
        QTest::newRow("duellist 1, clock 0..99")
            << U("GenShAttack1") << U("ShAtack1") << U("ShAtack2") << true << CountingClockScheme();
        QTest::newRow("duellist 2, clock 0..99")
            << U("GenShAtack2") << U("ShAtack2") << U("ShAtack1") << true << CountingClockScheme();
    }
    void generatorsFillOneScheme() {
        QFETCH(QString, button);
        QFETCH(QString, scheme);
        QFETCH(QString, otherScheme);
        QFETCH(bool, counting);
        QFETCH(QString, expected);
        QCOMPARE(expected.size(), 100);
        ShownForm f;
        saberline::ListClock constant({0});
        saberline::CountingClock upward(0);
        saberline::Dice dice(counting ? static_cast<saberline::ClockSource&>(upward) : constant);
        f.form().setDice(dice);
        f.type(qPrintable(scheme), U("6543"));
        f.type(qPrintable(otherScheme), U("2345"));
        f.type("BP1", "17");
        f.click("GoBattle");
        const QString message = f.text("ErrorText");

        QSignalSpy passes(f.control<QLineEdit>(qPrintable(scheme)), &QLineEdit::textChanged);
        f.click(qPrintable(button));
        QCOMPARE(f.text(qPrintable(scheme)), expected);
        QCOMPARE(passes.count(), 100);
        QCOMPARE(passes.first().first().toString(), expected.left(1));
        QCOMPARE(f.text(qPrintable(otherScheme)), U("2345"));
        QCOMPARE(f.text("BP1"), U("17"));
        QCOMPARE(f.text("ErrorText"), message);
        QCOMPARE(f.text("InfoBM1"), QString());

        // Pressed again on the constant clock: the same scheme replaces the old one.
        if (!counting) {
            f.click(qPrintable(button));
            QCOMPARE(f.text(qPrintable(scheme)), expected);
        }
    }

    void escapedConversionErrorIsShownInTheErrorBox() {
        ShownForm f;
        f.click("GoCalcOfBattleChars");
        // The result fields hold only the calculator's own texts; this one is
        // planted to make the transfer's conversion fail.
        auto* firearm = f.control<QLineEdit>("FOgnOr1");
        firearm->setMaxLength(3);
        firearm->setText(U(" 7 "));
        f.control<QLineEdit>("FOgnOr2")->setText(U("9"));
        f.control<QLineEdit>("FHolOr1")->setText(U("4"));
        f.control<QLineEdit>("FHolOr2")->setText(U("5"));
        f.dialogs.setNextAnswer(Dialogs::Answer::Yes);
        f.click("MoveCarsOfBattlePanel");

        QCOMPARE(f.dialogs.boxes.size(), std::size_t{1});
        QCOMPARE(int(f.dialogs.boxes[0].kind), int(RecordingDialogs::Kind::Error));
        QCOMPARE(f.dialogs.boxes[0].text, U("' 7 ' is not a valid integer value."));
        QCOMPARE(f.dialogs.boxes[0].title, U("ui_window_tests"));
        QCOMPARE(f.form().applicationTitle(), U("ui_window_tests"));
        QCOMPARE(f.text("OgnOr1"), QString());
        QCOMPARE(f.visibleScreen(), U("PCalcOfBattleChars"));

        // The window goes on.
        f.type("SumPostsBM1", "1");
        f.type("SumRBM1", "1");
        f.type("SumPostsBM2", "1");
        f.type("SumRBM2", "1");
        f.click("CalcOfBattleChars");
        QCOMPARE(f.text("FOgnOr1"), U("8"));
        QCOMPARE(f.dialogs.boxes.size(), std::size_t{1});
    }

    void tabOrder_data() {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("duel screen")
            << QString() << QStringList{"GoBattle",    "BP1",        "HolOr1",       "StrZ1",
                                        "OgnOr1",      "StrSt11",    "StrSt12",      "StrSt13",
                                        "ShAtack1",    "StrSt14",    "GenShAttack1", "BP2",
                                        "HolOr2",      "StrZ2",      "OgnOr2",       "StrSt21",
                                        "StrSt22",     "StrSt23",    "StrSt24",      "ShAtack2",
                                        "GenShAtack2", "InfoBM1",    "InfoBM2",      "TypeBattle1",
                                        "GoExit",      "HelpAction", "AboutAction",  "GoCalcOfBattleChars",
                                        "GoBattle"};
        QTest::newRow("calculator screen") << U("GoCalcOfBattleChars") << QStringList{"GoBattlePanel",
                                                                                      "SumPostsBM1",
                                                                                      "SumRBM1",
                                                                                      "ChM11",
                                                                                      "ChM12",
                                                                                      "ChM13",
                                                                                      "ChM14",
                                                                                      "ChM15",
                                                                                      "SumPostsBM2",
                                                                                      "SumRBM2",
                                                                                      "ChM21",
                                                                                      "ChM22",
                                                                                      "ChM23",
                                                                                      "ChM24",
                                                                                      "ChM25",
                                                                                      "CalcOfBattleChars",
                                                                                      "MoveCarsOfBattlePanel",
                                                                                      "GoBattlePanel"};
    }
    void tabOrder() {
        QFETCH(QString, screen);
        QFETCH(QStringList, order);
        ShownForm f;
        f.form().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.form()));
        if (!screen.isEmpty()) f.click(qPrintable(screen));
        QWidget* first = f.control<QWidget>(qPrintable(order.first()));
        first->setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), first);
        QStringList seen{first->objectName()};
        for (qsizetype i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            seen << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(seen, order);
    }
};

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"
