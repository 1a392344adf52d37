// A monkey test of the whole window: tens of thousands of random clicks,
// typed and pasted texts and keys over all four screens, checked after every
// event against a model of what the window must show.
//
// The model holds every edit field's text, the message line and the visible
// screen. A field the user typed into takes whatever the field then holds
// (checked against its maximum length); every other change must be one that
// a clicked button makes: the duel, the scheme generators, the calculator,
// the transfer (with the question answered Yes or No at random) and the
// screen changes, each computed here from the model through the referee
// core with a copy of the window's dice.
//
// SABERLINE_MONKEY_SEED and SABERLINE_MONKEY_EVENTS choose the seed and the
// number of events; a failure names the seed and the event, so it replays.
#include <QAbstractButton>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QHash>
#include <QRadioButton>
#include <QStringList>
#include <cstdint>
#include <deque>
#include <random>

#include "Calculator.h"
#include "ClickLabel.h"
#include "FormTest.h"
#include "Texts.h"

namespace {

// Readings 0, 1, 2, ... from a chosen start; the test reads where it stands.
class SteppingClock final : public saberline::ClockSource {
public:
    explicit SteppingClock(std::uint64_t start) : next(start) {}
    std::uint64_t Read() override { return next++; }
    std::uint64_t next;
};

const char* const kScreens[] = {"HelpPanel", "BattlePanel", "PCalcOfBattleChars", "AboutPanel"};

// Field maxima of the stored layout; the move logs' (a cap far above any log,
// which only a paste reaches) are left out.
bool HasNoMaximum(const QString& name) { return name == "InfoBM1" || name == "InfoBM2"; }

std::uint64_t EnvNumber(const char* name, std::uint64_t fallback) {
    bool ok = false;
    const std::uint64_t value = qEnvironmentVariable(name).toULongLong(&ok);
    return ok ? value : fallback;
}

class Monkey {
public:
    Monkey(ShownForm& f, std::uint64_t seed)
        : f_(f), random_(static_cast<std::mt19937_64::result_type>(seed)) {
        f_.form().setDice(dice_);
        for (QLineEdit* field : f_.form().findChildren<QLineEdit*>()) {
            fields_.push_back(field);
            maxima_[field->objectName()] = field->maxLength();
            model_[field->objectName()] = field->text();
        }
        controls_ = f_.form().findChildren<QWidget*>();
        for (QAbstractButton* button : f_.form().findChildren<QAbstractButton*>()) {
            buttons_.push_back(button);
            QObject::connect(button, &QAbstractButton::clicked, button,
                             [this, button] { clicked_.push_back(button->objectName()); });
        }
        for (ClickLabel* link : f_.form().findChildren<ClickLabel*>())
            QObject::connect(link, &ClickLabel::clicked, link,
                             [this, link] { clicked_.push_back(link->objectName()); });
        errorText_ = f_.text("ErrorText");
        screen_ = "BattlePanel";
    }

    // One random event; returns an empty text, or what went wrong.
    QString Step() {
        answerYes_ = Pick(2) == 0;
        f_.dialogs.setNextAnswer(answerYes_ ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        const std::uint64_t clockBefore = clock_.next;
        const std::size_t boxesBefore = f_.dialogs.boxes.size();
        const std::size_t urlsBefore = f_.dialogs.urls.size();
        clicked_.clear();
        std::vector<QLineEdit*> typedInto;

        const int kind = Pick(100);
        if (kind < 35) {
            QWidget* target = kind < 25 ? RandomButton() : RandomControl();
            if (!target) return {};
            Note("click " + target->objectName());
            QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, target->rect().center());
            if (auto* field = qobject_cast<QLineEdit*>(target)) typedInto.push_back(field);
        } else if (kind < 72) {
            QLineEdit* field = RandomField();
            if (!field) return {};
            Type(field, Pick(2) ? PlausibleText(field->objectName()) : RandomText(Pick(10) == 0 ? 120 : 8),
                 Pick(3));
            typedInto.push_back(field);
        } else if (kind < 80) {
            // The user fills in the whole visible screen, one field after another.
            Note("fill the visible screen");
            for (QLineEdit* field : fields_)
                if (Usable(field) && !HasNoMaximum(field->objectName())) {
                    Type(field, Pick(5) ? GoodText(field->objectName()) : PlausibleText(field->objectName()),
                         0);
                    typedInto.push_back(field);
                }
        } else if (kind < 88) {
            QLineEdit* field = RandomField();
            if (!field) return {};
            Paste(field);
            typedInto.push_back(field);
        } else {
            static const Qt::Key kKeys[] = {Qt::Key_Tab,   Qt::Key_Backtab, Qt::Key_Return,
                                            Qt::Key_Enter, Qt::Key_Escape,  Qt::Key_Space};
            const Qt::Key key = kKeys[Pick(6)];
            QWidget* focus = f_.form().focusWidget();
            QWidget* target = focus && focus->isVisible() ? focus : &f_.form();
            Note(QString("key %1 to %2").arg(int(key), 0, 16).arg(target->objectName()));
            QTest::keyClick(target, key);
            if (auto* field = qobject_cast<QLineEdit*>(target)) typedInto.push_back(field);
        }

        for (QLineEdit* field : typedInto) {
            const QString name = field->objectName();
            if (!HasNoMaximum(name) && field->text().size() > maxima_[name])
                return name + " holds more than its maximum of " + QString::number(maxima_[name]);
            model_[name] = field->text();
        }

        // What the clicked buttons must have done, in the order clicked.
        SteppingClock modelClock(clockBefore);
        saberline::Dice modelDice(modelClock);
        std::vector<RecordingDialogs::Box> expectedBoxes;
        std::size_t expectedUrls = urlsBefore;
        bool closed = false;
        for (const QString& button : clicked_) {
            const QString problem = Apply(button, modelDice, expectedBoxes, expectedUrls, closed);
            if (!problem.isEmpty()) return problem;
        }
        if (closed) {
            if (f_.form().isVisible()) return "GoExit left the window open";
            f_.form().show();
            if (!QTest::qWaitForWindowExposed(&f_.form())) return "the window did not come back";
        }
        return Check(modelClock.next, boxesBefore, expectedBoxes, expectedUrls);
    }

    const std::deque<QString>& recent() const { return recent_; }

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    void Note(const QString& what) {
        recent_.push_back(what.left(200));
        if (recent_.size() > 12) recent_.pop_front();
    }

    bool Usable(const QWidget* w) const { return w->isVisible() && w->isEnabled(); }

    QWidget* RandomButton() {
        std::vector<QWidget*> usable;
        // The buttons that do the work come up more often than the others,
        // GoExit less often.
        const bool busy = Pick(2) == 0;
        for (QAbstractButton* b : buttons_) {
            const QString name = b->objectName();
            if (busy && name != "GoBattle" && name != "CalcOfBattleChars" && name != "MoveCarsOfBattlePanel")
                continue;
            if (name == "GoExit" && Pick(3) != 0) continue;
            if (Usable(b)) usable.push_back(b);
        }
        if (auto* link = f_.form().findChild<ClickLabel*>("Lanternhall"); link && Usable(link))
            usable.push_back(link);
        return usable.empty() ? nullptr
                              : usable[static_cast<std::size_t>(Pick(static_cast<int>(usable.size())))];
    }

    QWidget* RandomControl() {
        std::vector<QWidget*> usable;
        for (QWidget* w : controls_)
            if (Usable(w) && !w->objectName().isEmpty()) usable.push_back(w);
        return usable.empty() ? nullptr
                              : usable[static_cast<std::size_t>(Pick(static_cast<int>(usable.size())))];
    }

    QLineEdit* RandomField() {
        std::vector<QLineEdit*> usable;
        for (QLineEdit* field : fields_)
            if (Usable(field)) usable.push_back(field);
        return usable.empty() ? nullptr
                              : usable[static_cast<std::size_t>(Pick(static_cast<int>(usable.size())))];
    }

    // A character from one of the pools a user's hands (or a clipboard) give.
    QString RandomCharacter() {
        static const QString kDigits = "0123456789";
        static const QString kSymbols = " +-$xX.,;:'\"!?%&*()[]{}<>/\\|_=~`@#^";
        static const QString kLatin = "abcdefABCDEFxyzQWERTY";
        static const QString kCyrillic =
            QString::fromUtf8("абвгдеёжзийклмнопрстуфхцчшщъыьэюяАБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯХО");
        switch (Pick(10)) {
            case 0:
            case 1:
            case 2:
            case 3: return QString(kDigits[Pick(10)]);
            case 4: return QString(kSymbols[Pick(static_cast<int>(kSymbols.size()))]);
            case 5: return QString(kLatin[Pick(static_cast<int>(kLatin.size()))]);
            case 6:
            case 7: return QString(kCyrillic[Pick(static_cast<int>(kCyrillic.size()))]);
            case 8: {
                static const char16_t kControls[] = {u'\t',   u'\n', u'\r',     u'\x01',  u'\x1b',
                                                     u'\x7f', u'\b', u'\x00a0', u'\x200b'};
                return QString(QChar(kControls[Pick(9)]));
            }
            default: return Pick(2) ? QString::fromUtf8("\xF0\x9F\x97\xA1") : QString(QChar(u'\x0416'));
        }
    }

    QString RandomText(int maxLength) {
        QString text;
        const int length = Pick(maxLength + 1);
        for (int i = 0; i < length; ++i) text += RandomCharacter();
        return text;
    }

    // A text that a field of this kind would take, so that duels are fought
    // and the calculator gives results often enough.
    QString PlausibleText(const QString& field) {
        if (field.startsWith("StrSt")) return QString::number(Pick(8));
        if (field.startsWith("ShAtack")) {
            QString scheme;
            const int length = 1 + Pick(Pick(4) == 0 ? 120 : 8);
            for (int i = 0; i < length; ++i) scheme += QChar('1' + Pick(6));
            return scheme;
        }
        static const char* const kNumbers[] = {"30",   "12",  "1",   "0",   "5",    "-3",   "$1E",  "0x1",
                                               "9999", "007", "  7", "100", "2000", "-999", "$FFF", "25"};
        return QString::fromLatin1(kNumbers[Pick(16)]);
    }

    // A text that gives a duel or a calculation without a refusal most times.
    QString GoodText(const QString& field) {
        if (field.startsWith("StrSt")) return field.endsWith('4') ? QString() : QString::number(1 + Pick(6));
        if (field.startsWith("ShAtack")) return PlausibleText(field);
        if (field.startsWith("StrZ")) return QString::number(Pick(5));
        if (field.startsWith("BP")) return QString::number(1 + Pick(60));
        if (field.startsWith("SumPosts")) return QString::number(1 + Pick(6000));
        return QString::number(1 + Pick(20));
    }

    // Types `text` into the field; `where` 0 replaces its text, 1 types at
    // its end, 2 at its start.
    void Type(QLineEdit* field, const QString& text, int where) {
        field->setFocus();
        switch (where) {
            case 0: field->selectAll(); break;
            case 1: QTest::keyClick(field, Qt::Key_End); break;
            default: QTest::keyClick(field, Qt::Key_Home); break;
        }
        Note("type [" + text + "] into " + field->objectName());
        for (const QChar c : text) {
            Qt::Key key = Qt::Key_unknown;
            switch (c.unicode()) {
                case u'\t': key = Qt::Key_Tab; break;
                case u'\n':
                case u'\r': key = Qt::Key_Return; break;
                case u'\x1b': key = Qt::Key_Escape; break;
                case u'\b': key = Qt::Key_Backspace; break;
                case u'\x7f': key = Qt::Key_Delete; break;
                default:
                    if (c.isLetterOrNumber() && c.unicode() < 128) key = Qt::Key(c.toUpper().unicode());
            }
            QTest::sendKeyEvent(QTest::Press, field, key, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, field, key, QString(c), Qt::NoModifier);
        }
    }

    void Paste(QLineEdit* field) {
        const int size = Pick(4) == 0 ? 1000 + Pick(4000) : Pick(3) == 0 ? 95 + Pick(10) : Pick(8);
        QString text = Pick(2) ? PlausibleText(field->objectName()) : QString();
        while (text.size() < size) text += RandomCharacter();
        QGuiApplication::clipboard()->setText(text);
        field->setFocus();
        if (Pick(2)) field->selectAll();
        Note("paste " + QString::number(text.size()) + " characters [" + text.left(40) + "] into " +
             field->objectName());
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    }

    std::string ModelText(const char* name) { return model_[QString::fromLatin1(name)].toStdString(); }

    int Marks(int duellist) const {
        int count = 0;
        for (int i = 1; i <= saberline::kBlackMarks; ++i)
            count +=
                f_.form().findChild<QCheckBox*>(QString("ChM%1%2").arg(duellist).arg(i))->isChecked() ? 1 : 0;
        return count;
    }

    QString Apply(const QString& button, saberline::Dice& dice, std::vector<RecordingDialogs::Box>& boxes,
                  std::size_t& urls, bool& closed) {
        using Kind = RecordingDialogs::Kind;
        auto toQt = [](const std::string& s) { return QString::fromStdString(s); };
        const QString title = f_.form().applicationTitle();
        if (button == "GoBattle") {
            saberline::DuelRequest request;
            for (const saberline::DuelField& field : saberline::kDuelFields)
                saberline::FieldText(request, field) = ModelText(field.name);
            request.type =
                f_.control<QRadioButton>("TypeBattle2")->isChecked()   ? saberline::DuelType::ColdWeapons
                : f_.control<QRadioButton>("TypeBattle3")->isChecked() ? saberline::DuelType::Mixed
                                                                       : saberline::DuelType::Pistols;
            const saberline::DuelScreenTexts shown = saberline::RunDuelRequest(request, dice);
            model_["InfoBM1"] = toQt(shown.InfoBM1);
            model_["InfoBM2"] = toQt(shown.InfoBM2);
            errorText_ = toQt(shown.ErrorText);
            ++duels_;
            if (!shown.InfoBM1.empty()) ++fought_;
        } else if (button == "GenShAttack1" || button == "GenShAtack2") {
            model_[button == "GenShAttack1" ? "ShAtack1" : "ShAtack2"] =
                toQt(saberline::GenerateScheme(dice));
        } else if (button == "CalcOfBattleChars") {
            saberline::ForumFields forum;
            forum.posts1 = ModelText("SumPostsBM1");
            forum.posts2 = ModelText("SumPostsBM2");
            forum.reputation1 = ModelText("SumRBM1");
            forum.reputation2 = ModelText("SumRBM2");
            forum.marks1 = Marks(1);
            forum.marks2 = Marks(2);
            const saberline::Calculation c = saberline::CalculateCombat(forum);
            if (!c.message.empty()) {
                boxes.push_back({Kind::Message, title, toQt(c.message)});
            } else {
                model_["FOgnOr1"] = toQt(c.results.FOgnOr1);
                model_["FHolOr1"] = toQt(c.results.FHolOr1);
                model_["FStrZ1"] = toQt(c.results.FStrZ1);
                model_["FOgnOr2"] = toQt(c.results.FOgnOr2);
                model_["FHolOr2"] = toQt(c.results.FHolOr2);
                model_["FStrZ2"] = toQt(c.results.FStrZ2);
            }
        } else if (button == "MoveCarsOfBattlePanel") {
            saberline::CombatTexts results;
            results.FOgnOr1 = ModelText("FOgnOr1");
            results.FHolOr1 = ModelText("FHolOr1");
            results.FStrZ1 = ModelText("FStrZ1");
            results.FOgnOr2 = ModelText("FOgnOr2");
            results.FHolOr2 = ModelText("FHolOr2");
            results.FStrZ2 = ModelText("FStrZ2");
            const std::string refusal = saberline::CheckTransfer(results);
            if (!refusal.empty()) {
                boxes.push_back({Kind::Message, title, toQt(refusal)});
            } else {
                boxes.push_back({Kind::Question, QString::fromUtf8(saberline::texts::kTransferQuestionTitle),
                                 QString::fromUtf8(saberline::texts::kTransferQuestion)});
                if (answerYes_) {
                    for (const char* to : {"OgnOr1", "HolOr1", "StrZ1", "OgnOr2", "HolOr2", "StrZ2"})
                        model_[to] = model_[QString("F") + to];
                    model_["InfoBM1"].clear();
                    model_["InfoBM2"].clear();
                    errorText_.clear();
                    ++transfers_;
                }
            }
        } else if (button == "HelpAction") {
            if (screen_ != "BattlePanel") return "HelpAction clicked off the duel screen";
            screen_ = "HelpPanel";
        } else if (button == "AboutAction") {
            if (screen_ != "BattlePanel") return "AboutAction clicked off the duel screen";
            screen_ = "AboutPanel";
        } else if (button == "GoCalcOfBattleChars") {
            if (screen_ != "BattlePanel") return "GoCalcOfBattleChars clicked off the duel screen";
            screen_ = "PCalcOfBattleChars";
        } else if (button == "ForHelpClose" || button == "ForAboutClose" || button == "GoBattlePanel") {
            screen_ = "BattlePanel";
        } else if (button == "Lanternhall") {
            ++urls;
        } else if (button == "GoExit") {
            closed = true;
            ++exits_;
        }
        return {};
    }

    QString Check(std::uint64_t modelClockNext, std::size_t boxesBefore,
                  const std::vector<RecordingDialogs::Box>& expectedBoxes, std::size_t expectedUrls) {
        if (clock_.next != modelClockNext)
            return QString("the dice read the clock %1 times, the model %2")
                .arg(clock_.next)
                .arg(modelClockNext);
        const auto& boxes = f_.dialogs.boxes;
        if (boxes.size() - boxesBefore != expectedBoxes.size())
            return QString("%1 boxes shown, %2 expected")
                .arg(boxes.size() - boxesBefore)
                .arg(expectedBoxes.size());
        for (std::size_t i = 0; i < expectedBoxes.size(); ++i) {
            const auto& got = boxes[boxesBefore + i];
            const auto& want = expectedBoxes[i];
            if (got.kind != want.kind || got.title != want.title || got.text != want.text)
                return "box [" + got.title + "] [" + got.text + "] where [" + want.title + "] [" + want.text +
                       "] was expected";
        }
        if (f_.dialogs.urls.size() != expectedUrls) return "the site link opened the wrong number of times";

        int visible = 0;
        for (const char* screen : kScreens) visible += f_.shown(screen) ? 1 : 0;
        if (visible != 1) return QString("%1 screens visible").arg(visible);
        if (!f_.shown(screen_.toLatin1().constData())) return screen_ + " is not the visible screen";

        const QString errorText = f_.text("ErrorText");
        bool known = errorText.isEmpty();
        for (const char* message : saberline::texts::kDuelMessages)
            known = known || errorText == QString::fromUtf8(message);
        if (!known) return "ErrorText holds [" + errorText + "]";
        if (errorText != errorText_)
            return "ErrorText holds [" + errorText + "] where [" + errorText_ + "] was expected";

        for (QLineEdit* field : fields_) {
            const QString name = field->objectName();
            if (!HasNoMaximum(name) && field->text().size() > maxima_[name])
                return name + " holds more than its maximum";
            if (field->text() != model_[name])
                return name + " holds [" + field->text().left(120) + "] where [" + model_[name].left(120) +
                       "] was expected";
        }
        return {};
    }

public:
    // Tallies for the test's output.
    int duels_ = 0, fought_ = 0, transfers_ = 0, exits_ = 0;

private:
    ShownForm& f_;
    std::mt19937_64 random_;
    SteppingClock clock_{1};
    saberline::Dice dice_{clock_};
    std::vector<QLineEdit*> fields_;
    std::vector<QAbstractButton*> buttons_;
    QList<QWidget*> controls_;
    QHash<QString, int> maxima_;
    QHash<QString, QString> model_;
    QString errorText_;
    QString screen_;
    QStringList clicked_;
    std::deque<QString> recent_;
    bool answerYes_ = false;  // how the question box answers in this event
};

}  // namespace

class MonkeyTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        LoadWindowFonts();
        // GoExit closes the window; the test shows it again and goes on.
        QGuiApplication::setQuitOnLastWindowClosed(false);
    }

    void randomEventsKeepTheWindowConsistent() {
        const std::uint64_t seed = EnvNumber("SABERLINE_MONKEY_SEED", 20'250'611);
        const std::uint64_t events = EnvNumber("SABERLINE_MONKEY_EVENTS", 20'000);
        ShownForm f;
        Monkey monkey(f, seed);
        for (std::uint64_t event = 1; event <= events; ++event) {
            const QString problem = monkey.Step();
            if (!problem.isEmpty()) {
                QString recent;
                for (const QString& line : monkey.recent()) recent += "\n  " + line;
                const QString report = QString("seed %1, event %2: %3\nlast events:%4")
                                           .arg(seed)
                                           .arg(event)
                                           .arg(problem)
                                           .arg(recent);
                QFAIL(qPrintable(report));
            }
        }
        qInfo("monkey: %llu events (seed %llu): %d duel requests, %d duels fought, %d transfers, %d exits",
              static_cast<unsigned long long>(events), static_cast<unsigned long long>(seed), monkey.duels_,
              monkey.fought_, monkey.transfers_, monkey.exits_);
        QVERIFY(monkey.fought_ > 0);
        QVERIFY(monkey.transfers_ > 0);
    }
};

QTEST_MAIN(MonkeyTest)
#include "MonkeyTest.moc"
