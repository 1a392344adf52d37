// The calculator screen and the transfer to the duel screen, driven through
// the window.
#include <QCheckBox>
#include <QRadioButton>

#include "DuelParts.h"
#include "FormTest.h"
#include "Texts.h"

namespace {

const char* const kResults[] = {"FOgnOr1", "FHolOr1", "FStrZ1", "FOgnOr2", "FHolOr2", "FStrZ2"};

struct Forum {
    const char* posts1;
    const char* reputation1;
    int marks1;
    const char* posts2;
    const char* reputation2;
    int marks2;
};

void EnterForum(ShownForm& f, const Forum& forum) {
    f.type("SumPostsBM1", U(forum.posts1));
    f.type("SumRBM1", U(forum.reputation1));
    f.type("SumPostsBM2", U(forum.posts2));
    f.type("SumRBM2", U(forum.reputation2));
    for (int mark = 1; mark <= 5; ++mark) {
        auto* box1 = f.control<QCheckBox>(qPrintable(QStringLiteral("ChM1%1").arg(mark)));
        auto* box2 = f.control<QCheckBox>(qPrintable(QStringLiteral("ChM2%1").arg(mark)));
        // Clicked, not set: the marks are taken from the boxes as the user leaves them.
        if (box1->isChecked() != (mark <= forum.marks1)) QTest::mouseClick(box1, Qt::LeftButton);
        if (box2->isChecked() != (mark <= forum.marks2)) QTest::mouseClick(box2, Qt::LeftButton);
    }
}

QStringList Results(ShownForm& f) {
    QStringList texts;
    for (const char* name : kResults) texts << f.text(name);
    return texts;
}

}  // namespace

class CalculatorTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { LoadWindowFonts(); }

    void freshScreenIsRefused() {
        ShownForm f;
        f.click("GoCalcOfBattleChars");
        f.click("CalcOfBattleChars");
        QCOMPARE(f.dialogs.boxes.size(), std::size_t{1});
        QCOMPARE(int(f.dialogs.boxes[0].kind), int(RecordingDialogs::Kind::Message));
        QCOMPARE(f.dialogs.boxes[0].title, f.form().applicationTitle());
        QCOMPARE(f.dialogs.boxes[0].text, U(saberline::texts::kForumInputError));
        QCOMPARE(Results(f), QStringList({"0", "0", "0", "0", "0", "0"}));
        QCOMPARE(f.visibleScreen(), U("PCalcOfBattleChars"));
    }

    void calculationWritesTheSixResults_data() {
        QTest::addColumn<QString>("posts1");
        QTest::addColumn<QString>("reputation1");
        QTest::addColumn<int>("marks1");
        QTest::addColumn<QString>("posts2");
        QTest::addColumn<QString>("reputation2");
        QTest::addColumn<int>("marks2");
        QTest::addColumn<QStringList>("results");
        QTest::newRow("top bands, two marks for duellist 2")
            << U("5000") << U("100") << 0 << U("5000") << U("100") << 2
            << QStringList{"16", "12", "7", "9", "7", "4"};
        QTest::newRow("one mark, hexadecimal posts") << U("2000") << U("75") << 1 << U("$64") << U("5") << 0
                                                     << QStringList{"12", "8", "4", "9", "6", "1"};
        QTest::newRow("five marks, armour base above its table")
            << U("1") << U("1") << 5 << U("100") << U("2856") << 0
            << QStringList{"0", "0", "0", "16", "6", "0"};
    }
    void calculationWritesTheSixResults() {
        QFETCH(QString, posts1);
        QFETCH(QString, reputation1);
        QFETCH(int, marks1);
        QFETCH(QString, posts2);
        QFETCH(QString, reputation2);
        QFETCH(int, marks2);
        QFETCH(QStringList, results);
        ShownForm f;
        f.click("GoCalcOfBattleChars");
        const QByteArray p1 = posts1.toUtf8(), r1 = reputation1.toUtf8(), p2 = posts2.toUtf8(),
                         r2 = reputation2.toUtf8();
        EnterForum(f, {p1.constData(), r1.constData(), marks1, p2.constData(), r2.constData(), marks2});
        f.click("CalcOfBattleChars");
        QCOMPARE(Results(f), results);
        QVERIFY(f.dialogs.boxes.empty());
        // The duel screen is not touched.
        for (const char* name : {"OgnOr1", "HolOr1", "StrZ1", "OgnOr2", "HolOr2", "StrZ2"})
            QVERIFY(f.text(name).isEmpty());
    }

    // The screen's stored fonts, colours and label sizes are in place once it
    // is opened (they are applied then, not at start-up), and stay so.
    void screenIsStyledWhenOpened() {
        ShownForm f;
        for (int round = 0; round < 2; ++round) {
            f.click("GoCalcOfBattleChars");
            QCOMPARE(f.visibleScreen(), U("PCalcOfBattleChars"));
            auto* title = f.control<QLabel>("GlFText");
            QCOMPARE(title->font().family(), U("Tahoma"));
            QCOMPARE(title->font().pixelSize(), 16);
            QVERIFY(title->font().bold());
            for (const char* name : {"GlFText", "TSumPostsBM1", "TSumRBM2", "TFOgnOr1", "TFStrZ2"}) {
                auto* label = f.control<QLabel>(name);
                QCOMPARE(label->size(), label->sizeHint());
                QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::black));
            }
            QCOMPARE(f.control<QLabel>("TSumPostsBM1")->font().pixelSize(), 13);
            QVERIFY(!f.control<QLabel>("TSumPostsBM1")->font().bold());
            QCOMPARE(f.control<QWidget>("FCharsBM1")->font().pixelSize(), 16);
            QCOMPARE(f.control<QLineEdit>("SumPostsBM1")->font().pixelSize(), 13);
            auto* mark = f.control<QCheckBox>("ChM25");
            QCOMPARE(mark->font().pixelSize(), 13);
            QVERIFY(mark->font().bold());
            QCOMPARE(mark->palette().color(QPalette::WindowText), QColor(Qt::blue));
            f.click("GoBattlePanel");
            QCOMPARE(f.visibleScreen(), U("BattlePanel"));
        }
    }

    void refusedCalculationKeepsTheLastResults_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty reputation 2") << U("SumRBM2") << QString();
        QTest::newRow("negative reputation 1") << U("SumRBM1") << U("-5");
        QTest::newRow("trailing blank in posts 2") << U("SumPostsBM2") << U("12 ");
        QTest::newRow("zero posts 1") << U("SumPostsBM1") << U("0");
    }
    void refusedCalculationKeepsTheLastResults() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        ShownForm f;
        f.click("GoCalcOfBattleChars");
        EnterForum(f, {"1000", "50", 0, "250", "30", 1});
        f.click("CalcOfBattleChars");
        const QStringList before = Results(f);
        QCOMPARE(before, QStringList({"14", "9", "5", "9", "5", "2"}));

        f.type(qPrintable(field), text);
        f.click("CalcOfBattleChars");
        QCOMPARE(f.dialogs.boxes.size(), std::size_t{1});
        QCOMPARE(f.dialogs.boxes[0].text, U(saberline::texts::kForumInputError));
        QCOMPARE(Results(f), before);
    }

    void transferBeforeAnyCalculationIsRefused() {
        ShownForm f;
        f.type("OgnOr1", "5");
        f.click("GoBattle");
        const QString message = f.text("ErrorText");
        f.click("GoCalcOfBattleChars");
        f.dialogs.setNextAnswer(Dialogs::Answer::Yes);
        f.click("MoveCarsOfBattlePanel");
        QCOMPARE(f.dialogs.boxes.size(), std::size_t{1});
        QCOMPARE(int(f.dialogs.boxes[0].kind), int(RecordingDialogs::Kind::Message));
        QCOMPARE(f.dialogs.boxes[0].title, f.form().applicationTitle());
        QCOMPARE(f.dialogs.boxes[0].text, U(saberline::texts::kTransferRefused));
        QCOMPARE(f.text("OgnOr1"), U("5"));
        QCOMPARE(f.text("ErrorText"), message);
    }

    void transferAfterFiveMarksIsRefused() {
        ShownForm f;
        f.click("GoCalcOfBattleChars");
        EnterForum(f, {"300", "20", 0, "300", "20", 5});
        f.click("CalcOfBattleChars");
        f.dialogs.setNextAnswer(Dialogs::Answer::Yes);
        f.click("MoveCarsOfBattlePanel");
        QCOMPARE(f.dialogs.boxes.size(), std::size_t{1});
        QCOMPARE(f.dialogs.boxes[0].text, U(saberline::texts::kTransferRefused));
        QVERIFY(f.text("OgnOr1").isEmpty());
    }

    void transferAnsweredNoChangesNothing() {
        ShownForm f;
        f.type("OgnOr1", "3");
        f.type("StrZ2", "2");
        f.click("GoBattle");
        const QString message = f.text("ErrorText");
        f.click("GoCalcOfBattleChars");
        EnterForum(f, {"100", "5", 0, "1", "1", 0});
        f.click("CalcOfBattleChars");
        const QStringList results = Results(f);
        f.dialogs.setNextAnswer(Dialogs::Answer::No);
        f.click("MoveCarsOfBattlePanel");

        QCOMPARE(f.dialogs.boxes.size(), std::size_t{1});
        QCOMPARE(int(f.dialogs.boxes[0].kind), int(RecordingDialogs::Kind::Question));
        QCOMPARE(f.dialogs.boxes[0].title, U(saberline::texts::kTransferQuestionTitle));
        QCOMPARE(f.dialogs.boxes[0].text, U(saberline::texts::kTransferQuestion));
        QCOMPARE(f.text("OgnOr1"), U("3"));
        QCOMPARE(f.text("HolOr1"), QString());
        QCOMPARE(f.text("StrZ2"), U("2"));
        QCOMPARE(f.text("ErrorText"), message);
        QCOMPARE(f.text("InfoBM1"), QString());
        QCOMPARE(Results(f), results);
        QCOMPARE(f.visibleScreen(), U("PCalcOfBattleChars"));
    }

    void transferAnsweredYesCopiesAndADuelIsFoughtWithTheCopies() {
        ShownForm f;
        saberline::CountingClock clock(1000);
        saberline::Dice dice(clock);
        f.form().setDice(dice);
        // A cold-weapon duel first, so that logs are on the screen.
        f.click("TypeBattle2");
        const std::pair<const char*, const char*> typed[] = {
            {"BP1", "40"},    {"OgnOr1", "2"},  {"HolOr1", "3"},    {"StrZ1", "1"},      {"StrSt11", "1"},
            {"StrSt12", "2"}, {"StrSt13", "3"}, {"StrSt14", "0"},   {"ShAtack1", "123"}, {"BP2", "35"},
            {"OgnOr2", "4"},  {"HolOr2", "5"},  {"StrZ2", "2"},     {"StrSt21", "4"},    {"StrSt22", "5"},
            {"StrSt23", "6"}, {"StrSt24", ""},  {"ShAtack2", "654"}};
        for (const auto& [name, text] : typed) f.type(name, U(text));
        f.click("GoBattle");
        QVERIFY(f.text("InfoBM1").startsWith(U("40 |")));

        f.click("GoCalcOfBattleChars");
        // Duellist 2 has armour 0: it is copied like the rest.
        EnterForum(f, {"5000", "100", 0, "1", "1", 0});
        f.click("CalcOfBattleChars");
        QCOMPARE(Results(f), QStringList({"16", "12", "7", "8", "4", "0"}));
        f.control<QLabel>("ErrorText")->setText(U("a message"));
        f.dialogs.setNextAnswer(Dialogs::Answer::Yes);
        f.click("MoveCarsOfBattlePanel");

        QCOMPARE(f.dialogs.boxes.size(), std::size_t{1});
        QCOMPARE(int(f.dialogs.boxes[0].kind), int(RecordingDialogs::Kind::Question));
        QCOMPARE(f.visibleScreen(), U("PCalcOfBattleChars"));
        QCOMPARE(f.text("OgnOr1"), U("16"));
        QCOMPARE(f.text("HolOr1"), U("12"));
        QCOMPARE(f.text("StrZ1"), U("7"));
        QCOMPARE(f.text("OgnOr2"), U("8"));
        QCOMPARE(f.text("HolOr2"), U("4"));
        QCOMPARE(f.text("StrZ2"), U("0"));
        QCOMPARE(f.text("InfoBM1"), QString());
        QCOMPARE(f.text("InfoBM2"), QString());
        QCOMPARE(f.text("ErrorText"), QString());
        for (const auto& [name, text] : typed)
            if (!QByteArray(name).contains("OgnOr") && !QByteArray(name).contains("HolOr") &&
                !QByteArray(name).contains("StrZ"))
                QCOMPARE(f.text(name), U(text));
        QVERIFY(f.control<QRadioButton>("TypeBattle2")->isChecked());
        QCOMPARE(f.text("SumPostsBM1"), U("5000"));

        // The next duel reads the copied values like typed ones.
        f.click("GoBattlePanel");
        saberline::DuelRequest request;
        for (const auto& field : saberline::kDuelFields)
            saberline::FieldText(request, field) = f.text(field.name).toStdString();
        request.type = saberline::DuelType::ColdWeapons;
        QCOMPARE(request.duellists[0].firearm, std::string("16"));
        saberline::CountingClock sameClock(5000);
        saberline::Dice sameDice(sameClock);
        const saberline::DuelScreenTexts expected = saberline::RunDuelRequest(request, sameDice);
        saberline::CountingClock windowClock(5000);
        saberline::Dice windowDice(windowClock);
        f.form().setDice(windowDice);
        f.click("GoBattle");
        QVERIFY(!expected.InfoBM1.empty());
        for (const saberline::DuelResult& result : saberline::kDuelResults)
            QCOMPARE(f.text(result.name), QString::fromStdString(expected.*result.text));
    }
};

QTEST_MAIN(CalculatorTest)
#include "CalculatorTest.moc"
