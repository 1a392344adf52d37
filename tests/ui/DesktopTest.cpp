// The window program on the desktop: --help and --version, the language of
// the toolkit's standard buttons, where the window opens, and the names a
// screen reader says for the controls.
#include <QAccessible>
#include <QCheckBox>
#include <QFile>
#include <QGuiApplication>
#include <QLocale>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QXmlStreamReader>
#include <functional>
#include <map>
#include <sstream>

#include "Desktop.h"
#include "FormTest.h"
#include "Version.h"

namespace {

// Opens a box with `show`, reads its button texts (mnemonics kept), title
// and text while it is up, and closes it with its first button.
struct SeenBox {
    QString title, text;
    QStringList buttons;
};
SeenBox Inspect(const std::function<void()>& show) {
    SeenBox seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        seen.title = box->windowTitle();
        seen.text = box->text();
        for (QAbstractButton* button : box->buttons()) seen.buttons << button->text();
        box->buttons().first()->click();
    });
    show();
    return seen;
}

// The buttons of the three boxes, joined: error box | message dialog | question.
QString ButtonsOfTheThreeBoxes() {
    QtDialogs dialogs;
    QWidget owner;
    const SeenBox error = Inspect([&] { dialogs.errorBox(&owner, U("Saberline"), U("Ошибка.")); });
    const SeenBox message = Inspect([&] { dialogs.messageDialog(nullptr, U("Saberline"), U("Внимание!")); });
    const SeenBox question = Inspect([&] { dialogs.question(&owner, U("Вопрос"), U("Перенести?")); });
    // The system's own titles and texts stay as they are in every language.
    if (error.title != U("Saberline") || error.text != U("Ошибка.") || message.text != U("Внимание!") ||
        question.title != U("Вопрос") || question.text != U("Перенести?"))
        return U("texts changed");
    QStringList sorted = question.buttons;
    sorted.sort();
    return error.buttons.join(U(",")) + U(" | ") + message.buttons.join(U(",")) + U(" | ") + sorted.join(U(","));
}

constexpr const char* kChildOption = "--print-box-buttons";

// Outer size of the window as the placement counts it before the window
// manager reports a frame: the client area and its title bar and borders.
const QSize kOuter(756, 722);

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { LoadWindowFonts(); }

    // --- --help and --version --------------------------------------------

    void informationOptions_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("answered");
        QTest::addColumn<QString>("starts");
        const QString version = U("saberline ") + QString::fromLatin1(saberline::kVersion.data(),
                                                                    qsizetype(saberline::kVersion.size()));
        QTest::newRow("--version") << QStringList{"--version"} << true << version + U("\nCopyright (C) ");
        QTest::newRow("--help") << QStringList{"--help"} << true << U("Usage: saberline [OPTION]...\n");
        QTest::newRow("-h") << QStringList{"-h"} << true << U("Usage: saberline [OPTION]...\n");
        QTest::newRow("after a toolkit option")
            << QStringList{"-style", "fusion", "--version"} << true << version + U("\n");
        QTest::newRow("no arguments") << QStringList{} << false << QString();
        QTest::newRow("toolkit options only") << QStringList{"-platform", "offscreen"} << false << QString();
        QTest::newRow("--versions is not --version") << QStringList{"--versions"} << false << QString();
    }
    void informationOptions() {
        QFETCH(QStringList, args);
        QFETCH(bool, answered);
        QFETCH(QString, starts);
        std::vector<std::string> words;
        for (const QString& arg : args) words.push_back(arg.toStdString());
        std::ostringstream out;
        const std::optional<int> status = AnswerInformationOptions(words, out);
        QCOMPARE(status.has_value(), answered);
        const QString printed = QString::fromStdString(out.str());
        if (!answered) {
            QVERIFY(printed.isEmpty());
            return;
        }
        QCOMPARE(*status, 0);
        QVERIFY2(printed.startsWith(starts), qPrintable(printed));
        QVERIFY(printed.endsWith(U("\n")));
    }

    void helpNamesBothOptionsAndTheCommandLineReferee() {
        std::ostringstream out;
        static_cast<void>(AnswerInformationOptions({"--help"}, out));
        const QString help = QString::fromStdString(out.str());
        for (const char* expected : {"-h, --help", "--version", "saberline-cli", "Exit status"})
            QVERIFY2(help.contains(U(expected)), expected);
        for (const QString& line : help.split(U("\n"))) QVERIFY2(line.size() <= 79, qPrintable(line));
    }

    // --- The display ------------------------------------------------------

    // While the display opens, the toolkit's messages are held back; once
    // it is open they are passed on, in order and with their category.
    void messagesHeldWhileTheDisplayOpensArePassedOn() {
        static QStringList passed;
        passed.clear();
        const QtMessageHandler before = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
                passed << QString::number(type) + U(" ") + QString::fromLatin1(context.category) + U(" ") + text;
            });
        {
            DisplayGuard guard;
            qWarning("first");
            static const QLoggingCategory category("saberline.test");
            qCWarning(category) << "second";
            QVERIFY(passed.isEmpty());
            guard.release();
            qWarning("after");
        }
        qInstallMessageHandler(before);
        QCOMPARE(passed, QStringList({QString::number(QtWarningMsg) + U(" default first"),
                                      QString::number(QtWarningMsg) + U(" saberline.test second"),
                                      QString::number(QtWarningMsg) + U(" default after")}));
    }

    // --- The language of the boxes ---------------------------------------

    void standardButtonsSpeakTheLocale_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("buttons");
        QTest::newRow("Russian") << U("ru_RU") << true << U("OK | OK | &Да,&Нет");
        QTest::newRow("German") << U("de_DE") << true << U("OK | OK | &Ja,&Nein");
        QTest::newRow("C") << U("C") << false << U("OK | OK | &No,&Yes");
        QTest::newRow("English") << U("en_GB") << false << U("OK | OK | &No,&Yes");
    }
    void standardButtonsSpeakTheLocale() {
        QFETCH(QString, locale);
        QFETCH(bool, installed);
        QFETCH(QString, buttons);
        QLocale::setDefault(QLocale(locale));
        {
            const std::unique_ptr<QTranslator> translation = InstallToolkitTranslations(QLocale());
            QCOMPARE(translation != nullptr, installed);
            QCOMPARE(ButtonsOfTheThreeBoxes(), buttons);
        }
        QLocale::setDefault(QLocale::c());
        // Once the translation is gone the buttons are English again.
        QCOMPARE(ButtonsOfTheThreeBoxes(), U("OK | OK | &No,&Yes"));
    }

    // The program reads the locale from the environment as the desktop sets
    // it: a child process of this test with LANG alone.
    void systemLocaleComesFromTheEnvironment_data() {
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QString>("buttons");
        QTest::newRow("LANG=ru_RU.UTF-8") << U("ru_RU.UTF-8") << U("OK | OK | &Да,&Нет");
        QTest::newRow("LANG=C") << U("C") << U("OK | OK | &No,&Yes");
        QTest::newRow("LANG=C.UTF-8") << U("C.UTF-8") << U("OK | OK | &No,&Yes");
    }
    void systemLocaleComesFromTheEnvironment() {
        QFETCH(QString, lang);
        QFETCH(QString, buttons);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"}) environment.remove(U(variable));
        environment.insert(U("LANG"), lang);
        QProcess child;
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {U(kChildOption)});
        QVERIFY(child.waitForFinished(60'000));
        QCOMPARE(child.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(child.readAllStandardOutput()).trimmed(), buttons);
    }

    // --- Where the window opens ------------------------------------------

    void placement_data() {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("1920x1080: stays") << QRect(0, 0, 1920, 1080) << kOuter << QPoint(401, 174);
        QTest::newRow("1366x768: raised to show the bottom") << QRect(0, 0, 1366, 768) << kOuter << QPoint(401, 46);
        QTest::newRow("1366x768 under a 40-pixel bottom panel")
            << QRect(0, 0, 1366, 728) << kOuter << QPoint(401, 6);
        QTest::newRow("1366x768 below a 27-pixel top panel")
            << QRect(0, 27, 1366, 741) << kOuter << QPoint(401, 46);
        QTest::newRow("1280x800") << QRect(0, 0, 1280, 800) << kOuter << QPoint(401, 78);
        QTest::newRow("1024x768: moved left and up") << QRect(0, 0, 1024, 768) << kOuter << QPoint(268, 46);
        QTest::newRow("just fits") << QRect(0, 0, 1157, 896) << kOuter << QPoint(401, 174);
        QTest::newRow("one pixel short each way") << QRect(0, 0, 1156, 895) << kOuter << QPoint(400, 173);
        QTest::newRow("800x600: too low, top edge") << QRect(0, 0, 800, 600) << kOuter << QPoint(44, 0);
        QTest::newRow("640x480: too big, top-left") << QRect(0, 0, 640, 480) << kOuter << QPoint(0, 0);
        QTest::newRow("too big in an area not at the origin")
            << QRect(100, 50, 640, 480) << kOuter << QPoint(100, 50);
        QTest::newRow("area to the right of the position")
            << QRect(1920, 0, 1366, 768) << kOuter << QPoint(1920, 46);
        QTest::newRow("a real frame larger than assumed")
            << QRect(0, 0, 1366, 768) << QSize(760, 740) << QPoint(401, 28);
    }
    void placement() {
        QFETCH(QRect, area);
        QFETCH(QSize, window);
        QFETCH(QPoint, expected);
        const QPoint placed = WindowPlacement(area, window, QPoint(401, 174));
        QCOMPARE(placed, expected);
        // Whenever the window fits, all of it is in the area.
        if (window.width() <= area.width() && window.height() <= area.height())
            QVERIFY(area.contains(QRect(placed, window)));
    }

    // The real window on the screen this test runs on (CTest runs it on a
    // 1920x1080 and on a 1366x768 offscreen screen).
    void windowOpensWhereItIsSeenWhole() {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        const std::map<std::pair<int, int>, QPoint> expected{{{1920, 1080}, QPoint(401, 174)},
                                                             {{1366, 768}, QPoint(401, 46)}};
        const auto known = expected.find({area.width(), area.height()});
        if (known == expected.end())
            QFAIL(qPrintable(U("no expected position for a screen of %1x%2").arg(area.width()).arg(area.height())));
        ShownForm f;
        QCOMPARE(f.form().pos(), known->second);
        QCOMPARE(f.form().size(), QSize(740, 684));  // nothing resized
        QVERIFY(area.contains(f.form().frameGeometry()));
        QVERIFY(area.contains(f.form().mapToGlobal(f.control<QWidget>("GoExit")->rect().bottomRight())));
    }

    // --- Names for a screen reader ---------------------------------------

    void everyControlHasItsName_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        for (const char* d : {"1", "2"}) {
            const QString n = U(d);
            QTest::newRow(qPrintable("BP" + n)) << "BP" + n << U("Здоровье бойца");
            QTest::newRow(qPrintable("OgnOr" + n)) << "OgnOr" + n << U("Очки огнестрельного оружия (ОгнОр)");
            QTest::newRow(qPrintable("HolOr" + n)) << "HolOr" + n << U("Очки холодного оружия (ХолОр)");
            QTest::newRow(qPrintable("StrZ" + n)) << "StrZ" + n << U("Очки защиты кирасы (ОЗ)");
            for (int side = 1; side <= 4; ++side)
                QTest::newRow(qPrintable(QString("StrSt%1%2").arg(n).arg(side)))
                    << QString("StrSt%1%2").arg(n).arg(side) << U("Сильная сторона %1").arg(side);
            QTest::newRow(qPrintable("ShAtack" + n)) << "ShAtack" + n << U("Схема атаки");
            QTest::newRow(qPrintable("InfoBM" + n)) << "InfoBM" + n << U("Ходы бойца №") + n;
            QTest::newRow(qPrintable("SumPostsBM" + n)) << "SumPostsBM" + n << U("Количество постов на форуме");
            QTest::newRow(qPrintable("SumRBM" + n)) << "SumRBM" + n << U("Репутация на форуме");
            for (int mark = 1; mark <= 5; ++mark)
                QTest::newRow(qPrintable(QString("ChM%1%2").arg(n).arg(mark)))
                    << QString("ChM%1%2").arg(n).arg(mark) << U("Чёрная метка %1").arg(mark);
            QTest::newRow(qPrintable("FOgnOr" + n)) << "FOgnOr" + n << U("Очки огнестрельного оружия (ОгнОр)");
            QTest::newRow(qPrintable("FHolOr" + n)) << "FHolOr" + n << U("Очки холодного оружия (ХолОр)");
            QTest::newRow(qPrintable("FStrZ" + n)) << "FStrZ" + n << U("Очки защиты кирасы (ОЗ)");
        }
        QTest::newRow("HelpAction") << U("HelpAction") << U("Справка");
        QTest::newRow("AboutAction") << U("AboutAction") << U("О программе");
        // Buttons with a caption are named by it.
        QTest::newRow("GoBattle") << U("GoBattle") << U("Рассчитать дуэль");
        QTest::newRow("GoExit") << U("GoExit") << U("Выход");
        QTest::newRow("GenShAttack1") << U("GenShAttack1") << U("Генерировать случайную схему атаки");
        QTest::newRow("GenShAtack2") << U("GenShAtack2") << U("Генерировать случайную схему атаки");
        QTest::newRow("GoCalcOfBattleChars") << U("GoCalcOfBattleChars") << U("Рассчитать характеристики");
        QTest::newRow("CalcOfBattleChars")
            << U("CalcOfBattleChars") << U("Рассчитать боевые характеристики бретёров");
        QTest::newRow("MoveCarsOfBattlePanel")
            << U("MoveCarsOfBattlePanel") << U("Перенести полученные характеристики в таблицу дуэльных параметров");
        QTest::newRow("GoBattlePanel") << U("GoBattlePanel") << U("Вернуться к расчёту боя");
        QTest::newRow("ForHelpClose") << U("ForHelpClose") << U("Вернуться");
        QTest::newRow("ForAboutClose") << U("ForAboutClose") << U("Вернуться");
        QTest::newRow("TypeBattle1") << U("TypeBattle1") << U("На пистолетах (ОГ)");
        QTest::newRow("TypeBattle2") << U("TypeBattle2") << U("Холодным оружием (ХО)");
        QTest::newRow("TypeBattle3") << U("TypeBattle3") << U("Смешанное оружие (СВ)");
    }
    void everyControlHasItsName() {
        QFETCH(QString, control);
        QFETCH(QString, name);
        ShownForm f;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(f.control(qPrintable(control)));
        QVERIFY(accessible);
        QCOMPARE(accessible->text(QAccessible::Name), name);
    }

    // Every field the user types into says what it takes, and the help
    // picture gives its content as text.
    void fieldsAndTheHelpPictureHaveDescriptions() {
        ShownForm f;
        QStringList described;
        for (QLineEdit* field : f.form().findChildren<QLineEdit*>()) {
            if (!field->isEnabled() || field->objectName().startsWith(U("InfoBM"))) continue;
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(field);
            QVERIFY(accessible);
            QVERIFY2(!accessible->text(QAccessible::Description).trimmed().isEmpty(), qPrintable(field->objectName()));
            described << field->objectName();
        }
        QCOMPARE(described.size(), 22);  // 18 on the duel screen, 4 on the calculator
        QAccessibleInterface* help = QAccessible::queryAccessibleInterface(f.control("HelpRus"));
        QVERIFY(help);
        QVERIFY(help->text(QAccessible::Description).contains(U("«Рассчитать дуэль»")));
    }

    // A screen reader says whose black mark it is from the group it is in.
    void blackMarksAreSaidWithTheirDuellist() {
        ShownForm f;
        f.click("GoCalcOfBattleChars");
        for (int duellist = 1; duellist <= 2; ++duellist)
            for (int mark = 1; mark <= 5; ++mark) {
                const QString name = QString("ChM%1%2").arg(duellist).arg(mark);
                QAccessibleInterface* accessible =
                    QAccessible::queryAccessibleInterface(f.control(qPrintable(name)));
                QVERIFY(accessible && accessible->parent());
                QCOMPARE(accessible->role(), QAccessible::CheckBox);
                QCOMPARE(accessible->parent()->text(QAccessible::Name),
                         U("Форумные параметры бретёра №%1").arg(duellist));
            }
    }

    // No edit field, check box or button is left nameless, and a field with
    // a caption label of its own ("T" and its name) is named by that caption.
    void namesAreCompleteAndFollowTheCaptions() {
        ShownForm f;
        QStringList controls;
        for (QWidget* widget : f.form().findChildren<QWidget*>())
            if (qobject_cast<QLineEdit*>(widget) || qobject_cast<QAbstractButton*>(widget)) {
                controls << widget->objectName();
                QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
                QVERIFY(accessible);
                QVERIFY2(!accessible->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(widget->objectName()));
                if (auto* caption = f.form().findChild<QLabel*>(U("T") + widget->objectName())) {
                    QString expected = caption->text();
                    if (expected.endsWith(U(":"))) expected.chop(1);
                    QCOMPARE(accessible->text(QAccessible::Name), expected);
                }
            }
        // Every edit field, check box and button of the stored layout.
        QStringList stored;
        QFile layout(QString::fromUtf8(SABERLINE_STORED_LAYOUT));
        QVERIFY(layout.open(QIODevice::ReadOnly));
        for (QXmlStreamReader xml(&layout); !xml.atEnd();)
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == U("widget") &&
                QStringList({U("QLineEdit"), U("QCheckBox"), U("QRadioButton"), U("QPushButton")})
                    .contains(xml.attributes().value(U("class"))))
                stored << xml.attributes().value(U("name")).toString();
        QVERIFY(!stored.isEmpty());
        controls.sort();
        stored.sort();
        QCOMPARE(controls, stored);
    }
};

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc == 2 && qstrcmp(argv[1], kChildOption) == 0) {
        const auto translation = InstallToolkitTranslations(QLocale());
        std::fputs(qPrintable(ButtonsOfTheThreeBoxes()), stdout);
        return 0;
    }
    DesktopTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "DesktopTest.moc"
