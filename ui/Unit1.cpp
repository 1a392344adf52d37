#include "Unit1.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QClipboard>
#include <QColor>
#include <QCoreApplication>
#include <QDynamicPropertyChangeEvent>
#include <QEvent>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QImageReader>
#include <QGuiApplication>
#include <QLabel>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QPalette>
#include <QPixmap>
#include <QScreen>
#include <QUrl>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>

#include "Boxes.h"
#include "Calculator.h"
#include "Desktop.h"
#include "ForumPost.h"
#include "Site.h"
#include "Texts.h"

namespace {

QString ToQt(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string TextOf(const QLineEdit* field) { return field->text().toStdString(); }

// A move log's tooltip: the whole log, wrapped (a tooltip in rich text
// wraps its lines), or none for an empty field.
QString LogToolTip(const QString& log) {
    return log.isEmpty() ? QString() : QStringLiteral("<p>") + log.toHtmlEscaped() + QStringLiteral("</p>");
}

// Sets a text the system itself writes. A field never cuts such a text to
// the length the user may type: the limit grows to hold it.
void SetFieldText(QLineEdit* field, const QString& text) {
    if (text.size() > field->maxLength()) field->setMaxLength(static_cast<int>(text.size()));
    field->setText(text);
}
void SetFieldText(QLineEdit* field, const std::string& text) { SetFieldText(field, ToQt(text)); }

// The stored layout keeps each font's height in pixels and its colour as the
// dynamic properties pixelSize and textColor (a form stores sizes in points
// only); labels marked autoSize size themselves to their text.
void ApplyStoredFont(QWidget* widget) {
    const QVariant pixels = widget->property("pixelSize");
    if (pixels.isValid()) {
        QFont font = widget->font();
        font.setPixelSize(pixels.toInt());
        widget->setFont(font);
    }
    const QVariant colour = widget->property("textColor");
    if (colour.isValid()) {
        const QColor color(colour.toString());
        QPalette palette = widget->palette();
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
            for (const QPalette::ColorRole role :
                 {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
                palette.setColor(group, role, color);
        widget->setPalette(palette);
    }
}

// The calculator screen's stored fonts, colours and label sizes are applied
// when the screen is first shown, not at start-up: its fonts and its labels
// sized to their text are the toolkit laying out text that the first screen
// does not show. (The help screen stores none; the about screen's one, the
// site link, stays with the window's start-up.)
constexpr const char* kStyledWhenShown = "PCalcOfBattleChars";

bool StyledWhenShown(const QObject* control) {
    for (; control; control = control->parent())
        if (control->objectName() == QLatin1String(kStyledWhenShown)) return true;
    return false;
}

// Applies each stored font and colour at the moment the layout stores it on
// its control, while setupUi runs: a control created later then inherits its
// parent's finished font. Left to the end, every field would first lay out
// its text in the unsized stored fonts, and the toolkit would load font
// faces at those sizes only to throw them away.
class StoredFontWatch final : public QObject {
public:
    StoredFontWatch() { QCoreApplication::instance()->installEventFilter(this); }
    ~StoredFontWatch() override { QCoreApplication::instance()->removeEventFilter(this); }
    StoredFontWatch(const StoredFontWatch&) = delete;
    StoredFontWatch& operator=(const StoredFontWatch&) = delete;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::DynamicPropertyChange && watched->isWidgetType()) {
            const QByteArray name = static_cast<QDynamicPropertyChangeEvent*>(event)->propertyName();
            if ((name == "pixelSize" || name == "textColor") && !StyledWhenShown(watched))
                ApplyStoredFont(static_cast<QWidget*>(watched));
        }
        return false;
    }
};

// Applies the stored fonts and colours of `root` and every control under it
// (a second time is no change), then sizes the labels marked autoSize to
// their text. At start-up the screen styled when shown is left out.
void ApplyStoredLayout(QWidget* root, bool atStartUp) {
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    if (atStartUp) widgets.removeIf([](const QWidget* widget) { return StyledWhenShown(widget); });
    for (QWidget* widget : widgets) ApplyStoredFont(widget);
    // Sizes to the text only once every font is in place.
    for (QWidget* widget : widgets)
        if (widget->property("autoSize").toBool())
            if (auto* label = qobject_cast<QLabel*>(widget)) label->adjustSize();
}

// The window's icon, named by the dynamic property storedIcon, decoded in
// the format its name ends with: left to guess the format, the toolkit would
// first load every picture plugin and ask each whether it reads the file.
void SetStoredIcon(QWidget* window) {
    const QString path = window->property("storedIcon").toString();
    if (path.isEmpty()) return;
    QImageReader reader(path, QFileInfo(path).suffix().toLatin1());
    reader.setAutoDetectImageFormat(false);
    window->setWindowIcon(QIcon(QPixmap::fromImage(reader.read())));
}

// The frame and title bar around the client area, for as long as the window
// manager has not told their real size (before the window is first shown):
// the outer size 756 x 722 around the client area of 740 x 684.
constexpr QSize kFrameAllowance(16, 38);

// The control of that name under `root`; the window is built from its
// stored layout, so a control the core names and the layout lacks is a
// fault of the program.
template <typename Control>
Control* Named(const QWidget* root, const char* name) {
    auto* control = root->findChild<Control*>(QString::fromLatin1(name));
    if (!control) throw std::logic_error(std::string("the window has no control ") + name);
    return control;
}

// An input field as the core's field tables state it: its start-up text
// and how many characters the user may type.
template <typename Field>
QLineEdit* StartUpField(const QWidget* root, const Field& field) {
    QLineEdit* edit = Named<QLineEdit>(root, field.name);
    edit->setMaxLength(field.maxLength);
    edit->setText(QString::fromUtf8(field.startUp));
    return edit;
}

}  // namespace

TForm1::TForm1(Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs), dice_(&saberline::ProcessDice()) {
    Q_INIT_RESOURCE(Unit1);
    applicationTitle_ =
        ToQt(saberline::ApplicationTitle(QCoreApplication::applicationFilePath().toStdString()));

    {
        const StoredFontWatch watch;
        setupUi(this);
    }
    // What the core states of the fields it reads, and the site's name: set
    // before the labels are sized to their text.
    for (std::size_t i = 0; i < saberline::kDuelFields.size(); ++i)
        duelFields_[i] = StartUpField(this, saberline::kDuelFields[i]);
    for (const saberline::ForumTextField& field : saberline::kForumTextFields) StartUpField(this, field);
    for (const saberline::CombatResult& result : saberline::kCombatResults) StartUpField(this, result);
    Lanternhall->setText(QString::fromLatin1(saberline::kSiteHost));
    ApplyStoredLayout(this, true);
    SetStoredIcon(this);
    move(FirstPosition());

    Wire(GoBattle, &TForm1::GoBattleClick);
    Wire(GenShAttack1, &TForm1::GenShAttack1Click);
    Wire(GenShAtack2, &TForm1::GenShAtack2Click);
    Wire(GoExit, &TForm1::GoExitClick);
    Wire(HelpAction, &TForm1::HelpActionClick);
    Wire(AboutAction, &TForm1::AboutActionClick);
    Wire(GoCalcOfBattleChars, &TForm1::btn1Click);
    Wire(ForHelpClose, &TForm1::ForHelpCloseClick);
    Wire(ForAboutClose, &TForm1::ForAboutCloseClick);
    Wire(GoBattlePanel, &TForm1::GoBattlePanelClick);
    Wire(CalcOfBattleChars, &TForm1::CalcOfBattleCharsClick);
    Wire(MoveCarsOfBattlePanel, &TForm1::MoveCarsOfBattlePanelClick);
    Wire(Lanternhall, &TForm1::LanternhallClick);

    // The whole result to the clipboard: an entry of the logs' context menu
    // and a shortcut of the window, no control of its own. Each log's whole
    // text is its tooltip, wrapped: the field shows only a part of it.
    copyResult_ = new QAction(QString::fromUtf8(saberline::texts::kCopyResultCaption), this);
    copyResult_->setObjectName(QStringLiteral("CopyResult"));
    copyResult_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    copyResult_->setShortcutContext(Qt::WindowShortcut);
    addAction(copyResult_);
    connect(copyResult_, &QAction::triggered, this, [this] { Dispatch(&TForm1::CopyResultClick, copyResult_); });
    for (std::size_t i = 0; i < saberline::kDuelResults.size(); ++i) {
        const saberline::DuelResult& result = saberline::kDuelResults[i];
        if (result.kind == saberline::ResultKind::MessageLine) {
            results_[i] = Named<QLabel>(BattlePanel, result.name);
            continue;
        }
        auto* log = Named<QLineEdit>(BattlePanel, result.name);
        results_[i] = log;
        log->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(log, &QWidget::customContextMenuRequested, this, [this, log](const QPoint& at) { ShowLogMenu(log, at); });
        connect(log, &QLineEdit::textChanged, log, [log](const QString& text) { log->setToolTip(LogToolTip(text)); });
        log->setToolTip(LogToolTip(log->text()));
    }

    Dispatch(&TForm1::FormCreate, this);

    for (QWidget* screen : {static_cast<QWidget*>(HelpPanel), static_cast<QWidget*>(AboutPanel),
                            static_cast<QWidget*>(PCalcOfBattleChars)})
        screen->installEventFilter(this);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* screen = static_cast<QWidget*>(watched);
        screen->removeEventFilter(this);
        if (StyledWhenShown(screen)) ApplyStoredLayout(screen, false);
        DecodePictures(screen);
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::DecodePictures(QWidget* screen) {
    const auto labels = screen->findChildren<QLabel*>();
    for (QLabel* label : labels) {
        const QVariant picture = label->property("storedPixmap");
        if (picture.isValid()) label->setPixmap(QPixmap(picture.toString()));
    }
}

QPoint TForm1::FirstPosition() const {
    const QPoint preferred(401, 174);
    QScreen* screen = QGuiApplication::screenAt(preferred);
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return preferred;
    const QSize outer = frameGeometry().size().expandedTo(size() + kFrameAllowance);
    return WindowPlacement(screen->availableGeometry(), outer, preferred);
}

void TForm1::Wire(QObject* control, Handler handler) {
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        connect(button, &QAbstractButton::clicked, this,
                [this, button, handler] { Dispatch(handler, button); });
    else if (auto* link = qobject_cast<ClickLabel*>(control))
        connect(link, &ClickLabel::clicked, this, [this, link, handler] { Dispatch(handler, link); });
}

void TForm1::Dispatch(Handler handler, QObject* sender) {
    QString message;
    try {
        (this->*handler)(sender);
        return;
    } catch (const std::exception& error) {
        message = ToQt(error.what());
    } catch (...) {
        message.clear();
    }
    dialogs_.errorBox(this, applicationTitle_, ToQt(saberline::ErrorBoxText(message.toStdString())));
}

// --- Window and screens -----------------------------------------------------

void TForm1::FormCreate(QObject* /*Sender*/) {
    HelpPanel->hide();
    AboutPanel->hide();
    PCalcOfBattleChars->hide();
    // The message lines start empty; the logs keep their stored text until
    // the first duel.
    for (std::size_t i = 0; i < saberline::kDuelResults.size(); ++i)
        if (saberline::kDuelResults[i].kind == saberline::ResultKind::MessageLine)
            static_cast<QLabel*>(results_[i])->clear();
}

void TForm1::GoExitClick(QObject* /*Sender*/) { close(); }

void TForm1::HelpActionClick(QObject* /*Sender*/) {
    BattlePanel->hide();
    HelpPanel->show();
}

void TForm1::ForHelpCloseClick(QObject* /*Sender*/) {
    BattlePanel->show();
    HelpPanel->hide();
}

void TForm1::AboutActionClick(QObject* /*Sender*/) {
    BattlePanel->hide();
    AboutPanel->show();
}

void TForm1::ForAboutCloseClick(QObject* /*Sender*/) {
    BattlePanel->show();
    AboutPanel->hide();
}

void TForm1::btn1Click(QObject* /*Sender*/) {
    BattlePanel->hide();
    PCalcOfBattleChars->show();
}

void TForm1::GoBattlePanelClick(QObject* /*Sender*/) {
    BattlePanel->show();
    PCalcOfBattleChars->hide();
}

void TForm1::LanternhallClick(QObject* /*Sender*/) {
    dialogs_.openUrl(this, QUrl(QString::fromStdString(saberline::SiteAddress())));
}

void TForm1::ShowLogMenu(QLineEdit* log, const QPoint& at) {
    std::unique_ptr<QMenu> menu(log->createStandardContextMenu());
    menu->addSeparator();
    menu->addAction(copyResult_);
    menu->exec(log->mapToGlobal(at));
}

saberline::DuelScreenTexts TForm1::ShownResults() const {
    saberline::DuelScreenTexts shown;
    for (std::size_t i = 0; i < saberline::kDuelResults.size(); ++i) {
        const auto* log = qobject_cast<const QLineEdit*>(results_[i]);
        shown.*saberline::kDuelResults[i].text =
            log ? TextOf(log) : static_cast<const QLabel*>(results_[i])->text().toStdString();
    }
    return shown;
}

void TForm1::ShowResults(const saberline::DuelScreenTexts& shown) {
    for (std::size_t i = 0; i < saberline::kDuelResults.size(); ++i) {
        const std::string& text = shown.*saberline::kDuelResults[i].text;
        if (auto* log = qobject_cast<QLineEdit*>(results_[i]))
            SetFieldText(log, text);
        else
            static_cast<QLabel*>(results_[i])->setText(ToQt(text));
    }
}

void TForm1::CopyResultClick(QObject* /*Sender*/) {
    const std::string post = saberline::WriteForumPost(ShownResults(), {}, nullptr, saberline::PostFormat::Plain);
    QGuiApplication::clipboard()->setText(ToQt(post));
}

// --- Duel screen ------------------------------------------------------------

void TForm1::GoBattleClick(QObject* /*Sender*/) {
    saberline::DuelRequest request;
    for (std::size_t i = 0; i < saberline::kDuelFields.size(); ++i)
        saberline::FieldText(request, saberline::kDuelFields[i]) = TextOf(duelFields_[i]);
    request.type = TypeBattle2->isChecked()   ? saberline::DuelType::ColdWeapons
                   : TypeBattle3->isChecked() ? saberline::DuelType::Mixed
                                              : saberline::DuelType::Pistols;

    ShowResults(saberline::RunDuelRequest(request, *dice_));
}

void TForm1::GenerateSchemeInto(QLineEdit* scheme) {
    saberline::GenerateScheme(*dice_, [scheme](const std::string& built) { SetFieldText(scheme, built); });
}

void TForm1::GenShAttack1Click(QObject* /*Sender*/) { GenerateSchemeInto(ShAtack1); }

void TForm1::GenShAtack2Click(QObject* /*Sender*/) { GenerateSchemeInto(ShAtack2); }

// --- Calculator screen ------------------------------------------------------

void TForm1::CalcOfBattleCharsClick(QObject* /*Sender*/) {
    saberline::ForumFields forum;
    for (const saberline::ForumTextField& field : saberline::kForumTextFields)
        forum.*field.text = TextOf(Named<QLineEdit>(PCalcOfBattleChars, field.name));
    for (const saberline::BlackMarkBox& box : saberline::kBlackMarkBoxes)
        if (Named<QCheckBox>(PCalcOfBattleChars, box.name)->isChecked()) ++(box.duellist == 0 ? forum.marks1 : forum.marks2);

    const saberline::Calculation calculation = saberline::CalculateCombat(forum);
    if (!calculation.message.empty()) {
        dialogs_.messageDialog(this, applicationTitle_, ToQt(calculation.message));
        return;
    }
    for (const saberline::CombatResult& result : saberline::kCombatResults)
        SetFieldText(Named<QLineEdit>(PCalcOfBattleChars, result.name), calculation.results.*result.text);
}

void TForm1::MoveCarsOfBattlePanelClick(QObject* /*Sender*/) {
    saberline::CombatTexts results;
    for (const saberline::CombatResult& result : saberline::kCombatResults)
        results.*result.text = TextOf(Named<QLineEdit>(PCalcOfBattleChars, result.name));

    const std::string refusal = saberline::CheckTransfer(results);
    if (!refusal.empty()) {
        dialogs_.messageDialog(this, applicationTitle_, ToQt(refusal));
        return;
    }
    if (dialogs_.question(this, QString::fromUtf8(saberline::texts::kTransferQuestionTitle),
                          QString::fromUtf8(saberline::texts::kTransferQuestion)) != Dialogs::Answer::Yes)
        return;

    for (const saberline::CombatResult& result : saberline::kCombatResults)
        SetFieldText(Named<QLineEdit>(BattlePanel, result.transferTo), results.*result.text);
    ShowResults({});
}
